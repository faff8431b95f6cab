#pragma once
// The cell factory: every cell read from a project or a library, and every
// clone, is made here from its type code. Several codes build one class, which
// then stores its own code; the table says which of the asked port counts the
// class constructor receives.
#include <cstdint>
#include <memory>
#include <span>

#include "core/cell_codes.h"

class TCella;
class TCellGrid;

// What a class constructor receives of the asked counts.
enum class TCountRule {
    None,                // no counts
    InputsLargerOutput,  // inputs, the larger of through and tap outputs
    InputsTaps,          // inputs, tap outputs
    CodeInputsTaps,      // the stored code, inputs, tap outputs
    CodeTaps,            // the stored code, tap outputs
    CodeThreeTaps,       // the stored code, 3 tap outputs whatever was asked
    Inputs,              // inputs
    Through,             // through outputs
    InputsThrough,       // inputs, through outputs
    CodeInputsThrough,   // the stored code, inputs, through outputs
    OldCableAcross,      // no counts, orientation 1
    OldCableAlong,       // no counts, orientation 0 and the flag that selects code 18
    Segment,             // no counts, orientation 1; code 80 is set after construction
    OwnerOnly,           // the owner grid only, no position
};

struct TCellType {
    int32_t Code;
    const char* ClassName;
    TCountRule Rule;
    int32_t StoredCode;
};

// What the factory hands to a class constructor.
struct TCellArgs {
    TCellGrid* Owner = nullptr;
    int32_t Orientation = 0;
    int32_t Column = 0;
    int32_t Row = 0;
    int32_t Arg[3] = {0, 0, 0};  // in the order of the rule
    int Count = 0;               // how many of Arg the rule gives
    bool Flag = false;           // the old cable's code-18 flag
};

using TCellMaker = std::unique_ptr<TCella> (*)(const TCellArgs& args);

// Codes above this give none at once; codes are compared unsigned.
constexpr uint32_t HighestCellCode = CodeElementoListino;
// Port counts from files are not trusted beyond what any class has.
constexpr int32_t MaxPortCount = 127;

// Every type code the factory knows, in code order.
std::span<const TCellType> CellTypes();
// The entry of a code, or none.
const TCellType* FindCellType(int32_t code);
// The constructor arguments of the entry for the asked code and counts.
TCellArgs CellArgsFor(const TCellType& type, TCellGrid* owner, int32_t column, int32_t row, int32_t inputs,
                      int32_t throughOutputs, int32_t tapOutputs);

// The maker of a class, or none while the class is not built into the program.
TCellMaker CellClassMaker(const char* className);
// Replaces the maker of a class and returns the one before (none removes it).
TCellMaker SetCellClassMaker(const char* className, TCellMaker maker);

// A new cell owned by the caller, or none for a code without a class, counts
// out of range or a failed allocation. Orientation 0 and no mirror unless the
// table says otherwise.
std::unique_ptr<TCella> NewCella(TCellGrid* owner, int32_t code, int32_t column, int32_t row, int32_t inputs,
                                 int32_t throughOutputs, int32_t tapOutputs);

// The cell as its own class, or none when it is of another class (it is then
// freed).
template <class T>
std::unique_ptr<T> CellAs(std::unique_ptr<TCella> cell) {
    auto* typed = dynamic_cast<T*>(cell.get());
    if (!typed) return nullptr;
    cell.release();
    return std::unique_ptr<T>(typed);
}
