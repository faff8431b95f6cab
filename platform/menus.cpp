#include "platform/menus.h"

#include <algorithm>

#include "platform/application.h"

// ---------------------------------------------------------------- shortcuts

TShortCut ShortCut(WORD key, TShiftState shift) {
    if (key & 0xFF00) return scNone;
    TShortCut s = key;
    if (shift.Contains(ssShift)) s |= scShift;
    if (shift.Contains(ssCtrl)) s |= scCtrl;
    if (shift.Contains(ssAlt)) s |= scAlt;
    return s;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
    key = shortCut & 0xFF;
    shift = TShiftState();
    if (shortCut & scShift) shift << ssShift;
    if (shortCut & scCtrl) shift << ssCtrl;
    if (shortCut & scAlt) shift << ssAlt;
}

namespace {
const struct {
    WORD key;
    const char* name;
} kKeyNames[] = {
    {VK_BACK, "Backspace"}, {VK_TAB, "Tab"},       {VK_RETURN, "Invio"}, {VK_ESCAPE, "Esc"},
    {VK_SPACE, "Spazio"},   {VK_PRIOR, "PgSu"},    {VK_NEXT, "PgGiù"},   {VK_END, "Fine"},
    {VK_HOME, "Home"},      {VK_LEFT, "Sinistra"}, {VK_UP, "Su"},        {VK_RIGHT, "Destra"},
    {VK_DOWN, "Giù"},       {VK_INSERT, "Ins"},    {VK_DELETE, "Canc"},
};

AnsiString KeyName(WORD key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return AnsiString(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
    for (const auto& k : kKeyNames)
        if (k.key == key) return k.name;
    return "";
}
}  // namespace

AnsiString ShortCutToText(TShortCut shortCut) {
    AnsiString name = KeyName(shortCut & 0xFF);
    if (name.empty()) return "";
    AnsiString s;
    if (shortCut & scShift) s += "Shift+";
    if (shortCut & scCtrl) s += "Ctrl+";
    if (shortCut & scAlt) s += "Alt+";
    return s + name;
}

TShortCut TextToShortCut(const AnsiString& text) {
    TShortCut mods = 0;
    AnsiString rest = text;
    for (;;) {
        if (rest.size() > 6 && SameText(rest.substr(0, 6), "Shift+")) {
            mods |= scShift;
            rest = rest.substr(6);
        } else if (rest.size() > 5 && SameText(rest.substr(0, 5), "Ctrl+")) {
            mods |= scCtrl;
            rest = rest.substr(5);
        } else if (rest.size() > 4 && SameText(rest.substr(0, 4), "Alt+")) {
            mods |= scAlt;
            rest = rest.substr(4);
        } else {
            break;
        }
    }
    for (WORD key = 1; key < 256; ++key)
        if (!KeyName(key).empty() && SameText(KeyName(key), rest)) return mods | key;
    return scNone;
}

AnsiString StripHotkey(const AnsiString& caption) {
    AnsiString out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

// ---------------------------------------------------------------- items

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    destroying_ = true;
    if (parent_) parent_->Remove(this);
    while (!items_.empty()) delete items_.back();
}

TMenuItem* TMenuItem::Item(int index) const {
    if (index < 0 || index >= Count())
        throw Exception("Indice del menu fuori dai limiti (" + std::to_string(index) + ")");
    return items_[index];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item) return;
    if (item->parent_) throw Exception("La voce di menu fa già parte di un menu");
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    Changed(TPropId::MenuItems);
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count())
        throw Exception("Indice del menu fuori dai limiti (" + std::to_string(index) + ")");
    items_[index]->parent_ = nullptr;
    items_.erase(items_.begin() + index);
    Changed(TPropId::MenuItems);
}

void TMenuItem::Remove(TMenuItem* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
}

void TMenuItem::Clear() {
    while (!items_.empty()) delete items_.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[i] == item) return i;
    return -1;
}

TMenuItem* TMenuItem::Find(const AnsiString& caption) const {
    AnsiString wanted = StripHotkey(caption);
    for (TMenuItem* i : items_)
        if (StripHotkey(i->Caption) == wanted) return i;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    return root->menu_;
}

void TMenuItem::Click() {
    if (!Enabled || destroying_) return;
    if (AutoCheck) Checked = !Checked;
    if (OnClick) OnClick(this);
}

bool TMenuItem::PropertyChanging(TPropId) { return true; }

void TMenuItem::PropertyChanged(TPropId id) {
    if (id == TPropId::Checked && Checked && RadioItem && parent_)
        for (TMenuItem* sibling : parent_->items_)
            if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex &&
                sibling->Checked) {
                sibling->Checked.SetQuiet(false);
                sibling->Changed(TPropId::Checked);
            }
    Changed(id);
}

void TMenuItem::Changed(TPropId id) {
    if (destroying_) return;
    if (TMenu* menu = GetParentMenu()) menu->ItemChanged(this, id);
}

// ---------------------------------------------------------------- menus

TMenu::TMenu(TComponent* owner) : TComponent(owner), Items(new TMenuItem(nullptr)) { Items->menu_ = this; }

TMenu::~TMenu() {
    peer_.reset();
    Items->menu_ = nullptr;
    delete Items;
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut shortCut) const {
    std::vector<TMenuItem*> stack{Items};
    while (!stack.empty()) {
        TMenuItem* item = stack.back();
        stack.pop_back();
        if (item != Items && item->ShortCut == shortCut) return item;
        for (int i = item->Count() - 1; i >= 0; --i) stack.push_back(item->Items[i]);
    }
    return nullptr;
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
    TShortCut s = ::ShortCut(key, shift);
    if (s == scNone) return false;
    TMenuItem* item = FindItemByShortCut(s);
    if (!item) return false;
    for (TMenuItem* p = item; p; p = p->Parent())
        if (!p->Enabled) return false;
    item->Click();
    return true;
}

void TMenu::CreatePeer() {
    if (peer_) return;
    if (TBackend* b = Application->Backend()) peer_.reset(b->CreateMenuPeer(this));
}

void TMenu::ItemChanged(TMenuItem* item, TPropId id) {
    if (peer_) peer_->ItemChanged(item, id);
}

namespace {
TMenuItem* FindVisible(TMenuItem* root, const AnsiString& caption) {
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items[i];
        if (!item->Visible) continue;
        if (StripHotkey(item->Caption) == caption) return item;
        if (TMenuItem* inner = FindVisible(item, caption)) return inner;
    }
    return nullptr;
}
}  // namespace

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    if (Application->Backend()) {
        CreatePeer();
        if (Peer()) {
            Peer()->Popup(x, y);
            return;
        }
    }
    TScript& script = Application->Script();
    script.Popups.push_back(TPopupCall{this, TPoint(x, y), ""});
    std::optional<AnsiString> answer = script.NextPopupAnswer();
    if (!answer) return;
    TMenuItem* item = FindVisible(Items, StripHotkey(*answer));
    if (!item) throw EScriptError("Il menu non ha una voce visibile \"" + *answer + "\"");
    script.Popups.back().Chosen = item->Caption;
    item->Click();
}
