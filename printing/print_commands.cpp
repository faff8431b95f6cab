// The print menu's commands of lists, estimate and tender specification.
#include "app/estimate_page.h"
#include "platform/dialogs.h"
#include "printing/documents.h"

TPrintItemsState PrintItemsState(bool networkPage, bool headEndPage, bool estimatePage, int32_t step) {
    TPrintItemsState s;
    s.NetworkList = networkPage && step > 1;
    s.HeadEndList = headEndPage && step > 1;
    s.Estimate = estimatePage;
    s.Specification = estimatePage;
    return s;
}

void TStampa::PrintNetworkListCommand(TPrintDialog* dialog) {
    if (dialog->Execute()) PrintComponentListJob(ListNetwork);
}

void TStampa::PrintHeadEndListCommand(TPrintDialog* dialog) {
    if (dialog->Execute()) PrintComponentListJob(ListHeadEnd);
}

void TStampa::PrintEstimateCommand(TPrintDialog* dialog) {
    if (EstimatePage) EstimatePage->BuildEstimate();
    if (dialog->Execute()) PrintEstimateJob(true);
}

void TStampa::PrintSpecificationCommand(TPrintDialog* dialog) {
    if (EstimatePage) EstimatePage->BuildEstimate();
    if (dialog->Execute()) PrintEstimateJob(false);
}
