// The main window's menu: its items with their captions and shortcuts, and
// the commands behind them.
#include "app/about_box.h"
#include "app/main_form.h"
#include "app/program.h"
#include "dialogs/installer_data.h"
#include "platform/application.h"

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
    New1 = AddWaiting(File1, "&Nuovo");
    Open1 = AddWaiting(File1, "&Apri");
    Salva1 = AddWaiting(File1, "&Salva");
    SalvaconNome1 = AddWaiting(File1, "Salva &con Nome");
    AddLine(File1);
    Daticommittente1 = AddWaiting(File1, "Dati &progettuali");
    FileNameLine = AddItem(File1, "-");
    FileNameLine->Visible = false;
    TMenuItem** recent[] = {&FileName1, &FileName2, &FileName3, &FileName4};
    for (TMenuItem** item : recent) {
        *item = AddWaiting(File1, "");
        (*item)->Visible = false;
    }
    AddLine(File1);
    Nuovalibreria = AddWaiting(File1, "Nuova &libreria");
    Nuovalibreria->Visible = false;
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
    Impostastampante1 = AddWaiting(Stampa2, "&Imposta stampante");

    Modify1 = AddItem(bar, "&Modifica");
    Annulla1 = AddWaiting(Modify1, "&Annulla");
    AddLine(Modify1);
    Taglia1 = AddWaiting(Modify1, "&Taglia");
    Copia1 = AddWaiting(Modify1, "&Copia");
    Incolla1 = AddWaiting(Modify1, "&Incolla");
    IncollaS = AddWaiting(Modify1, "Incolla &speculare");
    IncollaR = AddWaiting(Modify1, "Incolla &ruotato");
    Ruota90 = AddWaiting(IncollaR, "90°");
    Ruota180 = AddWaiting(IncollaR, "180°");
    Ruota270 = AddWaiting(IncollaR, "270°");
    Elimina1 = AddWaiting(Modify1, "&Elimina");
    BEliminaPreventivo = AddWaiting(Modify1, "&Elimina linea preventivo");
    EliminaDescrizioni = AddWaiting(Modify1, "Elimina descrizioni componenti");
    EliminaDCavi = AddWaiting(EliminaDescrizioni, "Cavi");
    EliminaDPrese = AddWaiting(EliminaDescrizioni, "Prese");
    EliminaDTutti = AddWaiting(EliminaDescrizioni, "Tutti");

    Visualizza1 = AddItem(bar, "&Visualizza");
    ZoomAvanti = AddWaiting(Visualizza1, "Zoom &avanti", ::ShortCut('I', TShiftState{ssCtrl}));
    ZoomIndietro = AddWaiting(Visualizza1, "Zoom &indietro", ::ShortCut('O', TShiftState{ssCtrl}));
    ZoomLine = AddItem(Visualizza1, "-");
    BarraStrumenti = AddWaiting(Visualizza1, "&Barra Strumenti");
    PannelloCodici = AddWaiting(Visualizza1, "Pannello codici");
    VisualizzaAttenuazioni = AddWaiting(Visualizza1, "Attenuazioni e &lunghezze");
    Informazioni = AddWaiting(Visualizza1, "Informazioni");
    Attiva = AddWaiting(Informazioni, "Attiva");
    AddLine(Informazioni);
    Attenuazioni = AddWaiting(Informazioni, "Attenuazioni");
    SegnaliLimite = AddWaiting(Informazioni, "Segnali richiesti");
    CanaliGenerati = AddWaiting(Informazioni, "Canali generati");
    CanaliDistribuiti = AddWaiting(Informazioni, "Canali distribuiti");
    Evidenzia = AddWaiting(Visualizza1, "Evidenzia");
    CaviND = AddWaiting(Evidenzia, "Cavi non definiti");
    ComponentiCND = AddWaiting(Evidenzia, "Componenti calcoli non definiti");
    ComponentiND = AddWaiting(Evidenzia, "Componenti non definiti");
    AddLine(Visualizza1);
    MDimensioneSchemi = AddWaiting(Visualizza1, "&Dimensione schemi");
    MOpzioni = AddWaiting(Visualizza1, "&Opzioni");
    Personalizzazione = AddItem(Visualizza1, "&Personalizzazione");
    Personalizzazione->OnClick = Handler(this, &TAntenne::PersonalizzazioneClick);

    Trova1 = AddItem(bar, "&Trova");
    CavoND = AddWaiting(Trova1, "Cavo non definito");
    ComponenteCND = AddWaiting(Trova1, "Componente calcoli non definito");
    ComponenteND = AddWaiting(Trova1, "Componente non definito");

    Calcoli1 = AddItem(bar, "&Calcoli");
    Segnalialleprese1 = AddWaiting(Calcoli1, "&Attenuazione alle prese");
    Limititerminaleditesta1 = AddWaiting(Calcoli1, "Segnali &richiesti ai componenti");
    Attenuazionetraleprese1 = AddWaiting(Calcoli1, "Se&parazione tra le prese");
    CanaliComponenti = AddWaiting(Calcoli1, "Ca&nali ai componenti");
    CanaliComponenti->Visible = false;
    AddLine(Calcoli1);
    Cancellacalcoli1 = AddWaiting(Calcoli1, "&Cancella calcoli");

    Speciali1 = AddItem(bar, "S&trumenti");
    DetAutComp1 = AddWaiting(Speciali1, "Determinazione automatica &componenti");
    DetAutSost = AddWaiting(Speciali1, "Determinazione automatica &sostegno");
    Autoprogetto1 = AddWaiting(Speciali1, "Autoprogetto");
    AddLine(Speciali1);
    GestioneLibrerie1 = AddWaiting(Speciali1, "Gestione librerie");

    Aiuto1 = AddItem(bar, "&Aiuto");
    Info1 = AddItem(Aiuto1, "&Info");
    Info1->OnClick = Handler(this, &TAntenne::Info1Click);

    Menu = MainMenu;
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
