#pragma once
// A fresh component-data form as the program's one for the time of a test,
// with the application's title set and the scripted stand-in emptied.
#include "cells/component_data.h"

class ScopedComponentDialog {
public:
    ScopedComponentDialog();
    ~ScopedComponentDialog();
    ScopedComponentDialog(const ScopedComponentDialog&) = delete;
    ScopedComponentDialog& operator=(const ScopedComponentDialog&) = delete;
    TDatiComponenti& Get() { return *form_; }

private:
    TDatiComponenti* saved_;
    AnsiString savedTitle_;
    TDatiComponenti* form_;
};
