// The layers of the program as its folders show them: every product source is
// read, each #include "folder/file.h" is an edge from the including file's
// folder to that folder, and no edge may lie on a cycle between folders.
// Each folder may include only the folders its README names (the table
// below says the same); docs/layers.md draws them. Beside the includes, no
// folder's code names a class, a free function or a program-wide variable
// that only a folder it may not include declares: a forward declaration of
// such a class, or an out-of-line definition of its members, reaches upward
// as surely as an include does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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
        // The generator of the default library, run by the build.
        {"tools/default_library", {"cells", "core", "platform"}},
    };
    return layers;
}

// The headers and sources of a product folder, in name order.
std::vector<fs::path> SourceFiles(const std::string& folder) {
    std::vector<fs::path> files;
    const fs::path dir = SourceRoot() / folder;
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string ext = entry.path().extension().string();
        if (entry.is_regular_file() && (ext == ".h" || ext == ".cpp")) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<TInclude> ReadIncludes() {
    std::vector<TInclude> found;
    const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
    for (const auto& [folder, allowed] : Layers()) {
        for (const fs::path& file : SourceFiles(folder)) {
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

// ---- The names each folder declares and the names its code uses ----

// A source as the compiler reads its names: comments, string and character
// literals and preprocessor lines blanked, line breaks kept.
std::string CodeOf(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    const size_t n = text.size();
    bool lineStart = true;
    while (i < n) {
        const char c = text[i];
        if (c == '\n') {
            out += '\n';
            lineStart = true;
            ++i;
            continue;
        }
        if (lineStart && (c == ' ' || c == '\t')) {
            out += c;
            ++i;
            continue;
        }
        if (lineStart && c == '#') {  // a directive, with its continued lines
            while (i < n && text[i] != '\n') {
                if (text[i] == '\\' && i + 1 < n && text[i + 1] == '\n') {
                    out += '\n';
                    i += 2;
                    continue;
                }
                ++i;
            }
            continue;
        }
        lineStart = false;
        if (c == '/' && i + 1 < n && text[i + 1] == '/') {
            while (i < n && text[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < n && text[i + 1] == '*') {
            i += 2;
            while (i + 1 < n && !(text[i] == '*' && text[i + 1] == '/')) {
                if (text[i] == '\n') out += '\n';
                ++i;
            }
            i += 2;
            continue;
        }
        if (c == 'R' && i + 1 < n && text[i + 1] == '"') {  // a raw string: R"tag( ... )tag"
            const size_t open = text.find('(', i + 2);
            if (open != std::string::npos) {
                const std::string close = ")" + text.substr(i + 2, open - i - 2) + "\"";
                const size_t end = text.find(close, open);
                const size_t stop = end == std::string::npos ? n : end + close.size();
                for (size_t k = i; k < stop; ++k)
                    if (text[k] == '\n') out += '\n';
                out += "\"\"";
                i = stop;
                continue;
            }
        }
        if (c == '"' || (c == '\'' && !(i > 0 && std::isxdigit(static_cast<unsigned char>(text[i - 1]))))) {
            // A literal (a quote after a digit is a digit separator).
            ++i;
            while (i < n && text[i] != c && text[i] != '\n') i += text[i] == '\\' ? 2 : 1;
            ++i;
            out += c;
            out += c;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

struct TSource {
    std::string folder;
    std::string where;  // "folder/file"
    bool header;
    std::string code;
};

const std::vector<TSource>& Sources() {
    static const std::vector<TSource> sources = [] {
        std::vector<TSource> found;
        for (const auto& [folder, allowed] : Layers()) {
            for (const fs::path& file : SourceFiles(folder)) {
                std::ifstream in(file);
                std::stringstream text;
                text << in.rdbuf();
                found.push_back({folder, folder + "/" + file.filename().string(),
                                 file.extension() == ".h", CodeOf(text.str())});
            }
        }
        return found;
    }();
    return sources;
}

bool IsKeyword(const std::string& word) {
    static const std::set<std::string> keywords = {
        "alignas", "alignof", "auto", "bool", "break", "case", "catch", "char", "class", "const",
        "consteval", "constexpr", "constinit", "continue", "decltype", "default", "delete", "do",
        "double", "else", "enum", "explicit", "extern", "false", "final", "float", "for", "friend",
        "goto", "if", "inline", "int", "long", "mutable", "namespace", "new", "noexcept", "nullptr",
        "operator", "override", "private", "protected", "public", "return", "short", "signed",
        "sizeof", "static", "static_assert", "static_cast", "struct", "switch", "template", "this",
        "throw", "true", "try", "typedef", "typename", "union", "unsigned", "using", "virtual",
        "void", "volatile", "while", "co_return", "dynamic_cast", "reinterpret_cast", "const_cast"};
    return keywords.count(word) > 0;
}

// What a folder declares: the classes, structures, unions, enumerations and
// aliases it defines, the free functions and the program-wide variables and
// constants of its namespace scope, and every name its declarations put
// before a parameter list (the members a class of it has).
struct TDeclared {
    std::set<std::string> types, globals, members;
    bool Has(const std::string& name) const {
        return types.count(name) || globals.count(name) || members.count(name);
    }
};

void Declarations(const std::string& code, TDeclared& into) {
    static const std::regex type(
        R"(\b(?:class|struct|union|enum(?:\s+class|\s+struct)?)\s+(\w+)\s*(?:final\s*)?(?::[^;{()]*)?\{)");
    static const std::regex alias(R"(\busing\s+(\w+)\s*=)");
    // Unscoped enumerations of the namespace scope (an enum class keeps its
    // enumerators to itself).
    static const std::regex enumerator(R"(\nenum\b(?!\s+(?:class|struct)\b)[^;{]*\{([^}]*)\})");
    // Data members and variables declared on a line of their own.
    static const std::regex data(
        R"(\n[ \t]+(?:[\w:<>,]+[ \t\*&]+)+(\w+)[ \t]*(?:\[[^\]\n]*\][ \t]*)*(?:=[^;\n]*|\{[^}\n]*\})?;)");
    static const std::regex member(R"(([\w>\*&])\s+[\*&]*~?(\w+)\s*\()");
    for (std::sregex_iterator m(code.begin(), code.end(), type), end; m != end; ++m) into.types.insert((*m)[1]);
    for (std::sregex_iterator m(code.begin(), code.end(), alias), end; m != end; ++m) into.types.insert((*m)[1]);
    const std::string margined = "\n" + code;
    for (std::sregex_iterator m(margined.begin(), margined.end(), data), end; m != end; ++m) into.members.insert((*m)[1]);
    // Enumerators are names of the enumeration's folder.
    for (std::sregex_iterator m(margined.begin(), margined.end(), enumerator), end; m != end; ++m) {
        const std::string list = (*m)[1];
        static const std::regex name(R"((?:^|,)\s*(\w+))");
        for (std::sregex_iterator e(list.begin(), list.end(), name), stop; e != stop; ++e)
            into.globals.insert((*e)[1]);
    }
    for (std::sregex_iterator m(code.begin(), code.end(), member), end; m != end; ++m) {
        // The word before the name is its type, unless it is a keyword that
        // starts an expression (return f(), new T(), ...).
        const size_t at = static_cast<size_t>(m->position(1));
        size_t from = at + 1;
        while (from > 0 && (std::isalnum(static_cast<unsigned char>(code[from - 1])) || code[from - 1] == '_'))
            --from;
        const std::string before = code.substr(from, at + 1 - from);
        if (before == "return" || before == "new" || before == "delete" || before == "else" ||
            before == "case" || before == "throw" || before == "co_return" || before == "sizeof")
            continue;
        into.members.insert((*m)[2]);
    }
    // Namespace scope: the lines that start at the margin.
    std::istringstream lines(code);
    std::string line;
    static const std::regex function(R"(^[A-Za-z_][\w:<>,\*&\s]*?[\s\*&]([A-Za-z_]\w*)\s*\()");
    static const std::regex variable(R"(^(?:extern\s+|inline\s+|static\s+)?(?:constexpr\s+|const\s+)[^;=(]*?[\s\*&]([A-Za-z_]\w*)\s*(?:\[[^\]]*\]\s*)*[=;{])");
    static const std::regex externVariable(R"(^extern\s+[^;=(]*?[\s\*&]([A-Za-z_]\w*)\s*(?:\[[^\]]*\]\s*)*;)");
    while (std::getline(lines, line)) {
        if (line.empty() || !(std::isalpha(static_cast<unsigned char>(line[0])) || line[0] == '_')) continue;
        std::smatch m;
        const std::string first = line.substr(0, line.find_first_of(" \t<(:;{"));
        if (first == "class" || first == "struct" || first == "enum" || first == "union" ||
            first == "namespace" || first == "using" || first == "typedef" || first == "template" ||
            first == "friend" || first == "return")
            continue;
        if (std::regex_search(line, m, variable) || std::regex_search(line, m, externVariable)) {
            if (!IsKeyword(m[1])) into.globals.insert(m[1]);
            continue;
        }
        if (std::regex_search(line, m, function)) {
            const size_t at = static_cast<size_t>(m.position(1));
            if (at >= 2 && line.compare(at - 2, 2, "::") == 0) continue;  // a member defined out of line
            if (line.substr(0, at).find('=') != std::string::npos) continue;
            if (!IsKeyword(m[1])) into.globals.insert(m[1]);
        }
    }
}

// The folders a folder may not reach: every folder of the table that is
// neither it nor one it may include.
std::set<std::string> Unreachable(const std::string& folder) {
    std::set<std::string> out;
    std::set<std::string> allowed;
    for (const auto& [f, below] : Layers())
        if (f == folder) allowed = below;
    for (const auto& [f, below] : Layers())
        if (f != folder && !allowed.count(f)) out.insert(f);
    return out;
}

// One use, in a folder's code, of a name only a folder it may not reach declares.
struct TReach {
    std::string where;  // "folder/file:line"
    std::string name;
    std::string owner;  // the folder that declares it
};

std::vector<TReach> UpwardNames(const std::vector<TSource>& sources) {
    std::map<std::string, TDeclared> publicNames;  // per folder, from its headers
    std::map<std::string, TDeclared> allNames;     // per folder, from every file
    for (const TSource& s : sources) {
        if (s.header) Declarations(s.code, publicNames[s.folder]);
        Declarations(s.code, allNames[s.folder]);
    }
    std::vector<TReach> found;
    static const std::regex word(R"([A-Za-z_]\w*)");
    for (const auto& layer : Layers()) {
        // Named, not bound: a lambda may not capture a structured binding on every compiler.
        const std::string& folder = layer.first;
        const std::set<std::string>& allowed = layer.second;
        // The names this folder may use: its own and those of the folders it includes.
        auto known = [&](const std::string& name) {
            if (allNames[folder].Has(name)) return true;
            for (const std::string& below : allowed)
                if (allNames[below].Has(name)) return true;
            return false;
        };
        std::map<std::string, std::string> upward;  // name -> a folder out of reach that declares it
        for (const std::string& other : Unreachable(folder)) {
            const TDeclared& d = publicNames[other];
            for (const auto* names : {&d.types, &d.globals})
                for (const std::string& name : *names)
                    if (!known(name) && !upward.count(name)) upward[name] = other;
        }
        for (const TSource& s : sources) {
            if (s.folder != folder) continue;
            int line = 1;
            size_t counted = 0;
            for (std::sregex_iterator m(s.code.begin(), s.code.end(), word), end; m != end; ++m) {
                auto it = upward.find(m->str());
                if (it == upward.end()) continue;
                const size_t at = static_cast<size_t>(m->position());
                line += static_cast<int>(std::count(s.code.begin() + static_cast<std::ptrdiff_t>(counted),
                                                    s.code.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
                counted = at;
                found.push_back({s.where + ":" + std::to_string(line), it->first, it->second});
            }
        }
    }
    return found;
}

TEST(IncludeLayers, TheSourcesAreFound) {
    // A moved source tree would otherwise pass with nothing read.
    const std::vector<TInclude> includes = ReadIncludes();
    std::set<std::string> folders;
    for (const TInclude& i : includes) folders.insert(i.from);
    for (const char* folder :
         {"platform", "core", "cells", "document", "view", "dialogs", "printing", "autodesign", "app",
          "tools/default_library"})
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

TEST(IncludeLayers, NoFolderNamesWhatOnlyAFolderOutOfItsReachDeclares) {
    std::ostringstream offending;
    for (const TReach& r : UpwardNames(Sources()))
        offending << "\n  " << r.where << ": " << r.name << " (" << r.owner << ")";
    EXPECT_TRUE(offending.str().empty())
        << "names declared only in a folder the layers do not allow:" << offending.str();
}

TEST(IncludeLayers, TheNameCheckFindsReachesThatIncludesDoNotShow) {
    // The check itself, on made-up sources of the real folders: a lower folder
    // that declares an upper class ahead, defines a member of one out of
    // line, calls an upper free function or reads an upper variable, beside
    // one that only uses its own names and a name both folders declare.
    const std::vector<TSource> sources = {
        {"app", "app/window.h", true,
         CodeOf("class TShellWindow : public TForm {\npublic:\n    void Show();\n};\n"
                "void LockShellMenus(bool locked);\nextern int ShellSteps;\n"
                "struct TShared {};\n")},
        {"core", "core/base.h", true, CodeOf("struct TShared {};\nvoid Helper();\n")},
        {"document", "document/pages.h", true,
         CodeOf("class TShellWindow;\n// TShellWindow in a comment is no use\nvoid Pages();\n")},
        {"document", "document/pages.cpp", false,
         CodeOf("#include \"app/window.h\"\nvoid TShellWindow::Show() {}\n"
                "void Pages() {\n    LockShellMenus(true);\n    const char* t = \"ShellSteps\";\n"
                "    ShellSteps = 2;\n    TShared shared;\n    Helper();\n}\n")},
    };
    std::vector<std::string> found;
    for (const TReach& r : UpwardNames(sources)) found.push_back(r.where + " " + r.name + " " + r.owner);
    EXPECT_EQ(found, (std::vector<std::string>{"document/pages.h:1 TShellWindow app",
                                               "document/pages.cpp:2 TShellWindow app",
                                               "document/pages.cpp:4 LockShellMenus app",
                                               "document/pages.cpp:6 ShellSteps app"}));
}

TEST(IncludeLayers, TheNameCheckReadsCodeOnly) {
    const struct {
        const char* text;
        const char* code;
    } cases[] = {
        {"a // b\nc", "a \nc"},
        {"a /* b\nc */ d", "a \n d"},
        {"f(\"x // y\", 'z')", "f(\"\", '')"},
        {"#include \"a/b.h\"\nx", "\nx"},
        {"#define A \\\n  B\nx", "\n\nx"},
        {"int n = 1'000;", "int n = 1'000;"},
        {"s = R\"(a \" b)\";", "s = \"\";"},
    };
    for (const auto& c : cases) EXPECT_EQ(CodeOf(c.text), c.code) << c.text;
}

}  // namespace
