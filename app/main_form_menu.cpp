// The main window's menu: its items with their captions and shortcuts, and
// the commands behind them.
#include <algorithm>
#include <cctype>

#include "app/about_box.h"
#include "app/estimate_page.h"
#include "app/main_form.h"
#include "app/mast_page.h"
#include "app/program.h"
#include "cells/cell.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/options.h"
#include "core/reporter.h"
#include "dialogs/codes_palette.h"
#include "dialogs/component_palette.h"
#include "dialogs/customer_data.h"
#include "dialogs/installer_data.h"
#include "dialogs/options_form.h"
#include "dialogs/scheme_size.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/report_pages.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "view/draw_window.h"

namespace {

TMenuItem* AddItem(TMenuItem* parent, const AnsiString& caption, TShortCut shortCut = scNone) {
    auto* item = new TMenuItem(parent);
    item->Caption = caption;
    item->ShortCut = shortCut;
    parent->Add(item);
    return item;
}

void AddLine(TMenuItem* parent) { AddItem(parent, "-"); }

// An item whose command is not in the program yet: shown, not clickable.
TMenuItem* AddWaiting(TMenuItem* parent, const AnsiString& caption, TShortCut shortCut = scNone) {
    TMenuItem* item = AddItem(parent, caption, shortCut);
    item->Enabled = false;
    return item;
}

}  // namespace

void TAntenne::SetMenuCaptions() {
    MainMenu = new TMainMenu(this);
    TMenuItem* bar = MainMenu->Items;

    File1 = AddItem(bar, "&File");
    New1 = AddItem(File1, "&Nuovo");
    Open1 = AddItem(File1, "&Apri");
    Salva1 = AddItem(File1, "&Salva");
    SalvaconNome1 = AddItem(File1, "Salva &con Nome");
    AddLine(File1);
    Daticommittente1 = AddItem(File1, "Dati &progettuali");
    FileNameLine = AddItem(File1, "-");
    FileNameLine->Visible = false;
    TMenuItem** recent[] = {&FileName1, &FileName2, &FileName3, &FileName4};
    for (TMenuItem** item : recent) {
        *item = AddItem(File1, "");
        (*item)->Visible = false;
    }
    AddLine(File1);
    Nuovalibreria = AddItem(File1, "Nuova &libreria");
    Esci1 = AddItem(File1, "&Esci");
    Esci1->OnClick = Handler(this, &TAntenne::Esci1Click);

    Stampa2 = AddItem(bar, "&Stampa");
    SRete = AddWaiting(Stampa2, "&Rete (disegno)");
    STesta = AddWaiting(Stampa2, "&Testa (disegno)");
    SElencoRete = AddWaiting(Stampa2, "Elenco componenti di ret&e");
    SElenco = AddWaiting(Stampa2, "Elenco componenti di test&a");
    STutto = AddWaiting(Stampa2, "&Schemi ed elenco");
    SCalcoli = AddWaiting(Stampa2, "&Calcoli");
    SArea = AddWaiting(Stampa2, "Area sele&zionata");
    SPreventivo = AddWaiting(Stampa2, "&Preventivo");
    SRelazioneSostegno = AddWaiting(Stampa2, "Relazione s&ostegno");
    SRelazioneScariche = AddWaiting(Stampa2, "Relazione scariche at&mosferiche");
    SCapitolato = AddWaiting(Stampa2, "Capito&lato");
    SDichiarazione = AddWaiting(Stampa2, "&Dichiarazione di conformità");
    SSelezione = AddWaiting(Stampa2, "Sele&zione");
    for (TMenuItem* item : {SRelazioneSostegno, SRelazioneScariche, SCapitolato, SDichiarazione, SSelezione})
        item->Visible = false;
    AddLine(Stampa2);
    Impostastampante1 = AddItem(Stampa2, "&Imposta stampante");

    Modify1 = AddItem(bar, "&Modifica");
    Annulla1 = AddItem(Modify1, "&Annulla");
    AddLine(Modify1);
    Taglia1 = AddItem(Modify1, "&Taglia");
    Copia1 = AddItem(Modify1, "&Copia");
    Incolla1 = AddItem(Modify1, "&Incolla");
    IncollaS = AddItem(Modify1, "Incolla &speculare");
    IncollaR = AddItem(Modify1, "Incolla &ruotato");
    Ruota90 = AddItem(IncollaR, "90°");
    Ruota180 = AddItem(IncollaR, "180°");
    Ruota270 = AddItem(IncollaR, "270°");
    Elimina1 = AddItem(Modify1, "&Elimina");
    BEliminaPreventivo = AddItem(Modify1, "&Elimina linea preventivo");
    EliminaDescrizioni = AddItem(Modify1, "Elimina descrizioni componenti");
    EliminaDCavi = AddItem(EliminaDescrizioni, "Cavi");
    EliminaDPrese = AddItem(EliminaDescrizioni, "Prese");
    EliminaDTutti = AddItem(EliminaDescrizioni, "Tutti");

    Visualizza1 = AddItem(bar, "&Visualizza");
    ZoomAvanti = AddItem(Visualizza1, "Zoom &avanti", ::ShortCut('I', TShiftState{ssCtrl}));
    ZoomIndietro = AddItem(Visualizza1, "Zoom &indietro", ::ShortCut('O', TShiftState{ssCtrl}));
    ZoomLine = AddItem(Visualizza1, "-");
    BarraStrumenti = AddItem(Visualizza1, "&Barra Strumenti");
    PannelloCodici = AddItem(Visualizza1, "Pannello codici");
    VisualizzaAttenuazioni = AddItem(Visualizza1, "Attenuazioni e &lunghezze");
    Informazioni = AddItem(Visualizza1, "Informazioni");
    Attiva = AddItem(Informazioni, "Attiva");
    AddLine(Informazioni);
    Attenuazioni = AddItem(Informazioni, "Attenuazioni");
    SegnaliLimite = AddItem(Informazioni, "Segnali richiesti");
    CanaliGenerati = AddItem(Informazioni, "Canali generati");
    CanaliDistribuiti = AddItem(Informazioni, "Canali distribuiti");
    Evidenzia = AddItem(Visualizza1, "Evidenzia");
    CaviND = AddItem(Evidenzia, "Cavi non definiti");
    ComponentiCND = AddItem(Evidenzia, "Componenti calcoli non definiti");
    ComponentiND = AddItem(Evidenzia, "Componenti non definiti");
    AddLine(Visualizza1);
    MDimensioneSchemi = AddItem(Visualizza1, "&Dimensione schemi");
    MOpzioni = AddItem(Visualizza1, "&Opzioni");
    Personalizzazione = AddItem(Visualizza1, "&Personalizzazione");
    Personalizzazione->OnClick = Handler(this, &TAntenne::PersonalizzazioneClick);

    Trova1 = AddItem(bar, "&Trova");
    CavoND = AddItem(Trova1, "Cavo non definito");
    ComponenteCND = AddItem(Trova1, "Componente calcoli non definito");
    ComponenteND = AddItem(Trova1, "Componente non definito");

    Calcoli1 = AddItem(bar, "&Calcoli");
    Segnalialleprese1 = AddItem(Calcoli1, "&Attenuazione alle prese");
    Limititerminaleditesta1 = AddItem(Calcoli1, "Segnali &richiesti ai componenti");
    Attenuazionetraleprese1 = AddItem(Calcoli1, "Se&parazione tra le prese");
    CanaliComponenti = AddWaiting(Calcoli1, "Ca&nali ai componenti");
    CanaliComponenti->Visible = false;
    AddLine(Calcoli1);
    Cancellacalcoli1 = AddItem(Calcoli1, "&Cancella calcoli");

    Speciali1 = AddItem(bar, "S&trumenti");
    DetAutComp1 = AddWaiting(Speciali1, "Determinazione automatica &componenti");
    DetAutSost = AddItem(Speciali1, "Determinazione automatica &sostegno");
    Autoprogetto1 = AddItem(Speciali1, "Autoprogetto");
    AddLine(Speciali1);
    GestioneLibrerie1 = AddItem(Speciali1, "Gestione librerie");

    Aiuto1 = AddItem(bar, "&Aiuto");
    Info1 = AddItem(Aiuto1, "&Info");
    Info1->OnClick = Handler(this, &TAntenne::Info1Click);

    BindMenuCommands();
    Menu = MainMenu;
}

void TAntenne::BindMenuCommands() {
    auto on = [this](TMenuItem* item, void (TAntenne::*handler)(TObject*)) {
        item->OnClick = Handler(this, handler);
    };
    on(File1, &TAntenne::File1Click);
    on(Stampa2, &TAntenne::Stampa2Click);
    on(Modify1, &TAntenne::Modify1Click);
    on(Visualizza1, &TAntenne::Visualizza1Click);
    on(Trova1, &TAntenne::Trova1Click);
    on(Calcoli1, &TAntenne::Calcoli1Click);
    on(Speciali1, &TAntenne::Speciali1Click);
    on(Aiuto1, &TAntenne::Aiuto1Click);

    on(New1, &TAntenne::New1Click);
    on(Open1, &TAntenne::Open1Click);
    on(Salva1, &TAntenne::Salva1Click);
    on(SalvaconNome1, &TAntenne::SalvaconNome1Click);
    on(Daticommittente1, &TAntenne::Daticommittente1Click);
    TMenuItem* recent[] = {FileName1, FileName2, FileName3, FileName4};
    for (int i = 0; i < RecentFileCount; ++i) recent[i]->OnClick = [this, i](TObject*) { OpenRecentFile(i); };
    on(Impostastampante1, &TAntenne::Impostastampante1Click);

    on(Annulla1, &TAntenne::Annulla1Click);
    on(Taglia1, &TAntenne::Taglia1Click);
    on(Copia1, &TAntenne::Copia1Click);
    for (TMenuItem* item : {Incolla1, IncollaS, Ruota90, Ruota180, Ruota270})
        on(item, &TAntenne::IncollaClick);
    on(Elimina1, &TAntenne::Elimina1Click);
    on(BEliminaPreventivo, &TAntenne::BEliminaPreventivoClick);
    on(EliminaDCavi, &TAntenne::EliminaDescrizioniClick);
    on(EliminaDPrese, &TAntenne::EliminaDescrizioniClick);
    on(EliminaDTutti, &TAntenne::EliminaDescrizioniClick);

    on(ZoomAvanti, &TAntenne::ZoomAvantiClick);
    on(ZoomIndietro, &TAntenne::ZoomIndietroClick);
    on(BarraStrumenti, &TAntenne::BarraStrumentiClick);
    on(PannelloCodici, &TAntenne::PannelloCodiciClick);
    for (TMenuItem* item : {VisualizzaAttenuazioni, Attiva, Attenuazioni, SegnaliLimite, CanaliGenerati,
                            CanaliDistribuiti, CaviND, ComponentiCND, ComponentiND})
        on(item, &TAntenne::DisplayOptionClick);
    on(MDimensioneSchemi, &TAntenne::MDimensioneSchemiClick);
    on(MOpzioni, &TAntenne::MOpzioniClick);

    on(CavoND, &TAntenne::FindClick);
    on(ComponenteCND, &TAntenne::FindClick);
    on(ComponenteND, &TAntenne::FindClick);

    for (TMenuItem* item : {Segnalialleprese1, Limititerminaleditesta1, Attenuazionetraleprese1})
        on(item, &TAntenne::NetworkReportClick);
    on(Cancellacalcoli1, &TAntenne::Cancellacalcoli1Click);
    on(DetAutComp1, &TAntenne::DetAutComp1Click);
    on(DetAutSost, &TAntenne::DetAutSostClick);
    on(Autoprogetto1, &TAntenne::Autoprogetto1Click);
    on(Nuovalibreria, &TAntenne::NuovalibreriaClick);
    on(GestioneLibrerie1, &TAntenne::GestioneLibrerie1Click);
    BindPrintCommands();
}

// ---------------------------------------------------------------- menus opening

void TAntenne::File1Click(TObject*) {
    DrawWindow->HideEditor();
    for (TMenuItem* item : {New1, Open1, SalvaconNome1, Daticommittente1}) item->Enabled = true;
    Salva1->Enabled = CurrentProject && CurrentProject->Modified;
    Nuovalibreria->Visible = true;
    Nuovalibreria->Enabled = true;
}

void TAntenne::Stampa2Click(TObject*) {
    DrawWindow->HideEditor();
    UpdatePrintItems();
    Impostastampante1->Enabled = true;
}

void TAntenne::Modify1Click(TObject*) {
    DrawWindow->HideEditor();
    const bool drawing = DrawWindow->Visible;
    if (drawing && DrawWindow->EditPopup->OnPopup) DrawWindow->EditPopup->OnPopup(DrawWindow->EditPopup);
    struct TPair {
        TMenuItem* Item;
        TMenuItem* Popup;
    };
    const TPair pairs[] = {{Annulla1, DrawWindow->ItemUndo},
                           {Taglia1, DrawWindow->ItemCut},
                           {Copia1, DrawWindow->ItemCopy},
                           {Incolla1, DrawWindow->ItemPaste},
                           {IncollaS, DrawWindow->ItemPasteMirrored},
                           {IncollaR, DrawWindow->ItemPasteRotated},
                           {Elimina1, DrawWindow->ItemDelete}};
    for (const TPair& p : pairs) {
        p.Item->Visible = drawing && p.Popup && p.Popup->Visible;
        p.Item->Enabled = p.Popup && p.Popup->Enabled;
    }
    if (DrawWindow->ItemUndo) Annulla1->Caption = DrawWindow->ItemUndo->Caption;
    EliminaDescrizioni->Visible = drawing && CurrentProject && CurrentProject->Step == 2;
    // The estimate line goes only where it is seen: the edit menu shows on
    // the drawing pages too. On its page the item stays, greyed while the
    // chosen row cannot go: a menu that opens onto nothing reads as broken.
    const bool estimatePage = IsPageSelected(PagePreventivo);
    BEliminaPreventivo->Visible = estimatePage;
    BEliminaPreventivo->Enabled = estimatePage && EstimatePage->CanRemoveSelectedRow();
    // Likewise on a drawing page whose popup offers nothing now: its items
    // are shown greyed rather than leaving the menu empty.
    bool any = false;
    for (int i = 0; i < Modify1->Count(); ++i)
        any = any || (Modify1->Item(i)->Visible && !Modify1->Item(i)->IsLine());
    if (!any && drawing)
        for (const TPair& p : pairs) {
            p.Item->Visible = true;
            p.Item->Enabled = false;
        }
}

void TAntenne::Visualizza1Click(TObject*) {
    DrawWindow->HideEditor();
    const bool drawingPage = IsPageSelected(PageRete) || IsPageSelected(PageTesta);
    const int32_t step = CurrentProject ? CurrentProject->Step : 1;
    for (TMenuItem* item : {ZoomAvanti, ZoomIndietro, ZoomLine}) item->Visible = drawingPage;
    ZoomAvanti->Enabled = DrawWindow->DefaultColWidth > SquareSmall;
    ZoomIndietro->Enabled = DrawWindow->DefaultColWidth < SquarePixels;
    BarraStrumenti->Enabled = step == 1;
    MDimensioneSchemi->Enabled = step == 1;
    VisualizzaAttenuazioni->Enabled = step == 2 && drawingPage;
    MOpzioni->Enabled = true;
    Personalizzazione->Enabled = true;
    if (!Opzioni) return;
    const TOpzioni& o = *Opzioni;
    BarraStrumenti->Checked = o.showToolbar;
    PannelloCodici->Checked = o.showCodesPanel;
    VisualizzaAttenuazioni->Checked = o.showAttenuations;
    Attiva->Checked = o.hbInformation;
    Attenuazioni->Checked = o.hbAttenuations;
    SegnaliLimite->Checked = o.hbSignalLimits;
    CanaliGenerati->Checked = o.hbGeneratedChannels;
    CanaliDistribuiti->Checked = o.hbDistributedChannels;
    CaviND->Checked = o.cablesNotDescribed;
    ComponentiCND->Checked = o.componentsCNotDescribed;
    ComponentiND->Checked = o.componentsNotDescribed;
}

void TAntenne::Trova1Click(TObject*) {
    DrawWindow->HideEditor();
    const bool calculating = CurrentProject && CurrentProject->Step == 2;
    for (TMenuItem* item : {CavoND, ComponenteCND, ComponenteND}) item->Enabled = calculating;
}

void TAntenne::Calcoli1Click(TObject*) {
    DrawWindow->HideEditor();
    const bool calculating = CurrentProject && CurrentProject->Step == 2;
    for (TMenuItem* item : {Segnalialleprese1, Limititerminaleditesta1, Attenuazionetraleprese1})
        item->Enabled = calculating && FindPage(PageRete);
    Cancellacalcoli1->Enabled = calculating;
}

void TAntenne::Speciali1Click(TObject*) {
    DrawWindow->HideEditor();
    // The automatic choice keeps the drawing: it needs a calculated network
    // whose every cell may take a model of the library.
    DetAutComp1->Enabled = CurrentProject && CurrentProject->Step == 2 && FindPage(PageRete) &&
                           CurrentProject->AllowsAutoChoice();
    DetAutSost->Enabled = true;
    Autoprogetto1->Enabled = true;
    GestioneLibrerie1->Enabled = true;
}

void TAntenne::Aiuto1Click(TObject*) {
    DrawWindow->HideEditor();
    Info1->Enabled = true;
}

// ---------------------------------------------------------------- files

bool TAntenne::ChangesMayGo() {
    return !(CurrentProject && CurrentProject->Modified && QuerySaveChanges() == IDCANCEL);
}

void TAntenne::New1Click(TObject*) {
    if (!ChangesMayGo()) return;
    RunAutoDesignWizard(true);
}

void TAntenne::Open1Click(TObject*) {
    if (!ChangesMayGo()) return;
    if (!OpenDialog->Execute()) return;
    DrawWindow->BeginUpdate();
    if (LoadProject(OpenDialog->FileName, *CurrentProject) == 0) {
        ShowProject(CurrentProject);
        AfterLoad();
    }
    DrawWindow->EndUpdate();
}

void TAntenne::SaveAs() {
    if (CurrentProject->Name != UntitledProjectName) SaveDialog->FileName = CurrentProject->Name;
    if (!SaveDialog->Execute()) return;
    const AnsiString file = SaveDialog->FileName;
    if (FileExists(file) &&
        Application->MessageBox("Il file " + file + " è già esistente. Sovrascrivere?", ApplicationTitle,
                                MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return;
    SaveProject(file, *CurrentProject, ProjectVersionCurrent);
}

void TAntenne::SalvaconNome1Click(TObject*) { SaveAs(); }

void TAntenne::Salva1Click(TObject*) {
    if (CurrentProject->Name == UntitledProjectName)
        SaveAs();
    else
        SaveProject(CurrentProject->Name, *CurrentProject, ProjectVersionCurrent);
}

void TAntenne::Daticommittente1Click(TObject*) {
    if (DatiCommittente) TDatiCommittente::Edit(*DatiCommittente, *CurrentProject);
}

void TAntenne::OpenRecentFile(int index) {
    if (!Ini) return;
    const AnsiString file = Ini->String("FileName" + IntToStr(index + 1));
    if (file.empty() || !ChangesMayGo()) return;
    DrawWindow->BeginUpdate();
    const int loaded = LoadProject(file, *CurrentProject);
    ShowProject(CurrentProject);
    // A file that did not load leaves the project as it was: a drawing stays a drawing.
    if (loaded == 0) AfterLoad();
    DrawWindow->EndUpdate();
}

void TAntenne::Impostastampante1Click(TObject*) {
    TPrinterSetupDialog dialog(this);
    dialog.Execute();
}

// ---------------------------------------------------------------- editing

void TAntenne::Annulla1Click(TObject*) { DrawWindow->UndoClick(); }

void TAntenne::Taglia1Click(TObject*) { DrawWindow->CutClick(); }

void TAntenne::Copia1Click(TObject*) { DrawWindow->CopyClick(); }

// The paste goes where the selection begins; the selection stays as it is.
void TAntenne::IncollaClick(TObject* Sender) {
    using Kind = TDrawWindow::TPasteKind;
    const Kind kind = Sender == IncollaS   ? Kind::Mirrored
                      : Sender == Ruota90  ? Kind::Rotated90
                      : Sender == Ruota180 ? Kind::Rotated180
                      : Sender == Ruota270 ? Kind::Rotated270
                                           : Kind::Plain;
    const TGridRect selection = DrawWindow->Selection;
    DrawWindow->PasteAt(kind, selection.Left, selection.Top);
}

void TAntenne::Elimina1Click(TObject*) { DrawWindow->DeleteClick(); }

void TAntenne::BEliminaPreventivoClick(TObject*) { EstimatePage->BEliminaPreventivoClick(nullptr); }

void TAntenne::EliminaDescrizioniClick(TObject* Sender) {
    const char* what = Sender == EliminaDCavi    ? "tutti i cavi"
                       : Sender == EliminaDPrese ? "tutte le prese"
                                                 : "tutti i componenti";
    if (Application->MessageBox(AnsiString("Sei sicuro di volere eliminare le descrizioni di ") + what + "?",
                                ApplicationTitle, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;
    if (Sender == EliminaDCavi)
        DrawWindow->ClearCableDescriptions();
    else if (Sender == EliminaDPrese)
        DrawWindow->ClearOutletDescriptions();
    else
        DrawWindow->ClearAllDescriptions();
}

// ---------------------------------------------------------------- view

void TAntenne::SetSquareSize(int32_t size) {
    DrawWindow->SetSquareSize(size);
    if (Opzioni) Opzioni->gridWidth = size;
    if (Ini) Ini->WriteInteger("DGWidth", size);
}

void TAntenne::ZoomAvantiClick(TObject*) {
    DrawWindow->BeginUpdate();
    if (DrawWindow->DefaultColWidth != SquarePixels) {
        SetSquareSize(SquareSmall);
        ZoomAvanti->Enabled = false;
    } else {
        SetSquareSize(SquareMiddle);
        ZoomIndietro->Enabled = true;
    }
    LayoutPanels();
    DrawWindow->EndUpdate();
}

void TAntenne::ZoomIndietroClick(TObject*) {
    DrawWindow->BeginUpdate();
    if (DrawWindow->DefaultColWidth != SquareSmall) {
        SetSquareSize(SquarePixels);
        ZoomIndietro->Enabled = false;
    } else {
        SetSquareSize(SquareMiddle);
    }
    ZoomAvanti->Enabled = true;
    LayoutPanels();
    DrawWindow->EndUpdate();
}

void TAntenne::FocusDrawWindow() {
    if (!DrawWindow->Visible || DrawWindow->Focused()) return;
    DrawWindow->Selection =
        TGridRect{DrawWindow->LeftCol, DrawWindow->TopRow, DrawWindow->LeftCol, DrawWindow->TopRow};
    DrawWindow->SetFocus();
}

void TAntenne::BarraStrumentiClick(TObject*) {
    if (!Opzioni) return;
    const bool wasTicked = BarraStrumenti->Checked;
    Opzioni->showToolbar = !wasTicked;
    if (Ini) Ini->WriteBool(DisplaySwitchKey(&TOpzioni::showToolbar), Opzioni->showToolbar);
    if (wasTicked) {
        Palette->Visible = false;
        LayoutPanels();
        FocusDrawWindow();
    } else {
        LayoutPanels();
        Palette->Visible = DrawWindow->Visible.Get();
    }
}

void TAntenne::PannelloCodiciClick(TObject*) {
    if (!Opzioni) return;
    PannelloCodici->Checked = !PannelloCodici->Checked;
    Opzioni->showCodesPanel = PannelloCodici->Checked;
    if (Ini) Ini->WriteBool(DisplaySwitchKey(&TOpzioni::showCodesPanel), Opzioni->showCodesPanel);
    if (PannelloCodici->Checked) {
        CodesPanel->Visible = DrawWindow->Visible.Get();
        LayoutPanels();
        return;
    }
    CodesPanel->Visible = false;
    LayoutPanels();
    FocusDrawWindow();
    Palette->TakeArticle = 0;
    CodesPanel->Tree->HideSelection = true;
    CodesPanel->CodeList->Items->Clear();
    CodesPanel->CodeList->Text = "";
}

void TAntenne::ApplyDisplayOptions() {
    if (!Opzioni) return;
    DrawWindow->HighlightCables = Opzioni->cablesNotDescribed;
    DrawWindow->HighlightCells = Opzioni->componentsNotDescribed;
    DrawWindow->HighlightCalculationCells = Opzioni->componentsCNotDescribed;
    DrawWindow->HintsActive = Opzioni->hbInformation;
}

void TAntenne::DisplayOptionClick(TObject* Sender) {
    if (!Opzioni) return;
    // The menu item of each switch (its key is the options' table's).
    struct TSwitch {
        TMenuItem* TAntenne::*Item;
        bool TOpzioni::*Flag;
        bool Repaints;
    };
    // clang-format off
    static constexpr TSwitch Switches[] = {
        {&TAntenne::VisualizzaAttenuazioni, &TOpzioni::showAttenuations, true},
        {&TAntenne::Attiva, &TOpzioni::hbInformation, false},
        {&TAntenne::Attenuazioni, &TOpzioni::hbAttenuations, false},
        {&TAntenne::SegnaliLimite, &TOpzioni::hbSignalLimits, false},
        {&TAntenne::CanaliGenerati, &TOpzioni::hbGeneratedChannels, false},
        {&TAntenne::CanaliDistribuiti, &TOpzioni::hbDistributedChannels, false},
        {&TAntenne::CaviND, &TOpzioni::cablesNotDescribed, true},
        {&TAntenne::ComponentiCND, &TOpzioni::componentsCNotDescribed, true},
        {&TAntenne::ComponentiND, &TOpzioni::componentsNotDescribed, true},
    };
    // clang-format on
    for (const TSwitch& s : Switches) {
        TMenuItem* item = this->*s.Item;
        if (item != Sender) continue;
        Opzioni->*s.Flag = !item->Checked;
        if (Ini) Ini->WriteBool(DisplaySwitchKey(s.Flag), Opzioni->*s.Flag);
        ApplyDisplayOptions();
        if (s.Repaints && DrawWindow->Visible) DrawWindow->Invalidate();
        return;
    }
}

void TAntenne::MDimensioneSchemiClick(TObject*) {
    if (!DimensioneSchemi || !CurrentProject) return;
    TDimensioneSchemi& form = *DimensioneSchemi;
    TGridData* network = CurrentProject->NetworkGrid;
    TGridData* headEnd = CurrentProject->HeadEndGrid;
    network->GetMinimumSize(form.NetworkMinColumns, form.NetworkMinRows);
    headEnd->GetMinimumSize(form.HeadEndMinColumns, form.HeadEndMinRows);
    form.ERRighe->Text = IntToStr(network->Rows);
    form.ERColonne->Text = IntToStr(network->Columns);
    form.ETRighe->Text = IntToStr(headEnd->Rows);
    form.ETColonne->Text = IntToStr(headEnd->Columns);
    if (form.ShowModal() != mrOk) return;

    // The view keeps its place: the network's middle, the head end's bottom.
    auto resize = [this](TGridData* grid, int32_t columns, int32_t rows, bool fromBottom) {
        const bool shown = DrawWindow->Grid() == grid;
        const int32_t oldColumns = grid->Columns, oldRows = grid->Rows;
        const int32_t left = shown ? DrawWindow->LeftCol.Get() : 0,
                      top = shown ? DrawWindow->TopRow.Get() : 0;
        if (!grid->Resize(columns, rows)) return;
        if (!shown) return;
        DrawWindow->ColCount = grid->Columns;
        DrawWindow->RowCount = grid->Rows;
        const int32_t newLeft = fromBottom ? left : left + (columns - oldColumns + 1) / 2;
        const int32_t newTop = fromBottom ? top + (rows - oldRows) : top;
        auto clamp = [](int32_t v, int32_t count, int32_t visible) {
            return std::max(0, std::min(v, count - visible));
        };
        DrawWindow->LeftCol = clamp(newLeft, grid->Columns, DrawWindow->VisibleColCount());
        DrawWindow->TopRow = clamp(newTop, grid->Rows, DrawWindow->VisibleRowCount());
    };
    DrawWindow->BeginUpdate();
    resize(network, TDimensioneSchemi::SizeOf(form.ERColonne), TDimensioneSchemi::SizeOf(form.ERRighe),
           false);
    resize(headEnd, TDimensioneSchemi::SizeOf(form.ETColonne), TDimensioneSchemi::SizeOf(form.ETRighe), true);
    DrawWindow->EndUpdate();
    CurrentProject->SetModified(ModDrawing);
}

void TAntenne::MOpzioniClick(TObject*) {
    const float labourCost = Opzioni ? Opzioni->costM : 0.0f;
    const int priceCurrency = Opzioni ? Opzioni->priceCurrency : 0;
    if (!EditProgramOptions() || !CurrentProject) return;
    // The verdicts and colours of the calculated pages follow the limits: they
    // are worked out again when shown (at once for the page on screen).
    for (TGridData* grid : {CurrentProject->NetworkGrid, CurrentProject->HeadEndGrid})
        if (grid) grid->MarkAllOutOfDate();
    // The estimate is priced at the labour cost and in the currency of the
    // options: it is built again at its next showing or printing (rows added
    // by hand kept), and the project holds the new prices.
    const bool prices = Opzioni && (Opzioni->costM != labourCost || Opzioni->priceCurrency != priceCurrency);
    if (prices) {
        CurrentProject->EstimateOutOfDate = true;
        CurrentProject->Modified = true;
    }
    const AnsiString shown = SelectedPage();
    if (shown == PageCalcoliRete || shown == PageCalcoliReteRichiesti || shown == PageCalcoliCanali ||
        shown == PageCalcoliCanaliRichiesti || (prices && shown == PagePreventivo))
        ShowSelectedPage();
}

// ---------------------------------------------------------------- finding

void TAntenne::FindClick(TObject* Sender) {
    TGridData* grid = DrawWindow->Grid();
    if (!grid || !grid->Anchor) return;
    for (TCella* cell = grid->Anchor->NextCell; cell; cell = cell->NextCell) {
        if (cell->Described) continue;
        const bool found = Sender == CavoND          ? cell->TypeCode == CodeCable
                           : Sender == ComponenteCND ? !cell->NeedsNoDescription()
                                                     : true;
        if (!found) continue;
        DrawWindow->CenterOn(cell->Column, cell->Row);
        return;
    }
}

// ---------------------------------------------------------------- calculations and tools

void TAntenne::NetworkReportClick(TObject*) { SelectPage(PageCalcoliRete); }

void TAntenne::Cancellacalcoli1Click(TObject*) {
    // The required levels are worked out again when their page is next shown.
    if (CurrentProject && CurrentProject->NetworkGrid) CurrentProject->NetworkGrid->RequiredOutOfDate = true;
    ReteRichiestiReport.Report->Lines->Clear();
    CanaliRichiestiReport.Report->Lines->Clear();
    CanaliRichiestiReport.Messages->Items->Clear();
}

void TAntenne::DetAutSostClick(TObject*) {
    // The sized mast is shown whatever page the command came from.
    if (MastPage->DetAutSostClick(nullptr)) SelectPage(PageSostegno);
}

// ---------------------------------------------------------------- the channel pages' message lists

AnsiString ComponentNameBefore(const AnsiString& line, int caret) {
    caret = std::min<int>(caret, static_cast<int>(line.size()));
    int colon = caret - 1;
    while (colon >= 0 && line[static_cast<size_t>(colon)] != ':') --colon;
    if (colon <= 0) return "";
    int start = colon;
    while (start > 0 && std::isalnum(static_cast<unsigned char>(line[static_cast<size_t>(start - 1)])))
        --start;
    return line.substr(static_cast<size_t>(start), static_cast<size_t>(colon - start));
}

void TAntenne::MessageListMouseDown(TObject* Sender, TMouseButton, TShiftState, int X, int Y) {
    auto* list = dynamic_cast<TListBox*>(Sender);
    if (!list) return;
    const int index = list->ItemAtPos(TPoint(X, Y), true);
    if (index < 0) return;
    const AnsiString line = list->Items->Strings(index);
    // The caret: the characters left of the click.
    TCanvas* canvas = ReportPages().MeasuringCanvas();
    canvas->Font->Assign(*list->Font);
    int caret = 0;
    while (caret < static_cast<int>(line.size()) && canvas->TextWidth(line.substr(0, caret + 1)) <= X - 2)
        ++caret;
    const AnsiString name = ComponentNameBefore(line, caret);
    if (name.empty()) return;
    if (!Timer->Enabled) {
        Timer->Interval = 300;
        Timer->Enabled = true;
        return;
    }
    ShowNamedCell(name);
}

void TAntenne::ShowNamedCell(const AnsiString& name) {
    if (!CurrentProject) return;
    auto find = [&name](TGridData* grid) -> TCella* {
        for (TCella* cell = grid->Anchor; cell; cell = cell->NextCell)
            if (cell->GetShortCode() == name) return cell;
        return nullptr;
    };
    // The network first; a name it does not hold (a head-end cell named by a
    // channel message) is looked for in the head end.
    if (FindPage(PageRete) && CurrentProject->NetworkGrid) {
        if (TCella* cell = find(CurrentProject->NetworkGrid)) {
            SelectPage(PageRete);
            DrawWindow->CenterOn(cell->Column, cell->Row);
            return;
        }
    }
    if (!CurrentProject->HeadEndGrid) return;
    if (TCella* cell = find(CurrentProject->HeadEndGrid)) {
        SelectPage(PageTesta);
        DrawWindow->CenterOn(cell->Column, cell->Row);
    }
}

void TAntenne::Esci1Click(TObject*) { Close(); }

void TAntenne::Info1Click(TObject*) {
    if (AboutBox) AboutBox->ShowModal();
}

void TAntenne::PersonalizzazioneClick(TObject*) {
    if (!DatiIntestazione || DatiIntestazione->ShowModal() != mrOk) return;
    HeaderText = DatiIntestazione->BuildHeaderText();
    StatusBar->Panels->Items[1]->Text = HeaderText;
}
