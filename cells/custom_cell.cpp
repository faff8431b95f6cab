// The custom component: its data, footprint and placement, its record with
// the two grid sections, the anchor mapping and the checks of its structure,
// the component-data form, its texts and its symbol. Its passes are in
// custom_cell_passes.cpp.
#include "cells/custom_cell.h"

#include <algorithm>
#include <memory>

#include "cells/anchors.h"
#include "cells/mouse_info.h"
#include "cells/prototypes.h"
#include "cells/report_writing.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "cells/component_data.h"
#include "platform/application.h"

namespace {

constexpr int32_t GridSectionTag = 205;
// Custom components may hold custom components; a record nested deeper than
// this is not one the editor can make, and is refused before it can exhaust
// the stack.
constexpr int MaxNesting = 8;
int nesting = 0;

constexpr const char* MessageUnknownInput =
    "Un punto di ingresso della struttura è collegato ad un ingresso inesistente.";
constexpr const char* MessageSameInput =
    "Due punti di ingresso della struttura sono collegati allo stesso ingresso.";
constexpr const char* MessageUnknownOutput =
    "Un punto di uscita della struttura è collegato ad una uscita inesistente.";
constexpr const char* MessageSameOutput =
    "Due punti di uscita della struttura sono collegati alla stessa uscita.";
constexpr const char* MessageInputUnhandled =
    "Un ingresso non è gestito da alcun punto di ingresso della struttura.";
constexpr const char* MessageOutputUnhandled =
    "Un'uscita non è gestita da alcun punto di uscita della struttura.";
constexpr const char* MessageCircuit = "Ci sono errori nel disegno del circuito della struttura.";
constexpr const char* MessageUndescribed =
    "Alcuni componenti nel disegno del circuito della struttura devono essere descritti.";
constexpr const char* MessageNoRoom =
    "Il nuovo disegno del componente non trova posto nello schema: il componente resta com'era.";

// Every cell of a grid (overlays included) once, at its anchor square, in
// reading order column by column.
template <typename F>
void ForEachCell(const TCellGrid& grid, F f) {
    for (int32_t c = 0; c < grid.Columns; ++c)
        for (int32_t r = 0; r < grid.Rows; ++r) {
            int guard = 0;
            for (TCella* cell = grid.CellAt(c, r); cell && guard < 4; cell = cell->Overlay, ++guard)
                if (cell->Column == c && cell->Row == r) f(*cell);
        }
}

std::vector<TPuntoPorta> ReadPoints(TStream& s, int32_t count) {
    std::vector<TPuntoPorta> points(static_cast<size_t>(std::max<int32_t>(0, count)));
    for (TPuntoPorta& p : points) {
        p.Column = ReadI32(s);
        p.Row = ReadI32(s);
        p.Side = ReadU8(s);
    }
    return points;
}

void WritePoints(TStream& s, const std::vector<TPuntoPorta>& points) {
    for (const TPuntoPorta& p : points) {
        WriteI32(s, p.Column);
        WriteI32(s, p.Row);
        WriteU8(s, p.Side);
    }
}

// Reads the head of a grid section: its size, refused beyond the largest
// the editor makes.
void ReadSectionHead(TStream& s, int32_t largest, int32_t& columns, int32_t& rows) {
    if (ReadI32(s) != GridSectionTag) throw EStreamError("a custom component's grid section has no tag");
    ReadI32(s);  // the kind: each grid keeps its own
    columns = ReadI32(s);
    rows = ReadI32(s);
    if (columns < 1 || rows < 1 || columns > largest || rows > largest)
        throw EStreamError("a custom component's grid section is too large");
}

// Reads the rest of a section into a grid of the size it gives.
void ReadSectionBody(TStream& s, int32_t version, TCellGrid& grid, int32_t columns, int32_t rows) {
    grid.Clear();
    grid.Resize(columns, rows);
    if (!grid.Load(s, version)) {
        if (s.Position() >= s.Size()) throw EReadError("a custom component's grid section ends early");
        throw EStreamError("a custom component's grid section is damaged");
    }
}

bool PointsInside(const std::vector<TPuntoPorta>& points, int32_t columns, int32_t rows) {
    return std::all_of(points.begin(), points.end(), [&](const TPuntoPorta& p) {
        return p.Column >= 0 && p.Column < columns && p.Row >= 0 && p.Row < rows && p.Side <= 3;
    });
}

class TNesting {
public:
    TNesting() {
        if (nesting >= MaxNesting) throw EStreamError("custom components nested too deep");
        ++nesting;
    }
    ~TNesting() { --nesting; }
};

}  // namespace

int32_t AnchorNumber(const TCella& anchor) {
    const AnsiString& text = anchor.Code;
    if (text.empty() || text.size() > 9) return 0;
    int32_t n = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return 0;
        n = n * 10 + (ch - '0');
    }
    return n;
}

// ---------------------------------------------------------------- construction

TCellaCustom::TCellaCustom(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                           int32_t row, int32_t inputs, int32_t outputs)
    : TCella(owner, orientation, mirrored, column, row, inputs, 0, outputs),
      // No wider than a record may hold, so that every cell reads back what
      // it writes; ports beyond the last column share it.
      FootprintColumns(std::min(std::max({inputs, outputs, 1}), CustomDrawingMaxSize)),
      FootprintRows(2),
      Structure(MakeCellGrid(CustomStructureSize, CustomStructureSize, GridCustom)),
      Drawing(MakeCellGrid(FootprintColumns, FootprintRows, GridSymbol)) {
    TypeCode = CodeCustom;
    Kind = KindCustom;
    SetPortCounts();
    for (int32_t i = 0; i < NumInputs; ++i) InputPoints.push_back({std::min(i, FootprintColumns - 1), 0, 0});
    for (int32_t j = 0; j < NumOutputs; ++j)
        OutputPoints.push_back({std::min(j, FootprintColumns - 1), FootprintRows - 1, 0});
    MapAnchors();
}

// Outside a pass no cell of the structure links outside, so the inner cells
// simply go with the grids.
TCellaCustom::~TCellaCustom() = default;

void TCellaCustom::SetPortCounts() {
    TCella::SetPortCounts();
    TableRows = 0;
    TableColumns = 0;
    MatrixColumns = 0;
}

void TCellaCustom::SetFootprint(int32_t columns, int32_t rows) {
    FootprintColumns = std::max<int32_t>(1, columns);
    FootprintRows = std::max<int32_t>(1, rows);
    if (Drawing->Columns != FootprintColumns || Drawing->Rows != FootprintRows) {
        Drawing->Clear();
        Drawing->Resize(FootprintColumns, FootprintRows);
    }
}

TCellDescription TCellaCustom::Describe() const {
    TCellDescription d = NamedWithForm("Componente personalizzato ", "N", CustomCounter);
    d.Sheet.PortRows = 0;
    d.Sheet.ShowSignals = false;
    d.Sheet.ShowBandRows = false;
    d.Sheet.ShowStructure = true;
    return d;
}

TCella* TCellaCustom::GetPrototype() const { return FindPrototype({CodeCustom, NumInputs, NumOutputs, 0}); }

// ---------------------------------------------------------------- geometry

TCellLayout TCellaCustom::Layout() const {
    TCellLayout layout;
    layout.Width = FootprintColumns;
    layout.Height = FootprintRows;
    // An input's stored side is the border it stands on; an output's is the
    // number of the border opposite the one it leaves by.
    for (size_t i = 0; i < InputPoints.size(); ++i) {
        const TPuntoPorta& p = InputPoints[i];
        layout.Ports.push_back({TPortKind::Input, static_cast<int32_t>(i), p.Column, p.Row, SideOf(p.Side)});
    }
    for (size_t j = 0; j < OutputPoints.size(); ++j) {
        const TPuntoPorta& p = OutputPoints[j];
        layout.Ports.push_back(
            {TPortKind::Tap, static_cast<int32_t>(j), p.Column, p.Row, Opposite(SideOf(p.Side))});
    }
    return layout;
}

bool TCellaCustom::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    const TCellLayout layout = Layout();
    OccupyLayout(layout);
    PlacePorts(layout, TLineEnds{record.NeedsTermination, record.NeedsTermination, 0}, queue);
    return true;
}

void TCellaCustom::MoveSquares(const TCellRect& from, const TCellRect& to) {
    if (!Owner || from == to) return;
    for (int32_t c = from.Left; c <= from.Right; ++c)
        for (int32_t r = from.Top; r <= from.Bottom; ++r)
            if (Owner->CellAt(c, r) == this) {
                Owner->PutOnSquare(c, r, nullptr);
                Owner->RepaintSquare(c, r);
            }
    for (int32_t c = to.Left; c <= to.Right; ++c)
        for (int32_t r = to.Top; r <= to.Bottom; ++r) Owner->PutOnSquare(c, r, this);
    Owner->SetModified(ModAll);
}

// ---------------------------------------------------------------- record

void TCellaCustom::Save(TStream& s, int32_t version) {
    TCella::Save(s, version);
    WritePoints(s, InputPoints);
    WritePoints(s, OutputPoints);
    Drawing->Save(s, version);
    Structure->Save(s, version);
}

void TCellaCustom::Load(TStream& s, int32_t version) {
    TCella::Load(s, version);
    TNesting nested;
    // Everything is checked before it is used: a point outside the footprint
    // would mark squares outside the cell, or outside the grid.
    std::vector<TPuntoPorta> inputs = ReadPoints(s, NumInputs);
    std::vector<TPuntoPorta> outputs = ReadPoints(s, NumOutputs);
    int32_t columns = 0, rows = 0;
    ReadSectionHead(s, CustomDrawingMaxSize, columns, rows);
    if (!PointsInside(inputs, columns, rows) || !PointsInside(outputs, columns, rows))
        throw EStreamError("a custom component's port point lies outside its footprint");
    ReadSectionBody(s, version, *Drawing, columns, rows);
    FootprintColumns = columns;
    FootprintRows = rows;
    InputPoints = std::move(inputs);
    OutputPoints = std::move(outputs);
    ReadSectionHead(s, CustomStructureSize, columns, rows);
    ReadSectionBody(s, version, *Structure, columns, rows);
    MapAnchors();
}

// ---------------------------------------------------------------- anchors and checks

// The arrays may name cells the structure no longer holds: they are rebuilt
// without being read.
void TCellaCustom::MapAnchors() {
    InputAnchors.assign(static_cast<size_t>(std::max<int32_t>(0, NumInputs)), nullptr);
    OutputAnchors.assign(static_cast<size_t>(std::max<int32_t>(0, NumOutputs)), nullptr);
    ForEachCell(*Structure, [this](TCella& cell) {
        if (cell.Kind != KindAnchor) return;
        const int32_t n = AnchorNumber(cell) - 1;
        std::vector<TCella*>& anchors = cell.TypeCode == CodeExitAnchor ? OutputAnchors : InputAnchors;
        if (n >= 0 && n < static_cast<int32_t>(anchors.size())) anchors[static_cast<size_t>(n)] = &cell;
    });
    structureChanged_ = true;
}

bool TCellaCustom::ValidateStructure(const AnsiString& prefix) {
    auto report = [&prefix](const char* text) {
        if (GestoreErrori) GestoreErrori->Report(prefix + text);
    };
    std::vector<uint8_t> inputTaken(InputPoints.size(), 0), outputTaken(OutputPoints.size(), 0);
    bool ok = true;
    // Square by square, in the order of the structure's squares; the scan
    // stops at its first fault.
    for (int32_t c = 0; c < Structure->Columns && ok; ++c)
        for (int32_t r = 0; r < Structure->Rows && ok; ++r) {
            TCella* cell = Structure->CellAt(c, r);
            if (!cell || cell->Kind != KindAnchor || cell->Column != c || cell->Row != r) continue;
            const bool exit = cell->TypeCode == CodeExitAnchor;
            std::vector<uint8_t>& taken = exit ? outputTaken : inputTaken;
            const int32_t n = AnchorNumber(*cell);
            if (n < 1 || n > static_cast<int32_t>(taken.size())) {
                report(exit ? MessageUnknownOutput : MessageUnknownInput);
                ok = false;
            } else if (taken[static_cast<size_t>(n - 1)]) {
                report(exit ? MessageSameOutput : MessageSameInput);
                ok = false;
            } else {
                taken[static_cast<size_t>(n - 1)] = 1;
            }
        }
    auto all = [](const std::vector<uint8_t>& taken) {
        return std::all_of(taken.begin(), taken.end(), [](uint8_t t) { return t != 0; });
    };
    if (!ok || !all(inputTaken)) {
        report(MessageInputUnhandled);
        ok = false;
    }
    if (!ok || !all(outputTaken)) {
        report(MessageOutputUnhandled);
        ok = false;
    }
    // A quiet analysis: the structure's faults are reported here, not left
    // pending for a grid the user does not see.
    structureChanged_ = true;
    if (!AnalyseStructure()) {
        report(MessageCircuit);
        ok = false;
    }
    if (!Structure->AllCellsDescribed(false)) {
        report(MessageUndescribed);
        ok = false;
    }
    return ok;
}

bool TCellaCustom::CheckData(const AnsiString& prefix) { return ValidateStructure(prefix); }

bool TCellaCustom::AnalyseStructure() {
    if (structureChanged_) {
        structureSound_ = Structure->Analyse(false);
        structureChanged_ = false;
    }
    return structureSound_;
}

// ---------------------------------------------------------------- copying and editing

void TCellaCustom::Assign(TCella* target) {
    TCella::Assign(target);
    auto* other = dynamic_cast<TCellaCustom*>(target);
    if (!other || other == this) return;
    other->Flags = Flags;
    other->FootprintColumns = FootprintColumns;
    other->FootprintRows = FootprintRows;
    Drawing->CopyTo(*other->Drawing);
    Structure->CopyTo(*other->Structure);
    // The port points of the ports the target has.
    other->InputPoints.assign(static_cast<size_t>(std::max<int32_t>(0, other->NumInputs)), TPuntoPorta{});
    other->OutputPoints.assign(static_cast<size_t>(std::max<int32_t>(0, other->NumOutputs)), TPuntoPorta{});
    std::copy_n(InputPoints.begin(), std::min(InputPoints.size(), other->InputPoints.size()),
                other->InputPoints.begin());
    std::copy_n(OutputPoints.begin(), std::min(OutputPoints.size(), other->OutputPoints.size()),
                other->OutputPoints.begin());
    other->MapAnchors();
}

bool TCellaCustom::EditData(TDatiComponenti* dialog) {
    std::unique_ptr<TCella> clone(Clone());
    auto* edited = dynamic_cast<TCellaCustom*>(clone.get());
    if (!edited || !dialog) return false;
    dialog->EditedCell = edited;
    dialog->ComboVoce->Text = AnsiString();
    FillDataDialogDefault(dialog);
    const bool accepted = dialog->ShowModal() == mrOk;
    dialog->EditedCell = nullptr;
    if (!accepted) return false;

    // The edit may have changed the footprint: the new one must lie on the
    // grid and cover no other cell, or the cell keeps its old data.
    const TCellRect before = GetGridRect();
    const int32_t oldColumns = FootprintColumns, oldRows = FootprintRows;
    FootprintColumns = edited->FootprintColumns;
    FootprintRows = edited->FootprintRows;
    const TCellRect after = GetGridRect();
    FootprintColumns = oldColumns;
    FootprintRows = oldRows;
    if (Owner && after != before) {
        bool free = Owner->InsideUsableArea(after);
        for (int32_t c = after.Left; c <= after.Right && free; ++c)
            for (int32_t r = after.Top; r <= after.Bottom && free; ++r) {
                TCella* there = Owner->CellAt(c, r);
                free = !there || there == this;
            }
        if (!free) {
            if (Application) Application->MessageBox(MessageNoRoom, ApplicationTitle, MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    edited->Assign(this);
    MoveSquares(before, after);
    Described = 1;
    InvalidateArea();
    return true;
}

// ---------------------------------------------------------------- texts

void TCellaCustom::GetPortName(TInfoMousePos& position) {
    const TCellLayout layout = Layout();
    const TCellPort* port = PortUnder(layout, position);
    AnsiString name;
    if (port) {
        const bool input = port->Kind == TPortKind::Input;
        const int32_t count = input ? NumInputs : NumOutputs;
        name = input ? "ingresso" : "uscita";
        if (count > 1) name += " " + IntToStr(port->Index + 1);
    }
    SetPortUnder(position, port, name);
}

void TCellaCustom::GetPortLevelText(TRichEdit* report) {
    TListaCanali empty;
    const AnsiString code = GetShortCode();
    for (int32_t j = 0; j < NumOutputs; ++j) {
        TListaCanali* list = j < static_cast<int32_t>(ChannelLists.size())
                                 ? ChannelLists[static_cast<size_t>(j)].get()
                                 : nullptr;
        AddChannelRowsDefault(report, NumOutputs > 1 ? code + " uscita " + IntToStr(j + 1) : code + " uscita",
                              list ? *list : empty);
    }
    AppendReportLine(report, "");
}

// ---------------------------------------------------------------- symbol

void TCellaCustom::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                              int32_t zoom) {
    BeginSymbol(canvas, column, row, x, y, zoom);
    // Each port's stub on the edge it stands on: an input's side names that
    // edge, an output's side the way its link leaves, opposite its edge.
    for (const TCellPort& port : Layout().Ports) {
        const int32_t px = SymbolSquareUnits * port.X, py = SymbolSquareUnits * port.Y;
        switch (port.Side) {
        case TSide::Top:
            SymMoveTo(px + 10, py);
            SymLineTo(px + 10, py + 5);
            break;
        case TSide::Right:
            SymMoveTo(px + 20, py + 10);
            SymLineTo(px + 15, py + 10);
            break;
        case TSide::Bottom:
            SymMoveTo(px + 10, py + 20);
            SymLineTo(px + 10, py + 15);
            break;
        case TSide::Left:
            SymMoveTo(px, py + 10);
            SymLineTo(px + 5, py + 10);
            break;
        }
    }

    if (!Owner || !Owner->Window || !canvas) return;
    // The drawing grid turns and mirrors with the cell, square by square and
    // each of its cells with it, so that it fills the footprint as the
    // footprint stands on the grid (drawn unturned, the drawing of a turned
    // cell that is not square would cover its neighbours' squares).
    TCellGridWindow* before = Drawing->Window;
    Drawing->Window = Owner->Window;
    ForEachCell(*Drawing, [&](TCella& inner) {
        int32_t c = 0, r = 0;
        FrameToGrid(c, r, inner.Column, inner.Row);
        const int32_t turn = inner.Orientation, mirrored = inner.Mirrored;
        // A mirror reverses the sense of the turn it follows.
        inner.Orientation = Mirrored ? ((Orientation - turn) % 4 + 4) % 4 : (Orientation + turn) % 4;
        inner.Mirrored = Mirrored ? !mirrored : mirrored;
        inner.DrawSymbol(canvas, inner.Column, inner.Row, x + (c - column) * zoom, y + (r - row) * zoom,
                         zoom);
        inner.Orientation = turn;
        inner.Mirrored = mirrored;
    });
    Drawing->Window = before;
}

// ---------------------------------------------------------------- loss tables

void TCellaCustom::AdjustLossTables() {
    ForEachCell(*Structure, [](TCella& cell) { cell.AdjustLossTables(); });
}
