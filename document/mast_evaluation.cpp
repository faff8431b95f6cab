#include "document/mast_evaluation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double AllowedStress = MastSteelYield / MastSteelFactor;  // N/mm²

// An infinite measure would turn the moments into nan.
bool Given(float v) { return MastValueGiven(v); }

int ClassIndex(int32_t windClass) {
    return windClass >= 0 && windClass < static_cast<int32_t>(WindClassSpeeds.size()) ? windClass : 0;
}

// Elastic section modulus of a tube [mm³]: π·(d⁴ - (d - 2s)⁴) / (32·d).
double TubeModulus(double d, double s) {
    const double inner = std::max(0.0, d - 2 * s);
    return std::numbers::pi * (std::pow(d, 4) - std::pow(inner, 4)) / (32 * d);
}

bool SectionComplete(const TTroncoPalo& t) {
    return Given(t.Diameter) && Given(t.Thickness) && Given(t.Length);
}

}  // namespace

bool MastValueGiven(float v) { return v != LevelNone && v > 0 && std::isfinite(v); }

double MastWindPressure(int32_t windClass) { return MastWindData().ClassFigure[ClassIndex(windClass)]; }

double MastWindSpeed(int32_t windClass) { return WindClassSpeeds[ClassIndex(windClass)]; }

int BandHalfWavelength(int32_t band) {
    // Band choices "V°", "IV°", "III°", "II°", "I°", "I°+III°", "I°+III°+IV°+V°",
    // "III°+IV°", "III°+IV°+V°", "IV°+V°": the lowest band of each decides.
    static constexpr int halfWave[] = {25, 32, 87, 172, 320, 320, 320, 87, 87, 32};
    return band >= 0 && band < 10 ? halfWave[band] : halfWave[4];
}

int ItemSpacingNeed(const TDatiAntenna& item) {
    if (item.IsArm()) {
        int need = 0;
        for (const TDatiAntenna* c : {item.FirstChild.get(), item.SecondChild.get()})
            if (c) need = std::max(need, ItemSpacingNeed(*c));
        return need > 0 ? need : MastEmptyArmSpacing;
    }
    if (item.Kind == MastDish) {
        if (!Given(item.Diameter)) return MastDishSpacingUnknown;
        return static_cast<int>(std::ceil(item.Diameter / 2.0)) + MastDishSpacingMargin;
    }
    return BandHalfWavelength(item.Band);
}

double ItemWindForce(const TDatiAntenna& item, double pressure, double speed, bool& known) {
    if (item.IsArm()) {
        double f = 0;
        for (const TDatiAntenna* c : {item.FirstChild.get(), item.SecondChild.get()})
            if (c) f += ItemWindForce(*c, pressure, speed, known);
        return f;
    }
    if (Given(item.Area)) return pressure * item.Area;
    if (Given(item.Force)) {
        // A force stated without its wind counts as stated at the mast's wind.
        const double at = Given(item.WindOfForce) ? item.WindOfForce : speed;
        return item.Force * (speed / at) * (speed / at);
    }
    if (item.Kind == MastDish && Given(item.Diameter)) {
        const double d = item.Diameter / 100.0;
        return pressure * MastDragCoefficient * std::numbers::pi * d * d / 4;
    }
    known = false;
    return 0;
}

double TValutazionePalo::AvailableHeight(int n) const {
    if (n < 1 || n > MastSections) return 0;
    return FootY - Sections[n - 1].Top + 1;
}

TValutazionePalo EvaluateMast(const TPalo& palo) {
    TValutazionePalo v;
    const double q = MastWindPressure(palo.WindClass);
    const double speed = MastWindSpeed(palo.WindClass);
    const int foot = palo.FootPosition;
    v.FootY = MastBaseLineY - foot;
    v.MinFootPosition = std::max(MastMinFoot, palo.Ground >= 0 ? palo.Ground : 0);

    // Items: heights above the foot, forces, minimum spacings.
    struct Load {
        double height;  // cm above the foot
        double force;   // N
    };
    std::vector<Load> loads;
    v.Records.push_back({v.FootY, v.MinFootPosition, nullptr});
    double height = 0;
    const auto& items = palo.Antennas.Items;
    for (size_t i = 0; i < items.size(); ++i) {
        TDatiAntenna& item = *items[i];
        height += item.Spacing;
        const int minSpacing =
            i == 0 ? MastFirstItemSpacing : std::max(ItemSpacingNeed(*items[i - 1]), ItemSpacingNeed(item));
        v.Records.push_back({static_cast<int>(std::lround(v.FootY - height)), minSpacing, &item});
        bool known = true;
        loads.push_back({height, ItemWindForce(item, q, speed, known)});
        if (!known)
            v.Warnings.push_back("Spinta del vento non indicata per l'elemento " + std::to_string(i + 1) +
                                 ".");
        v.RequiredHeight = height + MastHeightMargin;
    }

    // Sections: heights above the foot of their lower end, exposed lower end and top.
    const int minInsertion = palo.Telescopic ? MastMinInsertionTelescopic : 0;
    double bottom[MastSections] = {}, exposed[MastSections] = {}, top[MastSections] = {};
    int drawn = 0;
    const int count = std::clamp(palo.SectionCount, 1, MastSections);
    for (int k = 0; k < count && SectionComplete(palo.Sections[k]); ++k) {
        const TTroncoPalo& t = palo.Sections[k];
        if (k == 0) {
            bottom[k] = exposed[k] = 0;
        } else {
            const double insertion = palo.Telescopic ? (Given(t.Insertion) ? t.Insertion : minInsertion) : 0;
            bottom[k] = top[k - 1] - insertion;
            exposed[k] = top[k - 1];
        }
        top[k] = bottom[k] + 100.0 * t.Length;
        drawn = k + 1;
    }

    for (int k = 0; k < MastSections; ++k) {
        TTroncoLayout& s = v.Sections[k];
        s.MinInsertion = minInsertion;
        if (k >= drawn) continue;
        const TTroncoPalo& t = palo.Sections[k];
        s.Drawn = true;
        s.Top = v.FootY - top[k];
        s.Bottom = v.FootY - bottom[k];
        const int half = std::clamp(static_cast<int>(std::lround(19.0 * t.Diameter / 102.0)), 4, 19);
        s.Left = 110 - half;
        s.Right = 110 + half;
        s.Resistance = TubeModulus(t.Diameter, t.Thickness) * AllowedStress / 1000.0;

        // Bending moment at the lowest exposed point z of the section.
        const double z = exposed[k];
        double moment = 0;
        for (const Load& l : loads)
            if (l.height > z) moment += l.force * (l.height - z) / 100.0;
        for (int j = k; j < drawn; ++j) {
            const double from = std::max(exposed[j], z), to = top[j];
            if (to <= from) continue;
            const double length = (to - from) / 100.0;
            const double force = q * MastDragCoefficient * palo.Sections[j].Diameter / 1000.0 * length;
            moment += force * ((from + to) / 2 - z) / 100.0;
        }
        s.Load = moment;
    }

    std::vector<AnsiString> lines;
    for (int k = 0; k < drawn; ++k) {
        // A diameter made smaller after the wall was typed can leave no tube.
        const TTroncoPalo& t = palo.Sections[k];
        if (2.0 * t.Thickness >= t.Diameter)
            lines.push_back("Il tronco " + std::to_string(k + 1) +
                            " ha la sezione non minore della metà del diametro.");
        if (v.Sections[k].Fails())
            lines.push_back("Il tronco " + std::to_string(k + 1) + " non resiste al vento.");
    }
    if (!items.empty() && (drawn == 0 || v.AvailableHeight(drawn) < v.RequiredHeight))
        lines.push_back("Il sostegno è più basso delle antenne.");
    lines.insert(lines.end(), v.Warnings.begin(), v.Warnings.end());
    v.Warnings = std::move(lines);
    return v;
}

namespace {

void ClearSections(TPalo& palo) {
    palo.SectionCount = 1;
    for (TTroncoPalo& t : palo.Sections) t = TTroncoPalo{};
}

bool AnyFails(const TValutazionePalo& v, int n) {
    for (int k = 0; k < n; ++k)
        if (v.Sections[k].Fails()) return true;
    return false;
}

bool SearchOnce(TPalo& palo, const std::vector<TTroncoPalo>& candidates) {
    ClearSections(palo);
    const double required = EvaluateMast(palo).RequiredHeight;
    const int total = static_cast<int>(candidates.size());

    // A candidate may stand on the section below when it slides inside it with
    // 3 mm of clearance; without telescopic joints it may also be no wider.
    auto acceptable = [&](int level, int index) {
        if (level == 0) return true;
        const TTroncoPalo& below = palo.Sections[level - 1];
        const TTroncoPalo& c = candidates[index];
        if (c.Diameter <= below.Diameter - 2 * below.Thickness - 3) return true;
        return !palo.Telescopic && c.Diameter <= below.Diameter;
    };

    std::vector<int> stack;  // candidate index per level, foot first
    std::vector<TTroncoPalo> best;
    bool found = false;
    if (total > 0) stack.push_back(0);
    while (!stack.empty()) {
        const int n = static_cast<int>(stack.size());
        palo.SectionCount = n;
        for (int k = 0; k < MastSections; ++k) {
            palo.Sections[k] = k < n ? candidates[stack[k]] : TTroncoPalo{};
            palo.Sections[k].Insertion = LevelNone;
        }
        TValutazionePalo v = EvaluateMast(palo);
        if (palo.Telescopic && n >= 2 && v.AvailableHeight(n) > required) {
            // Slide the top section down by what the mast has in excess, but
            // no further than the editor lets it go: its lower end stays above
            // the foot and 10 cm of it stay out of the section below. The mast
            // is then taller than it needs, never a tube through its own foot.
            const TTroncoPalo& top = palo.Sections[n - 1];
            const double excess =
                std::trunc(v.FootY - v.Sections[n - 1].Top - required + 1) + v.Sections[n - 1].MinInsertion;
            const double deepest = std::min(std::floor(v.FootY - v.Sections[n - 2].Top) - 1,
                                            std::floor(100.0 * top.Length) - 10);
            palo.Sections[n - 1].Insertion = static_cast<float>(
                std::max<double>(std::min(excess, deepest), v.Sections[n - 1].MinInsertion));
            v = EvaluateMast(palo);
        }
        int failing = 0;
        for (int k = 1; k <= n && !failing; ++k)
            if (!(v.Sections[k - 1].Resistance > v.Sections[k - 1].Load)) failing = k;

        if (failing) {
            stack.resize(failing);
        } else if (v.AvailableHeight(n) >= required) {
            if (!found || n < static_cast<int>(best.size())) best.assign(palo.Sections, palo.Sections + n);
            found = true;
            stack.pop_back();
        } else if (n < MastSections && !(found && static_cast<int>(best.size()) <= n + 1)) {
            stack.push_back(-1);
        }

        // Advance at the current depth; exhausted levels drop back.
        while (!stack.empty()) {
            const int level = static_cast<int>(stack.size()) - 1;
            int next = stack[level] + 1;
            // The levels below hold their candidates while this one is chosen.
            for (int k = 0; k < level; ++k) palo.Sections[k] = candidates[stack[k]];
            while (next < total && !acceptable(level, next)) ++next;
            if (next < total) {
                stack[level] = next;
                break;
            }
            stack.pop_back();
        }
    }

    ClearSections(palo);
    if (!found) return false;
    palo.SectionCount = static_cast<int32_t>(best.size());
    std::copy(best.begin(), best.end(), palo.Sections);
    return true;
}

}  // namespace

bool SizeMastSections(TPalo& palo, const std::vector<TTroncoPalo>& candidates, bool telescopic) {
    palo.Telescopic = telescopic ? 1 : 0;
    // A foot below its minimum (the free ground above it) is raised, and the
    // search runs at most once more when a section then fails.
    for (int pass = 0; pass < 2; ++pass) {
        if (!SearchOnce(palo, candidates)) return false;
        const TValutazionePalo v = EvaluateMast(palo);
        if (v.MinFootPosition <= palo.FootPosition) return true;
        palo.FootPosition = v.MinFootPosition;
        if (!AnyFails(EvaluateMast(palo), palo.SectionCount)) return true;
    }
    return true;
}
