#pragma once
// The document producers of the main window and the pieces every page shares:
// page layout for the printer or the preview, page start with frame, title
// and column header, cover pages, component and material lists, estimate and
// tender specification, and the printer jobs of the print commands.
//
// A producer takes a page: 0 prints every page on the printer (inside a job
// its caller began), n >= 1 lays the document out from its first page into
// the preview bitmap and stops at the page break that would begin page
// n + 1. Results: 1 more pages follow the previewed one, 0 the document
// ended, -1 nothing to print. All producers share the page record PrintPage.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "cells/cell.h"
#include "platform/engines.h"
#include "platform/graphics.h"
#include "platform/printers.h"
#include "printing/print_page.h"

class TBitmap;
class TCella;
class TInfoStampaCalcoli;
class TListBox;
class TListaCanali;
class TPrintDialog;
class TGridData;
class TEstimateView;
class TProgetto;

// Job title of every printer job of the program.
constexpr const char* PrintJobTitle = "Progetto di impianti di antenna";

// List flags of the component list.
constexpr int32_t ListNetwork = 0x001;
constexpr int32_t ListHeadEnd = 0x002;
constexpr int32_t ListCompressed = 0x100;

// Scheme flags.
constexpr int32_t SchemeNetwork = 0x001;
constexpr int32_t SchemeHeadEnd = 0x002;  // with SchemeNetwork: both on one sheet
constexpr int32_t SchemeLandscape = 0x004;
constexpr int32_t SchemePortrait = 0x008;      // with SchemeLandscape: by the area's shape
constexpr int32_t SchemeNumbers = 0x010;       // the cells' labels: short codes,
constexpr int32_t SchemeCodes = 0x020;         // article codes,
constexpr int32_t SchemeAttenuations = 0x040;  // losses,
constexpr int32_t SchemeLengths = 0x080;       // cable lengths
constexpr int32_t SchemeSelection = 0x200;     // the drawing control's selection only
// Bits 16-23 carry the band of the loss labels (PrintLabelBandFlag).

// What a scheme print fits on its page: the grids drawn, their used
// rectangles as drawn (rows of the head-end terminal dropped when both are),
// their column shifts and the area's columns and rows.
struct TSchemeArea {
    bool PrintNetwork = false;
    bool PrintHeadEnd = false;
    bool Earth = false;
    TCellRect Network, HeadEnd;
    int32_t NetworkShift = 0, HeadEndShift = 0;
    int32_t HeadEndRows = 0;  // the head-end's used rows before the drop
    int32_t FirstColumn = 0, Columns = 0, Rows = 0;
};

// Cover kinds.
constexpr int32_t CoverEstimate = 0;
constexpr int32_t CoverDocumentation = 1;
constexpr int32_t CoverDeclaration = 2;
constexpr int32_t CoverPlain = 3;

// The installer's data as the installer-data form holds it: the letterhead
// of the covers and the firm's data of the declaration of conformity.
struct TLetterhead {
    AnsiString Firm;                            // "Ragione sociale:"
    AnsiString Street;                          // "Indirizzo:"
    AnsiString Town;                            // "Città e codice postale:"
    AnsiString Telephone;                       // "Telefono:"
    AnsiString Fax;                             // "Fax:"
    AnsiString ChamberNumber, ChamberProvince;  // C.C.I.A.A. registration: number, "Provincia di"
    AnsiString CraftNumber, CraftProvince;      // craft-firm register: number, "Provincia di"
    AnsiString VatNumber;                       // "Partita IVA:"
    AnsiString Postcode;                        // "C.A.P.:"
    AnsiString Locality;                        // "Località:"
    AnsiString Municipality;                    // "Comune:"
    AnsiString Province;                        // "Provincia:"
};

// The choices of the declaration of conformity: the norms followed and the attachments.
enum TDeclarationNorm { dn12_43, dn100_6, dn100_7, dn81_1, dn81_3, dn81_4, dn81_10_2, DeclarationNormCount };
enum TDeclarationAttachment {
    daScheme,      // "Schema dell'impianto"
    daProject,     // "Progetto"
    daReferences,  // "Riferimenti altre dichiarazioni"
    daMaterials,   // "Tipologia dei materiali"
    daMast,        // "Calcoli dimensionamento sostegno"
    daLightning,   // "Calcoli protezione fulmini"
    DeclarationAttachmentCount
};
struct TDeclarationChoices {
    bool Norms[DeclarationNormCount] = {};
    AnsiString OtherNorms;  // "Altre:"
    bool Attachments[DeclarationAttachmentCount] = {};
    AnsiString OtherAttachments[2];  // "Altri allegati"
};

// Where the preview shows a page: the client size of the preview window
// (set by the preview), and what the layout sets for it: the page image's
// place in the client area and the bitmap the page is drawn into. The page is
// laid out on Canvas in the printer's pixels, measured as the printer
// measures, and drawn scaled onto the bitmap: it breaks where the printed page does.
struct TPreviewTarget {
    TPreviewTarget(int32_t clientWidth = 0, int32_t clientHeight = 0, TBitmap* bitmap = nullptr)
        : ClientWidth(clientWidth), ClientHeight(clientHeight), Bitmap(bitmap) {}
    int32_t ClientWidth = 0;
    int32_t ClientHeight = 0;
    TBitmap* Bitmap = nullptr;  // not owned
    TRect Image;                // left, top, right, bottom in the client area
    TScalingEngine Engine;
    TCanvas Canvas{&Engine};
};

// The non-empty parts joined by " - " (the cover's telephone and fax).
AnsiString JoinedParts(std::initializer_list<AnsiString> parts);

class TPalo;
// Whether the mast has anything to report: an item or a section measure.
bool MastReportHasData(const TPalo* mast);

// What the print menu's items depend on when the menu opens.
struct TPrintMenuContext {
    bool NetworkPage = false;  // the pages "Rete", "Testa" and "Preventivo" exist
    bool HeadEndPage = false;
    bool EstimatePage = false;
    int32_t Step = 1;         // the project's
    AnsiString SelectedPage;  // the caption of the selected page
    TCellRect Selection;      // the drawing control's selection, edges inside
    bool MastData = false;    // the project's mast has items or section measures
};
// Which of the print menu's items are enabled.
struct TPrintItemsState {
    bool NetworkScheme = false;    // "&Rete (disegno)"
    bool HeadEndScheme = false;    // "&Testa (disegno)"
    bool NetworkList = false;      // "Elenco componenti di ret&e"
    bool HeadEndList = false;      // "Elenco componenti di test&a"
    bool SchemesAndLists = false;  // "&Schemi ed elenco"
    bool Calculations = false;     // "&Calcoli"
    bool SelectedArea = false;     // "Area sele&zionata"
    bool Estimate = false;         // "&Preventivo"
    bool Specification = false;    // "Capito&lato"
    bool MastReport = false;       // "Relazione s&ostegno"
    bool LightningReport = false;  // "Relazione scariche at&mosferiche"
};
TPrintItemsState PrintItemsState(const TPrintMenuContext& menu);

class TStampa {
public:
    // ---- What the main window hands over ----
    TProgetto* Project = nullptr;
    // Whether the main window has a page with that caption ("Rete", "Testa", ...).
    std::function<bool(const AnsiString& caption)> FindPage;
    // The estimate page: its grid's row count bounds the printed rows, its
    // three note lines stand under the printed estimate.
    TEstimateView* EstimatePage = nullptr;
    // The installer header of the main window's status bar, printed in every
    // page footer, and the installer's letterhead of the covers.
    std::function<AnsiString()> InstallerHeader;
    std::function<TLetterhead()> Letterhead;
    // The preview's window and bitmap; needed only for pages n >= 1.
    TPreviewTarget* Preview = nullptr;
    // The caption of the selected page and the drawing control's selection
    // (columns and rows, edges inside), for the selected-area scheme.
    std::function<AnsiString()> SelectedPage;
    std::function<TCellRect()> DrawSelection;
    // Runs the channel pass for the channel table with the channel pages'
    // messages as the reporter's target; unset, the pass runs reporting nothing.
    std::function<void()> RunChannelPass;
    // The form of the calculation print (the main window makes it once).
    TInfoStampaCalcoli* CalculationsForm = nullptr;

    // ---- Page model ----
    // Fills PrintPage for a document kind on the printer (page 0) or in the
    // preview (page >= 1).
    void GetPageLayout(int32_t kind, int32_t page);
    // Begins a page (the job's first page, a new printer page, or the
    // cleared preview bitmap), then prints frame, title and column header of
    // the kind, leaving PrintPage.Y below them.
    void PrintTableHeader(int32_t kind, int32_t flags);
    // Header, footer and rules of a page; Y back at the body top.
    void PrintPageFrame(int32_t kind, int32_t flags);
    // Called on every new page before anything is drawn; pages carry no background.
    void PrintPageBackground() {}
    // Before a row or block h pixels high: a new page when it does not fit.
    // False when that page lies past the previewed one (the producer stops).
    bool PageBreak(int32_t height, int32_t kind, int32_t flags);

    // ---- Schemes: one page each ----
    // What a scheme of these flags draws; false when nothing: no chosen grid
    // holds a cell besides its head-end terminal, the selected area has no
    // drawing page selected, or the area has no square.
    bool SchemeArea(int32_t flags, TSchemeArea& area) const;
    // The page's orientation for a scheme of these flags.
    TPrinterOrientation SchemeOrientation(int32_t flags) const;
    // maxSide: the largest square side in centimetres; 0 or less: no cap.
    int32_t PrintScheme(int32_t flags, float maxSide, int32_t page);
    // The presets of the network and head-end drawings.
    static int32_t NetworkSchemeFlags();
    static int32_t HeadEndSchemeFlags();
    int32_t PrintNetwork(int32_t page);
    int32_t PrintHeadEnd(int32_t page);

    // ---- Calculation tables: the head-end terminal and the outlets, all of
    // them or those selected in the outlet list (one line per outlet of the
    // network's outlet chain); -1 when no box is ticked ----
    int32_t PrintSignalLimits(bool headEnd, bool outlets, bool all, const TListBox* list, int32_t page);
    bool PrintSignalLimitRows(TCella* cell, int32_t flags);
    int32_t PrintOutletSeparations(bool separations, bool all, const TListBox* list, int32_t page);
    bool PrintSeparationRows(TCella* outlet);
    int32_t PrintChannelTable(bool headEnd, bool outlets, bool all, const TListBox* list, int32_t page);
    bool PrintOutputChannels(TCella* cell, int32_t flags);
    bool PrintChannelRows(TListaCanali* list, const AnsiString& name, int32_t flags);
    // The column positions of a calculation table of that kind.
    void SetTablePositions(int32_t kind);

    // ---- Documents ----
    int32_t PrintCoverPage(int32_t kind, int32_t page);
    // One page of the declaration of conformity with these choices.
    int32_t PrintDeclaration(const TDeclarationChoices& choices, int32_t page);
    int32_t PrintComponentList(int32_t flags, int32_t page);
    // Whether a list of these flags has a grid to print (its page exists).
    bool ListHasGrid(int32_t flags) const {
        TGridData* grids[2];
        return ListGrids(flags, grids) > 0;
    }
    // One full-list row at Y; false when its page break went past the previewed page.
    bool PrintComponentListRow(TCella* cell);
    int32_t PrintEstimate(bool priced, int32_t page);
    // The mast report: the mast's environment, its items with their wind
    // loads, its sections with the bending check of the mast evaluation, the
    // outcome (with the evaluation's warnings when errors is set) and the
    // mast's norm and notes; a project without mast data says so.
    int32_t PrintMastReport(bool errors, int32_t page);
    // The lightning report: the inputs, factors and results of the risk
    // evaluation R1 of the project's lightning data and its outcome, the
    // direct-flash evaluation of the mast data when those are complete, and
    // the lightning norm and notes.
    int32_t PrintLightningReport(int32_t page);

    // ---- Printer jobs: one job each, portrait ----
    // which: ListNetwork and / or ListHeadEnd, each printed when its page exists.
    void PrintComponentListJob(int32_t which);
    void PrintEstimateJob(bool priced);

    // The name a printout goes to a file under: the project's file name, " - "
    // and the document's ("Condominio Rossi - Preventivo"), the project's
    // alone for a printout of several documents (document empty).
    AnsiString OutputFileName(const AnsiString& document) const;

    // One printer job around body, with the job's first page pending.
    void PrintJob(const std::function<void()>& body, TPrinterOrientation orientation = poPortrait);

    // ---- The print commands: each runs the print dialog first, and a
    // cancelled dialog prints nothing ----
    void PrintNetworkListCommand(TPrintDialog* dialog);
    void PrintHeadEndListCommand(TPrintDialog* dialog);
    // The estimate is rebuilt before the dialog.
    void PrintEstimateCommand(TPrintDialog* dialog);
    void PrintSpecificationCommand(TPrintDialog* dialog);
    // Schemes: each in a job of its own orientation; a scheme with nothing
    // to draw asks nothing and prints nothing.
    void PrintNetworkSchemeCommand(TPrintDialog* dialog);
    void PrintHeadEndSchemeCommand(TPrintDialog* dialog);
    void PrintSelectedAreaCommand(TPrintDialog* dialog);
    // Network scheme, head-end scheme, head-end list, network list, each for
    // a grid with a cell outside its head-end terminal's row, in one job.
    void PrintSchemesAndListsCommand(TPrintDialog* dialog);
    // The calculation form, then the print dialog, then the ticked tables in one job.
    void PrintCalculationsCommand(TPrintDialog* dialog);
    // The mast report and the lightning report, each in a job of its own.
    void PrintMastReportCommand(TPrintDialog* dialog, bool errors);
    void PrintLightningReportCommand(TPrintDialog* dialog);

private:
    struct TReportWriter;  // the body of the mast and lightning reports
    // The print dialog, offering the document's own file name.
    bool AskPrinter(TPrintDialog* dialog, const AnsiString& document);
    TCanvas* Canvas() const { return PrintPage.Canvas; }
    void SetFont(int32_t points, TFontStyles style = {});
    void TextAt(int32_t x, int32_t y, const AnsiString& text);
    void TextRightAt(int32_t right, int32_t y, const AnsiString& text);
    // A title centred between the page's margins: set smaller, down to three
    // quarters of its size, when it is too wide, and broken at blanks into
    // centred lines when it is still too wide. The height the lines after
    // the first take (0 for one line).
    int32_t Centred(int32_t y, const AnsiString& text);
    void Rule(int32_t y);
    // A text of a table row: at X, or ending at X when right-aligned.
    struct TRowText {
        int32_t X = 0;
        AnsiString Text;
        bool Right = false;
        bool Drawn = true;       // false: only marks where the room of the text before it ends
        TColor Colour = clNone;  // clNone: the canvas font's colour
    };
    // The texts of one table row at y, each kept to its room with a gap of
    // ColumnGapPoints before the next. A left-aligned text ends before the
    // next text that stands to its right on the row (or the right margin,
    // or right when given), runs on into columns the row leaves empty; one
    // too wide for its room is set smaller when it fits whole at 6 points
    // or more, else cut at its size and ended by "…". Right-aligned texts
    // (numbers) are never cut: one that would reach the text on its left is
    // set smaller, and the left-aligned texts before it give way.
    void PrintRowTexts(int32_t y, const std::vector<TRowText>& texts, int32_t right = -1);
    void BandHeader();
    // The grids a list of these flags prints, network first.
    int ListGrids(int32_t flags, TGridData* grids[2]) const;
    bool PrintCompressedFamily(const std::vector<TCella*>& cells, int32_t flags);
    // On the printer, a producer's new page after another document's is portrait.
    static void PortraitPages(int32_t page);
    // Before a block of rows rows: a new page when its first two rows do not
    // fit, or when the block does not fit and would fit on a fresh page.
    bool BlockBreak(int32_t rows, int32_t kind, int32_t flags);
    // A rule under a block, when a line still fits.
    void ClosingRule();
    std::vector<TCella*> ChosenOutlets(bool all, const TListBox* list) const;
};
