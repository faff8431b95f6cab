// The integrated head-end: its box and ports, names, record, copies, the
// data form and its symbol.
#include "cells/integrated_head_end.h"

#include <algorithm>

#include "cells/drawing.h"
#include "cells/mouse_info.h"
#include "cells/prototypes.h"
#include "core/file.h"
#include "cells/component_data.h"
#include "cells/cell_grid.h"

namespace {

// Chunked-string field sizes (characters kept + 1).
constexpr int TextField = IntegratedTextChars + 1;
constexpr int LabelField = IntegratedLabelChars + 1;
// "Dati elettrici" of the unit.
constexpr int32_t IntegratedElectrical = ElectricAll & ~(ElectricThrough | ElectricRefuses);

AnsiString PortName(const char* what, const AnsiString& label, int32_t index) {
    return AnsiString(what) + " " + (label.empty() ? IntToStr(index + 1) : label);
}

}  // namespace

TCentraleIntegrata::TCentraleIntegrata(TCellGrid* owner, int32_t orientation, int32_t mirrored,
                                       int32_t column, int32_t row, int32_t inputs, int32_t outputs)
    : TCella(owner, orientation, mirrored, column, row, inputs, outputs, 0) {
    TypeCode = CodeCentraleIntegrata;
    Kind = CodeCentraleIntegrata;
    InputEnabled.fill(1);
    OutputEnabled.fill(1);
    for (auto& row : InputValues) row.fill(static_cast<int32_t>(LevelNone));
    SetPortCounts();
}

TCentraleIntegrata::~TCentraleIntegrata() = default;

int32_t TCentraleIntegrata::UsedInputs() const { return std::clamp<int32_t>(Inputs, 0, IntegratedMaxInputs); }

int32_t TCentraleIntegrata::UsedOutputs() const {
    return std::clamp<int32_t>(ThroughOutputs, 0, IntegratedMaxOutputs);
}

void TCentraleIntegrata::EnsureModuleLists() {
    for (int32_t i = 0; i < UsedInputs(); ++i)
        for (int32_t j = 0; j < UsedOutputs(); ++j)
            if (!modules_[i][j]) modules_[i][j] = std::make_unique<TModuliFiltro>();
}

TModuliFiltro* TCentraleIntegrata::Modules(int32_t input, int32_t output) const {
    if (input < 0 || input >= IntegratedMaxInputs || output < 0 || output >= IntegratedMaxOutputs)
        return nullptr;
    return modules_[input][output].get();
}

void TCentraleIntegrata::SetPortCounts() {
    NumInputs = std::max<int32_t>(0, Inputs);
    NumThroughOutputs = std::max<int32_t>(0, ThroughOutputs);
    NumTapOutputs = std::max<int32_t>(0, TapOutputs);
    NumOutputs = NumThroughOutputs + NumTapOutputs;
    TableRows = 0;
    TableColumns = 0;
    MatrixColumns = 0;
    EnsureModuleLists();
}

// ---- Box, placement and names ----

TCellLayout TCentraleIntegrata::Layout() const {
    TCellLayout layout;
    const int32_t n = UsedInputs(), m = UsedOutputs();
    layout.Width = std::max({n, m, 3});
    layout.Height = 3;
    for (int32_t i = 0; i < n; ++i)
        layout.Ports.push_back({TPortKind::Input, i, (layout.Width - n) / 2 + i, 0, TSide::Top});
    for (int32_t k = 0; k < m; ++k)
        layout.Ports.push_back({TPortKind::Through, k, (layout.Width - m) / 2 + k, 2, TSide::Bottom});
    return layout;
}

// A disabled port may stay open: the analysis asks no line of it.
bool TCentraleIntegrata::PlaceOnGrid(const TNextCell&, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    for (const TCellPort& port : layout.Ports) {
        int32_t c = 0, r = 0;
        FrameToGrid(c, r, port.X, port.Y);
        if (port.Kind == TPortKind::Input)
            MarkGridCell(c, r, port.Side, port.Index, InputEnabled[static_cast<size_t>(port.Index)] ? 0 : 1);
        else
            LinkPortAt(c, r, port.Index, port.Side, 0, OutputEnabled[static_cast<size_t>(port.Index)] ? 0 : 1,
                       queue);
    }
    return true;
}

void TCentraleIntegrata::GetPortName(TInfoMousePos& position) {
    const TCellLayout layout = Layout();
    const TCellPort* port = PortUnder(layout, position);
    int32_t column = 0, row = 0;
    LocalToGrid(column, row, position.Column, position.Row);
    // With one output the whole bottom row is its port.
    if (!port && UsedOutputs() == 1 && row - Row == layout.Height - 1 && column >= Column &&
        column < Column + layout.Width)
        port = &layout.Ports.back();
    if (!port) {
        SetPortUnder(position, nullptr, AnsiString());
        return;
    }
    if (port->Kind == TPortKind::Input)
        SetPortUnder(position, port,
                     PortName("ingresso", InputLabels[static_cast<size_t>(port->Index)], port->Index));
    else if (UsedOutputs() == 1)
        SetPortUnder(position, port, "uscita");
    else
        SetPortUnder(position, port,
                     PortName("uscita", OutputLabels[static_cast<size_t>(port->Index)], port->Index));
}

TCellDescription TCentraleIntegrata::Describe() const {
    TCellDescription d = NamedWithForm("Centrale integrata", "Ci", IntegratedHeadEndCounter);
    d.Sheet.ShowBandRows = false;
    d.Sheet.ShowSignals = false;
    d.Sheet.ShowStructure = true;
    d.Sheet.ElectricalWord = IntegratedElectrical;
    return d;
}

TCella* TCentraleIntegrata::GetPrototype() const {
    return FindPrototype({TypeCode, NumInputs, NumThroughOutputs, 0});
}

bool TCentraleIntegrata::CheckData(const AnsiString&) { return true; }

bool TCentraleIntegrata::Mirror() { return false; }

bool TCentraleIntegrata::Rotate(int32_t) { return false; }

void TCentraleIntegrata::AdjustLossTables() {}

// ---- Passes: the unit takes part in the walks but produces nothing ----

void TCentraleIntegrata::SpreadStamp(uint32_t stamp) {
    if (stamp > SpreadPassStamp) SpreadPassStamp = stamp;
}

void TCentraleIntegrata::ComputeChannels(int32_t, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
}

// ---- Copies and records ----

void TCentraleIntegrata::Assign(TCella* target) {
    TCella::Assign(target);
    auto* unit = dynamic_cast<TCentraleIntegrata*>(target);
    if (!unit || unit == this) return;
    unit->UnitText = UnitText;
    unit->InputLabels = InputLabels;
    unit->InputEnabled = InputEnabled;
    unit->OutputLabels = OutputLabels;
    unit->OutputEnabled = OutputEnabled;
    unit->EnsureModuleLists();
    for (int32_t i = 0; i < UsedInputs(); ++i)
        for (int32_t j = 0; j < UsedOutputs(); ++j)
            if (modules_[i][j] && unit->modules_[i][j])
                TModuliFiltro::Assign(*modules_[i][j], *unit->modules_[i][j]);
    unit->InputValues = InputValues;
}

void TCentraleIntegrata::Save(TStream& s, int32_t version) {
    TCella::Save(s, version);
    EnsureModuleLists();
    chunked::WriteString(s, UnitText, TextField);
    for (int32_t i = 0; i < UsedInputs(); ++i) {
        chunked::WriteString(s, InputLabels[i], LabelField);
        WriteU8(s, InputEnabled[i]);
    }
    for (int32_t k = 0; k < IntegratedMaxOutputs; ++k) {
        chunked::WriteString(s, OutputLabels[k], LabelField);
        WriteU8(s, OutputEnabled[k]);
    }
    for (int32_t i = 0; i < UsedInputs(); ++i)
        for (int32_t j = 0; j < UsedOutputs(); ++j) modules_[i][j]->Write(s, version);
    WriteI32(s, IntegratedMaxInputs);
    for (const auto& row : InputValues)
        for (int32_t v : row) WriteI32(s, v);
}

void TCentraleIntegrata::Load(TStream& s, int32_t version) {
    // The unit's arrays hold 10 inputs and 5 outputs: more cannot be read.
    if (Inputs > IntegratedMaxInputs || ThroughOutputs > IntegratedMaxOutputs)
        throw EReadError("Numero di ingressi o uscite della centrale integrata non valido");
    TCella::Load(s, version);
    SetPortCounts();
    UnitText = chunked::ReadString(s, TextField);
    for (int32_t i = 0; i < UsedInputs(); ++i) {
        InputLabels[i] = chunked::ReadString(s, LabelField);
        InputEnabled[i] = ReadU8(s);
    }
    for (int32_t k = 0; k < IntegratedMaxOutputs; ++k) {
        OutputLabels[k] = chunked::ReadString(s, LabelField);
        OutputEnabled[k] = ReadU8(s);
    }
    for (int32_t i = 0; i < UsedInputs(); ++i)
        for (int32_t j = 0; j < UsedOutputs(); ++j) modules_[i][j]->Read(s, version);
    const int32_t rows = ReadI32(s);
    if (rows < 0 || rows > IntegratedMaxInputs)
        throw EReadError("Valori della centrale integrata danneggiati");
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t& v : InputValues[r]) v = ReadI32(s);
}

// ---- The data form ----

bool TCentraleIntegrata::EditData(TDatiComponenti* dialog) {
    std::unique_ptr<TCella> clone(Clone());
    if (!clone || !dialog) return false;
    dialog->EditedCell = clone.get();
    dialog->ComboVoce->Text = AnsiString();
    clone->FillDataDialogDefault(dialog);
    const bool accepted = dialog->ShowModal() == mrOk;
    if (accepted) {
        clone->Assign(this);
        Described = 1;
        InvalidateArea();
    }
    dialog->EditedCell = nullptr;
    return accepted;
}

// ---- Symbol: a box with a stub at every port and a module sign per output ----

void TCentraleIntegrata::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                                    int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    const int32_t w = SymbolState.W, h = SymbolState.H;
    SymRectangle(2, 4, w - 2, h - 4);
    SymRectangle(4, 6, w - 4, h - 6);
    for (const TCellPort& port : Layout().Ports) {
        const int32_t px = SymbolSquareUnits * port.X + 10;
        if (port.Kind == TPortKind::Input) {
            SymMoveTo(px, 0);
            SymLineTo(px, 4);
        } else {
            SymMoveTo(px, h);
            SymLineTo(px, h - 4);
        }
    }
    // The module sign, whose strokes centre 8 units right of and below its offset.
    constexpr int32_t SignCentre = 8;
    DrawModuleSymbol(w / 2 - SignCentre, h / 2 - SignCentre, 1);
}
