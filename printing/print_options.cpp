#include "printing/print_options.h"

#include <algorithm>

#include "core/band_systems.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "document/lightning.h"
#include "document/mast.h"
#include "document/project.h"
#include "platform/dialogs.h"
#include "platform/printers.h"
#include "platform/utf8.h"

namespace {

constexpr int LineHigh = 17;

}  // namespace

TDatiStampa::TDatiStampa(TComponent* owner) : TForm(owner) {
    Caption = AnsiString(ApplicationTitle) + " - Dati stampa";
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    Width = 779;
    Height = 443;
    OnShow = Handler(this, &TDatiStampa::PrepareShow);

    // A group's caption takes its top 24 pixels: its contents start below.
    auto group = [this](TWinControl* parent, int l, int t, int w, int h, const char* caption) {
        TGroupBox* g = MakeControl<TGroupBox>(this, parent, l, t, w, h);
        g->Caption = caption;
        return g;
    };
    auto box = [this](TWinControl* parent, int l, int t, int w, const char* caption,
                      void (TDatiStampa::*click)(TObject*) = nullptr) {
        TCheckBox* c = MakeControl<TCheckBox>(this, parent, l, t, w, LineHigh);
        c->Caption = caption;
        if (click) c->OnClick = Handler(this, click);
        return c;
    };
    auto radio = [this](TWinControl* parent, int l, int t, int w, const char* caption) {
        TRadioButton* r = MakeControl<TRadioButton>(this, parent, l, t, w, LineHigh);
        r->Caption = caption;
        return r;
    };
    auto label = [this](TWinControl* parent, int l, int t, int w, const char* caption) {
        TLabel* c = MakeControl<TLabel>(this, parent, l, t, w, 13);
        c->Caption = caption;
        return c;
    };
    auto button = [this](int l, int t, const char* caption, void (TDatiStampa::*click)(TObject*)) {
        TButton* b = MakeControl<TButton>(this, this, l, t, 75, 25);
        b->Caption = caption;
        b->OnClick = Handler(this, click);
        return b;
    };

    GDocumenti = group(this, 8, 8, 193, 217, "Documenti da stampare ");
    CDichiarazione = box(GDocumenti, 8, 24, 177, "Dichiarazione di conformità");
    CSchemi = box(GDocumenti, 8, 48, 177, "Schemi");
    CMateriale = box(GDocumenti, 8, 72, 177, "Tipologia materiale");
    CPreventivo = box(GDocumenti, 8, 96, 177, "Preventivo");
    CCapitolato = box(GDocumenti, 8, 120, 177, "Capitolato");
    CCalcoli = box(GDocumenti, 8, 144, 177, "Calcoli");
    CRelSostegno = box(GDocumenti, 8, 168, 177, "Relazione sostegno");
    // The longest caption of the group takes the group's width to its border.
    CRelScariche = box(GDocumenti, 8, 192, 183, "Relazione scariche atmosferiche");
    GCopertine = group(this, 8, 232, 193, 137, "Copertine ");
    RCopPreventivo = radio(GCopertine, 8, 24, 177, "Preventivo di spesa");
    RCopEsecuzione = radio(GCopertine, 8, 46, 177, "Esecuzione dei lavori");
    RCopDichiarazione = radio(GCopertine, 8, 68, 177, "Dichiarazione di conformità");
    RCopSemplice = radio(GCopertine, 8, 90, 177, "Semplice");
    RCopNessuna = radio(GCopertine, 8, 112, 177, "Nessuna copertina");
    LStampante = label(this, 216, 24, 65, "Stampante:");
    CBStampante = MakeControl<TComboBox>(this, this, 288, 16, 337, 21);
    CBStampante->Style = csDropDownList;
    CBStampante->OnChange = Handler(this, &TDatiStampa::PrinterChange);
    BImposta = button(640, 16, "Imposta", &TDatiStampa::PrinterSetupClick);
    LCopie = label(this, 256 - 8 - 40, 384, 40, "Copie:");
    LCopie->Alignment = taRightJustify;
    ECopie = MakeControl<TEdit>(this, this, 256, 376, 49, 21);
    ECopie->Text = "1";
    ECopie->Holds(TNumberRule::Whole(1, 99), "Copie");
    BAnteprima = button(510, 376, "Anteprima", &TDatiStampa::PreviewClick);
    BAnnulla = button(598, 376, "Annulla", &TDatiStampa::CancelClick);
    BAnnulla->Cancel = true;
    BStampa = button(686, 376, "Stampa", &TDatiStampa::PrintClick);

    Pagine = MakeControl<TPageControl>(this, this, 208, 56, 553, 313);
    Pagine->Font->Height = -11;
    auto sheet = [this](const char* caption) {
        auto* s = new TTabSheet(this);
        s->Caption = caption;
        s->PageControl = Pagine;
        return s;
    };
    TSchemi = sheet("Schemi");
    TCalcoli = sheet("Calcoli");
    TDichiarazione = sheet("Dichiarazione");
    TMateriale = sheet("Materiale e preventivi");
    TSostegno = sheet("Sostegno e fulmini");
    Pagine->ActivePage = TSchemi;

    GSchemi = group(TSchemi, 8, 8, 185, 113, "Schemi da stampare ");
    CSTesta = box(GSchemi, 8, 24, 169, "Testa", &TDatiStampa::SchemeTestaClick);
    CSRete = box(GSchemi, 8, 46, 169, "Rete", &TDatiStampa::SchemeReteClick);
    CSStessoFoglio =
        box(GSchemi, 8, 68, 169, "Rete e testa sullo stesso foglio", &TDatiStampa::SameSheetClick);
    CSArea = box(GSchemi, 8, 90, 169, "Area selezionata", &TDatiStampa::SelectedAreaClick);
    GOrientamento = group(TSchemi, 8, 128, 185, 97, "Orientamento stampa ");
    ROrizzontale = radio(GOrientamento, 8, 24, 169, "Orizzontale");
    RVerticale = radio(GOrientamento, 8, 48, 169, "Verticale");
    ROttimale = radio(GOrientamento, 8, 72, 169, "Ottimale");
    ROttimale->Checked = true;
    GNumerazione = group(TSchemi, 216, 8, 201, 185, "Numerazione componenti ");
    CNumeri = box(GNumerazione, 8, 24, 177, "Stampa numeri componenti");
    CNumeri->Checked = true;
    CCodici = box(GNumerazione, 8, 56, 177, "Stampa codici componenti");
    CLunghezze = box(GNumerazione, 8, 88, 177, "Stampa lunghezze cavi");
    CAttenuazioni =
        box(GNumerazione, 8, 120, 188, "Stampa attenuazioni componenti", &TDatiStampa::AttenuationsClick);
    LFrequenza = label(GNumerazione, 96 - 8 - 60, 152, 60, "Frequenza:");
    LFrequenza->Alignment = taRightJustify;
    LFrequenza->Enabled = false;
    CBFrequenza = MakeControl<TComboBox>(this, GNumerazione, 96, 144, 73, 21);
    CBFrequenza->Enabled = false;
    CBFrequenza->OnEnter = Handler(this, &TDatiStampa::FillFrequencies);

    GCalcoliRete = group(TCalcoli, 8, 16, 369, 97, "Calcoli di rete");
    CMinMaxTesta = box(GCalcoliRete, 8, 24, 350, "Segnali minimi e massimi ammessi al terminale di testa");
    CMinMaxPrese = box(GCalcoliRete, 8, 48, 350, "Segnali minimi e massimi ottenibili alle prese");
    CSepPrese = box(GCalcoliRete, 8, 72, 273, "Separazione tra le prese");
    GCalcoliCanali = group(TCalcoli, 8, 128, 369, 73, "Calcoli dei canali");
    CCanaliTesta = box(GCalcoliCanali, 8, 24, 350, "Segnali dei canali in uscita al terminale di testa");
    CCanaliPrese = box(GCalcoliCanali, 8, 48, 273, "Segnali dei canali alle prese");
    GSelezione = group(TCalcoli, 384, 16, 153, 233, "Selezione prese");
    RTutte = radio(GSelezione, 8, 24, 65, "Tutte");
    RTutte->OnClick = Handler(this, &TDatiStampa::AllOutletsClick);
    RAlcune = radio(GSelezione, 8, 48, 65, "Alcune");
    RAlcune->OnClick = Handler(this, &TDatiStampa::SomeOutletsClick);
    LPrese = MakeControl<TListBox>(this, GSelezione, 8, 72, 137, 153);
    LPrese->MultiSelect = true;

    GAllegati = group(TDichiarazione, 8, 8, 529, 161, "Allegati");
    const struct {
        TDeclarationAttachment which;
        int left, top, width;
        const char* caption;
    } attachments[] = {
        {daScheme, 8, 24, 161, "Schema dell'impianto"},
        {daProject, 8, 46, 161, "Progetto"},
        {daReferences, 8, 68, 161, "Riferimenti altre dichiarazioni"},
        {daMaterials, 264, 24, 193, "Tipologia dei materiali"},
        {daMast, 264, 46, 193, "Calcoli dimensionamento sostegno"},
        {daLightning, 264, 68, 193, "Calcoli protezione fulmini"},
    };
    for (const auto& a : attachments) CAllegati[a.which] = box(GAllegati, a.left, a.top, a.width, a.caption);
    LAltriAllegati = label(GAllegati, 8, 92, 200, "Altri allegati");
    EAllegati[0] = MakeControl<TEdit>(this, GAllegati, 8, 108, 513, 21);
    EAllegati[0]->Holds(TNumberRule::Text(), "Allegati");
    EAllegati[1] = MakeControl<TEdit>(this, GAllegati, 8, 133, 513, 21);
    EAllegati[1]->Holds(TNumberRule::Text(), "Allegati");
    GNorme = group(TDichiarazione, 8, 176, 529, 97, "Norme seguite");
    const struct {
        TDeclarationNorm which;
        int left, top, width;
        const char* caption;
    } norms[] = {
        {dn12_43, 8, 24, 100, "12.43"},      {dn100_6, 149, 24, 100, "100.6"},
        {dn100_7, 290, 24, 100, "100.7"},    {dn81_1, 8, 46, 100, "81.1"},
        {dn81_3, 149, 46, 100, "81.3"},      {dn81_4, 290, 46, 100, "81.4"},
        {dn81_10_2, 432, 46, 80, "81.10-2"},
    };
    for (const auto& n : norms) CNorme[n.which] = box(GNorme, n.left, n.top, n.width, n.caption);
    LAltre = label(GNorme, 8, 75, 44, "Altre:");
    EAltre = MakeControl<TEdit>(this, GNorme, 56, 71, 465, 21);
    EAltre->Holds(TNumberRule::Text(), "Altre");

    GElementi = group(TMateriale, 8, 8, 169, 97, "Elementi da stampare ");
    CMTesta = box(GElementi, 8, 24, 150, "Testa", &TDatiStampa::MaterialTestaClick);
    CMRete = box(GElementi, 8, 48, 150, "Rete", &TDatiStampa::MaterialReteClick);
    CMUnite = box(GElementi, 8, 72, 150, "Rete e testa unite", &TDatiStampa::MaterialJoinedClick);
    CMTesta->Checked = CMRete->Checked = CMUnite->Checked = true;
    GOpzioni = group(TMateriale, 8, 112, 169, 49, "Opzioni di stampa ");
    CCompresso = box(GOpzioni, 8, 24, 150, "Stampa elenco compresso");

    CErrori = box(TSostegno, 8, 8, 401, "Segnala eventuali errori su stampa");
    CErrori->Checked = true;
    LNoteSostegno = label(TSostegno, 8, 32, 160, "Note su relazione sostegno:");
    MNoteSostegno = MakeControl<TMemo>(this, TSostegno, 8, 48, 529, 89);
    MNoteSostegno->Font->Height = -11;
    LNoteFulmini = label(TSostegno, 8, 144, 191, "Note su relazione fulmini:");
    MNoteFulmini = MakeControl<TMemo>(this, TSostegno, 8, 160, 529, 89);
    MNoteFulmini->Font->Height = -11;
    LNormaSostegno = label(TSostegno, 8, 264, 110, "Norma sostegno:");
    ENormaSostegno = MakeControl<TEdit>(this, TSostegno, 132, 256, 137, 21);
    ENormaSostegno->Holds(TNumberRule::Text(), "Norma sostegno");
    LNormaFulmini = label(TSostegno, 290, 264, 100, "Norma fulmini:");
    ENormaFulmini = MakeControl<TEdit>(this, TSostegno, 400, 256, 137, 21);
    ENormaFulmini->Holds(TNumberRule::Text(), "Norma fulmini");
    // As much as the project file keeps of each.
    MNoteSostegno->MaxLength = MNoteFulmini->MaxLength = MastTextMax;
    ENormaSostegno->MaxLength = ENormaFulmini->MaxLength = MastNormMax;

    FillPrinters();
}

void TDatiStampa::FillPrinters() {
    TPrinter* printer = Printer();
    CBStampante->Items->Assign(*printer->Printers);
    // With no printer chosen the default one prints: the combo names it.
    CBStampante->ItemIndex = printer->CurrentPrinterIndex();
}

void TDatiStampa::PrepareShow(TObject*) {
    const bool drawing = SelectedPage == "Rete" || SelectedPage == "Testa";
    const bool block = Selection.Left < Selection.Right && Selection.Top < Selection.Bottom;
    CSArea->Enabled = drawing && block;
    if (!CSArea->Enabled) CSArea->Checked = false;
    FillPrinters();
}

void TDatiStampa::PrintClick(TObject*) { ModalResult = mrOk; }
void TDatiStampa::CancelClick(TObject*) { ModalResult = mrCancel; }
void TDatiStampa::PreviewClick(TObject*) { ModalResult = 6; }

void TDatiStampa::PrinterSetupClick(TObject*) {
    TPrinterSetupDialog dialog(this);
    dialog.Execute();
    FillPrinters();
}

void TDatiStampa::PrinterChange(TObject*) {
    const int index = CBStampante->ItemIndex;
    if (index >= 0 && index < Printer()->Printers->Count()) Printer()->SetPrinterIndex(index);
}

void TDatiStampa::AllOutletsClick(TObject*) { LPrese->Enabled = false; }
void TDatiStampa::SomeOutletsClick(TObject*) { LPrese->Enabled = true; }

void TDatiStampa::SchemeTestaClick(TObject* Sender) {
    auto* box = static_cast<TCheckBox*>(Sender ? Sender : CSTesta);
    if (box->Checked)
        CSArea->Checked = false;
    else
        CSStessoFoglio->Checked = false;
}

void TDatiStampa::SchemeReteClick(TObject*) { SchemeTestaClick(CSRete); }

void TDatiStampa::SameSheetClick(TObject*) {
    if (!CSStessoFoglio->Checked) return;
    CSRete->Checked = CSTesta->Checked = true;
    CSArea->Checked = false;
}

void TDatiStampa::SelectedAreaClick(TObject*) {
    if (!CSArea->Checked) return;
    CSRete->Checked = CSTesta->Checked = CSStessoFoglio->Checked = false;
}

void TDatiStampa::MaterialTestaClick(TObject* Sender) {
    auto* box = static_cast<TCheckBox*>(Sender ? Sender : CMTesta);
    if (!box->Checked) CMUnite->Checked = false;
}

void TDatiStampa::MaterialReteClick(TObject*) { MaterialTestaClick(CMRete); }

void TDatiStampa::MaterialJoinedClick(TObject*) {
    if (CMUnite->Checked) CMRete->Checked = CMTesta->Checked = true;
}

void TDatiStampa::AttenuationsClick(TObject*) {
    LFrequenza->Enabled = CAttenuazioni->Checked.Get();
    CBFrequenza->Enabled = CAttenuazioni->Checked.Get();
}

void TDatiStampa::FillFrequencies(TObject*) {
    CBFrequenza->Items->Clear();
    const TSistemaBande* bands = SistemaBandeCorrente;
    if (!bands) return;
    const int32_t count = std::min<int32_t>(bands->bandCount, static_cast<int32_t>(bands->bands.size()));
    for (int32_t b = 0; b < count; ++b) CBFrequenza->Items->Add(FloatToStr(bands->bands[b].reference));
}

void TDatiStampa::SelectChannelCalculationsOnly() {
    for (TCheckBox* c :
         {CDichiarazione, CSchemi, CMateriale, CPreventivo, CCapitolato, CCalcoli, CRelSostegno, CRelScariche,
          CSTesta, CSRete, CSStessoFoglio, CMTesta, CMRete, CMUnite})
        c->Checked = false;
    RCopNessuna->Checked = true;
}

bool TDatiStampa::Chosen(int32_t d) const {
    switch (d) {
    case pdCover: return CoverKind() >= 0;
    case pdDeclaration: return CDichiarazione->Checked;
    case pdNetworkScheme: return CSchemi->Checked && (CSRete->Checked || CSArea->Checked);
    case pdHeadEndScheme:
        return CSchemi->Checked && CSTesta->Checked && !(CSStessoFoglio->Checked && CSRete->Checked);
    case pdMastReport: return CRelSostegno->Checked;
    case pdLightningReport: return CRelScariche->Checked;
    case pdNetworkList: return CMateriale->Checked && CMRete->Checked;
    case pdHeadEndList:
        return CMateriale->Checked && CMTesta->Checked && !(CMUnite->Checked && CMRete->Checked);
    case pdEstimate: return CPreventivo->Checked;
    case pdSpecification: return CCapitolato->Checked;
    case pdSignalLimits: return CCalcoli->Checked && (CMinMaxTesta->Checked || CMinMaxPrese->Checked);
    case pdSeparations: return CCalcoli->Checked && CSepPrese->Checked;
    case pdChannels: return CCalcoli->Checked && (CCanaliTesta->Checked || CCanaliPrese->Checked);
    default: return false;
    }
}

int32_t TDatiStampa::CoverKind() const {
    const TRadioButton* covers[] = {RCopPreventivo, RCopEsecuzione, RCopDichiarazione, RCopSemplice};
    for (int32_t k = 0; k < 4; ++k)
        if (covers[k]->Checked) return k;
    return -1;
}

int32_t TDatiStampa::SchemeFlags() const {
    int32_t flags = 0;
    if (ROrizzontale->Checked || ROttimale->Checked) flags |= SchemeLandscape;
    if (RVerticale->Checked || ROttimale->Checked) flags |= SchemePortrait;
    if (CNumeri->Checked) flags |= SchemeNumbers;
    if (CCodici->Checked) flags |= SchemeCodes;
    if (CLunghezze->Checked) flags |= SchemeLengths;
    if (CAttenuazioni->Checked) {
        flags |= SchemeAttenuations;
        // The losses are labelled at the frequency chosen beside the box.
        if (CBFrequenza->ItemIndex >= 0) flags |= PrintLabelBandFlag(CBFrequenza->ItemIndex);
    }
    return flags;
}

TDeclarationChoices TDatiStampa::Declaration() const {
    TDeclarationChoices c;
    for (int n = 0; n < DeclarationNormCount; ++n) c.Norms[n] = CNorme[n]->Checked;
    c.OtherNorms = EAltre->Text;
    for (int a = 0; a < DeclarationAttachmentCount; ++a) c.Attachments[a] = CAllegati[a]->Checked;
    c.OtherAttachments[0] = EAllegati[0]->Text;
    c.OtherAttachments[1] = EAllegati[1]->Text;
    return c;
}

int32_t TDatiStampa::Copies() const {
    // The count its field took; one when there is none to take.
    double n = 1;
    return ECopie->HeldRule().Accepts(ECopie->Text, &n) ? static_cast<int32_t>(n) : 1;
}

void TDatiStampa::ShowReportData(const TProgetto* project) {
    const TPalo* mast = project ? project->Mast.get() : nullptr;
    const TFulmini* lightning = project ? project->Lightning.get() : nullptr;
    MNoteSostegno->Text = mast ? mast->Text1 : AnsiString();
    ENormaSostegno->Text = mast ? mast->MastNorm : AnsiString();
    MNoteFulmini->Text = lightning ? lightning->Notes : AnsiString();
    ENormaFulmini->Text = lightning ? lightning->Norm : AnsiString();
    // A report with nothing to tell is not offered.
    const std::pair<TCheckBox*, bool> reports[] = {{CRelSostegno, MastReportHasData(mast)},
                                                   {CRelScariche, lightning != nullptr}};
    for (const auto& [box, available] : reports) {
        box->Enabled = available;
        if (!available) box->Checked = false;
    }
}

bool TDatiStampa::StoreReportData(TProgetto* project) const {
    TPalo* mast = project ? project->Mast.get() : nullptr;
    TFulmini* lightning = project ? project->Lightning.get() : nullptr;
    bool changed = false;
    auto store = [&](AnsiString& field, const AnsiString& text, int maximum) {
        const AnsiString kept = utf8::Length(text) > maximum ? utf8::Mid(text, 0, maximum) : text;
        if (field == kept) return;
        field = kept;
        changed = true;
    };
    if (mast) {
        store(mast->Text1, MNoteSostegno->Text, MastTextMax);
        store(mast->MastNorm, ENormaSostegno->Text, MastNormMax);
    }
    if (lightning) {
        store(lightning->Notes, MNoteFulmini->Text, LightningNotesMax);
        store(lightning->Norm, ENormaFulmini->Text, LightningNormMax);
    }
    if (changed) project->Modified = true;
    return changed;
}
