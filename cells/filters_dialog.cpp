// The filters in the component-data form: one value row, the through
// attenuation per band.
#include "cells/filters.h"

TCellDescription TFiltro::Describe() const {
    TCellDescription d = NamedWithForm("Filtro ", "F", FilterCounter);
    d.Sheet.RowCaptions[0] = "Atten. di passaggio  [dB]";
    d.Sheet.PortRows = 1;
    return d;
}
