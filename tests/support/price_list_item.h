#pragma once
// An article as the form "Listino componenti" hands it to the estimate page:
// texts as typed in its fields, prices in euro.
#include "document/estimate_amounts.h"

inline TVoceListino PriceListItem(const AnsiString& code, const AnsiString& article, const AnsiString& quantity,
                                  const AnsiString& price, const AnsiString& installation) {
    // Brand and description left empty, as the form leaves them for an article without.
    return TVoceListino{code, article, "", "", quantity, price, installation, "Euro"};
}
