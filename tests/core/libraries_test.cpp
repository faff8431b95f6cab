// Component libraries: the ".alb" file, its queries, reading cells from it,
// deleting entries, the registered libraries and the in-memory list.
#include "core/libraries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <typeinfo>

#include "cells/factory.h"
#include "cells/filters.h"
#include "cells/library_cells.h"
#include "cells/record.h"
#include "core/file.h"
#include "core/info.h"
#include "platform/application.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

std::string RecordOf(TCella& cell) {
    TMemoryStream s;
    cell.Save(s, 60000);
    return s.Bytes();
}

// A filter entry with its library texts.
std::string FilterEntry(int32_t code, const std::string& article, const std::string& category,
                        const std::string& series = "", float through = 1.0f) {
    std::unique_ptr<TCella> cell;
    switch (code) {
    case 2: cell = std::make_unique<TFiltroP>(nullptr, 0, 0, 0, 0); break;
    case 31: cell = std::make_unique<TFiltroPB>(nullptr, 0, 0, 0, 0); break;
    case 32: cell = std::make_unique<TFiltroPA>(nullptr, 0, 0, 0, 0); break;
    default: cell = std::make_unique<TFiltroS>(nullptr, 0, 0, 0, 0); break;
    }
    cell->Code = article;
    cell->Article = "Art " + article;
    cell->Category = category;
    cell->Series = series;
    cell->Attenuation->Set3(0, 1, 0, through);
    return RecordOf(*cell);
}

// A record head only (type code, counts, the four texts), for queries.
std::string HeadEntry(int32_t typeCode, int32_t in, int32_t through, int32_t tap, const std::string& code,
                      const std::string& category, const std::string& series) {
    return RecordBytes()
        .I32(typeCode)
        .I32(in)
        .I32(through)
        .I32(tap)
        .Text(code, 20)
        .Text("", 30)
        .Text(category, 30)
        .Text(series, 20)
        .Bytes();
}

// The bytes of a library file holding these records.
std::string LibraryBytes(const std::vector<std::string>& records, const char* tag = "alb 6.0.0   ") {
    RecordBytes body;
    for (const std::string& r : records) body.I32(static_cast<int32_t>(r.size())).Raw(r);
    RecordBytes file;
    file.Raw(std::string(tag, 12))
        .U8(9)
        .I32(static_cast<int32_t>(records.size()))
        .I32(static_cast<int32_t>(LibraryHeaderSize + body.Size()))
        .Raw(body.Bytes());
    return file.Bytes();
}

class LibraryTest : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = globals.Dir().File(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::unique_ptr<TLibreria> Library(const std::string& name, const std::string& bytes) {
        auto l = std::make_unique<TLibreria>();
        l->fileName = Write(name, bytes);
        return l;
    }
    const std::vector<TMessageBoxCall>& Boxes() { return Application->Script().MessageBoxes; }
    static std::vector<std::string> Items(const TStringList& list) {
        std::vector<std::string> v;
        for (int i = 0; i < list.Count(); ++i) v.push_back(list[i]);
        return v;
    }
};

using Strings = std::vector<std::string>;

TEST_F(LibraryTest, HeaderRefusals) {
    struct Case {
        const char* what;
        std::string bytes;
        bool opens;
        std::string message;  // after the file name
    };
    const std::string good = LibraryBytes({});
    std::string noMark = good;
    noMark[12] = 8;
    // clang-format off
    const Case cases[] = {
        {"current", good, true, ""},
        {"no byte 9", noMark, false, ""},
        {"too short", good.substr(0, 12), false, ""},
        {"2.0.0", LibraryBytes({}, "alb 2.0.0   "), false, ""},
        {"3.0.0", LibraryBytes({}, "alb 3.0.0   "), false, ""},
        {"4.0.0", LibraryBytes({}, "alb 4.0.0   "), false, ""},
        {"5.0.0", LibraryBytes({}, "alb 5.0.0   "), false, ""},
        {"5.1.0", LibraryBytes({}, "alb 5.1.0   "), false, ""},
        {"1.0.1", LibraryBytes({}, "alb 1.0.1   "), false, " è della versione 1 di Ordivex Varne e non è più supportata."},
        {"unknown", LibraryBytes({}, "alb 7.0.0   "), false,
         " non è una libreria valida per questa versione di Ordivex Varne."},
    };
    // clang-format on
    for (const Case& c : cases) {
        Application->Script().Reset();
        auto l = Library("lib.alb", c.bytes);
        EXPECT_EQ(l->Open(false), c.opens) << c.what;
        EXPECT_EQ(l->IsOpen(), c.opens) << c.what;
        if (c.message.empty()) {
            EXPECT_TRUE(Boxes().empty()) << c.what;
        } else {
            ASSERT_EQ(Boxes().size(), 1u) << c.what;
            const std::string prefix = std::string(c.what) == "1.0.1" ? "La libreria " : "Il file ";
            EXPECT_EQ(Boxes()[0].Text, prefix + l->fileName + c.message);
            EXPECT_EQ(Boxes()[0].Caption, "");
            EXPECT_EQ(Boxes()[0].Flags, MB_OK | MB_ICONEXCLAMATION);
        }
    }
}

TEST_F(LibraryTest, MissingFileAndBusyFile) {
    TLibreria missing;
    missing.fileName = globals.Dir().File("none.alb");
    EXPECT_FALSE(missing.Open(false));
    EXPECT_TRUE(Boxes().empty());

    auto l = Library("busy.alb", LibraryBytes({}));
    TFile holder(l->fileName, ModeReadWriteExclusive);
    EXPECT_FALSE(l->Open(false));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text,
              "La libreria " + l->fileName + " è utilizzata da un altro utente. Riprovare più tardi.");
}

TEST_F(LibraryTest, QueriesByKind) {
    auto l = Library("q.alb", LibraryBytes({
                                  HeadEntry(6, 1, 0, 4, "R4", "Derivatori", "Alfa"),
                                  HeadEntry(6, 1, 0, 2, "R2", "Derivatori", ""),
                                  HeadEntry(47, 2, 0, 8, "M8", "Multiswitch", "Beta"),
                                  HeadEntry(10, 2, 0, 8, "S8", "Derivatori", "Beta"),
                                  HeadEntry(150, 0, 0, 0, "L1", "Listino", "Gamma"),
                                  HeadEntry(6, 1, 0, 4, "R4B", "Derivatori", "Alfa"),
                              }));
    TStringList list;
    struct Case {
        int kind;
        std::string text;
        int type, k1, k2, k3;
        Strings expected;
    };
    // clang-format off
    const Case cases[] = {
        {lqAllCodes, "", 0, 0, 0, 0, {"R4", "R2", "M8", "S8", "L1", "R4B"}},
        {lqCategories, "", 0, 0, 0, 0, {"Derivatori", "Multiswitch", "Listino"}},
        {lqCodesOfCategory, "Derivatori", 0, 0, 0, 0, {"R4", "R2", "S8", "R4B"}},
        {lqCodesOfCategory, "derivatori", 0, 0, 0, 0, {}},
        {lqCodesOfType, "", 6, 0, 0, 0, {"R4", "R2", "R4B"}},
        {lqCodesOfKind, "", 6, 1, 0, 4, {"R4", "R4B"}},
        {lqCodesOfKind, "", 6, 1, 0, 3, {}},
        {lqSeriesOfType, "", 6, 0, 0, 0, {"Alfa"}},
        {lqSeriesOfFamily, "", 10, 0, 0, 0, {"Beta"}},
        {lqSeriesOfFamily, "", 47, 0, 0, 0, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        list.Add("stale");
        l->Query(list, c.text, c.type, c.k1, c.k2, c.k3, c.kind);
        EXPECT_EQ(Items(list), c.expected) << "kind " << c.kind << " " << c.type;
    }
    EXPECT_FALSE(l->IsOpen());  // a query opens a closed library and closes it again

    l->ListCodesOfCategory(list, "");
    EXPECT_EQ(list.Count(), 6);
    l->ListByTypeAndKeys(list, 47, 2, 0, 8);
    EXPECT_EQ(Items(list), Strings{"M8"});
    ASSERT_TRUE(l->Open(false));
    l->ListCategories(list);
    EXPECT_TRUE(l->IsOpen());  // and leaves an open one open
}

TEST_F(LibraryTest, TreeQueryByFilter) {
    auto l = Library("t.alb", LibraryBytes({
                                  HeadEntry(6, 1, 0, 4, "R4", "Derivatori", "Alfa"),
                                  HeadEntry(6, 1, 0, 2, "R2", "Derivatori", ""),
                                  HeadEntry(8, 1, 0, 2, "R0", "Derivatori", "Alfa"),
                                  HeadEntry(150, 0, 0, 0, "L1", "Listino", "Gamma"),
                                  HeadEntry(6, 1, 0, 4, "A4", "Derivatori", "Alfa"),
                              }));
    TNestedStringList tree;
    l->ListTree(tree);
    ASSERT_EQ(Items(tree), (Strings{"Derivatori", "Listino"}));
    auto* series = static_cast<TNestedStringList*>(tree.Objects(0));
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(Items(*series), (Strings{"", "Alfa"}));  // sorted
    auto* alfa = static_cast<TNestedStringList*>(series->Objects(series->IndexOf("Alfa")));
    EXPECT_EQ(Items(*alfa), (Strings{"A4", "R0", "R4"}));

    l->ListTree(tree, NotPriceItem);  // every type but 150
    EXPECT_EQ(Items(tree), Strings{"Derivatori"});
    l->ListTree(tree, [](int32_t typeCode) { return typeCode == 6; });  // a filter that takes 6 but not 8
    series = static_cast<TNestedStringList*>(tree.Objects(0));
    alfa = static_cast<TNestedStringList*>(series->Objects(series->IndexOf("Alfa")));
    EXPECT_EQ(Items(*alfa), (Strings{"A4", "R4"}));
}

TEST_F(LibraryTest, ReadCellWithPortMatching) {
    // The first "F1" entry claims two inputs: no filter has them, so a filter
    // takes the second one.
    std::string wrongPorts = FilterEntry(1, "F1", "Filtri", "", 7.0f);
    wrongPorts[4] = 2;
    auto l = Library("r.alb", LibraryBytes({
                                  FilterEntry(2, "P1", "Filtri"),
                                  wrongPorts,
                                  FilterEntry(1, "F1", "Filtri", "", 3.0f),
                                  FilterEntry(31, "F1", "Filtri", "", 5.0f),
                              }));
    EXPECT_EQ(ReadLibraryCell(*l, "F1"), nullptr);  // closed
    ASSERT_TRUE(l->Open(false));

    std::unique_ptr<TCella> made = ReadLibraryCell(*l, "F1");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(typeid(*made), typeid(TFiltroS));
    EXPECT_EQ(made->Attenuation->Get3(0, 1, 0), 3.0f);
    EXPECT_EQ(made->Described, 1);
    EXPECT_EQ(made->Owner, nullptr);

    TFiltroPB pb(nullptr, 0, 0, 2, 3);
    ASSERT_TRUE(ReadLibraryCell(*l, pb, "F1"));  // skips the entries of other kinds
    EXPECT_EQ(pb.Attenuation->Get3(0, 1, 0), 5.0f);

    TFiltroPA pa(nullptr, 0, 0, 0, 0);
    EXPECT_FALSE(ReadLibraryCell(*l, pa, "F1"));
    EXPECT_EQ(pa.Code, "");
    EXPECT_EQ(ReadLibraryCell(*l, "XX"), nullptr);
}

TEST_F(LibraryTest, IterationDeliversEveryEntryOrEveryEntryOfAKind) {
    auto l = Library("i.alb", LibraryBytes({
                                  FilterEntry(1, "A", "Filtri", "", 1.0f),
                                  FilterEntry(2, "B", "Filtri", "", 2.0f),
                                  FilterEntry(1, "C", "Filtri", "", 3.0f),
                              }));
    ASSERT_TRUE(l->Open(false));
    Strings codes;
    for (std::unique_ptr<TCella> cell = FirstLibraryCell(*l); cell; cell = NextLibraryCell(*l))
        codes.push_back(cell->Code);
    EXPECT_EQ(codes, (Strings{"A", "B", "C"}));

    TFiltroS s(nullptr, 0, 0, 0, 0);
    codes.clear();
    for (bool more = FirstLibraryCell(*l, s); more; more = NextLibraryCell(*l, s)) codes.push_back(s.Code);
    EXPECT_EQ(codes, (Strings{"A", "C"}));
    EXPECT_EQ(s.Attenuation->Get3(0, 1, 0), 3.0f);
}

TEST_F(LibraryTest, DeleteEntryLeavesALibraryOfTheOtherEntries) {
    const std::string a = FilterEntry(1, "A", "Filtri"), b = FilterEntry(2, "B", "Filtri"),
                      c = FilterEntry(31, "C", "Filtri");
    auto l = Library("d.alb", LibraryBytes({a, b, c}));
    ASSERT_TRUE(l->Open(false));
    EXPECT_FALSE(l->DeleteEntry("B"));  // not opened for writing
    l->Close();

    ASSERT_TRUE(l->Open(true));
    EXPECT_TRUE(l->DeleteEntry("B"));
    EXPECT_FALSE(l->DeleteEntry("B"));
    l->Close();
    EXPECT_EQ(ReadFile(l->fileName), LibraryBytes({a, c}));

    TStringList list;
    l->ListCodesOfCategory(list, "");
    EXPECT_EQ(Items(list), (Strings{"A", "C"}));

    ASSERT_TRUE(l->Open(true));
    EXPECT_TRUE(l->DeleteEntry("C"));
    EXPECT_TRUE(l->DeleteEntry("A"));
    l->Close();
    EXPECT_EQ(ReadFile(l->fileName), LibraryBytes({}));
}

TEST_F(LibraryTest, WritingEntriesReplacesTheSameCode) {
    const std::string path = globals.Dir().File("new.alb");
    ASSERT_TRUE(TLibreria::CreateFile(path));
    EXPECT_EQ(ReadFile(path), LibraryBytes({}));
    TLibreria l;
    l.fileName = path;
    ASSERT_TRUE(l.Open(true));
    TFiltroS s(nullptr, 0, 0, 0, 0);
    s.Code = "S";
    s.Price = 1.0f;
    EXPECT_TRUE(WriteLibraryCell(l, s));
    TFiltroP p(nullptr, 0, 0, 0, 0);
    p.Code = "P";
    EXPECT_TRUE(WriteLibraryCell(l, p));
    s.Price = 2.0f;
    EXPECT_TRUE(WriteLibraryCell(l, s));
    // An old cable writes no record and makes no entry.
    std::unique_ptr<TCella> oldCable(NewCella(nullptr, 17, 0, 0, 0, 0, 0));
    ASSERT_NE(oldCable, nullptr);
    oldCable->Code = "S";
    EXPECT_FALSE(WriteLibraryCell(l, *oldCable));
    l.Close();
    EXPECT_EQ(ReadFile(path), LibraryBytes({RecordOf(p), RecordOf(s)}));
}

// A damaged library lists the whole entries before the damage and names the
// first entry it cannot read (its number, and its code when that was read).
TEST_F(LibraryTest, DamagedEntriesStopTheWalk) {
    const std::string a = FilterEntry(1, "A", "Filtri");
    const std::string b = FilterEntry(2, "B", "Filtri");
    const std::string c3 = FilterEntry(1, "C", "Filtri");
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        Strings listed;       // what a query still finds
        std::string damaged;  // the message after "è danneggiata: "
    };
    const size_t second = LibraryHeaderSize + 4 + a.size();   // length field of entry B
    const size_t third = second + 4 + b.size();                // length field of entry C
    auto setI32 = [](std::string& bytes, size_t at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    };
    const std::string secondOn = "il componente n. 2 e quelli che lo seguono non sono leggibili.";
    const std::string thirdOn = "il componente n. 3 e quelli che lo seguono non sono leggibili.";
    const std::string header = "i suoi componenti non sono leggibili.";
    // clang-format off
    const Case cases[] = {
        {"length 0", [&](std::string& f) { setI32(f, second, 0); }, {"A"}, secondOn},
        {"negative length", [&](std::string& f) { setI32(f, second, -5); }, {"A"}, secondOn},
        {"length past the end offset", [&](std::string& f) { setI32(f, second, static_cast<int32_t>(b.size() + c3.size() + 9)); },
         {"A"}, secondOn},
        {"count above the entries", [&](std::string& f) { setI32(f, 13, 4); }, {"A", "B", "C"},
         "il componente n. 4 e quelli che lo seguono non sono leggibili."},
        {"negative count", [&](std::string& f) { setI32(f, 13, -1); }, {}, header},
        {"end offset inside the header", [&](std::string& f) { setI32(f, 17, 20); }, {}, header},
        {"head running out of its entry", [&](std::string& f) { setI32(f, second, 10); }, {"A"}, secondOn},
        {"cut after the header", [&](std::string& f) { f.resize(LibraryHeaderSize); }, {},
         "il componente n. 1 e quelli che lo seguono non sono leggibili."},
        {"cut inside the first length", [&](std::string& f) { f.resize(LibraryHeaderSize + 2); }, {},
         "il componente n. 1 e quelli che lo seguono non sono leggibili."},
        {"cut inside the second entry's head", [&](std::string& f) { f.resize(second + 10); }, {"A"}, secondOn},
        {"cut inside the third entry's record", [&](std::string& f) { f.resize(third + 4 + c3.size() / 2); },
         {"A", "B"}, thirdOn},
        {"cut between the second and third entries", [&](std::string& f) { f.resize(third); }, {"A", "B"}, thirdOn},
    };
    // clang-format on
    for (const Case& c : cases) {
        Application->Script().Reset();
        std::string bytes = LibraryBytes({a, b, c3});
        c.damage(bytes);
        auto l = Library("bad.alb", bytes);
        TStringList list;
        l->ListCodesOfCategory(list, "");
        EXPECT_TRUE(l->IsDamaged()) << c.what;
        ASSERT_EQ(Boxes().size(), 1u) << c.what;
        EXPECT_EQ(Boxes()[0].Text, "La libreria " + l->fileName + " è danneggiata: " + c.damaged) << c.what;
        // What stands before the damage is still there, and a second query reports nothing new.
        EXPECT_EQ(Items(list), c.listed) << c.what;
        l->ListCodesOfCategory(list, "");
        EXPECT_EQ(Items(list), c.listed) << c.what;
        EXPECT_EQ(Boxes().size(), 1u) << c.what;
        ASSERT_TRUE(l->Open(false));
        Strings delivered;
        for (std::unique_ptr<TCella> cell = FirstLibraryCell(*l); cell && delivered.size() < 10;
             cell = NextLibraryCell(*l))
            delivered.push_back(cell->Code);
        EXPECT_EQ(delivered, c.listed) << c.what;
        // Every whole entry reads by its code, the others do not.
        for (const char* code : {"A", "B", "C"}) {
            const bool whole = std::find(c.listed.begin(), c.listed.end(), code) != c.listed.end();
            EXPECT_EQ(ReadLibraryCell(*l, code) != nullptr, whole) << c.what << " " << code;
        }
    }
}

// A record that does not read is named by its number and code; the entries
// after it still read.
TEST_F(LibraryTest, AnEntryWhoseRecordIsDamagedIsNamed) {
    std::string broken = FilterEntry(1, "F", "Filtri");
    const size_t bandSystem = 16 + 2 + 6 + 7 + 1 + 1;  // after the head, "F", "Art F", "Filtri", "", Variant
    broken[bandSystem] = '9';
    auto l = Library("b.alb", LibraryBytes({FilterEntry(1, "A", "Filtri"), broken, FilterEntry(1, "G", "Filtri")}));
    ASSERT_TRUE(l->Open(false));
    EXPECT_NE(ReadLibraryCell(*l, "A"), nullptr);
    EXPECT_EQ(ReadLibraryCell(*l, "F"), nullptr);
    EXPECT_NE(ReadLibraryCell(*l, "G"), nullptr);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].Text, "La libreria " + l->fileName + " è danneggiata: il componente n. 2 (F) non è leggibile.");
}

// A lookup by code reads its own entry only: the index of codes is made
// once, by one walk, and kept while the file stays the same.
TEST_F(LibraryTest, LookupsByCodeDoNotWalkTheEntries) {
    // A memory stream that counts the bytes read from it.
    struct CountingStream : TMemoryStream {
        explicit CountingStream(std::string bytes) : TMemoryStream(std::move(bytes)) {}
        int Read(void* buffer, int count) override {
            const int n = TMemoryStream::Read(buffer, count);
            read += n;
            return n;
        }
        int64_t read = 0;
    };
    std::vector<std::string> records;
    for (int i = 0; i < 2000; ++i) records.push_back(FilterEntry(1, "F" + std::to_string(i), "Filtri"));
    auto stream = std::make_unique<CountingStream>(LibraryBytes(records));
    CountingStream* counted = stream.get();
    TLibreria l;
    ASSERT_TRUE(l.OpenStream(std::move(stream)));
    ASSERT_NE(ReadLibraryCell(l, "F0"), nullptr);  // makes the index
    for (int i : {1999, 3, 1000, 1999}) {
        counted->read = 0;
        const std::string code = "F" + std::to_string(i);
        std::unique_ptr<TCella> cell = ReadLibraryCell(l, code);
        ASSERT_NE(cell, nullptr) << code;
        EXPECT_EQ(cell->Code, code);
        EXPECT_LT(counted->read, int64_t(3 * records[i].size() + 64)) << code;
        counted->read = 0;
        EXPECT_TRUE(l.FindEntry(code));
        EXPECT_LT(counted->read, int64_t(2 * records[i].size() + 64)) << code;
    }
    EXPECT_EQ(ReadLibraryCell(l, "nessuno"), nullptr);
    // A library written anew finds its new entries.
    ASSERT_TRUE(l.AppendEntry(FilterEntry(1, "NUOVO", "Filtri")));
    EXPECT_NE(ReadLibraryCell(l, "NUOVO"), nullptr);
}

TEST_F(LibraryTest, EntryWhoseRecordDoesNotReadLeavesTheCellAlone) {
    std::string broken = FilterEntry(1, "F", "Filtri");
    const size_t bandSystem = 16 + 2 + 6 + 7 + 1 + 1;  // after the head, "F", "Art F", "Filtri", "", Variant
    ASSERT_EQ(broken[bandSystem], '3');
    broken[bandSystem] = '9';  // an id no band system has
    auto l = Library("b.alb", LibraryBytes({broken}));
    ASSERT_TRUE(l->Open(false));
    TFiltroS s(nullptr, 0, 0, 5, 6);
    s.Code = "mine";
    EXPECT_FALSE(ReadLibraryCell(*l, s, "F"));
    EXPECT_EQ(s.Code, "mine");
    EXPECT_EQ(s.Column, 5);
    EXPECT_EQ(ReadLibraryCell(*l, "F"), nullptr);
}

TEST_F(LibraryTest, RegisteredLibrariesByName) {
    ScopedLibraries registered;
    auto* first = new TLibreria;
    first->fileName =
        Write("VARNE.alb", LibraryBytes({FilterEntry(1, "F1", "Filtri"), FilterEntry(2, "P1", "Passa")}));
    auto* second = new TLibreria;
    second->fileName = Write("Altra.alb", LibraryBytes({FilterEntry(1, "X", "Filtri")}));
    auto* unnamed = new TLibreria;
    registered.Get().Append(std::unique_ptr<TLibreria>(first));
    registered.Get().Append(std::unique_ptr<TLibreria>(unnamed));
    registered.Get().Append(std::unique_ptr<TLibreria>(second));

    EXPECT_EQ(registered.Get().Find("varne"), first);
    EXPECT_EQ(registered.Get().Find("ALTRA"), second);
    EXPECT_EQ(registered.Get().Find("Nessuna"), nullptr);
    TStringList names;
    registered.Get().ListNames(names);
    EXPECT_EQ(Items(names), (Strings{"VARNE", "Altra"}));

    TStringList list;
    registered.Get().ListByName("Varne", list);
    EXPECT_EQ(Items(list), (Strings{"Filtri", "Passa"}));
    registered.Get().QueryByName("Varne", list, "Passa");
    EXPECT_EQ(Items(list), Strings{"P1"});
    registered.Get().QueryByName("Nessuna", list, "Passa");
    EXPECT_EQ(list.Count(), 0);

    std::unique_ptr<TCella> cell(GetLibraryCell(registered.Get(), "varne", "P1"));
    ASSERT_NE(cell, nullptr);
    const TCella& read = *cell;
    EXPECT_EQ(typeid(read), typeid(TFiltroP));
    EXPECT_FALSE(first->IsOpen());
    EXPECT_EQ(GetLibraryCell(registered.Get(), "Nessuna", "P1"), nullptr);
    EXPECT_EQ(GetLibraryCell(registered.Get(), "Altra", "P1"), nullptr);

    // Taken out from the middle and from the head, the rest stay linked in
    // order, and a library appended after goes at the tail.
    auto chain = [&] {
        std::vector<TLibreria*> v;
        for (TLibreria* l = registered.Get().head; l; l = l->next) v.push_back(l);
        return v;
    };
    std::unique_ptr<TLibreria> taken = registered.Get().Remove(unnamed);
    EXPECT_EQ(taken.get(), unnamed);
    EXPECT_EQ(chain(), (std::vector<TLibreria*>{first, second}));
    EXPECT_EQ(registered.Get().Remove(unnamed), nullptr);  // no longer in the list
    EXPECT_EQ(registered.Get().Remove(nullptr), nullptr);
    registered.Get().Append(std::move(taken));
    EXPECT_EQ(chain(), (std::vector<TLibreria*>{first, second, unnamed}));
    taken = registered.Get().Remove(first);
    EXPECT_EQ(chain(), (std::vector<TLibreria*>{second, unnamed}));
    taken = registered.Get().Remove(unnamed);
    EXPECT_EQ(chain(), (std::vector<TLibreria*>{second}));
    registered.Get().Append(std::move(taken));
    EXPECT_EQ(chain(), (std::vector<TLibreria*>{second, unnamed}));
}

TEST_F(LibraryTest, MemoryListOrder) {
    auto make = [](const std::string& category, const std::string& brand, const std::string& code) {
        auto c = std::make_unique<TFiltroS>(nullptr, 0, 0, 0, 0);
        c->Category = category;
        c->Brand = brand;
        c->Code = code;
        return c;
    };
    TMemLib mem;
    mem.Insert(make("C", "x", "1"));
    mem.Insert(make("A", "x", "2"));
    mem.Insert(make("B", "x", "3"));
    mem.Insert(make("A", "a", "4"));  // same category: the brand decides
    Strings order;
    for (TCella* c = mem.head; c; c = c->NextInList) order.push_back(c->Code);
    EXPECT_EQ(order, (Strings{"4", "2", "3", "1"}));

    TMemLib byCode;
    byCode.InsertSorted(make("A", "", "b"), 3);
    byCode.InsertSorted(make("B", "", "a"), 3);
    byCode.InsertSorted(make("C", "", "B"), 3);  // bytes: capitals first
    byCode.InsertSorted(make("D", "", "B"), 3);  // the same code as the first: after it
    order.clear();
    for (TCella* c = byCode.head; c; c = c->NextInList) order.push_back(c->Category);
    EXPECT_EQ(order, (Strings{"C", "D", "B", "A"}));

    std::unique_ptr<TCella> clone = byCode.Find("a");
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->Category, "B");
    EXPECT_NE(clone.get(), byCode.head->NextInList);

    TFiltroS into(nullptr, 0, 0, 0, 0);
    EXPECT_TRUE(byCode.Find(into, "b"));
    EXPECT_EQ(into.Category, "A");
    TFiltroP other(nullptr, 0, 0, 0, 0);
    EXPECT_FALSE(byCode.Find(other, "b"));  // not the same kind

    // Removing hands the cells back in list order; the others stay linked in theirs.
    std::vector<std::unique_ptr<TCella>> removed =
        mem.RemoveIf([](const TCella& c) { return c.Code == "4" || c.Code == "3"; });
    Strings gone;
    for (const auto& c : removed) gone.push_back(c->Code);
    EXPECT_EQ(gone, (Strings{"4", "3"}));
    EXPECT_EQ(removed.back()->NextInList, nullptr);
    order.clear();
    for (TCella* c = mem.head; c; c = c->NextInList) order.push_back(c->Code);
    EXPECT_EQ(order, (Strings{"2", "1"}));
    // Cells taken in after a removal link up with the ones left.
    mem.Insert(make("B", "a", "5"));
    mem.Append(make("A", "", "6"));
    mem.Insert(make("0", "", "7"));
    order.clear();
    for (TCella* c = mem.head; c; c = c->NextInList) order.push_back(c->Code);
    EXPECT_EQ(order, (Strings{"7", "2", "5", "1", "6"}));
    EXPECT_EQ(mem.RemoveIf([](const TCella&) { return true; }).size(), 5u);
    EXPECT_EQ(mem.head, nullptr);
}

}  // namespace
