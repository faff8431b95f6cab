#include "cells/cell.h"

#include <algorithm>
#include <utility>

#include "cells/factory.h"
#include "cells/separation_log.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "cells/cell_grid.h"

// ---- Level-window tables ----

void TTabellaFinestre::Allocate(int ports) {
    rows_.assign(static_cast<size_t>(ports), TFinestreBande{});
    allocated_ = true;
}

void TTabellaFinestre::Free() {
    rows_.clear();
    rows_.shrink_to_fit();
    allocated_ = false;
}

// ---- Construction ----

TCella::TCella(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row)
    : TCella(owner, orientation, mirrored, column, row, 1, 1, 0) {}

TCella::TCella(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
               int32_t inputs, int32_t throughOutputs, int32_t tapOutputs)
    : Owner(owner),
      BandSystem(SistemaBande3),
      Orientation(orientation),
      Inputs(inputs),
      ThroughOutputs(throughOutputs),
      TapOutputs(tapOutputs),
      Mirrored(mirrored),
      Column(column),
      Row(row),
      SourceChannels(std::make_unique<TListaCanali>()),
      Attenuation(std::make_unique<TInfo>(3)),
      LevelTableA(std::make_unique<TInfo>(3)),
      LevelTableB(std::make_unique<TInfo>(3)),
      LevelTableC(std::make_unique<TInfo>(3)),
      MatrixTableA(std::make_unique<TInfo>(4)),
      MatrixTableB(std::make_unique<TInfo>(4)) {
    std::fill(std::begin(SeparationBest), std::end(SeparationBest), LevelNone);
    std::fill(std::begin(SeparationAux), std::end(SeparationAux), LevelNone);
    std::fill(std::begin(SeparationOutlet), std::end(SeparationOutlet), LevelNone);
    // A consistent port table from the start; class constructors apply their own.
    TCella::SetPortCounts();
}

TCella::~TCella() { separation_log::CellsChanged(); }

// ---- Drawing: the base painting operations are in cells/drawing.cpp ----

void TCella::DrawSymbol(TCanvas*, int32_t, int32_t, int32_t, int32_t, int32_t) {}

TCellDescription TCella::Describe() const { return TCellDescription{}; }

AnsiString TCella::GetShortCode() const {
    const TCellDescription d = Describe();
    if (!d.ShortLetters) return AnsiString();
    return d.Counter ? ShortCodeWith(d.ShortLetters) : AnsiString(d.ShortLetters);
}

void TCella::InvalidateArea() {
    if (!Owner || !Owner->Window) return;
    const TCellRect r = GetGridRect();
    for (int32_t c = r.Left; c <= r.Right; ++c)
        for (int32_t w = r.Top; w <= r.Bottom; ++w) Owner->RepaintSquare(c, w);
}

void TCella::Invalidate() { InvalidateArea(); }

TCellRect TCella::GetGridRect() const { return RectOf(Layout()); }

TCellLayout TCella::Layout() const {
    TCellLayout layout;
    layout.Width = std::max<int32_t>(1, NumThroughOutputs);
    if (NumThroughOutputs < 1) return layout;
    layout.Ports.push_back({TPortKind::Input, 0, (NumThroughOutputs - 1) / 2, 0, TSide::Top});
    for (int32_t k = 0; k < NumThroughOutputs; ++k)
        layout.Ports.push_back({TPortKind::Through, k, k, 0, TSide::Bottom});
    return layout;
}

// ---- Records: TCella::Load, TCella::Save and TCella::LoadLevelTables are in record.cpp ----

bool TCella::RegisterInLibrary(TLibreria*) {
    Described = 1;
    return true;
}

void TCella::SetBandSystem(TSistemaBande* system) {
    if (BandSystem && system && BandSystem != system && Attenuation->Rank() == 3 &&
        Attenuation->HasBlocks3()) {
        for (int32_t r = 0; r < Attenuation->Size2(); ++r) {
            TInfo::Block block = Attenuation->Block3(r);
            if (!block) continue;
            for (int32_t c = 0; c < Attenuation->Size3(); ++c)
                if (block[c]) BandSystem->LevelsByBand(*system, block[c]);
        }
    }
    BandSystem = system;
}

// ---- Ports and links ----

void TCella::AllocLinks() {
    const size_t in = static_cast<size_t>(std::max<int32_t>(0, NumInputs));
    const size_t out = static_cast<size_t>(std::max<int32_t>(0, NumOutputs));
    InputPort.assign(in, -1);
    InputCell.assign(in, nullptr);
    OutputPort.assign(out, -1);
    OutputCell.assign(out, nullptr);
}

void TCella::SetPortCounts() {
    NumInputs = Inputs;
    NumTapOutputs = TapOutputs;
    NumThroughOutputs = ThroughOutputs;
    NumOutputs = ThroughOutputs + TapOutputs;
    TableRows = 1;
    TableColumns = 4;
    MatrixColumns = 0;
}

bool TCella::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    // A cell without through outputs stands on no square of its own here.
    if (NumThroughOutputs < 1) return true;
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{record.NeedsTermination, record.NeedsTermination, 0}, queue);
    return true;
}

void TCella::TakeSequenceNumber(TContatoriCategoria& counters) {
    if (const std::optional<int> counter = Describe().Counter) TakeFromCounter(counters, *counter);
}

// ---- Component-data dialog: the protocol is in dialog_protocol.cpp ----

TCella* TCella::GetPrototype() const { return nullptr; }

// TCella::CheckData is in checks.cpp.

// ---- Copying data ----

void TCella::Assign(TCella* target) {
    if (!target || target == this) return;
    target->Described = Described;
    target->ExtraValue = ExtraValue;
    target->Current2 = Current2;
    target->Current1 = Current1;
    for (int g = 0; g < 3; ++g)
        for (int w = 0; w < 4; ++w) target->Power[g][w] = Power[g][w];
    target->Positions[0] = Positions[0];
    target->Characteristics[0] = Characteristics[0];
    target->BandSystem = BandSystem;
    target->Attenuation->Assign(*Attenuation);
    target->LevelTableA->Assign(*LevelTableA);
    target->LevelTableB->Assign(*LevelTableB);
    target->LevelTableC->Assign(*LevelTableC);
    target->MatrixTableA->Assign(*MatrixTableA);
    target->MatrixTableB->Assign(*MatrixTableB);
    target->Currency = Currency;
    target->Description = Description;
    target->Notes = Notes;
    target->Brand = Brand;
    target->Code = Code;
    target->Series = Series;
    target->Article = Article;
    target->Category = Category;
    target->Price = Price;
    target->InstallMinutes = InstallMinutes;
    target->InternalNotes = InternalNotes;
    target->ExternalNotes = ExternalNotes;
    target->Choice1 = Choice1;
    target->Choice2 = Choice2;
    target->Choice3 = Choice3;
    for (int i = 0; i < 2; ++i) {
        target->AuxLibrary[i] = AuxLibrary[i];
        target->AuxCode[i] = AuxCode[i];
        target->AuxQuantity[i] = AuxQuantity[i];
    }
    if (target->Owner) target->Owner->SetModified(ModAll);
}

void TCella::TakeLastUsed() {
    TCella* prototype = GetPrototype();
    if (!prototype) return;
    prototype->Assign(this);
    InvalidateArea();
    if (Owner) Owner->SetModified(ModAll);
}

void TCella::StoreAsLastUsed() {
    if (TCella* prototype = GetPrototype()) Assign(prototype);
}

void TCella::CopyDataToSameKind(uint8_t flag) {
    if (Owner) Owner->CopyDataToSameKind(flag != 0, this);
}

std::unique_ptr<TCella> TCella::Clone() {
    std::unique_ptr<TCella> copy = NewCella(nullptr, TypeCode, 0, 0, Inputs, ThroughOutputs, TapOutputs);
    if (!copy) return nullptr;
    copy->Variant = Variant;
    copy->SetPortCounts();
    copy->Orientation = Orientation;
    copy->Mirrored = Mirrored;
    copy->Column = Column;
    copy->Row = Row;
    Assign(copy.get());
    copy->Owner = Owner;
    return copy;
}

bool TCella::IsEstimateItem() const { return true; }
bool TCella::NeedsNoDescription() const { return false; }
bool TCella::AllowsAutoChoice() const { return true; }
bool TCella::IsAutoMixModule() const { return false; }

// ---- Reports: in reports.cpp ----

// ---- Turn and mirror ----

bool TCella::Mirror() {
    TCellRect r = GetGridRect();
    if (Column == r.Left)
        Column = Column - r.Right + r.Left;
    else
        Column = Column + r.Right - r.Left;
    if (Orientation == 1 || Orientation == 3) {
        r = GetGridRect();
        Orientation = (Orientation + 2) % 4;
        Row = (Row == r.Top) ? r.Bottom : r.Top;
        Column = (Column == r.Left) ? r.Right : r.Left;
    }
    return true;
}

bool TCella::Rotate(int32_t n) {
    Orientation = ((Orientation + n) % 4 + 4) % 4;
    return true;
}

bool TCella::FindModelForAttenuation(TCella*, int32_t, bool, bool) { return false; }

AnsiString TCella::GetTypeName() const { return Describe().TypeName; }

bool TCella::IsSameKind(const TCella* other) const {
    return other && other->TypeCode == TypeCode && other->Inputs == Inputs &&
           other->ThroughOutputs == ThroughOutputs && other->TapOutputs == TapOutputs;
}

void TCella::ComputeBandMask() {
    BandMask = 0;
    if (Attenuation->Rank() != 3 || Attenuation->Size3() < 1) return;
    const int32_t rows = std::min(TableRows, Attenuation->Size2());
    const int32_t slots = std::min<int32_t>(BandSlots, Attenuation->Size4());
    for (int32_t b = 0; b < slots; ++b)
        for (int32_t r = 0; r < rows; ++r)
            if (Attenuation->Get3(r, 0, b) != LevelNone) BandMask |= (1u << b);
}

bool TCella::IsModelUsable(bool, bool) const { return true; }
bool TCella::CanOverlapCell() const { return false; }
void TCella::AdjustLossTables() {}

float TCella::GetRow1Attenuation(int32_t, int32_t, int32_t band) const {
    if (Attenuation->Rank() != 3 || Attenuation->Size2() < 1 || Attenuation->Size3() < 2 || band < 0 ||
        band >= Attenuation->Size4())
        return LevelNone;
    return Attenuation->Get3(0, 1, band);
}

float TCella::TapLoss(int32_t, int32_t, int32_t band) const {
    if (Attenuation->Rank() != 3 || Attenuation->Size2() < 1 || Attenuation->Size3() < 1 || band < 0 ||
        band >= Attenuation->Size4())
        return LevelNone;
    return Attenuation->Get3(0, 0, band);
}

bool TCella::IsSignalStart() const { return false; }
bool TCella::TakesPartInAnalysis() const { return true; }

// Columns of Attenuation are the outputs' band vectors and rows the inputs'
// blocks; exchanging the pointers keeps missing rows missing.
void TCella::SwapOutputColumns(int32_t i, int32_t j) {
    if (Attenuation->Rank() != 3 || !Attenuation->HasBlocks3()) return;
    if (i < 0 || j < 0 || i >= Attenuation->Size3() || j >= Attenuation->Size3()) return;
    for (int32_t r = 0; r < Attenuation->Size2(); ++r)
        if (TInfo::Block block = Attenuation->Block3(r)) std::swap(block[i], block[j]);
}

void TCella::SwapInputRows(int32_t i, int32_t j) {
    if (Attenuation->Rank() != 3) return;
    Attenuation->SwapBlocks3(i, j);
}

// ---- Plain operations ----

void TCella::ResetInputLevels() { InputLevels.Reset(NumInputs); }
void TCella::ResetOutputLevels() { OutputLevels.Reset(NumOutputs); }
void TCella::ResetAuxLevels() { ReachLevels.Reset(NumInputs); }

bool TCella::BandMaskMatches(uint32_t mask, uint32_t value) const { return (BandMask & mask) == value; }

bool TCella::HasBands(uint32_t mask) const { return (BandMask & mask) == mask; }

void TCella::NormaliseBandLevels(std::span<const float, BandSlots> source,
                                 std::span<float, BandSlots> target) {
    float running = LevelNone;
    for (int b = 0; b < BandSlots; ++b) {
        const float v = source[b];
        if (v == LevelNone) {
            target[b] = v;
        } else if (v == LevelBlocked) {
            target[b] = v;
            running = LevelNone;
        } else if (v == running) {
            target[b] = LevelRepeat;
        } else {
            target[b] = v;
            running = v;
        }
    }
}

AnsiString TCella::ShortCodeWith(const char* letters) const {
    return AnsiString(letters) + IntToStr(SequenceNumber);
}

void TCella::SetPowerGroup(int group, uint32_t ports) {
    constexpr uint32_t portBits[3] = {PowerInputs, PowerThrough, PowerTaps};
    constexpr uint32_t allPorts = PowerInputs | PowerThrough | PowerTaps;
    uint32_t(&words)[4] = Power[group];
    words[PowerFlags] = (words[PowerFlags] & ~allPorts) | (ports & allPorts);
    for (int p = 0; p < 3; ++p) words[PowerInputMask + p] = (ports & portBits[p]) ? AllBits : 0;
}

void TCella::SetPowerGroups(const TPowerGroups& groups) {
    SetPowerGroup(PowerSupply, groups.Supply);
    SetPowerGroup(PowerFeeds, groups.Feeds);
    SetPowerGroup(PowerRefuses, groups.Refuses);
}

void TCella::TakeFromCounter(TContatoriCategoria& counters, int index) {
    if (index < 0 || index >= CategoryCounterCount) return;
    SequenceNumber = counters[static_cast<size_t>(index)];
    ++counters[static_cast<size_t>(index)];
}
