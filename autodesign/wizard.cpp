#include "autodesign/wizard.h"

#include <memory>
#include <string>
#include <vector>

#include "cells/cell.h"
#include "cells/library_cells.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/ini.h"
#include "core/program_folder.h"
#include "core/levels.h"
#include "core/libraries.h"
#include "platform/application.h"
#include "platform/utf8.h"

const char* const CablePickerNames[CableTextCount] = {"MTLib", "MTCod", "MSLib", "MSCod", "STLib", "STCod",
                                                      "SSLib", "SSCod", "ATLib", "ATCod", "ASLib", "ASCod"};

namespace {

const char* const AntennaSlotPrefix = "PreselT";
const char* const ComponentSlotPrefix = "PreselC";
const char* const SlotUsed = "W";
const char* const DefaultSelFile = "Default.sel";
const char* const ConnectorSlotNames[ConnectorPickers] = {"PresaTer", "PresaSat"};
// "Default.sel": the selection, then the twelve cable picker texts.
constexpr int DefaultSelStrings = 1 + CableTextCount;

AnsiString Num(int n) { return std::to_string(n); }

// A level as the settings store keeps it: the number's text, "" read as none.
float LevelOfText(const AnsiString& text) { return text.empty() ? LevelNone : TextToFloat(text, LevelNone); }

// The folder of "Default.sel" and the default library.
AnsiString ProgramFolder() { return ProgramDirectory(Ini); }

}  // namespace

void TAutoProgetto::RefreshChannelPanels() {
    for (TPannelloCanaliTer* panel : ChannelPanels) panel->Settings = Settings;
    ChannelPanels[0]->Refresh();
}

// ---------------------------------------------------------------- preselections

void TAutoProgetto::SaveClick(int n) {
    SavePreselection(n);
    if (n >= 1 && n <= PreselectionSlots) PreselezioneL[n - 1]->Enabled = true;
}

void TAutoProgetto::SavePreselection(int n) {
    if (!Ini) return;
    const bool antennas = ChannelsPageShown();
    const AnsiString slot = (antennas ? AntennaSlotPrefix : ComponentSlotPrefix) + Num(n);
    if (!Ini->String(slot).empty()) {
        const AnsiString question =
            "Questa operazione comporta la perdita della precedente preselezione " + Num(n) + ". Procedere?";
        const AnsiString title = Application ? Application->Title : AnsiString();
        if (!Application || Application->MessageBox(question, title, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return;
    }
    TIniUpdate update(*Ini);
    Ini->WriteString(slot, SlotUsed);
    if (antennas)
        SaveAntennas(slot);
    else
        SaveComponents(slot);
}

void TAutoProgetto::SaveAntennas(const AnsiString& slot) {
    for (int r = 0; r < AntennaSlots; ++r) {
        const TAntennaAutoProg& a = Opz().Antennas[static_cast<size_t>(r)];
        const AnsiString p = slot + Num(r);
        Ini->WriteFloat(p + "FMin", a.FMin);
        Ini->WriteFloat(p + "FMax", a.FMax);
        Ini->WriteString(p + "Lib", a.Library);
        Ini->WriteString(p + "Cod", a.Code);
        Ini->WriteInteger(p + "CanId", a.Plan ? static_cast<unsigned char>(a.Plan->id) : 0);
        Ini->WriteString(p + "CanNome", a.Plan ? a.Plan->name : AnsiString());
        Ini->WriteInteger(p + "CanNum", a.Channels.Count());
        int c = 0;
        for (const TCanale* ch = a.Channels.head; ch; ch = ch->next, ++c) {
            const AnsiString q = p + "Can" + Num(c);
            Ini->WriteString(q + "Nome", ch->name);
            Ini->WriteString(q + "Desc", ch->label);
            Ini->WriteString(q + "Sig", FloatToStr(ch->levelMin));
            Ini->WriteString(q + "Tipo", AnsiString(1, ch->signalType));
        }
    }
}

void TAutoProgetto::SaveComponents(const AnsiString& slot) {
    TStringList paths;
    ComponentTree->GetCheckedPaths(paths);
    Ini->WriteString(slot + "List", paths.Text());
    for (int k = 0; k < CableTextCount; ++k)
        Ini->WriteString(slot + CablePickerNames[k], CablePicker[k]->Text);
    for (int k = 0; k < ConnectorPickers; ++k)
        Ini->WriteInteger(slot + ConnectorSlotNames[k], ConnectorPicker[k]->ItemIndex);
}

void TAutoProgetto::LoadPreselection(int n) {
    if (!Ini) return;
    const bool antennas = ChannelsPageShown();
    const AnsiString slot = (antennas ? AntennaSlotPrefix : ComponentSlotPrefix) + Num(n);
    // A slot never saved leaves everything as it is (its menu item is off).
    if (Ini->String(slot).empty()) return;
    if (antennas)
        LoadAntennas(slot);
    else
        LoadComponents(slot);
}

void TAutoProgetto::LoadAntennas(const AnsiString& slot) {
    for (int r = 0; r < AntennaSlots; ++r) {
        TAntennaAutoProg& a = Opz().Antennas[static_cast<size_t>(r)];
        const AnsiString p = slot + Num(r);
        a.Reset();
        Ini->ReadFloatDef(p + "FMin", a.FMin, LevelNone);
        Ini->ReadFloatDef(p + "FMax", a.FMax, LevelNone);
        a.Library = utf8::Mid(Ini->String(p + "Lib"), 0, AntennaTextMax);
        a.Code = utf8::Mid(Ini->String(p + "Cod"), 0, AntennaTextMax);
        int32_t id = 0, count = 0;
        Ini->ReadIntegerDef(p + "CanId", id, 0);
        a.Plan = nullptr;
        if (Canalizzazioni)
            a.Plan = id > 0 ? Canalizzazioni->FindById(static_cast<char>(id))
                            : Canalizzazioni->Find(Ini->String(p + "CanNome"));
        a.ClearChannels();
        Ini->ReadIntegerDef(p + "CanNum", count, 0);
        for (int32_t c = 0; c < count && c < MaxAntennaChannels; ++c) {
            const AnsiString q = p + "Can" + Num(c);
            TCanaleFuoriPiano stored;
            stored.Name = utf8::Mid(Ini->String(q + "Nome"), 0, AntennaChannelNameMax);
            stored.Label = utf8::Mid(Ini->String(q + "Desc"), 0, AntennaChannelLabelMax);
            stored.Level = LevelOfText(Ini->String(q + "Sig"));
            const AnsiString kind = Ini->String(q + "Tipo");
            stored.Kind = kind.empty() ? SignalAnalog : static_cast<uint8_t>(kind[0]);
            const int row = a.Plan ? a.Plan->IndexOf(stored.Name) : -1;
            if (!a.AddPlanChannel(row, stored.Label, stored.Level, static_cast<char>(stored.Kind)))
                a.OtherChannels.push_back(stored);
        }
    }
    RefreshChannelPanels();
}

void TAutoProgetto::LoadComponents(const AnsiString& slot) {
    TStringList paths;
    paths.SetText(Ini->String(slot + "List"));
    ComponentTree->CheckPaths(paths);
    for (int k = 0; k < CableTextCount; ++k) {
        const AnsiString text = Ini->String(slot + CablePickerNames[k]);
        if (!text.empty()) CablePicker[k]->Text = text;
    }
    for (int k = 0; k < ConnectorPickers; ++k) {
        int32_t index = 0;
        Ini->ReadIntegerDef(slot + ConnectorSlotNames[k], index, 0);
        ConnectorPicker[k]->ItemIndex = index >= 0 && index < ConnectorPicker[k]->Items->Count() ? index : 0;
    }
}

void TAutoProgetto::PreselezionatiClick(TObject*) {
    const AnsiString prefix = ChannelsPageShown() ? AntennaSlotPrefix : ComponentSlotPrefix;
    for (int n = 1; n <= PreselectionSlots; ++n)
        PreselezioneL[n - 1]->Enabled = Ini && !Ini->String(prefix + Num(n)).empty();
}

// ---------------------------------------------------------------- "Default.sel"

void TAutoProgetto::ReadDefaultSel() {
    const AnsiString path = ProgramFolder() + DefaultSelFile;
    if (!FileExists(path)) return;
    std::unique_ptr<TFile> file;
    try {
        file = std::make_unique<TFile>(path, ModeReadExclusive);
    } catch (const Exception&) {
        // The default choice is a convenience: a file that does not open is passed over.
        return;
    }
    ReadDefaultSel(*file);
}

void TAutoProgetto::ReadDefaultSel(TStream& s) {
    for (int i = 0; i < DefaultSelStrings; ++i) {
        AnsiString text;
        bool whole = true;
        try {
            text = chunked::ReadString(s, -1);
        } catch (const EReadError&) {
            whole = false;
        }
        if (i == 0) {
            TStringList paths;
            paths.SetText(text);
            ComponentTree->CheckPaths(paths);
        } else if (!text.empty()) {
            CablePicker[i - 1]->Text = text;
        }
        if (!whole) return;
    }
}

// ---------------------------------------------------------------- components of a run

bool TAutoProgetto::CollectSelectedComponents(TMemLib& target) {
    target.Clear();
    std::vector<std::unique_ptr<TCella>> read;
    // Takes the first cell read whose code is the node's text into the target.
    auto take = [&](const TTreeNode* node, bool described) {
        for (std::unique_ptr<TCella>& cell : read)
            if (cell && cell->Code == node->Text.Get()) {
                if (described) cell->Described = 1;
                target.Insert(std::move(cell));
                return;
            }
    };
    for (int i = 0; i < ComponentTree->Items->RootCount(); ++i) {
        const TTreeNode* root = ComponentTree->Items->Root(i);
        if (root->Count() == 0 || root->StateIndex == NodeEmpty) continue;
        TLibreria* library = Librerie ? Librerie->Find(root->Text) : nullptr;
        read.clear();
        if (!library || !library->Open(false)) continue;
        for (std::unique_ptr<TCella> cell = FirstLibraryCell(*library); cell; cell = NextLibraryCell(*library))
            read.push_back(std::move(cell));
        library->Close();
        for (const TTreeNode* group = root->getFirstChild(); group; group = group->getNextSibling())
            for (const TTreeNode* node = group->getFirstChild(); node; node = node->getNextSibling()) {
                if (node->Count() == 0) {
                    if (node->StateIndex == NodeFull) take(node, false);
                    continue;
                }
                for (const TTreeNode* leaf = node->getFirstChild(); leaf; leaf = leaf->getNextSibling())
                    if (leaf->StateIndex == NodeFull) take(leaf, true);
            }
    }
    return true;
}
