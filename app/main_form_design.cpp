// TAntenne and the automatic designer: the engine and its wizard, and the
// commands that run a design.
#include "app/draw_window.h"
#include "app/main_form.h"
#include "app/project.h"
#include "autodesign/engine.h"
#include "autodesign/wizard.h"
#include "core/globals.h"
#include "core/reporter.h"
#include "platform/application.h"

namespace {

// What a design run asks of the main window, answered by it.
class TMainDesignWindow : public TDesignWindow {
public:
    explicit TMainDesignWindow(TAntenne& form) : form_(form) {}
    TProgetto* CurrentProject() override { return form_.CurrentProject; }
    void ResetProject(bool withAnchors) override { form_.ResetDesignProject(withAnchors); }
    void ShowProject(TProgetto* project) override { form_.ShowProject(project); }
    void AfterLoad() override { form_.AfterLoad(); }
    void ShowProgress(int32_t maximum) override {
        form_.ProgressBar->Max = maximum;
        form_.ProgressBar->Position = 0;
        form_.ProgressPanel->Visible = true;
    }
    void HideProgress() override { form_.ProgressPanel->Visible = false; }
    TProgressBar* ProgressBar() override { return form_.ProgressPanel->Visible ? form_.ProgressBar : nullptr; }
    void ProcessMessages() override {
        if (Application) Application->ProcessMessages();
    }

private:
    TAntenne& form_;
};

}  // namespace

void TAntenne::CreateDesigner() {
    if (CreaAuto) return;
    designWindow_ = std::make_unique<TMainDesignWindow>(*this);
    CreaAuto = new TCreaAuto(GestoreErrori, designWindow_.get());
    Wizard = new TAutoProgetto(this);
    Wizard->Settings = CreaAuto->Settings.get();
    Wizard->OpenDialog = OpenDialog;
}

void TAntenne::Autoprogetto1Click(TObject*) {
    if (!Wizard) return;
    Wizard->PrepareAutoDesign();
    if (Wizard->ShowModal() != WizardDone) return;
    // The design replaces the project: its unsaved changes are asked about first.
    if (CurrentProject && CurrentProject->Modified && QuerySaveChanges() == IDCANCEL) return;
    Application->ProcessMessages();
    DrawWindow->BeginUpdate();
    Wizard->CollectSelectedComponents(*CreaAuto->Components);
    CreaAuto->Run();
    if (CurrentProject) CurrentProject->DesignPending = false;
    DrawWindow->EndUpdate();
}

void TAntenne::RunAutoDesignWizard(bool start, bool firstStart) {
    if (!Wizard) return;
    Wizard->PrepareAutoDesign();
    if (start) {
        Wizard->Nuovo1Click(nullptr);
        Wizard->ShowPage(WizardTypePage, false);
    }
    Wizard->Opz().DesignRequested = start;
    bool done = false;
    int result = 0;
    for (;;) {
        result = Wizard->ShowModal();
        if (result != WizardDone) break;
        if (!Wizard->Opz().DesignRequested) {
            done = true;
            break;
        }
        // A run empties the project: hand changes are asked about first.
        if (!start && CurrentProject && CurrentProject->Modified && QuerySaveChanges() == IDCANCEL) return;
        Application->ProcessMessages();
        DrawWindow->BeginUpdate();
        Wizard->CollectSelectedComponents(*CreaAuto->Components);
        done = CreaAuto->Run();
        if (CurrentProject) CurrentProject->DesignPending = false;
        DrawWindow->EndUpdate();
        if (done) break;
    }
    if (result == WizardOpenProject) {
        DrawWindow->BeginUpdate();
        const int loaded = LoadProject(OpenDialog->FileName, *CurrentProject);
        DrawWindow->EndUpdate();
        if (loaded == 0) {
            ShowProject(CurrentProject);
            AfterLoad();
        } else {
            RunAutoDesignWizard(Wizard->Opz().DesignRequested, firstStart);
        }
        return;
    }
    // Only the wizard of the first start ends the program when closed without
    // a design; from any other caller the project stays as it is.
    if (!done && firstStart) Application->Terminate();
}
