#include "cells/pass_links.h"
#include "platform/comctrls.h"

// A cell that has made its model choice moves the designer's bar on by one.
void AdvanceProgress(TProgressBar* progress) {
    if (progress) progress->Position = progress->Position + 1;
}
