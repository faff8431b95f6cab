#pragma once
// The whole program started headless, as its entry point starts it: the
// settings file of the test's own (ORDIVEX_VARNE_SETTINGS), "ProgramDir"
// naming the test's folder, the program-wide objects and the forms made by
// StartProgram. When it goes, the forms are freed (the main form frees the
// program-wide objects) and the globals and settings file of before come back.
#include <string>
#include <vector>

#include "platform/sysutils.h"
#include "support/temp_dir.h"

class TAntenne;
class TProgetto;

class ScopedProgram {
public:
    // With defaultLibrary, an empty "Varne.alb" stands in the program folder.
    explicit ScopedProgram(bool defaultLibrary = true);
    ~ScopedProgram();
    ScopedProgram(const ScopedProgram&) = delete;
    ScopedProgram& operator=(const ScopedProgram&) = delete;

    // A settings value stored before the start.
    void Store(const AnsiString& name, const AnsiString& value);
    // A settings value as the file holds it now.
    AnsiString Stored(const AnsiString& name) const;
    // StartProgram with these arguments, then the main form shown. The
    // wizard the first activation offers for an untitled project comes only
    // with startWizard (the splash must end first, TAntenne::TimerTimer).
    TAntenne& Start(const std::vector<std::string>& arguments = {}, bool startWizard = false);
    const TempDir& Dir() const { return dir_; }

private:
    TempDir dir_;
    std::string settingsPath_;
    bool hadSettingsEnv_ = false;
    std::string savedSettingsEnv_;
    bool started_ = false;
    struct Saved;
    Saved* saved_;
};

// A line of two taps with their outlets under the network grid's terminal,
// closed by a termination (unless closed is false), every cell described
// unless described is false; the grid marked modified.
void DrawTwoTaps(TProgetto& project, bool closed = true, bool described = true);

// "Avanti >>" (or "<< Indietro") clicked and the wizard it opens confirmed
// as it stands: "Avanti >>" up to "Fine", nothing to design. The drawn
// project then moves on to its calculations (or back to drawing).
void ConfirmNextStep(TAntenne& form);
