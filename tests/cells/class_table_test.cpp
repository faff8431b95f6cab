// The class table: every named type code has exactly one class row, and the
// factory and the prototypes say what the rows say.
#include "cells/class_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cells/cell.h"
#include "cells/factory.h"
#include "cells/prototypes.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

// The type codes core/cell_codes.h names, by name, read from the header
// itself so that a code added there without a row is found.
std::map<std::string, int32_t> NamedTypeCodes() {
    std::ifstream in(std::string(OV_FIXTURES_DIR) + "/../../core/cell_codes.h");
    std::stringstream text;
    text << in.rdbuf();
    const std::string header = text.str();
    // Only the first enum holds the type codes; the kinds follow it.
    const size_t end = header.find("};");
    const std::string codes = header.substr(0, end);
    std::map<std::string, int32_t> named;
    const std::regex entry(R"((Code[A-Za-z0-9]+)\s*=\s*(-?[0-9]+))");
    for (auto it = std::sregex_iterator(codes.begin(), codes.end(), entry); it != std::sregex_iterator(); ++it)
        named[(*it)[1].str()] = std::stoi((*it)[2].str());
    return named;
}

TEST(ClassTable, EveryNamedCodeHasExactlyOneRowAndEveryRowCodeIsNamed) {
    const std::map<std::string, int32_t> named = NamedTypeCodes();
    ASSERT_GT(named.size(), 50u);  // the header was found and read
    std::set<int32_t> namedCodes;
    for (const auto& [name, code] : named) {
        if (code < 0) continue;  // CodeNone: no class
        namedCodes.insert(code);
        int rows = 0;
        for (const TCellClassRow& row : CellClassRows())
            for (const TCellCode& c : row.Codes) rows += c.Code == code;
        EXPECT_EQ(rows, 1) << name << " = " << code;
    }
    std::set<std::string> classes;
    for (const TCellClassRow& row : CellClassRows()) {
        EXPECT_TRUE(classes.insert(row.Name).second) << row.Name << " has two rows";
        EXPECT_NE(row.Make, nullptr) << row.Name;
        EXPECT_FALSE(row.Codes.empty()) << row.Name;
        for (const TCellCode& c : row.Codes) {
            EXPECT_TRUE(namedCodes.count(c.Code)) << row.Name << " code " << c.Code << " has no name";
            // The stored code is one of the class's own codes.
            EXPECT_EQ(ClassRowOfCode(c.StoredCode), &row) << row.Name << " stores " << c.StoredCode;
        }
    }
}

// Every row says where the printed material list puts its class and which of
// its codes the palettes and the designer's tree offer: a class added without
// them would be priced in the estimate yet missing from the printed list, or
// never offered from the libraries, with no other test failing.
TEST(ClassTable, EveryRowSaysItsListFamilyAndItsPaletteOffer) {
    for (const TCellClassRow& row : CellClassRows()) {
        EXPECT_NE(row.Listed, TListFamily::Unset) << row.Name << " has no place in the material list";
        EXPECT_TRUE(row.Offered.Stated) << row.Name << " does not say what the palettes offer of it";
        for (const TCellCode& c : row.Codes) EXPECT_EQ(ListFamilyOfCode(c.Code), row.Listed) << c.Code;
        for (int32_t code : row.Offered.Codes) {
            EXPECT_EQ(ClassRowOfCode(code), &row) << row.Name << " offers " << code << ", not its own";
            EXPECT_TRUE(OfferedOnPalettes(code)) << code;
        }
    }
    EXPECT_FALSE(OfferedOnPalettes(CodeElementoListino));
    EXPECT_EQ(ListFamilyOfCode(CodeNone), TListFamily::NotListed);
}

// The factory builds each code with its row's maker and stores its row's
// code; a cell made for a code belongs to the same row again.
TEST(ClassTable, TheFactoryFollowsTheRows) {
    size_t codes = 0;
    for (const TCellClassRow& row : CellClassRows()) {
        EXPECT_EQ(CellClassMaker(row.Name), row.Make) << row.Name;
        for (const TCellCode& c : row.Codes) {
            ++codes;
            const TCellType* type = FindCellType(c.Code);
            ASSERT_NE(type, nullptr) << c.Code;
            EXPECT_STREQ(type->ClassName, row.Name) << c.Code;
            EXPECT_EQ(type->Rule, c.Rule) << c.Code;
            EXPECT_EQ(type->StoredCode, c.StoredCode) << c.Code;
            std::unique_ptr<TCella> cell = NewCella(nullptr, c.Code, 0, 0, 1, 1, 1);
            ASSERT_NE(cell, nullptr) << c.Code;
            EXPECT_EQ(ClassRowOfCode(cell->TypeCode), &row) << c.Code;
        }
    }
    EXPECT_EQ(CellTypes().size(), codes);
}

class ClassTablePrototypes : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
};

// Every prototype kind of a row is kept, at both ends of its ranges, and the
// prototype is a cell of the row's class with the kind's code.
TEST_F(ClassTablePrototypes, ThePrototypesFollowTheRows) {
    std::set<int32_t> kinds;
    for (const TCellClassRow& row : CellClassRows())
        for (const TPrototypeFamily& f : row.Prototypes) {
            EXPECT_TRUE(kinds.insert(f.Code).second) << f.Code << " has two families";
            EXPECT_EQ(ClassRowOfCode(f.Code), &row) << row.Name << " keeps kind " << f.Code;
            for (const TPrototypeKey& key : {TPrototypeKey{f.Code, f.AMin, f.BMin, 0},
                                             TPrototypeKey{f.Code, f.AMax, f.BMax, f.Variants - 1}}) {
                SCOPED_TRACE(std::string(row.Name) + " " + std::to_string(key.A) + "/" + std::to_string(key.B));
                EXPECT_TRUE(TUltimiComponenti::HasKind(key));
                TCella* prototype = FindPrototype(key);
                ASSERT_NE(prototype, nullptr);
                EXPECT_EQ(prototype->TypeCode, f.Code);
            }
            EXPECT_FALSE(TUltimiComponenti::HasKind({f.Code, f.AMax + 1, f.BMin, 0})) << row.Name;
            EXPECT_FALSE(TUltimiComponenti::HasKind({f.Code, f.AMin, f.BMin, f.Variants})) << row.Name;
        }
}

}  // namespace
