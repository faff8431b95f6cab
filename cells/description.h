#pragma once
// What a component class says of itself, in one struct returned by one
// virtual (TCella::Describe): its names and numbering, the roles the grid and
// its analysis ask about, and the sheet of the component-data form. The base
// answers the type name, the short code, the sequence number, the printed
// loss label and the form's preparation from it, so a class overrides
// Describe, its passes, its symbol and what is truly its own.
//
// The description may follow the cell's state (its port counts, its type
// code, a cable being a jumper); it is made on each call, so it holds no
// owned text: every text is a literal of the class.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

// The value rows of a page of the component-data form.
constexpr int SheetRows = 12;

// What the grid and its analysis ask of a cell, one bit each.
enum TCellRole : uint32_t {
    RoleNone = 0,
    // The head-end terminal: the grid's anchor, one per grid, which editing
    // never lifts and which counts as no component.
    RoleGridAnchor = 0x1,
    // The earth symbol, which the project's estimate looks for.
    RoleEarth = 0x2,
    // A piece of cable (cable or jumper): runs of them are walked as one.
    RoleCableSegment = 0x4,
    // A new cell on its squares displaces it by design, not as a loss worth
    // counting (cable pieces, sub-network anchors).
    RoleGivesWay = 0x8,
    // A termination: one the signal never reached closes the input it faces.
    RoleTermination = 0x10,
    // An outlet: it joins the grid's outlet chain.
    RoleOutlet = 0x20,
    // A run between two cells of this role is a jumper, any other a cable.
    RoleJoinsByJumpers = 0x40,
    // The printed label may show the cell's loss (column 0, row 0 of the
    // attenuation table).
    RoleLabelsLoss = 0x80,
    // While it needs no description it needs none even for the estimate.
    RoleIdleNeedsNoData = 0x100,
};

// How the cell meets the component-data form.
enum class TSheetUse : uint8_t {
    MarkDescribed,  // no form: opening it marks the cell described
    Nothing,        // no form, and nothing changes (always described, or nothing to enter)
    Form,           // the form, prepared from the sheet
};

// The component-data form as the class shows it. Every text is a literal;
// none leaves the form's control as the last form left it.
struct TDataSheet {
    TSheetUse Use = TSheetUse::MarkDescribed;
    // The form's name of the cell, before its short code; none: the type name.
    const char* Name = nullptr;
    // The caption of each value row the class names.
    std::array<const char*, SheetRows> RowCaptions{};
    // The items of "Conn. out", when the class lists its own.
    std::optional<std::span<const char* const>> OutputConnectors;
    // The captions of the three port check boxes of every supply group
    // (inputs, through outputs, tap outputs); none: the form's own.
    std::array<const char*, 3> PortCaptions{};
    // The value rows shown: a count from row 0, or with PortFlagsMask a mask
    // of rows; none: the rows as the last form left them.
    std::optional<int32_t> PortRows;
    int32_t ElectricalWord = 0;           // "Dati elettrici" sections
    int32_t PositionsWord = 0;            // "Dati posizioni possibili" boxes
    int32_t Stages = 0;                   // amplification stages the tables offer
    int32_t ModuleCount = 1;              // pages (lines, inputs, outputs)
    int32_t OutputCount = 1;              // user outputs of a page that may differ
    int32_t DistinctRow = -1;             // the row each distinct output keeps its own
    const char* ModuleCaption = nullptr;  // "... selezionato" of the pages
    const char* OutputCaption = nullptr;  // "... selezionata" of the outputs
    // The first box of "Dati elettrici", shown with this caption.
    const char* FirstBoxCaption = nullptr;
    bool ShowSignals = true;
    bool ShowBandRows = true;
    bool ShowCommercial = true;
    bool ShowAuxArticles = true;
    bool ShowStructure = false;
    bool ShowModuleTabs = false;
    std::array<uint8_t, 2> AntennaKind{};      // a dish, a terrestrial antenna
    std::array<uint8_t, 2> ChannelGrids{};     // five-column and eight-column grid
    std::array<uint8_t, 3> ShowSwapButtons{};  // "Scambia", "Scambia", "Cambia canali"
    int32_t OtherFeatures = 0;                 // "Altre caratteristiche" boxes
};

struct TCellDescription {
    // The name in messages, reports and the form ("Filtro ", ...); empty in
    // the base.
    const char* TypeName = "";
    // The letters of the short code; none: no short code.
    const char* ShortLetters = nullptr;
    // The category counter the cell takes its sequence number from, shown
    // after the letters; none: no number taken, the letters stand alone.
    std::optional<int> Counter;
    uint32_t Roles = RoleNone;
    TDataSheet Sheet;

    bool Has(TCellRole role) const { return (Roles & role) != 0; }
};

// The description of a class with a name, short-code letters and a
// counter, whose form its sheet prepares.
inline TCellDescription NamedWithForm(const char* typeName, const char* letters, std::optional<int> counter) {
    TCellDescription d;
    d.TypeName = typeName;
    d.ShortLetters = letters;
    d.Counter = counter;
    d.Sheet.Use = TSheetUse::Form;
    return d;
}
