#pragma once
// Controls of the user interface. Each control is plain state; a back end
// may attach a peer that shows it.
#include "platform/classes.h"

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner = nullptr) : TComponent(owner) {}
};

// A list of text lines the user can pick from; the message reporter appends
// to its Items.
class TListBox : public TControl {
public:
    explicit TListBox(TComponent* owner = nullptr) : TControl(owner), Items(&items_) {}
    TStringList* const Items;
    int ItemIndex = -1;

private:
    TStringList items_;
};
