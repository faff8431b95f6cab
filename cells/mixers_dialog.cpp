// Mixers and demixers in the component-data form: one line per branch, its
// pass attenuation.
#include "cells/mixers.h"

namespace {
constexpr const char* BranchCaptions[MixerBranchesMax] = {
    "Atten. passaggio 1 [dB]",  "Atten. passaggio 2 [dB]", "Atten. passaggio 3 [dB]",
    "Atten. passaggio 4 [dB]",  "Atten. passaggio 5 [dB]", "Atten. passaggio 6 [dB]",
    "Atten. passaggio 7 [dB]",  "Atten. passaggio 8 [dB]", "Atten. passaggio 9 [dB]",
    "Atten. passaggio 10 [dB]",
};
}  // namespace

TCellDescription TCellaRami::DescribeBranches(const char* typeName) const {
    TCellDescription d = NamedWithForm(typeName, "Y", MixerCounter);
    for (int32_t k = 0; k < MixerBranchesMax && k < SheetRows; ++k)
        d.Sheet.RowCaptions[static_cast<size_t>(k)] = BranchCaptions[k];
    d.Sheet.PortRows = Branches();
    return d;
}
