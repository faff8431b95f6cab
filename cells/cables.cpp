// Cable segments: data, record, placement on the grid, the walks along a run,
// the calculation passes and the designer's passes.
#include "cells/cables.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "cells/checks.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "cells/separation_log.h"
#include "core/band_systems.h"
#include "core/channel_list.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "cells/cell_grid.h"
#include "cells/cell_project.h"

namespace {

constexpr int32_t CableTableRows = 1;
constexpr int32_t CableTableColumns = 4;
constexpr int32_t ColumnLoss = 0;
constexpr int32_t ColumnLength = 1;

// The run head is found by the run-end search at the drawing step; from
// the calculation step on, the analysis has pointed every other segment's
// input at it.
constexpr int32_t StepDrawing = 1;

// Visits after which a walk, or the run-end search, gives a branch up: a run
// that closes on itself ends.
constexpr int32_t WalkVisitLimit = 4;
constexpr int32_t SearchVisitLimit = 3;

bool IsSegment(const TCella* cell) { return cell && cell->Kind == KindCableSegment; }
bool IsCableCode(int32_t code) { return code == CodeCable || code == CodeBridge; }

int32_t StepOf(const TCellGrid* grid) {
    if (!grid) return StepDrawing;
    return grid->DetailLevel();
}

// The next square in a direction; false when the step would leave the grid.
bool NextSquare(const TCellGrid& grid, int32_t& column, int32_t& row, TDirection direction) {
    int32_t c = column, r = row;
    StepTowards(direction, c, r);
    if (!grid.Inside(c, r)) return false;
    column = c;
    row = r;
    return true;
}

// Where a walk arriving at a bend in a direction goes on: out across the
// other side the bend joins; false for an arrival across a side it does not join.
bool TurnAtBend(int32_t orientation, TDirection arriving, TDirection& leaving) {
    const std::array<TSide, 2> sides = BendSides(orientation);
    const TSide entry = EntrySide(arriving);
    if (entry != sides[0] && entry != sides[1]) return false;
    leaving = Leaving(entry == sides[0] ? sides[1] : sides[0]);
    return true;
}

// A straight piece carries a walk that runs along it: orientation 0 is
// vertical, 1 horizontal.
bool RunsAlong(const TCella& straight, TDirection direction) {
    return IsVertical(direction) == (straight.Orientation % 2 == 0);
}

// The second cable of the segment's square, or none.
TCella* SquareOverlay(const TCellGrid& grid, const TCella& segment) {
    TCella* main = grid.CellAt(segment.Column, segment.Row);
    TCella* overlay = main ? main->Overlay : nullptr;
    return overlay == &segment ? nullptr : overlay;
}

size_t WalkBound(const TCellGrid& grid) {
    return static_cast<size_t>(std::max(0, grid.Columns)) * static_cast<size_t>(std::max(0, grid.Rows)) *
               WalkVisitLimit +
           8;
}

float Product(float lossPer100, float length) {
    const double loss = 0.01 * static_cast<double>(lossPer100) * static_cast<double>(length);
    return static_cast<float>(loss);
}

}  // namespace

// ---------------------------------------------------------------- TNCavo

TNCavo::TNCavo(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
               uint8_t bend, int32_t colour)
    : TCella(owner, orientation, mirrored, column, row, 1, 1, 0), Bend(bend), Colour(colour), RunEnd(0) {
    TypeCode = CodeCable;
    Kind = KindCableSegment;
    SetPortCounts();
    Attenuation->Alloc3(CableTableRows, CableTableColumns, BandSlots);
}

TNCavo::~TNCavo() = default;

TCellDescription TNCavo::Describe() const {
    TCellDescription d;
    d.TypeName = "Cavo ";
    d.Roles = RoleCableSegment;
    TDataSheet& sheet = d.Sheet;
    sheet.Use = TSheetUse::Form;
    sheet.RowCaptions[0] = "Attenuazione  [dB/100m]";
    sheet.RowCaptions[1] = "Lunghezza  [m]";
    sheet.ShowCommercial = false;
    if (IsBridge()) {
        d.ShortLetters = "K";
        d.Counter = BridgeCounter;
        sheet.Name = "Ponte ";
        sheet.PortRows = 0;
        sheet.ShowSignals = false;
        sheet.ShowBandRows = false;
    } else {
        d.Roles |= RoleGivesWay | RoleIdleNeedsNoData;
        if (PassAttenuation() == CableLengthUncounted) {
            d.ShortLetters = "*";
        } else {
            d.ShortLetters = "C";
            d.Counter = CableCounter;
        }
        sheet.Name = "Cavo ";
        sheet.PortRows = 2;
        sheet.ShowAuxArticles = false;
    }
    return d;
}

void MakeJumper(TCella& segment, bool jumper) {
    static constexpr const char* CablesCategory = "Cavi";
    static constexpr const char* JumpersCategory = "Ponti";
    if (jumper) {
        if (segment.TypeCode == CodeCable && segment.Category == CablesCategory)
            segment.Category = JumpersCategory;
        segment.TypeCode = CodeBridge;
    } else {
        if (segment.TypeCode == CodeBridge && segment.Category == JumpersCategory)
            segment.Category = CablesCategory;
        segment.TypeCode = CodeCable;
    }
}

float TNCavo::PassAttenuation() const { return Attenuation->Get3(0, ColumnLength, 0); }

void TNCavo::SetLength(float metres) { Attenuation->Set3(0, ColumnLength, 0, metres); }

float TNCavo::LossPer100(int32_t band) const { return Attenuation->Get3(0, ColumnLoss, band); }

float TNCavo::SegmentLoss(int32_t band) const {
    const float a = LossPer100(band);
    const float length = PassAttenuation();
    if (a == LevelBlocked) return LevelBlocked;
    if (length == CableLengthUncounted) return 0.0f;
    if (!IsRealLevel(a) || !IsRealLevel(length)) return LevelNone;
    const float loss = Product(a, length);
    return loss < 0.0f ? LevelNone : loss;
}

float TNCavo::DesignLoss(int32_t band) const {
    const float length = PassAttenuation();
    if (length == CableLengthUncounted) return 0.0f;
    const float a = LossPer100(band);
    if (!IsRealLevel(a) || !IsRealLevel(length)) return LevelNone;
    return Product(a, length);
}

// ---- Record ----

void TNCavo::Load(TStream& stream, int32_t version) {
    TCella::Load(stream, version);
    Bend = ReadU8(stream);
    Colour = ReadI32(stream);
}

void TNCavo::Save(TStream& stream, int32_t version) {
    TCella::Save(stream, version);
    WriteU8(stream, Bend);
    WriteI32(stream, Colour);
}

void TNCavo::SetBandSystem(TSistemaBande* system) {
    if (BandSystem && system && BandSystem != system) {
        float loss[BandSlots];
        for (int32_t b = 0; b < BandSlots; ++b) loss[b] = LossPer100(b);
        BandSystem->LevelsByBand(*system, loss);
        for (int32_t b = 0; b < BandSlots; ++b) Attenuation->Set3(0, ColumnLoss, b, loss[b]);
    }
    BandSystem = system;
}

// ---- Placement ----

std::array<TSide, 2> BendSides(int32_t orientation) {
    // clang-format off
    static constexpr std::array<TSide, 2> sides[4] = {
        {TSide::Left, TSide::Bottom}, {TSide::Left, TSide::Top},
        {TSide::Top, TSide::Right},   {TSide::Right, TSide::Bottom}};
    // clang-format on
    return sides[((orientation % 4) + 4) % 4];
}

void TNCavo::AllocLinks() {
    TCella::AllocLinks();
    RunEnd = 0;
}

TCellLayout TNCavo::Layout() const {
    TCellLayout layout;
    if (Bend)
        layout.Ports = {{TPortKind::Input, 0, 0, 0, TSide::Bottom},
                        {TPortKind::Through, 0, 0, 0, TSide::Left}};
    else
        layout.Ports = {{TPortKind::Input, 0, 0, 0, TSide::Top},
                        {TPortKind::Through, 0, 0, 0, TSide::Bottom}};
    return layout;
}

bool TNCavo::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    if (!Owner) return true;
    TSquareAnalysis* square = Owner->AnalysisAt(Column, Row);
    if (square && square->Visited) return true;
    // A vertical line through a crossing runs on the second cable.
    if (record.Side % 2 == 0 && Overlay) return Overlay->PlaceOnGrid(record, queue);

    if (!IsCableCode(record.TypeCode)) RunEnd = 1;
    // The side of the piece's own frame the line arrives on.
    const TSide entry = SideOf(record.Side - Orientation);
    const uint8_t needsTermination = record.NeedsTermination;
    if (!Bend) {
        if (entry == TSide::Top || entry == TSide::Bottom) {
            MarkGridCell(Column, Row, entry, 0, 0);
            LinkPortAt(Column, Row, 0, Opposite(entry), needsTermination, 0, queue);
        }
        if (square) {
            // Spare[0] and Spare[1]: the square was passed vertically and horizontally.
            square->Spare[record.Side % 2 == 0 ? 0 : 1] = 1;
            TCella* main = Owner->CellAt(Column, Row);
            const bool crossing = main && main->Overlay;
            if (!crossing || (square->Spare[0] && square->Spare[1])) square->Visited = 1;
        }
    } else {
        if (entry == TSide::Bottom) {
            MarkGridCell(Column, Row, TSide::Bottom, 0, 0);
            LinkPortAt(Column, Row, 0, TSide::Left, needsTermination, 0, queue);
        } else if (entry == TSide::Left) {
            MarkGridCell(Column, Row, TSide::Left, 0, 0);
            LinkPortAt(Column, Row, 0, TSide::Bottom, needsTermination, 0, queue);
        }
        if (square) square->Visited = 1;
    }
    return true;
}

bool TNCavo::IsRunHead() const { return RunEnd != 0; }
void TNCavo::SetRunHead(bool head) { RunEnd = head ? 1 : 0; }
bool TNCavo::KeepsOffRunHead() const { return false; }

bool TNCavo::Mirror() {
    if (Bend) {
        static constexpr int32_t mirrored[4] = {3, 2, 1, 0};
        Orientation = mirrored[((Orientation % 4) + 4) % 4];
    }
    return true;
}

bool TNCavo::Rotate(int32_t n) {
    Orientation = ((Orientation + n) % 4 + 4) % 4;
    if (!Bend) Orientation %= 2;
    return true;
}

bool TNCavo::CanOverlapCell() const { return Bend == 0; }

// ---- Walks along a run ----

std::array<TDirection, 2> TNCavo::StartDirections() const {
    const int32_t o = ((Orientation % 4) + 4) % 4;
    if (!Bend) {
        if (o % 2 == 1) return {TDirection::Right, TDirection::Left};
        return {TDirection::Down, TDirection::Up};
    }
    // A walk starts at the bend as if it arrived across each of its sides.
    const std::array<TSide, 2> sides = BendSides(o);
    return {Entering(sides[0]), Entering(sides[1])};
}

void TNCavo::WalkRun(TWalkMode mode, float length, int32_t colour, std::optional<TDirection> only) {
    if (!Owner) return;
    TCellGrid& grid = *Owner;
    grid.ClearWalkMarks();
    std::array<TDirection, 2> directions = StartDirections();
    int count = 2;
    if (only) {
        directions[0] = *only;
        count = 1;
    }
    const size_t bound = WalkBound(grid);
    for (int k = 0; k < count; ++k) {
        std::vector<TNCavo*> visited;
        TCella* cell = this;
        TDirection dir = directions[k];
        for (size_t steps = 0; cell && steps < bound; ++steps) {
            if (!IsSegment(cell)) {
                cell = cell->Overlay;
                continue;
            }
            auto* seg = static_cast<TNCavo*>(cell);
            if (++seg->WalkMark >= WalkVisitLimit) break;
            if (!seg->Bend && !RunsAlong(*seg, dir)) {
                cell = SquareOverlay(grid, *seg);
                continue;
            }
            switch (mode) {
            case TWalkMode::Colour: seg->Colour = colour; break;
            case TWalkMode::Length:
                if (seg->Described) seg->SetLength(length);
                break;
            case TWalkMode::Repaint: break;
            }
            visited.push_back(seg);
            if (seg->Bend) {
                TDirection leaving = dir;
                if (!TurnAtBend(seg->Orientation, dir, leaving)) break;
                dir = leaving;
            }
            int32_t c = seg->Column, r = seg->Row;
            if (!NextSquare(grid, c, r, dir)) break;
            cell = grid.CellAt(c, r);
        }
        // Each segment is repainted once the walk has gone past it.
        for (auto it = visited.rbegin(); it != visited.rend(); ++it) (*it)->InvalidateArea();
    }
}

void TNCavo::MarkCableRun(int32_t colour) { WalkRun(TWalkMode::Colour, 0.0f, colour, std::nullopt); }

void TNCavo::Notify(float length, TDirection direction) { WalkRun(TWalkMode::Length, length, 0, direction); }

void TNCavo::Invalidate() { WalkRun(TWalkMode::Repaint, 0.0f, 0, std::nullopt); }

TNCavo* TNCavo::FindRunEnd() {
    if (!Owner) return nullptr;
    TCellGrid& grid = *Owner;
    grid.ClearWalkMarks();
    const size_t bound = WalkBound(grid);
    for (TDirection start : StartDirections()) {
        TCella* cell = this;
        TDirection dir = start;
        for (size_t steps = 0; cell && steps < bound; ++steps) {
            if (!IsSegment(cell)) {
                cell = cell->Overlay;
                continue;
            }
            auto* seg = static_cast<TNCavo*>(cell);
            if (IsVertical(dir) && seg->Overlay) {
                cell = seg->Overlay;
                continue;
            }
            if (++seg->WalkMark >= SearchVisitLimit) break;
            if (seg->Bend) {
                if (seg->RunEnd) return seg;
                TDirection leaving = dir;
                if (!TurnAtBend(seg->Orientation, dir, leaving)) break;
                dir = leaving;
            } else if (RunsAlong(*seg, dir)) {
                if (seg->RunEnd) return seg;
            } else {
                cell = seg->Overlay;
                continue;
            }
            int32_t c = seg->Column, r = seg->Row;
            if (!NextSquare(grid, c, r, dir)) break;
            cell = grid.CellAt(c, r);
        }
    }
    return nullptr;
}

TNCavo* TNCavo::GetRunHead() {
    if (!Owner || RunEnd) return this;
    if (StepOf(Owner) == StepDrawing) return FindRunEnd();
    TCella* up = InputNeighbour(*this, 0);
    return IsSegment(up) ? static_cast<TNCavo*>(up) : nullptr;
}

// ---- Data ----

TCella* TNCavo::GetPrototype() const { return FindPrototype({IsBridge() ? CodeBridge : CodeCable, 0, 0, 0}); }

bool TNCavo::CheckData(const AnsiString& prefix) {
    if (IsBridge()) return true;
    const float length = PassAttenuation();
    if (length == CableLengthUncounted) return true;
    if (IsRealLevel(length) && length >= 0.0f) {
        float loss[BandSlots];
        for (int32_t b = 0; b < BandSlots; ++b) loss[b] = LossPer100(b);
        return CheckBands(*this, loss, BandsRefuseBlocked | BandsRefuseRepeat | BandsNeedOne, prefix);
    }
    if (GestoreErrori) GestoreErrori->Report(prefix + "La lunghezza del cavo non è stata specificata.");
    return false;
}

void TNCavo::TakeLastUsed() {
    TNCavo* head = GetRunHead();
    TCella* prototype = GetPrototype();
    if (!head || !prototype) return;
    prototype->Assign(head);
    head->Invalidate();
}

void TNCavo::StoreAsLastUsed() {
    TNCavo* head = GetRunHead();
    TCella* prototype = GetPrototype();
    if (!head || !prototype) return;
    head->Assign(prototype);
}

void TNCavo::CopyDataToSameKind(uint8_t flag) {
    if (TNCavo* head = GetRunHead()) head->TCella::CopyDataToSameKind(flag);
}

std::unique_ptr<TCella> TNCavo::Clone() {
    std::unique_ptr<TCella> copy = TCella::Clone();
    if (auto* segment = dynamic_cast<TNCavo*>(copy.get())) {
        segment->Bend = Bend;
        segment->Colour = Colour;
    }
    return copy;
}

bool TNCavo::NeedsNoDescription() const { return RunEnd == 0 || IsBridge(); }

bool TNCavo::AllowsAutoChoice() const { return RunEnd == 0 || Described != 0; }

AnsiString TNCavo::ReportHeading() const { return IsBridge() ? "Ponte " : "Cavo "; }

// ---- Level passes ----

void TNCavo::ComputeRequiredLevels(TBandLimits minLevels, TBandLimits maxLevels, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetInputLevels();
    TCella* next = OutputNeighbour(*this, 0);
    if (!next) return;
    next->ComputeRequiredLevels(minLevels, maxLevels, stamp);
    const int32_t port = OutputNeighbourPort(*this, 0);
    const int32_t bands = CalculationBandCount();
    for (int32_t b = 0; b < bands; ++b)
        if (const TFinestra* d = WindowAt(next->InputLevels, port, b))
            CombineForward(InputLevels[0][static_cast<size_t>(b)], *d, SegmentLoss(b), false);
}

void TNCavo::ComputeSignalLevels(uint32_t stamp) {
    SignalFromInput0(*this, stamp, 0, 1, [this](int32_t, int32_t b) { return SegmentLoss(b); });
}

// ---- Channel pass ----

void TNCavo::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    const TListaCanali* arriving = ChannelsArrivingOn(0, flags, stamp);
    TListaCanali* out = OutputList(*this, 0);
    if (!arriving || !out) return;
    const float length = PassAttenuation();
    if (IsBridge() || length == CableLengthUncounted) {
        TListaCanali::AddAll(*arriving, *out);
        return;
    }
    // Every channel loses the run's loss of its band scaled by the square
    // root of its centre frequency over the band's reference frequency.
    const AnsiString code = GetShortCode();
    TInseritoreCanali inserter(*out);
    for (const TCanale* ch = arriving->head; ch; ch = ch->next) {
        const bool inBand = ch->band >= 0 && ch->band < BandSlots;
        const float a = inBand ? LossPer100(ch->band) : LevelNone;
        if (IsRealLevel(a) && IsRealLevel(length) && length >= 0.0f) {
            double factor = 1.0;
            const TSistemaBande* system = SistemaBandeCorrente;
            if (system && ch->band < static_cast<int32_t>(system->bands.size())) {
                const double reference = system->bands[static_cast<size_t>(ch->band)].reference;
                const double centre = ch->CentreFrequency();
                if (reference > 0.0 && centre > 0.0) factor = std::sqrt(centre / reference);
            }
            const float loss =
                static_cast<float>(factor * static_cast<double>(a) * static_cast<double>(length) * 0.01);
            TCanale passed;
            passed.AssignThroughStage(*ch, loss, 0.0f, 0.0f, 0.0f);
            inserter.Insert(passed);
        } else if (length == CableLengthNone) {
            if (GestoreErrori)
                GestoreErrori->Report(code + ": non è stata specificata la lunghezza del cavo.");
        } else if (a != LevelBlocked) {
            if (GestoreErrori) GestoreErrori->Report(code + ": canale " + ch->name + " non gestito.");
        }
    }
}

// ---- Outlet separation ----

void TNCavo::AcceptSeparation(int32_t port, int32_t band, float value, float limit) {
    if (band < 0 || band >= BandSlots || !IsRealLevel(value)) return;
    const float stored = SeparationBest[band];
    if (IsRealLevel(stored) && value >= stored) return;
    if (value >= limit) return;
    separation_log::NoteWrite(this);
    SeparationBest[band] = value;
    PushSeparation(port, band, limit);
}

float TNCavo::SeparationLoss(int32_t band) const {
    return IsRealLevel(LossPer100(band)) ? DesignLoss(band) : LevelNone;
}

void TNCavo::PushSeparation(int32_t port, int32_t band, float limit) {
    if (band < 0 || band >= BandSlots) return;
    const float value = LevelSum(SeparationBest[band], SeparationLoss(band));
    if (!IsRealLevel(value)) return;
    if (port >= PortInputBase) {
        if (TCella* next = OutputNeighbour(*this, 0))
            next->AcceptSeparation(OutputNeighbourPort(*this, 0) + PortInputBase, band, value, limit);
    } else if (TCella* up = InputNeighbour(*this, 0)) {
        up->AcceptSeparation(InputNeighbourPort(*this, 0), band, value, limit);
    }
}

// ---- Designer's passes ----

void TNCavo::ReachFromNeighbour() {
    TCella* next = OutputNeighbour(*this, 0);
    if (!next) return;
    const int32_t port = OutputNeighbourPort(*this, 0);
    for (int32_t b = 0; b < BandSlots; ++b) {
        const TFinestra* r = WindowAt(next->ReachLevels, port, b);
        if (!r) continue;
        const float loss = DesignLoss(b);
        ReachLevels[0][static_cast<size_t>(b)] = TFinestra{LevelSum(r->Min, loss), LevelSum(r->Max, loss)};
    }
}

bool TNCavo::ChooseModel(TCella* candidates, int32_t mode, uint32_t stamp, TProgressBar* progress,
                         int32_t band, int32_t further) {
    if (!ReachLevels.Allocated()) ResetAuxLevels();
    if (!EnterPass(stamp)) return true;
    if (RunEnd) {
        if (TCella* next = OutputNeighbour(*this, 0)) {
            // The target handed on is a whole level, as the operation carries it.
            const float loss = DesignLoss(band);
            const int32_t target =
                IsRealLevel(loss) ? static_cast<int32_t>(std::lround(static_cast<double>(further) - loss))
                                  : further;
            if (!next->ChooseModel(candidates, mode, stamp, progress, band, target)) return false;
        }
        ReachFromNeighbour();
    }
    AdvanceProgress(progress);
    return true;
}

void TNCavo::EvaluateModel(TCella* candidates, int32_t mode, float value, uint32_t stamp, int32_t band) {
    if (!EnterPass(stamp)) return;
    if (!RunEnd) return;
    if (!ReachLevels.Allocated()) ResetAuxLevels();
    if (TCella* next = OutputNeighbour(*this, 0)) {
        const float loss = DesignLoss(band);
        next->EvaluateModel(candidates, mode, IsRealLevel(loss) ? LevelSum(value, -loss) : loss, stamp, band);
    }
    ReachFromNeighbour();
}
