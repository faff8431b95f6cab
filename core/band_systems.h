#pragma once
// Band systems: the division of the carried spectrum into named bands. Every
// per-band table of the program has BandSlots slots, of which the first
// bandCount are the bands of one band system. Two systems are built in and
// never change: "FM-I/V-5" (id '2', older per-band data only) and
// "CR-FM-I/V-5" (id '3', the system of every calculation).
#include <cstdint>
#include <memory>
#include <vector>

#include "core/levels.h"

// One band: its name, its edges and the frequency that stands for it in
// conversions and interpolations (all in MHz).
struct TBanda {
    AnsiString bandName;  // at most 11 characters
    float lowest = 0.0f;
    float highest = 0.0f;
    float reference = 0.0f;

    // Edges included.
    bool Holds(double frequency) const { return frequency >= lowest && frequency <= highest; }
};

class TSistemaBande {
public:
    TSistemaBande() = default;  // empty; TSistemiBande fills it
    TSistemaBande(const TSistemaBande&) = delete;
    TSistemaBande& operator=(const TSistemaBande&) = delete;

    // The band slot of a frequency: the first band, in stored order, that holds
    // it; when none does, the first band whose upper edge reaches it; when none
    // does, the last band.
    int32_t BandOf(double frequency) const;

    // Converts a BandSlots vector indexed by this system's bands into one
    // indexed by the target's bands, in place: each target band takes the slot
    // of this system that holds its reference frequency; slots past the
    // target's bands become LevelNone.
    void LevelsByBand(const TSistemaBande& target, float* levels) const;

    AnsiString name;  // at most 20 characters
    char id = 0;      // the one-character id files refer to it by
    int32_t bandCount = 0;
    std::vector<TBanda> bands;      // bandCount records
    TSistemaBande* next = nullptr;  // the next system of the list
};

// The list of band systems; it owns them. Built with the two built-in systems,
// '2' first, then '3'.
class TSistemiBande {
public:
    TSistemiBande();
    ~TSistemiBande();
    TSistemiBande(const TSistemiBande&) = delete;
    TSistemiBande& operator=(const TSistemiBande&) = delete;

    // The first system whose name equals the text exactly; nullptr when none.
    TSistemaBande* Find(const AnsiString& name) const;
    // The first system with the id; nullptr when none.
    TSistemaBande* FindById(char id) const;

    static void SetBand(TBanda& band, const AnsiString& name, float lowest, float highest, float reference);

    TSistemaBande* head = nullptr;

private:
    TSistemaBande* Append(std::unique_ptr<TSistemaBande> system);
    std::vector<std::unique_ptr<TSistemaBande>> systems_;
};

// Ids and names of the built-in systems.
constexpr char BandSystemOldId = '2';
constexpr char BandSystemCurrentId = '3';
constexpr const char* BandSystemOldName = "FM-I/V-5";
constexpr const char* BandSystemCurrentName = "CR-FM-I/V-5";
