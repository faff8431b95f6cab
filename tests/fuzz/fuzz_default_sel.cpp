// "Default.sel": the whole input read as the file into a wizard whose tree
// holds the default library. The reading never throws, and every cable
// picker text it sets is made of bytes the input holds.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "autodesign/wizard.h"
#include "core/control_builders.h"
#include "core/globals.h"
#include "core/libraries.h"
#include "fuzz_support.h"
#include "platform/codec.h"
#include "tools/default_library/default_library.h"

namespace {

// The folder of the default library, removed when the fuzzer ends.
struct TFolder {
    std::string path;
    ~TFolder() {
        if (!path.empty()) std::filesystem::remove_all(path);
    }
};

TAutoProgetto* Wizard() {
    static TAutoProgetto* wizard = nullptr;
    static TFolder made;
    if (wizard) return wizard;
    FuzzGlobals();
    char folder[] = "/tmp/fuzz_default_sel_XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    made.path = folder;
    AnsiString failure;
    if (!WriteDefaultLibrary(folder, failure)) std::abort();
    Librerie = new TLibrerie;
    auto library = std::make_unique<TLibreria>();
    library->fileName = std::string(folder) + "/" + DefaultLibraryFile;
    Librerie->Append(std::move(library));
    wizard = new TAutoProgetto;
    FillLibraryTree(wizard->ComponentTree, SelectionTreeFlags, OfferedOnPalettes);
    wizard->ComponentTree->AlphaSort();
    if (wizard->ComponentTree->Items->Count() < 100) std::abort();
    return wizard;
}

}  // namespace

// The default library is written and read into the tree before the first
// input: under a busy machine that takes longer than the time an input may
// run, which would count as a hang of the reader.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Wizard();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TAutoProgetto* wizard = Wizard();
    for (TComboBox* picker : wizard->CablePicker) picker->Text = "";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TMemoryStream s(bytes);
    try {
        wizard->ReadDefaultSel(s);
    } catch (...) {
        std::abort();
    }
    for (TComboBox* picker : wizard->CablePicker) {
        const std::string onFile = Utf8ToWin1252(picker->Text);
        if (onFile.size() < 255 && bytes.find(onFile) == std::string::npos) std::abort();
    }
    TStringList paths;
    wizard->ComponentTree->GetCheckedPaths(paths);
    FuzzForgetMessages();
    return 0;
}
