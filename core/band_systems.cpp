#include "core/band_systems.h"

#include <array>

int32_t TSistemaBande::BandOf(double frequency) const {
    // Older systems list "FM" before "b. I": a search by upper edge alone would
    // put band I frequencies into the FM slot, so a band that holds the
    // frequency is looked for first.
    for (int32_t i = 0; i < bandCount; ++i)
        if (bands[i].Holds(frequency)) return i;
    for (int32_t i = 0; i < bandCount; ++i)
        if (bands[i].highest >= frequency) return i;
    return bandCount - 1;
}

void TSistemaBande::LevelsByBand(const TSistemaBande& target, float* levels) const {
    std::array<float, BandSlots> converted;
    converted.fill(LevelNone);
    const int32_t count = target.bandCount < BandSlots ? target.bandCount : BandSlots;
    for (int32_t j = 0; j < count; ++j) {
        const int32_t k = BandOf(target.bands[j].reference);
        if (k >= 0 && k < BandSlots) converted[j] = levels[k];
    }
    for (int32_t i = 0; i < BandSlots; ++i) levels[i] = converted[i];
}

TSistemiBande::TSistemiBande() {
    struct Row {
        const char* name;
        float lowest, highest, reference;
    };
    auto build = [this](const char* name, char id, std::initializer_list<Row> rows) {
        auto system = std::make_unique<TSistemaBande>();
        system->name = name;
        system->id = id;
        system->bandCount = static_cast<int32_t>(rows.size());
        system->bands.resize(rows.size());
        size_t i = 0;
        for (const Row& r : rows) SetBand(system->bands[i++], r.name, r.lowest, r.highest, r.reference);
        Append(std::move(system));
    };
    build(BandSystemOldName, BandSystemOldId,
          {{"FM", 87.5f, 108, 98},
           {"b. I", 47, 68, 50},
           {"b. III", 174, 300, 200},
           {"b. IV", 300, 606, 470},
           {"b. V", 606, 862, 862},
           {"sat. 1", 950, 1150, 950},
           {"sat. 2", 1150, 1550, 1350},
           {"sat. 3", 1550, 1950, 1750},
           {"sat. 4", 1950, 2275, 2150},
           {"sat. 5", 2275, 2400, 2400}});
    build(BandSystemCurrentName, BandSystemCurrentId,
          {{"C. Rit", 5, 35, 10},
           {"b. I", 47, 68, 50},
           {"FM", 87.5f, 108, 98},
           {"b. III", 110, 300, 200},
           {"b. IV", 300, 606, 470},
           {"b. V", 606, 862, 862},
           {"sat. 1", 950, 1150, 950},
           {"sat. 2", 1150, 1550, 1350},
           {"sat. 3", 1550, 1950, 1750},
           {"sat. 4", 1950, 2275, 2150},
           {"sat. 5", 2275, 2400, 2400}});
}

TSistemiBande::~TSistemiBande() = default;

TSistemaBande* TSistemiBande::Append(std::unique_ptr<TSistemaBande> system) {
    TSistemaBande* added = system.get();
    if (systems_.empty())
        head = added;
    else
        systems_.back()->next = added;
    systems_.push_back(std::move(system));
    return added;
}

TSistemaBande* TSistemiBande::Find(const AnsiString& name) const {
    for (TSistemaBande* s = head; s; s = s->next)
        if (s->name == name) return s;
    return nullptr;
}

TSistemaBande* TSistemiBande::FindById(char id) const {
    for (TSistemaBande* s = head; s; s = s->next)
        if (s->id == id) return s;
    return nullptr;
}

void TSistemiBande::SetBand(TBanda& band, const AnsiString& name, float lowest, float highest,
                            float reference) {
    band.bandName = name;
    band.lowest = lowest;
    band.highest = highest;
    band.reference = reference;
}
