// Menus over QMenuBar and QMenu.
#include "platform/qt/qt_menus.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "platform/menus.h"
#include "platform/qt/qt_paint.h"
#include "platform/qt/qt_peers.h"

namespace ovqt {

namespace {
// Whether a menu has an item a person can see (separators are no items).
bool HasShownItem(const QMenu* menu) {
    for (const QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator()) return true;
    return false;
}
}  // namespace

TQtMenuPeer::TQtMenuPeer(TMenu* menu) : menu_(menu) {
    if (dynamic_cast<TMainMenu*>(menu)) {
        bar_ = new QMenuBar;
        bar_->setNativeMenuBar(false);
        Build();
    }
}

TQtMenuPeer::~TQtMenuPeer() {
    *alive_ = false;
    if (popup_) popup_->close();
    if (bar_) {
        bar_->hide();
        bar_->deleteLater();
    }
}

QAction* TQtMenuPeer::ActionOf(TMenuItem* item) const {
    auto it = actions_.find(item);
    return it == actions_.end() ? nullptr : it->second.data();
}

TMenuItem* TQtMenuPeer::ItemOf(const QAction* action) const {
    for (const auto& [item, a] : actions_)
        if (a == action) return item;
    return nullptr;
}

void TQtMenuPeer::Apply(TMenuItem* item, QAction* a) {
    QString text = ToQString(item->Caption);
    if (item->ShortCut != scNone) text += "\t" + ToQString(ShortCutToText(item->ShortCut));
    // A separator's "-" is not shown as text beside its line.
    a->setText(item->IsLine() ? QString() : text);
    a->setSeparator(item->IsLine());
    a->setVisible(item->Visible);
    a->setEnabled(item->Enabled);
    bool checkable = item->Checked || item->RadioItem || item->AutoCheck;
    a->setCheckable(checkable);
    if (checkable) a->setChecked(item->Checked);
    a->setStatusTip(ToQString(item->Hint));
    QFont f = a->font();
    f.setBold(item->Default);
    a->setFont(f);
}

void TQtMenuPeer::Fill(QWidget* target, TMenuItem* parent) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Item(i);
        QAction* a;
        if (item->Count() > 0) {
            auto* sub = new QMenu(target);
            a = sub->menuAction();
            Fill(sub, item);
            // Opening a submenu is a click on its item: programs update the items there.
            std::weak_ptr<bool> alive = alive_;
            QObject::connect(sub, &QMenu::aboutToShow, sub, Guarded([this, alive, item, sub] {
                                 if (alive.expired() || !*alive.lock() || !ItemOf(ActionOf(item))) return;
                                 item->Click();
                                 // A menu whose items are all hidden has nothing to
                                 // show; Qt then counts it as open at no size, and
                                 // neither it nor the bar would open again. It is
                                 // closed once Qt is done opening it.
                                 if (!HasShownItem(sub))
                                     QTimer::singleShot(0, sub, [sub] {
                                         if (sub->isVisible() && !HasShownItem(sub)) sub->hide();
                                     });
                             }));
        } else {
            a = new QAction(target);
            std::weak_ptr<bool> alive = alive_;
            QObject::connect(a, &QAction::triggered, a, Guarded([this, alive, item, a] {
                                 if (alive.expired() || !*alive.lock() || ItemOf(a) != item) return;
                                 item->Click();
                             }));
        }
        Apply(item, a);
        target->addAction(a);
        actions_[item] = a;
    }
}

void TQtMenuPeer::Build() {
    building_ = true;
    actions_.clear();
    if (bar_) {
        bar_->clear();
        for (QObject* child : bar_->children())
            if (auto m = qobject_cast<QMenu*>(child)) m->deleteLater();
        Fill(bar_, menu_->Items);
    }
    building_ = false;
}

void TQtMenuPeer::Rebuild() {
    // Never under a menu that is open: its actions may be running.
    if (!QApplication::activePopupWidget()) {
        Build();
        return;
    }
    if (rebuildPosted_) return;
    rebuildPosted_ = true;
    std::weak_ptr<bool> alive = alive_;
    QTimer::singleShot(0, [this, alive] {
        if (alive.expired() || !*alive.lock()) return;
        rebuildPosted_ = false;
        Rebuild();
    });
}

void TQtMenuPeer::ItemChanged(TMenuItem* item, TPropId id) {
    if (building_) return;
    QAction* a = ActionOf(item);
    bool structural = id == TPropId::MenuItems || !a || (item->Count() > 0) != (a->menu() != nullptr);
    if (structural) {
        Rebuild();
        return;
    }
    Apply(item, a);
}

void TQtMenuPeer::Popup(int x, int y) {
    QPoint at(x, y);
    // The model's screen places controls by its own frame sizes; show the
    // menu where the clicked control really is.
    if (auto pm = dynamic_cast<TPopupMenu*>(menu_)) {
        if (auto c = dynamic_cast<TControl*>(pm->PopupComponent)) {
            if (auto peer = dynamic_cast<TQtControlPeer*>(c->Peer()); peer && peer->InputWidget()) {
                TPoint local = c->ScreenToClient(TPoint(x, y));
                at = peer->InputWidget()->mapToGlobal(QPoint(local.x, local.y));
            } else if (TWinControl* parent = c->Parent) {
                if (auto pp = dynamic_cast<TQtControlPeer*>(parent->Peer()); pp && pp->InputWidget()) {
                    TPoint local = parent->ScreenToClient(TPoint(x, y));
                    at = pp->InputWidget()->mapToGlobal(QPoint(local.x, local.y));
                }
            }
        }
    }
    QMenu menu;
    popup_ = &menu;
    actions_.clear();
    building_ = true;
    Fill(&menu, menu_->Items);
    building_ = false;
    // The chosen item is clicked once the menu is gone, not from inside it.
    std::map<QAction*, TMenuItem*> leaves;
    for (auto& [item, a] : actions_)
        if (a && !a->menu()) {
            QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
            leaves[a] = item;
        }
    std::weak_ptr<bool> alive = alive_;
    QAction* chosen = menu.exec(at);
    if (alive.expired() || !*alive.lock()) return;
    popup_ = nullptr;
    auto it = leaves.find(chosen);
    TMenuItem* item = it == leaves.end() ? nullptr : it->second;
    actions_.clear();
    if (item) item->Click();
}

}  // namespace ovqt
