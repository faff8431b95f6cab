// The wizard after File > "Nuovo" shows the settings the next design will
// use on every page alike: a design made with "Sky" ticked leaves no page
// with its old choice. The person goes through the pages with the mouse,
// ticks "Sky" on the package page, and the outlets then receive every Sky
// transponder. Screenshots: wizard-new-page-0.png, wizard-new-packages.png.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <set>
#include <string>

#include "cells/cell_grid.h"
#include "cells/outlets.h"
#include "core/channel_list.h"
#include "qt/designed_project.h"

using qttest::Settle;
using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

// "Sky", the first package box.
constexpr int Sky = 0;

void Click(TControl* control) {
    QWidget* w = WidgetOf(control);
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(8, w->height() / 2));
    Settle();
}

// The single-cable satellite building: page 0 clicked, a small staircase,
// the pages gone through with "Avanti >>" up to the package page, where
// check is run; then on to "Fine".
void GoToPackages(TAutoProgetto& w, const std::function<void()>& check) {
    Click(w.Choice[ChoiceSatellitare]);
    Click(w.Choice[ChoiceReteCentrale]);
    Click(w.Choice[ChoiceMonocavo]);
    TPalazzo& b = *w.Opz().Building;
    b.Staircases[0].FloorCount = 2;
    b.ComputeMaxima();
    for (int i = 0; i < WizardPages && w.VisiblePage() != WizardPackagesPage; ++i) Click(w.BAvanti);
    ASSERT_EQ(w.VisiblePage(), WizardPackagesPage);
    check();
    for (int i = 0; i < WizardPages && w.ModalResult.Get() == mrNone; ++i) Click(w.BAvanti);
}

// The labels of the channels at every outlet's socket, after a channel pass.
std::set<std::string> OutletChannels(TProgetto& project, int& outlets) {
    project.RunChannelPass(0);
    std::set<std::string> labels;
    outlets = 0;
    for (TCella* o = project.NetworkCellGrid()->FirstOutlet; o; o = o->NextOutlet) {
        ++outlets;
        if (o->ChannelLists.size() <= static_cast<size_t>(OutletSocket)) continue;
        for (const TCanale* ch = o->ChannelLists[OutletSocket]->head; ch; ch = ch->next) labels.insert(ch->label);
    }
    return labels;
}

}  // namespace

TEST(QtWizardNewDesign, NuovoShowsEveryPageFromTheDefaultsAndSkyTickedReachesTheOutlets) {
    ScopedProgram program;
    QTimer boxes;
    std::string messages;
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages += box->text().toStdString() + "\n";
            box->accept();
        }
    });
    boxes.start(100);
    // The first design, with "Sky" ticked.
    TAntenne* form = qttest::StartDesigned(program, [](TAutoProgetto& w) {
        GoToPackages(w, [&] {
            ASSERT_FALSE(w.PackageBox[Sky]->Checked);
            Click(w.PackageBox[Sky]);
            EXPECT_TRUE(w.PackageBox[Sky]->Checked);
        });
    });
    ASSERT_EQ(form->CurrentProject->Step, 2) << messages;
    int outlets = 0;
    const std::set<std::string> withSky = OutletChannels(*form->CurrentProject, outlets);
    ASSERT_GT(outlets, 0);
    // The package's own transponders, which only "Sky" brings.
    const std::set<std::string> package = {"Tr 57 Sky", "Tr 59 Sky", "Tr 63 Sky", "Tr 67 Sky",
                                           "Tr 95 Sky", "Tr 101 Sky", "Tr 8 Sky",  "Tr 1 Sky"};
    for (const std::string& t : package) EXPECT_TRUE(withSky.count(t)) << t;

    // "Nuovo": page 0 at its defaults, and the package page alike.
    form->CurrentProject->Modified = false;
    bool terrestrial = false, skyTicked = true, skyTickedAfterClick = false;
    qttest::WhenInFront(form->Wizard, [&] {
        auto* w = dynamic_cast<TAutoProgetto*>(form->Wizard);
        ASSERT_NE(w, nullptr);
        ASSERT_EQ(w->VisiblePage(), WizardTypePage);
        terrestrial = w->Choice[ChoiceTerrestre]->Checked;
        Settle();
        WindowOf(w)->grab().toImage().save(QString::fromStdString(qttest::Artefact("wizard-new-page-0.png")));
        GoToPackages(*w, [&] {
            skyTicked = w->PackageBox[Sky]->Checked;
            auto* box = qobject_cast<QAbstractButton*>(WidgetOf(w->PackageBox[Sky]));
            if (box) EXPECT_EQ(box->isChecked(), skyTicked);
            Click(w->PackageBox[Sky]);
            skyTickedAfterClick = w->PackageBox[Sky]->Checked;
            WindowOf(w)->grab().toImage().save(QString::fromStdString(qttest::Artefact("wizard-new-packages.png")));
        });
    });
    form->File1->Click();
    form->New1->Click();
    Settle();
    boxes.stop();
    EXPECT_TRUE(terrestrial);
    EXPECT_FALSE(skyTicked);
    EXPECT_TRUE(skyTickedAfterClick);
    ASSERT_EQ(form->CurrentProject->Step, 2) << messages;
    const std::set<std::string> again = OutletChannels(*form->CurrentProject, outlets);
    for (const std::string& t : package) EXPECT_TRUE(again.count(t)) << t;
    EXPECT_EQ(again, withSky);
}
