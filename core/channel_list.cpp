#include "core/channel_list.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "core/band_systems.h"
#include "core/channel_plans.h"
#include "core/file.h"
#include "core/globals.h"
#include "core/reporter.h"

namespace {

// The smallest channel record: two empty texts, four floats, three letters
// and a one-byte plan reference.
constexpr int64_t MinChannelRecordSize = 1 + 1 + 4 + 3 + 3 * 4 + 1;

// Stage table rows read by CheckHandled.
enum StageRow {
    StageAttByFrequency = 0,
    StageAttenuation = 2,
    StageGain = 4,
    StageNoiseFigure = 5,
    StageMaxLevel = 6,
    StageRows = 7
};

// The value of a per-band vector for a channel's band; a missing vector or a
// band outside the slots has no value.
float At(const float* v, int32_t band) {
    if (!v || band < 0 || band >= BandSlots) return LevelNone;
    return v[band];
}

// A value that makes a channel "not handled": no value, or a sentinel other
// than LevelBlocked (which says the band is not passed on purpose).
bool IsBad(float v) { return v <= LevelNone && v != LevelBlocked; }

// Terrestrial bands of the current band system are derated for overload;
// satellite intermediate-frequency bands are not.
bool IsTerrestrialBand(int32_t band) {
    const TSistemaBande* system = SistemaBandeCorrente;
    if (!system || band < 0 || band >= system->bandCount ||
        band >= static_cast<int32_t>(system->bands.size()))
        return false;
    return system->bands[static_cast<size_t>(band)].lowest < SatelliteIFStart;
}

void Report(const AnsiString& text) {
    if (GestoreErrori) GestoreErrori->Report(text);
}

AnsiString NotHandledMessage(const AnsiString& prefix, const AnsiString& name, int32_t inPort) {
    if (inPort == 0) return prefix + ": canale " + name + " non gestito.";
    return prefix + ": canale " + name + " non gestito dall'ingresso " + IntToStr(inPort) + ".";
}

AnsiString ConflictMessage(const AnsiString& prefix, const AnsiString& name, int32_t outPort) {
    if (outPort == 0) return prefix + ": canale " + name + " in conflitto.";
    return prefix + ": canale " + name + " in conflitto sull'uscita " + IntToStr(outPort) + ".";
}

AnsiString TooHighMessage(const AnsiString& prefix, const AnsiString& name, double maximum, int32_t outPort) {
    const AnsiString m = FormatFloat("0.##", maximum);
    if (outPort == 0)
        return prefix + ": il livello del canale " + name + " è troppo alto (massimo consentito " + m +
               "dB).";
    return prefix + ": il livello del canale " + name + " è troppo alto sull'uscita " + IntToStr(outPort) +
           " (massimo consentito " + m + "dB).";
}

AnsiString OutOfLimitsMessage(const AnsiString& prefix, const AnsiString& name, int32_t inPort) {
    if (inPort == 0)
        return prefix + ": il livello del canale " + name + " è al di fuori dei limiti consentiti.";
    return prefix + ": il livello del canale " + name +
           " è al di fuori dei limiti consentiti sull'ingresso " + IntToStr(inPort) + ".";
}

// Places a passed channel into the output and sends the conflict message
// unless suppressed; returns the output channel that holds it.
TCanale* PlaceReporting(TPosatoreCanali& output, const TCanale& passed, bool suppress,
                        const AnsiString& prefix, int32_t outPort) {
    bool conflict = false;
    TCanale* placed = output.Place(passed, conflict);
    if (conflict && !suppress) Report(ConflictMessage(prefix, passed.name, outPort));
    return placed;
}

// The channels of input, in order; a snapshot when input is also the output,
// so that a pass never walks the channels it is adding.
std::vector<const TCanale*> Channels(const TListaCanali& input) {
    std::vector<const TCanale*> all;
    for (const TCanale* c = input.head; c; c = c->next) all.push_back(c);
    return all;
}

}  // namespace

TListaCanali::~TListaCanali() = default;

void TListaCanali::Clear() {
    if (!head) return;
    // The whole chain goes aside at once, after what is kept aside already:
    // a refilled list has used that up, or it holds the few channels removed.
    TCanale** end = &spare_;
    while (*end) end = &(*end)->next;
    *end = head;
    head = nullptr;
}

TCanale* TListaCanali::Adopt(std::unique_ptr<TCanale> channel) {
    channel->next = nullptr;
    owned_.push_back(std::move(channel));
    return owned_.back().get();
}

TCanale* TListaCanali::NewChannel(const TCanale& source) {
    if (!spare_) return Adopt(std::unique_ptr<TCanale>(TCanale::Clone(source)));
    TCanale* c = spare_;
    spare_ = c->next;
    c->Assign(source);
    c->next = nullptr;
    return c;
}

TCanale* TInseritoreCanali::Insert(const TCanale& channel) {
    // A NaN edge never compares: such a copy takes Insert's own walk.
    if (ordered_ && !std::isnan(channel.freqLow) && (!last_ || last_->freqLow <= channel.freqLow)) {
        TCanale* copy = list_.NewChannel(channel);
        (last_ ? last_->next : list_.head) = copy;
        last_ = copy;
        return copy;
    }
    ordered_ = false;
    return list_.Insert(channel);
}

void TPosatoreCanali::Survey() {
    last_ = nullptr;
    empty_ = true;
    ordered_ = true;
    for (TCanale* c = list_.head; c; c = c->next) {
        if (std::isnan(c->freqLow) || std::isnan(c->freqHigh)) ordered_ = false;
        highestLow_ = empty_ ? c->freqLow : std::max(highestLow_, c->freqLow);
        highestHigh_ = empty_ ? c->freqHigh : std::max(highestHigh_, c->freqHigh);
        empty_ = false;
        last_ = c;
    }
}

TCanale* TPosatoreCanali::Place(const TCanale& channel, bool& conflict) {
    // Above every channel: no freqLow reaches its own (none equal, and the
    // walk's place is the end), no freqHigh passes its freqLow (none
    // overlapping, none equal to its freqHigh).
    const bool above = channel.freqLow < channel.freqHigh &&
                       (empty_ || (highestLow_ < channel.freqLow && highestHigh_ <= channel.freqLow));
    if (ordered_ && above) {
        conflict = false;
        TCanale* copy = list_.NewChannel(channel);
        (last_ ? last_->next : list_.head) = copy;
        last_ = copy;
        highestLow_ = channel.freqLow;
        highestHigh_ = channel.freqHigh;
        empty_ = false;
        return copy;
    }
    // Once a channel has gone elsewhere, the rest take the walk.
    ordered_ = false;
    return TListaCanali::Place(list_, channel, conflict);
}

TCanale* TListaCanali::Insert(const TCanale& channel) {
    TCanale* copy = NewChannel(channel);
    TCanale** link = &head;
    while (*link && (*link)->freqLow <= channel.freqLow) link = &(*link)->next;
    copy->next = *link;
    *link = copy;
    return copy;
}

void TListaCanali::AddAll(const TListaCanali& source, TListaCanali& destination) {
    if (&source == &destination) return;
    destination.Clear();
    TInseritoreCanali inserter(destination);
    for (const TCanale* c = source.head; c; c = c->next) inserter.Insert(*c);
}

void TListaCanali::PutAside(TCanale** link) {
    TCanale* gone = *link;
    *link = gone->next;
    gone->next = spare_;
    spare_ = gone;
}

void TListaCanali::Remove(TCanale* channel) {
    for (TCanale** link = &head; *link; link = &(*link)->next) {
        if (*link == channel) {
            PutAside(link);
            return;
        }
    }
}

void TListaCanali::RemoveByName(const AnsiString& text) {
    for (TCanale** link = &head; *link; link = &(*link)->next) {
        if ((*link)->name == text) {
            PutAside(link);
            return;
        }
    }
}

TCanale* TListaCanali::FindByFrequency(const TCanale& channel) const {
    TCanale** link = nullptr;
    return const_cast<TListaCanali*>(this)->FindByFrequency(channel, link);
}

// One walk: the first channel sharing an edge, else the first overlapping
// one; and the link where Insert would put a copy of channel.
TCanale* TListaCanali::FindByFrequency(const TCanale& channel, TCanale**& insertAt) {
    TCanale* overlapping = nullptr;
    insertAt = nullptr;
    TCanale** link = &head;
    for (TCanale* c = head; c; c = c->next) {
        if (c->freqLow == channel.freqLow || c->freqHigh == channel.freqHigh) return c;
        if (!overlapping && c->freqHigh > channel.freqLow && c->freqLow < channel.freqHigh) overlapping = c;
        if (!insertAt && !(c->freqLow <= channel.freqLow)) insertAt = link;
        link = &c->next;
    }
    if (!insertAt) insertAt = link;
    return overlapping;
}

int TListaCanali::Count() const {
    int n = 0;
    for (const TCanale* c = head; c; c = c->next) ++n;
    return n;
}

void TListaCanali::Sort() {
    std::vector<TCanale*> all;
    for (TCanale* c = head; c; c = c->next) all.push_back(c);
    std::stable_sort(all.begin(), all.end(),
                     [](const TCanale* a, const TCanale* b) { return a->freqLow < b->freqLow; });
    TCanale** link = &head;
    for (TCanale* c : all) {
        *link = c;
        link = &c->next;
    }
    *link = nullptr;
}

void TListaCanali::Write(TStream& s, int version) const {
    WriteI32(s, Count());
    for (const TCanale* c = head; c; c = c->next) c->Write(s, version);
}

void TListaCanali::Read(TStream& s, int version) {
    const int32_t n = ReadI32(s);
    const int64_t remaining = s.Size() - s.Position();
    if (n < 0 || static_cast<int64_t>(n) * MinChannelRecordSize > remaining)
        throw EReadError("Lista dei canali danneggiata: " + IntToStr(n) + " canali dichiarati.");
    // The channels are gathered first and put in order once: a stable sort by
    // the lower edge is the order that inserting them one by one gives, in
    // n log n where the inserts would walk the list for every channel.
    std::vector<std::unique_ptr<TCanale>> read;
    read.reserve(static_cast<size_t>(n));
    TCanale work;  // one working channel for the whole list, as every record fills the same fields
    for (int32_t i = 0; i < n; ++i) {
        work.Read(s, version);
        // A frequency that is not a number would break the order of the list.
        if (!std::isfinite(work.freqLow) || !std::isfinite(work.freqHigh))
            throw EReadError("Lista dei canali danneggiata: frequenza non valida.");
        if (work.plan) {
            const int row = work.plan->IndexOf(work.name);
            if (row >= 0) {
                work.freqLow = work.plan->Row(row).lowEdge;
                work.freqHigh = work.plan->Row(row).highEdge;
            }
        }
        work.band = SistemaBandeCorrente ? SistemaBandeCorrente->BandOf(work.CentreFrequency()) : -1;
        read.emplace_back(TCanale::Clone(work));
    }
    std::stable_sort(read.begin(), read.end(),
                     [](const auto& a, const auto& b) { return a->freqLow < b->freqLow; });
    Clear();
    TCanale** tail = &head;
    for (auto& c : read) {
        *tail = Adopt(std::move(c));
        tail = &(*tail)->next;
    }
}

TCanale* TListaCanali::Place(TListaCanali& output, const TCanale& channel, bool& conflict) {
    TCanale** insertAt = nullptr;
    TCanale* found = output.FindByFrequency(channel, insertAt);
    conflict = found != nullptr;
    if (found && found->freqLow == channel.freqLow && found->freqHigh == channel.freqHigh) {
        found->MergeRanges(channel);
        return found;
    }
    // insertAt holds only when nothing was found.
    if (found) return output.Insert(channel);
    TCanale* copy = output.NewChannel(channel);
    copy->next = *insertAt;
    *insertAt = copy;
    return copy;
}

double TListaCanali::OverloadDerating(int count) {
    if (count <= 2) return 0.0;
    return 7.5 * std::log10(static_cast<double>(count - 1));
}

void TListaCanali::CheckHandled(TListaCanali& list, const TInfo& stage, const AnsiString& prefix,
                                int32_t inPort, int32_t outPort) {
    if (stage.Rank() != 2 || !stage.Block2()) return;
    float rows[StageRows][BandSlots];
    for (int r = 0; r < StageRows; ++r)
        for (int b = 0; b < BandSlots; ++b) rows[r][b] = stage.Get2(r, b);
    const bool speak = !prefix.empty();
    const double derating = OverloadDerating(list.Count());

    std::vector<TCanale*> notHandled;
    for (TCanale* c = list.head; c; c = c->next) {
        const int32_t b = c->band;
        const float byFrequency =
            TCanale::LevelAtFrequency(rows[StageAttByFrequency], static_cast<float>(c->CentreFrequency()));
        if (byFrequency > LevelNone) c->Attenuate(byFrequency);
        const float attenuation = At(rows[StageAttenuation], b);
        if (attenuation > LevelNone) c->Attenuate(attenuation);
        const float gain = At(rows[StageGain], b);
        const float noiseFigure = At(rows[StageNoiseFigure], b);
        if (gain > LevelNone && noiseFigure > LevelNone) {
            c->Amplify(gain, noiseFigure);
        } else {
            if (speak) Report(NotHandledMessage(prefix, c->name, inPort));
            c->levelMin = LevelBlocked;
            notHandled.push_back(c);
        }
        const float maxLevel = At(rows[StageMaxLevel], b);
        if (maxLevel > LevelNone && maxLevel - derating < c->levelMax && speak)
            Report(TooHighMessage(prefix, c->name, maxLevel - derating, outPort));
    }
    for (TCanale* c : notHandled) list.Remove(c);
}

void TListaCanali::CheckHandledByInput(TListaCanali& list, const float* attenuation, const AnsiString& prefix,
                                       int32_t inPort) {
    std::vector<TCanale*> notHandled;
    for (TCanale* c = list.head; c; c = c->next) {
        const float a = At(attenuation, c->band);
        if (a > LevelNone) {
            c->Attenuate(a);
        } else if (a != LevelBlocked) {
            Report(NotHandledMessage(prefix, c->name, inPort));
            c->levelMin = LevelBlocked;
            notHandled.push_back(c);
        }
    }
    for (TCanale* c : notHandled) list.Remove(c);
}

void TListaCanali::CheckOutputConflicts(TListaCanali& output, const TListaCanali& input, bool suppress,
                                        const AnsiString& prefix, int32_t outPort) {
    TPosatoreCanali placer(output);
    for (const TCanale* c : Channels(input)) PlaceReporting(placer, *c, suppress, prefix, outPort);
}

void TListaCanali::CheckInputs(TListaCanali& output, const TListaCanali& input, const float* attenuation,
                               bool suppress, const AnsiString& prefix, int32_t inPort, int32_t outPort) {
    TCanale passed;
    TPosatoreCanali placer(output);
    for (const TCanale* c : Channels(input)) {
        const float a = At(attenuation, c->band);
        if (a > LevelNone) {
            passed.AssignThroughStage(*c, 0, 0, a, 0);
            PlaceReporting(placer, passed, suppress, prefix, outPort);
        } else if (a != LevelBlocked) {
            Report(NotHandledMessage(prefix, c->name, inPort));
        }
    }
}

void TListaCanali::PassAmplifier(TListaCanali& output, const TListaCanali& input, const float* slope,
                                 const float* attIn, const float* gain, const float* noiseFigure,
                                 const float* maxLevel, bool suppress, const AnsiString& prefix,
                                 int32_t inPort, int32_t outPort) {
    const double derating = OverloadDerating(input.Count());
    TCanale passed;
    TPosatoreCanali placer(output);
    for (const TCanale* c : Channels(input)) {
        const int32_t b = c->band;
        const float in = At(attIn, b), g = At(gain, b), nf = At(noiseFigure, b), max = At(maxLevel, b);
        if (IsBad(in) || IsBad(g) || IsBad(nf) || IsBad(max)) {
            Report(NotHandledMessage(prefix, c->name, inPort));
            continue;
        }
        if (in <= LevelNone || g <= LevelNone) continue;  // the band is not amplified
        const float figure = nf < 0.0f ? 0.0f : nf;
        float tilt = TCanale::LevelAtFrequency(slope, static_cast<float>(c->CentreFrequency()));
        if (tilt < 0.0f) tilt = 0.0f;
        passed.AssignThroughStage(*c, static_cast<float>(static_cast<double>(in) + tilt), g, 0, figure);
        const TCanale* placed = PlaceReporting(placer, passed, suppress, prefix, outPort);
        if (max > LevelNone) {
            const double level = placed->levelMax;
            if (max < level || (IsTerrestrialBand(b) && max - derating < level))
                Report(TooHighMessage(prefix, c->name, max - derating, outPort));
        }
    }
}

void TListaCanali::CheckLevelLimits(TListaCanali& output, const TListaCanali& input, const float* minIn,
                                    const float* maxIn, const float* attOut, const float* outLevel,
                                    const float* noiseFigure, bool suppress, const AnsiString& prefix,
                                    int32_t inPort, int32_t outPort) {
    TCanale passed;
    TPosatoreCanali placer(output);
    for (const TCanale* c : Channels(input)) {
        const int32_t b = c->band;
        const float lo = At(minIn, b), hi = At(maxIn, b), att = At(attOut, b), out = At(outLevel, b),
                    nf = At(noiseFigure, b);
        const bool handled = out > LevelNone && lo > LevelNone && hi > LevelNone && att > LevelNone &&
                             (nf > LevelNone || nf == LevelBlocked);
        if (!handled) {
            Report(NotHandledMessage(prefix, c->name, inPort));
            continue;
        }
        const float figure = nf > LevelNone ? nf : 0.0f;
        if (c->levelMin < lo || c->levelMax > hi) {
            Report(OutOfLimitsMessage(prefix, c->name, inPort));
            continue;
        }
        passed.AssignThroughCAG(*c, out, static_cast<float>(static_cast<double>(out) - lo), att, figure);
        PlaceReporting(placer, passed, suppress, prefix, outPort);
    }
}

void TListaCanali::CheckConflicts(TListaCanali& destination, const TListaCanali& source, int32_t flags,
                                  const AnsiString& prefix) {
    const std::vector<const TCanale*> sources = Channels(source);
    auto s = sources.begin();
    if (s == sources.end()) return;
    if (!destination.head) {
        destination.head = destination.NewChannel(**s);
        ++s;
    }
    TCanale* prev = nullptr;
    TCanale* a = destination.head;
    while (s != sources.end()) {
        const int c = TCanale::CompareRange(a, *s);
        const bool sameRange = c > -2 && c < 2;
        if (sameRange && (flags & 3) == 0) Report(prefix + ": canale " + a->name + " in conflitto.");
        if (sameRange && (flags & 4)) {
            a->MergeRanges(**s);
            prev = a;
            a = a->next;
            ++s;
        } else if (c > 0) {
            TCanale* copy = destination.NewChannel(**s);
            copy->next = a;
            (prev ? prev->next : destination.head) = copy;
            prev = copy;
            ++s;
        } else {
            prev = a;
            a = a->next;
        }
    }
}
