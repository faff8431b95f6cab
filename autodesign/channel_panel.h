#pragma once
// TPannelloCanaliTer: one block of the wizard's reception page. It edits one
// of the ten terrestrial antennas of the design settings: the antenna's
// channel plan, its library and article code, the plan's channels it
// receives (a 20 x 5 grid, one cell a plan row) and, in a second grid, the
// received channels' kind, label and level. The panels of a page are chained
// so that a refresh runs down to the last one.
#include "platform/grids.h"
#include "platform/stdctrls.h"

class TOpzProgetto;
class TAntennaAutoProg;

// The channel grid: cell (column c, row r) shows plan row r x 20 + c.
constexpr int ChannelGridColumns = 20;
constexpr int ChannelGridRows = 5;
// Colours of a channel grid cell: out of the plan; received (out of the
// antenna's range: red); not received (out of range: silver).
constexpr TColor ChannelCellNoRow = clGray;
constexpr TColor ChannelCellReceived = clYellow;
constexpr TColor ChannelCellReceivedOutOfRange = clRed;
constexpr TColor ChannelCellFree = clWhite;
constexpr TColor ChannelCellFreeOutOfRange = clSilver;

class TPannelloCanaliTer : public TGroupBox {
public:
    explicit TPannelloCanaliTer(TComponent* owner = nullptr);

    // Shows the antenna, then has the next panel show its own.
    void Refresh();
    TAntennaAutoProg& Antenna() const;

    // Handlers.
    void PlanEnter(TObject* Sender);
    void PlanChange(TObject* Sender);
    void LibraryEnter(TObject* Sender);
    void LibraryChange(TObject* Sender);
    void CodeEnter(TObject* Sender);
    void CodeChange(TObject* Sender);
    void DeleteClick(TObject* Sender);
    void ChannelDrawCell(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State);
    void ChannelSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void ChannelMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ListSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void ListSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);

    // The antenna slot (0-9) of the settings this panel edits.
    int Index = 0;
    TOpzProgetto* Settings = nullptr;  // not owned; the program's when none is given
    TPannelloCanaliTer* Next = nullptr;

    TLabel* LabelPlan;
    TComboBox* Plan;
    TLabel* LabelAntenna;
    TComboBox* Library;
    TComboBox* Code;
    TButton* Delete;
    TDrawGrid* ChannelGrid;
    TStringGrid* ListGrid;

private:
    TOpzProgetto& Opz() const;
    // Marks a design: the settings were edited.
    void Edited();
};
