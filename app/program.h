#pragma once
// Program start: the program-wide objects, the first-run reset of the
// settings, the command-line project and the forms of the user interface.
// The executable's main and the tests go through the same StartProgram.
#include <cstdint>

#include "platform/sysutils.h"

class TAntenne;
class TAboutBox;
class TDatiCommittente;
class TDatiListino;
class TDatiIntestazione;
class TDatiOpzioni;
class TDatiAutSost;
class TDimensioneSchemi;
class TGestioneLibrerie;
class TApplication;

// The project file named on the command line ("" for none).
extern AnsiString CommandLineFile;

// The forms, made once by StartProgram in this order and owned by the
// application object.
extern TAntenne* Antenne;
extern TAboutBox* AboutBox;
extern TDatiCommittente* DatiCommittente;
extern TDatiListino* DatiListino;
extern TDatiIntestazione* DatiIntestazione;
extern TDatiAutSost* DatiAutSost;
extern TDimensioneSchemi* DimensioneSchemi;
extern TGestioneLibrerie* GestioneLibrerie;

// The folder of the program's own files (default library, logo): the
// settings' "ProgramDir" when set, otherwise beside the executable or its
// installed data folder (core/program_folder.h); ends in "/".
AnsiString ProgramDirectory();

// Builds the settings store, reporter, channel plans, band systems,
// libraries, component memory and options; on the very first run ("Done"
// empty) writes the options of a fresh installation and the display
// switches that start on.
void CreateGlobals();
// Frees what CreateGlobals made; the main form calls it last.
void DestroyGlobals();

// The arguments after the program's own, joined with blanks; one pair of
// surrounding double quotes is taken off.
AnsiString CommandLineFileName(const TApplication& application);

// Everything the entry point does before the event loop: the command-line
// file, the globals, the application title and the forms.
void StartProgram();
