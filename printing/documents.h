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
#include <vector>

#include "platform/graphics.h"
#include "printing/print_page.h"

class TBitmap;
class TCella;
class TPrintDialog;
class TGridData;
class TPaginaPreventivo;
class TProgetto;

// Job title of every printer job of the program.
constexpr const char* PrintJobTitle = "Progetto di impianti di antenna";

// List flags of the component list.
constexpr int32_t ListNetwork = 0x001;
constexpr int32_t ListHeadEnd = 0x002;
constexpr int32_t ListCompressed = 0x100;

// Cover kinds.
constexpr int32_t CoverEstimate = 0;
constexpr int32_t CoverDocumentation = 1;
constexpr int32_t CoverDeclaration = 2;
constexpr int32_t CoverPlain = 3;

// The installer's letterhead as the installer-data form holds it.
struct TLetterhead {
    AnsiString Firm;        // "Ragione sociale:"
    AnsiString Street;      // "Indirizzo:"
    AnsiString Town;        // "Città e codice postale:"
    AnsiString Telephone;   // "Telefono:"
    AnsiString Fax;         // "Fax:"
};

// Where the preview shows a page: the client size of the preview window
// (set by the preview), and what the layout sets for it: the page image's
// place in the client area and the bitmap the page is drawn into.
struct TPreviewTarget {
    int32_t ClientWidth = 0;
    int32_t ClientHeight = 0;
    TBitmap* Bitmap = nullptr;   // not owned
    TRect Image;                 // left, top, right, bottom in the client area
};

// The print menu's items that print lists, estimate and specification:
// whether each is enabled when the menu opens.
struct TPrintItemsState {
    bool NetworkList = false;    // "Elenco componenti di ret&e"
    bool HeadEndList = false;    // "Elenco componenti di test&a"
    bool Estimate = false;       // "&Preventivo"
    bool Specification = false;  // "Capito&lato"
};
// By the pages present and the project's step.
TPrintItemsState PrintItemsState(bool networkPage, bool headEndPage, bool estimatePage, int32_t step);

class TStampa {
public:
    // ---- What the main window hands over ----
    TProgetto* Project = nullptr;
    // Whether the main window has a page with that caption ("Rete", "Testa", ...).
    std::function<bool(const AnsiString& caption)> FindPage;
    // The estimate page: its grid's row count bounds the printed rows, its
    // three note lines stand under the printed estimate.
    TPaginaPreventivo* EstimatePage = nullptr;
    // The installer header of the main window's status bar, printed in every
    // page footer, and the installer's letterhead of the covers.
    std::function<AnsiString()> InstallerHeader;
    std::function<TLetterhead()> Letterhead;
    // The preview's window and bitmap; needed only for pages n >= 1.
    TPreviewTarget* Preview = nullptr;

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

    // ---- Documents ----
    int32_t PrintCoverPage(int32_t kind, int32_t page);
    int32_t PrintComponentList(int32_t flags, int32_t page);
    // One full-list row at Y; false when its page break went past the previewed page.
    bool PrintComponentListRow(TCella* cell);
    int32_t PrintEstimate(bool priced, int32_t page);

    // ---- Printer jobs: one job each, portrait ----
    // which: ListNetwork and / or ListHeadEnd, each printed when its page exists.
    void PrintComponentListJob(int32_t which);
    void PrintEstimateJob(bool priced);

    // ---- The print commands: each runs the print dialog first, and a
    // cancelled dialog prints nothing ----
    void PrintNetworkListCommand(TPrintDialog* dialog);
    void PrintHeadEndListCommand(TPrintDialog* dialog);
    // The estimate is rebuilt before the dialog.
    void PrintEstimateCommand(TPrintDialog* dialog);
    void PrintSpecificationCommand(TPrintDialog* dialog);

private:
    TCanvas* Canvas() const { return PrintPage.Canvas; }
    void SetFont(int32_t points, TFontStyles style = {});
    void TextAt(int32_t x, int32_t y, const AnsiString& text);
    void TextRightAt(int32_t right, int32_t y, const AnsiString& text);
    void Centred(int32_t y, const AnsiString& text);
    void Rule(int32_t y);
    void BandHeader();
    // The grids a list of these flags prints, network first.
    int ListGrids(int32_t flags, TGridData* grids[2]) const;
    bool PrintCompressedFamily(const std::vector<TCella*>& cells, int32_t flags);
    // One portrait printer job around body, with the job's first page pending.
    void PrintJob(const std::function<void()>& body);
};
