// The lightning-risk pages in real windows: a box ticked and a count typed on
// "Fulmini 81.10-2", a structure type picked and sizes typed on "Fulmini
// 81.1", each with its shown result. Screenshots: lightning-8110.png and
// lightning-811.png in test-artefacts/ of the build folder.
#include "app/lightning_pages.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <memory>

#include "document/lightning.h"
#include "document/project.h"
#include "platform/forms.h"
#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "qt/text_fit.h"
#include "support/globals_fixture.h"

using qttest::WidgetOf;
using qttest::WindowOf;

namespace {

void TypeInto(TEdit* edit, const char* text) {
    auto* line = qobject_cast<QLineEdit*>(WidgetOf(edit));
    ASSERT_NE(line, nullptr);
    line->setFocus();
    line->selectAll();
    QTest::keyClicks(line, text);
}

void Shoot(TForm* form, const char* name) {
    qttest::Settle();
    EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(form)), "") << name;
    EXPECT_EQ(qttest::Describe(qttest::CutTexts(WindowOf(form))), "") << name;
    const QImage shot = WindowOf(form)->grab().toImage();
    EXPECT_GT(qttest::Colours(shot), 3);
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact(name))));
}

}  // namespace

TEST(QtLightningPages, Fulmini8110TakesABoxAndALineCount) {
    ScopedGlobals globals;
    FormatSettings().DecimalSeparator = ',';
    TProgetto project(nullptr);
    project.Reset(false);
    auto form = std::make_unique<TForm>(nullptr);
    form->Caption = "Fulmini 81.10-2";
    form->SetBounds(0, 0, 1000, 700);
    auto* page = new TPaginaFulmini8110(form.get());
    page->Parent = form.get();
    page->SetProject(&project);
    form->Show();
    qttest::Settle();
    EXPECT_EQ(page->ValoreR1->Caption.Get(), "1,65E-06");

    auto* box = qobject_cast<QCheckBox*>(WindowOf(page->PersoneEsterno));
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    EXPECT_EQ(project.Lightning->PersonsOutside, 1);
    EXPECT_EQ(page->ValoreLt->Caption.Get(), "0,01");
    project.Modified = false;
    TypeInto(page->EditLinee[0], "1");
    EXPECT_EQ(project.Lightning->AerialLinesA, 1);
    EXPECT_TRUE(project.Modified);
    EXPECT_EQ(page->LabelEsitoVerdetto->Caption.Get(),
              "Protezione necessaria: R1 supera il rischio tollerabile.");
    Shoot(form.get(), "lightning-8110.png");
}

TEST(QtLightningPages, Fulmini811EvaluatesTheTypedStructure) {
    ScopedGlobals globals;
    FormatSettings().DecimalSeparator = ',';
    TProgetto project(nullptr);
    project.Reset(false);
    auto form = std::make_unique<TForm>(nullptr);
    form->Caption = "Fulmini 81.1";
    form->SetBounds(0, 0, 830, 530);
    auto* page = new TPaginaFulmini811(form.get());
    page->Parent = form.get();
    page->SetProject(&project);
    form->Show();
    qttest::Settle();

    QTest::mouseClick(WidgetOf(page->ListaStrutture), Qt::LeftButton, {}, QPoint(20, 4 * 16 + 8));
    EXPECT_EQ(project.Mast->StructureSelected[4], 1);
    page->ComboRischio->SelectByUser(1);
    page->ComboCoeffAmb->SelectByUser(2);
    page->ComboCoeffAmbAnt->SelectByUser(2);
    TypeInto(page->EditLunghezza, "20");
    TypeInto(page->EditLarghezza, "15");
    TypeInto(page->EditAltezzaSenza, "12");
    TypeInto(page->EditAltezzaCon, "15");
    EXPECT_EQ(project.Mast->HeightWith, 15);
    EXPECT_EQ(page->ValoreSenzaAntenne->Caption.Get(), "0,02757");
    EXPECT_EQ(page->ValoreConAntenne->Caption.Get(), "0,03925");
    EXPECT_EQ(page->LabelEsitoCon->Caption.Get(), "La struttura con antenne è autoprotetta.");
    Shoot(form.get(), "lightning-811.png");
}
