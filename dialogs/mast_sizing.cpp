#include "dialogs/mast_sizing.h"

#include <algorithm>
#include <cfloat>

#include "core/globals.h"
#include "core/ini.h"
#include "document/mast_evaluation.h"
#include "platform/application.h"
#include "platform/sysutils.h"

namespace {

// The tubes offered before the user keeps a list of his own: d mm, s mm, l m.
// clang-format off
constexpr float DefaultSections[][3] = {
    {28, 2, 2}, {28, 2, 3}, {35, 2, 2}, {35, 2, 3}, {42, 2, 2}, {42, 2, 3}, {50, 2, 2}, {50, 2, 3},
    {60, 3, 2}, {60, 3, 3}, {70, 3, 2}, {70, 3, 3}, {80, 3, 3}, {90, 3, 3}, {100, 3, 3},
};
// clang-format on

constexpr const char* SectionsKey = "TronchiSel";
constexpr const char* PresetKey = "PreselTronchi";
constexpr const char* PresetTelescopicKey = "PreselTele";

// The lines of a settings text, empty lines left out.
std::vector<AnsiString> Lines(const AnsiString& text) {
    TStringList list;
    list.SetText(text);
    std::vector<AnsiString> lines;
    for (int i = 0; i < list.Count(); ++i)
        if (!list[i].empty()) lines.push_back(list[i]);
    return lines;
}

AnsiString ReadSetting(const AnsiString& name) {
    AnsiString value;
    if (Ini) Ini->ReadString(name, value);
    return value;
}

void WriteSetting(const AnsiString& name, const AnsiString& value) {
    if (Ini) Ini->WriteString(name, value);
}

// The section an edit's figure stands for, when its rule takes a figure there.
bool TakenMeasure(const TEdit* edit, float& value) {
    double v = 0;
    if (Trim(edit->Text).empty() || !edit->HeldRule().Accepts(edit->Text, &v)) return false;
    value = static_cast<float>(v);
    return true;
}

// -1, 0 or 1 as a is smaller than, equal to or larger than b (d, then s, then l).
int Compare(const float a[3], const float b[3]) {
    for (int i = 0; i < 3; ++i) {
        if (a[i] < b[i]) return -1;
        if (a[i] > b[i]) return 1;
    }
    return 0;
}

}  // namespace

TDatiAutSost::TDatiAutSost(TComponent* owner) : TForm(owner) {
    Caption = (Application ? Application->Title : AnsiString()) + " - Dimensionamento sostegno";
    BorderStyle = bsDialog;
    Position = poMainFormCenter;
    Width = 327;
    Height = 429;

    GroupTronchi = MakeControl<TGroupBox>(this, this, 8, 8, 153, 361);
    GroupTronchi->Caption = "Tronchi selezionabili ";
    ListTronchi = MakeControl<TListBox>(this, GroupTronchi, 8, 16, 137, 273);
    ListTronchi->MultiSelect = true;
    ListTronchi->OnClick = Handler(this, &TDatiAutSost::ListClick);
    ButtonRimuovi = MakeControl<TButton>(this, GroupTronchi, 8, 296, 75, 25);
    ButtonRimuovi->Caption = "Rimuovi";
    ButtonRimuovi->OnClick = Handler(this, &TDatiAutSost::RimuoviClick);
    ButtonDefault = MakeControl<TButton>(this, GroupTronchi, 8, 328, 75, 25);
    ButtonDefault->Caption = "Default";
    ButtonDefault->OnClick = Handler(this, &TDatiAutSost::DefaultClick);

    GroupNuovo = MakeControl<TGroupBox>(this, this, 168, 8, 145, 105);
    GroupNuovo->Caption = "Nuovo tronco ";
    TEdit** edits[3] = {&EditD, &EditS, &EditL};
    const char* captions[3] = {"d [mm]", "s [mm]", "l [m]"};
    // The list shows one decimal; an empty edit is a measure not yet given.
    const int measures[3] = {MastMeasureDiameter, MastMeasureThickness, MastMeasureLength};
    for (int i = 0; i < 3; ++i) {
        auto* label = MakeControl<TLabel>(this, GroupNuovo, 8 + 40 * i, 18, 41, 13);
        label->Caption = captions[i];
        *edits[i] = MakeControl<TEdit>(this, GroupNuovo, 8 + 40 * i, 36, 33, 21);
        (*edits[i])->OnChange = Handler(this, &TDatiAutSost::EditChange);
        (*edits[i])->Holds(MastSectionRule(measures[i], 1).OrEmpty(), captions[i]);
    }
    ButtonAggiungi = MakeControl<TButton>(this, GroupNuovo, 8, 72, 75, 25);
    ButtonAggiungi->Caption = "Aggiungi";
    ButtonAggiungi->Enabled = false;
    ButtonAggiungi->OnClick = Handler(this, &TDatiAutSost::AggiungiClick);

    CheckTelescopici = MakeControl<TCheckBox>(this, this, 168, 128, 137, 17);
    CheckTelescopici->Caption = "Tronchi telescopici";

    GroupAntenne = MakeControl<TGroupBox>(this, this, 168, 176, 145, 73);
    GroupAntenne->Caption = "Antenne da utilizzare ";
    RadioDisegno = MakeControl<TRadioButton>(this, GroupAntenne, 8, 20, 129, 17);
    RadioDisegno->Caption = "Antenne dal disegno";
    RadioTesta = MakeControl<TRadioButton>(this, GroupAntenne, 8, 44, 129, 17);
    RadioTesta->Caption = "Antenne dalla testa";
    RadioTesta->Checked = true;

    ButtonOk = MakeControl<TButton>(this, this, 200, 296, 75, 25);
    ButtonOk->Caption = "Ok";
    ButtonOk->Default = true;
    ButtonOk->OnClick = Handler(this, &TDatiAutSost::OkClick);
    ButtonAnnulla = MakeControl<TButton>(this, this, 200, 328, 75, 25);
    ButtonAnnulla->Caption = "Annulla";
    ButtonAnnulla->Cancel = true;
    ButtonAnnulla->OnClick = Handler(this, &TDatiAutSost::AnnullaClick);

    MainMenu = new TMainMenu(this);
    auto* load = new TMenuItem(this);
    load->Caption = "&Preselezionati";
    auto* save = new TMenuItem(this);
    save->Caption = "&Salva";
    MainMenu->Items->Add(load);
    MainMenu->Items->Add(save);
    for (int i = 0; i < MastPresets; ++i) {
        const AnsiString caption = "Preselezione &" + std::to_string(i + 1);
        Preselezione[i] = new TMenuItem(this);
        Preselezione[i]->Caption = caption;
        Preselezione[i]->OnClick = [this, i](TObject*) { LoadPreset(i + 1); };
        load->Add(Preselezione[i]);
        SalvaPreselezione[i] = new TMenuItem(this);
        SalvaPreselezione[i]->Caption = caption;
        SalvaPreselezione[i]->OnClick = [this, i](TObject*) { SavePreset(i + 1); };
        save->Add(SalvaPreselezione[i]);
    }
    Menu = MainMenu;
    OnShow = Handler(this, &TDatiAutSost::FormShow);
    // The form opens where typing goes: the new section's diameter. The
    // list is chosen by mouse or reached with Tab, its focus marked.
    ActiveControl = EditD;
}

AnsiString TDatiAutSost::FormatSection(float d, float s, float l) {
    return "d=" + FormatFloat("0.#", d) + "mm - " + "s=" + FormatFloat("0.#", s) + "mm - " +
           "l=" + FormatFloat("0.#", l) + "m";
}

bool TDatiAutSost::ParseSection(const AnsiString& item, float& d, float& s, float& l) {
    // "d=" number "mm - s=" number "mm - l=" number "m": each number runs up to
    // the next "m", and 7 characters separate one "m" from the next number.
    float* values[3] = {&d, &s, &l};
    size_t start = 2;
    for (int i = 0; i < 3; ++i) {
        if (start >= item.size()) return false;
        const size_t end = item.find('m', i == 0 ? std::max<size_t>(start, 3) : start);
        if (end == AnsiString::npos) return false;
        double v = 0;
        if (!TryStrToFloat(item.substr(start, end - start), v)) return false;
        *values[i] = static_cast<float>(v);
        start = end + 7;
    }
    return true;
}

void TDatiAutSost::AddSection(float d, float s, float l) {
    const float added[3] = {d, s, l};
    TStringList& items = *ListTronchi->Items;
    int at = items.Count();
    for (int i = 0; i < items.Count(); ++i) {
        float item[3];
        if (!ParseSection(items[i], item[0], item[1], item[2])) continue;
        const int c = Compare(item, added);
        if (c == 0) return;
        if (c > 0) {
            at = i;
            break;
        }
    }
    items.Insert(at, FormatSection(d, s, l));
}

void TDatiAutSost::LoadDefaultSections() {
    ListTronchi->Items->Clear();
    for (const auto& t : DefaultSections) AddSection(t[0], t[1], t[2]);
}

void TDatiAutSost::LoadSections() {
    ListTronchi->Items->Clear();
    // The settings file can be edited by hand: keep only the lines that are
    // tubes, each measure above zero.
    for (const AnsiString& line : Lines(ReadSetting(SectionsKey))) {
        float d, s, l;
        if (ParseSection(line, d, s, l) && MastValueGiven(d) && MastValueGiven(s) && MastValueGiven(l))
            ListTronchi->Items->Add(line);
    }
    if (ListTronchi->Items->Count() == 0) {
        LoadDefaultSections();
        SelectAll();
    } else {
        LoadPreset(0);
        // The tubes of the last "Ok", or all of them while there are none
        // (before the first "Ok", or none of those tubes is left): a list
        // opening with nothing selected would only be refused.
        if (ListTronchi->SelCount() == 0) SelectAll();
    }
    CheckTelescopici->Checked = ReadSetting(PresetTelescopicKey + std::to_string(LastUsedPreset)) == "t";
    EditD->Text = "";
    EditS->Text = "";
    EditL->Text = "";
    ButtonAggiungi->Enabled = false;
}

void TDatiAutSost::LoadPreset(int n) {
    const std::vector<AnsiString> chosen = Lines(ReadSetting(PresetKey + std::to_string(n)));
    TStringList& items = *ListTronchi->Items;
    for (int i = 0; i < items.Count(); ++i)
        ListTronchi->Selected[i] = std::find(chosen.begin(), chosen.end(), items[i]) != chosen.end();
    CheckTelescopici->Checked = ReadSetting(PresetTelescopicKey + std::to_string(n)) == "t";
    UpdateRimuovi();
}

void TDatiAutSost::SavePreset(int n) {
    TStringList chosen;
    for (int i = 0; i < ListTronchi->Items->Count(); ++i)
        if (ListTronchi->Selected[i]) chosen.Add((*ListTronchi->Items)[i]);
    WriteSetting(PresetKey + std::to_string(n), chosen.Text());
    WriteSetting(PresetTelescopicKey + std::to_string(n), CheckTelescopici->Checked ? "t" : "f");
}

std::vector<TTroncoPalo> TDatiAutSost::SelectedSections() const {
    std::vector<TTroncoPalo> sections;
    for (int i = 0; i < ListTronchi->Items->Count(); ++i) {
        TTroncoPalo t;
        if (ListTronchi->Selected[i] &&
            ParseSection((*ListTronchi->Items)[i], t.Diameter, t.Thickness, t.Length))
            sections.push_back(t);
    }
    return sections;
}

void TDatiAutSost::SelectAll() {
    for (int i = 0; i < ListTronchi->Items->Count(); ++i) ListTronchi->Selected[i] = true;
}

void TDatiAutSost::UpdateRimuovi() { ButtonRimuovi->Enabled = ListTronchi->SelCount() == 1; }

void TDatiAutSost::FormShow(TObject*) {
    LoadSections();
    UpdateRimuovi();
}

void TDatiAutSost::ListClick(TObject*) { UpdateRimuovi(); }

void TDatiAutSost::RimuoviClick(TObject*) {
    for (int i = 0; i < ListTronchi->Items->Count(); ++i)
        if (ListTronchi->Selected[i]) {
            ListTronchi->Items->Delete(i);
            break;
        }
    UpdateRimuovi();
}

void TDatiAutSost::DefaultClick(TObject*) {
    // The list as on first use: the default tubes, all of them chosen.
    LoadDefaultSections();
    SelectAll();
    UpdateRimuovi();
}

void TDatiAutSost::EditChange(TObject*) {
    float v;
    ButtonAggiungi->Enabled = TakenMeasure(EditD, v) && TakenMeasure(EditS, v) && TakenMeasure(EditL, v);
}

void TDatiAutSost::AggiungiClick(TObject*) {
    float d, s, l;
    if (!TakenMeasure(EditD, d) || !TakenMeasure(EditS, s) || !TakenMeasure(EditL, l)) return;
    AddSection(d, s, l);
    EditD->Text = "";
    EditS->Text = "";
    EditL->Text = "";
    ButtonAggiungi->Enabled = false;
}

void TDatiAutSost::OkClick(TObject*) {
    // Without a tube the sizing could only fail: the form stays open.
    if (ListTronchi->SelCount() == 0) {
        Application->MessageBox(NoSectionSelected, Application->Title, MB_OK | MB_ICONWARNING);
        return;
    }
    WriteSetting(SectionsKey, ListTronchi->Items->Text());
    // The next sizing opens with the tubes of this one.
    SavePreset(LastUsedPreset);
    ModalResult = mrOk;
}

void TDatiAutSost::AnnullaClick(TObject*) { ModalResult = mrCancel; }
