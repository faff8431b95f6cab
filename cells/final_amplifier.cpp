// The head end's final amplifier: construction, older records, placement,
// the two-step channel pass of the common line, the automatic gain
// regulation, its data check and form, its symbol and the designer's
// library searches.
#include <algorithm>

#include "cells/amplifiers.h"
#include "cells/auto_mix.h"
#include "cells/checks.h"
#include "cells/drawing.h"
#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "cells/report_writing.h"
#include "core/channel_list.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/options.h"
#include "cells/component_data.h"
#include "cells/cell_grid.h"
#include "cells/cell_project.h"

namespace {

constexpr int32_t VersionWithPortCounts = V20000;
constexpr int32_t LastVersionHalfOrientation = V30000;
constexpr int32_t VersionWithRegulationGroups = V40000;
constexpr int32_t VersionWithCurrentAnchor = V50100;

// The form shows the columns in the amplifier's line order.
constexpr int32_t FinalOrder[10] = {5, 6, 0, 4, 1, 2, 3, -1, -1, -1};
constexpr const char* FinalCaptions[AmpColumns] = {
    "Reg. guadagno  [-dB]",  "Guadagno  [dB]",   "Cifra di rumore [dB]",  "Livello max. out [dB]",
    "Reg. max. guad. [-dB]", "Reg. tilt  [-dB]", "Reg. max. tilt. [-dB]",
};
constexpr int32_t FinalElectrical = ElectricReceives | ElectricSupplies;
constexpr int32_t FinalMainFunction = 1;
constexpr int32_t FinalPositions = PositionHeadEnd | PositionSubstation;

constexpr float NoBestMaximum = 1000.0f;

const TListaCanali* ListAt(TCella* cell, int32_t port) { return cell ? OutputList(*cell, port) : nullptr; }

// Runs the channel pass of the cell upstream of input and gives its list there.
const TListaCanali* RunInput(TCella& cell, int32_t input, int32_t flags, uint32_t stamp) {
    TCella* up = InputNeighbour(cell, input);
    if (!up) return nullptr;
    const int32_t port = InputNeighbourPort(cell, input);
    up->ComputeChannels(flags, port, stamp);
    return OutputList(*up, port);
}

}  // namespace

TAmplificatoreAt::TAmplificatoreAt(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                                   int32_t row, int32_t inputArrangement, int32_t outputArrangement)
    : TCellaAutoMix(owner, orientation, mirrored, column, row, inputArrangement, outputArrangement) {
    TypeCode = CodeAmplificatoreAt;
    Kind = CodeAmplificatoreAt;
    Category = "Amplificatori finali";
}

TAmplificatoreAt::~TAmplificatoreAt() = default;

int32_t TAmplificatoreAt::UsedRows() const { return std::min<int32_t>(TableRows, 3); }

TCellDescription TAmplificatoreAt::Describe() const {
    TCellDescription d = NamedWithForm("Amplificatore ", "Af", FinalAmplifierCounter);
    d.Roles = RoleJoinsByJumpers;
    TDataSheet& sheet = d.Sheet;
    for (int32_t j = 0; j < AmpColumns; ++j)
        sheet.RowCaptions[static_cast<size_t>(j)] = FinalCaptions[FinalOrder[j]];
    sheet.PortRows = AmpColumns;
    sheet.ModuleCount = OutputArrangement() == AutoMixOutputBypass ? 3
                        : InputArrangement() == AutoMixTwoInputs   ? 2
                                                                   : 1;
    sheet.Stages = FinalMainFunction;
    sheet.ElectricalWord = FinalElectrical;
    sheet.PositionsWord = FinalPositions;
    if (sheet.ModuleCount > 1) sheet.ModuleCaption = "Amplif. selezionato";
    return d;
}

bool TAmplificatoreAt::IsAutoMixModule() const { return false; }

void TAmplificatoreAt::SetBandSystem(TSistemaBande* system) { TCella::SetBandSystem(system); }

// The arrangement pairs the program keeps prototypes for; another pair has none.
TCella* TAmplificatoreAt::GetPrototype() const {
    return FindPrototype({TypeCode, InputArrangement(), OutputArrangement(), 0});
}

bool TAmplificatoreAt::Rotate(int32_t n) {
    if (n != 2) return false;
    Orientation = (Orientation + 2) % 4;
    return true;
}

// Only two inputs give the table two lines to exchange.
bool TAmplificatoreAt::Mirror() {
    TCella::Mirror();
    if (Orientation % 2 == 0 && InputArrangement() == AutoMixTwoInputs) ReverseRows(*Attenuation, 2);
    return true;
}

void TAmplificatoreAt::AdjustLossTables() {
    for (int32_t r = 0; r < TableRows; ++r)
        for (int32_t b = 0; b < BandSlots; ++b)
            if (Attenuation->Get3(r, WideRegulation, b) > 0.0f) Attenuation->Set3(r, WideRegulation, b, 0.0f);
}

// ---- Records: the plain cell record ----

void TAmplificatoreAt::Save(TStream& stream, int32_t version) { TCella::Save(stream, version); }

void TAmplificatoreAt::Load(TStream& stream, int32_t version) {
    const bool old = version < VersionWithPortCounts;
    if (!old) RefuseDamagedArrangements();
    TCella::Load(stream, version);
    if (old) {
        // A two-input amplifier with its output at the centre; row 0 kept.
        float first[AmpColumns][BandSlots];
        for (int32_t k = 0; k < AmpColumns; ++k)
            for (int32_t b = 0; b < BandSlots; ++b) first[k][b] = Attenuation->Get3(0, k, b);
        Inputs = AutoMixTwoInputs;
        ThroughOutputs = AutoMixOutputCentre;
        SetPortCounts();
        Attenuation->Init(0, TableRows, TableColumns, BandSlots);
        Attenuation->Allocate();
        for (int32_t k = 0; k < AmpColumns; ++k)
            for (int32_t b = 0; b < BandSlots; ++b) Attenuation->Set3(0, k, b, first[k][b]);
        LoadLevelRows(*this, stream, version);
    }
    // A damaged turn is left as read, for the record check to refuse.
    const bool turnRead = Orientation >= 0 && Orientation <= 3;
    if (version <= LastVersionHalfOrientation && turnRead) Orientation = (Orientation * 2) % 4;
    if (version < VersionWithRegulationGroups)
        for (int32_t r = 0; r < TableRows; ++r)
            for (int32_t k : {WideRegulation, WideMaxRegulation}) {
                float from[BandSlots], to[BandSlots];
                for (int32_t b = 0; b < BandSlots; ++b) from[b] = Attenuation->Get3(r, k, b);
                NormaliseBandLevels(from, to);
                for (int32_t b = 0; b < BandSlots; ++b) Attenuation->Set3(r, k, b, to[b]);
            }
    // A corner far beyond any grid is left as read, for the same check.
    constexpr int32_t FarBeyondAnyGrid = 1 << 24;
    const bool placed = Column >= 0 && Column < FarBeyondAnyGrid && Row >= 0 && Row < FarBeyondAnyGrid;
    if (version < VersionWithCurrentAnchor && Orientation != 0 && placed) {
        // Older files anchored a turned amplifier at its other corner.
        Column += AutoMixWidth - 1;
        Row += AutoMixHeight - 1;
    }
}

// ---- Placement ----

bool TAmplificatoreAt::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    PlaceBox(record, queue, Variant != AutoMixFramedVariant);
    return true;
}

// ---- Channels ----

void TAmplificatoreAt::WalkDownstream(TListaCanali* list, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    if (TCella* next = OutputNeighbour(*this, AutoMixOwnOutput))
        next->WalkDownstream(list, OutputNeighbourPort(*this, AutoMixOwnOutput), stamp);
}

void TAmplificatoreAt::ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    const bool fresh = PassStamp < stamp - 1;
    if (fresh || ChannelLists.size() != static_cast<size_t>(NumOutputs)) ResetChannelLists();
    if (port > 0) flags &= ~ChannelFlagFirstStep;
    TListaCanali* common = OutputList(*this, AutoMixCommonOutput);
    TListaCanali* own = OutputList(*this, AutoMixOwnOutput);
    if (!common || !own) return;
    const bool line = InputArrangement() == AutoMixCommonLine;
    const bool joined = InputNeighbour(*this, 1) != nullptr;
    if ((flags & ChannelFlagFirstStep) && line && !joined) {
        // The first step: the common line is handed on as it arrives.
        if (fresh) {
            if (const TListaCanali* arriving = RunInput(*this, 0, flags, stamp))
                TListaCanali::AddAll(*arriving, *common);
            PassStamp = stamp - 1;
        }
        return;
    }
    PassStamp = stamp;
    const AnsiString prefix = GetShortCode();
    const TListaCanali* second = nullptr;
    if (line && !joined) {
        // A chained amplifier across a cable feeds this one's common line.
        TCella* cable = OutputNeighbour(*this, AutoMixCommonOutput);
        TCella* chained = cable && cable->Kind == KindCableSegment ? OutputNeighbour(*cable, 0) : nullptr;
        if (chained && chained->TypeCode == CodeAmplificatoreAt && chained->Inputs == AutoMixCommonLine) {
            chained->ComputeChannels(flags, 0, stamp);
            if (const TListaCanali* theirs = ListAt(chained, AutoMixCommonOutput)) {
                TListaCanali::CheckOutputConflicts(*common, *theirs, true, prefix, 0);
                if (TListaCanali* cableList = OutputList(*cable, 0))
                    TListaCanali::CheckOutputConflicts(*cableList, *theirs, true, prefix, 0);
            }
        } else if (const TListaCanali* arriving = RunInput(*this, 0, flags, stamp)) {
            TListaCanali::CheckOutputConflicts(*common, *arriving, true, prefix, 0);
        }
    } else if (line) {
        const TListaCanali* first = RunInput(*this, 0, flags, stamp);
        const TListaCanali* other = RunInput(*this, 1, flags, stamp);
        if (first) TListaCanali::AddAll(*first, *common);
        if (other) TListaCanali::CheckOutputConflicts(*common, *other, false, prefix, 0);
    } else {
        if (const TListaCanali* first = RunInput(*this, 0, flags, stamp))
            TListaCanali::AddAll(*first, *common);
        if (InputArrangement() == AutoMixTwoInputs) second = RunInput(*this, 1, flags, stamp);
    }
    if (OutputArrangement() == AutoMixOutputOuter)
        if (const TListaCanali* below = RunInput(*this, AutoMixBelowInput, flags, stamp))
            TListaCanali::AddAll(*below, *own);

    auto amplify = [this, own, &prefix](const TListaCanali& input, int32_t row, int32_t pair) {
        const TBandVector tilt = AttenuationVector(*this, row, WideTilt);
        const TBandVector regulation = AttenuationVector(*this, row, WideRegulation);
        const TBandVector gain = AttenuationVector(*this, row, WideGain);
        const TBandVector noise = AttenuationVector(*this, row, WideNoiseFigure);
        const TBandVector maximum = AttenuationVector(*this, row, WideMaxOutput);
        TListaCanali::PassAmplifier(*own, input, tilt.v, regulation.v, gain.v, noise.v, maximum.v, false,
                                    prefix, pair, pair);
    };
    amplify(*common, 0, 1);
    if (second) amplify(*second, 1, 2);
    if (InputNeighbour(*this, AutoMixBypassInput) && TableRows > 2)
        if (const TListaCanali* bypass = RunInput(*this, AutoMixBypassInput, flags, stamp))
            amplify(*bypass, 2, 3);
}

void TAmplificatoreAt::GetPortLevelText(TRichEdit* report) {
    TListaCanali empty;
    TListaCanali* own = OutputList(*this, AutoMixOwnOutput);
    AddChannelRowsDefault(report, GetShortCode(), own ? *own : empty);
}

// ---- Automatic regulation ----

void TAmplificatoreAt::SpreadStamp(uint32_t stamp) {
    if (stamp <= SpreadPassStamp) return;
    SpreadPassStamp = stamp;
    if (TCella* up = InputNeighbour(*this, 0)) up->SpreadStamp(stamp);
    if (InputArrangement() == AutoMixCommonLine && OutputArrangement() == AutoMixOutputBypass)
        if (TCella* bypass = InputNeighbour(*this, AutoMixBypassInput)) bypass->SpreadStamp(stamp);
    if (TCellProject* project = Owner ? Owner->CellProject() : nullptr) project->RunChannelPass(0);
    TListaCanali reaching;
    WalkDownstream(&reaching, 0, NextPassNumber());
    const bool twoRows =
        InputArrangement() == AutoMixTwoInputs ||
        (InputArrangement() == AutoMixCommonLine && OutputArrangement() == AutoMixOutputBypass);
    const int32_t rows = std::min<int32_t>(twoRows ? 2 : 1, TableRows);
    for (int32_t i = 0; i < rows; ++i) {
        TCella* up = InputNeighbour(*this, i);
        const TListaCanali* arriving = up ? OutputList(*up, InputNeighbourPort(*this, i)) : nullptr;
        if (!arriving) continue;
        double lowest[BandSlots], highest[BandSlots];
        MatchChannelLevels(reaching, *arriving, lowest, highest);
        TRegolazioneBanda bands[BandSlots];
        for (int32_t band = 0; band < BandSlots; ++band) {
            bands[band].Need = highest[band] - OptionLimit(band, LimitSigMax);
            bands[band].Room = lowest[band] - OptionLimit(band, LimitSigMin);
        }
        RegulateRow(*this, i, WideRegulation, WideMaxRegulation, bands);
    }
    if (TCella* next = OutputNeighbour(*this, AutoMixOwnOutput)) next->SpreadStamp(stamp);
}

// ---- Data check and form ----

bool TAmplificatoreAt::CheckData(const AnsiString& prefix) {
    const int bands = CheckedBands(*this);
    auto given = [this](int32_t r, int32_t k, int b) { return Attenuation->Get3(r, k, b) != LevelNone; };
    for (int32_t r = 0; r < UsedRows(); ++r) {
        bool complete = false, consistent = true;
        for (int b = 0; b < bands; ++b) {
            complete = complete || (given(r, WideRegulation, b) && given(r, WideNoiseFigure, b) &&
                                    given(r, WideMaxOutput, b));
            const bool regulation = given(r, WideRegulation, b);
            for (int32_t k : {WideNoiseFigure, WideMaxRegulation, WideMaxOutput})
                consistent = consistent && given(r, k, b) == regulation;
        }
        if (!complete || !consistent) {
            ReportProblem(prefix + "I dati del componente sono incompleti.");
            return false;
        }
    }
    struct TColumnCheck {
        int32_t column;
        int mode;
    };
    // clang-format off
    static constexpr TColumnCheck order[] = {
        {WideTilt, BandsRefuseBlocked},          {WideMaxTilt, BandsRefuseBlocked},
        {WideRegulation, BandsRefuseBlocked},    {WideMaxRegulation, BandsRefuseBlocked},
        {WideGain, BandsRefuseBlocked | BandsRefuseRepeat}, {WideNoiseFigure, BandsRefuseBlocked | BandsRefuseRepeat},
        {WideMaxOutput, BandsRefuseRepeat},
    };
    // clang-format on
    for (int32_t r = 0; r < UsedRows(); ++r)
        for (const TColumnCheck& c : order)
            if (!CheckBands(*this, AttenuationVector(*this, r, c.column).v, c.mode,
                            prefix + FinalCaptions[c.column] + ": "))
                return false;
    return true;
}

void TAmplificatoreAt::FillDataDialogDefault(TDatiComponenti* dialog) { FillDataDialog(dialog, FinalOrder); }

void TAmplificatoreAt::ReadDataDialogDefault(TDatiComponenti* dialog) { ReadDataDialog(dialog, FinalOrder); }

// ---- Designer ----

TCella* TAmplificatoreAt::FindByOutputLevel(TCella* candidates, int32_t band, float level,
                                            const AnsiString& brand, const AnsiString& series) {
    return FindForChannel(candidates, band, level, brand, series, 0, 0);
}

TCella* TAmplificatoreAt::FindForChannel(TCella* candidates, int32_t band, float level,
                                         const AnsiString& brand, const AnsiString& series, uint32_t mask,
                                         uint32_t value) {
    TCella* best = nullptr;
    float bestMaximum = NoBestMaximum;
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (!IsSameKind(c) || (!brand.empty() && c->Brand != brand) ||
            (!series.empty() && c->Series != series))
            continue;
        if (!c->BandMaskMatches(mask, value)) continue;
        float maximum = LevelNone;
        for (int32_t r = 0; r < c->TableRows; ++r)
            maximum = std::max(maximum, c->Attenuation->Get3(r, WideMaxOutput, band));
        if (level <= maximum && maximum < bestMaximum) {
            best = c;
            bestMaximum = maximum;
        }
    }
    return best;
}

bool TAmplificatoreAt::SelectFromLibrary(TCella* candidates, int32_t band, float level,
                                         const AnsiString& brand, const AnsiString& series, uint32_t mask,
                                         uint32_t value) {
    TCella* found = FindForChannel(candidates, band, level, brand, series, mask, value);
    if (!found) return false;
    found->Assign(this);
    Described = 1;
    return true;
}

// ---- Symbol: the module box with a triangle pointing down ----

void TAmplificatoreAt::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                  int32_t zoom) {
    TCellaAutoMix::DrawSymbol(canvas, column, row, x, y, zoom);
    const int32_t cx = SymbolState.W / 2, cy = SymbolState.H / 2;
    SymPolyline({{cx - 12, cy - 10}, {cx + 12, cy - 10}, {cx, cy + 10}, {cx - 12, cy - 10}});
}
