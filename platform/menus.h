#pragma once
// Main and popup menus, their items and keyboard shortcuts.
#include <memory>
#include <vector>

#include "platform/controls.h"

// A key with its Shift, Ctrl and Alt bits.
using TShortCut = WORD;
enum : WORD { scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };
TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+C", "Shift+Canc", "F5"; TextToShortCut reads them back (0 when unknown).
AnsiString ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const AnsiString& text);
// The caption without its '&' marks ("&&" stays one '&').
AnsiString StripHotkey(const AnsiString& caption);

class TMenu;

class TMenuItem : public TComponent, public TPropertyHost {
public:
    explicit TMenuItem(TComponent* owner = nullptr);
    // Frees its sub-items and leaves its parent.
    ~TMenuItem() override;

    // "-" makes a separator; '&' marks the accelerator.
    TProperty<AnsiString> Caption{this, TPropId::Caption};
    TProperty<bool> Checked{this, TPropId::Checked, false};
    TProperty<bool> Enabled{this, TPropId::Enabled, true};
    TProperty<bool> Visible{this, TPropId::Visible, true};
    // Checking a radio item unchecks the radio items beside it with the same GroupIndex.
    TProperty<bool> RadioItem{this, TPropId::RadioItem, false};
    TProperty<int> GroupIndex{this, TPropId::GroupIndex, 0};
    TProperty<bool> AutoCheck{this, TPropId::AutoCheck, false};
    TProperty<bool> Default{this, TPropId::Default, false};
    TProperty<TShortCut> ShortCut{this, TPropId::ShortCut, scNone};
    TProperty<int> ImageIndex{this, TPropId::ImageIndex, -1};
    TProperty<AnsiString> Hint{this, TPropId::Hint};
    TNotifyEvent OnClick;

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Item(int index) const;
    // Item->Items[i]: the sub-items.
    const TIndexed<TMenuItem, TMenuItem*, &TMenuItem::Item> Items{this};
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out without freeing it.
    void Delete(int index);
    void Remove(TMenuItem* item);
    // Frees every sub-item.
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    // The sub-item with this caption ('&' ignored), or nullptr.
    TMenuItem* Find(const AnsiString& caption) const;
    TMenuItem* Parent() const { return parent_; }
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
    bool IsLine() const { return Caption.Get() == "-"; }
    TMenu* GetParentMenu() const;

    // The person chose the item (or its shortcut): AutoCheck, then OnClick; nothing when disabled.
    virtual void Click();

    bool PropertyChanging(TPropId id) override;
    void PropertyChanged(TPropId id) override;

private:
    friend class TMenu;
    void Changed(TPropId id);
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on the root item of a menu
    bool destroying_ = false;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner = nullptr);
    ~TMenu() override;
    TMenuItem* const Items;
    TControl* Images = nullptr;

    // Clicks the enabled item with this shortcut; true when there is one.
    bool IsShortCut(WORD key, TShiftState shift);
    TMenuItem* FindItemByShortCut(TShortCut shortCut) const;
    TMenuPeer* Peer() const { return peer_.get(); }
    void CreatePeer();
    // Items tell their menu of every change.
    void ItemChanged(TMenuItem* item, TPropId id);

private:
    std::unique_ptr<TMenuPeer> peer_;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner = nullptr) : TMenu(owner) {}
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner = nullptr) : TMenu(owner) {}
    // The control that was right-clicked.
    TComponent* PopupComponent = nullptr;
    bool AutoPopup = true;
    TNotifyEvent OnPopup;
    // OnPopup, then the menu at a screen point; the chosen item gets Click
    // (headless: the item named by TScript::AnswerPopup, or none).
    virtual void Popup(int x, int y);
};
