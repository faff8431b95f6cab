// How a cell and the component-data form talk: which cell field goes to which
// control or table of the form and back, with its conversion, and how one edit
// runs (on a clone, so that nothing of the cell changes before OK).
#include <algorithm>
#include <memory>

#include "cells/cell.h"
#include "cells/library_cells.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "core/options.h"
#include "core/scoped_flag.h"
#include "cells/component_data.h"
#include "cells/cell_grid.h"

namespace {

constexpr int32_t DefaultPageOrder[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};

// Power flag bits of the port groups, in the order of the check boxes.
constexpr uint32_t PortBits[3] = {PowerInputs, PowerThrough, PowerTaps};

constexpr uint32_t CharDigital = 1;
constexpr uint32_t CharOptical = 2;
constexpr uint32_t CharQuadLnb = 4;

// The check box of each bit of the first positions word.
struct TPositionBox {
    uint32_t bit;
    TCheckBox* TDatiComponenti::*box;
};
// clang-format off
constexpr TPositionBox PositionBoxes[] = {
    {1, &TDatiComponenti::CheckCentrale},   {2, &TDatiComponenti::CheckSottostazione},
    {4, &TDatiComponenti::CheckLinea},      {8, &TDatiComponenti::CheckPrimoLinea},
    {16, &TDatiComponenti::CheckUltimoLinea}, {32, &TDatiComponenti::CheckPalo1},
    {64, &TDatiComponenti::CheckPresa},     {128, &TDatiComponenti::CheckPalo2},
};
// clang-format on

void SetBit(uint32_t& word, uint32_t bit, bool on) {
    if (on)
        word |= bit;
    else
        word &= ~bit;
}

int ComboIndexOf(uint8_t choice, const TComboBox* combo) {
    // 255 is "no choice"; a choice the combo does not list shows nothing too.
    return choice < combo->Items->Count() ? choice : -1;
}

uint8_t ChoiceOf(const TComboBox* combo) {
    const int index = combo->ItemIndex;
    return index < 0 ? 255 : static_cast<uint8_t>(index);
}

// The rows of a cell table the form can hold.
int PagesOf(const TCella& cell) { return std::clamp(cell.TableRows, 0, DialogModules); }

// Calls visit(page, value row, column) for every value row of the main table
// that the cell's Attenuation holds: page r of the form is row r of the
// table, value row j shows column order[j].
template <class Visit>
void ForEachMainTableRow(const TCella& cell, std::span<const int32_t> order, Visit visit) {
    if (!cell.Attenuation) return;
    const int pages = std::min(PagesOf(cell), cell.Attenuation->Size2());
    const int columns = std::min({cell.TableColumns, static_cast<int>(order.size()), DialogRows});
    for (int r = 0; r < pages; ++r)
        for (int j = 0; j < columns; ++j) {
            const int c = order[j];
            if (c < 0 || c >= cell.Attenuation->Size3()) continue;
            visit(r, j, c);
        }
}

bool RowHasData(const TBandRow* rows, int count) {
    for (int r = 0; r < count; ++r)
        for (float v : rows[r])
            if (v != LevelNone) return true;
    return false;
}

void FillRows(TBandRow* rows, int count, float value) {
    for (int r = 0; r < count; ++r) rows[r].fill(value);
}

// A level table (rows x 7 x 15) to the form's matrix of the same kind, and back.
void FillLevelTable(const TInfo& table, TBandRow (*matrix)[DialogRows], int pages) {
    for (int p = 0; p < DialogModules; ++p) FillRows(matrix[p], DialogRows, LevelNone);
    if (!table.HasBlocks3()) return;
    const int rows = std::min(pages, table.Size2());
    for (int p = 0; p < rows; ++p) {
        if (!table.Block3(p)) continue;
        for (int s = 0; s < DialogStageRows; ++s)
            for (int b = 0; b < BandSlots; ++b) matrix[p][s][b] = table.Get3(p, s, b);
    }
}

// Only the pages that hold data are allocated; a table without any is freed.
void ReadLevelTable(TInfo& table, TBandRow (*matrix)[DialogRows], int rows, int pages) {
    bool any = false;
    for (int p = 0; p < pages; ++p) any = any || RowHasData(matrix[p], DialogStageRows);
    if (!any) {
        table.Free();
        return;
    }
    table.SetSizes(0, rows, DialogStageRows, BandSlots);
    table.Free();
    table.AllocateTop();
    for (int p = 0; p < pages; ++p) {
        if (!RowHasData(matrix[p], DialogStageRows)) continue;
        table.AllocateRow(p);
        for (int s = 0; s < DialogStageRows; ++s)
            for (int b = 0; b < BandSlots; ++b) table.Block3(p)[s][b] = matrix[p][s][b];
    }
}

}  // namespace

void TCella::FillDataDialogDefault(TDatiComponenti* dialog) { FillDataDialog(dialog, DefaultPageOrder); }

void TCella::ReadDataDialogDefault(TDatiComponenti* dialog) { ReadDataDialog(dialog, DefaultPageOrder); }

std::optional<bool> TCella::FirstElectricBox() const { return std::nullopt; }

void TCella::SetFirstElectricBox(bool) {}

void TCella::FillDataDialog(TDatiComponenti* d, std::span<const int32_t> order) {
    // Texts, price, time and connectors.
    d->BandSystem = BandSystem;
    d->EditDescrizione->Text = Description;
    d->EditArticolo->Text = Article;
    d->EditNote->Text = Notes;
    d->EditMarca->Text = Brand;
    d->EditCodice->Text = Code;
    d->EditSerie->Text = Series;
    d->EditCategoria->Text = Category;
    d->CurrencyIndex = Currency;
    d->ComboValuta->Text = TOpzioni::GetCurrencyName(Currency);
    d->EditPrezzo->Text = FormatFloat(TOpzioni::GetCurrencyFormat(Currency), Price);
    d->EditInstallazione->Text = IntToText(InstallMinutes);
    d->EditNoteInt->Text = InternalNotes;
    d->EditNoteEst->Text = ExternalNotes;
    d->ComboConnettore->ItemIndex = ComboIndexOf(Choice1, d->ComboConnettore);
    d->ComboConnOut->ItemIndex = ComboIndexOf(Choice3, d->ComboConnOut);

    // Check boxes: the class-dependent first box of "Dati elettrici", the
    // supply groups, the currents, the positions and the characteristics.
    if (const std::optional<bool> ticked = FirstElectricBox()) d->CheckChiusuraDC->Checked = *ticked;
    d->CheckAlimInterno->Checked = (Power[PowerSupply][PowerFlags] & PowerInternal) != 0;
    d->CheckAlimEsterno->Checked = (Power[PowerSupply][PowerFlags] & PowerExternal) != 0;
    for (int g = 0; g < 3; ++g)
        for (int p = 0; p < 3; ++p) d->CheckPort[g][p]->Checked = (Power[g][PowerFlags] & PortBits[p]) != 0;
    d->EditCorrente->Text = FormatLevel(Current1, "##0.##");
    d->EditCorrenteInterno->Text = FormatLevel(Current2, "##0.##");
    for (const TPositionBox& pb : PositionBoxes) (d->*pb.box)->Checked = (Positions[0] & pb.bit) != 0;
    d->CheckDigitale->Checked = (Characteristics[0] & CharDigital) != 0;
    d->CheckOttico->Checked = (Characteristics[0] & CharOptical) != 0;
    d->CheckLnbQuad->Checked = (Characteristics[0] & CharQuadLnb) != 0;

    // The main table: page r of the form is row r of Attenuation; value row
    // j shows column order[j].
    for (int p = 0; p < DialogModules; ++p) FillRows(d->MainTable[p], DialogRows, LevelNone);
    ForEachMainTableRow(*this, order, [&](int r, int j, int c) {
        for (int b = 0; b < BandSlots; ++b) d->MainTable[r][j][b] = Attenuation->Get3(r, c, b);
    });

    // The amplification stages.
    FillLevelTable(*LevelTableA, d->InputAmpTable, PagesOf(*this));
    FillLevelTable(*LevelTableB, d->ThroughAmpTable, PagesOf(*this));
    // The single-output table is output 0 of the output-amplification table.
    {
        TBandRow single[DialogModules][DialogRows];
        FillLevelTable(*LevelTableC, single, PagesOf(*this));
        for (int p = 0; p < DialogModules; ++p)
            std::copy(single[p], single[p] + DialogRows, d->SingleOutputTable(p));
    }

    // The matrix tables: per output, the distinct rows and the output stage.
    if (MatrixTableA->HasBlocks4()) {
        d->ModuleData = 1;
        const int pages = std::min(PagesOf(*this), MatrixTableA->Size1());
        const int outputs = std::min(MatrixColumns, DialogOutputs);
        const int depth = std::min(MatrixDepth, DialogDistinctRows);
        for (int r = 0; r < pages; ++r)
            for (int i = 0; i < outputs; ++i)
                for (int j = 0; j < depth; ++j)
                    for (int b = 0; b < BandSlots; ++b)
                        d->DistinctOutputRows[r][i][j][b] = MatrixTableA->Get4(r, i, j, b);
        const int outPages = std::min(PagesOf(*this), DialogModules);
        for (int r = 0; r < outPages; ++r)
            for (int i = 0; i < outputs; ++i) {
                TBandRow* block = d->OutputAmpTable[r][i];
                const bool present = MatrixTableB->Block4(r, i) != nullptr;
                for (int s = 0; s < DialogStageRows; ++s)
                    for (int b = 0; b < BandSlots; ++b)
                        block[s][b] = present ? MatrixTableB->Get4(r, i, s, b) : LevelNone;
            }
    } else {
        d->ModuleData = 0;
    }

    // Auxiliary articles, with the category and description of the entry
    // when the libraries hold it.
    for (int k = 0; k < 2; ++k) {
        d->AuxLibreria[k]->Text = AuxLibrary[k];
        d->AuxCodice[k]->Text = AuxCode[k];
        d->AuxQuantita[k]->Text = FormatNumber("#0.#", AuxQuantity[k]);
        std::unique_ptr<TCella> entry(Librerie ? GetLibraryCell(*Librerie, AuxLibrary[k], AuxCode[k]) : nullptr);
        d->AuxCategoria[k]->Text = entry ? entry->Category : AnsiString();
        d->AuxDescrizione[k]->Text = entry ? entry->Description : AnsiString();
    }
}

void TCella::ReadDataDialog(TDatiComponenti* d, std::span<const int32_t> order) {
    BandSystem = d->BandSystem;
    Description = d->EditDescrizione->Text;
    Article = d->EditArticolo->Text;
    Notes = d->EditNote->Text;
    Brand = d->EditMarca->Text;
    Code = d->EditCodice->Text;
    Series = d->EditSerie->Text;
    Category = d->EditCategoria->Text;
    Currency = static_cast<uint8_t>(d->CurrencyIndex);
    Price = PriceOf(d->EditPrezzo->Text);
    InstallMinutes = TextToInt(d->EditInstallazione->Text, static_cast<int>(LevelNone));
    InternalNotes = d->EditNoteInt->Text;
    ExternalNotes = d->EditNoteEst->Text;
    Choice1 = ChoiceOf(d->ComboConnettore);
    Choice2 = 0;
    Choice3 = ChoiceOf(d->ComboConnOut);

    uint32_t& supply = Power[PowerSupply][PowerFlags];
    SetBit(supply, PowerInternal, d->CheckAlimInterno->Checked);
    SetBit(supply, PowerExternal, d->CheckAlimEsterno->Checked);
    for (int g = 0; g < 3; ++g) {
        uint32_t ports = 0;
        for (int p = 0; p < 3; ++p)
            if (d->CheckPort[g][p]->Checked) ports |= PortBits[p];
        SetPowerGroup(g, ports);
    }
    Current1 = ParseLevel(d->EditCorrente->Text);
    Current2 = ParseLevel(d->EditCorrenteInterno->Text);
    for (const TPositionBox& pb : PositionBoxes) SetBit(Positions[0], pb.bit, (d->*pb.box)->Checked);
    SetBit(Characteristics[0], CharDigital, d->CheckDigitale->Checked);
    SetBit(Characteristics[0], CharOptical, d->CheckOttico->Checked);
    SetBit(Characteristics[0], CharQuadLnb, d->CheckLnbQuad->Checked);

    // The class-dependent first box decides last for the words it touches.
    SetFirstElectricBox(d->CheckChiusuraDC->Checked);

    // The main table, into the table as it is: never resized here.
    ForEachMainTableRow(*this, order, [&](int r, int j, int c) {
        for (int b = 0; b < BandSlots; ++b) Attenuation->Set3(r, c, b, d->MainTable[r][j][b]);
    });

    const int rows = std::max(TableRows, 0);
    ReadLevelTable(*LevelTableA, d->InputAmpTable, rows, PagesOf(*this));
    ReadLevelTable(*LevelTableB, d->ThroughAmpTable, rows, PagesOf(*this));
    {
        TBandRow single[DialogModules][DialogRows];
        for (int p = 0; p < DialogModules; ++p)
            std::copy(d->SingleOutputTable(p), d->SingleOutputTable(p) + DialogRows, single[p]);
        ReadLevelTable(*LevelTableC, single, rows, PagesOf(*this));
    }

    if (d->ModuleData) {
        // Sized by the cell's own counts; the form holds up to 17 rows, 20
        // outputs and 2 distinct rows of them.
        const int pages = PagesOf(*this);
        const int columns = std::max(MatrixColumns, 0);
        const int outputs = std::min(columns, DialogOutputs);
        const int depth = std::min(std::max(MatrixDepth, 0), DialogDistinctRows);
        MatrixTableA->SetSizes(rows, columns, std::max(MatrixDepth, 0), BandSlots);
        MatrixTableA->Free();
        MatrixTableA->Allocate();
        for (int r = 0; r < pages; ++r)
            for (int i = 0; i < outputs; ++i)
                for (int j = 0; j < depth; ++j)
                    for (int b = 0; b < BandSlots; ++b)
                        MatrixTableA->Set4(r, i, j, b, d->DistinctOutputRows[r][i][j][b]);
        MatrixTableB->SetSizes(rows, columns, DialogStageRows, BandSlots);
        MatrixTableB->Free();
        MatrixTableB->AllocateTop();
        for (int r = 0; r < rows; ++r) {
            MatrixTableB->AllocateRow(r);
            if (r >= pages) continue;
            for (int i = 0; i < outputs; ++i) {
                const TBandRow* block = d->OutputAmpTable[r][i];
                if (!RowHasData(block, DialogStageRows)) continue;
                MatrixTableB->AllocateBlock(r, i);
                for (int s = 0; s < DialogStageRows; ++s)
                    for (int b = 0; b < BandSlots; ++b) MatrixTableB->Set4(r, i, s, b, block[s][b]);
            }
        }
    } else {
        MatrixTableA->Free();
        MatrixTableB->Free();
    }

    for (int k = 0; k < 2; ++k) {
        AuxLibrary[k] = d->AuxLibreria[k]->Text;
        AuxCode[k] = d->AuxCodice[k]->Text;
        AuxQuantity[k] = TextToFloat(d->AuxQuantita[k]->Text, LevelNone);
    }
}

bool TCella::EditData(TDatiComponenti* dialog) {
    std::unique_ptr<TCella> clone(Clone());
    if (!clone || !dialog) return false;
    TCella* prototype = GetPrototype();

    dialog->EditedCell = clone.get();
    dialog->ComboVoce->Text = AnsiString();
    {
        // The fill's writes start none of the form's editing handlers.
        const TUpdating updating(dialog->Updating);
        if (!Described && prototype)
            prototype->FillDataDialogDefault(dialog);
        else
            FillDataDialogDefault(dialog);
    }

    const bool accepted = dialog->ShowModal() == mrOk;
    if (accepted) {
        ReadDataDialogDefault(dialog);
        Described = 1;
        if (prototype) {
            prototype->ReadDataDialogDefault(dialog);
            prototype->Described = 1;
        }
        InvalidateArea();
    }
    dialog->EditedCell = nullptr;
    return accepted;
}

static_assert(SheetRows == DialogRows, "a sheet names the rows of a page");

void TCella::FinishDataForm(TDatiComponenti&) {}

void TCella::PrepareDataForm(TDatiComponenti& d, const TDataSheet& sheet) {
    d.LabelNome->Caption = AnsiString(sheet.Name ? sheet.Name : Describe().TypeName) + GetShortCode();
    for (int j = 0; j < SheetRows; ++j)
        if (sheet.RowCaptions[static_cast<size_t>(j)])
            d.RowCaption[j]->Text = sheet.RowCaptions[static_cast<size_t>(j)];
    if (sheet.OutputConnectors) {
        d.ComboConnOut->Items->Clear();
        for (const char* item : *sheet.OutputConnectors) d.ComboConnOut->Items->Add(item);
    }
    d.ResetSections();
    if (sheet.PortCaptions[0])
        d.SetPortCaptions(sheet.PortCaptions[0], sheet.PortCaptions[1], sheet.PortCaptions[2]);
    if (sheet.PortRows) d.SetPortFlags(*sheet.PortRows);
    d.ElectricalWord = sheet.ElectricalWord;
    d.PositionsWord = sheet.PositionsWord;
    d.MainFunction = sheet.Stages;
    d.ModuleCount = sheet.ModuleCount;
    d.OutputCount = sheet.OutputCount;
    d.DistinctRow[0] = sheet.DistinctRow;
    if (sheet.ModuleCaption) d.CaptionModulo->Text = sheet.ModuleCaption;
    if (sheet.OutputCaption) d.CaptionUscita->Text = sheet.OutputCaption;
    if (sheet.FirstBoxCaption) {
        d.CheckChiusuraDC->Caption = sheet.FirstBoxCaption;
        d.CheckChiusuraDC->Visible = true;
    }
    d.ShowSignals = sheet.ShowSignals ? 1 : 0;
    d.ShowBandRows = sheet.ShowBandRows ? 1 : 0;
    d.ShowCommercial = sheet.ShowCommercial ? 1 : 0;
    d.ShowAuxArticles = sheet.ShowAuxArticles ? 1 : 0;
    d.ShowStructure = sheet.ShowStructure ? 1 : 0;
    d.ShowModuleTabs = sheet.ShowModuleTabs ? 1 : 0;
    std::copy(sheet.AntennaKind.begin(), sheet.AntennaKind.end(), d.AntennaKind);
    std::copy(sheet.ChannelGrids.begin(), sheet.ChannelGrids.end(), d.ChannelGrids);
    std::copy(sheet.ShowSwapButtons.begin(), sheet.ShowSwapButtons.end(), d.ShowSwapButtons);
    d.OtherFeatures = sheet.OtherFeatures;
    d.ArrangeLayout();
    FinishDataForm(d);
}

bool TCella::OpenDataDialog() {
    const TDataSheet sheet = Describe().Sheet;
    switch (sheet.Use) {
    case TSheetUse::MarkDescribed: Described = 1; return false;
    case TSheetUse::Nothing: return false;
    case TSheetUse::Form: break;
    }
    TDatiComponenti* dialog = ComponentDataForm();
    if (!dialog) return false;
    PrepareDataForm(*dialog, sheet);
    return EditData(dialog);
}
