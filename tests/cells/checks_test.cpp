// The data checks of cells: every message, word for word, behind the
// caller's prefix.
#include "cells/checks.h"

#include <gtest/gtest.h>

#include <functional>

#include "cells/filters.h"
#include "core/info.h"
#include "core/reporter.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/stand_in.h"

namespace {

const AnsiString Prefix = "Dati componente errati a causa del seguante problema: ";

// An amplifier-like cell: rows of level tables and outputs of its own.
class TStageCell : public TCella {
public:
    // Answers the grid's questions as the class of its type code would.
    TCellDescription Describe() const override { return StandInDescription(*this); }
    TStageCell(int32_t rows, int32_t outputs) : TCella(nullptr, 0, 0, 0, 0, rows, outputs, 0), rows_(rows) {
        TypeCode = 21;
        SetPortCounts();
        Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
        for (TInfo* t : {LevelTableA.get(), LevelTableB.get(), LevelTableC.get()})
            t->SetSizes(0, TableRows, 7, BandSlots);
        MatrixTableB->SetSizes(TableRows, MatrixColumns, 7, BandSlots);
    }
    void SetPortCounts() override {
        TCella::SetPortCounts();
        TableRows = rows_;
        MatrixColumns = NumOutputs;
    }

private:
    int32_t rows_;
};

class ChecksTest : public GlobalsTest {
protected:
    void SetUp() override { globals.Reporter().SetTarget(nullptr); }
    // The one message the check showed, or "" when it showed none.
    AnsiString Shown() const {
        const auto& boxes = Application->Script().MessageBoxes;
        EXPECT_LE(boxes.size(), 1u);
        return boxes.empty() ? AnsiString() : boxes.front().Text;
    }
};

// A stage whose every band of the main function (flags) is fully described.
struct StageData {
    float v[StageColumnCount][BandSlots];
    const float* p[StageColumnCount];
    uint8_t flags[BandSlots] = {};
    StageData() {
        for (int c = 0; c < StageColumnCount; ++c) {
            std::fill_n(v[c], BandSlots, LevelNone);
            p[c] = v[c];
        }
    }
    // Band b described with regulations (tilt, max tilt, reg, max reg) and gain, noise, max out.
    void Band(int b, float tilt, float maxTilt, float reg, float maxReg) {
        v[StageTilt][b] = tilt;
        v[StageMaxTilt][b] = maxTilt;
        v[StageGainRegulation][b] = reg;
        v[StageMaxGainRegulation][b] = maxReg;
        v[StageGain][b] = 30.0f;
        v[StageNoiseFigure][b] = 6.0f;
        v[StageMaxOutput][b] = 110.0f;
        flags[b] = 1;
    }
};

TEST_F(ChecksTest, BaseCheckOfTheThroughAttenuation) {
    struct Case {
        const char* what;
        std::function<void(TCella&)> set;
        bool ok;
        AnsiString message;
    };
    // clang-format off
    const Case cases[] = {
        {"no value at all", [](TCella&) {}, false, "Il componente non gestisce alcun segnale."},
        {"one band", [](TCella& c) { c.Attenuation->Set3(0, 1, 4, 1.5f); }, true, ""},
        {"blocked bands only", [](TCella& c) { c.Attenuation->Set3(0, 1, 0, LevelBlocked); }, true, ""},
        {"repeat in the second band",
         [](TCella& c) {
             c.Attenuation->Set3(0, 1, 0, 1.0f);
             c.Attenuation->Set3(0, 1, 1, LevelRepeat);
         },
         false, Prefix + "< non ammesso."},
        {"value beyond the band count only", [](TCella& c) { c.Attenuation->Set3(0, 1, 11, 1.0f); }, false,
         "Il componente non gestisce alcun segnale."},
        {"column 0 does not count", [](TCella& c) { c.Attenuation->Set3(0, 0, 2, 1.0f); }, false,
         "Il componente non gestisce alcun segnale."},
    };
    // clang-format on
    for (const Case& c : cases) {
        Application->Script().Reset();
        globals.Reporter().SetTarget(nullptr);
        TFiltroS filter(nullptr, 0, 0, 0, 0);
        c.set(filter);
        EXPECT_EQ(filter.CheckData(Prefix), c.ok) << c.what;
        EXPECT_EQ(Shown(), c.message) << c.what;
    }
}

TEST_F(ChecksTest, BandAdmissionByMode) {
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    struct Case {
        int mode;
        int slot;
        float value;
        bool ok;
        AnsiString message;
    };
    // clang-format off
    const Case cases[] = {
        {BandsRefuseBlocked, 3, LevelBlocked, false, "P: * non ammesso."},
        {BandsRefuseBlocked, 3, LevelRepeat, true, ""},
        {BandsRefuseRepeat, 3, LevelRepeat, false, "P: < non ammesso."},
        {BandsRefuseRepeat, 3, LevelBlocked, true, ""},
        {BandsRefuseRepeat, 12, LevelRepeat, true, ""},  // beyond the 11 bands of the cell's system
        {BandsNeedOne, 12, 5.0f, false, "P: nessuna banda gestita."},
        {BandsNeedOne, 0, LevelBlocked, true, ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        Application->Script().Reset();
        globals.Reporter().SetTarget(nullptr);
        float v[BandSlots];
        std::fill_n(v, BandSlots, LevelNone);
        v[c.slot] = c.value;
        EXPECT_EQ(CheckBands(cell, v, c.mode, "P: "), c.ok) << c.mode << " " << c.slot;
        EXPECT_EQ(Shown(), c.message) << c.mode << " " << c.slot;
    }
}

TEST_F(ChecksTest, StageMessages) {
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    struct Case {
        const char* what;
        std::function<void(StageData&)> set;
        AnsiString message;
    };
    // clang-format off
    const Case cases[] = {
        {"complete", [](StageData&) {}, ""},
        {"tilt without maximum", [](StageData& s) { s.v[StageMaxTilt][2] = LevelNone; },
         "P: Banda FM descritta parzialmente."},
        {"gain without noise figure", [](StageData& s) { s.v[StageNoiseFigure][1] = LevelNone; },
         "P: Banda b. I descritta parzialmente."},
        {"regulation on an empty band",
         [](StageData& s) {
             s.v[StageGainRegulation][5] = 1.0f;
             s.v[StageMaxGainRegulation][5] = 2.0f;
         },
         "P: Banda b. V descritta parzialmente."},
        {"described outside the main function", [](StageData& s) { s.flags[2] = 0; },
         "P: Banda FM gestita parzialmente rispetto la funzione principale."},
        {"main function band left empty", [](StageData& s) { s.flags[6] = 1; },
         "P: Banda sat. 1 gestita parzialmente rispetto la funzione principale."},
        {"blocked gain", [](StageData& s) { s.v[StageGain][1] = LevelBlocked; }, "P: Guadagno  [dB]: * non ammesso."},
        {"repeated noise figure", [](StageData& s) { s.v[StageNoiseFigure][1] = LevelRepeat; },
         "P: Cifra di rumore [dB]: < non ammesso."},
        {"blocked tilt", [](StageData& s) { s.v[StageTilt][0] = LevelBlocked; }, "P: Reg. tilt  [-dB]: * non ammesso."},
        {"blocked maximum tilt", [](StageData& s) { s.v[StageMaxTilt][0] = LevelBlocked; },
         "P: Reg. max. tilt. [-dB]: * non ammesso."},
        {"blocked gain regulation", [](StageData& s) { s.v[StageGainRegulation][0] = LevelBlocked; },
         "P: Reg. guadagno  [-dB]: * non ammesso."},
        {"blocked maximum regulation", [](StageData& s) { s.v[StageMaxGainRegulation][0] = LevelBlocked; },
         "P: Reg. max. guad. [-dB]: * non ammesso."},
        {"repeated maximum output", [](StageData& s) { s.v[StageMaxOutput][3] = LevelRepeat; },
         "P: Livello max. out [dB]: < non ammesso."},
        {"blocked maximum output is admitted", [](StageData& s) { s.v[StageMaxOutput][3] = LevelBlocked; }, ""},
        {"tilt above its maximum", [](StageData& s) { s.v[StageTilt][1] = 2.0f; },
         "P: dati tilt errati o incoerenti con i livelli massimi."},
        {"regulation above its maximum", [](StageData& s) { s.v[StageGainRegulation][1] = 9.0f; },
         "P: dati regolazione errati o incoerenti con i livelli massimi."},
    };
    // clang-format on
    for (const Case& c : cases) {
        Application->Script().Reset();
        globals.Reporter().SetTarget(nullptr);
        StageData s;
        for (int b = 0; b < 4; ++b) s.Band(b, 1.0f, 1.0f, 3.0f, 4.0f);
        c.set(s);
        EXPECT_EQ(CheckStage(cell, s.p, s.flags, "P: "), c.message.empty()) << c.what;
        EXPECT_EQ(Shown(), c.message) << c.what;
    }
}

TEST_F(ChecksTest, TiltRunsOfRepeatedSlots) {
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    auto check = [&](std::vector<float> maxTilt, std::vector<float> tilt) {
        float m[BandSlots], v[BandSlots];
        std::fill_n(m, BandSlots, LevelNone);
        std::fill_n(v, BandSlots, LevelNone);
        std::copy(maxTilt.begin(), maxTilt.end(), m);
        std::copy(tilt.begin(), tilt.end(), v);
        return CheckTiltData(cell, m, v, "");
    };
    const float R = LevelRepeat, N = LevelNone;
    EXPECT_TRUE(check({2, R, R, 3}, {1, R, R, 2}));  // a run closed by a valued band
    EXPECT_FALSE(check({2, R, R}, {1, R, R}));       // the vectors end inside the run
    EXPECT_FALSE(check({2, R, N}, {1, R, N}));       // no value inside a run
    EXPECT_FALSE(check({R, 2}, {R, 1}));             // a run needs a value before it
    EXPECT_FALSE(check({2, R, 3}, {1, 1, 2}));       // the value repeats too
    EXPECT_FALSE(check({1}, {2}));                   // above the maximum
    EXPECT_FALSE(check({-1}, {-2}));                 // below 0
    EXPECT_TRUE(check({2, N, 3}, {1, N, 2}));
}

TEST_F(ChecksTest, RegulationRunsRepeatThePreviousValue) {
    TFiltroS cell(nullptr, 0, 0, 0, 0);
    auto check = [&](std::vector<float> maxReg, std::vector<float> reg) {
        float m[BandSlots], v[BandSlots];
        std::fill_n(m, BandSlots, LevelNone);
        std::fill_n(v, BandSlots, LevelNone);
        std::copy(maxReg.begin(), maxReg.end(), m);
        std::copy(reg.begin(), reg.end(), v);
        return CheckRegulationData(cell, m, v, "");
    };
    const float R = LevelRepeat, N = LevelNone;
    EXPECT_TRUE(check({5, R, R}, {2, 2, 2}));
    EXPECT_FALSE(check({5, R, R}, {2, 2, 3}));
    EXPECT_FALSE(check({R, 5}, {2, 2}));
    EXPECT_FALSE(check({5, N, R}, {2, N, N}));
    EXPECT_TRUE(check({5, N, 4}, {5, N, 4}));
    EXPECT_FALSE(check({5}, {6}));
}

TEST_F(ChecksTest, StageLabelsOfEachRowAndOutput) {
    struct Case {
        int rows;
        int outputs;
        int table;  // 0 input stage, 1 through stage, 2 output stage, 3 a matrix output stage
        int row;
        int output;
        AnsiString label;
    };
    // clang-format off
    const Case cases[] = {
        {1, 1, 0, 0, 0, "Amplificazione ingresso: "},
        {2, 1, 0, 1, 0, "Amplificazione ingresso montante 2: "},
        {1, 1, 1, 0, 0, "Amplificazione passante: "},
        {3, 1, 1, 2, 0, "Amplificazione passante montante 3: "},
        {1, 1, 2, 0, 0, "Amplificazione uscita: "},
        {2, 1, 2, 1, 0, "Amplificazione uscita da montante 2: "},
        {1, 4, 3, 0, 2, "Amplificazione uscita 3: "},
        {2, 4, 3, 1, 3, "Amplificazione uscita 4 da montante 2: "},
    };
    // clang-format on
    for (const Case& c : cases) {
        Application->Script().Reset();
        globals.Reporter().SetTarget(nullptr);
        TStageCell cell(c.rows, c.outputs);
        // One stage with a gain but no noise figure: described partially in band 0.
        if (c.table == 3) {
            cell.MatrixTableB->Set4(c.row, c.output, StageGain, 0, 20.0f);
        } else {
            TInfo* t = c.table == 0   ? cell.LevelTableA.get()
                       : c.table == 1 ? cell.LevelTableB.get()
                                      : cell.LevelTableC.get();
            t->Set3(c.row, StageGain, 0, 20.0f);
        }
        uint8_t flags[BandSlots] = {};
        EXPECT_FALSE(CheckAmplifierStages(cell, c.row, flags, "P: ")) << c.label;
        EXPECT_EQ(Shown(), "P: " + c.label + "Banda C. Rit descritta parzialmente.");
        // Other rows hold no stage and pass.
        Application->Script().Reset();
        globals.Reporter().SetTarget(nullptr);
        if (c.rows > 1) {
            EXPECT_TRUE(CheckAmplifierStages(cell, c.row == 0 ? 1 : 0, flags, "P: ")) << c.label;
        }
    }
}

TEST_F(ChecksTest, MatrixOutputStagesReplaceTheSingleOutputStage) {
    TStageCell cell(1, 2);
    cell.MatrixTableB->Set4(0, 1, StageMaxOutput, 0, 100.0f);  // some output stage data
    cell.LevelTableC->Set3(0, StageGain, 0, 20.0f);            // would fail if it were checked
    uint8_t flags[BandSlots] = {};
    EXPECT_FALSE(CheckAmplifierStages(cell, 0, flags, ""));
    EXPECT_EQ(Shown(), "Amplificazione uscita 2: Banda C. Rit descritta parzialmente.");
}

}  // namespace
