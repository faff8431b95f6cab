#pragma once
// Channel plans: named tables of channels from which the user picks the
// channels of an antenna or a modulator, and by which the program names the
// channel occupying a frequency range. Five plans are built in and never
// change; files refer to them by their one-character id.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/levels.h"
#include "platform/classes.h"

class TCanale;

// One row of a plan.
struct TDatiCanalizzazione {
    AnsiString channelName;
    float lowEdge = 0.0f;        // MHz
    float highEdge = 0.0f;       // MHz
    float visionCarrier = 0.0f;  // MHz
    float soundCarrier = 0.0f;   // MHz
    char polarization = 0;       // 'o' or 'v'
    char signalType = 0;         // 'a' analog, 'd' digital
    char modulation = 0;         // modulation class letter
    AnsiString satelliteName;
};

// Field size of a plan name, terminator included.
constexpr int PlanNameSize = 21;

class TCanalizzazione {
public:
    TCanalizzazione(const AnsiString& name, int32_t capacity);
    TCanalizzazione(const TCanalizzazione&) = delete;
    TCanalizzazione& operator=(const TCanalizzazione&) = delete;

    // Fills the next free row; nothing once the plan is full.
    void AddRow(const AnsiString& channelName, float lowEdge, float highEdge, float visionCarrier,
                float soundCarrier, char signalType, char modulation, char polarization,
                const AnsiString& satelliteName);
    // Makes the channel row i of this plan: plan, name, signal type,
    // polarization, modulation and edges; label, levels and band stay.
    // False (and the channel unchanged) for a row that does not exist.
    bool SetChannel(TCanale& channel, int i) const;
    // The first row whose name equals the text exactly (case included); -1 when none.
    int IndexOf(const AnsiString& text) const;
    // The first row, in stored order, overlapping the open range f1..f2; -1 when none.
    int IndexOfRange(float f1, float f2) const;
    // The same search from row after + 1.
    int IndexOfRangeFrom(float f1, float f2, int after) const;
    int32_t Count() const { return count; }
    const TDatiCanalizzazione& Row(int i) const { return rows[i]; }

    std::vector<TDatiCanalizzazione> rows;  // capacity rows
    int32_t capacity = 0;
    AnsiString name;  // at most PlanNameSize - 1 characters
    char id = 0;      // 0 for none
    uint8_t terrestrial = 0;
    uint8_t satellite = 0;
    TCanalizzazione* next = nullptr;  // the next plan of the list
    int32_t count = 0;                // rows filled so far
};

// The list of channel plans; it owns them. Built with the five built-in
// plans in the order "Italia", "Europa", "Australia", "BandeSat",
// "Eutelsat 13E".
class TCanalizzazioni {
public:
    TCanalizzazioni();
    ~TCanalizzazioni();
    TCanalizzazioni(const TCanalizzazioni&) = delete;
    TCanalizzazioni& operator=(const TCanalizzazioni&) = delete;

    // The first plan whose name equals the text exactly; nullptr when none.
    TCanalizzazione* Find(const AnsiString& name) const;
    // The first plan with that id; nullptr when none.
    TCanalizzazione* FindById(char id) const;

    TCanalizzazione* head = nullptr;

private:
    void Append(std::unique_ptr<TCanalizzazione> plan);

    std::vector<std::unique_ptr<TCanalizzazione>> plans_;  // in list order
};

// Ids of the built-in plans.
constexpr char PlanIdItalia = '2';
constexpr char PlanIdEuropa = '3';
constexpr char PlanIdAustralia = '4';
constexpr char PlanIdBandeSat = 'P';
constexpr char PlanIdEutelsat13E = 'Q';

// Plan reference of channel and cell records: one id byte for a plan with an
// id, else the plan's name as a chunked string (empty for no plan). An id
// byte is told from a name by its value: ids are 50 or more, the first length
// byte of a short name is below. The reader looks the plan up in the
// program-wide list and gives nullptr when it names no known plan; it raises
// EReadError when the stream ends inside the reference.
constexpr int8_t PlanIdFirst = 50;
void WritePlanReference(TStream& s, const TCanalizzazione* plan);
TCanalizzazione* ReadPlanReference(TStream& s);

// Clears the list, then adds the names of the program-wide plans, in their
// order, that are terrestrial (when terrestrial is true) or satellite (when
// satellite is true).
void FillChannelPlanNames(TStringList& list, bool terrestrial, bool satellite);
