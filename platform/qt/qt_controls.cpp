// Edits, memos, buttons, check and radio buttons, group boxes, combo boxes,
// list boxes and scroll bars.
#include "platform/qt/qt_controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <qdrawutil.h>

#include "platform/forms.h"
#include "platform/qt/qt_comctrls.h"
#include "platform/utf8.h"

namespace ovqt {

namespace {

QString MemoText(const AnsiString& text) {
    QString q = ToQString(text);
    q.replace("\r\n", "\n");
    q.replace('\r', '\n');
    return q;
}

// The keys the model's edits handle themselves; Qt's edit widgets do that here.
bool EditingKey(WORD key) {
    return key == VK_DELETE || key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END;
}

AnsiString ModelMemoText(const QString& text) {
    QString q = text;
    q.replace('\n', "\r\n");
    return FromQString(q);
}

// ---------------------------------------------------------------- edits

// Edits, and the editor a grid shows over a cell.
class EditPeer : public TQtControlPeer {
public:
    explicit EditPeer(TCustomEdit* edit) : TQtControlPeer(edit), edit_(edit) {
        line_ = new QLineEdit;
        QObject::connect(line_, &QLineEdit::textEdited, line_, Guarded([this](const QString& text) {
                             if (Quiet()) return;
                             QuietScope quiet(this);
                             edit_->SelStart.SetQuiet(line_->cursorPosition());
                             edit_->SelLength.SetQuiet(0);
                             edit_->UserSet(edit_->Text, FromQString(text));
                             SyncMaxLength();
                         }));
        QObject::connect(line_, &QLineEdit::cursorPositionChanged, line_,
                         Guarded([this](int, int) { CaretFromWidget(); }));
        QObject::connect(line_, &QLineEdit::selectionChanged, line_, Guarded([this] { CaretFromWidget(); }));
        Init(line_);
    }
    bool NativeKeys() const override { return true; }
    bool WidgetEditsKey(WORD key) const override { return EditingKey(key); }
    void InsertText(const QString& text) override {
        if (!edit_->ReadOnly) line_->insert(text);
    }
    void Resync() override {
        QuietScope quiet(this);
        if (line_->text() != ToQString(edit_->Text)) Sync(TPropId::Text, -1);
    }

protected:
    void Sync(TPropId id, int index) override {
        switch (id) {
        case TPropId::None:
            Sync(TPropId::Text, -1);
            Sync(TPropId::ReadOnly, -1);
            Sync(TPropId::PasswordChar, -1);
            Sync(TPropId::BorderStyle, -1);
            return;
        case TPropId::Text:
            line_->setText(ToQString(edit_->Text));
            SyncMaxLength();
            Sync(TPropId::SelStart, -1);
            return;
        case TPropId::SelStart:
        case TPropId::SelLength:
            if (edit_->SelLength > 0)
                line_->setSelection(edit_->SelStart, edit_->SelLength);
            else
                line_->setCursorPosition(edit_->SelStart);
            return;
        case TPropId::ReadOnly: line_->setReadOnly(edit_->ReadOnly); return;
        case TPropId::MaxLength: SyncMaxLength(); return;
        case TPropId::PasswordChar:
            line_->setEchoMode(edit_->PasswordChar ? QLineEdit::Password : QLineEdit::Normal);
            return;
        case TPropId::BorderStyle: line_->setFrame(edit_->BorderStyle != bsNone); return;
        default: TQtControlPeer::Sync(id, index);
        }
    }

private:
    // The person types at most MaxLength characters; a longer text set by the program stays whole.
    void SyncMaxLength() {
        int len = static_cast<int>(line_->text().size());
        line_->setMaxLength(edit_->MaxLength > 0 ? std::max(edit_->MaxLength.Get(), len) : 32767);
    }
    void CaretFromWidget() {
        if (Quiet()) return;
        int start = line_->hasSelectedText() ? line_->selectionStart() : line_->cursorPosition();
        edit_->SelStart.SetQuiet(start);
        edit_->SelLength.SetQuiet(line_->hasSelectedText() ? static_cast<int>(line_->selectedText().size())
                                                           : 0);
    }
    TCustomEdit* edit_;
    QLineEdit* line_;
};

class MemoPeer : public TQtControlPeer {
public:
    explicit MemoPeer(TMemo* memo) : TQtControlPeer(memo), memo_(memo) {
        text_ = new QPlainTextEdit;
        QObject::connect(text_, &QPlainTextEdit::textChanged, text_, Guarded([this] {
                             if (Quiet()) return;
                             QuietScope quiet(this);
                             memo_->SelStart.SetQuiet(text_->textCursor().position());
                             memo_->SelLength.SetQuiet(0);
                             memo_->UserSet(memo_->Text, ModelMemoText(text_->toPlainText()));
                         }));
        Init(text_);
    }
    bool NativeKeys() const override { return true; }
    bool WidgetEditsKey(WORD key) const override { return EditingKey(key); }
    // Enter that no default button took makes a new line only where the memo wants it.
    bool DefaultKey(WORD key, TShiftState shift) override {
        return key == VK_RETURN && !memo_->WantReturns && !shift.Contains(ssCtrl);
    }
    void InsertText(const QString& text) override {
        if (!memo_->ReadOnly) text_->insertPlainText(text);
    }
    void Resync() override {
        QuietScope quiet(this);
        if (text_->toPlainText() != MemoText(memo_->Text)) Sync(TPropId::Text, -1);
    }

protected:
    void Sync(TPropId id, int index) override {
        switch (id) {
        case TPropId::None:
            Sync(TPropId::Text, -1);
            Sync(TPropId::ReadOnly, -1);
            Sync(TPropId::WordWrap, -1);
            Sync(TPropId::ScrollBars, -1);
            return;
        case TPropId::Text:
        case TPropId::Lines: text_->setPlainText(MemoText(memo_->Text)); return;
        case TPropId::ReadOnly: text_->setReadOnly(memo_->ReadOnly); return;
        case TPropId::WordWrap:
            text_->setLineWrapMode(memo_->WordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
            return;
        case TPropId::ScrollBars: {
            TScrollStyle s = memo_->ScrollBars;
            bool h = s == ssHorizontal || s == ssBoth, v = s == ssVertical || s == ssBoth;
            text_->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
            text_->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
            return;
        }
        default: TQtControlPeer::Sync(id, index);
        }
    }

private:
    TMemo* memo_;
    QPlainTextEdit* text_;
};

// ---------------------------------------------------------------- buttons

// The system marks the focused button with a dotted rectangle inside it; the
// style Qt picks here marks none, whichever way the focus came.
class FocusMarkStyle : public QProxyStyle {
public:
    explicit FocusMarkStyle(const QString& base) : QProxyStyle(base) {}
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element != CE_PushButton || !(option->state & State_HasFocus)) return;
        const QRect r = subElementRect(SE_PushButtonFocusRect, option, widget).adjusted(1, 1, -2, -2);
        painter->save();
        QPen pen(option->palette.color(QPalette::ButtonText));
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r);
        painter->restore();
    }
};

QStyle* ButtonStyle() {
    // Owned by the application, made again for a new one.
    static QPointer<FocusMarkStyle> style;
    if (!style) {
        style = new FocusMarkStyle(QApplication::style()->name());
        style->setParent(qApp);
    }
    return style;
}

class ButtonPeer : public TQtControlPeer {
public:
    explicit ButtonPeer(TButton* button) : TQtControlPeer(button), button_(button) {
        push_ = new QPushButton;
        push_->setAutoDefault(false);
        push_->setStyle(ButtonStyle());
        QObject::connect(push_, &QPushButton::clicked, push_, Guarded([this] {
                             if (!Quiet()) button_->Click();
                         }));
        Init(push_);
    }
    bool NativeKeys() const override { return true; }
    bool NativeClick() const override { return true; }

protected:
    void Sync(TPropId id, int index) override {
        switch (id) {
        case TPropId::None:
        case TPropId::Caption:
            push_->setText(ToQString(button_->Caption));
            push_->setDefault(button_->Default);
            return;
        case TPropId::Default: push_->setDefault(button_->Default); return;
        default: TQtControlPeer::Sync(id, index);
        }
    }

private:
    TButton* button_;
    QPushButton* push_;
};

class CheckBoxPeer : public TQtControlPeer {
public:
    explicit CheckBoxPeer(TCheckBox* box) : TQtControlPeer(box), box_(box) {
        check_ = new QCheckBox;
        QObject::connect(check_, &QCheckBox::clicked, check_, Guarded([this] {
                             if (Quiet()) return;
                             box_->Click();
                             Resync();
                         }));
        Init(check_);
    }
    bool NativeKeys() const override { return true; }
    bool NativeClick() const override { return true; }
    void Resync() override {
        QuietScope quiet(this);
        Sync(TPropId::State, -1);
    }

protected:
    void Sync(TPropId id, int index) override {
        switch (id) {
        case TPropId::None:
            check_->setText(ToQString(box_->Caption));
            Sync(TPropId::State, -1);
            check_->setLayoutDirection(box_->Alignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
            return;
        case TPropId::Caption: check_->setText(ToQString(box_->Caption)); return;
        case TPropId::AllowGrayed:
        case TPropId::Checked:
        case TPropId::State:
            check_->setTristate(box_->AllowGrayed || box_->State == cbGrayed);
            check_->setCheckState(box_->State == cbChecked  ? Qt::Checked
                                  : box_->State == cbGrayed ? Qt::PartiallyChecked
                                                            : Qt::Unchecked);
            return;
        case TPropId::Alignment:
            check_->setLayoutDirection(box_->Alignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
            return;
        default: TQtControlPeer::Sync(id, index);
        }
    }

private:
    TCheckBox* box_;
    QCheckBox* check_;
};

class RadioPeer : public TQtControlPeer {
public:
    explicit RadioPeer(TRadioButton* radio) : TQtControlPeer(radio), radio_(radio) {
        button_ = new QRadioButton;
        // The model unchecks the radio buttons beside the one checked.
        button_->setAutoExclusive(false);
        QObject::connect(button_, &QRadioButton::clicked, button_, Guarded([this] {
                             if (Quiet()) return;
                             radio_->Click();
                             Resync();
                         }));
        Init(button_);
    }
    bool NativeKeys() const override { return true; }
    bool NativeClick() const override { return true; }
    void Resync() override {
        QuietScope quiet(this);
        button_->setChecked(radio_->Checked);
    }

protected:
    void Sync(TPropId id, int index) override {
        switch (id) {
        case TPropId::None:
        case TPropId::Caption:
            button_->setText(ToQString(radio_->Caption));
            button_->setChecked(radio_->Checked);
            return;
        case TPropId::Checked: button_->setChecked(radio_->Checked); return;
        default: TQtControlPeer::Sync(id, index);
        }
    }

private:
    TRadioButton* radio_;
    QRadioButton* button_;
};

// ---------------------------------------------------------------- group boxes

class GroupBoxPeer : public TQtSurfacePeer {
public:
    explicit GroupBoxPeer(TGroupBox* box) : TQtSurfacePeer(box), box_(box) {}
    // The forms place a group's first row 16 pixels or so below its top, as
    // for a frame whose top line runs through the middle of the caption: the
    // group is drawn so, the caption interrupting the line near its left end.
    void PaintBackground(QPainter& painter, const QRect& rect) override {
        TQtSurfacePeer::PaintBackground(painter, rect);
        const QString text = ToQString(box_->Caption);
        const QFont font = surface_->font();
        const QFontMetrics metrics(font);
        const int lineTop = text.isEmpty() ? 0 : metrics.height() / 2;
        // An etched line: a shadow line and a light one beside it.
        qDrawShadeRect(&painter, surface_->rect().adjusted(0, lineTop, 0, 0), surface_->palette(), true, 1,
                       0);
        if (text.isEmpty()) return;
        constexpr int CaptionLeft = 8;
        constexpr int CaptionMargin = 2;
        const QRect caption(CaptionLeft, 0, metrics.horizontalAdvance(text) + 2 * CaptionMargin,
                            metrics.height());
        painter.fillRect(caption, ToQColor(box_->Color));
        painter.setFont(font);
        painter.setPen(surface_->isEnabled()
                           ? ToQColor(box_->Font->Color)
                           : surface_->palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(caption.adjusted(CaptionMargin, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    }

private:
    TGroupBox* box_;
};

// ---------------------------------------------------------------- combo boxes

class ComboPeer;

// The edit of an editable combo box. Leaving it makes Qt choose the item
// that its text names, as if the person had picked it; the peer needs to
// tell that apart, since leaving a combo chooses nothing.
class ComboLineEdit : public QLineEdit {
public:
    bool Leaving() const { return leaving_; }

protected:
    void focusOutEvent(QFocusEvent* e) override {
        leaving_ = true;
        QLineEdit::focusOutEvent(e);
        leaving_ = false;
    }

private:
    bool leaving_ = false;
};

class ComboWidget : public QComboBox {
public:
    explicit ComboWidget(TComboBox* combo) : combo_(combo) {}
    std::function<void()> BeforePopup, AfterPopup;
    // Esc in the open list: Qt closes the list and keeps the key, so the
    // model hears it afterwards, from the event loop.
    std::function<void()> EscapedFromList;
    TComboBox* Combo() const { return combo_; }
    // The peer is gone: the widget shows nothing of the model any more.
    void Detach() {
        combo_ = nullptr;
        BeforePopup = nullptr;
        AfterPopup = nullptr;
        EscapedFromList = nullptr;
    }
    void showPopup() override {
        if (BeforePopup) Safely(BeforePopup);
        escaped_ = false;
        QComboBox::showPopup();
        // The list's keys go to its view; the list closes by hiding its window.
        if (QWidget* list = view()->window(); list != watchedList_) {
            view()->installEventFilter(this);
            list->installEventFilter(this);
            watchedList_ = list;
        }
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        if (AfterPopup) Safely(AfterPopup);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Qt closes the list as the key is first offered (ShortcutOverride).
        const bool key = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
        if (watched == view() && key && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            view()->isVisible())
            escaped_ = true;
        else if (watched == watchedList_ && event->type() == QEvent::Hide && escaped_) {
            escaped_ = false;
            QMetaObject::invokeMethod(
                this, [this] { if (EscapedFromList) Safely(EscapedFromList); }, Qt::QueuedConnection);
        }
        return QComboBox::eventFilter(watched, event);
    }
    void paintEvent(QPaintEvent* e) override {
        if (!combo_ || !combo_->OwnerDrawn()) {
            QComboBox::paintEvent(e);
            return;
        }
        QStylePainter painter(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText.clear();
        painter.drawComplexControl(QStyle::CC_ComboBox, opt);
        QRect edit = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        TQtPainterEngine engine;
        painter.save();
        painter.translate(edit.topLeft());
        engine.Attach(&painter, TRect(0, 0, edit.width(), edit.height()));
        TOwnerDrawState state{odComboBoxEdit};
        if (hasFocus()) state << odFocused << odSelected;
        Safely([&] {
            combo_->PaintItemTo(&engine, combo_->ItemIndex, TRect(0, 0, edit.width(), edit.height()), state);
        });
        painter.restore();
    }

private:
    TComboBox* combo_;
    QPointer<QWidget> watchedList_;
    bool escaped_ = false;
};

// Items of an owner-drawn combo box are drawn by the model.
class ComboDelegate : public QStyledItemDelegate {
public:
    explicit ComboDelegate(ComboWidget* box) : QStyledItemDelegate(box), box_(box) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        TComboBox* combo = box_->Combo();
        if (!combo) return;
        TQtPainterEngine engine;
        QRect r = option.rect;
        painter->save();
        painter->translate(r.topLeft());
        engine.Attach(painter, TRect(0, 0, r.width(), r.height()));
        TOwnerDrawState state;
        if (option.state & QStyle::State_Selected) state << odSelected;
        if (option.state & QStyle::State_HasFocus) state << odFocused;
        if (!(option.state & QStyle::State_Enabled)) state << odDisabled;
        Safely([&] { combo->PaintItemTo(&engine, index.row(), TRect(0, 0, r.width(), r.height()), state); });
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        TComboBox* combo = box_->Combo();
        return combo ? QSize(s.width(), combo->ItemHeight) : s;
    }

private:
    ComboWidget* box_;
};

class ComboPeer : public TQtControlPeer {
public:
    ~ComboPeer() override { box_->Detach(); }
    explicit ComboPeer(TComboBox* combo) : TQtControlPeer(combo), combo_(combo) {
        box_ = new ComboWidget(combo);
        box_->setInsertPolicy(QComboBox::NoInsert);
        box_->setItemDelegate(new ComboDelegate(box_));
        // Opening the list lets the program fill it first (OnDropDown).
        box_->BeforePopup = [this] {
            if (!combo_->DroppedDown) combo_->UserSet(combo_->DroppedDown, true);
            QuietScope quiet(this);
            SyncItems();
        };
        box_->AfterPopup = [this] {
            if (combo_->DroppedDown) combo_->UserSet(combo_->DroppedDown, false);
        };
        // The Esc that closed the list reaches the combo box's own key
        // handler, as a key typed in it (a list over a grid's cell takes
        // back the cell's edit); nothing else answers it, the form's
        // "Annulla" included: this Esc was the list's.
        box_->EscapedFromList = [this] {
            if (combo_->DroppedDown) combo_->UserSet(combo_->DroppedDown, false);
            WORD key = VK_ESCAPE;
            combo_->KeyDown(key, TShiftState());
            Resync();
        };
        QObject::connect(box_, &QComboBox::activated, box_, Guarded([this](int index) {
                             if (Quiet()) return;
                             if (auto* line = dynamic_cast<ComboLineEdit*>(box_->lineEdit());
                                 line && line->Leaving()) {
                                 Resync();
                                 return;
                             }
                             combo_->SelectByUser(index);
                             Resync();
                         }));
        Init(box_);
    }
    bool NativeKeys() const override { return true; }
    void InsertText(const QString& text) override {
        if (box_->lineEdit()) box_->lineEdit()->insert(text);
    }
    void Resync() override {
        QuietScope quiet(this);
        if (box_->currentIndex() != combo_->ItemIndex) box_->setCurrentIndex(combo_->ItemIndex);
        if (box_->isEditable() && box_->currentText() != ToQString(combo_->Text))
            box_->setEditText(ToQString(combo_->Text));
    }

protected:
    void Sync(TPropId id, int index) override {
        switch (id) {
        case TPropId::None:
            SyncStyle();
            SyncItems();
            box_->setMaxVisibleItems(std::max(1, combo_->DropDownCount.Get()));
            return;
        case TPropId::Style:
            SyncStyle();
            SyncItems();
            return;
        case TPropId::Items:
        case TPropId::Sorted: SyncItems(); return;
        case TPropId::ItemIndex:
        case TPropId::Text:
            box_->setCurrentIndex(combo_->ItemIndex);
            if (box_->isEditable()) box_->setEditText(ToQString(combo_->Text));
            box_->update();
            return;
        case TPropId::DropDownCount:
            box_->setMaxVisibleItems(std::max(1, combo_->DropDownCount.Get()));
            return;
        case TPropId::MaxLength:
            if (box_->lineEdit())
                box_->lineEdit()->setMaxLength(combo_->MaxLength > 0 ? combo_->MaxLength.Get() : 32767);
            return;
        case TPropId::Position:
            if (combo_->DroppedDown && !box_->view()->isVisible())
                box_->showPopup();
            else if (!combo_->DroppedDown && box_->view()->isVisible())
                box_->hidePopup();
            return;
        default: TQtControlPeer::Sync(id, index);
        }
    }

private:
    void SyncStyle() {
        bool editable = combo_->TextIsFree();
        if (box_->isEditable() != editable) {
            if (editable)
                box_->setLineEdit(new ComboLineEdit);
            else
                box_->setEditable(false);
            if (QLineEdit* line = box_->lineEdit()) {
                QObject::connect(line, &QLineEdit::textEdited, box_, Guarded([this](const QString& text) {
                                     if (Quiet()) return;
                                     QuietScope quiet(this);
                                     combo_->UserSet(combo_->Text, FromQString(text));
                                 }));
                line->setMaxLength(combo_->MaxLength > 0 ? combo_->MaxLength.Get() : 32767);
            }
        }
    }
    void SyncItems() {
        QStringList items;
        for (int i = 0; i < combo_->Items->Count(); ++i) items << ToQString((*combo_->Items)[i]);
        bool same = box_->count() == items.size();
        for (int i = 0; same && i < box_->count(); ++i) same = box_->itemText(i) == items[i];
        if (!same) {
            box_->clear();
            box_->addItems(items);
        }
        box_->setCurrentIndex(combo_->ItemIndex);
        if (box_->isEditable()) box_->setEditText(ToQString(combo_->Text));
    }
    TComboBox* combo_;
    ComboWidget* box_;
};

// ---------------------------------------------------------------- list boxes

// The model draws the items and picks them with the mouse; the peer adds
// the scroll bar and the keys that move the choice.
class ListBoxPeer : public TQtSurfacePeer {
public:
    explicit ListBoxPeer(TListBox* list) : TQtSurfacePeer(list), list_(list) {
        surface_->setFocusPolicy(Qt::StrongFocus);
        bar_ = new QScrollBar(Qt::Vertical, surface_);
        MarkDecoration(bar_);
        QObject::connect(bar_, &QScrollBar::valueChanged, bar_, Guarded([this](int v) {
                             if (Quiet()) return;
                             QuietScope quiet(this);
                             list_->UserSet(list_->TopIndex, v);
                             surface_->InvalidateModel(surface_->rect());
                         }));
        SyncBar();
    }
    bool NativeKeys() const override { return true; }
    void PaintBackground(QPainter& painter, const QRect& rect) override {
        painter.fillRect(rect, ToQColor(list_->Color));
    }
    void PaintSurface(TQtBitmapEngine& engine, const QRect& limit) override {
        TQtSurfacePeer::PaintSurface(engine, limit);
        int h = std::max(1, list_->ItemHeight.Get());
        for (int i = list_->TopIndex; i < list_->Items->Count(); ++i) {
            TRect r = list_->ItemRect(i);
            if (r.Top >= list_->ClientHeight) break;
            TOwnerDrawState state;
            if (list_->IsSelected(i)) state << odSelected;
            if (i == list_->FocusMarkIndex() && list_->Focused()) state << odFocused;
            if (!list_->Enabled) state << odDisabled;
            list_->PaintItemTo(&engine, i, r, state);
            (void)h;
        }
    }
    bool DefaultKey(WORD key, TShiftState) override {
        int count = list_->Items->Count();
        if (count == 0) return false;
        int page = std::max(1, list_->ClientHeight / std::max(1, list_->ItemHeight.Get()));
        int i = list_->ItemIndex;
        switch (key) {
        case VK_UP: i = std::max(0, i - 1); break;
        case VK_DOWN: i = std::min(count - 1, i + 1); break;
        case VK_PRIOR: i = std::max(0, i - page); break;
        case VK_NEXT: i = std::min(count - 1, i + page); break;
        case VK_HOME: i = 0; break;
        case VK_END: i = count - 1; break;
        default: return false;
        }
        if (i != list_->ItemIndex) list_->UserSet(list_->ItemIndex, i);
        if (i < list_->TopIndex) list_->TopIndex = i;
        if (i >= list_->TopIndex + page) list_->TopIndex = i - page + 1;
        return true;
    }
    bool WheelScroll(int delta) override {
        int lines = -delta / 40;
        if (lines == 0) return false;
        list_->TopIndex = list_->TopIndex + lines;
        return true;
    }
    void Resync() override {
        QuietScope quiet(this);
        SyncBar();
    }

protected:
    void Sync(TPropId id, int index) override {
        TQtSurfacePeer::Sync(id, index);
        switch (id) {
        case TPropId::Items:
        case TPropId::ItemIndex:
        case TPropId::Selected:
        case TPropId::TopIndex:
        case TPropId::ItemHeight:
        case TPropId::Style:
        case TPropId::MultiSelect:
        case TPropId::Width:
        case TPropId::Height:
        case TPropId::Bounds:
            SyncBar();
            surface_->InvalidateModel(surface_->rect());
            break;
        default: break;
        }
    }

private:
    void SyncBar() {
        if (!bar_) return;
        int page = std::max(1, list_->ClientHeight / std::max(1, list_->ItemHeight.Get()));
        int max = std::max(0, list_->Items->Count() - page);
        bar_->setRange(0, max);
        bar_->setPageStep(page);
        bar_->setValue(list_->TopIndex);
        int w = bar_->sizeHint().width();
        bar_->setGeometry(list_->ClientWidth - w, 0, w, list_->ClientHeight);
        bar_->setVisible(max > 0);
    }
    TListBox* list_;
    QScrollBar* bar_ = nullptr;
};

// ---------------------------------------------------------------- scroll bars

class ScrollBarPeer : public TQtControlPeer {
public:
    explicit ScrollBarPeer(TScrollBar* bar) : TQtControlPeer(bar), model_(bar) {
        bar_ = new QScrollBar;
        QObject::connect(bar_, &QScrollBar::actionTriggered, bar_, Guarded([this](int action) {
                             if (Quiet()) return;
                             TScrollCode code;
                             switch (action) {
                             case QAbstractSlider::SliderSingleStepSub: code = scLineUp; break;
                             case QAbstractSlider::SliderSingleStepAdd: code = scLineDown; break;
                             case QAbstractSlider::SliderPageStepSub: code = scPageUp; break;
                             case QAbstractSlider::SliderPageStepAdd: code = scPageDown; break;
                             case QAbstractSlider::SliderToMinimum: code = scTop; break;
                             case QAbstractSlider::SliderToMaximum: code = scBottom; break;
                             case QAbstractSlider::SliderMove: code = scTrack; break;
                             default: return;
                             }
                             QuietScope quiet(this);
                             model_->Scroll(code, bar_->sliderPosition());
                             bar_->setSliderPosition(model_->Position);
                         }));
        QObject::connect(bar_, &QScrollBar::sliderReleased, bar_, Guarded([this] {
                             if (Quiet()) return;
                             QuietScope quiet(this);
                             model_->Scroll(scPosition, bar_->sliderPosition());
                             model_->Scroll(scEndScroll, model_->Position);
                             bar_->setValue(model_->Position);
                         }));
        Init(bar_);
    }
    bool NativeKeys() const override { return true; }

protected:
    void Sync(TPropId id, int index) override {
        switch (id) {
        case TPropId::None:
        case TPropId::Kind:
        case TPropId::Min:
        case TPropId::Max:
        case TPropId::Position:
        case TPropId::SmallChange:
        case TPropId::LargeChange:
        case TPropId::PageSize: {
            bar_->setOrientation(model_->Kind == sbVertical ? Qt::Vertical : Qt::Horizontal);
            int page = std::max(0, model_->PageSize.Get());
            bar_->setRange(model_->Min, std::max(model_->Min.Get(), model_->Max - std::max(page - 1, 0)));
            bar_->setSingleStep(model_->SmallChange);
            bar_->setPageStep(page > 0 ? page : model_->LargeChange.Get());
            bar_->setValue(model_->Position);
            return;
        }
        default: TQtControlPeer::Sync(id, index);
        }
    }

private:
    TScrollBar* model_;
    QScrollBar* bar_;
};

}  // namespace

TControlPeer* MakeControlPeer(TControl* control) {
    if (auto f = dynamic_cast<TCustomForm*>(control)) return new TQtFormPeer(f);
    if (dynamic_cast<TGraphicControl*>(control)) return new TQtGraphicPeer(control);
    if (TControlPeer* p = MakeComCtrlPeer(control)) return p;
    // Panels, tab controls, status bars, rich edits: the model paints them and takes their keys.
    if (control->ModelPainted()) return new TQtSurfacePeer(control);
    if (auto m = dynamic_cast<TMemo*>(control)) return new MemoPeer(m);
    if (auto e = dynamic_cast<TCustomEdit*>(control)) return new EditPeer(e);
    if (auto b = dynamic_cast<TButton*>(control)) return new ButtonPeer(b);
    if (auto c = dynamic_cast<TCheckBox*>(control)) return new CheckBoxPeer(c);
    if (auto r = dynamic_cast<TRadioButton*>(control)) return new RadioPeer(r);
    if (auto g = dynamic_cast<TGroupBox*>(control)) return new GroupBoxPeer(g);
    if (auto c = dynamic_cast<TComboBox*>(control)) return new ComboPeer(c);
    if (auto l = dynamic_cast<TListBox*>(control)) return new ListBoxPeer(l);
    if (auto s = dynamic_cast<TScrollBar*>(control)) return new ScrollBarPeer(s);
    // Panels, scroll boxes, the program's own controls: the model paints them.
    return new TQtSurfacePeer(control);
}

}  // namespace ovqt
