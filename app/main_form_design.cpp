// TAntenne and the automatic designer: the engine and its wizard, and the
// commands that run a design.
#include <algorithm>
#include <iterator>

#include "app/main_form.h"
#include "autodesign/engine.h"
#include "autodesign/wizard.h"
#include "cells/cell.h"
#include "cells/pass_flags.h"
#include "core/band_systems.h"
#include "core/globals.h"
#include "core/levels.h"
#include "core/libraries.h"
#include "core/options.h"
#include "core/reporter.h"
#include "document/design_settings.h"
#include "document/grid.h"
#include "document/project.h"
#include "document/project_files.h"
#include "platform/application.h"
#include "platform/classes.h"
#include "view/draw_window.h"

namespace {

// Networks of more cells than this show the progress panel while models are chosen.
constexpr int ProgressCellCount = 20;

// What a design run asks of the main window, answered by it.
class TMainDesignWindow : public TDesignWindow {
public:
    explicit TMainDesignWindow(TAntenne& form) : form_(form) {}
    TProgetto* CurrentProject() override { return form_.CurrentProject; }
    // The drawing emptied for a design shows again when the design (or its
    // refusal) shows the project: a message of the run never stands over a
    // drawing half the old one, half repainted empty.
    void ResetProject(bool withAnchors) override {
        form_.ResetDesignProject(withAnchors);
        form_.HideAllPages();
    }
    void ShowProject(TProgetto* project) override { form_.ShowProject(project); }
    void AfterLoad() override { form_.AfterLoad(); }
    void ShowProgress(int32_t maximum) override {
        form_.ProgressBar->Max = maximum;
        form_.ProgressBar->Position = 0;
        form_.ProgressPanel->Visible = true;
    }
    void HideProgress() override { form_.ProgressPanel->Visible = false; }
    TProgressBar* ProgressBar() override {
        return form_.ProgressPanel->Visible ? form_.ProgressBar : nullptr;
    }
    void ProcessMessages() override {
        if (Application) Application->ProcessMessages();
    }

private:
    TAntenne& form_;
};

// The design settings as a project file holds them, taken before the wizard
// edits them in place: its choices write them at once and "Nuovo" resets
// them, but a wizard closed without a design leaves the drawn project, whose
// settings they must stay (the wizard shown again shows them, a save writes
// them).
class TKeptDesignSettings {
public:
    TKeptDesignSettings() { DesignSettings().SaveBody(bytes_); }
    // Settings the wizard left as they were stay, and so does the wizard's
    // knowledge that its controls show them; others are read back, and the
    // wizard reloads its controls from them when it shows next.
    void PutBack() {
        TOpzProgetto& settings = DesignSettings();
        TMemoryStream now;
        settings.SaveBody(now);
        if (now.Bytes() == bytes_.Bytes()) return;
        TMemoryStream bytes(bytes_.Bytes());
        settings.Load(bytes, ProjectVersionCurrent);
    }

private:
    TMemoryStream bytes_;
};

}  // namespace

void TAntenne::CreateDesigner() {
    if (CreaAuto) return;
    designWindow_ = std::make_unique<TMainDesignWindow>(*this);
    designer_ = std::make_unique<TCreaAuto>(GestoreErrori, designWindow_.get());
    CreaAuto = designer_.get();
    // The wizard edits the program's settings, which are the engine's; it
    // keeps no pointer of its own, since loading a project replaces them.
    Wizard = new TAutoProgetto(this);
    Wizard->OpenDialog = OpenDialog;
}

void TAntenne::Autoprogetto1Click(TObject*) {
    if (!Wizard) return;
    TKeptDesignSettings kept;
    const int resets = designResets_;
    Wizard->PrepareAutoDesign();
    for (;;) {
        const int result = Wizard->ShowModal();
        // The design or the file chosen replaces the project: its unsaved
        // changes are asked about first. Kept, the project keeps its design
        // settings, unless a refused design has emptied it meanwhile.
        if ((result != WizardDone && result != WizardOpenProject) ||
            (CurrentProject && CurrentProject->Modified && QuerySaveChanges() == IDCANCEL)) {
            if (designResets_ == resets) kept.PutBack();
            return;
        }
        // A file that does not open, or a design refused (the project left
        // empty), brings the wizard back with its entries for the person to
        // change them, as it does after "Nuovo".
        if (result == WizardOpenProject) {
            if (OpenWizardProject()) return;
            continue;
        }
        if (RunDesign()) return;
    }
}

bool TAntenne::RunDesign() {
    Application->ProcessMessages();
    DrawWindow->BeginUpdate();
    Wizard->CollectSelectedComponents(*CreaAuto->Components);
    const bool done = CreaAuto->Run();
    if (CurrentProject) CurrentProject->DesignPending = false;
    DrawWindow->EndUpdate();
    return done;
}

bool TAntenne::OpenWizardProject() {
    DrawWindow->BeginUpdate();
    const int loaded = LoadProject(OpenDialog->FileName, *CurrentProject);
    DrawWindow->EndUpdate();
    if (loaded != 0) return false;
    ShowProject(CurrentProject);
    AfterLoad();
    return true;
}

TAntenne::TWizardRun TAntenne::RunAutoDesignWizard(bool start, bool firstStart) {
    if (!Wizard) return TWizardRun::Closed;
    TKeptDesignSettings kept;
    const int resets = designResets_;
    const TWizardRun run = ShowAutoDesignWizard(start, firstStart);
    if (run == TWizardRun::Closed && designResets_ == resets) kept.PutBack();
    return run;
}

TAntenne::TWizardRun TAntenne::ShowAutoDesignWizard(bool start, bool firstStart) {
    Wizard->PrepareAutoDesign();
    if (start) {
        Wizard->Nuovo1Click(nullptr);
        Wizard->ShowPage(WizardTypePage, false);
    }
    Wizard->Opz().DesignRequested = start;
    bool done = false;
    bool designed = false;
    int result = 0;
    for (;;) {
        result = Wizard->ShowModal();
        if (result != WizardDone) break;
        if (!Wizard->Opz().DesignRequested) {
            done = true;
            break;
        }
        // A run empties the project: hand changes are asked about first.
        if (!start && CurrentProject && CurrentProject->Modified && QuerySaveChanges() == IDCANCEL)
            return TWizardRun::Closed;
        done = RunDesign();
        designed = true;
        if (done) break;
    }
    if (result == WizardOpenProject) {
        // The file replaces the project: hand changes are asked about first.
        if (!start && CurrentProject && CurrentProject->Modified && QuerySaveChanges() == IDCANCEL)
            return TWizardRun::Closed;
        if (OpenWizardProject()) return TWizardRun::Opened;
        return RunAutoDesignWizard(Wizard->Opz().DesignRequested, firstStart);
    }
    if (done) return designed ? TWizardRun::Designed : TWizardRun::Unchanged;
    // Only the wizard of the first start ends the program when closed without
    // a design; from any other caller the project stays as it is.
    if (firstStart) Application->Terminate();
    return TWizardRun::Closed;
}

void TAntenne::FormActivate(TObject*) {
    // The window system may activate the window before its showing has made
    // the project: the first activation is the first one with a project.
    if (!FirstActivation || !CurrentProject || startingUp_) return;
    FirstActivation = false;
    if (CurrentProject->Name != UntitledProjectName) return;
    // Over the splash the wizard would lose its library tree: it waits for its end.
    if (splash_)
        startWizardPending_ = true;
    else
        RunAutoDesignWizard(true, true);
}

void TAntenne::OnNextClick(TObject*) {
    if (!Wizard || !CurrentProject) return;
    // Settings read from a project since the wizard last showed: its controls
    // are reloaded from them now, as its showing would, so that the showing
    // keeps the components page the button asks for instead of page 0.
    if (!Wizard->Opz().WizardSynced) {
        if (Wizard->FirstShow) Wizard->FillComponentPickers();
        Wizard->ResetWizard();
    }
    Wizard->ShowPage(WizardComponentsPage, Wizard->ComponentMode);
    if (RunAutoDesignWizard(false) != TWizardRun::Unchanged) return;
    // Confirmed with nothing to design: the drawing itself moves on, forward
    // to its calculations or back to drawing, as the button says.
    if (CurrentProject->Step == 1) {
        AfterLoad();
        return;
    }
    CurrentProject->Step = 1;
    RebuildPages();
}

void TAntenne::DetAutComp1Click(TObject*) {
    TProgetto* project = CurrentProject;
    if (!Wizard || !CreaAuto || !project || !project->NetworkGrid) return;
    float lower[BandSlots];
    float upper[BandSlots];
    std::fill(std::begin(lower), std::end(lower), LevelReqUndefined);
    std::fill(std::begin(upper), std::end(upper), LevelReqUndefined);
    Wizard->PrepareComponentSelection();
    if (Wizard->ShowModal() != WizardDone) return;
    const int band = Wizard->CalculationBand();
    TGridData& grid = *project->NetworkGrid;
    TCella* anchor = grid.Anchor;
    int cells = 0;
    for (TCella* c = anchor; c; c = c->NextCell) ++cells;
    const bool progress = cells > ProgressCellCount;
    if (progress) {
        ProgressBar->Position = 0;
        ProgressPanel->Visible = true;
    }
    Application->ProcessMessages();
    Wizard->CollectSelectedComponents(*CreaAuto->Components);
    if (GestoreErrori) GestoreErrori->SetTarget(nullptr);
    TCella* candidates = CreaAuto->Components->head;
    bool ok = anchor &&
              anchor->ChooseModel(candidates, 0, NextPassNumber(), progress ? ProgressBar : nullptr, band, 0);
    if (ok) ok = anchor->ChooseModel(candidates, ModeNoChoice, NextPassNumber(), nullptr, band, 0);
    if (GestoreErrori) GestoreErrori->enabled = false;
    ProgressBar->Max = 100;
    grid.SetModified(ModAll);
    DrawWindow->Invalidate();
    ProgressPanel->Visible = false;
    if (ok) {
        if (Opzioni && band < BandSlots) {
            lower[band] = Opzioni->limits[band][LimitSigMin];
            upper[band] = Opzioni->limits[band][LimitSigMax];
        }
        anchor->ComputeRequiredLevels(lower, upper, NextPassNumber());
        bool reached = anchor->NumThroughOutputs > 0 && anchor->InputLevels.Allocated();
        for (int32_t line = 0; reached && line < anchor->NumThroughOutputs; ++line)
            reached = line < anchor->InputLevels.Ports() &&
                      anchor->InputLevels[line][static_cast<size_t>(band)].Min > 0;
        const float frequency = SistemaBandeCorrente && band < SistemaBandeCorrente->bandCount
                                    ? SistemaBandeCorrente->bands[static_cast<size_t>(band)].reference
                                    : 0.0f;
        if (reached)
            Application->MessageBox(
                "Determinazione componenti con calcolo a " + FloatToStr(frequency) +
                    " MHz completata con successo. Verificare i risultati nelle altre bande "
                    "tramite i calcoli di rete.",
                ApplicationTitle, MB_OK | MB_ICONINFORMATION);
        else
            Application->MessageBox(
                "La rete non ha una struttura sufficientemente regolare per essere dimensionata "
                "automaticamente utilizzando i componenti selezionati. Verificare i risultati "
                "tramite i calcoli di rete.",
                ApplicationTitle, MB_OK | MB_ICONEXCLAMATION);
    }
    UpdateCalculationPages();
    UpdateEstimatePage();
}
