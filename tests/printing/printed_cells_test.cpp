// The printed tables of a twelve-floor building the wizard designs on the
// default library keep their cells apart: on every page of the component
// lists (full and compressed), the estimate, the tender specification and
// the calculation tables, no two texts of one printed row cover each other
// or stand closer than a blank, and no text passes the page's margins. The
// headless printer records each text with its place and font; its measures
// are Arial's, as the printed fonts' are.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "autodesign/wizard.h"
#include "document/grid.h"
#include "document/project.h"
#include "platform/application.h"
#include "platform/printers.h"
#include "platform/stdctrls.h"
#include "printing/documents.h"
#include "printing/preview.h"
#include "printing/print_options.h"
#include "support/design_components.h"
#include "support/library_program.h"
#include "support/program_fixture.h"

namespace {

// A text as printed: its box in device pixels, the blank of its font.
struct TPrinted {
    int left, top, right, bottom, blank;
    AnsiString text;
};

// A text as drawn, its blanks before and after left out (the words of a
// justified paragraph are drawn with the blank before them).
TPrinted Box(const TPaintCall& call) {
    const TFontState& font = call.State.Font;
    AnsiString visible = call.Text;
    while (!visible.empty() && visible.back() == ' ') visible.pop_back();
    const int whole = TTextMetrics::Extent(font, visible).cx;
    visible.erase(0, visible.find_first_not_of(' '));
    const int x = call.Points[0].x, y = call.Points[0].y;
    return {x + whole - TTextMetrics::Extent(font, visible).cx,
            y,
            x + whole,
            y + TTextMetrics::Extent(font, visible).cy,
            TTextMetrics::Extent(font, " ").cx,
            call.Text};
}

// What breaks the rule on one page, a line each: two texts of one row (their
// lines side by side) that do not stand clearly apart, that is by more than
// one and a half blanks of the left one, the gap between two words; or a
// text past the margins: the body's between the frame's rules, the frame's
// end below and above them. A text that begins with a blank continues the
// words before it on its line (a justified paragraph is drawn a word at a
// time, each with the blank before it): it keeps that blank from them, less
// the pixel a measure may round away.
std::string CellsTooClose(const TRecordingEngine& page, int number) {
    const TPrintPage& pp = PrintPage;
    std::vector<TPrinted> texts;
    for (const TPaintCall& c : page.CallsOf(TPaintOp::Text))
        if (!c.Text.empty()) texts.push_back(Box(c));
    std::string found;
    const std::string where = "page " + std::to_string(number) + ": ";
    for (const TPrinted& t : texts) {
        const bool body = t.top >= pp.BodyTop - pp.Margin && t.bottom <= pp.BodyBottom + pp.Margin;
        const int right = body ? pp.TextRight() : pp.PageWidth - 2;
        if (t.left < pp.TextLeft() || t.right > right)
            found += where + "'" + t.text + "' from " + std::to_string(t.left) + " to " +
                     std::to_string(t.right) + ", margins " + std::to_string(pp.TextLeft()) + " and " +
                     std::to_string(right) + "\n";
    }
    for (const TPrinted& a : texts)
        for (const TPrinted& b : texts) {
            if (&a == &b || a.left > b.left || (a.left == b.left && &a > &b)) continue;
            if (a.bottom <= b.top || b.bottom <= a.top) continue;  // not on one row
            const bool words = !b.text.empty() && b.text[0] == ' ';
            if (b.left - a.right < (words ? a.blank - 1 : a.blank * 3 / 2))
                found += where + "'" + a.text + "' ends at " + std::to_string(a.right) + ", '" + b.text +
                         "' begins at " + std::to_string(b.left) + "\n";
        }
    return found;
}

class TwelveFloors : public ::testing::Test {
protected:
    void SetUp() override {
        form = &StartWithDefaultLibrary(program);
        Application->Script().AnswerShowModal<TAutoProgetto>(
            [](TAutoProgetto& w) { DesignStaircase(w, DefaultLibraryName, 12, 10); });
        form->Speciali1->Click();
        form->Autoprogetto1->Click();
        ASSERT_EQ(form->CurrentProject->Step, 2) << "the design was refused";
        project = form->CurrentProject;
        project->Name = program.Dir().File("Condominio dei Dodici Piani di Via Garibaldi.ant");
        project->HeaderTexts[0] = "Amministrazione Condominio Residenza Parco dei Tigli";
        project->HeaderTexts[1] = "Via Giuseppe Garibaldi 128";
        project->HeaderTexts[2] = "10100 Torino";
        Printer()->ClearDocuments();
    }

    // The documents of the options printed in one job on the headless
    // printer; its pages.
    const std::vector<std::unique_ptr<TRecordingEngine>>& Print(TDatiStampa& options) {
        for (TCella* o = project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet)
            options.LPrese->Items->Add(o->GetShortCode());
        options.RTutte->Checked = true;
        EXPECT_TRUE(PrintChosenDocuments(form->Printing(), options));
        return Printer()->Documents().back()->Pages;
    }

    ScopedProgram program;
    TAntenne* form = nullptr;
    TProgetto* project = nullptr;
};

TEST_F(TwelveFloors, PrintedCellsApartOnEveryTablePage) {
    int outlets = 0;
    for (TCella* o = project->NetworkGrid->FirstOutlet; o; o = o->NextOutlet) ++outlets;
    ASSERT_EQ(outlets, 48);
    for (const bool compressed : {false, true}) {
        SCOPED_TRACE(compressed ? "compressed lists" : "full lists");
        TDatiStampa options(nullptr);
        for (TCheckBox* c : {options.CMateriale, options.CPreventivo, options.CCapitolato, options.CCalcoli,
                             options.CMRete, options.CMTesta, options.CMinMaxTesta, options.CMinMaxPrese,
                             options.CSepPrese, options.CCanaliTesta, options.CCanaliPrese})
            c->Checked = true;
        options.CCompresso->Checked = compressed;
        const auto& pages = Print(options);
        // Lists, estimate, specification, signals, some 30 pages of
        // separations and the channels.
        ASSERT_GT(pages.size(), 40u);
        std::string found;
        AnsiString all;
        for (size_t p = 0; p < pages.size(); ++p) {
            found += CellsTooClose(*pages[p], static_cast<int>(p + 1));
            for (const AnsiString& t : pages[p]->Texts()) all += t + "\n";
        }
        EXPECT_EQ(found, "");
        // The compressed lists are one list of both grids.
        const std::vector<const char*> lists =
            compressed ? std::vector<const char*>{"Tipologia del materiale della rete e della testata"}
                       : std::vector<const char*>{"Tipologia del materiale della rete",
                                                  "Tipologia del materiale della testata"};
        for (const char* title : lists)
            EXPECT_NE(all.find(std::string(title) + "\n"), std::string::npos) << title;
        for (const char* title :
             {"Preventivo di spesa", "Capitolato", "Totale:", "Separazioni tra le prese [dB]", "P48 - P47",
              "Segnali minimi e massimi ammessi all'uscita del terminale di testa e ottenibili alle prese "
              "[dB]",
              "Canali in uscita dal terminale di testa e dalle prese con relativi segnali e rumori"})
            EXPECT_NE(all.find(std::string(title) + "\n"), std::string::npos) << title;
    }
}

}  // namespace
