// Mixers and demixers: construction, port model, layout and placement, port
// names, numbering, old records, the data check, the mirror and the
// designer's choice of a mixer.
#include "cells/mixers.h"

#include <algorithm>

#include "cells/checks.h"
#include "cells/mouse_info.h"
#include "cells/prototypes.h"
#include "core/file.h"
#include "cells/cell_grid.h"

namespace {
// Records of this version and later carry the port counts in their head only.
constexpr int32_t VersionWithPortCounts = V20000;
// CheckBands mode of a branch: "<" refused, some band handled.
constexpr int BranchCheckMode = BandsRefuseRepeat | BandsNeedOne;
}  // namespace

TCellaRami::TCellaRami(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                       int32_t inputs, int32_t throughOutputs, int32_t typeCode, const char* category)
    : TCella(owner, orientation, mirrored, column, row, inputs, throughOutputs, 0) {
    TypeCode = typeCode;
    Kind = typeCode;
    SetPortCounts();
    Attenuation->Alloc3(TableRows, TableColumns, BandSlots);
    Category = category;
}

TCellaRami::~TCellaRami() = default;

TMiscelatore::TMiscelatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                           int32_t row, int32_t inputs)
    : TCellaRami(owner, orientation, mirrored, column, row, inputs, 1, CodeMiscelatore, "Miscelatori") {}

TMiscelatore::~TMiscelatore() = default;

TDemiscelatore::TDemiscelatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                               int32_t row, int32_t outputs)
    : TCellaRami(owner, orientation, mirrored, column, row, 1, outputs, CodeDemiscelatore, "Demiscelatori") {}

TDemiscelatore::~TDemiscelatore() = default;

// ---- Port model ----

void TCellaRami::SetPortCounts() {
    TCella::SetPortCounts();
    // The table has one column per branch: never more branches than that.
    NumInputs = std::clamp<int32_t>(Inputs, 0, MixerBranchesMax);
    NumThroughOutputs = std::clamp<int32_t>(ThroughOutputs, 0, MixerBranchesMax);
    NumTapOutputs = 0;
    NumOutputs = NumThroughOutputs;
    TableRows = 1;
    TableColumns = MixerBranchesMax;
}

int32_t TCellaRami::Branches() const { return BranchesIn() ? NumInputs : NumThroughOutputs; }

float TCellaRami::BranchLoss(int32_t branch, int32_t band) const {
    return Attenuation->Get3(0, branch, band);
}

float TCellaRami::LevelPassLoss(int32_t branch, int32_t band) const {
    const float loss = BranchLoss(branch, band);
    return loss == LevelNone ? LevelBlocked : loss;
}

// ---- Layout ----

TCellLayout TCellaRami::Layout() const {
    TCellLayout layout;
    const int32_t n = Branches();
    const TPortKind branch = BranchesIn() ? TPortKind::Input : TPortKind::Through;
    const TPortKind common = BranchesIn() ? TPortKind::Through : TPortKind::Input;
    if (n == 2) {
        // The port on the top or bottom edge first: under the mouse it takes
        // the whole quarter of its edge.
        layout.Ports.push_back({common, 0, 0, 0, BranchesIn() ? TSide::Bottom : TSide::Top});
        layout.Ports.push_back({branch, 0, 0, 0, TSide::Left});
        layout.Ports.push_back({branch, 1, 0, 0, TSide::Right});
        return layout;
    }
    layout.Width = std::max<int32_t>(1, n);
    layout.Height = 3;
    const int32_t branchRow = BranchesIn() ? 0 : 2;
    const int32_t commonRow = 2 - branchRow;
    const TSide branchEdge = BranchesIn() ? TSide::Top : TSide::Bottom;
    const TSide commonEdge = BranchesIn() ? TSide::Bottom : TSide::Top;
    if (!BranchesIn()) layout.Ports.push_back({common, 0, n / 2, commonRow, commonEdge});
    for (int32_t k = 0; k < n; ++k) layout.Ports.push_back({branch, k, k, branchRow, branchEdge});
    if (BranchesIn()) layout.Ports.push_back({common, 0, n / 2, commonRow, commonEdge});
    return layout;
}

bool TCellaRami::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    // The lines leaving a demixer must end in a termination, as a splitter's.
    const uint8_t needsTermination = BranchesIn() ? record.NeedsTermination : uint8_t{1};
    PlacePorts(layout, TLineEnds{needsTermination, needsTermination, 0}, queue);
    return true;
}

void TCellaRami::GetPortName(TInfoMousePos& position) {
    const TCellLayout layout = Layout();
    const TCellPort* port = PortUnder(layout, position);
    AnsiString name;
    if (port) {
        const bool branch = (port->Kind == TPortKind::Input) == BranchesIn();
        const char* word = port->Kind == TPortKind::Input ? "ingresso" : "uscita";
        name = branch ? AnsiString(word) + " " + IntToStr(port->Index + 1) : AnsiString(word);
    }
    SetPortUnder(position, port, name);
}

// ---- Texts, numbering, prototypes ----

TCella* TCellaRami::GetPrototype() const {
    const int32_t n = BranchesIn() ? Inputs : ThroughOutputs;
    if (n < 2 || n > MixerBranchesMax) return nullptr;
    return FindPrototype({TypeCode, n});
}

TCellDescription TMiscelatore::Describe() const { return DescribeBranches("Miscelatore "); }

TCellDescription TDemiscelatore::Describe() const { return DescribeBranches("Demiscelatore "); }

// ---- Records ----

void TCellaRami::Load(TStream& stream, int32_t version) {
    // A branch count the table cannot hold is damage, whatever follows.
    auto refuseDamagedCount = [this] {
        const int32_t n = BranchesIn() ? Inputs : ThroughOutputs;
        if (n < 1 || n > MixerBranchesMax)
            throw EReadError(BranchesIn() ? "Numero di ingressi del miscelatore non valido"
                                          : "Numero di uscite del demiscelatore non valido");
    };
    const bool old = version < VersionWithPortCounts;
    if (!old) refuseDamagedCount();
    TCella::Load(stream, version);
    if (!old) return;
    const int32_t through = ReadI32(stream);
    const int32_t inputs = ReadI32(stream);
    if (BranchesIn())
        Inputs = inputs;
    else
        ThroughOutputs = through;
    refuseDamagedCount();
    SetPortCounts();
}

// ---- Data check ----

bool TCellaRami::CheckData(const AnsiString& prefix) {
    for (int32_t k = 0; k < Branches(); ++k) {
        float loss[BandSlots];
        for (int32_t b = 0; b < BandSlots; ++b) loss[b] = BranchLoss(k, b);
        if (!CheckBands(*this, loss, BranchCheckMode,
                        prefix + "Atten. di passaggio  [dB]" + IntToStr(k + 1) + ": "))
            return false;
    }
    return true;
}

// ---- Turn and mirror ----

bool TCellaRami::Mirror() {
    TCella::Mirror();
    if (Orientation % 2 == 0)
        for (int32_t i = 0, j = Branches() - 1; i < j; ++i, --j) SwapOutputColumns(i, j);
    return true;
}

// ---- Designer ----

bool TMiscelatore::SelectFromLibrary(TCella* candidates, std::span<const uint8_t, BandSlots> inputBands0,
                                     std::span<const uint8_t, BandSlots> inputBands1) {
    bool taken = false;
    for (TCella* c = candidates; c; c = c->NextInList) {
        if (!IsSameKind(c)) continue;
        bool fits = true;
        for (int32_t b = 0; b < BandSlots && fits; ++b) {
            if (inputBands0[b] && c->Attenuation->Get3(0, 0, b) < 0.0f) fits = false;
            if (inputBands1[b] && c->Attenuation->Get3(0, 1, b) < 0.0f) fits = false;
        }
        if (!fits) continue;
        c->Assign(this);
        Described = 1;
        taken = true;
    }
    return taken;
}
