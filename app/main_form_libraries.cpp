// The main window's library commands: a new, empty library file, and the
// library manager.
#include "app/main_form.h"
#include "app/program.h"
#include "core/globals.h"
#include "core/ini.h"
#include "dialogs/library_manager.h"
#include "platform/dialogs.h"

void TAntenne::NuovalibreriaClick(TObject*) {
    TSaveDialog dialog(this);
    dialog.Title = "Apertura di una nuova libreria";
    dialog.Filter = "Libreria (*.alb)|*.alb";
    dialog.DefaultExt = "alb";
    if (Ini) dialog.InitialDir = Ini->String("DirLibrerie");
    if (!dialog.Execute()) return;
    // The article trees list the new library at once.
    if (CreateNewLibrary(dialog.FileName)) FillLibraryTrees();
}

void TAntenne::GestioneLibrerie1Click(TObject*) {
    if (GestioneLibrerie) GestioneLibrerie->ShowModal();
}
