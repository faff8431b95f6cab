// Tree views, tab and page controls, status bars, up-down arrows, rich edits,
// progress bars and page scrollers.
#include "platform/comctrls.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/application.h"
#include "platform/engines.h"
#include "platform/forms.h"
#include "platform/utf8.h"

namespace {
class Common : public ::testing::Test {
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

// Two 16 x 16 state images side by side.
TImageList* StateImages(TComponent* owner) {
    auto list = new TImageList(owner);
    TBitmap strip(48, 16);
    list->Add(&strip);
    return list;
}
}  // namespace

TEST_F(Common, TreeNodesFormATreeWalkedDepthFirst) {
    auto tree = Make<TTreeView>();
    TTreeNodes* items = tree->Items;
    TTreeNode* lib = items->Add(nullptr, "Varne");
    TTreeNode* cat = items->AddChild(lib, "Derivatori");
    TTreeNode* b = items->AddChild(cat, "DER4");
    TTreeNode* a = items->AddChild(cat, "DER2");
    TTreeNode* other = items->Add(lib, "Altra");
    EXPECT_EQ(items->Count(), 5);
    EXPECT_EQ(b->Level(), 2);
    EXPECT_EQ(b->Parent(), cat);
    EXPECT_EQ(cat->Count(), 2);
    EXPECT_EQ(cat->Item[1], a);
    EXPECT_EQ(cat->getFirstChild(), b);
    EXPECT_EQ(b->getNextSibling(), a);
    EXPECT_EQ(lib->getNextSibling(), other);
    EXPECT_TRUE(cat->HasChildren);
    EXPECT_EQ(items->Item[4], other);
    EXPECT_EQ(a->GetNext(), other);
    EXPECT_EQ(other->GetPrev(), a);
    EXPECT_EQ(a->AbsoluteIndex(), 3);
    tree->AlphaSort();
    EXPECT_EQ(items->GetFirstNode(), other);
    EXPECT_EQ(cat->Item[0], a);
    items->Delete(cat);
    EXPECT_EQ(items->Count(), 2);
    EXPECT_FALSE(lib->HasChildren);
    TTreeNode* first = items->Insert(other, "Prima");
    EXPECT_EQ(items->GetFirstNode(), first);
    items->Clear();
    EXPECT_EQ(items->Count(), 0);
    EXPECT_EQ(items->GetFirstNode(), nullptr);
}

TEST_F(Common, AClickOnANodesStateIconIsToldApartFromAClickOnItsText) {
    auto tree = Make<TTreeView>();
    tree->StateImages = StateImages(form.get());
    TTreeNode* root = tree->Items->Add(nullptr, "Libreria");
    root->StateIndex = 1;
    TTreeNode* child = tree->Items->AddChild(root, "Amplificatori");
    child->StateIndex = 3;
    root->Expand(false);
    TTreeView::TRowLayout row = tree->LayoutOf(child);
    ASSERT_FALSE(row.StateIcon.IsEmpty());
    EXPECT_EQ(row.StateIcon.Left, 2 * tree->Indent);  // one level in, after the root's button column
    EXPECT_EQ(row.Label.Left, row.StateIcon.Right);

    std::vector<std::string> events;
    tree->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
        THitTests hit = tree->GetHitTestInfoAt(x, y);
        TTreeNode* n = tree->GetNodeAt(x, y);
        events.push_back(std::string(hit.Contains(htOnStateIcon) ? "state "
                                     : hit.Contains(htOnLabel)   ? "label "
                                                                 : "other ") +
                         (n ? n->Text.Get() : "-"));
    };
    tree->OnChange = [&](TObject*, TTreeNode* n) { events.push_back("change " + n->Text.Get()); };
    int midY = row.Row.Top + row.Row.Height() / 2;
    tree->ClickAt(row.StateIcon.Left + 3, midY);
    tree->ClickAt(row.Label.Left + 5, midY);
    tree->ClickAt(row.Label.Right + 20, midY);
    EXPECT_EQ(events, (std::vector<std::string>{"change Amplificatori", "state Amplificatori",
                                                "label Amplificatori", "other Amplificatori"}));
    EXPECT_TRUE(tree->GetHitTestInfoAt(row.StateIcon.Left + 3, midY).Contains(htOnItem));
    EXPECT_TRUE(tree->GetHitTestInfoAt(5, midY).Contains(htOnIndent));
    EXPECT_TRUE(tree->GetHitTestInfoAt(5, 80).Contains(htNowhere));
    EXPECT_TRUE(tree->GetHitTestInfoAt(5, 500).Contains(htBelow));
    // A node without a state index has no state icon: the label starts where the icon would.
    TTreeView::TRowLayout rootRow = tree->LayoutOf(root);
    EXPECT_FALSE(rootRow.StateIcon.IsEmpty());
    root->StateIndex = -1;
    EXPECT_TRUE(tree->LayoutOf(root).StateIcon.IsEmpty());
}

TEST_F(Common, TreeSelectionAndExpansionFireTheirEvents) {
    auto tree = Make<TTreeView>();
    TTreeNode* root = tree->Items->Add(nullptr, "Testa");
    TTreeNode* child = tree->Items->AddChild(root, "Centrale");
    std::vector<std::string> events;
    bool allow = true;
    tree->OnChanging = [&](TObject*, TTreeNode* n, bool& ok) {
        events.push_back("changing " + (n ? n->Text.Get() : "-"));
        ok = allow;
    };
    tree->OnChange = [&](TObject*, TTreeNode* n) { events.push_back("change " + (n ? n->Text.Get() : "-")); };
    tree->OnExpanding = [&](TObject*, TTreeNode* n, bool&) {
        events.push_back("expanding " + n->Text.Get());
    };
    EXPECT_EQ(tree->VisibleNodes().size(), 1u);
    tree->Selected = child;  // the program's choice opens the way to the node
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(tree->VisibleNodes().size(), 2u);
    EXPECT_EQ(events, (std::vector<std::string>{"changing Centrale", "expanding Testa", "change Centrale"}));
    allow = false;
    tree->Selected = root;
    EXPECT_EQ(tree->Selected, child);
    allow = true;
    // Collapsing over the chosen node chooses the collapsed one.
    root->Collapse(false);
    EXPECT_EQ(tree->Selected, root);
    // A click on the expand button expands without choosing.
    TTreeView::TRowLayout r = tree->LayoutOf(root);
    tree->ClickAt(r.Button.Left + 3, r.Button.Top + 3);
    EXPECT_TRUE(root->Expanded());
    EXPECT_EQ(tree->Selected, root);
    // Freeing the chosen node leaves no choice.
    tree->Selected = child;
    child->Delete();
    EXPECT_EQ(tree->Selected, nullptr);
}

TEST_F(Common, TabAndPageControls) {
    auto tabs = Make<TTabControl>();
    int changes = 0;
    bool allow = true;
    tabs->OnChange = [&](TObject*) { ++changes; };
    tabs->OnChanging = [&](TObject*, bool& ok) { ok = allow; };
    tabs->Tabs->Add("Rete");
    EXPECT_EQ(tabs->TabIndex, 0);  // the first tab is chosen
    tabs->Tabs->Add("Testa");
    tabs->Tabs->Add("Calcoli rete");
    tabs->TabIndex = 2;
    EXPECT_EQ(changes, 0);  // the program's choice fires nothing
    TRect testa = tabs->TabRect(1);
    tabs->ClickAt(testa.Left + 3, testa.Top + 3);
    EXPECT_EQ(tabs->TabIndex, 1);
    EXPECT_EQ(changes, 1);
    allow = false;
    tabs->SelectByUser(0);
    EXPECT_EQ(tabs->TabIndex, 1);
    EXPECT_EQ(tabs->DisplayRect().Top, testa.Bottom + 2);
    tabs->Tabs->Delete(2);
    tabs->Tabs->Delete(1);
    EXPECT_EQ(tabs->TabIndex, 0);

    auto pages = Make<TPageControl>();
    auto a = new TTabSheet(form.get());
    a->Caption = "Generale";
    a->PageControl = pages;
    auto b = new TTabSheet(form.get());
    b->Caption = "Stampa";
    b->PageControl = pages;
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->ActivePage, a);
    EXPECT_TRUE(a->Visible);
    EXPECT_FALSE(b->Visible);
    EXPECT_EQ(a->BoundsRect(), pages->DisplayRect());
    int pageChanges = 0;
    pages->OnChange = [&](TObject*) { ++pageChanges; };
    pages->ActivePage = b;
    EXPECT_EQ(pageChanges, 0);
    EXPECT_TRUE(b->Visible);
    EXPECT_EQ(pages->TabIndex, 1);
    pages->SelectByUser(0);
    EXPECT_EQ(pages->ActivePage, a);
    EXPECT_EQ(pageChanges, 1);
    EXPECT_EQ(b->PageIndex(), 1);
    delete b;
    EXPECT_EQ(pages->PageCount(), 1);
    EXPECT_EQ(pages->Tabs->Count(), 1);
}

TEST_F(Common, StatusBarsProgressBarsAndPageScrollers) {
    auto bar = Make<TStatusBar>();
    bar->Panels->Add()->Width = 80;
    bar->Panels->Add();
    bar->Panels->Items[0]->Text = " X=3, Y=4";
    EXPECT_EQ(bar->Panels->Items[0]->Text, " X=3, Y=4");
    EXPECT_EQ(bar->PanelRect(1), Rect(80, 0, bar->ClientWidth, bar->ClientHeight));
    EXPECT_EQ(bar->Top, form->ClientHeight - bar->Height);  // aligned to the bottom
    bar->Repaint();
    EXPECT_EQ(bar->Canvas->Recording().Texts().front(), " X=3, Y=4");

    auto progress = Make<TProgressBar>();
    progress->Max = 25;
    progress->Position = 40;
    EXPECT_EQ(progress->Position, 25);
    progress->StepIt();  // past the end: starts over
    EXPECT_EQ(progress->Position, 0);

    auto scroller = Make<TPageScroller>();
    scroller->SetBounds(0, 0, 100, 20);
    auto strip = new TPanel(form.get());
    strip->Width = 17 * 40;
    scroller->Control = strip;
    EXPECT_EQ(strip->Parent, scroller);
    scroller->Position = 100;
    EXPECT_EQ(strip->Left, -100);
    scroller->Position = 5000;
    EXPECT_EQ(scroller->Position, 17 * 40 - 100);
}

TEST_F(Common, UpDownArrowsStepTheNumberInTheirEdit) {
    auto edit = Make<TEdit>();
    edit->SetBounds(10, 10, 73, 21);
    auto arrows = Make<TUpDown>();
    arrows->Max = 2000;
    arrows->Increment = 500;
    arrows->Associate = edit;
    EXPECT_EQ(edit->Width, 73 - arrows->Width);
    EXPECT_EQ(arrows->Left, edit->Left + edit->Width);
    EXPECT_EQ(edit->Text, "0");
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    std::vector<TUDBtnType> clicks;
    arrows->OnClick = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
    arrows->ClickButton(btNext);
    arrows->ClickButton(btNext);
    arrows->ClickButton(btNext);
    EXPECT_EQ(edit->Text, "1.500");  // thousands grouped the program's way
    EXPECT_EQ(changes, 3);
    // The person types a number: the arrows step from it.
    edit->Text = "1900";
    EXPECT_EQ(arrows->Position, 1900);
    arrows->ClickButton(btNext);
    EXPECT_EQ(arrows->Position, 2000);  // held at the maximum
    EXPECT_EQ(clicks.size(), 4u);
    arrows->Position = 7;
    EXPECT_EQ(edit->Text, "7");
    // The edit freed first: the arrows forget it.
    delete edit;
    arrows->Position = 8;
}

// Lines inserted or deleted above coloured text move its runs with it, even
// where the new line begins like the old one.
TEST_F(Common, RichEditLinesEditedAboveColouredTextMoveItsRuns) {
    auto rich = Make<TRichEdit>();
    // Line "Controllo 37": "Controllo" blue, "37" red, the rest black.
    auto colourLine = [&](int start) {
        rich->SelStart = start;
        rich->SelLength = 9;
        rich->SelAttributes->SetColor(clBlue);
        rich->SelStart = start + 10;
        rich->SelLength = 2;
        rich->SelAttributes->SetColor(clRed);
        rich->SelStart = rich->GetTextLen();
        rich->SelLength = 0;
        rich->SelAttributes->SetColor(clBlack);
    };
    auto expectLineAt = [&](int start, const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(rich->FormatAt(start).Color, clBlue);
        EXPECT_EQ(rich->FormatAt(start + 8).Color, clBlue);
        EXPECT_EQ(rich->FormatAt(start + 9).Color, clBlack);
        EXPECT_EQ(rich->FormatAt(start + 10).Color, clRed);
        EXPECT_EQ(rich->FormatAt(start + 11).Color, clRed);
    };
    rich->Lines->Add("Controllo 37");
    colourLine(0);
    rich->Lines->Add("Controllo 37");
    colourLine(14);
    expectLineAt(0, "first");
    expectLineAt(14, "second");
    // Above it a line that begins the same way; it takes the black of new text.
    rich->Lines->Insert(0, "Controllo separazione");
    const int moved = 21 + 2;
    for (int i = 0; i < 21; ++i) EXPECT_EQ(rich->FormatAt(i).Color, clBlack) << i;
    expectLineAt(moved, "first after an insertion above it");
    expectLineAt(moved + 14, "second after an insertion above it");
    // An empty line in the middle, then a copy of a coloured line between them.
    rich->Lines->Insert(2, "");
    expectLineAt(moved + 16, "second after an empty line above it");
    rich->Lines->Insert(2, "Controllo 37");
    EXPECT_EQ(rich->FormatAt(moved + 14).Color, clBlack);
    expectLineAt(moved, "first, with new text below it");
    expectLineAt(moved + 30, "second after two lines above it");
    // Deleting the lines above brings the runs back up.
    rich->Lines->Delete(0);
    rich->Lines->Delete(1);
    rich->Lines->Delete(1);
    EXPECT_EQ(rich->Text, "Controllo 37\r\nControllo 37");
    EXPECT_EQ(rich->GetTextLen(), 26);
    rich->Lines->Add("è");
    EXPECT_EQ(rich->GetTextLen(), 29);  // characters, not bytes
    rich->Lines->Delete(2);
    expectLineAt(0, "first after the deletions");
    expectLineAt(14, "second after the deletions");
}

TEST_F(Common, RichEditsKeepColouredRunsAndPlaceTheCaretUnderTheMouse) {
    auto rich = Make<TRichEdit>();
    rich->SetBounds(0, 0, 400, 200);
    rich->Lines->Add("Banda\tFM\tI");
    // Colour the second and third words, then go back to black at the end.
    rich->SelStart = 6;
    rich->SelLength = 4;
    rich->SelAttributes->SetColor(clRed);
    rich->SelStart = rich->GetTextLen();
    rich->SelAttributes->SetColor(clBlack);
    rich->Lines->Add("Segnali");
    EXPECT_EQ(rich->Text, "Banda\tFM\tI\r\nSegnali");
    EXPECT_EQ(rich->FormatAt(0).Color, clBlack);
    EXPECT_EQ(rich->FormatAt(6).Color, clRed);
    EXPECT_EQ(rich->FormatAt(9).Color, clRed);
    EXPECT_EQ(rich->FormatAt(10).Color, clBlack);
    EXPECT_EQ(rich->FormatAt(12).Color, clBlack);  // the new line took the reset colour
    // A blue insertion format carries on into the following lines.
    rich->SelStart = rich->GetTextLen();
    rich->SelAttributes->SetColor(clBlue);
    rich->Lines->Add("C1");
    EXPECT_EQ(rich->FormatAt(rich->GetTextLen() - 1).Color, clBlue);
    // Tab stops in points.
    rich->Paragraph->SetTabCount(20);
    EXPECT_EQ(rich->Paragraph->Tab(1), 72);
    // A click puts the caret on the character under the mouse before OnMouseDown runs.
    int caret = -1;
    rich->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { caret = rich->SelStart; };
    TPoint segnali = rich->PosFromChar(12 + 3);
    rich->ClickAt(segnali.x + 1, segnali.y + 2);
    EXPECT_EQ(caret, 15);
    EXPECT_EQ(rich->CharFromPos(TPoint(1000, segnali.y + 2)), 19);  // right of a line: its end
    // Painting writes each run in its colour.
    rich->Repaint();
    auto texts = rich->Canvas->Recording().CallsOf(TPaintOp::Text);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0].Text, "Banda");
    EXPECT_EQ(texts[1].Text, "FM");
    EXPECT_EQ(texts[1].State.Font.Color, clRed);
}

namespace {
// Where each line of a text starts, counted from scratch: lines end at CR LF,
// at a CR alone and at an LF alone; characters are UTF-8 sequences.
std::vector<std::pair<int, size_t>> LineStartsOf(const std::string& text) {
    std::vector<std::pair<int, size_t>> starts{{0, 0}};
    int c = 0;
    for (size_t i = 0; i < text.size();) {
        const char ch = text[i];
        i += std::min(utf8::SequenceLength(static_cast<unsigned char>(ch)), text.size() - i);
        ++c;
        if (ch == '\n' || (ch == '\r' && !(i < text.size() && text[i] == '\n'))) starts.push_back({c, i});
    }
    return starts;
}

std::vector<std::pair<int, size_t>> IndexOf(const TRichEdit& rich) {
    std::vector<std::pair<int, size_t>> starts;
    for (int i = 0; i < rich.LaidOutLineCount(); ++i)
        starts.push_back({rich.LaidOutLine(i).Char, rich.LaidOutLine(i).Byte});
    return starts;
}
}  // namespace

// The line index kept as the text changes matches one counted afresh after
// every kind of change, the text's length in characters too.
TEST_F(Common, RichEditLineIndexFollowsEveryChange) {
    auto rich = Make<TRichEdit>();
    const struct {
        const char* what;
        std::function<void()> edit;
    } steps[] = {
        {"first line", [&] { rich->Lines->Add("Banda\tFM"); }},
        {"lines added", [&] { rich->Lines->Add("Presa P1 è a 70 dB"); }},
        {"empty line added", [&] { rich->Lines->Add(""); }},
        {"line with a break of its own", [&] { rich->Lines->Add("a\rb"); }},
        {"inserted at the top", [&] { rich->Lines->Insert(0, "Informazioni generiche"); }},
        {"deleted in the middle", [&] { rich->Lines->Delete(2); }},
        {"changed in place", [&] { rich->Lines->SetStrings(1, "più lunga di prima"); }},
        {"text set with lone breaks", [&] { rich->Text = "uno\ndue\rtre\r"; }},
        {"a line after a CR at the end", [&] { rich->Lines->Add("quattro"); }},
        {"text ending in CR LF", [&] { rich->Text = "x\r\ny\r\n"; }},
        {"added after it", [&] { rich->Lines->Add("z"); }},
        {"cleared", [&] { rich->Lines->Clear(); }},
        {"added to nothing", [&] { rich->Lines->Add("sola"); }},
        {"an empty first line then more", [&] {
             rich->Lines->Clear();
             rich->Lines->Add("");
             rich->Lines->Add("seconda");
         }},
        {"assigned", [&] {
             TStringList other;
             other.Add("àèìòù");
             other.Add("fine");
             rich->Lines->Assign(other);
         }},
    };
    for (const auto& step : steps) {
        step.edit();
        const std::string text = rich->Text;
        EXPECT_EQ(IndexOf(*rich), LineStartsOf(text)) << step.what;
        EXPECT_EQ(rich->GetTextLen(), utf8::Length(text)) << step.what;
        // Every character's place and the click that finds it agree.
        for (int i = 0; i < rich->GetTextLen(); ++i) {
            const TPoint at = rich->PosFromChar(i);
            const std::string ch = utf8::Mid(text, i, 1);
            if (ch == "\r" || ch == "\n") continue;
            EXPECT_EQ(rich->CharFromPos(TPoint(at.x, at.y + 2)), i) << step.what << " " << i;
        }
    }
}

// A long text paints the lines that reach into the control and no others,
// each at its own height, in the colours of its runs.
TEST_F(Common, RichEditPaintsOnlyTheLinesInView) {
    auto rich = Make<TRichEdit>();
    rich->SetBounds(0, 0, 400, 120);
    for (int i = 0; i < 3000; ++i) {
        rich->Lines->Add("Riga " + std::to_string(i) + "\tP" + std::to_string(i));
        if (i % 2) {
            const int length = static_cast<int>(std::to_string(i).size()) + 1;
            rich->SelStart = rich->GetTextLen() - length;
            rich->SelLength = length;
            rich->SelAttributes->SetColor(clRed);
            rich->SelStart = rich->GetTextLen();
            rich->SelLength = 0;
            rich->SelAttributes->SetColor(clBlack);
        }
    }
    const int lh = rich->LineHeight();
    const int top = 1501;
    rich->TopLine = top;
    ASSERT_EQ(rich->TopLine.Get(), top);
    rich->Repaint();
    auto texts = rich->Canvas->Recording().CallsOf(TPaintOp::Text);
    // From the line above the top one (its last pixel row shows) to the bottom edge.
    const int first = top - 1;
    const int last = top + (rich->ClientHeight - 2) / lh;
    ASSERT_EQ(texts.size(), static_cast<size_t>(2 * (last - first + 1)));
    for (size_t k = 0; k < texts.size(); k += 2) {
        const int line = first + static_cast<int>(k / 2);
        const std::string label = "Riga " + std::to_string(line);
        EXPECT_EQ(texts[k].Text, label) << line;
        ASSERT_EQ(texts[k].Points.size(), 1u);
        EXPECT_EQ(texts[k].Points[0], TPoint(2, 1 + (line - top) * lh)) << line;
        EXPECT_EQ(texts[k + 1].Text, "P" + std::to_string(line)) << line;
        EXPECT_EQ(texts[k + 1].State.Font.Color, line % 2 ? clRed : clBlack) << line;
        // After the tab, where the layout puts the character.
        const int after = rich->LaidOutLine(line).Char + static_cast<int>(label.size()) + 1;
        EXPECT_EQ(texts[k + 1].Points[0], rich->PosFromChar(after)) << line;
    }
}
