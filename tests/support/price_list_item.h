#pragma once
// An article as the form "Listino componenti" hands it to the estimate page:
// texts as typed in its fields, prices in euro.
#include "document/estimate_amounts.h"

inline TVoceListino PriceListItem(const AnsiString& code, const AnsiString& article, const AnsiString& quantity,
                                  const AnsiString& price, const AnsiString& installation) {
    TVoceListino item;
    item.Code = code;
    item.Article = article;
    item.Quantity = quantity;
    item.Price = price;
    item.Installation = installation;
    item.CurrencyName = "Euro";
    return item;
}
