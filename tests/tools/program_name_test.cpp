// The program names itself one way: wherever a text of the program's sources
// names a program (the project files' dialog filter, the messages on files
// and libraries that are not this program's, the window titles), the name is
// the application title's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/reporter.h"

namespace {

namespace fs = std::filesystem;

fs::path SourceRoot() { return fs::path(OV_FIXTURES_DIR).parent_path().parent_path(); }

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(ProgramName, EveryTextThatNamesAProgramNamesThisOne) {
    // "progetto di X", "versione di X", "versione 1 di X" and the like, inside
    // a string literal: X runs to the end of the literal or to a parenthesis,
    // a full stop or a blank followed by a lower-case word.
    const std::regex naming(R"((?:[Pp]rogetto|versione(?: \d+)?|[Ll]ibreria) di ([A-Z][A-Za-z]*(?: [A-Z][A-Za-z]*)*))");
    const std::regex literal(R"("(?:[^"\\\n]|\\.)*")");
    std::vector<std::string> found;
    int named = 0;
    for (const char* folder : {"platform", "core", "cells", "document", "view", "dialogs", "printing",
                               "autodesign", "app", "packaging"}) {
        for (const auto& entry : fs::recursive_directory_iterator(SourceRoot() / folder)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h" && ext != ".desktop" && ext != ".xml") continue;
            const std::string text = Read(entry.path());
            for (auto l = std::sregex_iterator(text.begin(), text.end(), literal); l != std::sregex_iterator(); ++l) {
                const std::string s = l->str();
                for (auto m = std::sregex_iterator(s.begin(), s.end(), naming); m != std::sregex_iterator();
                     ++m) {
                    ++named;
                    if ((*m)[1].str() != ApplicationTitle)
                        found.push_back(fs::relative(entry.path(), SourceRoot()).string() + ": " + s);
                }
            }
        }
    }
    // The dialog filter and the file and library messages are among them.
    EXPECT_GE(named, 5);
    EXPECT_TRUE(found.empty()) << [&] {
        std::string all;
        for (const std::string& f : found) all += f + "\n";
        return all;
    }();
}

}  // namespace
