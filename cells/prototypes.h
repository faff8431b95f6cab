#pragma once
// The last-used prototypes: for every component class and port-count variant
// the program can place, one cell holding the data last entered for that kind
// of component. New and edited cells take their data from it, "Copia dati"
// and a confirmed dialog store into it. They live in memory only: every start
// of the program begins from the class defaults.
#include <compare>
#include <cstdint>
#include <map>
#include <memory>

class TCella;

// Which prototype: the class's type code, two class-specific counts (for
// example inputs and tap outputs) and a variant number for classes that keep
// more than one prototype of the same counts.
struct TPrototypeKey {
    int32_t Code = 0;
    int32_t A = 0;
    int32_t B = 0;
    int32_t Variant = 0;
    auto operator<=>(const TPrototypeKey&) const = default;
};

// The kinds of one class: the counts it has prototypes for (inclusive
// ranges), and how to make one with no owner grid at position (0, 0).
struct TPrototypeFamily {
    int32_t Code;
    int32_t AMin, AMax;
    int32_t BMin, BMax;
    int32_t Variants;
    std::unique_ptr<TCella> (*Make)(const TPrototypeKey& key);
};

class TUltimiComponenti {
public:
    TUltimiComponenti();
    ~TUltimiComponenti();
    TUltimiComponenti(const TUltimiComponenti&) = delete;
    TUltimiComponenti& operator=(const TUltimiComponenti&) = delete;

    // The prototype of a kind; none for a kind the program has no prototype for.
    TCella* Get(const TPrototypeKey& key);
    // True when the program keeps a prototype of this kind.
    static bool HasKind(const TPrototypeKey& key);

private:
    // Every prototype starts with its class defaults and changes only when
    // data are stored into it, so a prototype is made the first time it is
    // asked for rather than all at start: an untouched prototype made late
    // equals one made at start, and nothing outside can tell the two apart.
    std::map<TPrototypeKey, std::unique_ptr<TCella>> made_;
};

// The program's prototypes: program start makes them with the other
// program-wide objects (core/globals.h) and frees them with them.
extern TUltimiComponenti* UltimiComponenti;

// The prototype of a kind in the program-wide TUltimiComponenti, or none.
TCella* FindPrototype(const TPrototypeKey& key);
