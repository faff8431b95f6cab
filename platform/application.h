#pragma once
// The application object: its title, and everything that needs a person
// (message boxes now; modal forms, common dialogs and the clock come with the
// control model). A back end shows these to the user; without one, the
// scripted stand-in answers them, which is how tests drive handlers.
#include <deque>
#include <vector>

#include "platform/classes.h"

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

// The real user interface (the Qt back end implements it).
class TBackend {
public:
    virtual ~TBackend() = default;
    virtual int MessageBox(const AnsiString& text, const AnsiString& caption, int flags) = 0;
};

// The scripted stand-in for a person: queued answers, and a record of what was asked.
class TScript {
public:
    // The next message box answers this (IDYES, IDNO, ...).
    void AnswerMessageBox(int answer) { messageBoxAnswers_.push_back(answer); }
    std::vector<TMessageBoxCall> MessageBoxes;  // every message box asked, in order
    // Forget queued answers and recorded calls.
    void Reset();

    // Used by TApplication: the queued answer, or the first button of the box.
    int NextMessageBoxAnswer(int flags);

private:
    std::deque<int> messageBoxAnswers_;
};

class TApplication : public TComponent {
public:
    TApplication();
    AnsiString Title;

    // Shows a message box through the back end, or answers it from the script.
    int MessageBox(const AnsiString& text, const AnsiString& caption, int flags);

    TScript& Script() { return script_; }
    void SetBackend(TBackend* backend) { backend_ = backend; }
    TBackend* Backend() const { return backend_; }

private:
    TScript script_;
    TBackend* backend_ = nullptr;
};

// The one application object; it exists before main() runs.
extern TApplication* Application;
