// The pictures of the documentation, made with the Qt back end from the
// building the guide (docs/guida-rapida.md) walks through, designed by the
// wizard on the default library: two staircases of six floors of four flats
// with two outlets each on two lines, the band III and UHF antennas on
// their channels, the satellite dish on four cables joined in one
// distribution along the staircases, modular head end.
// Each picture is the program's window (or the wizard, or the print
// preview) at a small size, saved with a palette of at most 256 colours.
// The folder is OV_DOC_PICTURES (scripts/make-doc-pictures.sh points it at
// docs/images); without it the pictures go under the build folder, where
// the test suite makes them to keep this program working.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/lightning_pages.h"
#include "app/main_form.h"
#include "app/mast_page.h"
#include "autodesign/wizard.h"
#include "dialogs/mast_sizing.h"
#include "document/lightning.h"
#include "document/project.h"
#include "printing/preview.h"
#include "printing/print_options.h"
#include "qt/designed_project.h"
#include "qt/qt_test_support.h"

namespace {

using qttest::DesignShape;
using qttest::Settle;
using qttest::TShape;
using qttest::WindowOf;

// The main window's size in the pictures: the pages show whole, the file stays small.
constexpr int PictureWidth = 1000, PictureHeight = 700;
// A picture larger than this is a sign of noise (a gradient, a photograph).
constexpr qint64 LargestPicture = 150 * 1024;

std::string Folder() {
    const char* env = std::getenv("OV_DOC_PICTURES");
    std::string dir = env && *env ? env : std::string(OV_BUILD_DIR) + "/doc-pictures";
    ForceDirectories(dir);
    return dir + "/";
}

// The 256 colours the picture uses most, most used first. Qt's own choice
// for a picture of more colours is a fixed cube of 216 colours, in which the
// grey of a disabled caption and the grey of the window behind it become
// one colour, and the caption is lost; the picture's own colours keep them
// apart, the rarer shades of smoothed text going to their nearest.
QList<QRgb> OwnPalette(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, qint64> uses;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) ++uses[line[x]];
    }
    QList<QPair<qint64, QRgb>> ranked;
    for (auto it = uses.cbegin(); it != uses.cend(); ++it) ranked.append({it.value(), it.key()});
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QList<QRgb> palette;
    for (int i = 0; i < ranked.size() && i < 256; ++i) palette.append(ranked[i].second);
    return palette;
}

QImage Indexed(const QImage& shot) {
    return shot.convertToFormat(QImage::Format_Indexed8, OwnPalette(shot), Qt::ThresholdDither | Qt::AvoidDither);
}

// The part of the picture under a control of the window pictured.
QImage Under(const QImage& picture, TControl* control, TControl* window) {
    const QWidget* widget = WindowOf(control);
    const QPoint at = widget->mapTo(WindowOf(window), QPoint(0, 0));
    return picture.copy(QRect(at, widget->size()));
}

// The picture in the folder, with a palette of its own colours; checks that
// it is neither blank nor large. The picture as saved.
QImage Save(const QImage& shot, const std::string& name) {
    EXPECT_FALSE(shot.isNull()) << name;
    if (shot.isNull()) return shot;
    EXPECT_GT(qttest::Colours(shot), 5) << name << " is blank";
    const QImage indexed = Indexed(shot);
    const std::string file = Folder() + name;
    EXPECT_TRUE(indexed.save(QString::fromStdString(file), "PNG", 9)) << file;
    const qint64 size = QFileInfo(QString::fromStdString(file)).size();
    EXPECT_LT(size, LargestPicture) << file;
    return QImage(QString::fromStdString(file));
}

// The pixels of a part of a picture that are not its background (its most
// used colour): a control's box or circle and its caption.
int Drawn(const QImage& part) {
    const QImage rgb = part.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> uses;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) ++uses[rgb.pixel(x, y)];
    int most = 0;
    for (int n : uses) most = std::max(most, n);
    return rgb.width() * rgb.height() - most;
}

// A disabled control's caption shows in the saved picture, grey on grey, as
// the window shows it: nearly every pixel drawn on the window's background
// is still apart from it in the picture (a lost caption leaves only the box).
void ShowsDisabledCaption(const QImage& saved, TControl* control, TControl* window, const char* caption) {
    ASSERT_FALSE(control->Enabled) << caption;
    const int shown = Drawn(Under(WindowOf(window)->grab().toImage(), control, window));
    const int kept = Drawn(Under(saved, control, window));
    EXPECT_GT(kept, shown * 9 / 10) << caption << " is lost from the picture";
}

// The guide's building, as its opening list gives it: what the guide's
// reader types into the wizard is what the pictures show.
// clang-format off
const TShape Building{"doc", 2, 6, 4, TAppartamento{2, 2, 2, 2, 5, 5},
                      {ChoiceTerSat, ChoiceReteCentrale, ChoiceModulare, ChoiceMs4, ChoiceUnite, ChoiceLungoScala},
                      true};
// clang-format on

class DocPictures : public ::testing::Test {
protected:
    void SetUp() override {
        // A message of the designer would wait for an answer: it is taken
        // down and reported as a failure, a picture of it is no use.
        QObject::connect(&boxes, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages += box->text().toStdString() + "\n";
                box->accept();
            }
        });
        boxes.start(100);
        form = &program.Start();
        for (const char* name : {"Varne.alb", "Default.sel"})
            std::filesystem::copy_file(DefaultLibraryFolder() + "/" + name, program.Dir().File(name),
                                       std::filesystem::copy_options::overwrite_existing);
        for (int i = 0; i < 3; ++i) form->TimerTimer(nullptr);  // past the splash
        form->WindowState = wsNormal;
        form->SetBounds(0, 0, PictureWidth, PictureHeight);
        Settle();
    }
    void TearDown() override {
        boxes.stop();
        EXPECT_EQ(messages, "");
    }

    // The wizard opened by "Autoprogetto", its first page pictured with the
    // building's choices, the building described and designed.
    void Design() {
        TAutoProgetto* wizard = form->Wizard;
        qttest::WhenInFront(wizard, [=] {
                Settle();
                EXPECT_EQ(wizard->VisiblePage(), WizardTypePage);
                // The first page with the building's choices made: every group in use.
                for (int choice : Building.choices) wizard->ChoiceClick(wizard->Choice[choice]);
                Settle();
                const QImage saved = Save(WindowOf(wizard)->grab().toImage(), "wizard.png");
                ShowsDisabledCaption(saved, wizard->Choice[ChoiceCentrale], wizard, "Centrale di testa");
                DesignShape(*wizard, Building);
            });
        form->Speciali1->Click();
        form->Autoprogetto1->Click();
        Settle();
        project = form->CurrentProject;
        project->Name = program.Dir().File("Condominio Rossi.ant");
        project->HeaderTexts[0] = "Rossi Mario";
        ASSERT_EQ(project->Step, 2);
    }

    // The one form of that class the main form owns.
    template <class F>
    F* OwnedForm() const {
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (auto* f = dynamic_cast<F*>(form->Components(i))) return f;
        return nullptr;
    }

    // The main window on the page of that caption.
    void Page(const char* caption, const std::string& name) {
        form->SelectPage(caption);
        Settle();
        Save(WindowOf(form)->grab().toImage(), name);
    }

    QTimer boxes;
    std::string messages;
    ScopedProgram program;
    TAntenne* form = nullptr;
    TProgetto* project = nullptr;
};

TEST_F(DocPictures, TheDesignedBuildingItsPagesAndThePrintPreview) {
    ASSERT_NO_FATAL_FAILURE(Design());
    // The drawing pages at the scale the window opens with, as the guide's
    // reader sees them.
    Page(PageRete, "rete.png");
    Page(PageTesta, "testa.png");
    Page(PageCalcoliRete, "calcoli-rete.png");
    Page(PageCalcoliCanali, "calcoli-canali.png");
    Page(PagePreventivo, "preventivo.png");

    // "Determinazione automatica sostegno": its form pictured as it opens
    // the first time, every section selected, then the mast sized from the
    // head end's antennas.
    form->SelectPage(PageSostegno);
    Settle();
    bool sized = false;
    qttest::WhenShown(
        "Dimensionamento sostegno",
        [&] { return form->MastPage->DatiAutSost && qttest::InFront(form->MastPage->DatiAutSost); },
        [&] {
            TDatiAutSost* sizing = form->MastPage->DatiAutSost;
            Settle();
            const int sections = sizing->ListTronchi->Items->Count();
            EXPECT_GT(sections, 0);
            EXPECT_EQ(sizing->ListTronchi->SelCount(), sections) << "every section selected on first use";
            Save(WindowOf(sizing)->grab().toImage(), "dimensionamento-sostegno.png");
            EXPECT_TRUE(sizing->RadioTesta->Enabled);
            QTest::mouseClick(WindowOf(sizing->RadioTesta), Qt::LeftButton);
            sized = sizing->RadioTesta->Checked;
            QTest::mouseClick(WindowOf(sizing->ButtonOk), Qt::LeftButton);
        });
    form->Speciali1->Click();
    form->DetAutSost->Click();
    Settle();
    EXPECT_TRUE(sized);
    Page(PageSostegno, "sostegno.png");

    // The building for the lightning risk: 24 x 12 m, 18 m high, one aerial
    // power line.
    TFulmini& lightning = *project->Lightning;
    lightning.L = 24, lightning.W = 12, lightning.H = 18;
    lightning.AerialLinesB = 1;
    lightning.Compute();
    form->Lightning8110Page->SetProject(project);
    Page(PageFulmini8110, "fulmini.png");

    // "Selezione" of the print menu: the documents chosen, "Anteprima",
    // the preview's first pages, then "Esci" and "Annulla".
    form->SelectPage(PageRete);
    Settle();
    form->Printing();  // the print forms are made with the printing
    TDatiStampa* options = OwnedForm<TDatiStampa>();
    TFAnteprima* preview = OwnedForm<TFAnteprima>();
    ASSERT_TRUE(options && preview);
    bool chosen = false, previewed = false;
    qttest::WhenInFront(options, [&] {
            chosen = options->Visible;
            for (TCheckBox* c : {options->CSchemi, options->CSRete, options->CCalcoli, options->CMateriale,
                                 options->CMRete, options->CPreventivo})
                c->Checked = true;
            Settle();
            const QImage saved = Save(WindowOf(options)->grab().toImage(), "selezione.png");
            ShowsDisabledCaption(saved, options->CSArea, options, "Area selezionata");
            qttest::WhenInFront(preview, [&] {
                    previewed = preview->Visible;
                    Settle();
                    Save(WindowOf(preview)->grab().toImage(), "anteprima.png");
                    qttest::WhenInFront(options, [&] { QTest::mouseClick(WindowOf(options->BAnnulla), Qt::LeftButton); });
                    QTest::mouseClick(WindowOf(preview->BEsci), Qt::LeftButton);
                });
            // Not maximised: the picture's size, the page laid out for it.
            preview->WindowState = wsNormal;
            preview->SetBounds(0, 0, PictureWidth, PictureHeight);
            QTest::mouseClick(WindowOf(options->BAnteprima), Qt::LeftButton);
        });
    form->SSelezione->Click();
    Settle();
    EXPECT_TRUE(chosen);
    EXPECT_TRUE(previewed);
}

}  // namespace
