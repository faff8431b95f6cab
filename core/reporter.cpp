#include "core/reporter.h"

#include "platform/application.h"
#include "platform/controls.h"

void TGestoreErrori::SetTarget(TListBox* newTarget) {
    target = newTarget;
    enabled = true;
    // Without a list, a run shows at most one message box.
    reportOnce = newTarget == nullptr;
}

void TGestoreErrori::Report(const AnsiString& text) {
    if (!enabled) return;
    if (target)
        target->Items->Add(text);
    else
        Application->MessageBox(text, ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
    if (reportOnce) enabled = false;
}
