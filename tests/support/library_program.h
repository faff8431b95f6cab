#pragma once
// The whole program started with the default library and default choice in
// its folder, where the build puts them beside the program. Header only.
#include <filesystem>

#include "platform/application.h"
#include "support/default_library_folder.h"
#include "support/program_fixture.h"

// "Varne.alb" and "Default.sel" copied into the program's folder (the
// program-wide objects of a started program make them).
inline void CopyDefaultLibrary(ScopedProgram& program) {
    for (const char* name : {"Varne.alb", "Default.sel"})
        std::filesystem::copy_file(DefaultLibraryFolder() + "/" + name, program.Dir().File(name),
                                   std::filesystem::copy_options::overwrite_existing);
}

// The splash ended; the wizard it leads to fills its pickers.
inline void EndSplash() { Application->Script().AdvanceClock(3000); }

// The program started, the library in its folder, past the splash.
inline TAntenne& StartWithDefaultLibrary(ScopedProgram& program) {
    TAntenne& form = program.Start();
    CopyDefaultLibrary(program);
    EndSplash();
    return form;
}
