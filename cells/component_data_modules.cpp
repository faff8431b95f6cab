// The module tabs of the component-data form: "Ampli Entrata" and "Ampli
// Uscita" edit the seven regulation rows of the input and output amplifier,
// each "Modulo n" tab the record of one head-end module of the form's module
// list (handled frequencies, channel rows, regulation values, description and
// converter type). A tab change stores the tab shown, then shows the new one.
#include <algorithm>
#include <cmath>

#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/globals.h"
#include "core/scoped_flag.h"
#include "cells/component_data.h"

namespace {

constexpr const char* NoPlan = "(Nessuna)";
constexpr const char* ValueFormat = "##0.##";
constexpr const char* FrequencyFormat = "#0";
constexpr const char* LevelMaxOut = "Livello max. out [dB]";
constexpr const char* LevelOut = "Livello uscita  [dB]";
constexpr int AmplifierTabs = 2;  // "Ampli Entrata", "Ampli Uscita"
constexpr int ModuleSlotTextChars = ModuleSlotNameChars - 1;
constexpr int ModuleDescriptionChars = 20;
// Value row of a converter's output level, and of its gain.
constexpr int ConverterLevelRow = 4;
constexpr int ConverterGainRow = 2;
// The converter types whose output is a PAL channel: no gain, an output level.
constexpr bool IsPalConversion(int t) { return t == 3 || t == 4 || t == 5; }

// Kinds of module, in the order of the "Tipo modulo" combo.
enum : int { KindFilter = 0, KindAgc = 1, KindConverter = 2, KindModulator = 3, ModuleKinds = 4 };
constexpr uint32_t KindBits[ModuleKinds] = {ModuleChannelFilter, ModuleAutomaticGain, ModuleConverter,
                                            ModuleModulator};
constexpr uint32_t AllKindBits =
    ModuleChannelFilter | ModuleAutomaticGain | ModuleConverter | ModuleModulator;

// What a module page shows for each kind: value row i holds stage row
// record[i] under caption[i]; the channel rows with their captions (slot i
// is channel row i), the description and the converter-type rows.
struct TModulePage {
    int record[DialogStageRows];
    const char* caption[DialogStageRows];
    const char* channel[DialogChannelRows];
    bool description;
    bool converter;
};
// clang-format off
const TModulePage ModulePages[ModuleKinds] = {
    {{5, 6, 0, 4, 1, 2, 3},
     {"Reg. tilt  [-dB]", "Reg. max. tilt. [-dB]", "Reg. guadagno  [-dB]", "Reg. max. guad. [-dB]",
      "Guadagno  [dB]", "Cifra di rumore [dB]", LevelMaxOut},
     {nullptr, "Freq. passante [MHz]", nullptr},
     false,
     false},
    {{0, 1, 2, 5, 3, 4, 6},
     {"Livello minimo ing.  [dB]", "Livello massimo ing.  [dB]", "Reg. guadagno  [-dB]", "Reg. max. guad. [-dB]",
      LevelOut, "Cifra di rumore [dB]", ""},
     {nullptr, "Freq. passante [MHz]", nullptr},
     false,
     false},
    {{0, 4, 1, 2, 3, 5, 6},
     {"Reg. guadagno  [-dB]", "Reg. max. guad. [-dB]", "Guadagno  [dB]", "Cifra di rumore [dB]", LevelMaxOut, "",
      ""},
     {nullptr, "Freq. ingresso [MHz]", "Freq. uscita  [MHz]"},
     true,
     true},
    {{0, 4, 2, 3, 1, 5, 6},
     {"Reg. guadagno  [-dB]", "Reg. max. guad. [-dB]", "Cifra di rumore [dB]", LevelOut, "", "", ""},
     {nullptr, nullptr, "Freq. uscita  [MHz]"},
     true,
     false},
};
// clang-format on
const char* const RegulationCaptions[DialogStageRows] = {
    "Reg. tilt  [-dB]", "Reg. max. tilt. [-dB]", "Reg. guadagno  [-dB]", "Reg. max. guad. [-dB]",
    "Guadagno  [dB]",   "Cifra di rumore [dB]",  "Livello max. out [dB]"};

// Rows inside the tab control.
constexpr int TabTop = 32;
constexpr int ModuleCaptionWidth = 151;
constexpr int ModuleValueLeft = 162;
constexpr int AmplifierCaptionWidth = 121;
constexpr int AmplifierValueLeft = 128;
constexpr int RowStep = 20;
constexpr int LineStep = 24;

// The kind of a module by its flags; a module of no kind shows as a filter.
int KindOf(const TModuloFiltro& m) {
    for (int k = 0; k < ModuleKinds; ++k)
        if (m.flags & KindBits[k]) return k;
    return -1;
}

TModuloFiltro* ModuleAt(const TModuliFiltro& list, int index) {
    if (index < 0) return nullptr;
    TModuloFiltro* m = list.head;
    for (; m && index > 0; --index) m = m->next;
    return m;
}

AnsiString Cut(const AnsiString& text, int chars) {
    return static_cast<int>(text.size()) > chars ? text.substr(0, static_cast<size_t>(chars)) : text;
}

int Bottom(const TControl* control) { return control->Top + control->Height; }

}  // namespace

// ---------------------------------------------------------------- tabs

void TDatiComponenti::RebuildModuleTabs() {
    const int modules = std::max(1, ModuleList.Count());
    const TUpdating updating(Updating);
    TabModuli->Tabs->Clear();
    TabModuli->Tabs->Add("Ampli Entrata");
    TabModuli->Tabs->Add("Ampli Uscita");
    for (int k = 0; k < modules; ++k) TabModuli->Tabs->Add("Modulo " + IntToStr(k + 1));
}

void TDatiComponenti::ShowModulePage(int index) {
    ShownModuleTab = -1;
    ShownAmplifierTab = -1;
    TabModuli->TabIndex = index + AmplifierTabs;
    ShowModule(index);
}

void TDatiComponenti::ShowSelectedTab() {
    const int tab = TabModuli->TabIndex;
    if (tab < 0) return;
    if (tab < AmplifierTabs) {
        ShownModuleTab = -1;
        ShowRegulationValues(tab);
    } else {
        ShownAmplifierTab = -1;
        ShowModule(tab - AmplifierTabs);
    }
}

void TDatiComponenti::StoreModulePage() {
    if (ShownModuleTab >= 0)
        StoreModule();
    else if (ShownAmplifierTab >= 0)
        StoreRegulationValues();
}

void TDatiComponenti::TabChange(TObject*) {
    if (Updating) return;
    StoreModulePage();
    ShowSelectedTab();
}

// ---------------------------------------------------------------- what a tab shows

void TDatiComponenti::HideTabRows() {
    for (TControl* control :
         {static_cast<TControl*>(CaptionFrequenze), static_cast<TControl*>(EditFreqMin),
          static_cast<TControl*>(EditFreqMax), static_cast<TControl*>(CaptionLarghezza),
          static_cast<TControl*>(EditLarghezza), static_cast<TControl*>(CaptionBlocchi),
          static_cast<TControl*>(EditBlocchi), static_cast<TControl*>(CaptionTipoModulo),
          static_cast<TControl*>(ComboTipoModulo), static_cast<TControl*>(CaptionDescrizioneModulo),
          static_cast<TControl*>(EditDescrizioneModulo), static_cast<TControl*>(CaptionConversione),
          static_cast<TControl*>(ComboConversione)})
        control->Visible = false;
    for (TLabel* header : ChannelHeaders[1]) header->Visible = false;
    for (int i = 0; i < DialogChannelRows; ++i)
        for (TControl* control :
             {static_cast<TControl*>(ChannelCaption[i]), static_cast<TControl*>(ChannelMin[i]),
              static_cast<TControl*>(ChannelMax[i]), static_cast<TControl*>(ChannelCombo[i]),
              static_cast<TControl*>(PlanCombo[i])})
            control->Visible = false;
    for (int r = 0; r < DialogRows; ++r) {
        RowCaption[r]->Visible = false;
        for (TEdit* edit : ValueEdit[r]) edit->Visible = false;
    }
    HideBandHeader();
}

void TDatiComponenti::ShowRegulationValues(int tab) {
    const TUpdating updating(Updating);
    ShownAmplifierTab = tab;
    HideTabRows();
    PlaceRowColumns(AmplifierCaptionWidth, AmplifierValueLeft);
    // The band header, then the seven rows with every band column.
    const int n = BandCount();
    int y = TabTop;
    for (int r = 0; r < 4; ++r) {
        BandCaption[r]->Top = y;
        for (TEdit* cell : BandCell[r]) cell->Top = y;
        y += RowStep;
    }
    ShowBandHeader();
    for (int c = 0; c < DialogBandColumns; ++c) {
        const TBanda* b = c < n ? &BandSystem->bands[static_cast<size_t>(c)] : nullptr;
        BandCell[0][c]->Text = b ? b->bandName : AnsiString();
        BandCell[1][c]->Text = b ? FormatFloat(FrequencyFormat, b->lowest) : AnsiString();
        BandCell[2][c]->Text = b ? FormatFloat(FrequencyFormat, b->reference) : AnsiString();
        BandCell[3][c]->Text = b ? FormatFloat(FrequencyFormat, b->highest) : AnsiString();
    }
    y += 8;
    const TInfo* output = ModuleList.stage.get();
    const bool hasOutput = output && output->Block2();
    for (int r = 0; r < DialogStageRows; ++r) {
        RowCaption[r]->Top = y;
        RowCaption[r]->Text = RegulationCaptions[r];
        RowCaption[r]->Visible = true;
        for (int c = 0; c < DialogBandColumns; ++c) {
            TEdit* edit = ValueEdit[r][c];
            edit->Top = y;
            edit->Visible = c < n || n == 0;
            float v = LevelNone;
            if (c < n)
                v = tab == 0 ? InputAmpTable[0][r][static_cast<size_t>(c)]
                             : (hasOutput ? output->Get2(r, c) : LevelNone);
            edit->Text = FormatLevel(v, ValueFormat);
        }
        y += RowStep;
    }
}

void TDatiComponenti::StoreRegulationValues() {
    if (ShownAmplifierTab == 0) {
        for (int r = 0; r < DialogStageRows; ++r)
            for (int c = 0; c < DialogBandColumns; ++c)
                InputAmpTable[0][r][static_cast<size_t>(c)] = ParseLevel(ValueEdit[r][c]->Text);
        return;
    }
    if (ShownAmplifierTab != 1) return;
    bool any = false;
    for (int r = 0; r < DialogStageRows; ++r)
        for (int c = 0; c < DialogBandColumns; ++c) any = any || !ValueEdit[r][c]->Text.Get().empty();
    TInfo& table = *ModuleList.stage;
    if (!any) {
        table.Free();
        return;
    }
    if (!table.Block2() || table.Size3() != ModuleStageRows || table.Size4() != BandSlots) {
        table.Init(0, 0, ModuleStageRows, BandSlots);
        table.Allocate();
    }
    for (int r = 0; r < DialogStageRows; ++r)
        for (int c = 0; c < DialogBandColumns; ++c) table.Set2(r, c, ParseLevel(ValueEdit[r][c]->Text));
}

void TDatiComponenti::ShowModule(int index) {
    const TUpdating updating(Updating);
    ShownModuleTab = index;
    HideTabRows();
    // A module's captions are longer, and it has one value column only.
    PlaceRowColumns(ModuleCaptionWidth, ModuleValueLeft);
    const TModuloFiltro* m = ModuleAt(ModuleList, index);
    if (!m) return;
    const int kind = KindOf(*m);
    const TModulePage& page = ModulePages[kind < 0 ? KindFilter : kind];

    // The four rows of the module's range and kind.
    for (TControl* control : {static_cast<TControl*>(CaptionFrequenze), static_cast<TControl*>(EditFreqMin),
                              static_cast<TControl*>(EditFreqMax), static_cast<TControl*>(CaptionLarghezza),
                              static_cast<TControl*>(EditLarghezza), static_cast<TControl*>(CaptionBlocchi),
                              static_cast<TControl*>(EditBlocchi), static_cast<TControl*>(CaptionTipoModulo),
                              static_cast<TControl*>(ComboTipoModulo)})
        control->Visible = true;
    EditFreqMin->Text = FormatLevel(m->settings[0], FrequencyFormat);
    EditFreqMax->Text = FormatLevel(m->settings[1], FrequencyFormat);
    EditLarghezza->Text = FormatLevel(m->settings[2], ValueFormat);
    EditBlocchi->Text = IntToText(m->settingIndex);
    ComboTipoModulo->ItemIndex = kind;
    int y = Bottom(ComboTipoModulo) + 8;

    // The channel rows of the kind, on plans of either use.
    FillPlanCombos(true, true);
    bool anyChannelRow = false;
    for (const char* caption : page.channel) anyChannelRow = anyChannelRow || caption;
    if (anyChannelRow) {
        for (int c = 0; c < 4; ++c) {
            ChannelHeaders[1][c]->Top = y;
            ChannelHeaders[1][c]->Visible = true;
        }
        y += 16;
    }
    for (int i = 0; i < DialogChannelRows; ++i) {
        const TCanalizzazione* plan = m->slotPlan[static_cast<size_t>(i)];
        PlanCombo[i]->Text = plan ? plan->name : AnsiString(NoPlan);
        FillChannelCombo(ChannelCombo[i], plan);
        ChannelCombo[i]->Text = m->slotName[static_cast<size_t>(i)];
        ChannelMin[i]->Text = FormatLevel(m->slotLow[static_cast<size_t>(i)], ValueFormat);
        ChannelMax[i]->Text = FormatLevel(m->slotHigh[static_cast<size_t>(i)], ValueFormat);
        // Channel row 1 shares its caption box with value row 0: no kind shows it.
        if (!page.channel[i] || i == 0) continue;
        ChannelCaption[i]->Text = page.channel[i];
        for (TControl* control :
             {static_cast<TControl*>(ChannelCaption[i]), static_cast<TControl*>(ChannelMin[i]),
              static_cast<TControl*>(ChannelMax[i]), static_cast<TControl*>(ChannelCombo[i]),
              static_cast<TControl*>(PlanCombo[i])}) {
            control->Top = y;
            control->Visible = true;
        }
        y += LineStep;
    }
    EditDescrizioneModulo->Text = m->slotLabel[ModuleOutputSlot];
    if (page.description) {
        CaptionDescrizioneModulo->Top = EditDescrizioneModulo->Top = y;
        CaptionDescrizioneModulo->Visible = EditDescrizioneModulo->Visible = true;
        y += LineStep;
    }
    ComboConversione->ItemIndex = static_cast<int>(m->flags & ModuleConversionMask);
    if (page.converter) {
        CaptionConversione->Top = ComboConversione->Top = y;
        CaptionConversione->Visible = ComboConversione->Visible = true;
        y += LineStep;
    }

    // The regulation values, in the first band column only; rows without a
    // caption keep their values hidden.
    y += 8;
    for (int r = 0; r < DialogStageRows; ++r) {
        RowCaption[r]->Text = page.caption[r];
        for (int c = 0; c < DialogBandColumns; ++c)
            ValueEdit[r][c]->Text =
                c == 0 ? FormatLevel(m->stage->Get2(page.record[r], 0), ValueFormat) : AnsiString();
        const bool shown = page.caption[r][0] != '\0';
        RowCaption[r]->Top = ValueEdit[r][0]->Top = y;
        RowCaption[r]->Visible = ValueEdit[r][0]->Visible = shown;
        if (shown) y += RowStep;
    }
    if (kind == KindConverter) UpdateModuleTypeRows(ComboConversione);
}

void TDatiComponenti::StoreModule() {
    TModuloFiltro* m = ModuleAt(ModuleList, ShownModuleTab);
    if (!m) return;
    const int kind = KindOf(*m);
    const TModulePage& page = ModulePages[kind < 0 ? KindFilter : kind];
    m->settings[0] = ParseLevel(EditFreqMin->Text);
    m->settings[1] = ParseLevel(EditFreqMax->Text);
    m->settings[2] = ParseLevel(EditLarghezza->Text);
    const float blocks = ParseLevel(EditBlocchi->Text);
    m->settingIndex = IsRealLevel(blocks) && blocks >= 0.0f && blocks < 2.0e9f
                          ? static_cast<int32_t>(std::trunc(blocks))
                          : static_cast<int32_t>(LevelNone);
    const int chosenKind = ComboTipoModulo->ItemIndex;
    if (chosenKind >= 0 && chosenKind < ModuleKinds)
        m->flags = (m->flags & ~AllKindBits) | KindBits[chosenKind];
    for (int i = 0; i < DialogChannelRows; ++i) {
        const size_t s = static_cast<size_t>(i);
        m->slotName[s] = Cut(ChannelCombo[i]->Text, ModuleSlotTextChars);
        const AnsiString planName = PlanCombo[i]->Text;
        m->slotPlan[s] = Canalizzazioni && planName != NoPlan ? Canalizzazioni->Find(planName) : nullptr;
        m->slotLow[s] = ParseLevel(ChannelMin[i]->Text);
        m->slotHigh[s] = ParseLevel(ChannelMax[i]->Text);
    }
    for (int r = 0; r < DialogStageRows; ++r)
        m->stage->Set2(page.record[r], 0, ParseLevel(ValueEdit[r][0]->Text));
    if (page.description)
        m->slotLabel[ModuleOutputSlot] = Cut(EditDescrizioneModulo->Text, ModuleDescriptionChars);
    if (!page.converter) return;
    const int type = std::max(0, ComboConversione->ItemIndex.Get());
    m->flags = (m->flags & ~ModuleConversionMask) | (static_cast<uint32_t>(type) & ModuleConversionMask);
    if (type == ConvertBlockShift) m->FollowInputBlock();
}

void TDatiComponenti::UpdateModuleTypeRows(TObject*) {
    // Only a converter's page has these rows.
    const TModuloFiltro* m = ModuleAt(ModuleList, ShownModuleTab);
    if (!m || KindOf(*m) != KindConverter) return;
    const int type = ComboConversione->ItemIndex;
    RowCaption[ConverterLevelRow]->Text = LevelMaxOut;
    const bool blockShift = type == ConvertBlockShift;
    for (TControl* control : {static_cast<TControl*>(ChannelMax[ModuleOutputSlot]),
                              static_cast<TControl*>(ChannelCombo[ModuleOutputSlot]),
                              static_cast<TControl*>(PlanCombo[ModuleOutputSlot])})
        control->Visible = !blockShift && ChannelCaption[ModuleOutputSlot]->Visible;
    const bool pal = IsPalConversion(type);
    if (pal) RowCaption[ConverterLevelRow]->Text = LevelOut;
    // A PAL output has no gain of its own to enter.
    RowCaption[ConverterGainRow]->Visible = !pal;
    ValueEdit[ConverterGainRow][0]->Visible = !pal;
}
