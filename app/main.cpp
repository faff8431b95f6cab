// The program: checks for a screen, attaches the Qt back end, builds the
// program-wide objects and the forms, and runs until the main window closes.
#include <cstdio>

#include "app/program.h"
#include "platform/application.h"
#include "platform/qt/display_check.h"
#include "platform/qt/qt_backend.h"

int main(int argc, char** argv) {
    if (!DisplayAvailable()) {
        std::fputs(
            "Ordivex Varne: nessuno schermo grafico disponibile, impossibile aprire la finestra del "
            "programma.\n",
            stderr);
        return 1;
    }
    AttachQtBackend(argc, argv);
    // Qt has taken its own options out of the arguments.
    Application->SetCommandLine(argc, argv);
    StartProgram();
    Application->Run();
    Application->DestroyForms();
    DetachQtBackend();
    return 0;
}
