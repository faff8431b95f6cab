#include "cells/checks.h"

#include <algorithm>

#include "cells/cell.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "core/info.h"
#include "core/levels.h"
#include "core/reporter.h"

const char* const StageCaptions[StageColumnCount] = {
    "Reg. tilt  [-dB]", "Reg. max. tilt. [-dB]", "Reg. guadagno  [-dB]",  "Reg. max. guad. [-dB]",
    "Guadagno  [dB]",   "Cifra di rumore [dB]",  "Livello max. out [dB]",
};

namespace {

bool HasValue(float v) { return v != LevelNone; }

// One stage of a level table: the seven vectors of a row (rank 3) or of an
// entry of a matrix table (rank 4), LevelNone where nothing is stored.
struct TStage {
    float values[StageColumnCount][BandSlots];
    const float* vectors[StageColumnCount];
    TStage() {
        for (int c = 0; c < StageColumnCount; ++c) {
            std::fill_n(values[c], BandSlots, LevelNone);
            vectors[c] = values[c];
        }
    }
};

// Row i of a rank-3 level table, when it holds a block.
bool StageOfRow(const TInfo& t, int i, TStage& stage) {
    if (t.Rank() != 3 || !t.Block3(i)) return false;
    for (int c = 0; c < StageColumnCount; ++c)
        for (int b = 0; b < BandSlots; ++b) stage.values[c][b] = t.Get3(i, c, b);
    return true;
}

// Entry [i][o] of a rank-4 stage table, when it holds a block.
bool StageOfEntry(const TInfo& t, int i, int o, TStage& stage) {
    if (t.Rank() != 4 || !t.Block4(i, o)) return false;
    for (int c = 0; c < StageColumnCount; ++c)
        for (int b = 0; b < BandSlots; ++b) stage.values[c][b] = t.Get4(i, o, c, b);
    return true;
}

bool HoldsData(const TInfo& t) {
    if (t.Rank() != 4 || !t.HasBlocks4()) return false;
    for (int i = 0; i < t.Size1(); ++i)
        for (int j = 0; j < t.Size2(); ++j)
            if (t.Block4(i, j)) return true;
    return false;
}

}  // namespace

void ReportProblem(const AnsiString& text) {
    if (GestoreErrori) GestoreErrori->Report(text);
}

AnsiString CheckedBandName(const TCella& cell, int band) {
    if (!cell.BandSystem || band < 0 || band >= static_cast<int>(cell.BandSystem->bands.size()))
        return AnsiString();
    return cell.BandSystem->bands[static_cast<size_t>(band)].bandName;
}

int CheckedBands(const TCella& cell) {
    if (!cell.BandSystem) return 0;
    return std::clamp<int>(cell.BandSystem->bandCount, 0, BandSlots);
}

bool CheckBands(const TCella& cell, std::span<const float, BandSlots> v, int mode, const AnsiString& prefix) {
    const int n = CheckedBands(cell);
    for (int b = 0; b < n; ++b) {
        if ((mode & BandsRefuseRepeat) && v[b] == LevelRepeat) {
            ReportProblem(prefix + "< " + "non ammesso.");
            return false;
        }
        if ((mode & BandsRefuseBlocked) && v[b] == LevelBlocked) {
            ReportProblem(prefix + "* " + "non ammesso.");
            return false;
        }
    }
    if (mode & BandsNeedOne) {
        bool any = false;
        for (int b = 0; b < n && !any; ++b) any = HasValue(v[b]);
        if (!any) {
            ReportProblem(prefix + "nessuna banda gestita.");
            return false;
        }
    }
    return true;
}

bool TCella::CheckData(const AnsiString& prefix) {
    // The through attenuation: column 1 of row 0.
    float through[BandSlots];
    for (int b = 0; b < BandSlots; ++b) through[b] = Attenuation->Get3(0, 1, b);
    if (!CheckBands(*this, through, BandsRefuseRepeat, prefix)) return false;
    const int n = CheckedBands(*this);
    for (int b = 0; b < n; ++b)
        if (HasValue(through[b])) return true;
    ReportProblem("Il componente non gestisce alcun segnale.");
    return false;
}

bool CheckStage(const TCella& cell, const float* const s[StageColumnCount],
                std::span<const uint8_t, BandSlots> flags, const AnsiString& prefix) {
    const int n = CheckedBands(cell);
    for (int b = 0; b < n; ++b) {
        const bool tilt0 = HasValue(s[StageTilt][b]), tilt1 = HasValue(s[StageMaxTilt][b]);
        const bool reg0 = HasValue(s[StageGainRegulation][b]), reg1 = HasValue(s[StageMaxGainRegulation][b]);
        const int triple = int(HasValue(s[StageGain][b])) + int(HasValue(s[StageNoiseFigure][b])) +
                           int(HasValue(s[StageMaxOutput][b]));
        const bool tiltComplete = tilt0 && tilt1, regComplete = reg0 && reg1;
        const bool tiltIncomplete = tilt0 != tilt1, regIncomplete = reg0 != reg1;
        const bool tripleComplete = triple == 3, tripleEmpty = triple == 0;
        if (tiltIncomplete || regIncomplete || (!tripleComplete && !tripleEmpty) ||
            (tripleEmpty && (tiltComplete || regComplete))) {
            ReportProblem(prefix + "Banda " + CheckedBandName(cell, b) + " descritta parzialmente.");
            return false;
        }
        const bool inFunction = flags[b] != 0;
        if ((tripleComplete && !inFunction) || (tripleEmpty && inFunction)) {
            ReportProblem(prefix + "Banda " + CheckedBandName(cell, b) +
                          " gestita parzialmente rispetto la funzione principale.");
            return false;
        }
    }
    // clang-format off
    static const int modes[StageColumnCount] = {
        BandsRefuseBlocked, BandsRefuseBlocked, BandsRefuseBlocked, BandsRefuseBlocked,
        BandsRefuseBlocked | BandsRefuseRepeat, BandsRefuseBlocked | BandsRefuseRepeat, BandsRefuseRepeat,
    };
    // clang-format on
    const auto vector = [&](int c) { return std::span<const float, BandSlots>(s[c], BandSlots); };
    for (int c = 0; c < StageColumnCount; ++c)
        if (!CheckBands(cell, vector(c), modes[c], prefix + StageCaptions[c] + ": ")) return false;
    return CheckTiltData(cell, vector(StageMaxTilt), vector(StageTilt), prefix) &&
           CheckRegulationData(cell, vector(StageMaxGainRegulation), vector(StageGainRegulation), prefix);
}

bool CheckTiltData(const TCella& cell, std::span<const float, BandSlots> m,
                   std::span<const float, BandSlots> v, const AnsiString& prefix) {
    const int n = CheckedBands(cell);
    bool afterValue = false, inRun = false, ok = true;
    for (int b = 0; b < n && ok; ++b) {
        if (m[b] == LevelNone) {
            if (inRun) ok = false;
            afterValue = inRun = false;
        } else if (m[b] == LevelRepeat) {
            if (!afterValue && !inRun) ok = false;
            if (v[b] != LevelRepeat) ok = false;
            inRun = true;
        } else {
            if (!(m[b] >= 0.0f && v[b] >= 0.0f && v[b] <= m[b])) ok = false;
            afterValue = true;
            inRun = false;
        }
    }
    if (ok && inRun) ok = false;
    if (!ok) ReportProblem(prefix + "dati tilt errati o incoerenti con i livelli massimi.");
    return ok;
}

bool CheckRegulationData(const TCella& cell, std::span<const float, BandSlots> m,
                         std::span<const float, BandSlots> v, const AnsiString& prefix) {
    const int n = CheckedBands(cell);
    bool afterValue = false, ok = true;
    for (int b = 0; b < n && ok; ++b) {
        if (m[b] == LevelNone) {
            afterValue = false;
        } else if (m[b] == LevelRepeat) {
            if (!afterValue || b == 0 || v[b] != v[b - 1]) ok = false;
        } else {
            if (!(v[b] >= 0.0f && m[b] >= 0.0f && v[b] <= m[b])) ok = false;
            afterValue = true;
        }
    }
    if (!ok) ReportProblem(prefix + "dati regolazione errati o incoerenti con i livelli massimi.");
    return ok;
}

bool CheckAmplifierStages(const TCella& cell, int i, std::span<const uint8_t, BandSlots> flags,
                          const AnsiString& prefix) {
    const bool manyRows = cell.TableRows > 1;
    const AnsiString row = IntToStr(i + 1);
    TStage stage;
    if (StageOfRow(*cell.LevelTableA, i, stage) &&
        !CheckStage(cell, stage.vectors, flags,
                    prefix + (manyRows ? "Amplificazione ingresso montante " + row + ": "
                                       : "Amplificazione ingresso: ")))
        return false;
    if (StageOfRow(*cell.LevelTableB, i, stage) &&
        !CheckStage(cell, stage.vectors, flags,
                    prefix + (manyRows ? "Amplificazione passante montante " + row + ": "
                                       : "Amplificazione passante: ")))
        return false;
    if (HoldsData(*cell.MatrixTableB)) {
        for (int o = 0; o < cell.MatrixColumns; ++o) {
            if (!StageOfEntry(*cell.MatrixTableB, i, o, stage)) continue;
            const AnsiString out = IntToStr(o + 1);
            const AnsiString label = manyRows ? "Amplificazione uscita " + out + " da montante " + row + ": "
                                              : "Amplificazione uscita " + out + ": ";
            if (!CheckStage(cell, stage.vectors, flags, prefix + label)) return false;
        }
        return true;
    }
    if (StageOfRow(*cell.LevelTableC, i, stage) &&
        !CheckStage(cell, stage.vectors, flags,
                    prefix + (manyRows ? "Amplificazione uscita da montante " + row + ": "
                                       : "Amplificazione uscita: ")))
        return false;
    return true;
}
