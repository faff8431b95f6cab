#pragma once
// The channels present at one port of one component, kept in order of
// frequency, and the stage passes: the one place where channels are
// attenuated, amplified, levelled, merged and tested on their way from a
// component's inputs to its outputs. The passes report through the
// program-wide message reporter.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/channels.h"
#include "core/info.h"

// The flags of TListaCanali::CheckConflicts.
constexpr int32_t ConflictsQuiet = 0x3;  // no message for a channel in conflict (either bit)
constexpr int32_t ConflictsMerge = 0x4;  // channels of the same range merge into one

class TListaCanali {
public:
    TListaCanali() = default;
    ~TListaCanali();
    TListaCanali(const TListaCanali&) = delete;
    TListaCanali& operator=(const TListaCanali&) = delete;

    // Empties the list. Its channels are kept aside and reused by the next
    // inserts, so that a list refilled on every pass allocates nothing.
    void Clear();
    // Inserts a copy after every channel with the same or a lower freqLow;
    // returns the copy, which the list owns.
    TCanale* Insert(const TCanale& channel);
    // Clears destination, then inserts a copy of every channel of source.
    static void AddAll(const TListaCanali& source, TListaCanali& destination);
    // Unlinks the channel when it is in the list; it is kept aside like the
    // cleared ones.
    void Remove(TCanale* channel);
    // Unlinks the first channel with that name (case-sensitive), as Remove.
    void RemoveByName(const AnsiString& text);
    // The first channel sharing an edge with channel (lower edge or upper
    // edge); when none, the first one overlapping it; else nullptr.
    TCanale* FindByFrequency(const TCanale& channel) const;
    int Count() const;
    // Re-orders by ascending freqLow; equal ones keep their order.
    void Sort();

    // int32 count, then each channel's record.
    void Write(TStream& s, int version) const;
    // Replaces the list with the channels on the stream; a channel of a plan
    // row takes the row's edges; every channel gets the band of its centre in
    // the current band system. Raises EReadError for a count the stream cannot
    // hold or a record cut short; the list then keeps what it held before.
    void Read(TStream& s, int version);

    // Puts a copy of channel into output by the placing rule of the stages:
    // merged into a channel with the same two edges, else inserted; conflict
    // tells whether output already held a channel at that frequency. Returns
    // the output channel that holds it.
    static TCanale* Place(TListaCanali& output, const TCanale& channel, bool& conflict);

    // ---- Stage passes. Per-band vectors hold BandSlots values indexed by the
    // channel's band; a null vector has no value in any band. prefix starts
    // every message; port 0 gives the short form of a message. suppress
    // silences the conflict messages only.

    // Every channel through a stage table, in place: row 0 attenuation by
    // frequency, row 2 attenuation, row 4 gain, row 5 noise figure, row 6
    // maximum output level. Channels not handled are removed. Silent when
    // prefix is empty.
    static void CheckHandled(TListaCanali& list, const TInfo& stage, const AnsiString& prefix, int32_t inPort,
                             int32_t outPort);
    // Every channel attenuated in place; LevelBlocked passes a band unchanged,
    // other bands without value are not handled and removed.
    static void CheckHandledByInput(TListaCanali& list, const float* attenuation, const AnsiString& prefix,
                                    int32_t inPort);
    // Copies of input merged into output.
    static void CheckOutputConflicts(TListaCanali& output, const TListaCanali& input, bool suppress,
                                     const AnsiString& prefix, int32_t outPort);
    // Attenuated copies of input into output.
    static void CheckInputs(TListaCanali& output, const TListaCanali& input, const float* attenuation,
                            bool suppress, const AnsiString& prefix, int32_t inPort, int32_t outPort);
    // Amplified copies of input into output, tested against maxLevel.
    static void PassAmplifier(TListaCanali& output, const TListaCanali& input, const float* slope,
                              const float* attIn, const float* gain, const float* noiseFigure,
                              const float* maxLevel, bool suppress, const AnsiString& prefix, int32_t inPort,
                              int32_t outPort);
    // Copies of input levelled to outLevel - attOut by automatic gain control,
    // when their levels lie within minIn..maxIn.
    static void CheckLevelLimits(TListaCanali& output, const TListaCanali& input, const float* minIn,
                                 const float* maxIn, const float* attOut, const float* outLevel,
                                 const float* noiseFigure, bool suppress, const AnsiString& prefix,
                                 int32_t inPort, int32_t outPort);
    // Merges source into destination in range order. flags: ConflictsQuiet
    // (either of its bits) silences the conflict message, ConflictsMerge
    // merges channels of equal range.
    static void CheckConflicts(TListaCanali& destination, const TListaCanali& source, int32_t flags,
                               const AnsiString& prefix);

    // The level by which the maximum output level is lowered when count
    // channels share an amplifier.
    static double OverloadDerating(int count);

    TCanale* head = nullptr;

private:
    friend class TInseritoreCanali;
    friend class TPosatoreCanali;
    // FindByFrequency that also gives, when it finds nothing, the link where
    // Insert would put a copy of channel.
    TCanale* FindByFrequency(const TCanale& channel, TCanale**& insertAt);
    // A copy of source owned by the list, on a channel kept aside if any.
    TCanale* NewChannel(const TCanale& source);
    // Takes a new channel into the list's store, unlinked.
    TCanale* Adopt(std::unique_ptr<TCanale> channel);
    // Unlinks the channel at link and keeps it aside.
    void PutAside(TCanale** link);

    TCanale* spare_ = nullptr;  // channels kept aside by Clear and Remove
    // Every channel the list has made, linked in the list or kept aside: the
    // links only point, this store owns.
    std::vector<std::unique_ptr<TCanale>> owned_;
};

// Inserts copies into a list that starts empty and that nothing else touches
// meanwhile, exactly as TListaCanali::Insert does. While the copies come in
// order of freqLow, each one belongs at the end, and goes there without a walk
// from the head.
class TInseritoreCanali {
public:
    explicit TInseritoreCanali(TListaCanali& list) : list_(list), ordered_(list.head == nullptr) {}
    TCanale* Insert(const TCanale& channel);

private:
    TListaCanali& list_;
    TCanale* last_ = nullptr;
    bool ordered_;
};

// Places copies into a list exactly as TListaCanali::Place does, for a run of
// placings that nothing else touches the list between. While each channel
// lies wholly above every channel the list holds, it can neither share an
// edge with one nor overlap one, and belongs at the end: it goes there
// without a walk from the head. From the first channel that does not, every
// channel takes Place's walk.
class TPosatoreCanali {
public:
    explicit TPosatoreCanali(TListaCanali& list) : list_(list) { Survey(); }
    TCanale* Place(const TCanale& channel, bool& conflict);

private:
    // The last channel and the highest edges of the list as it comes.
    void Survey();

    TListaCanali& list_;
    TCanale* last_ = nullptr;
    float highestLow_ = 0.0f;
    float highestHigh_ = 0.0f;
    bool empty_ = true;
    bool ordered_ = true;  // every channel so far went at the end, and no edge is NaN
};
