// The filter family and the last-used prototypes.
#include "cells/filters.h"

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "cells/factory.h"
#include "cells/prototypes.h"
#include "cells/record.h"
#include "core/globals.h"
#include "core/info.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

std::string Saved(TCella& cell) {
    TMemoryStream s;
    cell.Save(s, 60000);
    return s.Bytes();
}

class FiltersTest : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
};

TEST_F(FiltersTest, FactoryBuildsEachFilterClass) {
    struct Case {
        int32_t askedCode;
        const std::type_info& type;
        int32_t storedCode;
    };
    // clang-format off
    const Case cases[] = {
        {1, typeid(TFiltroS), 1},
        {2, typeid(TFiltroP), 2},
        {31, typeid(TFiltroPB), 31},
        {32, typeid(TFiltroPA), 32},
    };
    // clang-format on
    for (const Case& c : cases) {
        // The counts asked for do not matter: a filter has one input and one through output.
        std::unique_ptr<TCella> cell(NewCella(nullptr, c.askedCode, 3, 4, 5, 6, 7));
        ASSERT_NE(cell, nullptr) << c.askedCode;
        const TCella& made = *cell;
        EXPECT_EQ(typeid(made), c.type);
        EXPECT_EQ(cell->TypeCode, c.storedCode);
        EXPECT_EQ(cell->Kind, KindBandFilter);
        EXPECT_EQ(cell->Column, 3);
        EXPECT_EQ(cell->Row, 4);
        EXPECT_EQ(cell->Inputs, 1);
        EXPECT_EQ(cell->ThroughOutputs, 1);
        EXPECT_EQ(cell->TapOutputs, 0);
        EXPECT_EQ(cell->Category, "Filtri");
        EXPECT_EQ(cell->GetTypeName(), "Filtro ");
    }
}

TEST_F(FiltersTest, AttenuationIsAllocatedEmpty) {
    TFiltroPA filter(nullptr, 0, 0, 0, 0);
    ASSERT_TRUE(filter.Attenuation->HasBlocks3());
    EXPECT_EQ(filter.Attenuation->Size2(), 1);
    EXPECT_EQ(filter.Attenuation->Size3(), 4);
    EXPECT_EQ(filter.Attenuation->Size4(), BandSlots);
    ASSERT_NE(filter.Attenuation->Block3(0), nullptr);
    for (int c = 0; c < 4; ++c)
        for (int b = 0; b < BandSlots; ++b) EXPECT_EQ(filter.Attenuation->Block3(0)[c][b], LevelNone);
    EXPECT_FALSE(filter.LevelTableA->HasBlocks3());
}

TEST_F(FiltersTest, ShortCodeFromTheFilterCounter) {
    TContatoriCategoria counters;
    counters.fill(1);
    counters[FilterCounter] = 3;
    TFiltroS a(nullptr, 0, 0, 0, 0);
    TFiltroPB b(nullptr, 0, 0, 0, 0);
    a.TakeSequenceNumber(counters);
    b.TakeSequenceNumber(counters);
    EXPECT_EQ(a.GetShortCode(), "F3");
    EXPECT_EQ(b.GetShortCode(), "F4");
    EXPECT_EQ(counters[FilterCounter], 5);
    EXPECT_EQ(counters[FilterCounter - 1], 1);
}

TEST_F(FiltersTest, EachFilterClassHasItsOwnPrototype) {
    TFiltroS s(nullptr, 0, 0, 0, 0);
    TFiltroP p(nullptr, 0, 0, 0, 0);
    TFiltroPA pa(nullptr, 0, 0, 0, 0);
    TFiltroPB pb(nullptr, 0, 0, 0, 0);
    TCella* protos[] = {s.GetPrototype(), p.GetPrototype(), pa.GetPrototype(), pb.GetPrototype()};
    const std::type_info* types[] = {&typeid(TFiltroS), &typeid(TFiltroP), &typeid(TFiltroPA),
                                     &typeid(TFiltroPB)};
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(protos[i], nullptr);
        EXPECT_EQ(typeid(*protos[i]), *types[i]);
        EXPECT_EQ(protos[i]->Owner, nullptr);
        for (int j = 0; j < i; ++j) EXPECT_NE(protos[i], protos[j]);
    }
    // A second filter of a class finds the same prototype.
    TFiltroS other(nullptr, 0, 0, 9, 9);
    EXPECT_EQ(other.GetPrototype(), protos[0]);
}

TEST_F(FiltersTest, DataStoredIntoOnePrototypeReachNoOther) {
    TFiltroS s(nullptr, 0, 0, 0, 0);
    TFiltroP p(nullptr, 0, 0, 0, 0);
    const std::string untouchedP = Saved(*p.GetPrototype());
    s.Code = "FS-1";
    s.Price = 9.5f;
    s.Attenuation->Set3(0, 1, 2, 1.5f);
    s.StoreAsLastUsed();

    TFiltroS newS(nullptr, 0, 0, 4, 4);
    newS.TakeLastUsed();
    EXPECT_EQ(newS.Code, "FS-1");
    EXPECT_EQ(newS.Price, 9.5f);
    EXPECT_EQ(newS.Attenuation->Get3(0, 1, 2), 1.5f);
    EXPECT_EQ(newS.Column, 4);  // geometry is not data

    TFiltroP newP(nullptr, 0, 0, 0, 0);
    newP.TakeLastUsed();
    EXPECT_EQ(newP.Code, "");
    EXPECT_EQ(Saved(*p.GetPrototype()), untouchedP);
}

TEST_F(FiltersTest, PrototypesStartFromTheClassDefaults) {
    // A prototype is made on first use; it must hold what one made at start
    // would: the class defaults.
    TFiltroPB fresh(nullptr, 0, 0, 0, 0);
    TFiltroPB user(nullptr, 0, 0, 0, 0);
    EXPECT_EQ(Saved(*user.GetPrototype()), Saved(fresh));

    // A restart (a new set of prototypes) forgets what was stored.
    user.Brand = "Varne";
    user.StoreAsLastUsed();
    ScopedPrototypes restarted;
    EXPECT_EQ(Saved(*user.GetPrototype()), Saved(fresh));
}

TEST_F(FiltersTest, KindsWithoutPrototype) {
    EXPECT_TRUE(TUltimiComponenti::HasKind({CodeFiltroS}));
    EXPECT_FALSE(TUltimiComponenti::HasKind({CodeFiltroS, 1, 0}));
    EXPECT_FALSE(TUltimiComponenti::HasKind({CodeFiltroS, 0, 0, 1}));
    EXPECT_FALSE(TUltimiComponenti::HasKind({34}));  // the head-end terminal has none
    EXPECT_EQ(prototypes.Get().Get({34}), nullptr);
    EXPECT_EQ(prototypes.Get().Get({CodeFiltroP}), prototypes.Get().Get({CodeFiltroP}));
}

TEST_F(FiltersTest, NoPrototypesNoCopy) {
    ScopedPrototypes outer;
    TFiltroS s(nullptr, 0, 0, 0, 0);
    {
        // With no program-wide prototypes, taking and storing change nothing.
        TUltimiComponenti* saved = UltimiComponenti;
        UltimiComponenti = nullptr;
        s.Code = "X";
        s.StoreAsLastUsed();
        s.TakeLastUsed();
        EXPECT_EQ(s.Code, "X");
        EXPECT_EQ(s.GetPrototype(), nullptr);
        UltimiComponenti = saved;
    }
    EXPECT_EQ(s.GetPrototype()->Code, "");
}

TEST_F(FiltersTest, FreshFilterIsRefusedByTheDataCheck) {
    globals.Reporter().SetTarget(nullptr);
    TFiltroP filter(nullptr, 0, 0, 0, 0);
    EXPECT_FALSE(filter.CheckData("Dati componente errati a causa del seguante problema: "));
    filter.Attenuation->Set3(0, 1, 3, 0.5f);
    EXPECT_TRUE(filter.CheckData(""));
}

}  // namespace
