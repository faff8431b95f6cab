#pragma once
// The application object: its title, its forms, the event loop, the command
// line and the clock, and everything that needs a person (message boxes,
// modal forms, common dialogs, popup menus). A back end shows these to the
// user; without one, the scripted stand-in (TScript) answers them, which is
// how tests drive handlers.
#include <deque>
#include <functional>
#include <optional>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "platform/backend.h"
#include "platform/classes.h"

class TCustomForm;
class TForm;
class TTimer;
class TPopupMenu;
class TMenuItem;
class TApplication;

// Message box styles and answers, with the values of the Windows API.
enum : int {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONHAND = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON2 = 0x100,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

struct TMessageBoxCall {
    AnsiString Text;
    AnsiString Caption;
    int Flags = 0;
    int Answer = 0;
};

// A modal showing of a form, as the stand-in saw it.
struct TShowModalCall {
    std::type_index Type = typeid(void);
    AnsiString Caption;
    int Result = 0;
    bool Scripted = false;  // a queued answer ran; otherwise the person closed the form
};

enum class TDialogKind { Open, Save, Directory, Color, Print, PrinterSetup };

// A common dialog, as the stand-in saw it.
struct TDialogCall {
    TDialogKind Kind = TDialogKind::Open;
    AnsiString Title;
    AnsiString Filter;
    AnsiString InitialDir;
    AnsiString FileName;  // the name the dialog opened with (a print dialog: the printer's FileName)
    bool Accepted = false;
    AnsiString Answer;  // the path or directory chosen
};

struct TPopupCall {
    TPopupMenu* Menu = nullptr;
    TPoint Where;
    AnsiString Chosen;  // caption of the item clicked, empty when none
};

// A badly scripted test: a modal form that cannot end, an answer that fits nothing.
class EScriptError : public Exception {
    using Exception::Exception;
};

// The scripted stand-in for a person: queued answers, a record of what was
// asked, and the clock.
class TScript {
public:
    // The next message box answers this (IDYES, IDNO, ...).
    void AnswerMessageBox(int answer) { messageBoxAnswers_.push_back(answer); }
    std::vector<TMessageBoxCall> MessageBoxes;  // every message box asked, in order

    // The next ShowModal of a form of class F runs fn with the form (shown,
    // its OnShow done); fn plays the person: fills controls, clicks buttons.
    // When fn returns, ShowModal ends with the form's ModalResult; a form
    // left without one is closed as by its close box (mrCancel).
    template <class F>
    void AnswerShowModal(std::function<void(F&)> fn) {
        modalAnswers_.push_back({typeid(F), [fn](TCustomForm& f) { fn(static_cast<F&>(f)); }});
    }
    // The next ShowModal of a form of class F just returns result.
    template <class F>
    void AnswerShowModal(int result);
    std::vector<TShowModalCall> ModalForms;

    // Common dialogs: the next one of its kind accepts with this answer, or is cancelled.
    void AnswerFileDialog(const AnsiString& path) { fileAnswers_.push_back(path); }
    void CancelFileDialog() { fileAnswers_.push_back(std::nullopt); }
    void AnswerDirectory(const AnsiString& directory) { directoryAnswers_.push_back(directory); }
    void CancelDirectory() { directoryAnswers_.push_back(std::nullopt); }
    void AnswerColorDialog(TColor color) { colorAnswers_.push_back(color); }
    void CancelColorDialog() { colorAnswers_.push_back(std::nullopt); }
    // Print and printer-setup dialogs: accept (true) or cancel.
    void AnswerPrintDialog(bool accept) { printAnswers_.push_back(accept); }
    std::vector<TDialogCall> Dialogs;

    // The next popup menu clicks the item with this caption ('&' ignored),
    // searched depth first among the visible items.
    void AnswerPopup(const AnsiString& caption) { popupAnswers_.push_back(caption); }
    std::vector<TPopupCall> Popups;

    // Runs fn at a later ProcessMessages (one queued action per call), as a
    // person acting while a long calculation polls the event loop.
    void AtProcessMessages(std::function<void()> fn) { idleActions_.push_back(std::move(fn)); }

    // The headless clock, in milliseconds: advancing it fires every enabled
    // timer as often as its interval fits, in time order.
    void AdvanceClock(unsigned ms);
    unsigned Now() const { return now_; }

    // Forget queued answers and recorded calls (the clock keeps running).
    void Reset();

    // Used by the platform.
    int NextMessageBoxAnswer(int flags);
    bool RunShowModal(TCustomForm& form);
    std::optional<std::optional<AnsiString>> NextFileAnswer();
    std::optional<std::optional<AnsiString>> NextDirectoryAnswer();
    std::optional<std::optional<TColor>> NextColorAnswer();
    std::optional<bool> NextPrintAnswer();
    std::optional<AnsiString> NextPopupAnswer();
    bool RunIdleAction();

private:
    friend class TApplication;
    struct ModalAnswer {
        std::type_index type;
        std::function<void(TCustomForm&)> run;
    };
    TApplication* app_ = nullptr;
    std::deque<int> messageBoxAnswers_;
    std::deque<ModalAnswer> modalAnswers_;
    std::deque<std::optional<AnsiString>> fileAnswers_;
    std::deque<std::optional<AnsiString>> directoryAnswers_;
    std::deque<std::optional<TColor>> colorAnswers_;
    std::deque<bool> printAnswers_;
    std::deque<AnsiString> popupAnswers_;
    std::deque<std::function<void()>> idleActions_;
    unsigned now_ = 0;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    AnsiString Title;
    // Hints are shown for controls with ShowHint.
    bool ShowHint = true;

    // Shows a message box through the back end, or answers it from the script.
    int MessageBox(const AnsiString& text, const AnsiString& caption, int flags);

    // Makes a form owned by the application; the first one made is the main form.
    template <class T>
    void CreateForm(T*& reference);
    TCustomForm* MainForm() const { return mainForm_; }
    void Initialize() {}
    // Shows the main form and runs the event loop until Terminate (headless:
    // runs the queued idle actions, then returns).
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Lets pending events run (headless: posted calls and one scripted idle action).
    void ProcessMessages();
    // Runs fn from the event loop, after the current event.
    void Post(std::function<void()> fn);
    // Fires OnDestroy of every form the application owns, then frees them.
    void DestroyForms();
    // An exception that escaped an event handler: shown in an error box.
    void HandleException(const std::exception& e);

    // The command line: ParamStr(0) is the program, 1.. the arguments.
    void SetCommandLine(int argc, const char* const* argv);
    int ParamCount() const { return static_cast<int>(params_.size()) - 1; }
    AnsiString ParamStr(int index) const;
    // The arguments joined with blanks.
    AnsiString CommandLine() const;
    AnsiString ExeName() const { return ParamStr(0); }

    // Milliseconds: the back end's steady clock, or the script's.
    unsigned TickCount() const;

    TScript& Script() { return script_; }
    // Chosen once by the program's entry point, before any form is made.
    void SetBackend(TBackend* backend);
    TBackend* Backend() const { return backend_; }

    // Timers register themselves so that the headless clock can fire them.
    void RegisterTimer(TTimer* timer);
    void UnregisterTimer(TTimer* timer);

private:
    friend class TScript;
    friend class TCustomForm;
    TScript script_;
    TBackend* backend_ = nullptr;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    std::vector<AnsiString> params_{""};
    std::vector<TTimer*> timers_;
    std::deque<std::function<void()>> posted_;
    void NoteForm(TCustomForm* form);
};

// The one application object; it exists before main() runs.
extern TApplication* Application;

// The class library's command-line helpers.
inline int ParamCount() { return Application->ParamCount(); }
inline AnsiString ParamStr(int index) { return Application->ParamStr(index); }
unsigned GetTickCount();
// A message box with the application title and an OK button.
void ShowMessage(const AnsiString& text);

// ---------------------------------------------------------------- templates

#include "platform/forms.h"

template <class F>
void TScript::AnswerShowModal(int result) {
    modalAnswers_.push_back({typeid(F), [result](TCustomForm& f) { f.ModalResult = result; }});
}

template <class T>
void TApplication::CreateForm(T*& reference) {
    reference = new T(this);
    NoteForm(reference);
    reference->AfterConstruction();
}
