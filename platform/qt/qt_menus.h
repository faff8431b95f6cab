#pragma once
// Main menus as Qt menu bars, popup menus as Qt menus.
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <map>
#include <memory>

#include "platform/backend.h"

class QAction;
class QWidget;
class TMenu;
class TMenuItem;

namespace ovqt {

// The model keeps the shortcuts: the menus only show them, so that a key is
// never handled twice.
class TQtMenuPeer : public TMenuPeer {
public:
    explicit TQtMenuPeer(TMenu* menu);
    ~TQtMenuPeer() override;
    void ItemChanged(TMenuItem* item, TPropId id) override;
    void Popup(int x, int y) override;
    // The bar of a main menu (nullptr for popup menus).
    QMenuBar* MenuBar() const { return bar_; }
    // The action that shows an item (tests, the popup's answer).
    QAction* ActionOf(TMenuItem* item) const;
    TMenuItem* ItemOf(const QAction* action) const;
    // The menu now shown by Popup, if any.
    QMenu* PopupMenu() const { return popup_; }

private:
    void Build();
    void Fill(QWidget* target, TMenuItem* parent);
    void Apply(TMenuItem* item, QAction* action);
    void Rebuild();
    TMenu* menu_;
    QPointer<QMenuBar> bar_;
    QPointer<QMenu> popup_;
    std::map<TMenuItem*, QPointer<QAction>> actions_;
    bool rebuildPosted_ = false;
    bool building_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace ovqt
