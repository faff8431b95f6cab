#pragma once
// TDatiStampa: the form of the combined print. It chooses the documents, the
// cover, the printer and the copies, and the settings of each document on
// five tabs; rules keep the choices consistent. Every choice survives from
// one showing to the next.
#include <cstdint>
#include <functional>

#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "printing/documents.h"

class TProgetto;

// The preview's documents, in their fixed order.
enum TPrintDocument : int32_t {
    pdCover = 1,
    pdDeclaration,
    pdNetworkScheme,
    pdHeadEndScheme,
    pdMastReport,
    pdLightningReport,
    pdNetworkList,
    pdHeadEndList,
    pdEstimate,
    pdSpecification,
    pdSignalLimits,
    pdSeparations,
    pdChannels,
    PrintDocumentLast = pdChannels
};

class TDatiStampa : public TForm {
public:
    explicit TDatiStampa(TComponent* owner = nullptr);

    // On show: rule 7 with the main window's selected page and drawing
    // selection (handed over by the caller).
    void PrepareShow(TObject* Sender);
    void PrintClick(TObject* Sender);
    void CancelClick(TObject* Sender);
    void PreviewClick(TObject* Sender);
    void PrinterSetupClick(TObject* Sender);
    void PrinterChange(TObject* Sender);
    void AllOutletsClick(TObject* Sender);
    void SomeOutletsClick(TObject* Sender);
    void SchemeTestaClick(TObject* Sender);
    void SchemeReteClick(TObject* Sender);
    void SameSheetClick(TObject* Sender);
    void SelectedAreaClick(TObject* Sender);
    void MaterialTestaClick(TObject* Sender);
    void MaterialReteClick(TObject* Sender);
    void MaterialJoinedClick(TObject* Sender);
    void AttenuationsClick(TObject* Sender);
    void FillFrequencies(TObject* Sender);
    void SelectChannelCalculationsOnly();

    // Whether a preview document is chosen, and what it is drawn with.
    bool Chosen(int32_t document) const;
    // The cover kind of the ticked radio; -1 for "Nessuna copertina".
    int32_t CoverKind() const;
    // The scheme flags of tab "Schemi" (orientation and labels).
    int32_t SchemeFlags() const;
    TDeclarationChoices Declaration() const;
    // The copies: a whole number from 1 to 99, else 1.
    int32_t Copies() const;

    // The tab "Sostegno e fulmini" filled with the notes and norms of the
    // project's mast and lightning data; a report box without data to report
    // is unticked and disabled.
    void ShowReportData(const TProgetto* project);
    // The notes and norms of the tab back into the project (cut to what its
    // file keeps), marking it modified when one changed; true then.
    bool StoreReportData(TProgetto* project) const;

    // Set by the caller before showing: the selected page and the drawing
    // control's selection, for rule 7.
    AnsiString SelectedPage;
    TCellRect Selection;

    // Left of the tabs.
    TGroupBox* GDocumenti;
    TCheckBox *CDichiarazione, *CSchemi, *CMateriale, *CPreventivo, *CCapitolato, *CCalcoli, *CRelSostegno,
        *CRelScariche;
    TGroupBox* GCopertine;
    TRadioButton *RCopPreventivo, *RCopEsecuzione, *RCopDichiarazione, *RCopSemplice, *RCopNessuna;
    TLabel* LStampante;
    TComboBox* CBStampante;
    TButton* BImposta;
    TLabel* LCopie;
    TEdit* ECopie;
    TButton *BAnteprima, *BAnnulla, *BStampa;
    TPageControl* Pagine;
    TTabSheet *TSchemi, *TCalcoli, *TDichiarazione, *TMateriale, *TSostegno;
    // "Schemi".
    TGroupBox* GSchemi;
    TCheckBox *CSTesta, *CSRete, *CSStessoFoglio, *CSArea;
    TGroupBox* GOrientamento;
    TRadioButton *ROrizzontale, *RVerticale, *ROttimale;
    TGroupBox* GNumerazione;
    TCheckBox *CNumeri, *CCodici, *CLunghezze, *CAttenuazioni;
    TLabel* LFrequenza;
    TComboBox* CBFrequenza;
    // "Calcoli".
    TGroupBox *GCalcoliRete, *GCalcoliCanali, *GSelezione;
    TCheckBox *CMinMaxTesta, *CMinMaxPrese, *CSepPrese, *CCanaliTesta, *CCanaliPrese;
    TRadioButton *RTutte, *RAlcune;
    TListBox* LPrese;
    // "Dichiarazione".
    TGroupBox *GAllegati, *GNorme;
    TCheckBox* CAllegati[DeclarationAttachmentCount];
    TLabel* LAltriAllegati;
    TEdit* EAllegati[2];
    TCheckBox* CNorme[DeclarationNormCount];
    TLabel* LAltre;
    TEdit* EAltre;
    // "Materiale e preventivi".
    TGroupBox *GElementi, *GOpzioni;
    TCheckBox *CMTesta, *CMRete, *CMUnite, *CCompresso;
    // "Sostegno e fulmini".
    TCheckBox* CErrori;
    TLabel *LNoteSostegno, *LNoteFulmini, *LNormaSostegno, *LNormaFulmini;
    TMemo *MNoteSostegno, *MNoteFulmini;
    TEdit *ENormaSostegno, *ENormaFulmini;

private:
    void FillPrinters();
};
