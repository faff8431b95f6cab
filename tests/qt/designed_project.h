#pragma once
// The starts the Qt tests share. A building the wizard designs on the
// default library: one staircase of two flats a floor with two outlets
// each, terrestrial antennas for band III and UHF and the satellite dish on
// four cables joined in one distribution along the staircase, modular head
// end. An antenna and a converter whose data forms open on their channel
// tables.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/program.h"
#include "autodesign/wizard.h"
#include "cells/factory.h"
#include "cells/sources.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "document/grid.h"
#include "document/design_settings.h"
#include "platform/qt/qt_backend_impl.h"
#include "platform/qt/qt_printer.h"
#include "printing/preview.h"
#include "printing/print_options.h"
#include "qt/pdf_files.h"
#include "qt/qt_test_support.h"
#include "support/default_library_folder.h"
#include "support/design_components.h"
#include "support/dialog_fixture.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"
#include "support/program_fixture.h"

namespace qttest {

// The program started with the default library in its folder, past the
// splash, and a building designed through "Autoprogetto" as design fills
// the wizard; its main form.
inline TAntenne* StartDesigned(ScopedProgram& program, std::function<void(TAutoProgetto&)> design) {
    TAntenne* form = &program.Start();
    for (const char* name : {"Varne.alb", "Default.sel"})
        std::filesystem::copy_file(DefaultLibraryFolder() + "/" + name, program.Dir().File(name),
                                   std::filesystem::copy_options::overwrite_existing);
    for (int i = 0; i < 3; ++i) form->TimerTimer(nullptr);  // past the splash
    Settle();
    TAutoProgetto* wizard = form->Wizard;
    WhenInFront(wizard, [=] { design(*wizard); });
    form->Speciali1->Click();
    form->Autoprogetto1->Click();
    Settle();
    return form;
}

// The same with that staircase.
inline TAntenne* StartDesigned(ScopedProgram& program, int floors, int headEndDistance) {
    return StartDesigned(program, [=](TAutoProgetto& w) { DesignStaircase(w, DefaultLibraryName, floors, headEndDistance); });
}

// A channel of the European plan, of that signal, added to a list.
inline void AddChannel(TListaCanali& list, const char* name, int signal) {
    TCanale c;
    CanalizzazioneEuropa->SetChannel(c, CanalizzazioneEuropa->IndexOf(name));
    c.signalType = signal;
    list.Insert(c);
}

// The program-wide objects of a test's own and its component-data form,
// for a component on a grid of its own.
struct TComponentFixture {
    ScopedGlobals globals;
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    TDatiComponenti& Form() { return dialog.Get(); }
};

// A UHF antenna (470-862 MHz) on a network grid, described, receiving the
// channels named, analogue: its data form opens on its channel table.
struct TAntennaFixture : TComponentFixture {
    explicit TAntennaFixture(std::initializer_list<const char*> channels = {}) {
        antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaLowestSlot, 470.0f);
        antenna.Attenuation->Set3(0, AntennaRangeColumn, AntennaHighestSlot, 862.0f);
        for (const char* name : channels) AddChannel(*antenna.SourceChannels, name, SignalAnalog);
        antenna.Described = 1;
    }
    TGridData network{nullptr, 75, 75, GridNetwork};
    TAntenna antenna{&network, 0, 0, 4, 4};
};

// A four-output satellite converter in a head-end grid, the first of its
// kind, with the satellite bands of the outputs given (1: the output carries
// the bands, 0: a list of channels), not yet described.
struct TConverterFixture : TComponentFixture {
    explicit TConverterFixture(std::array<uint8_t, SatMaxOutputs> bands) {
        sat.SequenceNumber = 1;
        sat.Characteristics[0] &= ~4u;
        sat.UseSatBands = bands;
    }
    TGridData headEnd{nullptr, 75, 75, GridHeadEnd};
    std::unique_ptr<TCella> cell{NewCella(&headEnd, 39, 4, 4, 0, 4, 0)};
    TSat& sat = dynamic_cast<TSat&>(*cell);
};

// A person at a component-data form shown modally: the keys go, one at a
// time, to the widget focused in that form's window (see KeyTarget).
class TFormKeys {
public:
    // Runs body inside the form's modal loop once its window is in front.
    void WhenShown(TDatiComponenti& f, std::function<void()> body) {
        WhenInFront(&f, [this, &f, body = std::move(body)] {
            window_ = WindowOf(&f);
            Settle();
            body();
        });
    }
    QWidget* Target() const { return KeyTarget(window_); }
    void Type(const char* text) const {
        for (const char* k = text; *k; ++k) {
            QTest::keyClicks(Target(), QString(QChar(*k)));
            Settle();
        }
    }
    void Press(Qt::Key key) const {
        QTest::keyClick(Target(), key);
        Settle();
    }

private:
    QWidget* window_ = nullptr;
};

// The channels of a source's list, each with "D" or "A" for its signal.
inline std::vector<std::string> ChannelsOf(const TListaCanali& list) {
    std::vector<std::string> names;
    for (const TCanale* c = list.head; c; c = c->next)
        names.push_back(c->name + (c->signalType == SignalDigital ? "D" : "A"));
    return names;
}

// A building of staircases alike, every floor with the same apartments, and
// the wizard's choices for it; the band III and UHF antennas on request.
struct TShape {
    const char* name;
    int staircases, floors, apartments;
    TAppartamento apartment;
    std::vector<int> choices;
    bool terrestrial;
};

inline void PrintTo(const TShape& shape, std::ostream* out) { *out << shape.name; }

inline std::string ShapeName(const ::testing::TestParamInfo<TShape>& info) {
    std::string n = info.param.name;
    std::replace(n.begin(), n.end(), '-', '_');
    return n;
}

inline void DesignShape(TAutoProgetto& w, const TShape& shape) {
    SetBuilding(w, shape.staircases, shape.floors, shape.apartments, shape.apartment, 10);
    if (shape.terrestrial) SetBandAntennas(w, DefaultLibraryName);
    ChooseAndFinish(w, shape.choices);
}

// The program with a building of that shape designed, for the customer
// "Rossi Mario". A message of the designer would wait for an answer: it is
// taken down and kept in messages to be reported.
class QtDesignedShape : public ::testing::TestWithParam<TShape> {
protected:
    void SetUp() override {
        QObject::connect(&boxes, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages += box->text().toStdString() + "\n";
                box->accept();
            }
        });
        boxes.start(100);
        const TShape shape = GetParam();
        form = StartDesigned(program, [shape](TAutoProgetto& w) { DesignShape(w, shape); });
        project = form->CurrentProject;
        project->Name = program.Dir().File(std::string("Edificio ") + shape.name + ".ant");
        project->HeaderTexts[0] = "Rossi Mario";
    }
    void TearDown() override { boxes.stop(); }
    QTimer boxes;
    std::string messages;
    ScopedProgram program;
    TAntenne* form = nullptr;
    TProgetto* project = nullptr;
};

// A print item of the main form clicked, Qt's print dialog answered with a
// PDF file of that name in the build folder; the file, its pages rendered.
// The item is enabled and no word reaches the sheet's unprinted edge.
inline std::string PrintItemToPdf(TAntenne* form, TMenuItem* item, const char* name) {
    const std::string file = Artefact(name);
    DeleteFile(file);
    form->Stampa2->Click();  // the print menu opens: its items' states
    EXPECT_TRUE(item->Visible && item->Enabled) << name;
    AnswerPrintDialogWithPdf(file);
    item->Click();
    EXPECT_TRUE(FileExists(file)) << name;
    Render(file);
    EXPECT_EQ(WordsAtTheEdge(file), "") << name;
    return file;
}

// The documents chosen in the options printed in one job to a new PDF file
// on Qt's PDF device, its pages rendered next to it; false when nothing was printed.
inline bool PrintChosenToPdfFile(TStampa& stampa, const TDatiStampa& options, const std::string& file) {
    DeleteFile(file);
    auto* backend = dynamic_cast<ovqt::TQtBackend*>(Application->Backend());
    if (!backend) return false;
    Printer()->SetPrinterIndex(Printer()->Printers->IndexOf(ovqt::PdfDeviceName));
    backend->PrinterPeer()->SetPdfFile(QString::fromStdString(file));
    const bool printed = PrintChosenDocuments(stampa, options);
    Printer()->SetPrinterIndex(-1);
    if (printed) Render(file);
    return printed;
}

}  // namespace qttest
