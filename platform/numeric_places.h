#pragma once
// What a place that takes typed text holds: free text, or a number (whole or
// decimal, least and greatest value, decimals, unit). Single-line edits and
// the cells of string grids declare it where they are made; the edit, the
// grid and the form check a changed text against it when the person leaves
// the place, presses Invio, or confirms the form. A text that is not such a
// number is refused with one message naming the place, the text and what is
// allowed; the value before the edit comes back and the keyboard stays on
// the place. Nothing typed is changed without a word.
#include <vector>

#include "platform/sysutils.h"

class TCustomEdit;
class TCustomGrid;
class TWinControl;

class TNumberRule {
public:
    enum TKind { nrUndeclared, nrText, nrWhole, nrDecimal };

    TNumberRule() = default;
    // Free text: every text is taken.
    static TNumberRule Text();
    // A whole number from least to greatest.
    static TNumberRule Whole(long long least, long long greatest, const AnsiString& unit = "");
    // A number from least to greatest with at most `decimals` decimals (the
    // decimals the place shows).
    static TNumberRule Decimal(double least, double greatest, int decimals, const AnsiString& unit = "");
    // An empty text is taken: the place then holds no value.
    TNumberRule& OrEmpty();
    // A text taken as it is besides the numbers (a code such as "*").
    TNumberRule& OrText(const AnsiString& token);

    TKind Kind() const { return kind_; }
    bool Declared() const { return kind_ != nrUndeclared; }
    bool IsNumber() const { return kind_ == nrWhole || kind_ == nrDecimal; }
    double Least() const { return least_; }
    double Greatest() const { return greatest_; }
    int Decimals() const { return decimals_; }
    const AnsiString& Unit() const { return unit_; }
    bool EmptyAllowed() const { return emptyAllowed_; }
    const std::vector<AnsiString>& Tokens() const { return tokens_; }

    // Whether the rule takes the text; the number it reads when it is one.
    bool Accepts(const AnsiString& text, double* value = nullptr) const;
    // What is allowed, as the message says it: "ammesso un numero intero da
    // 25 a 102 mm".
    AnsiString Allowed() const;
    // Empty when the text is taken; else the message that refuses it:
    // `Diametro: "500" non è ammesso: ammesso un numero intero da 25 a 102 mm.`
    AnsiString Refusal(const AnsiString& place, const AnsiString& text) const;

private:
    TKind kind_ = nrUndeclared;
    double least_ = 0;
    double greatest_ = 0;
    int decimals_ = 0;
    AnsiString unit_;
    bool emptyAllowed_ = false;
    std::vector<AnsiString> tokens_;
};

// A number typed the program's way: optional sign, digits grouped or not by
// the thousands separator, the decimal separator. False for anything else;
// decimals gets the count of digits after the separator.
bool ReadTypedNumber(const AnsiString& text, double& value, int& decimals);

// A bound or a value as the messages show it: the program's separators,
// no needless zeros.
AnsiString NumberText(double value);

// Shows a refusal to the person: one box with the application's title.
void ShowRefusal(const AnsiString& message);

// A place of a form that holds a number: an edit, or a grid cell standing
// for the cells of its declaration (a column, or a block).
struct TNumericPlace {
    TCustomEdit* Edit = nullptr;
    TCustomGrid* Grid = nullptr;
    int Col = -1;
    int Row = -1;
    TNumberRule Rule;
    AnsiString Name;  // as the messages name it
};

// A place a person can type in that declares neither text nor number.
struct TUndeclaredPlace {
    TWinControl* Control = nullptr;  // the edit or the grid
    int Col = -1;                    // the grid's column
    AnsiString Name;
};
