// The data check of taps and splitters: every line ("montante") handles some
// band, and a band is described with every loss the cell needs or with none.
#include <algorithm>

#include "cells/checks.h"
#include "cells/pass_links.h"
#include "cells/taps.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "core/info.h"
#include "core/reporter.h"

namespace {

bool HasValue(float v) { return v != LevelNone; }

}  // namespace

bool TDerivatore::CheckData(const AnsiString& p) { return CheckLines(p, -1, false); }

bool TDerivatore::CheckLines(const AnsiString& p, int32_t horizontalColumn,
                             bool throughColumnsOnlyWithThrough) {
    const int bands = CheckedBands(*this);
    const bool through = NumThroughOutputs > 0;
    const int32_t t = OutputsPerLine();
    const bool matrix = MatrixTableA->Rank() == 4 && MatrixTableA->HasBlocks4();
    const bool horizontal = horizontalColumn >= 0;
    for (int32_t i = 0; i < TableRows; ++i) {
        const AnsiString line = IntToStr(i + 1);
        const TBandVector loss = AttenuationVector(*this, i, TapLossColumn);
        const TBandVector pass = AttenuationVector(*this, i, TapThroughColumn);
        const TBandVector reverse = AttenuationVector(*this, i, TapReverseColumn);
        const TBandVector decoupling = AttenuationVector(*this, i, TapDecouplingColumn);
        const TBandVector across = horizontal ? AttenuationVector(*this, i, horizontalColumn) : TBandVector{};
        uint8_t full[BandSlots] = {};
        bool handled = false;
        for (int b = 0; b < bands; ++b) {
            const bool f = HasValue(loss.v[b]) &&
                           (!through || (HasValue(pass.v[b]) && HasValue(reverse.v[b]))) &&
                           (t == 1 || HasValue(decoupling.v[b])) && (!horizontal || HasValue(across.v[b]));
            const bool some = HasValue(loss.v[b]) ||
                              (through && (HasValue(pass.v[b]) || HasValue(reverse.v[b]))) ||
                              (t > 1 && HasValue(decoupling.v[b])) || (horizontal && HasValue(across.v[b]));
            if (!f && some) {
                ReportProblem(p + "Banda " + CheckedBandName(*this, b) +
                              " descritta parzialmente sul montante " + line + ".");
                return false;
            }
            full[b] = f ? 1 : 0;
            handled = handled || f;
        }
        if (matrix)
            for (int32_t j = 0; j < t; ++j) {
                const TBandVector own = MatrixVector(*MatrixTableA, i, j);
                for (int b = 0; b < bands; ++b)
                    if (full[b] ? !HasValue(own.v[b]) : HasValue(own.v[b])) {
                        ReportProblem(p + "Banda " + CheckedBandName(*this, b) +
                                      " descritta parzialmente relativamente all'uscita " + IntToStr(j + 1) +
                                      ".");
                        return false;
                    }
                if (!CheckBands(*this, own.v, BandsRefuseRepeat,
                                p + "Atten. di deriv.  [dB]" + "montante " + line + " uscita " +
                                    IntToStr(j + 1) + ": "))
                    return false;
            }
        if (!handled) {
            ReportProblem(p + "Il montante " + line + " non gestisce alcun segnale.");
            return false;
        }
        if (!CheckBands(*this, loss.v, BandsRefuseRepeat, p + "Atten. di deriv.  [dB]" + ": ")) return false;
        if ((through || !throughColumnsOnlyWithThrough) &&
            (!CheckBands(*this, pass.v, BandsRefuseRepeat, p + "Atten. di passaggio  [dB]" + ": ") ||
             !CheckBands(*this, reverse.v, BandsRefuseRepeat, p + "Atten. inversa  [dB]" + ": ")))
            return false;
        if (t > 1 && !CheckBands(*this, decoupling.v, BandsRefuseRepeat, p + "Disaccoppiamento  [dB]" + ": "))
            return false;
        if (horizontal &&
            !CheckBands(*this, across.v, BandsRefuseRepeat, p + "Atten. passaggio orizz. [dB]" + ": "))
            return false;
        if (!CheckAmplifierStages(*this, i, full, p)) return false;
    }
    return true;
}
