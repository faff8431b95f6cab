#pragma once
// The default component library "Varne.alb" and the default selection file
// "Default.sel" of the program directory: generic articles of brand
// "Generico", each made by the cell factory, filled through its class's own
// fields and written with the library's entry writer. README.md beside this
// file lists every family, its values and the rule behind them.
//
// Needs the program-wide channel plans and band systems (the cells refer to
// them); the generator's main and the tests set them up.
#include <memory>
#include <vector>

#include "platform/sysutils.h"

class TCella;

extern const char* const DefaultLibraryFile;    // "Varne.alb"
extern const char* const DefaultSelectionFile;  // "Default.sel"
// The library's name as the program registers it: its base name.
extern const char* const DefaultLibraryName;  // "Varne"

// Every article of the library, in the order it is written. Each cell is
// new and owned by the caller; none when a class could not be made.
std::vector<std::unique_ptr<TCella>> BuildDefaultArticles();

// The 13 texts of "Default.sel": the selection (the whole library), then
// library and code of the riser, staircase-to-apartment and apartment
// cables, terrestrial and satellite.
std::vector<AnsiString> DefaultSelectionTexts();

// Writes "Varne.alb" and "Default.sel" into folder. Both are made under
// temporary names and put in place only when every write succeeded; on a
// failure no file of either name is left by this run, failure says what
// failed and the answer is false.
bool WriteDefaultLibrary(const AnsiString& folder, AnsiString& failure);
