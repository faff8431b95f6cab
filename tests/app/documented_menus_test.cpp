// The menu paths that the README and the quick guide name ("Visualizza >
// Opzioni") against the menus the main window builds: a path whose menu or
// command does not exist there, in that place, fails, so that a reader who
// follows the text finds what it names.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "platform/menus.h"
#include "support/program_fixture.h"

namespace {

std::string SourceFile(const std::string& name) {
    std::ifstream in(std::string(OV_FIXTURES_DIR) + "/../../" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A caption as the reader sees it: without the "&" of its access key.
std::string Shown(const AnsiString& caption) {
    std::string text;
    for (char c : caption)
        if (c != '&') text += c;
    return text;
}

TMenuItem* Child(TMenuItem* menu, const std::string& caption) {
    for (int i = 0; i < menu->Count(); ++i)
        if (Shown(menu->Items[i]->Caption) == caption) return menu->Items[i];
    return nullptr;
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

std::string Joined(const std::vector<std::string>& words, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < to; ++i) text += (i > from ? " " : "") + words[i];
    return text;
}

struct TMenuPath {
    std::string text;       // as written, for the failure
    std::string resolved;   // the items found, "" when the path does not exist
};

// Every "A > B" (and "A > B > C") of the text. Prose may stand before the
// first menu and after the last command, so the first menu is the longest
// run of words before the first " > " that names a menu of the bar, and the
// last command the longest run of words after the last one that names an
// item of the menu reached; a path breaks at markup and punctuation, not at
// the end of a line.
std::vector<TMenuPath> MenuPaths(const std::string& text, TMenuItem* bar) {
    std::vector<TMenuPath> paths;
    std::string chunk;
    auto flush = [&] {
        std::vector<std::string> parts;
        for (size_t from = 0;;) {
            const size_t at = chunk.find(" > ", from);
            parts.push_back(chunk.substr(from, at == std::string::npos ? std::string::npos : at - from));
            if (at == std::string::npos) break;
            from = at + 3;
        }
        chunk.clear();
        if (parts.size() < 2) return;
        TMenuPath path;
        for (size_t i = 0; i < parts.size(); ++i) path.text += (i ? " > " : "") + parts[i];
        const std::vector<std::string> first = Words(parts.front());
        TMenuItem* menu = nullptr;
        for (size_t start = 0; start < first.size() && !menu; ++start)
            if ((menu = Child(bar, Joined(first, start, first.size())))) path.resolved = Shown(menu->Caption);
        for (size_t i = 1; menu && i < parts.size(); ++i) {
            const std::vector<std::string> words = Words(parts[i]);
            TMenuItem* item = nullptr;
            if (i + 1 < parts.size()) {
                item = Child(menu, Joined(words, 0, words.size()));
            } else {
                for (size_t end = words.size(); end > 0 && !item; --end) item = Child(menu, Joined(words, 0, end));
            }
            menu = item;
            if (item) path.resolved += " > " + Shown(item->Caption);
        }
        if (!menu) path.resolved.clear();
        paths.push_back(path);
    };
    for (char c : text) {
        if (std::string("*\"()`,;:.[]").find(c) != std::string::npos) {
            flush();
            continue;
        }
        // A path may be wrapped across lines of the text.
        chunk += c == '\n' ? ' ' : c;
    }
    flush();
    return paths;
}

TEST(DocumentedMenus, EveryMenuPathOfTheReadmeAndTheGuideIsTheProgramsOwn) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TMenuItem* bar = f.MainMenu->Items;
    for (const char* file : {"README.md", "docs/guida-rapida.md"}) {
        const std::string text = SourceFile(file);
        ASSERT_FALSE(text.empty()) << file;
        const std::vector<TMenuPath> paths = MenuPaths(text, bar);
        EXPECT_FALSE(paths.empty()) << file << " names no menu path";
        for (const TMenuPath& p : paths)
            EXPECT_FALSE(p.resolved.empty()) << file << ": \"" << p.text << "\" is no menu path of the program";
    }
}

// The reading itself: paths found in prose and markup, and a wrong menu, a
// command in another menu or one that does not exist found wrong.
TEST(DocumentedMenus, PathsAreReadOutOfTheirProseAndWrongOnesFound) {
    ScopedProgram program;
    TAntenne& f = program.Start();
    TMenuItem* bar = f.MainMenu->Items;
    const struct {
        const char* text;
        std::vector<std::string> resolved;  // "" for a path that does not exist
    } cases[] = {
        {"impostati in **Visualizza > Opzioni** (segnale minimo", {"Visualizza > Opzioni"}},
        {"Dal menu Stampa > Selezione raccoglie", {"Stampa > Selezione"}},
        {"(Visualizza > Opzioni), poi Strumenti > Determinazione automatica sostegno lo dimensiona",
         {"Visualizza > Opzioni", "Strumenti > Determinazione automatica sostegno"}},
        {"Modifica > Incolla ruotato > 90° e basta", {"Modifica > Incolla ruotato > 90°"}},
        {"con **Strumenti > Determinazione automatica\n  sostegno** lo", {"Strumenti > Determinazione automatica sostegno"}},
        {"con **Calcoli > Determinazione automatica\n  sostegno** lo", {""}},
        {"**Strumenti > Opzioni**", {""}},
        {"**Calcoli > Determinazione automatica componenti**", {""}},
        {"**Trova > Componente per nome**", {""}},
        {"Modifica > Ruota > 90°", {""}},
        {"Con \"Avanti >>\" si passa oltre; con \"<< Indietro\" si torna", {}},
    };
    for (const auto& c : cases) {
        const std::vector<TMenuPath> paths = MenuPaths(c.text, bar);
        std::vector<std::string> resolved;
        for (const TMenuPath& p : paths) resolved.push_back(p.resolved);
        EXPECT_EQ(resolved, c.resolved) << c.text;
    }
}

}  // namespace
