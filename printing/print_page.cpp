#include "printing/print_page.h"

TPrintPage PrintPage;

int32_t TPrintPage::Points(int32_t points) const {
    return static_cast<int32_t>(static_cast<int64_t>(points) * Dpi / 72);
}

int32_t TPrintPage::FontSize(int32_t points) const {
    return static_cast<int32_t>(static_cast<float>(points) * Scale);
}

int32_t TPrintPage::LineHeightPoints(int32_t kind) {
    return (kind == DocScheme || kind == DocMastReport || kind == DocLightningReport) ? 14 : 12;
}
