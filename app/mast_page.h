#pragma once
// TPaginaSostegno: the page "Sostegno". Environment and wind, the data of the
// selected antenna, the mast sections, and the drawing of the mast on which
// antennas and arms are placed, selected, moved and deleted with the mouse;
// the automatic sizing of the sections. Every edit writes straight into the
// project's TPalo and marks the project modified.
#include <vector>

#include "core/scoped_flag.h"
#include "document/mast.h"
#include "document/mast_evaluation.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/grids.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

class TProgetto;
class TDatiAutSost;

// The caption of the program's message boxes.
constexpr const char* MastMessageCaption = "Ordivex Varne";
// The message of a sizing that finds no mast.
constexpr const char* SizingFailure = "Non è possibile dimensionare il sostegno con i tronchi forniti.";
// The warning of a head end with more antennas than a mast holds.
constexpr const char* HeadEndItemsDropped = "Sono state considerate solo le prime 19 antenne.";

class TPaginaSostegno : public TPanel {
public:
    explicit TPaginaSostegno(TComponent* owner = nullptr);

    // Makes the project's mast the one edited and shows it (ShowMast).
    void SetProject(TProgetto* project);
    // Shows the project's mast in the page's controls again: wind, environment,
    // system, sections and ground; no item selected.
    void ShowMast();
    TProgetto* Project() const { return project_; }
    TPalo& Palo() const;

    // Evaluates the mast, fills the warning memo and redraws the mast view.
    void Evaluate();
    const TValutazionePalo& Layout() const { return layout_; }

    // The data of an item into the antenna controls, mode being the
    // resistance mode to keep ("" for the item's own).
    void ShowAntennaData(TDatiAntenna* item, const AnsiString& mode);
    void AntennaDataChanged();
    void EnableMastControls(bool on);
    void DeleteSelectedItem();
    void SetSelectedItemKind(int32_t kind);
    // The kind the pressed kind button stands for.
    int32_t SelectedKind() const;
    // The sections into the count choice and the grid.
    void ShowSections();

    // The automatic sizing: the menu command "Determinazione automatica
    // &sostegno" calls DetAutSostClick, then shows this page when it ran
    // (false: the sizing form was cancelled). The sizing takes the tubes
    // selected in the form; one that finds no mast puts the mast back as it
    // was, shows the message and answers false.
    bool DetAutSostClick(TObject* Sender);
    bool SizeMastFromHeadEnd();
    bool SizeMast();
    // Whether "Antenne dalla testa" can be offered: step 2 and every antenna
    // and dish of the head end described.
    bool HeadEndAntennasUsable() const;

    // Handlers.
    void EnvironmentChange(TObject* Sender);
    void AntennaSystemChange(TObject* Sender);
    void WindChange(TObject* Sender);
    void BandChange(TObject* Sender);
    void ResistanceModeChange(TObject* Sender);
    void ValueChange(TObject* Sender);
    void KindClick(TObject* Sender);
    void SectionCountChange(TObject* Sender);
    void TelescopicClick(TObject* Sender);
    void GridSelectCell(TObject* Sender, int ACol, int ARow, bool& CanSelect);
    void GridSetEditText(TObject* Sender, int ACol, int ARow, const AnsiString& Value);
    void GridKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void ShowStoredCell(int col, int row);
    void ToolClick(TObject* Sender);
    void ImageMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ImageMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ImageClick(TObject* Sender);
    void DistMinClick(TObject* Sender);
    void AllDistMinClick(TObject* Sender);
    void DeleteClick(TObject* Sender);
    void GroundClick(TObject* Sender);

    // Draws the mast view / the tube cross-section.
    void DrawMast(TCanvas* canvas) const;
    static void DrawSectionSketch(TCanvas* canvas);

    // Environment.
    TGroupBox* GroupAmbiente;
    TComboBox* ComboAmbiente;
    TLabel* LabelVento;
    TComboBox* ComboVento;
    TComboBox* ComboSistema;
    // The selected antenna.
    TGroupBox* GroupAntenna;
    TComboBox* ComboBanda;
    TLabel* LabelDivergenza;
    TComboBox* ComboDivergenza;
    TComboBox* ComboPolarita;
    TComboBox* ComboResistenza;
    TLabel* LabelValore;
    TEdit* EditValore;
    TLabel* LabelVentoForza;
    TComboBox* ComboVentoForza;
    TLabel* LabelDiametro;
    TEdit* EditDiametro;
    TPanel* PTipiAntenna;
    TSpeedButton* SBStandard;
    TSpeedButton* SBDiedroO;
    TSpeedButton* SBDiedroD;
    TSpeedButton* SBGrata;
    TSpeedButton* SBLogaritmica;
    TSpeedButton* SBParabola;
    // Sketch and warnings.
    TPanel* PanelSezione;
    TImage* ImageSezione;
    TPanel* PanelAttenzione;
    TMemo* MemoAttenzione;
    // Sections.
    TGroupBox* GroupSostegno;
    TComboBox* ComboTronchi;
    TCheckBox* CheckTelescopici;
    TStringGrid* GridTronchi;
    TPanel* PanelSuggerimento;
    // Tools and the mast view.
    TSpeedButton* BArrowS;
    TSpeedButton* BAggiungi;
    TSpeedButton* BAggiungiBraccioS;
    TSpeedButton* BAggiungiBraccioD;
    TScrollBox* ScrollSostegno;
    TImage* ImageSostegno;
    TPopupMenu* PopAntenne;
    TMenuItem* paDistMin;
    TMenuItem* paTDistMin;
    TMenuItem* paElimina;
    TMenuItem* paModifica;
    TMenuItem* paNuovaAntenna;
    TMenuItem* paNuovoBs;
    TMenuItem* paNuovoBd;
    TMenuItem* paSuoloBasso;
    TMenuItem* paSuoloAlto;
    TMenuItem* paSuoloLibero;

    // The sizing form (made on first use).
    TDatiAutSost* DatiAutSost = nullptr;

private:
    void Modified();
    // The search over the form's tubes, on the mast as it stands.
    bool SearchSections();
    void SizingDone();
    void SizingFailed(const TFormaPalo& before);
    // The antenna controls into an item (its kind, divergence, band and
    // polarisation unless it is an arm; diameter and wind resistance).
    void ReadAntennaFromForm(TDatiAntenna& item) const;
    // While one lives the page is showing data: the change handlers leave
    // alone what the page itself sets.
    using TShowing = TScopedFlag<int>;
    bool Showing() const { return showing_ > 0; }
    void StoreFormIntoSelected();
    TSpeedButton* KindButton(int32_t kind) const;
    void ShowGround();
    // The arm an item hangs on, null for an item of the mast.
    TDatiAntenna* ArmOf(const TDatiAntenna* item) const;
    bool IsLowest(const TDatiAntenna* item) const;

    TProgetto* project_ = nullptr;
    TValutazionePalo layout_;
    int showing_ = 0;
    bool footGrabbed_ = false;
    bool groundGrabbed_ = false;
    bool havePointer_ = false;
    TPoint pointer_;
    int lastMoveY_ = 0;
};
