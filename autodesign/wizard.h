#pragma once
// TAutoProgetto, the design wizard: the parts that tie it to the design
// settings, the settings store and the engine. The selection tree of the
// components page, the cable and connector pickers, the channel panels of the
// reception page, the four preselection slots of the settings store with
// their menus, "Default.sel" of the program directory, and the collection of
// the ticked components into the engine's component list before a run.
//
// Preselection slot n (1-4) in the settings store, names made by joining the
// parts: "PreselT" n holds "W" when antennas were saved, with for each antenna r (0-9)
// "FMin", "FMax", "Lib", "Cod", "CanId", "CanNome", "CanNum" and for each of
// its channels c "Can" c "Nome", "Desc", "Sig", "Tipo" after "PreselT" n r;
// "PreselC" n holds "W" when components were saved, with "List" (the ticked tree paths, one
// a line), the twelve cable picker texts ("MTLib" .. "ASCod") and "PresaTer",
// "PresaSat" after "PreselC" n.
#include "autodesign/channel_panel.h"
#include "autodesign/design_settings.h"
#include "autodesign/selection_tree.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

class TMemLib;

constexpr int WizardPages = 5;
constexpr int WizardChannelsPage = 2;
constexpr int WizardComponentsPage = 4;
constexpr int PreselectionSlots = 4;
constexpr int WizardChannelPanels = 3;
constexpr int ConnectorPickers = 2;  // terrestrial, satellite outlets
// The names of the twelve cable pickers, in the order of the settings' cable
// texts; the settings store keeps the last choice under "C" + name.
extern const char* const CablePickerNames[CableTextCount];  // "MTLib", "MTCod", ... "ASCod"

class TAutoProgetto : public TForm {
public:
    explicit TAutoProgetto(TComponent* owner = nullptr);

    // The design settings the wizard edits; the program's when none is set.
    TOpzProgetto& Opz() const { return Settings ? *Settings : DesignSettings(); }
    bool ChannelsPageShown() const { return CurrentPage == WizardChannelsPage; }

    // Preselections: the antennas while the reception page is shown, else
    // the component choice.
    void SavePreselection(int n);
    void LoadPreselection(int n);
    // The channel panels show the antennas again, down the chain.
    void RefreshChannelPanels();

    // "Default.sel" of the program directory: the tree marks and the cable
    // pickers. A missing or unreadable file changes nothing and says nothing.
    void ReadDefaultSel();
    // The same from a stream: up to 13 chunked strings; a string the stream
    // does not hold whole counts as empty, and the reading ends there.
    void ReadDefaultSel(TStream& s);

    // Empties target, then fills it with a cell of every ticked component of
    // the tree, read from its library; always true.
    bool CollectSelectedComponents(TMemLib& target);

    // Menu handlers.
    void PreselezionatiClick(TObject* Sender);
    void Preselezione1SClick(TObject*) { SaveClick(1); }
    void Preselezione2SClick(TObject*) { SaveClick(2); }
    void Preselezione3SClick(TObject*) { SaveClick(3); }
    void Preselezione4SClick(TObject*) { SaveClick(4); }
    void Preselezione1LClick(TObject*) { LoadPreselection(1); }
    void Preselezione2LClick(TObject*) { LoadPreselection(2); }
    void Preselezione3LClick(TObject*) { LoadPreselection(3); }
    void Preselezione4LClick(TObject*) { LoadPreselection(4); }

    TOpzProgetto* Settings = nullptr;  // not owned
    int CurrentPage = 0;

    TMainMenu* MainMenu1;
    TMenuItem* Preselezionati;
    TMenuItem* PreselezioneL[PreselectionSlots];  // "Preselezione &1" .. "&4": load
    TMenuItem* Salva;
    TMenuItem* PreselezioneS[PreselectionSlots];  // save

    TSelectionTreeView* ComponentTree;
    TComboBox* CablePicker[CableTextCount];
    TComboBox* ConnectorPicker[ConnectorPickers];
    TPannelloCanaliTer* ChannelPanels[WizardChannelPanels];

private:
    void SaveClick(int n);
    void SaveAntennas(const AnsiString& slot);
    void SaveComponents(const AnsiString& slot);
    void LoadAntennas(const AnsiString& slot);
    void LoadComponents(const AnsiString& slot);
};
