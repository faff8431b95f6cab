// Forms and controls shown through their Qt peers: what the program sets
// shows on the widgets, and what the person does reaches the model once.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QToolTip>
#include <memory>
#include <typeinfo>

#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/grids.h"
#include "platform/menus.h"
#include "qt/qt_test_support.h"

using qttest::Settle;
using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

// A form holding one control of every kind.
struct SampleForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TLabel* label;
    TEdit* edit;
    TMemo* memo;
    TButton* ok;
    TButton* cancel;
    TCheckBox* check;
    TRadioButton* radioA;
    TRadioButton* radioB;
    TGroupBox* group;
    TRadioButton* radioInGroup;
    TPanel* panel;
    TSpeedButton* speed;
    TBevel* bevel;
    TComboBox* combo;
    TListBox* list;
    TScrollBar* scroll;
    TImage* image;
    TPaintBox* paint;
    TMainMenu* menu;
    TMenuItem* fileNew;
    TStringGrid* strings;
    TTreeView* tree;
    TTabControl* tabs;
    TPageControl* pages;
    TTabSheet* sheet1;
    TTabSheet* sheet2;
    TScrollBox* scrollBox;
    TPageScroller* scroller;
    TEdit* number;
    TUpDown* updown;
    TStatusBar* status;
    TProgressBar* progress;
    TRichEdit* rich;

    template <class T>
    T* Add(TWinControl* parent, int l, int t, int w, int h) {
        T* c = new T(form.get());
        c->Parent = parent;
        c->SetBounds(l, t, w, h);
        return c;
    }

    SampleForm() {
        TForm* f = form.get();
        f->Caption = "Dati del componente";
        f->SetBounds(40, 30, 900, 640);
        label = Add<TLabel>(f, 8, 8, 120, 16);
        label->Caption = "&Descrizione:";
        edit = Add<TEdit>(f, 8, 28, 200, 22);
        edit->Text = "Presa TV";
        memo = Add<TMemo>(f, 8, 56, 200, 60);
        memo->Lines->Add("Prima riga");
        memo->Lines->Add("Seconda riga");
        ok = Add<TButton>(f, 720, 540, 75, 25);
        ok->Caption = "OK";
        ok->Default = true;
        ok->ModalResult = mrOk;
        cancel = Add<TButton>(f, 802, 540, 75, 25);
        cancel->Caption = "Annulla";
        cancel->Cancel = true;
        cancel->ModalResult = mrCancel;
        check = Add<TCheckBox>(f, 8, 124, 150, 20);
        check->Caption = "Attenuatore";
        check->AllowGrayed = true;
        radioA = Add<TRadioButton>(f, 8, 148, 120, 20);
        radioA->Caption = "Terrestre";
        radioA->Checked = true;
        radioB = Add<TRadioButton>(f, 130, 148, 120, 20);
        radioB->Caption = "Satellite";
        group = Add<TGroupBox>(f, 220, 8, 160, 80);
        group->Caption = "Banda";
        radioInGroup = Add<TRadioButton>(group, 10, 24, 120, 20);
        radioInGroup->Caption = "UHF";
        panel = Add<TPanel>(f, 220, 96, 160, 60);
        panel->Caption = "Pannello";
        panel->Color = clMoneyGreen;
        speed = Add<TSpeedButton>(panel, 4, 4, 23, 22);
        speed->GroupIndex = 1;
        speed->Caption = "A";
        bevel = Add<TBevel>(f, 8, 176, 200, 4);
        bevel->Shape = bsTopLine;
        combo = Add<TComboBox>(f, 8, 190, 200, 22);
        combo->Style = csDropDownList;
        combo->Items->Add("Canale 21");
        combo->Items->Add("Canale 22");
        combo->Items->Add("Canale 23");
        combo->ItemIndex = 1;
        list = Add<TListBox>(f, 390, 8, 150, 120);
        for (int i = 1; i <= 20; ++i) list->Items->Add("Voce " + std::to_string(i));
        scroll = Add<TScrollBar>(f, 8, 220, 200, 17);
        scroll->Max = 50;
        image = Add<TImage>(f, 390, 140, 64, 64);
        image->Picture->Bitmap->SetSize(64, 64);
        image->Picture->Bitmap->Canvas->Brush->Color = clBlue;
        image->Picture->Bitmap->Canvas->FillRect(Rect(0, 0, 64, 64));
        image->Picture->Bitmap->Canvas->Brush->Color = clYellow;
        image->Picture->Bitmap->Canvas->Ellipse(8, 8, 56, 56);
        paint = Add<TPaintBox>(f, 220, 170, 150, 100);
        paint->OnPaint = [this](TObject*) {
            TCanvas* c = paint->Canvas;
            c->Brush->Color = clWhite;
            c->FillRect(Rect(0, 0, paint->Width, paint->Height));
            c->Pen->Color = clRed;
            c->Pen->Width = 3;
            c->MoveTo(0, 0);
            c->LineTo(150, 100);
            c->Font->Height = -14;
            c->Brush->Style = bsClear;
            c->TextOut(10, 70, "Schema");
        };
        menu = new TMainMenu(f);
        auto* file = new TMenuItem(menu);
        file->Caption = "&File";
        menu->Items->Add(file);
        fileNew = new TMenuItem(menu);
        fileNew->Caption = "&Nuovo";
        fileNew->ShortCut = ShortCut('N', TShiftState{ssCtrl});
        file->Add(fileNew);
        f->Menu = menu;

        strings = Add<TStringGrid>(f, 8, 290, 260, 110);
        strings->ColCount = 4;
        strings->RowCount = 8;
        strings->DefaultColWidth = 60;
        strings->DefaultRowHeight = 18;
        strings->Cells[0][0] = "Piano";
        strings->Cells[1][0] = "Presa";
        strings->Cells[1][1] = "72,5";
        tree = Add<TTreeView>(f, 280, 290, 160, 110);
        TTreeNode* root = tree->Items->AddChild(nullptr, "Centralino");
        tree->Items->AddChild(root, "Amplificatore");
        tree->Items->AddChild(root, "Partitore");
        root->Expand(false);
        tabs = Add<TTabControl>(f, 560, 220, 200, 80);
        tabs->Tabs->Add("Terrestre");
        tabs->Tabs->Add("Satellite");
        tabs->TabIndex = 0;
        pages = Add<TPageControl>(f, 560, 310, 200, 110);
        sheet1 = new TTabSheet(f);
        sheet1->Caption = "Dati";
        sheet1->PageControl = pages;
        sheet2 = new TTabSheet(f);
        sheet2->Caption = "Note";
        sheet2->PageControl = pages;
        pages->ActivePage = sheet1;
        auto* onSheet = Add<TLabel>(sheet1, 8, 8, 120, 16);
        onSheet->Caption = "Sulla prima pagina";
        scrollBox = Add<TScrollBox>(f, 450, 290, 100, 110);
        Add<TButton>(scrollBox, 10, 150, 60, 24)->Caption = "In fondo";
        scroller = Add<TPageScroller>(f, 8, 410, 260, 40);
        auto* strip = Add<TPanel>(scroller, 0, 0, 600, 36);
        strip->Caption = "Striscia";
        scroller->Control = strip;
        number = Add<TEdit>(f, 280, 410, 60, 22);
        updown = Add<TUpDown>(f, 340, 410, 16, 22);
        updown->Associate = number;
        updown->Max = 10;
        updown->Position = 3;
        progress = Add<TProgressBar>(f, 370, 410, 150, 16);
        progress->Position = 40;
        rich = Add<TRichEdit>(f, 8, 460, 400, 80);
        rich->Lines->Add("Livello insufficiente");
        rich->SelStart = 0;
        rich->SelLength = 7;
        rich->SelAttributes->SetColor(clRed);
        status = new TStatusBar(f);
        status->Parent = f;
        status->Panels->Add()->Text = "Pronto";
        status->Panels->Add()->Text = "Piano 1";
    }
};

QImage SurfacePixels(TControl* c) { return WidgetOf(c)->grab().toImage(); }

}  // namespace

TEST(QtControls, EveryKindShowsWithItsPeer) {
    SampleForm s;
    s.form->Show();
    Settle();
    for (TControl* c : std::initializer_list<TControl*>{
             s.form.get(),   s.label,   s.edit,   s.memo,   s.ok,       s.check,  s.radioA, s.group,
             s.radioInGroup, s.panel,   s.speed,  s.bevel,  s.combo,    s.list,   s.scroll, s.image,
             s.paint,        s.strings, s.tree,   s.tabs,   s.pages,    s.sheet1, s.sheet2, s.scrollBox,
             s.scroller,     s.number,  s.updown, s.status, s.progress, s.rich})
        EXPECT_NE(c->Peer(), nullptr) << typeid(*c).name();
    // Windowed controls keep the bounds their code set, inside their parent's client area.
    for (TControl* c : std::initializer_list<TControl*>{
             s.edit,   s.memo,      s.ok,       s.check,   s.group,  s.radioInGroup, s.panel,
             s.combo,  s.list,      s.scroll,   s.strings, s.tree,   s.tabs,         s.pages,
             s.sheet1, s.scrollBox, s.scroller, s.updown,  s.status, s.progress,     s.rich}) {
        QWidget* w = qttest::WindowOf(c);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->geometry(), QRect(c->Left, c->Top, c->Width, c->Height)) << typeid(*c).name();
    }
    EXPECT_EQ(qobject_cast<QLineEdit*>(WindowOf(s.edit))->text(), "Presa TV");
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(WindowOf(s.memo))->toPlainText(), "Prima riga\nSeconda riga");
    EXPECT_EQ(qobject_cast<QComboBox*>(WindowOf(s.combo))->currentText(), "Canale 22");
    EXPECT_EQ(qobject_cast<QPushButton*>(WindowOf(s.ok))->text(), "OK");
    EXPECT_TRUE(qobject_cast<QRadioButton*>(WindowOf(s.radioA))->isChecked());
    QWidget* window = WindowOf(s.form.get());
    EXPECT_EQ(window->windowTitle(), "Dati del componente");
    EXPECT_EQ(WidgetOf(s.form.get())->size(), QSize(s.form->ClientWidth, s.form->ClientHeight));
    QMenuBar* bar = window->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());

    QImage shot = window->grab().toImage();
    ASSERT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("form-every-control.png"))));
    EXPECT_GT(qttest::Colours(shot), 20);
    // The model's paintings show where their controls stand.
    QImage client = SurfacePixels(s.form.get());
    EXPECT_EQ(client.pixelColor(s.paint->Left + 50, s.paint->Top + 33), QColor(Qt::red));
    EXPECT_EQ(client.pixelColor(s.image->Left + 2, s.image->Top + 2), QColor(Qt::blue));
    EXPECT_EQ(client.pixelColor(s.image->Left + 32, s.image->Top + 32), QColor(Qt::yellow));
    QImage panel = SurfacePixels(s.panel);
    EXPECT_EQ(panel.pixelColor(150, 50), ovqt::ToQColor(clMoneyGreen));
    // Only the page shown is visible; the status bar lies along the bottom.
    EXPECT_FALSE(WindowOf(s.sheet2)->isVisible());
    EXPECT_EQ(WindowOf(s.status)->geometry().bottom(), s.form->ClientHeight - 1);
    EXPECT_EQ(qobject_cast<QLineEdit*>(WindowOf(s.number))->text(), "3");
    // The scroll box offers a scroll bar for the button below its bottom edge.
    auto* boxBar = WidgetOf(s.scrollBox)->findChild<QScrollBar*>();
    ASSERT_NE(boxBar, nullptr);
    EXPECT_TRUE(boxBar->isVisible());
    EXPECT_EQ(boxBar->orientation(), Qt::Vertical);
    // The page scroller's arrow scrolls the strip inside it.
    auto arrows = WidgetOf(s.scroller)->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QToolButton* forth = arrows[0]->isVisible() ? arrows[0] : arrows[1];
    EXPECT_TRUE(forth->isVisible());
    forth->click();
    EXPECT_GT(s.scroller->Position, 0);
    EXPECT_EQ(s.scroller->Controls(0)->Left, -s.scroller->Position);
    boxBar->setValue(boxBar->maximum());
    EXPECT_EQ(s.scrollBox->VertScrollBar->Position, boxBar->maximum());
    EXPECT_LE(s.scrollBox->Controls(0)->Top + s.scrollBox->Controls(0)->Height, s.scrollBox->ClientHeight);
}

TEST(QtControls, ProgramChangesShowOnTheWidgets) {
    SampleForm s;
    s.form->Show();
    Settle();
    int changes = 0;
    s.edit->OnChange = [&](TObject*) { ++changes; };
    s.edit->Text = "Derivatore";
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(qobject_cast<QLineEdit*>(WindowOf(s.edit))->text(), "Derivatore");
    s.edit->Enabled = false;
    EXPECT_FALSE(WindowOf(s.edit)->isEnabled());
    // Disabled, a control shows the style's greys whatever ink and colour it was given.
    s.combo->Font->Color = clNavy;
    s.combo->Color = clYellow;
    s.combo->Enabled = false;
    const QPalette pal = WindowOf(s.combo)->palette();
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Text), QColor(0, 0, 128));
    EXPECT_EQ(pal.color(QPalette::Active, QPalette::Base), QColor(255, 255, 0));
    EXPECT_NE(pal.color(QPalette::Disabled, QPalette::Text), QColor(0, 0, 128));
    EXPECT_NE(pal.color(QPalette::Disabled, QPalette::Base), QColor(255, 255, 0));
    s.combo->Enabled = true;
    s.edit->Left = 20;
    EXPECT_EQ(WindowOf(s.edit)->x(), 20);
    s.memo->Visible = false;
    EXPECT_FALSE(WindowOf(s.memo)->isVisible());
    s.check->State = cbGrayed;
    EXPECT_EQ(qobject_cast<QCheckBox*>(WindowOf(s.check))->checkState(), Qt::PartiallyChecked);
    s.radioB->Checked = true;
    EXPECT_TRUE(qobject_cast<QRadioButton*>(WindowOf(s.radioB))->isChecked());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(WindowOf(s.radioA))->isChecked());
    s.combo->Items->Add("Canale 24");
    s.combo->ItemIndex = 3;
    EXPECT_EQ(qobject_cast<QComboBox*>(WindowOf(s.combo))->currentText(), "Canale 24");
    s.scroll->Position = 30;
    EXPECT_EQ(qobject_cast<QScrollBar*>(WindowOf(s.scroll))->value(), 30);
    s.form->Caption = "Nuovo titolo";
    EXPECT_EQ(WindowOf(s.form.get())->windowTitle(), "Nuovo titolo");
    // A control made after the form is shown gets its peer at once.
    auto* late = new TButton(s.form.get());
    late->Parent = s.form.get();
    late->SetBounds(300, 300, 60, 24);
    ASSERT_NE(WindowOf(late), nullptr);
    EXPECT_TRUE(WindowOf(late)->isVisible());
    // Hiding the form hides its window; the controls keep their peers.
    s.form->Hide();
    EXPECT_FALSE(WindowOf(s.form.get())->isVisible());
}

TEST(QtControls, AClickOnAButtonFiresOnClickOnce) {
    SampleForm s;
    s.form->Show();
    Settle();
    int clicks = 0, downs = 0, ups = 0;
    s.ok->OnClick = [&](TObject*) { ++clicks; };
    s.ok->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    s.ok->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
    QTest::mouseClick(WindowOf(s.ok), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
    // The button is not modal here, yet its modal result reached the form.
    EXPECT_EQ(s.form->ModalResult, mrOk);
}

TEST(QtControls, ChecksRadiosAndSpeedButtonsFollowThePersonsClicks) {
    SampleForm s;
    s.form->Show();
    Settle();
    int checkClicks = 0;
    s.check->OnClick = [&](TObject*) { ++checkClicks; };
    auto* box = qobject_cast<QCheckBox*>(WindowOf(s.check));
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_EQ(s.check->State, cbGrayed);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_EQ(s.check->State, cbChecked);
    EXPECT_EQ(box->checkState(), Qt::Checked);
    EXPECT_EQ(checkClicks, 2);

    auto* b = qobject_cast<QRadioButton*>(WindowOf(s.radioB));
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    EXPECT_TRUE(s.radioB->Checked);
    EXPECT_FALSE(s.radioA->Checked);
    EXPECT_FALSE(qobject_cast<QRadioButton*>(WindowOf(s.radioA))->isChecked());
    // Clicking the checked one leaves it checked.
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
    EXPECT_TRUE(b->isChecked());

    // A speed button has no window: the click lands on its parent's surface.
    int speedClicks = 0;
    s.speed->OnClick = [&](TObject*) { ++speedClicks; };
    QTest::mouseClick(WidgetOf(s.panel), Qt::LeftButton, {}, QPoint(s.speed->Left + 5, s.speed->Top + 5));
    EXPECT_EQ(speedClicks, 1);
    EXPECT_TRUE(s.speed->Down);
}

TEST(QtControls, KeysTypedIntoAnEditUpdateItsText) {
    SampleForm s;
    s.form->Show();
    Settle();
    auto* line = qobject_cast<QLineEdit*>(WindowOf(s.edit));
    s.edit->SetFocus();
    Settle();
    int changes = 0;
    std::string pressed;
    s.edit->OnChange = [&](TObject*) { ++changes; };
    s.edit->OnKeyPress = [&](TObject*, char& key) {
        pressed += key;
        if (key == '.') key = ',';  // a decimal point typed becomes the decimal comma
    };
    line->selectAll();
    QTest::keyClicks(line, "Cavo 1.5");
    EXPECT_EQ(s.edit->Text, "Cavo 1,5");
    EXPECT_EQ(line->text(), "Cavo 1,5");
    EXPECT_EQ(pressed, "Cavo 1.5");
    EXPECT_EQ(changes, 8);
    QTest::keyClick(line, Qt::Key_Backspace);
    EXPECT_EQ(s.edit->Text, "Cavo 1,");
    EXPECT_EQ(s.edit->SelStart, 7);
    // A handler that eats a key keeps it out of the text.
    s.edit->OnKeyPress = [](TObject*, char& key) {
        if (key == 'x') key = 0;
    };
    QTest::keyClicks(line, "x2");
    EXPECT_EQ(s.edit->Text, "Cavo 1,2");
}

TEST(QtControls, EnterClicksTheDefaultButtonAndTabMovesInTabOrder) {
    SampleForm s;
    s.form->Show();
    Settle();
    int okClicks = 0;
    s.ok->OnClick = [&](TObject*) { ++okClicks; };
    s.edit->SetFocus();
    Settle();
    QTest::keyClick(WindowOf(s.edit), Qt::Key_Return);
    EXPECT_EQ(okClicks, 1);
    int exits = 0;
    s.edit->OnExit = [&](TObject*) { ++exits; };
    QTest::keyClick(WindowOf(s.edit), Qt::Key_Tab);
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(s.form->FocusedControl(), s.memo);
    EXPECT_TRUE(WindowOf(s.memo)->hasFocus());
}

TEST(QtControls, ComboAndListChoicesFireTheirEventsOnce) {
    SampleForm s;
    s.form->Show();
    Settle();
    int changes = 0;
    s.combo->OnChange = [&](TObject*) { ++changes; };
    auto* box = qobject_cast<QComboBox*>(WindowOf(s.combo));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(s.combo->ItemIndex, 2);
    EXPECT_EQ(s.combo->Text, "Canale 23");
    EXPECT_EQ(changes, 1);

    int listClicks = 0;
    s.list->OnClick = [&](TObject*) { ++listClicks; };
    QTest::mouseClick(WidgetOf(s.list), Qt::LeftButton, {}, QPoint(20, 2 * s.list->ItemHeight + 3));
    EXPECT_EQ(s.list->ItemIndex, 2);
    EXPECT_EQ(listClicks, 1);
    QTest::keyClick(WidgetOf(s.list), Qt::Key_Down);
    EXPECT_EQ(s.list->ItemIndex, 3);
    // The list's scroll bar scrolls it and chooses nothing.
    auto* listBar = WidgetOf(s.list)->findChild<QScrollBar*>();
    ASSERT_NE(listBar, nullptr);
    QTest::mouseClick(listBar, Qt::LeftButton, {}, QPoint(listBar->width() / 2, listBar->height() - 4));
    EXPECT_EQ(s.list->TopIndex, 1);
    EXPECT_EQ(s.list->ItemIndex, 3);
    EXPECT_EQ(listClicks, 2);
    QTest::keyClick(WidgetOf(s.list), Qt::Key_End);
    EXPECT_EQ(s.list->ItemIndex, 19);
    EXPECT_GT(s.list->TopIndex, 0);
}

// A disabled list, and a list inside a disabled group, take no click, no
// wheel and no popup request, and show their items greyed.
TEST(QtControls, ADisabledListTakesNoMouseAndShowsGreyItems) {
    SampleForm s;
    TListBox* inGroup = s.Add<TListBox>(s.group, 10, 48, 140, 28);
    inGroup->Items->Add("Presa 1");
    s.form->Show();
    Settle();
    int downs = 0;
    for (TListBox* list : {s.list, inGroup}) {
        list->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
        list->OnClick = [&](TObject*) { ++downs; };
    }
    s.list->ItemIndex = 0;
    s.list->Enabled = false;
    s.group->Enabled = false;
    Settle();
    QTest::mouseClick(WidgetOf(s.list), Qt::LeftButton, {}, QPoint(20, 2 * s.list->ItemHeight + 3));
    QTest::mouseClick(WidgetOf(inGroup), Qt::LeftButton, {}, QPoint(20, 3));
    QTest::mouseClick(WidgetOf(s.list), Qt::RightButton, {}, QPoint(20, 3));
    QWheelEvent wheel(QPointF(20, 20), WidgetOf(s.list)->mapToGlobal(QPointF(20, 20)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(WidgetOf(s.list), &wheel);
    EXPECT_EQ(s.list->ItemIndex, 0);
    EXPECT_EQ(s.list->TopIndex, 0);
    EXPECT_EQ(inGroup->ItemIndex, -1);
    EXPECT_EQ(downs, 0);

    // The unselected items are drawn in the grey of disabled text, not in black.
    const QImage image = WidgetOf(s.list)->grab().toImage();
    image.save(QString::fromStdString(qttest::Artefact("qt-disabled-list.png")));
    int darkest = 255;
    for (int y = s.list->ItemHeight; y < 4 * s.list->ItemHeight; ++y)
        for (int x = 2; x < 100; ++x) darkest = std::min(darkest, qGray(image.pixel(x, y)));
    EXPECT_GT(darkest, 64);
    EXPECT_LT(darkest, 200);  // the text is there

    s.list->Enabled = true;
    s.group->Enabled = true;
    Settle();
    QTest::mouseClick(WidgetOf(inGroup), Qt::LeftButton, {}, QPoint(20, 3));
    EXPECT_EQ(inGroup->ItemIndex, 0);
}

// A speed button has no window of its own: its hint shows as a tool tip
// when the pointer rests on it, and none shows for a button without one.
TEST(QtControls, ASpeedButtonShowsItsHintAsAToolTip) {
    SampleForm s;
    s.speed->Hint = "Divisori";
    s.speed->ShowHint = true;
    s.form->Show();
    Settle();
    QWidget* panel = WidgetOf(s.panel);
    auto rest = [panel](QPoint at) {
        QToolTip::hideText();  // it goes after a short delay
        EXPECT_TRUE(qttest::WaitUntil([] { return !QToolTip::isVisible(); }));
        QHelpEvent help(QEvent::ToolTip, at, panel->mapToGlobal(at));
        QApplication::sendEvent(panel, &help);
        Settle();
    };
    const QPoint onButton(s.speed->Left + 10, s.speed->Top + 10);
    rest(onButton);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text().toStdString(), "Divisori");

    s.speed->Enabled = false;  // a disabled button tells what it is too
    rest(onButton);
    EXPECT_TRUE(QToolTip::isVisible());
    s.speed->Enabled = true;

    s.speed->ShowHint = false;
    rest(onButton);
    EXPECT_FALSE(QToolTip::isVisible());
    s.speed->ShowHint = true;
    rest(QPoint(s.speed->Left + s.speed->Width + 20, s.speed->Top + 10));  // beside the button
    EXPECT_FALSE(QToolTip::isVisible());
}

// An editable combo whose text names an item it does not have chosen (its
// list refilled under the text) is left by the person without a choice: no
// change is reported and the text stays; a choice from the list is one.
TEST(QtControls, LeavingAnEditableComboChoosesNothing) {
    SampleForm s;
    s.form->Show();
    Settle();
    s.combo->Style = csDropDown;
    s.combo->Text = "Canale 22";
    s.combo->Items->Clear();
    for (const char* item : {"Canale 21", "Canale 22"}) s.combo->Items->Add(item);
    ASSERT_EQ(s.combo->ItemIndex, -1);
    int changes = 0;
    s.combo->OnChange = [&](TObject*) { ++changes; };
    auto* box = qobject_cast<QComboBox*>(WindowOf(s.combo));
    ASSERT_NE(box->lineEdit(), nullptr);
    s.combo->SetFocus();
    Settle();
    ASSERT_TRUE(box->lineEdit()->hasFocus());
    s.edit->SetFocus();
    Settle();
    EXPECT_TRUE(WindowOf(s.edit)->hasFocus());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(s.combo->Text, "Canale 22");
    EXPECT_EQ(box->currentText(), "Canale 22");

    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(s.combo->Text, "Canale 21");
    EXPECT_EQ(changes, 1);
}

TEST(QtControls, AModalFormReturnsTheResultOfTheButtonThatClosedIt) {
    struct Case {
        const char* how;
        int want;
    } cases[] = {{"ok", mrOk}, {"cancel", mrCancel}, {"close box", mrCancel}, {"escape", mrCancel}};
    for (const Case& k : cases) {
        SampleForm s;
        std::string how = k.how;
        qttest::WhenInFront(s.form.get(), [&] {
            if (how == "ok")
                QTest::mouseClick(WindowOf(s.ok), Qt::LeftButton);
            else if (how == "cancel")
                QTest::mouseClick(WindowOf(s.cancel), Qt::LeftButton);
            else if (how == "close box")
                WindowOf(s.form.get())->close();
            else
                QTest::keyClick(WindowOf(s.edit), Qt::Key_Escape);
        });
        EXPECT_EQ(s.form->ShowModal(), k.want) << k.how;
        EXPECT_FALSE(WindowOf(s.form.get())->isVisible()) << k.how;
    }
}

// While a form is modal the other windows take no input (their menus and
// buttons would start commands under the open dialog); afterwards they do again.
TEST(QtControls, AModalFormBlocksTheOtherWindowsUntilItCloses) {
    SampleForm main, dialog;
    main.form->Show();
    Settle();
    int clicks = 0;
    main.ok->OnClick = [&](TObject*) { ++clicks; };
    main.ok->ModalResult = mrNone;
    QWidget* modal = nullptr;
    // Through the window system, where Qt holds back input for blocked windows.
    auto clickThroughWindow = [](TButton* b) {
        QWidget* w = WindowOf(b);
        QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, {},
                          w->mapTo(w->window(), w->rect().center()));
        QApplication::processEvents();
    };
    qttest::WhenInFront(dialog.form.get(), [&] {
        modal = QApplication::activeModalWidget();
        clickThroughWindow(main.ok);
        clickThroughWindow(dialog.ok);
    });
    EXPECT_EQ(dialog.form->ShowModal(), mrOk);
    EXPECT_EQ(modal, WindowOf(dialog.form.get()));
    EXPECT_EQ(clicks, 0);
    Settle();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    clickThroughWindow(main.ok);
    EXPECT_EQ(clicks, 1);
    // Shown again, the same form is modal again.
    modal = nullptr;
    qttest::WhenInFront(dialog.form.get(), [&] {
        modal = QApplication::activeModalWidget();
        clickThroughWindow(dialog.ok);
    });
    EXPECT_EQ(dialog.form->ShowModal(), mrOk);
    EXPECT_EQ(modal, WindowOf(dialog.form.get()));
}

TEST(QtControls, AnOkHandlerMayKeepTheModalFormOpen) {
    SampleForm s;
    int attempts = 0;
    s.ok->OnClick = [&](TObject*) {
        // The first time the data are not complete: the form stays.
        if (++attempts == 1) s.form->ModalResult = mrNone;
    };
    // The second click once the first was handled and the form is still there.
    qttest::WhenInFront(s.form.get(), [&] {
        QTest::mouseClick(WindowOf(s.ok), Qt::LeftButton);
        EXPECT_EQ(attempts, 1);
        EXPECT_TRUE(WindowOf(s.form.get())->isVisible());
        QTest::mouseClick(WindowOf(s.ok), Qt::LeftButton);
    });
    EXPECT_EQ(s.form->ShowModal(), mrOk);
    EXPECT_EQ(attempts, 2);
}

TEST(QtControls, MenusAndShortcutsClickTheirItemsOnce) {
    SampleForm s;
    s.form->Show();
    Settle();
    int clicks = 0;
    s.fileNew->OnClick = [&](TObject*) { ++clicks; };
    auto* peer = dynamic_cast<ovqt::TQtMenuPeer*>(s.menu->Peer());
    ASSERT_NE(peer, nullptr);
    QAction* action = peer->ActionOf(s.fileNew);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text(), "&Nuovo\tCtrl+N");
    action->trigger();
    EXPECT_EQ(clicks, 1);
    // The shortcut, typed in an edit, is the menu's and not the edit's.
    s.edit->SetFocus();
    Settle();
    AnsiString before = s.edit->Text;
    QTest::keyClick(WindowOf(s.edit), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(s.edit->Text, before);
    // Changes of an item show at once.
    s.fileNew->Enabled = false;
    EXPECT_FALSE(action->isEnabled());
    s.fileNew->Caption = "&Nuovo progetto";
    EXPECT_TRUE(peer->ActionOf(s.fileNew)->text().startsWith("&Nuovo progetto"));
    auto* added = new TMenuItem(s.menu);
    added->Caption = "&Apri";
    s.menu->Items->Item(0)->Add(added);
    ASSERT_NE(peer->ActionOf(added), nullptr);
}

TEST(QtControls, PopupMenusClickTheChosenItem) {
    SampleForm s;
    auto* popup = new TPopupMenu(s.form.get());
    auto* del = new TMenuItem(popup);
    del->Caption = "&Elimina";
    popup->Items->Add(del);
    int clicks = 0;
    del->OnClick = [&](TObject*) { ++clicks; };
    s.panel->PopupMenu = popup;
    s.form->Show();
    Settle();
    qttest::WhenMenuShown([&](QMenu* menu) {
        ASSERT_EQ(menu->actions().size(), 1);
        QAction* a = menu->actions()[0];
        EXPECT_EQ(a->text(), "&Elimina");
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(50, 30),
                            WidgetOf(s.panel)->mapToGlobal(QPoint(50, 30)));
    QApplication::sendEvent(WidgetOf(s.panel), &event);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popup->PopupComponent, s.panel);
}

TEST(QtControls, TimersRunOnTheClock) {
    TTimer timer(nullptr);
    int ticks = 0;
    QElapsedTimer clock;
    clock.start();
    timer.Interval = 20;
    timer.OnTimer = [&](TObject*) { ++ticks; };
    ASSERT_TRUE(qttest::WaitUntil([&] { return ticks >= 3; }));
    // Three ticks take three periods at least (Qt's timers may fire a few
    // per cent early); a busy machine makes them later, never sooner.
    EXPECT_GE(clock.elapsed(), 55);
    timer.Enabled = false;
    const int stopped = ticks;
    // A timer of five periods, started after the stop, fires: the stopped
    // one had time for several ticks and gave none.
    TTimer longer(nullptr);
    bool longerFired = false;
    longer.Interval = 100;
    longer.OnTimer = [&](TObject*) { longerFired = true; };
    ASSERT_TRUE(qttest::WaitUntil([&] { return longerFired; }));
    EXPECT_EQ(ticks, stopped);
}

TEST(QtControls, MessageBoxesAnswerWithTheButtonChosen) {
    struct Case {
        int flags;
        const char* button;
        int want;
    } cases[] = {{MB_YESNO | MB_ICONQUESTION, "No", IDNO},
                 {MB_YESNOCANCEL, "Sì", IDYES},
                 {MB_OKCANCEL | MB_ICONWARNING, "Annulla", IDCANCEL},
                 {MB_OK | MB_ICONERROR, "OK", IDOK}};
    for (const Case& k : cases) {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        qttest::WhenBoxShown([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == QString::fromUtf8(k.button)) b->click();
        });
        int answer = Application->MessageBox("Sovrascrivere il file?", "Ordivex Varne", k.flags);
        EXPECT_EQ(answer, k.want) << k.button;
        EXPECT_EQ(title, "Ordivex Varne");
        EXPECT_EQ(text, QString::fromUtf8("Sovrascrivere il file?"));
        EXPECT_NE(icon == QMessageBox::NoIcon, (k.flags & 0xF0) != 0) << k.button;
    }
}

TEST(QtControls, RubberBandsOnAPaintBoxRestoreWhatTheyCross) {
    SampleForm s;
    s.form->Show();
    Settle();
    WidgetOf(s.form.get())->repaint();
    QImage before = SurfacePixels(s.form.get());
    TCanvas* c = s.paint->Canvas;
    c->Pen->Mode = pmXor;
    c->Pen->Color = clWhite;
    c->Brush->Style = bsClear;
    c->Rectangle(10, 10, 120, 80);
    Settle();
    QImage once = SurfacePixels(s.form.get());
    EXPECT_NE(once, before);
    // The band stays inside the paint box.
    EXPECT_EQ(once.copy(0, 0, s.paint->Left, s.form->ClientHeight),
              before.copy(0, 0, s.paint->Left, s.form->ClientHeight));
    c->Rectangle(10, 10, 120, 80);
    Settle();
    EXPECT_EQ(SurfacePixels(s.form.get()), before);
    // The canvas draws where the paint box is now, after it moved.
    s.paint->Left = s.paint->Left + 30;
    WidgetOf(s.form.get())->repaint();
    QImage moved = SurfacePixels(s.form.get());
    c->Pen->Mode = pmCopy;
    c->Pen->Color = clFuchsia;
    c->MoveTo(0, 5);
    c->LineTo(20, 5);
    Settle();
    QImage after = SurfacePixels(s.form.get());
    EXPECT_EQ(after.pixelColor(s.paint->Left + 10, s.paint->Top + 5), QColor(Qt::magenta));
    EXPECT_NE(moved.pixelColor(s.paint->Left + 10, s.paint->Top + 5), QColor(Qt::magenta));
}

TEST(QtControls, AnExceptionInAHandlerIsShownAndTheProgramGoesOn) {
    SampleForm s;
    s.form->Show();
    Settle();
    s.ok->OnClick = [](TObject*) { throw EConvertError("\"1,2,3\" non è un numero valido"); };
    QString shown;
    bool answered = false;
    qttest::WhenBoxShown([&](QMessageBox* box) {
        shown = box->text();
        box->buttons().front()->click();
        answered = true;
    });
    QTest::mouseClick(WindowOf(s.ok), Qt::LeftButton);
    EXPECT_TRUE(qttest::WaitUntil([&] { return answered && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(shown, QString::fromUtf8("\"1,2,3\" non è un numero valido"));
    // The form still works.
    int clicks = 0;
    s.ok->OnClick = [&](TObject*) { ++clicks; };
    QTest::mouseClick(WindowOf(s.ok), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST(QtControls, TheEventLoopRunsUntilTheProgramEnds) {
    int ticks = 0;
    TTimer timer(nullptr);
    timer.Interval = 10;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 3) Application->Terminate();
    };
    Application->Run();
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(Application->Terminated());
}
