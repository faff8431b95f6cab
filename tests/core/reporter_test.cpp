#include "core/reporter.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/application.h"
#include "platform/controls.h"
#include "support/globals_fixture.h"

namespace {

class Reporter : public GlobalsTest {
protected:
    TGestoreErrori& reporter = globals.Reporter();
    const std::vector<TMessageBoxCall>& Boxes() { return Application->Script().MessageBoxes; }
};

TEST_F(Reporter, ANewReporterReportsNothing) {
    TListBox list;
    reporter.target = &list;  // even with a list: it was never switched on
    reporter.Report("Componente non descritto");
    EXPECT_EQ(list.Items->Count(), 0);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(reporter.PendingError(), nullptr);
}

TEST_F(Reporter, WithoutAListOnlyTheFirstMessageOfARunIsShown) {
    reporter.SetTarget(nullptr);
    reporter.Report("Il derivatore R3 non è descritto.");
    reporter.Report("Secondo messaggio");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "Il derivatore R3 non è descritto.");
    EXPECT_EQ(Boxes()[0].Caption, "Ordivex Varne");
    EXPECT_EQ(Boxes()[0].Flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(Boxes()[0].Flags, 48);
    EXPECT_FALSE(reporter.enabled);

    // A new run shows its first message again.
    reporter.SetTarget(nullptr);
    reporter.Report("Terzo messaggio");
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[1].Text, "Terzo messaggio");
}

TEST_F(Reporter, WithAListEveryMessageIsAppendedInOrder) {
    TListBox list;
    list.Items->Add("riga precedente");
    reporter.SetTarget(&list);
    reporter.Report("P1: segnale troppo basso");
    reporter.Report("");
    reporter.Report("P2: segnale troppo alto");
    ASSERT_EQ(list.Items->Count(), 4);
    EXPECT_EQ(list.Items->Strings(1), "P1: segnale troppo basso");
    EXPECT_EQ(list.Items->Strings(2), "");
    EXPECT_EQ(list.Items->Strings(3), "P2: segnale troppo alto");
    EXPECT_TRUE(reporter.enabled);
    EXPECT_FALSE(reporter.reportOnce);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Reporter, ACallerSwitchesItOff) {
    TListBox list;
    reporter.SetTarget(&list);
    reporter.Report("durante il calcolo");
    reporter.enabled = false;
    reporter.Report("dopo il calcolo");
    ASSERT_EQ(list.Items->Count(), 1);
    EXPECT_EQ(list.Items->Strings(0), "durante il calcolo");
}

// A quiet stretch inside another gives back what the outer one found, and
// the outer one gives back the reporter's own switch.
TEST_F(Reporter, AQuietScopeGivesTheSwitchBackAsItFoundIt) {
    TListBox list;
    reporter.SetTarget(&list);
    {
        const TReporterOff outer(&reporter);
        {
            const TReporterOff inner(&reporter);
            reporter.Report("dentro");
        }
        EXPECT_FALSE(reporter.enabled);
        reporter.Report("ancora dentro");
    }
    EXPECT_TRUE(reporter.enabled);
    reporter.Report("fuori");
    ASSERT_EQ(list.Items->Count(), 1);
    EXPECT_EQ(list.Items->Strings(0), "fuori");
    reporter.enabled = false;
    { const TReporterOff off(&reporter); }
    EXPECT_FALSE(reporter.enabled);
    const TReporterOff none(nullptr);  // no reporter: nothing to switch
}

TEST_F(Reporter, SwitchingFromAListToMessageBoxes) {
    TListBox list;
    reporter.SetTarget(&list);
    reporter.Report("nella lista");
    reporter.SetTarget(nullptr);
    reporter.Report("nel riquadro");
    reporter.Report("mai mostrato");
    EXPECT_EQ(list.Items->Count(), 1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "nel riquadro");
}

TEST_F(Reporter, APendingErrorIsReplacedAndFreed) {
    // Under the sanitizers a record that is not freed, or freed twice, fails
    // this test; the last one is freed with the reporter.
    auto first = std::make_unique<TErroreCircuito>(3, 4, 2, nullptr, 1);
    const TErroreCircuito* firstHeld = first.get();
    reporter.SetPendingError(std::move(first));
    EXPECT_EQ(reporter.PendingError(), firstHeld);
    reporter.SetPendingError(std::make_unique<TErroreCircuito>(7, 8, 4, nullptr, 4));
    ASSERT_NE(reporter.PendingError(), nullptr);
    EXPECT_EQ(reporter.PendingError()->Column, 7);
    EXPECT_EQ(reporter.PendingError()->Row, 8);
    EXPECT_EQ(reporter.PendingError()->Side, 4);
    EXPECT_EQ(reporter.PendingError()->Kind, 4);
    reporter.SetPendingError(nullptr);
    EXPECT_EQ(reporter.PendingError(), nullptr);
    reporter.SetPendingError(std::make_unique<TErroreCircuito>(1, 1, 0, nullptr, 2));
    EXPECT_EQ(reporter.PendingError()->Kind, 2);
}

}  // namespace
