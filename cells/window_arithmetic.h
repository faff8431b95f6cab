#pragma once
// The window arithmetic of the level passes, inline: every class's required
// and signal step calls it once per port and band, and a call across source
// files for each of these few comparisons cost more than the comparisons.
// Included at the end of cells/cell.h.
#include <algorithm>

// A window whose two ends are the same sentinel.
constexpr TFinestra SentinelWindow(float v) { return TFinestra{v, v}; }

inline void TCella::ClipWindow(TFinestra& w, float limit) {
    if (IsRealLevel(limit) && limit < w.Max) w.Max = limit;
    if (w.Max < w.Min) w = SentinelWindow(LevelReqEmpty);
}

inline void TCella::AddAttenuation(TFinestra& w, float attenuation) {
    if (!IsRealLevel(attenuation)) {
        w = SentinelWindow(attenuation == LevelBlocked ? LevelReqUnlimited : LevelReqUndefined);
        return;
    }
    if (!IsRealLevel(w.Min)) return;
    // A level a component would have to receive below 0 dB is asked as 0.
    auto raised = [](float v) { return IsRealLevel(v) && v < 0.0f ? 0.0f : v; };
    w.Min = raised(LevelSum(w.Min, attenuation));
    w.Max = raised(LevelSum(w.Max, attenuation));
}

inline void TCella::IntersectWindows(TFinestra& w, const TFinestra& other) {
    if (w.Min == LevelNone || w.Min == LevelReqUnlimited) {
        w = other;
        return;
    }
    if (w.Min == LevelReqEmpty) {
        if (other.Min == LevelReqUndefined) w = SentinelWindow(LevelReqUndefined);
        return;
    }
    if (!IsRealLevel(w.Min)) return;
    if (IsRealLevel(other.Min)) {
        w.Min = std::max(w.Min, other.Min);
        w.Max = std::min(w.Max, other.Max);
        if (w.Min > w.Max) w = SentinelWindow(LevelReqEmpty);
        return;
    }
    if (other.Min == LevelReqUnlimited) return;
    w = other;
}

inline void TCella::CombineForward(TFinestra& w, const TFinestra& downstream, float attenuation, bool gain) {
    TFinestra working = downstream;
    AddAttenuation(working, gain && IsRealLevel(attenuation) ? -attenuation : attenuation);
    IntersectWindows(w, working);
}

inline void TCella::SubtractAttenuation(TFinestra& w, float attenuation) {
    if (w.Min == LevelOff) return;
    if (IsRealLevel(w.Min) && IsRealLevel(attenuation)) {
        w.Min = LevelDifference(w.Min, attenuation);
        w.Max = LevelDifference(w.Max, attenuation);
        return;
    }
    if (IsRealLevel(w.Min) && attenuation == LevelBlocked) {
        w = SentinelWindow(LevelOff);
        return;
    }
    w = SentinelWindow(LevelError);
}

inline void TCella::MergeWindow(TFinestra& w, const TFinestra& other) {
    if (w.Min == LevelNone || w.Min == LevelOff) {
        w = other;
        return;
    }
    if (other.Min == LevelOff) return;
    if (IsRealLevel(w.Min) && IsRealLevel(other.Min)) {
        w.Min = std::min(w.Min, other.Min);
        w.Max = std::max(w.Max, other.Max);
        return;
    }
    w = SentinelWindow(LevelError);
}

inline void TCella::CombineBackward(TFinestra& w, const TFinestra& upstream, float attenuation, bool gain) {
    TFinestra working = upstream;
    SubtractAttenuation(working, gain && IsRealLevel(attenuation) ? -attenuation : attenuation);
    MergeWindow(w, working);
}
