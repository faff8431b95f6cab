#pragma once
// The page record shared by every print producer and by the cell drawing
// routines that print: the target canvas (the printer's, or the preview's,
// which scales the printer's page onto the preview bitmap), its resolution,
// the page geometry, the column layout of the table being printed, the y
// cursor and the page counters. All geometry is in the printer's pixels, in
// the preview too. One document is laid out at a time.
#include <cstdint>

class TCanvas;

// Document kinds of the page layout.
constexpr int32_t DocScheme = 0;        // network or head-end scheme
constexpr int32_t DocMaterialList = 1;  // component and material list
constexpr int32_t DocEstimate = 2;      // estimate or tender specification
constexpr int32_t DocSignals = 3;       // minimum and maximum signals
constexpr int32_t DocSeparations = 4;   // separations between outlets
constexpr int32_t DocChannels = 5;      // channels with signals and C/N
constexpr int32_t DocCover = 6;
constexpr int32_t DocDeclaration = 7;  // declaration of conformity
constexpr int32_t DocMastReport = 8;
constexpr int32_t DocLightningReport = 9;
constexpr int32_t DocLightningRisk = 120;

// The printed columns of lists and estimates, in the order of their flags.
enum TPrintColumn : int {
    pcNumber,
    pcCode,
    pcArticle,
    pcBrand,
    pcDescription,
    pcUnit,  // unit of measure
    pcQuantity,
    pcMetres,
    pcUnitPrice,
    pcTotalPrice,  // also selects the estimate's title over the tender's
    pcNotes,       // notes or components
    PrintColumnCount
};

struct TPrintPage {
    // Set by a caller that has just begun a printer job: the job's first page
    // start clears it instead of starting a new printer page.
    uint8_t NewJob = 0;
    int32_t Dpi = 0;         // pixels per inch of the target
    int32_t BodyTop = 0;     // first y of the page body
    int32_t BodyBottom = 0;  // last y body rows may reach
    int32_t PageWidth = 0;
    int32_t Margin = 0;                      // a fifth of an inch
    int32_t LineHeight = 0;                  // 14 pt for schemes and reports, 12 pt otherwise
    uint8_t Columns[PrintColumnCount] = {};  // 1 when the column is printed

    // Column positions, set by each producer after the layout. Several
    // serve different documents under one position.
    int32_t BandStep = 0;  // band column step of signal and separation tables
    // Right edges of right-aligned columns.
    int32_t MinSignalRight = 0;
    int32_t MaxSignalRight = 0;  // or quantity
    int32_t MinNoiseRight = 0;   // minimum C/N, or metres
    int32_t MaxNoiseRight = 0;   // maximum C/N, or unit price
    int32_t TotalPriceRight = 0;
    int32_t ComponentsRight = 0;  // right edge of the components paragraph
    // Left edges.
    int32_t NumberLeft = 0;  // or band label, or component name
    int32_t CodeLeft = 0;    // or channel, or first band column
    int32_t ArticleLeft = 0;
    int32_t BrandLeft = 0;
    int32_t DescriptionLeft = 0;
    int32_t UnitLeft = 0;
    int32_t OriginLeft = 0;
    int32_t NotesLeft = 0;  // or components

    TCanvas* Canvas = nullptr;  // not owned; valid while the job or the preview target lives
    float Scale = 1.0f;         // font sizes are points x Scale
    int32_t PageToRender = 0;   // 0 every page on the printer; n >= 1 page n in the preview
    int32_t Y = 0;              // where the next row is printed
    int32_t PageNumber = 1;     // the page being laid out, from 1

    // A length in points as pixels of the target: points x dpi / 72, in
    // integer arithmetic (multiplied first, truncated toward zero).
    int32_t Points(int32_t points) const;
    // A font size in points at the record's scale, truncated.
    int32_t FontSize(int32_t points) const;
    // The line height of a document kind: 14 pt for kinds 0, 8 and 9, else 12 pt.
    static int32_t LineHeightPoints(int32_t kind);
    // The margins of the texts of a page's body: its first column stands
    // 18 pt in from the frame's left end, and no text reaches closer than
    // that to the frame's right end (page width - 2). The frame's own lines
    // (customer, installer, file and page number) run up to the frame's end.
    int32_t TextLeft() const { return Points(TextMarginPoints); }
    int32_t TextRight() const { return PageWidth - 2 - Points(TextMarginPoints); }
    static constexpr int32_t TextMarginPoints = 18;
    // The least room between two texts of a table row.
    static constexpr int32_t ColumnGapPoints = 4;
};

// The program's one page record.
extern TPrintPage PrintPage;
