// The layers of the program as its folders show them: every product source is
// read, each #include "folder/file.h" is an edge from the including file's
// folder to that folder, and no edge may lie on a cycle between folders.
// Each folder may include only the folders its README names (the table
// below says the same); docs/layers.md draws them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path SourceRoot() { return fs::path(OV_FIXTURES_DIR).parent_path().parent_path(); }

// One #include of a product source.
struct TInclude {
    std::string from;    // the including folder
    std::string to;      // the included file's folder
    std::string where;   // "folder/file.cpp:line"
    std::string header;  // as written
};

// The product folders, bottom to top, and what each may include beside
// itself and the standard library (platform/qt also Qt).
const std::vector<std::pair<std::string, std::set<std::string>>>& Layers() {
    static const std::vector<std::pair<std::string, std::set<std::string>>> layers = {
        {"platform", {}},
        {"platform/qt", {"platform"}},
        {"core", {"platform"}},
        {"cells", {"core", "platform"}},
        {"document", {"cells", "core", "platform"}},
        {"view", {"document", "cells", "core", "platform"}},
        {"dialogs", {"view", "document", "cells", "core", "platform"}},
        {"printing", {"document", "cells", "core", "platform"}},
        {"autodesign", {"dialogs", "document", "cells", "core", "platform"}},
        {"app",
         {"printing", "autodesign", "dialogs", "view", "document", "cells", "core", "platform",
          "platform/qt"}},
    };
    return layers;
}

std::vector<TInclude> ReadIncludes() {
    std::vector<TInclude> found;
    const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    for (const auto& [folder, allowed] : Layers()) {
        const fs::path dir = SourceRoot() / folder;
        if (!fs::is_directory(dir)) continue;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && (ext == ".h" || ext == ".cpp")) files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            std::ifstream in(file);
            std::string line;
            for (int number = 1; std::getline(in, line); ++number) {
                std::smatch m;
                if (!std::regex_search(line, m, include)) continue;
                const std::string header = m[1];
                const size_t slash = header.rfind('/');
                const std::string to = slash == std::string::npos ? folder : header.substr(0, slash);
                found.push_back({folder, to,
                                 folder + "/" + file.filename().string() + ":" + std::to_string(number),
                                 header});
            }
        }
    }
    return found;
}

// The folders that lie on a cycle together (strongly connected components
// with more than one folder), each folder mapped to its component's number.
std::map<std::string, int> CycleComponents(const std::map<std::string, std::set<std::string>>& edges) {
    std::map<std::string, int> index, low, component;
    std::vector<std::string> stack;
    std::set<std::string> onStack;
    int next = 0, components = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& v) {
        index[v] = low[v] = next++;
        stack.push_back(v);
        onStack.insert(v);
        auto out = edges.find(v);
        if (out != edges.end())
            for (const std::string& w : out->second) {
                if (!index.count(w)) {
                    visit(w);
                    low[v] = std::min(low[v], low[w]);
                } else if (onStack.count(w)) {
                    low[v] = std::min(low[v], index[w]);
                }
            }
        if (low[v] != index[v]) return;
        std::vector<std::string> members;
        std::string w;
        do {
            w = stack.back();
            stack.pop_back();
            onStack.erase(w);
            members.push_back(w);
        } while (w != v);
        if (members.size() > 1) {
            for (const std::string& m : members) component[m] = components;
            ++components;
        }
    };
    for (const auto& [from, to] : edges)
        if (!index.count(from)) visit(from);
    return component;
}

TEST(IncludeLayers, TheSourcesAreFound) {
    // A moved source tree would otherwise pass with nothing read.
    const std::vector<TInclude> includes = ReadIncludes();
    std::set<std::string> folders;
    for (const TInclude& i : includes) folders.insert(i.from);
    for (const char* folder :
         {"platform", "core", "cells", "document", "view", "dialogs", "printing", "autodesign", "app"})
        EXPECT_TRUE(folders.count(folder)) << folder;
    EXPECT_GT(includes.size(), 1000u);
}

TEST(IncludeLayers, NoIncludeClosesACycleBetweenFolders) {
    std::map<std::string, std::set<std::string>> edges;
    std::vector<TInclude> across;
    for (const TInclude& i : ReadIncludes()) {
        if (i.from == i.to) continue;
        edges[i.from].insert(i.to);
        across.push_back(i);
    }
    const std::map<std::string, int> cycles = CycleComponents(edges);
    std::ostringstream offending;
    for (const TInclude& i : across) {
        auto a = cycles.find(i.from), b = cycles.find(i.to);
        if (a != cycles.end() && b != cycles.end() && a->second == b->second)
            offending << "\n  " << i.where << ": " << i.header;
    }
    EXPECT_TRUE(offending.str().empty()) << "includes on a cycle between folders:" << offending.str();
}

TEST(IncludeLayers, EachFolderIncludesOnlyTheLayersBelowIt) {
    std::map<std::string, std::set<std::string>> allowed;
    for (const auto& [folder, below] : Layers()) allowed[folder] = below;
    std::ostringstream offending;
    for (const TInclude& i : ReadIncludes()) {
        if (i.from == i.to || allowed[i.from].count(i.to)) continue;
        offending << "\n  " << i.where << ": " << i.header;
    }
    EXPECT_TRUE(offending.str().empty())
        << "includes of a folder the layers do not allow:" << offending.str();
}

TEST(IncludeLayers, TheCycleCheckFindsACycle) {
    // The check itself, on a made-up graph: a -> b -> c -> a and c -> d.
    const std::map<std::string, int> cycles =
        CycleComponents({{"a", {"b"}}, {"b", {"c"}}, {"c", {"a", "d"}}, {"d", {}}});
    ASSERT_EQ(cycles.size(), 3u);
    EXPECT_EQ(cycles.at("a"), cycles.at("c"));
    EXPECT_FALSE(cycles.count("d"));
}

}  // namespace
