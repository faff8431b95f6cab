// The standard controls: what the program sets, what the person does, and
// which events each fires.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/application.h"
#include "platform/forms.h"

namespace {
class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Script().Reset();
        form = std::make_unique<TForm>(nullptr);
    }
    template <class T>
    T* Make() {
        T* c = new T(form.get());
        c->Parent = form.get();
        return c;
    }
    std::unique_ptr<TForm> form;
};
}  // namespace

TEST_F(Controls, SettingAnEditsTextFiresOnChangeOnce) {
    auto edit = Make<TEdit>();
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->Text = "Derivatore";
    EXPECT_EQ(changes, 1);
    edit->Text = "Derivatore";  // the same text: no event
    EXPECT_EQ(changes, 1);
    edit->UserSet(edit->Text, AnsiString("Derivatore 4"));  // the person's change: once too
    EXPECT_EQ(changes, 2);
    edit->Text += " vie";
    EXPECT_EQ(edit->Text, "Derivatore 4 vie");
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(edit->Text == "Derivatore 4 vie");
    EXPECT_EQ("[" + edit->Text + "]", "[Derivatore 4 vie]");
    // The program's text puts the caret at the start; selections count characters.
    edit->Text = "Città";
    EXPECT_EQ(edit->SelStart, 0);
    edit->SelectAll();
    EXPECT_EQ(edit->SelLength, 5);
    edit->SelStart = 3;
    edit->SelLength = 9;
    EXPECT_EQ(edit->SelLength, 2);
    EXPECT_EQ(edit->SelText(), "tà");
    edit->SetSelText("");
    EXPECT_EQ(edit->Text, "Cit");
}

TEST_F(Controls, AMemosTextAndLinesFollowEachOther) {
    auto memo = Make<TMemo>();
    int changes = 0;
    memo->OnChange = [&](TObject*) { ++changes; };
    memo->Lines->Add("Banda");
    memo->Lines->Add("\tFM");
    EXPECT_EQ(memo->Text, "Banda\r\n\tFM");
    EXPECT_EQ(changes, 2);
    memo->Text = "uno\r\ndue\r\ntre";
    EXPECT_EQ(memo->Lines->Count(), 3);
    EXPECT_EQ((*memo->Lines)[2], "tre");
    EXPECT_EQ(changes, 3);
}

TEST_F(Controls, AnExclusiveSpeedButtonGroupKeepsOneButtonDown) {
    auto a = Make<TSpeedButton>(), b = Make<TSpeedButton>(), c = Make<TSpeedButton>();
    auto other = Make<TSpeedButton>();
    for (TSpeedButton* s : {a, b, c}) s->GroupIndex = 1;
    other->GroupIndex = 2;
    other->Down = true;
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    a->Down = true;
    b->ClickAt(5, 5);
    EXPECT_TRUE(b->Down);
    EXPECT_FALSE(a->Down);
    EXPECT_EQ(clicks, 1);
    b->ClickAt(5, 5);  // clicking the down button leaves it down
    EXPECT_TRUE(b->Down);
    EXPECT_EQ(clicks, 2);
    b->Down = false;  // refused without AllowAllUp
    EXPECT_TRUE(b->Down);
    c->Down = true;
    EXPECT_EQ(static_cast<int>(a->Down) + static_cast<int>(b->Down) + static_cast<int>(c->Down), 1);
    EXPECT_TRUE(other->Down);  // another group is untouched
    for (TSpeedButton* s : {a, b, c}) s->AllowAllUp = true;
    c->ClickAt(5, 5);
    EXPECT_FALSE(a->Down || b->Down || c->Down);
    // A button outside any group never stays down; Click alone only fires OnClick.
    auto plain = Make<TSpeedButton>();
    plain->Down = true;
    EXPECT_FALSE(plain->Down);
    b->Click();
    EXPECT_FALSE(b->Down);
    EXPECT_EQ(clicks, 3);
}

TEST_F(Controls, CheckBoxesHaveThreeStatesAndRadioButtonsExcludeEachOther) {
    auto box = Make<TCheckBox>();
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->Checked = true;  // the program's change fires OnClick, as in the class library
    EXPECT_EQ(box->State, cbChecked);
    EXPECT_EQ(clicks, 1);
    box->AllowGrayed = true;
    box->ClickAt(3, 3);  // checked -> unchecked
    EXPECT_EQ(box->State, cbUnchecked);
    box->ClickAt(3, 3);  // unchecked -> grey
    EXPECT_EQ(box->State, cbGrayed);
    EXPECT_FALSE(box->Checked);
    box->ClickAt(3, 3);  // grey -> checked
    EXPECT_TRUE(box->Checked);
    EXPECT_EQ(clicks, 4);
    box->Enabled = false;
    box->ClickAt(3, 3);
    EXPECT_TRUE(box->Checked);

    auto group = Make<TGroupBox>();
    TRadioButton* r[3];
    for (auto& x : r) {
        x = new TRadioButton(form.get());
        x->Parent = group;
    }
    auto outside = Make<TRadioButton>();
    outside->Checked = true;
    r[0]->Checked = true;
    r[2]->ClickAt(2, 2);
    EXPECT_FALSE(r[0]->Checked);
    EXPECT_TRUE(r[2]->Checked);
    EXPECT_TRUE(outside->Checked);
}

TEST_F(Controls, ComboBoxesTellTheProgramsChoiceFromThePersons) {
    auto combo = Make<TComboBox>();
    combo->Style = csDropDownList;
    combo->Items->Add("Morsetto");
    combo->Items->Add("F");
    combo->Items->Add("IEC");
    int changes = 0, clicks = 0;
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->OnClick = [&](TObject*) { ++clicks; };
    combo->ItemIndex = 1;
    EXPECT_EQ(combo->Text, "F");
    EXPECT_EQ(changes, 0);  // the program's choice fires nothing
    combo->SelectByUser(2);
    EXPECT_EQ(combo->Text, "IEC");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
    combo->ItemIndex = 7;  // out of range: no choice
    EXPECT_EQ(combo->ItemIndex, -1);
    EXPECT_EQ(combo->Text, "");
    combo->Text = "iec";  // a drop-down list picks the matching item
    EXPECT_EQ(combo->ItemIndex, 2);
    combo->Text = "SMA";  // and keeps its choice for a text it does not list
    EXPECT_EQ(combo->Text, "IEC");
    combo->Items->Delete(2);
    EXPECT_EQ(combo->ItemIndex, -1);

    // A drop-down combo keeps any typed text.
    auto free = Make<TComboBox>();
    free->Items->Add("100");
    free->Items->Add("120");
    free->Text = "130";
    EXPECT_EQ(free->ItemIndex, -1);
    free->Text = "120";
    EXPECT_EQ(free->ItemIndex, 1);
    int typed = 0;
    free->OnChange = [&](TObject*) { ++typed; };
    form->Show();
    free->SetFocus();
    form->TypeText("5");
    EXPECT_EQ(free->Text, "1205");
    EXPECT_EQ(typed, 1);

    // Owner-drawn items are painted by OnDrawItem on the combo's canvas.
    auto colours = Make<TComboBox>();
    colours->Style = csOwnerDrawFixed;
    colours->Items->Add("nero");
    colours->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState state) {
        colours->Canvas->Brush->Color = state.Contains(odSelected) ? clHighlight : clBlack;
        colours->Canvas->FillRect(InflateRect(rect, -2, -2));
        colours->Canvas->TextOut(rect.Left, rect.Top, std::to_string(index));
    };
    TRecordingEngine rec;
    colours->PaintItemTo(&rec, 0, Rect(0, 0, 80, 16), TOwnerDrawState{});
    ASSERT_EQ(rec.Calls.size(), 2u);
    EXPECT_EQ(rec.Calls[0].Rect, Rect(2, 2, 78, 14));
    EXPECT_EQ(rec.Calls[0].State.Brush.Color, clBlack);
    EXPECT_EQ(rec.Calls[1].Text, "0");
}

TEST_F(Controls, ListBoxesSelectOneOrManyItems) {
    auto list = Make<TListBox>();
    for (const char* s : {"a", "b", "c", "d"}) list->Items->Add(s);
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    list->ClickAt(5, 16 * 2 + 3);
    EXPECT_EQ(list->ItemIndex, 2);
    EXPECT_TRUE(list->Selected[2]);
    EXPECT_EQ(clicks, 1);
    list->ClickAt(5, 16 * 9);  // below the items: nothing
    EXPECT_EQ(list->ItemIndex, 2);
    EXPECT_EQ(list->ItemAtPos(TPoint(5, 16 * 9), false), 4);
    list->MultiSelect = true;
    list->ClickAt(5, 3, TShiftState{ssCtrl});
    EXPECT_TRUE(list->Selected[0]);
    EXPECT_TRUE(list->Selected[2]);
    EXPECT_EQ(list->SelCount(), 2);
    list->Selected[2] = false;
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_THROW(list->Selected[9] = true, Exception);
    // Without extended selection each click toggles its item alone.
    list->ExtendedSelect = false;
    clicks = 0;
    list->ClickAt(5, 16 * 3 + 3);
    list->ClickAt(5, 3);
    EXPECT_TRUE(list->Selected[3]);
    EXPECT_FALSE(list->Selected[0]);
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_EQ(clicks, 2);
    list->Items->Clear();
    EXPECT_EQ(list->ItemIndex, -1);
}

TEST_F(Controls, ListBoxSelectionStaysWithItsLines) {
    auto list = Make<TListBox>();
    list->MultiSelect = true;
    for (const char* s : {"a", "b", "c", "d"}) list->Items->Add(s);
    list->Selected[1] = true;
    list->Selected[3] = true;
    list->Items->Insert(0, "z");  // z a b c d
    EXPECT_FALSE(list->Selected[0]);
    EXPECT_TRUE(list->Selected[2]);
    EXPECT_TRUE(list->Selected[4]);
    list->Items->Delete(2);  // z a c d
    EXPECT_EQ(list->SelCount(), 1);
    EXPECT_TRUE(list->Selected[3]);
    list->Items->Clear();
    list->Items->Add("n");
    EXPECT_EQ(list->SelCount(), 0);
}

TEST_F(Controls, LabelsSizeToTheirCaptionAndPaintIt) {
    auto label = Make<TLabel>();
    label->Font->Height = -12;
    label->Caption = "&Nome";
    EXPECT_EQ(label->DisplayText(), "Nome");
    EXPECT_EQ(label->Width, TTextMetrics::Extent(FontStateOf(*label->Font), "Nome").cx);
    label->Repaint();
    EXPECT_EQ(label->Canvas->Recording().Texts(), std::vector<AnsiString>{"Nome"});
    // A label whose font the program sets no longer follows its parent's font.
    form->Font->Size = 12;
    EXPECT_EQ(label->Font->Size, 9);
    auto other = Make<TLabel>();
    EXPECT_EQ(other->Font->Size, 12);
}

TEST_F(Controls, ScrollBarsKeepTheirPositionInRange) {
    auto bar = Make<TScrollBar>();
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    bar->Max = 20;
    bar->PageSize = 5;
    bar->Position = 30;
    EXPECT_EQ(bar->Position, 16);
    bar->OnScroll = [](TObject*, TScrollCode code, int& pos) {
        if (code == scLineDown) pos = 3;
    };
    bar->Scroll(scLineDown);
    EXPECT_EQ(bar->Position, 3);
    EXPECT_EQ(changes, 2);
    EXPECT_THROW(bar->Max = -1, EInvalidOperation);
}

TEST_F(Controls, AnImagesCanvasGivesAnEmptyPictureTheImagesSize) {
    auto image = Make<TImage>();
    image->SetBounds(0, 0, 453, 190);
    EXPECT_TRUE(image->Picture->Bitmap->Empty());  // nothing to show yet
    image->Canvas->Brush->Color = clRed;
    image->Canvas->FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(image->Picture->Width(), 453);
    EXPECT_EQ(image->Picture->Bitmap->Pixel(5, 5), clRed);
    image->Repaint();
    auto drawn = image->TGraphicControl::Canvas->Recording().CallsOf(TPaintOp::Bitmap);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].Rect, Rect(0, 0, 453, 190));
    // A picture loaded later keeps its own size; Stretch fills the image.
    TBitmap logo(20, 10);
    image->Picture->Bitmap->Assign(logo);
    image->Stretch = true;
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 453, 190));
}

TEST_F(Controls, AFormWithoutAFocusedControlTakesTheKeysItself) {
    std::string keys;
    form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { keys += "down " + std::to_string(key) + ";"; };
    form->OnKeyPress = [&](TObject*, char& key) { keys += std::string("press ") + key + ";"; };
    form->Show();
    form->SendKey('A');
    EXPECT_EQ(keys, "down 65;press a;");
}

TEST_F(Controls, MakeControlOwnsPlacesAndParents) {
    auto* box = MakeControl<TGroupBox>(form.get(), form.get(), 8, 4, 297, 73);
    auto* edit = MakeControl<TEdit>(form.get(), box, 96, 120, 41, 21);
    EXPECT_EQ(edit->Owner(), form.get());
    EXPECT_EQ(edit->Parent.Get(), box);
    EXPECT_EQ(edit->BoundsRect(), TRect(96, 120, 137, 141));
}

TEST_F(Controls, ADisabledSpeedButtonShowsItsGlyphGreyed) {
    auto button = Make<TSpeedButton>();
    button->SetBounds(0, 0, 25, 25);
    TBitmap glyph(21, 21);
    glyph.Canvas->Brush->Color = clFuchsia;
    glyph.Canvas->FillRect(TRect(0, 0, 21, 21));
    glyph.Canvas->Brush->Color = clMaroon;
    glyph.Canvas->FillRect(TRect(5, 5, 16, 16));
    glyph.Canvas->Brush->Color = clYellow;  // a light fill, left out when greyed
    glyph.Canvas->FillRect(TRect(16, 5, 20, 16));
    button->Glyph->Assign(glyph);

    auto paint = [&] {
        TBitmap shot(25, 25);
        TRasterEngine engine(shot);
        button->PaintTo(&engine);
        std::vector<TColor> pixels;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 25; ++x) pixels.push_back(shot.Pixel(x, y));
        return pixels;
    };
    auto count = [](const std::vector<TColor>& pixels, TColor colour) {
        return std::count(pixels.begin(), pixels.end(), ColorToRGB(colour));
    };
    const std::vector<TColor> enabled = paint();
    EXPECT_EQ(count(enabled, clMaroon), 11 * 11);
    EXPECT_EQ(count(enabled, clYellow), 4 * 11);
    EXPECT_EQ(count(enabled, clFuchsia), 0);  // the key colour is left out

    button->Enabled = false;
    const std::vector<TColor> disabled = paint();
    EXPECT_EQ(count(disabled, clMaroon), 0);
    EXPECT_EQ(count(disabled, clYellow), 0);
    EXPECT_EQ(count(disabled, clFuchsia), 0);
    // The frame is the same; the shape is grey.
    EXPECT_EQ(count(disabled, clBtnShadow) - count(enabled, clBtnShadow), 11 * 11);
}

// A list box with the focus marks its current item, or the first item shown
// when none is current, with the dotted focus frame; without the focus, or
// for another item, no frame is drawn.
TEST_F(Controls, AFocusedListBoxMarksItsItem) {
    auto list = Make<TListBox>();
    for (const char* s : {"d=28mm", "d=35mm", "d=42mm"}) list->Items->Add(s);
    list->SetBounds(0, 0, 120, 60);
    form->Show();
    EXPECT_EQ(list->FocusMarkIndex(), 0);
    list->ItemIndex = 2;
    EXPECT_EQ(list->FocusMarkIndex(), 2);
    auto frames = [&](TOwnerDrawState state) {
        TRecordingEngine rec;
        list->PaintItemTo(&rec, 1, Rect(0, 16, 120, 32), state);
        int dotted = 0;
        for (const TPaintCall& c : rec.Calls)
            if (c.Op == TPaintOp::Rectangle && c.State.Pen.Style == psDot && c.Rect == Rect(0, 16, 120, 32))
                ++dotted;
        return dotted;
    };
    EXPECT_EQ(frames(TOwnerDrawState{odFocused}), 1);
    EXPECT_EQ(frames(TOwnerDrawState{odFocused, odSelected}), 1);
    EXPECT_EQ(frames(TOwnerDrawState{}), 0);
    EXPECT_EQ(frames(TOwnerDrawState{odSelected}), 0);
}
