#pragma once
// TDatiCellaCustom: the editor of a custom component. Two tabs show its two
// grids on a drawing control of the editor's own: "Struttura", the inner
// circuit, and "Disegno", the symbol with a border of one square on every
// side, where the entry and exit anchors stand for the component's ports.
// The main window's component palette and codes panel are lent to it while
// it is open. "Avanti >>" runs the strict analysis of the circuit and moves
// both grids to step 2; "<< Indietro" goes back.
//
// TCambiaDimensioni asks for the symbol's new size.
#include <cstdint>
#include <vector>

#include "cells/custom_cell.h"
#include "document/grid.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

class TDrawWindow;
class TPannelloCodici;
class TPannelloComponenti;

constexpr const char* TabStruttura = "Struttura";
constexpr const char* TabDisegno = "Disegno";

// The editor's grids start at this size; the symbol may grow to it.
constexpr int32_t CustomEditorGridSize = 50;

// The main window's palette and codes panel, which the editor borrows while
// it is open; none without a main window. The program's start names where
// they are, so the editor needs nothing of the main window.
struct TLentPanels {
    TPannelloComponenti* Palette = nullptr;
    TPannelloCodici* CodesPanel = nullptr;
};
using TPanelLender = TLentPanels (*)();
void SetPanelLender(TPanelLender lender);

// The component-data form's "Struttura": the custom component in the editor,
// with a data form of its own for the cells edited there; its grids and port
// records come back only on Ok. Nothing for a cell of another class.
void EditCustomCellStructure(TCella& cell);

class TCambiaDimensioni : public TForm {
public:
    explicit TCambiaDimensioni(TComponent* owner = nullptr);

    // Ok takes the two edits when they are whole numbers within 1 ... the
    // maximum and no smaller than the least size; otherwise it says
    // "Errore nei parametri." and the dialog stays open.
    void BOkClick(TObject* Sender);
    void BAnnullaClick(TObject* Sender);

    TLabel* LabelColonne;
    TLabel* LabelRighe;
    TEdit* EColonne;
    TEdit* ERighe;
    TButton* BOk;
    TButton* BAnnulla;

    int32_t MaxColumns = CustomEditorGridSize;
    int32_t MaxRows = CustomEditorGridSize;
    int32_t Columns = 0;
    int32_t Rows = 0;
    // The least size that keeps the drawing and every port on its border.
    int32_t MinColumns = 1;
    int32_t MinRows = 1;
};

class TDatiCellaCustom : public TForm {
public:
    // Borrows the main window's palette and codes panel, when there is one.
    explicit TDatiCellaCustom(TComponent* owner = nullptr);
    ~TDatiCellaCustom() override;

    // The cell's symbol into the editor's symbol grid at (1, 1), and one
    // anchor per port on the border square of its record.
    void LoadDrawing(TGridData& symbol, const std::vector<TPuntoPorta>& entries,
                     const std::vector<TPuntoPorta>& exits, int32_t inputs, int32_t outputs);
    void LoadStructure(TGridData& structure);
    // The inside of the border back into the cell's symbol, and the record of
    // every port whose anchor stands on a border square. An anchor away from
    // the border, in a corner, or with a number that is no port of its table
    // is ignored: its port keeps its record.
    void StoreDrawing(TGridData& symbol, std::vector<TPuntoPorta>& entries, std::vector<TPuntoPorta>& exits);
    void StoreStructure(TGridData& structure);

    void AddTab(const AnsiString& name);
    void SelectTab(const AnsiString& name);
    void ShowCurrentTab();
    void ArrangeLayout();
    // Shows an analysis error of the structure grid: the square marked
    // "Err" and scrolled into view, and the error's message.
    void CheckStructure(int32_t column, int32_t row, TGridData* grid, int32_t code);

    // The symbol's size (without the border).
    int32_t SymbolColumns() const { return SymbolGrid.Columns - 2; }
    int32_t SymbolRows() const { return SymbolGrid.Rows - 2; }
    // The least symbol size that keeps what is drawn inside the border and
    // every anchor of the top and bottom borders within the columns, of the
    // left and right borders within the rows.
    void MinimumSymbolSize(int32_t& columns, int32_t& rows) const;
    // Gives the symbol a new size; the anchors of the right and bottom
    // borders move with their border. False (nothing changed) below the
    // least size or beyond the largest.
    bool ResizeSymbol(int32_t columns, int32_t rows);
    // The palette and codes panel go back to the main window as they were.
    void GiveBackPanels();

    void FormShow(TObject* Sender);
    void FormResize(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void TabControlChange(TObject* Sender);
    void BAvantiClick(TObject* Sender);
    void BOkClick(TObject* Sender);
    void BAnnullaClick(TObject* Sender);
    void CambiaDimensioniClick(TObject* Sender);

    TTabControl* TabControl;
    TDrawWindow* DrawWindow;
    TPannelloCodici* CodesPanel = nullptr;
    TPannelloComponenti* Palette = nullptr;
    TStatusBar* StatusBar;
    TButton* BAvanti;
    TButton* BOk;
    TButton* BAnnulla;
    TMainMenu* MainMenu;
    TMenuItem* Visualizza1;
    TMenuItem* CambiaDimensioni1;

    TGridData SymbolGrid{nullptr, CustomEditorGridSize, CustomEditorGridSize, GridSymbol};
    TGridData StructureGrid{nullptr, CustomEditorGridSize, CustomEditorGridSize, GridCustom};

private:
    void ShowPanelsByOptions();
    int32_t Step() const { return StructureGrid.Step; }
    void SetStep(int32_t step);

    // What the panels had before they were lent.
    TWinControl* codesParent_ = nullptr;
    TWinControl* paletteParent_ = nullptr;
    TDrawWindow* paletteWindow_ = nullptr;
    bool codesVisible_ = false;
    bool paletteVisible_ = false;
    bool lent_ = false;
};
