// Active filters, modulators and converters: their module on file, in the
// form and in the channel pass, their checks and symbols.
#include "cells/active_filters.h"

#include <algorithm>

#include "cells/cables.h"
#include "cells/checks.h"
#include "cells/drawing.h"
#include "cells/pass_flags.h"
#include "cells/pass_links.h"
#include "cells/prototypes.h"
#include "cells/report_writing.h"
#include "core/channel_list.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "cells/cell_grid.h"

namespace {

constexpr int32_t VersionWithPortCounts = V20000;
constexpr int32_t VersionWithModuleList = V60000;
constexpr uint32_t OldConversionMark = 1;      // flags bit 0: the module came from an older record
constexpr uint32_t CharacteristicDigital = 1;  // "Componente digitale"
constexpr int32_t StageColumns = 7;
constexpr float ModulatorNoiseFigure = 2.5f;
constexpr int ModuleTextChars = 20;

// The form's row maps: dialog row i shows stage row map[i]; -1 ends the page order.
constexpr int32_t FilterRowMap[10] = {0, 4, 1, 2, 3, 5, -1, -1, -1, -1};
constexpr int32_t AgcRowMap[10] = {0, 1, 2, 5, 3, 4, -1, -1, -1, -1};
constexpr int32_t ModulatorRowMap[10] = {0, 4, 2, 3, 1, 5, -1, -1, -1, -1};

// "Dati elettrici" and positions of a filter module in the form.
constexpr int32_t ModuleElectrical = ElectricReceives | ElectricSupplies;
constexpr int32_t ModulePositions = PositionHeadEnd;

// The edge between terrestrial bands and satellite intermediate frequencies.
constexpr float SatelliteEdge = 950.0f;

void AppendFreshModule(TModuliFiltro& list, uint32_t kind, TSistemaBande* system) {
    auto module = std::make_unique<TModuloFiltro>();
    module->flags = kind;
    module->bandSystem = system;
    list.Append(std::move(module));
}

// A text in the symbol's units, its top left at (x, y).
void SymbolText(const char* font, const AnsiString& text, int32_t x, int32_t y, float points) {
    const TSymbolState& s = SymbolState;
    if (!s.Canvas) return;
    s.Canvas->Font->Name = font;
    s.Canvas->Font->Size = std::max(1, static_cast<int32_t>(points * s.FontScale));
    s.Canvas->TextOut(s.OriginX + static_cast<int32_t>(static_cast<float>(x) * s.Scale),
                      s.OriginY + static_cast<int32_t>(static_cast<float>(y) * s.Scale), text);
}

}  // namespace

// ---- The common base ----

TFiltroAttivo::TFiltroAttivo(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                             int32_t row, int32_t inputArrangement, int32_t outputArrangement)
    : TCellaAutoMix(owner, orientation, mirrored, column, row, inputArrangement, outputArrangement) {}

TFiltroAttivo::~TFiltroAttivo() = default;

bool TFiltroAttivo::Present(float v) { return v > LevelNone || v == LevelBlocked; }

std::span<const int32_t> TFiltroAttivo::RowMap() const { return FilterRowMap; }

int32_t TFiltroAttivo::CheckedStageRows() const { return 5; }

int32_t TFiltroAttivo::AdjustedRow() const { return 0; }

void TFiltroAttivo::Load(TStream& stream, int32_t version) {
    TCellaAutoMix::Load(stream, version);
    if (!Modules->head) AppendFreshModule(*Modules, ModuleKindOf(TypeCode), BandSystem);
    if (version >= VersionWithModuleList) return;
    // The module takes the stage the cell's table held; the table keeps nothing of it.
    TModuloFiltro& m = Module();
    m.flags |= OldConversionMark;
    m.bandSystem = BandSystem;
    if (Characteristics[0] & CharacteristicDigital)
        m.flags |= ModuleDigital;
    else
        m.flags &= ~ModuleDigital;
    for (int32_t k = 0; k < StageColumns; ++k)
        for (int32_t b = 0; b < BandSlots; ++b) m.stage->Set2(k, b, Attenuation->Get3(0, k, b));
    for (int32_t k = 0; k < std::min<int32_t>(StageColumns, TableColumns); ++k)
        for (int32_t b = 0; b < BandSlots; ++b) Attenuation->Set3(0, k, b, LevelNone);
}

void TFiltroAttivo::FillDataDialogDefault(TDatiComponenti* dialog) {
    FillDataDialog(dialog, RowMap());
    TModuliFiltro::Assign(*Modules, dialog->ModuleList);
}

void TFiltroAttivo::ReadDataDialogDefault(TDatiComponenti* dialog) {
    ReadDataDialog(dialog, RowMap());
    TModuliFiltro::Assign(dialog->ModuleList, *Modules);
    // A form that carried no module leaves the cell its own fresh one.
    if (!Modules->head) AppendFreshModule(*Modules, ModuleKindOf(TypeCode), BandSystem);
    const bool digital = (Characteristics[0] & CharacteristicDigital) != 0;
    for (TModuloFiltro* m = Modules->head; m; m = m->next) {
        if (digital)
            m->flags |= ModuleDigital;
        else
            m->flags &= ~ModuleDigital;
    }
}

TCellDescription TFiltroAttivo::DescribeModule(const char* typeName, const char* letters, int counter) const {
    TCellDescription d = TCellaAutoMix::Describe();
    d.TypeName = typeName;
    d.ShortLetters = letters;
    d.Counter = counter;
    d.Sheet.Use = TSheetUse::Form;
    d.Sheet.ShowModuleTabs = true;
    d.Sheet.ShowBandRows = false;
    d.Sheet.ElectricalWord = ModuleElectrical;
    d.Sheet.PositionsWord = ModulePositions;
    return d;
}

// The arrangement pairs the program keeps prototypes for; another has none.
TCella* TFiltroAttivo::GetPrototype() const {
    return FindPrototype({TypeCode, InputArrangement(), OutputArrangement(), 0});
}

bool TFiltroAttivo::CheckData(const AnsiString& prefix) {
    const TModuloFiltro& m = Module();
    bool complete =
        m.slotLow[ModuleInputSlot] >= 0.0f && m.slotHigh[ModuleInputSlot] >= m.slotLow[ModuleInputSlot];
    for (int32_t r = 0; r < CheckedStageRows(); ++r) complete = complete && Present(m.stage->Get2(r, 0));
    if (complete) return true;
    ReportProblem(prefix + "I dati del componente sono incompleti.");
    return false;
}

void TFiltroAttivo::AdjustLossTables() { Module().stage->Set2(AdjustedRow(), 0, 0.0f); }

void TFiltroAttivo::ComputeChannels(int32_t flags, int32_t port, uint32_t stamp) {
    if (stamp <= PassStamp) return;
    const bool fresh = PassStamp < stamp - 1;
    if (fresh || ChannelLists.size() != static_cast<size_t>(NumOutputs)) ResetChannelLists();
    if (port > 0) flags &= ~ChannelFlagFirstStep;
    const AnsiString prefix = GetShortCode();
    TListaCanali* common = OutputList(*this, AutoMixCommonOutput);
    TListaCanali* own = OutputList(*this, AutoMixOwnOutput);
    if (!common || !own) return;
    TCella* up = InputNeighbour(*this, 0);
    const int32_t upPort = InputNeighbourPort(*this, 0);
    if (fresh) {
        // The first step: the common line passes on unchanged.
        if (up) {
            up->ComputeChannels(flags | ChannelFlagFirstStep, upPort, stamp);
            if (const TListaCanali* arriving = OutputList(*up, upPort))
                TListaCanali::AddAll(*arriving, *common);
        }
        if (LevelTableA->Rank() == 3 && LevelTableA->Block3(0)) {
            TInfo stage(2);
            stage.Alloc2(StageColumns, BandSlots);
            for (int32_t k = 0; k < StageColumns; ++k)
                for (int32_t b = 0; b < BandSlots; ++b) stage.Set2(k, b, LevelTableA->Get3(0, k, b));
            TListaCanali::CheckHandled(*common, stage, prefix, 0, 0);
        }
        PassStamp = stamp - 1;
    }
    if (flags & ChannelFlagFirstStep) return;
    if (OutputArrangement() == AutoMixOutputOuter)
        if (TCella* below = InputNeighbour(*this, AutoMixBelowInput)) {
            const int32_t belowPort = InputNeighbourPort(*this, AutoMixBelowInput);
            below->ComputeChannels(flags, belowPort, stamp);
            if (const TListaCanali* fed = OutputList(*below, belowPort)) TListaCanali::AddAll(*fed, *own);
        }
    // The module works on a copy: its input stage must not touch the list upstream.
    TListaCanali input;
    if (const TListaCanali* arriving = up ? OutputList(*up, upPort) : nullptr)
        TListaCanali::AddAll(*arriving, input);
    Module().Process(*own, input, prefix);
    PassStamp = stamp;
}

void TFiltroAttivo::GetPortLevelText(TRichEdit* report) {
    TListaCanali empty;
    TListaCanali* common = OutputList(*this, AutoMixCommonOutput);
    TListaCanali* own = OutputList(*this, AutoMixOwnOutput);
    AddChannelRowsDefault(report, GetShortCode() + " ingresso", common ? *common : empty);
    AddChannelRowsDefault(report, GetShortCode() + " uscita", own ? *own : empty);
}

// ---- The active channel filters ----

TFiltroAT::TFiltroAT(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                     int32_t inputArrangement, int32_t outputArrangement)
    : TFiltroAttivo(owner, orientation, mirrored, column, row, inputArrangement, outputArrangement) {
    TypeCode = CodeFiltroAT;
    Kind = CodeFiltroAT;
    Category = "Filtri attivi";
    Module().flags = ModuleChannelFilter;
    Module().bandSystem = BandSystem;
}

TCellDescription TFiltroAT::Describe() const {
    return DescribeModule("Filtro attivo ", "Fa", ActiveFilterCounter);
}

TFiltroCAG::TFiltroCAG(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                       int32_t inputArrangement, int32_t outputArrangement)
    : TFiltroAttivo(owner, orientation, mirrored, column, row, inputArrangement, outputArrangement) {
    TypeCode = CodeFiltroCAG;
    Kind = CodeFiltroAT;
    Category = "Filtri attivi";
    Module().flags = ModuleAutomaticGain;
    Module().bandSystem = BandSystem;
}

TCellDescription TFiltroCAG::Describe() const {
    return DescribeModule("Filtro attivo CAG ", "Fa", ActiveFilterCounter);
}
std::span<const int32_t> TFiltroCAG::RowMap() const { return AgcRowMap; }
int32_t TFiltroCAG::CheckedStageRows() const { return 6; }
int32_t TFiltroCAG::AdjustedRow() const { return 2; }

// ---- The modulator ----

TModulatore::TModulatore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column, int32_t row,
                         int32_t outputArrangement)
    : TFiltroAttivo(owner, orientation, mirrored, column, row, AutoMixNoInput, outputArrangement) {
    TypeCode = CodeModulatore;
    Kind = CodeModulatore;
    Category = "Modulatori";
    Module().flags = ModuleModulator;
    Module().bandSystem = BandSystem;
}

TCellDescription TModulatore::Describe() const {
    return DescribeModule("Modulatore ", "Mo", ModulatorCounter);
}
std::span<const int32_t> TModulatore::RowMap() const { return ModulatorRowMap; }
bool TModulatore::IsSignalStart() const { return true; }
void TModulatore::AdjustLossTables() {}

TCella* TModulatore::GetPrototype() const { return FindPrototype({TypeCode, OutputArrangement(), 0, 0}); }

void TModulatore::Load(TStream& stream, int32_t version) {
    TFiltroAttivo::Load(stream, version);
    if (version >= VersionWithModuleList) return;
    // The output channel stood in slot 0.
    TModuloFiltro& m = Module();
    m.slotLow[ModuleOutputSlot] = m.slotLow[0];
    m.slotHigh[ModuleOutputSlot] = m.slotHigh[0];
    m.slotPlan[ModuleOutputSlot] = m.slotPlan[0];
    m.slotName[ModuleOutputSlot] = m.slotName[0];
    m.slotLow[0] = m.slotHigh[0] = LevelNone;
    m.slotPlan[0] = nullptr;
    m.slotName[0].clear();
    if (const TCanalizzazione* plan = CanalizzazioneItalia)
        for (int r = 0; r < plan->Count(); ++r)
            if (plan->Row(r).lowEdge == m.slotLow[ModuleOutputSlot] &&
                plan->Row(r).highEdge == m.slotHigh[ModuleOutputSlot]) {
                m.slotPlan[ModuleOutputSlot] = CanalizzazioneItalia;
                m.slotName[ModuleOutputSlot] = plan->Row(r).channelName;
                break;
            }
    m.stage->Set2(3, 0, m.stage->Get2(1, 0));
    m.stage->Set2(0, 0, 0.0f);
    m.stage->Set2(4, 0, 0.0f);
    m.stage->Set2(2, 0, ModulatorNoiseFigure);
    if (Characteristics[0] != 0) m.flags |= ModuleDigital;
}

bool TModulatore::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    TCellaAutoMix::PlaceOnGrid(record, queue);
    if (!Owner || Row <= 0) return true;
    // The audio/video feed: a cable above the top centre reaching down into the box.
    const TCella* above = Owner->CellAt(Column + 1, Row - 1);
    const auto* cable = dynamic_cast<const TNCavo*>(above);
    if (!above || above->Kind != KindCableSegment) return true;
    const bool reaches = above->Overlay || (cable && !cable->Bend && above->Orientation == 0) ||
                         (cable && cable->Bend && (above->Orientation == 0 || above->Orientation == 3));
    if (reaches) MarkGridCell(Column + 1, Row, TSide::Top, 0, 0);
    return true;
}

void TModulatore::FillDataDialogDefault(TDatiComponenti* dialog) {
    TFiltroAttivo::FillDataDialogDefault(dialog);
    dialog->EditDescrizioneModulo->Text = Module().slotLabel[ModuleOutputSlot];
}

void TModulatore::ReadDataDialogDefault(TDatiComponenti* dialog) {
    TFiltroAttivo::ReadDataDialogDefault(dialog);
    Module().slotLabel[ModuleOutputSlot] =
        AnsiString(dialog->EditDescrizioneModulo->Text).substr(0, ModuleTextChars);
}

bool TModulatore::CheckData(const AnsiString& prefix) {
    const TModuloFiltro& m = Module();
    const float low = m.slotLow[ModuleOutputSlot], high = m.slotHigh[ModuleOutputSlot];
    if (!(low >= 0.0f && high >= low && Present(m.stage->Get2(3, 0)))) {
        ReportProblem(prefix + "I dati del componente sono incompleti.");
        return false;
    }
    const float r0 = m.stage->Get2(0, 0), r4 = m.stage->Get2(4, 0);
    if (r0 >= 0.0f && r4 >= 0.0f && r0 > r4) {
        ReportProblem(prefix + "dati regolazione errati o incoerenti con i livelli massimi.");
        return false;
    }
    return true;
}

void TModulatore::ComputeChannels(int32_t flags, int32_t, uint32_t stamp) {
    if (!EnterPass(stamp)) return;
    ResetChannelLists();
    flags &= ~ChannelFlagFirstStep;
    TListaCanali* own = OutputList(*this, AutoMixOwnOutput);
    if (!own) return;
    if (OutputArrangement() == AutoMixOutputOuter)
        if (TCella* below = InputNeighbour(*this, AutoMixBelowInput)) {
            const int32_t belowPort = InputNeighbourPort(*this, AutoMixBelowInput);
            below->ComputeChannels(flags, belowPort, stamp);
            if (const TListaCanali* fed = OutputList(*below, belowPort)) TListaCanali::AddAll(*fed, *own);
        }
    TListaCanali none;
    Module().Process(*own, none, GetShortCode());
}

void TModulatore::GetPortLevelText(TRichEdit* report) {
    TListaCanali empty;
    TListaCanali* own = OutputList(*this, AutoMixOwnOutput);
    AddChannelRowsDefault(report, GetShortCode() + " ingresso", own ? *own : empty);
}

// ---- The converter ----

TConvertitore::TConvertitore(TCellGrid* owner, int32_t orientation, int32_t mirrored, int32_t column,
                             int32_t row, int32_t inputArrangement, int32_t outputArrangement)
    : TFiltroAttivo(owner, orientation, mirrored, column, row, inputArrangement, outputArrangement) {
    TypeCode = CodeConvertitore;
    Kind = CodeConvertitore;
    Category = "Convertitori";
    Module().flags = ModuleConverter;
    Module().bandSystem = BandSystem;
}

TCellDescription TConvertitore::Describe() const {
    return DescribeModule("Convertitore ", "Cv", ConverterCounter);
}
bool TConvertitore::IsAutoMixModule() const { return Variant == 0; }

int32_t TConvertitore::ConversionKind() const {
    return static_cast<int32_t>(Module().flags & ModuleConversionMask);
}

TCellRect TConvertitore::GetGridRect() const {
    if (Variant == 1) return TCellRect{Row, Column, Row, Column};
    return TCellaAutoMix::GetGridRect();
}

void TConvertitore::Load(TStream& stream, int32_t version) {
    TFiltroAttivo::Load(stream, version);
    if (Variant > 1) Variant = 0;
    if (version >= VersionWithModuleList) return;
    int32_t kind = 0;
    if (version < VersionWithPortCounts) {
        Inputs = AutoMixCommonLine;
        ThroughOutputs = AutoMixOutputOuter;
        SetPortCounts();
        const TModuloFiltro& m = Module();
        auto terrestrial = [](const TCanalizzazione* plan) { return plan && plan->terrestrial; };
        kind = terrestrial(m.slotPlan[ModuleInputSlot])    ? ConvertChannelToChannel
               : terrestrial(m.slotPlan[ModuleOutputSlot]) ? ConvertQpskToQam
                                                           : ConvertBlockShift;
    } else {
        kind = ReadI32(stream);
        if (kind < 0 || kind > static_cast<int32_t>(ModuleConversionMask))
            throw EReadError("Tipo di conversione non valido");
    }
    Module().flags = (Module().flags & ~ModuleConversionMask) | static_cast<uint32_t>(kind);
}

bool TConvertitore::PlaceOnGrid(const TNextCell& record, TQNextCell& queue) {
    if (Variant != 1) return TCellaAutoMix::PlaceOnGrid(record, queue);
    if (Owner)
        if (TSquareAnalysis* square = Owner->AnalysisAt(Column, Row)) square->Visited = 1;
    MarkGridCell(Column, Row, TSide::Top, 0, 0);
    LinkPortAt(Column, Row, AutoMixOwnOutput, TSide::Bottom, 0, 0, queue);
    return true;
}

void TConvertitore::FillDataDialogDefault(TDatiComponenti* dialog) {
    TFiltroAttivo::FillDataDialogDefault(dialog);
    dialog->ComboConversione->ItemIndex = ConversionKind();
    dialog->EditDescrizioneModulo->Text = Module().slotLabel[ModuleOutputSlot];
}

void TConvertitore::ReadDataDialogDefault(TDatiComponenti* dialog) {
    TFiltroAttivo::ReadDataDialogDefault(dialog);
    TModuloFiltro& m = Module();
    m.slotLabel[ModuleOutputSlot] =
        AnsiString(dialog->EditDescrizioneModulo->Text).substr(0, ModuleTextChars);
    const int32_t kind = std::max(0, dialog->ComboConversione->ItemIndex.Get());
    m.flags = (m.flags & ~ModuleConversionMask) | (static_cast<uint32_t>(kind) & ModuleConversionMask);
    if (kind == ConvertBlockShift) m.FollowInputBlock();
}

bool TConvertitore::CheckData(const AnsiString& prefix) {
    const TModuloFiltro& m = Module();
    bool complete = true;
    for (int32_t r = 0; r < 5; ++r) complete = complete && Present(m.stage->Get2(r, 0));
    for (int32_t slot : {ModuleInputSlot, ModuleOutputSlot})
        complete = complete && m.slotLow[slot] >= 0.0f && m.slotHigh[slot] >= 0.0f;
    if (!complete) {
        ReportProblem(prefix + "I dati del componente sono incompleti.");
        return false;
    }
    for (int32_t slot : {ModuleInputSlot, ModuleOutputSlot})
        if (m.slotLow[slot] > m.slotHigh[slot]) {
            ReportProblem(prefix + "Le frequenze dei canali non sono valide.");
            return false;
        }
    const float inLow = m.slotLow[ModuleInputSlot], inHigh = m.slotHigh[ModuleInputSlot];
    const float outLow = m.slotLow[ModuleOutputSlot], outHigh = m.slotHigh[ModuleOutputSlot];
    const bool terrestrial = inHigh <= SatelliteEdge && outHigh <= SatelliteEdge;
    const bool satellite = inLow >= SatelliteEdge && outLow >= SatelliteEdge;
    const bool down = inLow >= SatelliteEdge && outHigh <= SatelliteEdge;
    static constexpr const char* messages[8] = {
        "I convertitori canale/canale lavorano solo in terrestre.",
        "I convertitori IF/IF lavorano solo in satellitare.",
        "I convertitori 4QPSK/64QAM devono avere ingresso satellitare e uscita terrestre.",
        "I convertitori 4QPSK/PAL devono avere ingresso satellitare e uscita terrestre.",
        "I convertitori COFDM/PAL lavorano solo in terrestre.",
        "I convertitori ANALOG/PAL devono avere ingresso satellitare e uscita terrestre.",
        "I convertitori DVBS2/COFDM devono avere ingresso satellitare e uscita terrestre.",
        "I convertitori DVBS2/QAM devono avere ingresso satellitare e uscita terrestre.",
    };
    const int32_t kind = ConversionKind();
    const bool ok = kind == ConvertChannelToChannel || kind == ConvertCofdmReceiver ? terrestrial
                    : kind == ConvertBlockShift                                     ? satellite
                                                                                    : down;
    if (ok) return true;
    ReportProblem(prefix + messages[kind]);
    return false;
}

// ---- Symbols: the module box with each class's marks ----

void TFiltroAT::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y, int32_t zoom) {
    TCellaAutoMix::DrawSymbol(canvas, column, row, x, y, zoom);
    DrawModuleSymbol(SymbolState.W / 2 - 8, SymbolState.H / 2 - 8, 0);
}

void TFiltroCAG::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                            int32_t zoom) {
    TCellaAutoMix::DrawSymbol(canvas, column, row, x, y, zoom);
    DrawModuleSymbol(SymbolState.W / 2 - 8, SymbolState.H / 2 - 8, 1);
}

void TModulatore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                             int32_t zoom) {
    TCellaAutoMix::DrawSymbol(canvas, column, row, x, y, zoom);
    SymbolText("Arial", "A / V", 14, SymbolState.H / 2 - 6, 8.0f);
}

void TConvertitore::DrawSymbol(TCanvas* canvas, int32_t column, int32_t row, int32_t x, int32_t y,
                               int32_t zoom) {
    if (Variant == 1) {
        BeginSymbol(canvas, column, row, x, y, zoom);
        SymRectangle(3, 3, 17, 17);
        SymMoveTo(10, 0);
        SymLineTo(10, 3);
        SymMoveTo(10, 17);
        SymLineTo(10, 20);
        SymMoveTo(3, 17);
        SymLineTo(17, 3);
        return;
    }
    TCellaAutoMix::DrawSymbol(canvas, column, row, x, y, zoom);
    static constexpr const char* texts[8][2] = {{"", ""},       {"IF", "IF"},   {"QPSK", "QAM"},
                                                {"QPS", "PAL"}, {"OFD", "PAL"}, {"AN", "PAL"},
                                                {"", ""},       {"", ""}};
    const int32_t kind = ConversionKind();
    const int32_t h = SymbolState.H;
    SymbolText("Times New Roman", texts[kind][0], 14, h / 2 - 16, 7.0f);
    SymbolText("Times New Roman", texts[kind][1], 14, h / 2 + 4, 7.0f);
    SymMoveTo(10, h / 2);
    SymLineTo(SymbolState.W - 10, h / 2);
}
