// Project files end to end: what a fresh project writes, a full project read
// back to the same bytes, files of older versions, every refusal of a load
// (with the open project left as it was), the ".bak" copy and failed saves,
// the question before changes are lost, and the recent files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "cells/cables.h"
#include "cells/factory.h"
#include "core/channel_plans.h"
#include "core/channels.h"
#include "core/file.h"
#include "document/design_settings.h"
#include "document/estimate.h"
#include "document/grid.h"
#include "document/lightning.h"
#include "document/mast.h"
#include "document/project.h"
#include "document/project_files.h"
#include "document/signs.h"
#include "platform/application.h"
#include "platform/safe_files.h"
#include "support/as_user.h"
#include "support/file_bytes.h"
#include "support/globals_fixture.h"
#include "support/old_cable_records.h"
#include "support/record_bytes.h"
#include "support/small_tmpfs.h"

namespace {

struct StandInWindow : TFinestraProgetto {
    void SetCaption(const AnsiString& caption) override { Caption = caption; }
    void ClearSignSelection() override { ++SelectionsCleared; }
    AnsiString Caption = "Ordivex Varne - [senza nome]";
    int SelectionsCleared = 0;
};

struct StandInMenu : TMenuFileRecenti {
    void ShowItem(int index, const AnsiString& caption) override { Items[index] = caption; }
    void ShowSeparator() override { Separator = true; }
    std::map<int, AnsiString> Items;
    bool Separator = false;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Files of older versions are seeds of the project file's fuzz target too.
void WriteOldFile(const std::string& path, const std::string& bytes, const char* seed) {
    WriteFileBytes(path, bytes);
    const std::string seeds = std::string(OV_BUILD_DIR) + "/fuzz-seeds/fuzz_project_file";
    std::filesystem::create_directories(seeds);
    WriteFileBytes(seeds + "/" + seed, bytes);
}

std::string Le32(int32_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((uint32_t(v) >> (8 * i)) & 0xFF);
    return b;
}

// The 57 bytes before the body: tag, reserved word, count 9, nine words.
std::string Header(const char* tag, int32_t count = 9) {
    return std::string(tag, 12) + std::string(1, '\0') + Le32(0) + Le32(count) + std::string(36, '\0');
}

class ProjectFileTest : public GlobalsTest {
protected:
    ProjectFileTest() {
        Application->Script().Reset();
        project.Reset(true);
    }

    std::string Path(const std::string& name) const { return globals.Dir().File(name); }
    std::string Saved(TProgetto& p, const std::string& name) {
        EXPECT_EQ(files.SaveProject(Path(name), p, 60000), 0);
        return ReadFile(Path(name));
    }
    AnsiString Recent(int i) { return globals.Settings().String("FileName" + IntToStr(i)); }

    // A project with something in every part of the file.
    void Fill(TProgetto& p) {
        p.HeaderTexts[0] = "Condominio Rossi";
        p.HeaderTexts[22] = "Impianto centralizzato";
        p.HeaderTexts[28] = "Ultimo testo";
        p.ReservedNumber = 7;
        TGridData* net = p.NetworkGrid;
        ASSERT_TRUE(net->InsertCell(NewCella(net, CodeEndOutlet, 10, 5, 1, 0, 1), false, 0));
        ASSERT_TRUE(net->InsertCell(NewCella(net, CodeCable, 10, 4, 1, 1, 0), false, 0));
        auto signOwned = std::make_unique<TSegnoGrafico>(net);
        TSegnoGrafico* sign = signOwned.get();
        sign->Kind = SignText;
        sign->X1 = 100;
        sign->Y1 = 120;
        sign->X2 = 300;
        sign->Y2 = 160;
        sign->Text = "Scala A";
        net->Signs->Add(std::move(signOwned), false);
        TGridData* head = p.HeadEndGrid;
        ASSERT_TRUE(head->InsertCell(NewCella(head, 45, 5, 10, 0, 1, 0), false, 0));
        ASSERT_TRUE(head->InsertCell(NewCella(head, 29, 8, 20, 2, 1, 0), false, 0));

        p.Estimate->BuildFromCells();
        TRigaPreventivo byHand;
        byHand.Code = "EXTRA";
        byHand.Description = "Staffa a muro";
        byHand.Quantity = 2;
        byHand.UnitPrice = 12.5f;
        byHand.Unit = "pezzi";
        p.Estimate->AddQuantity(byHand);
        p.Estimate->Notes[2] = "Prezzi IVA esclusa";
        p.EstimateOutOfDate = false;

        TPalo& mast = *p.Mast;
        mast.WindClass = 1;
        mast.Environment = 1;
        auto dish = std::make_unique<TDatiAntenna>();
        dish->Kind = MastDish;
        dish->Diameter = 80;
        dish->Polarisation = -1;
        dish->Spacing = 20;
        mast.Antennas.InsertAt(0, std::move(dish));
        auto arm = std::make_unique<TDatiAntenna>();
        arm->Kind = MastDoubleArm;
        arm->Spacing = 40;
        arm->FirstChild = std::make_unique<TDatiAntenna>();
        arm->FirstChild->Force = 90;
        arm->FirstChild->WindOfForce = 150;
        arm->SecondChild = std::make_unique<TDatiAntenna>();
        arm->SecondChild->Kind = MastLogPeriodic;
        arm->SecondChild->Area = 0.15f;
        mast.Antennas.InsertAt(1, std::move(arm));

        p.Lightning->L = 24;
        p.Lightning->AerialLinesA = 2;
        p.Lightning->Notes = "Edificio isolato";
        p.Lightning->Compute();

        TOpzProgetto& design = DesignSettings();
        design.Building->StaircaseCount = 2;
        design.Building->Staircases[1].FloorCount = 4;
        TAntennaAutoProg& antenna = design.Antennas[0];
        for (const char* name : {"21", "34", "60"}) {
            TCanale c;
            ASSERT_TRUE(antenna.Plan->SetChannel(c, antenna.Plan->IndexOf(name)));
            antenna.Channels.Insert(c);
        }
        design.Satellite = true;
    }

    TProgetto project{nullptr};
    StandInWindow window;
    StandInMenu menu;
    TFileProgetto files{&window, &menu};
};

TEST_F(ProjectFileTest, AFreshProjectWritesItsHeaderAndSections) {
    const std::string b = Saved(project, "nuovo.ant");
    EXPECT_EQ(b.substr(0, 57), Header("ant 6.0.0   "));
    EXPECT_EQ(b.substr(57, 42), std::string(42, '\0'));
    EXPECT_EQ(b.substr(99, 2), "\x0C\x43");
    EXPECT_EQ(b.substr(101, 4), Le32(200));
    EXPECT_EQ(b[105], '\x01');
    EXPECT_EQ(b.substr(106, 7), std::string(7, '\0'));  // no rows, three empty notes
    TMemoryStream head, net, mast;
    project.HeadEndGrid->Save(head, 60000);
    project.NetworkGrid->Save(net, 60000);
    project.Mast->Save(mast, 60000);
    ASSERT_GT(b.size(), 113 + head.Bytes().size());
    EXPECT_EQ(b.substr(113, 32), Le32(205) + Le32(0) + Le32(75) + Le32(75) + Le32(206) + Le32(206) +
                                     Le32(CodeHeadEnd) + Le32(1));
    EXPECT_EQ(b.substr(113, head.Bytes().size()), head.Bytes());
    size_t at = 113 + head.Bytes().size();
    EXPECT_EQ(b.substr(at, net.Bytes().size()), net.Bytes());
    at += net.Bytes().size();
    EXPECT_EQ(b.substr(at, 4), Le32(207));
    EXPECT_EQ(b.substr(at + 4, mast.Bytes().size()), mast.Bytes());
    EXPECT_EQ(mast.Bytes().substr(4 * 4 + 1 + 6 * 16, 4), std::string("\x28\x00\x09\x00", 4));
    at += 4 + mast.Bytes().size();
    EXPECT_EQ(b.substr(at, 4), Le32(209));
    EXPECT_EQ(window.Caption, "Ordivex Varne - [" + Path("nuovo.ant") + "]");
    EXPECT_FALSE(project.Modified);
}

TEST_F(ProjectFileTest, AFullProjectSavesLoadsAndSavesToTheSameBytes) {
    Fill(project);
    const std::string first = Saved(project, "pieno.ant");

    auto cleared = std::make_unique<TOpzProgetto>();
    SwapDesignSettings(cleared);
    TProgetto other(nullptr);
    other.Reset(true);
    ASSERT_EQ(files.LoadProject(Path("pieno.ant"), other), 0);
    EXPECT_EQ(window.SelectionsCleared, 1);
    EXPECT_EQ(other.Name, Path("pieno.ant"));
    EXPECT_EQ(other.HeaderTexts[22], "Impianto centralizzato");
    ASSERT_NE(other.NetworkGrid->CellAt(10, 5), nullptr);
    EXPECT_EQ(other.NetworkGrid->CellAt(10, 5)->TypeCode, CodeEndOutlet);
    EXPECT_EQ(other.NetworkGrid->CellAt(10, 5)->Owner, other.NetworkGrid);
    EXPECT_EQ(other.NetworkGrid->Project, &other);
    EXPECT_EQ(other.NetworkGrid->Signs->Count(), 1);
    EXPECT_TRUE(other.Estimate->HasRow("EXTRA"));
    EXPECT_EQ(other.Estimate->Project, &other);
    EXPECT_FALSE(other.EstimateOutOfDate);
    ASSERT_EQ(other.Mast->Antennas.Count(), 2);
    EXPECT_EQ(other.Mast->Antennas.Items[1]->SecondChild->Kind, MastLogPeriodic);
    EXPECT_EQ(other.Lightning->Notes, "Edificio isolato");
    EXPECT_EQ(DesignSettings().Building->StaircaseCount, 2);
    EXPECT_EQ(DesignSettings().Antennas[0].Channels.Count(), 3);
    EXPECT_FALSE(other.DesignPending);
    EXPECT_FALSE(other.Modified);

    EXPECT_EQ(Saved(other, "di nuovo.ant"), first);
}

TEST_F(ProjectFileTest, RefusedLoadsLeaveTheOpenProjectAsItWas) {
    const std::string fresh = Saved(project, "fresco.ant");
    const std::string base = fresh.substr(0, 101);  // header, texts and bytes A, B
    auto withMast = [&](TPalo& mast) {
        TMemoryStream s;
        mast.Save(s, 60000);
        return base + Le32(207) + s.Bytes();
    };
    TPalo twenty;
    for (int i = 0; i < 20; ++i) twenty.Antennas.Items.push_back(std::make_unique<TDatiAntenna>());
    TPalo windy;
    windy.WindClass = 9;
    RecordBytes unknownCell;
    unknownCell.I32(205).I32(1).I32(10).I32(10).I32(206).I32(206).I32(999).I32(1).I32(1).I32(0);

    struct Case {
        const char* name;
        std::string bytes;  // none: no file, unless the case is "empty"
        const char* message;
    };
    const char* format = " non è nel formato corretto.";
    // clang-format off
    const Case cases[] = {
        {"missing", "", " è inesistente."},
        {"empty", std::string(), " non è un progetto di Ordivex Varne."},
        {"not a project", Header("xyz 1.0.0   ") + fresh.substr(57), " non è un progetto di Ordivex Varne."},
        {"later version", Header("ant 7.0.0   ") + fresh.substr(57),
         " è stato creato con una versione di Ordivex Varne successiva alla 4.0."},
        {"count 8", Header("ant 6.0.0   ", 8) + fresh.substr(57), format},
        {"tag 210", base + Le32(210), format},
        {"unknown cell", base + unknownCell.Bytes(), " non è nel formato corretto. Lo schema contiene un componente "
         "di tipo sconosciuto (999) o con un numero di porte non valido."},
        {"truncated grid", fresh.substr(0, 113 + 40),
         " non è nel formato corretto. Il file si interrompe nel mezzo di un componente."},
        {"truncated header", fresh.substr(0, 30), format},
        {"twenty mast items", withMast(twenty), format},
        {"wind class 9", withMast(windy), format},
    };
    // clang-format on
    project.HeaderTexts[0] = "Aperto";
    project.Modified = true;
    globals.Settings().WriteString("FileName1", "prima.ant");
    TCella* anchor = project.NetworkGrid->Anchor;
    for (const Case& c : cases) {
        const std::string name = Path(std::string(c.name) + ".ant");
        if (!c.bytes.empty() || std::string(c.name) == "empty") WriteFileBytes(name, c.bytes);
        Application->Script().Reset();
        EXPECT_EQ(files.LoadProject(name, project), -1) << c.name;
        const auto& boxes = Application->Script().MessageBoxes;
        ASSERT_EQ(boxes.size(), 1u) << c.name;
        EXPECT_EQ(boxes[0].Text, "Il file " + name + c.message) << c.name;
        EXPECT_EQ(boxes[0].Caption, "Ordivex Varne");
        EXPECT_EQ(boxes[0].Flags, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(project.Name, Path("fresco.ant")) << c.name;
        EXPECT_EQ(project.HeaderTexts[0], "Aperto") << c.name;
        EXPECT_EQ(project.NetworkGrid->Anchor, anchor) << c.name;
        EXPECT_TRUE(project.Modified) << c.name;
        EXPECT_EQ(Recent(1), "prima.ant") << c.name;
        EXPECT_EQ(window.SelectionsCleared, 0) << c.name;
    }
}

// Names that stand for no readable file: a folder, a pipe (whose reading
// would never end), a file its user may not read. The message gives the
// reason and the open project stays as it was.
TEST_F(ProjectFileTest, NamesThatCannotBeReadAreRefusedWithTheReason) {
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> make;
        const char* message;  // after "Il file <name>" or "Impossibile aprire il file <name>"
        bool cannotOpen;
        bool asUser;
    };
    // clang-format off
    const Case cases[] = {
        {"a folder", [](const std::string& p) { ::mkdir(p.c_str(), 0755); }, ": è una cartella.", true, false},
        {"a pipe", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); }, " non è un progetto di Ordivex Varne.", false, false},
        {"a file without read permission", [this](const std::string& p) {
             EXPECT_EQ(files.SaveProject(p, project, 60000), 0);
             ::chmod(p.c_str(), 0200);
         }, ": permesso negato.", true, true},
    };
    // clang-format on
    std::string skipped;
    for (const Case& c : cases) {
        TempDir dir;
        const std::string name = dir.File("x.ant");
        c.make(name);
        auto run = [&]() -> std::string {
            project.Name = "prima.ant";
            project.HeaderTexts[0] = "Aperto";
            Application->Script().Reset();
            std::ostringstream wrong;
            if (files.LoadProject(name, project) != -1) wrong << "loaded; ";
            const auto& boxes = Application->Script().MessageBoxes;
            const std::string said =
                (c.cannotOpen ? "Impossibile aprire il file " : "Il file ") + name + c.message;
            if (boxes.size() != 1)
                wrong << boxes.size() << " messages; ";
            else if (boxes[0].Text != said)
                wrong << "message \"" << boxes[0].Text << "\"; ";
            if (project.Name != "prima.ant" || project.HeaderTexts[0] != "Aperto")
                wrong << "project changed; ";
            return wrong.str();
        };
        std::string wrong;
        if (c.asUser) {
            const TUserRun user = RunAsUser(dir.Path(), run);
            if (!user.ran) {
                skipped += std::string(c.what) + ": " + user.why + "; ";
                continue;
            }
            wrong = user.failure;
        } else {
            wrong = run();
        }
        EXPECT_EQ(wrong, "") << c.what;
    }
    if (!skipped.empty()) GTEST_SKIP() << "permission cases not run: " << skipped;
}

// Names as a person gives them: letters beyond ASCII in the folder and the
// file save and open back; a name that does not exist or is too long for the
// system is said, and the open project stays.
TEST_F(ProjectFileTest, NamesOfAnyLettersOpenAndNamesThatAreNoFileAreSaid) {
    TempDir dir;
    const std::string folder = dir.Path() + "/Clienti è già";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string name = folder + "/Condominio «Via Éolo» €.ant";
    project.HeaderTexts[0] = "Cliente ü";
    ASSERT_EQ(files.SaveProject(name, project, ProjectVersionCurrent), 0);
    TProgetto other(nullptr);
    ASSERT_EQ(files.LoadProject(name, other), 0);
    EXPECT_EQ(other.Name, name);
    EXPECT_EQ(other.HeaderTexts[0], "Cliente ü");
    EXPECT_EQ(Recent(1), name);

    struct Case {
        std::string name, message;
    } cases[] = {
        {folder + "/manca.ant", "Il file " + folder + "/manca.ant è inesistente."},
        {dir.Path() + "/manca/x.ant", "Il file " + dir.Path() + "/manca/x.ant è inesistente."},
        {folder + "/" + std::string(300, 'x') + ".ant",
         "Impossibile aprire il file " + folder + "/" + std::string(300, 'x') + ".ant: nome troppo lungo."},
    };
    for (const Case& c : cases) {
        Application->Script().Reset();
        EXPECT_EQ(files.LoadProject(c.name, other), -1) << c.name;
        EXPECT_EQ(ShownMessage(), c.message);
        EXPECT_EQ(other.Name, name);
        EXPECT_EQ(other.HeaderTexts[0], "Cliente ü");
        EXPECT_EQ(Recent(1), name);
    }
}

TEST_F(ProjectFileTest, MastOnlyFilesLoadTextsAndMastWithBothAnchors) {
    RecordBytes body;
    for (auto [text, width] : {std::pair<const char*, int>{"Rossi", 51},
                               {"Via Roma 1", 51},
                               {"Milano", 51},
                               {"02 123", 21},
                               {"", 21},
                               {"RSSMRA", 21},
                               {"01234567890", 12}})
        body.Fixed(text, width);
    body.I32(1).I32(1).I32(0).I32(1).U8(0);
    for (int i = 0; i < 6 * 3; ++i) body.F32(LevelNone);
    body.I32(40);
    body.U8(1).I32(MastYagi).I32(0).I32(4).I32(0).I32(10).F32(50).F32(0).U8(0).U8(0).U8(0).U8(0);
    body.U8(1).Zeros(18).I32(2).I32(2).I32(0).I32(0);
    for (int i = 0; i < 24; ++i) body.I32(static_cast<int32_t>(LevelNone));
    for (int i = 0; i < 6; ++i) body.Fixed(i == 0 ? "Palo" : "", 257);
    WriteOldFile(Path("palo.ant"), Header("sst 1.0.0   ") + body.Bytes(), "mast1");

    ASSERT_EQ(files.LoadProject(Path("palo.ant"), project), 0);
    EXPECT_EQ(project.HeaderTexts[1], "Via Roma 1");
    EXPECT_EQ(project.HeaderTexts[6], "01234567890");
    ASSERT_EQ(project.Mast->Antennas.Count(), 1);
    EXPECT_EQ(project.Mast->Antennas.Items[0]->WindOfForce, 150.0f);
    EXPECT_EQ(project.Mast->Text1, "Palo");
    EXPECT_EQ(project.NetworkGrid->Columns, 75);
    ASSERT_NE(project.NetworkGrid->CellAt(36, 0), nullptr);
    EXPECT_EQ(project.NetworkGrid->CellAt(36, 0)->TypeCode, CodeHeadEnd);
    ASSERT_NE(project.HeadEndGrid->CellAt(36, 74), nullptr);
    EXPECT_EQ(project.HeadEndGrid->Anchor, project.HeadEndGrid->CellAt(36, 74));
    EXPECT_FALSE(project.NetworkGrid->HasComponents());
    EXPECT_TRUE(project.DesignPending);
}

TEST_F(ProjectFileTest, InlineCellsOfOldFilesGoOnAFiftySquareNetworkGrid) {
    RecordBytes body;
    for (int width : {51, 51, 51, 21, 21, 21, 12}) body.Fixed("", width);
    body.I32(41).Raw(OldBaseRecord(10002, 0, 0, 0, 0, 5, 5).Bytes());
    body.I32(46).Raw(OldBaseRecord(10002, 0, 0, 0, 0, 7, 5).Bytes());
    RecordBytes cable = OldBaseRecord(10002, 1, 0, 3.0f, 0.0f, 9, 5);
    body.I32(CodeOldCableStraight).Raw(OldCableFields(cable, 0, 1, 0, 0, 0, "", 0).Bytes());
    WriteOldFile(Path("vecchio.ant"), Header("ant 1.0.2   ") + body.Bytes(), "inline10002");

    ASSERT_EQ(files.LoadProject(Path("vecchio.ant"), project), 0);
    TGridData& net = *project.NetworkGrid;
    EXPECT_EQ(net.Columns, 50);
    EXPECT_EQ(net.Rows, 50);
    for (auto [column, code] : {std::pair<int32_t, int32_t>{5, 14}, {7, 15}}) {
        TCella* outlet = net.CellAt(column, 5);
        ASSERT_NE(outlet, nullptr) << column;
        EXPECT_EQ(outlet->TypeCode, code);
        EXPECT_EQ(outlet->TapOutputs, 3);
        EXPECT_EQ(outlet->Owner, &net);
    }
    ASSERT_NE(net.CellAt(9, 5), nullptr);
    EXPECT_NE(dynamic_cast<TNCavo*>(net.CellAt(9, 5)), nullptr);
    // The head-end grid of such files holds nothing: it gets its terminal.
    EXPECT_EQ(project.HeadEndGrid->Columns, 50);
    EXPECT_NE(project.HeadEndGrid->Anchor, nullptr);
    EXPECT_EQ(project.HeadEndGrid->CellAt(24, 49), project.HeadEndGrid->Anchor);
}

TEST_F(ProjectFileTest, SavingKeepsTheReplacedFileAsBackup) {
    WriteFileBytes(Path("a.bak"), "vecchissimo");
    WriteFileBytes(Path("a.ant"), "vecchio");
    const std::string saved = Saved(project, "a.ant");
    EXPECT_EQ(ReadFile(Path("a.bak")), "vecchio");
    EXPECT_FALSE(FileExists(Path("a.ant.tmp")));

    // A name of four characters or fewer has no backup name.
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(globals.Dir().Path().c_str()), 0);
    WriteFileBytes("b.an", "vecchio");
    EXPECT_EQ(files.SaveProject("b.an", project, 60000), 0);
    EXPECT_FALSE(FileExists(".bak"));
    EXPECT_EQ(ReadFile("b.an"), saved);
    ASSERT_EQ(chdir(here), 0);
}

// Saving where the file cannot go: each case prepares the folder, saves over
// a.ant and answers what went wrong ("" when the save was refused with the
// reason and nothing changed on disk or in the project).
struct SaveTrouble {
    const char* what;
    std::function<std::string(const std::string& dir)> prepare;  // the name saved to
    const char* reason;
    bool asUser;  // needs the kernel's permission checks
};

TEST_F(ProjectFileTest, SavingWhereItCannotKeepsTheFileAndSaysWhy) {
    // clang-format off
    const SaveTrouble cases[] = {
        {"a full disk", [](const std::string& d) {
             file_faults::StopAt(100, file_faults::TStop::Error, ENOSPC);
             return d + "/a.ant";
         }, "spazio esaurito sul disco", false},
        {"a disk error at the flush", [](const std::string& d) {
             // One step per byte written, then the flush.
             file_faults::StopAt(static_cast<int64_t>(ReadFileBytes(d + "/a.ant").size()),
                                 file_faults::TStop::Error, EIO);
             return d + "/a.ant";
         }, "errore di lettura o scrittura sul disco", false},
        {"a file marked read-only", [](const std::string& d) {
             ::chmod((d + "/a.ant").c_str(), 0444);
             return d + "/a.ant";
         }, "il file è in sola lettura", false},
        {"a name too long", [](const std::string& d) { return d + "/" + std::string(300, 'x') + ".ant"; },
         "nome troppo lungo", false},
        {"a folder of that name", [](const std::string& d) {
             ::mkdir((d + "/c.ant").c_str(), 0755);
             return d + "/c.ant";
         }, "è una cartella", false},
        {"a folder that is a file", [](const std::string& d) { return d + "/a.bak/x.ant"; },
         "un elemento del percorso non è una cartella", false},
        {"a missing folder", [](const std::string& d) { return d + "/manca/x.ant"; },
         "il file o la cartella non esiste", false},
        {"a read-only folder", [](const std::string& d) {
             ::chmod(d.c_str(), 0555);
             return d + "/a.ant";
         }, "permesso negato", true},
    };
    // clang-format on
    std::string skipped;
    for (const SaveTrouble& c : cases) {
        TempDir dir;
        const std::string good = files.SaveProject(dir.File("a.ant"), project, 60000) == 0
                                     ? ReadFileBytes(dir.File("a.ant"))
                                     : std::string();
        ASSERT_FALSE(good.empty()) << c.what;
        WriteFileBytes(dir.File("a.bak"), "copia");
        const std::string name = c.prepare(dir.Path());
        const std::set<std::string> entries = FolderEntries(dir.Path());
        auto run = [&]() -> std::string {
            std::ostringstream wrong;
            project.Name = "prima.ant";
            project.Modified = true;
            window.Caption = "Ordivex Varne - [prima.ant]";
            globals.Settings().WriteString("FileName1", "prima.ant");
            Application->Script().Reset();
            if (files.SaveProject(name, project, 60000) != -1) wrong << "saved; ";
            file_faults::Reset();
            const auto& boxes = Application->Script().MessageBoxes;
            const std::string said =
                "Problemi in apertura. Il progetto non è stato salvato in " + name + ": " + c.reason + ".";
            if (boxes.size() != 1)
                wrong << boxes.size() << " messages; ";
            else if (boxes[0].Text != said)
                wrong << "message \"" << boxes[0].Text << "\"; ";
            if (ReadFileBytes(dir.File("a.ant")) != good) wrong << "a.ant changed; ";
            if (ReadFileBytes(dir.File("a.bak")) != "copia") wrong << "a.bak changed; ";
            if (FolderEntries(dir.Path()) != entries) wrong << "stray files; ";
            if (project.Name != "prima.ant" || !project.Modified) wrong << "project no longer unsaved; ";
            if (window.Caption != "Ordivex Varne - [prima.ant]")
                wrong << "caption " << window.Caption << "; ";
            if (Recent(1) != "prima.ant") wrong << "recent files changed; ";
            return wrong.str();
        };
        std::string wrong;
        if (c.asUser) {
            const TUserRun user = RunAsUser(dir.Path(), run);
            if (!user.ran) {
                skipped += std::string(c.what) + ": " + user.why + "; ";
                ::chmod(dir.Path().c_str(), 0700);
                continue;
            }
            wrong = user.failure;
        } else {
            wrong = run();
        }
        ::chmod(dir.Path().c_str(), 0700);
        EXPECT_EQ(wrong, "") << c.what;
    }
    if (!skipped.empty()) GTEST_SKIP() << "permission cases not run: " << skipped;
}

// A real full disk: a small tmpfs filled to its last block. Mounting needs root.
TEST_F(ProjectFileTest, AFullTmpfsKeepsTheSavedFile) {
    SmallTmpfs disk;
    if (!disk.Mounted()) GTEST_SKIP() << disk.Why();
    const TempDir& dir = disk.Dir();
    const std::string name = dir.File("a.ant");
    ASSERT_EQ(files.SaveProject(name, project, 60000), 0);
    const std::string good = ReadFileBytes(name);
    {
        std::ofstream fill(dir.File("pieno"), std::ios::binary);
        const std::string block(4096, 'x');
        while (fill.write(block.data(), block.size())) {}
    }
    project.HeaderTexts[0] = "Modificato";
    project.Modified = true;
    Application->Script().Reset();
    EXPECT_EQ(files.SaveProject(name, project, 60000), -1);
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(
        Application->Script().MessageBoxes[0].Text,
        "Problemi in apertura. Il progetto non è stato salvato in " + name + ": spazio esaurito sul disco.");
    EXPECT_EQ(ReadFileBytes(name), good);
    EXPECT_EQ(FolderEntries(dir.Path()), (std::set<std::string>{"a.ant", "pieno"}));
    EXPECT_TRUE(project.Modified);
}

TEST_F(ProjectFileTest, QuerySaveChanges) {
    const std::string existing = Path("esistente.ant");
    WriteFileBytes(existing, "x");
    struct Case {
        const char* name;
        int answer;
        const char* projectName;  // empty: untitled
        const char* dialog;       // empty: cancelled; only for untitled projects
        int overwrite;            // answer to the overwrite question, 0 when not asked
        int expected;
    };
    const std::string blocked = Path("esistente.ant/p.ant");
    const std::string good = Path("buono.ant");
    // clang-format off
    const Case cases[] = {
        {"no", IDNO, "", "", 0, IDNO},
        {"cancel", IDCANCEL, "", "", 0, IDCANCEL},
        {"dialog cancelled", IDYES, "", "", 0, IDCANCEL},
        {"overwrite refused", IDYES, "", existing.c_str(), IDCANCEL, IDCANCEL},
        {"save fails", IDYES, blocked.c_str(), "", 0, IDCANCEL},
        {"saved", IDYES, good.c_str(), "", 0, IDYES},
    };
    // clang-format on
    for (const Case& c : cases) {
        TScript& script = Application->Script();
        script.Reset();
        project.Name = *c.projectName ? c.projectName : UntitledProjectName;
        script.AnswerMessageBox(c.answer);
        if (c.answer == IDYES && !*c.projectName) {
            if (*c.dialog)
                script.AnswerFileDialog(c.dialog);
            else
                script.CancelFileDialog();
        }
        if (c.overwrite) script.AnswerMessageBox(c.overwrite);
        EXPECT_EQ(files.QuerySaveChanges(project), c.expected) << c.name;
        EXPECT_EQ(script.MessageBoxes[0].Text, "Salvare le modifiche apportate al progetto?");
        if (c.overwrite)
            EXPECT_EQ(script.MessageBoxes[1].Text,
                      "Il file " + existing + " è già esistente. Sovrascrivere?");
    }
    EXPECT_EQ(ReadFile(existing), "x");
    EXPECT_TRUE(FileExists(good));
}

TEST_F(ProjectFileTest, RecentFilesKeepTheLastFourOpened) {
    for (const char* n : {"A", "B", "C", "D", "E"}) Saved(project, std::string(n) + ".ant");
    for (int i = 1; i <= 4; ++i) globals.Settings().WriteString("FileName" + IntToStr(i), "");
    for (const char* n : {"A", "B", "C", "D", "E"})
        ASSERT_EQ(files.LoadProject(Path(std::string(n) + ".ant"), project), 0);
    EXPECT_EQ((std::vector<AnsiString>{Recent(1), Recent(2), Recent(3), Recent(4)}),
              (std::vector<AnsiString>{Path("E.ant"), Path("D.ant"), Path("C.ant"), Path("B.ant")}));
    ASSERT_EQ(files.LoadProject(Path("C.ant"), project), 0);
    EXPECT_EQ((std::vector<AnsiString>{Recent(1), Recent(2), Recent(3), Recent(4)}),
              (std::vector<AnsiString>{Path("C.ant"), Path("E.ant"), Path("D.ant"), Path("B.ant")}));
    EXPECT_EQ(menu.Items[0], "&1 " + ShortenPath(Path("C.ant")));
    EXPECT_EQ(menu.Items[3], "&4 " + ShortenPath(Path("B.ant")));
    EXPECT_TRUE(menu.Separator);
}

TEST(ShortenPathTest, KeepsShortPathsAndDropsMiddleFolders) {
    const std::string fifty = "/home/rossi/" + std::string(34, 'x') + ".ant";
    ASSERT_EQ(fifty.size(), 50u);
    EXPECT_EQ(ShortenPath(fifty), fifty);
    EXPECT_EQ(ShortenPath("/home/rossi/Progetti 2024/Condominio Via Roma 12/Scala B/impianto.ant"),
              "/home/.../Scala B/impianto.ant");
    EXPECT_EQ(ShortenPath("C:\\Progetti\\Clienti 2024\\Condominio Via Roma 12\\Scala B\\impianto.ant"),
              "C:\\Progetti\\...\\Scala B\\impianto.ant");
    const std::string noFolders = "/a/" + std::string(60, 'y') + ".ant";
    EXPECT_EQ(ShortenPath(noFolders), noFolders);
}

}  // namespace
