#include "platform/application.h"

void TScript::Reset() {
    messageBoxAnswers_.clear();
    MessageBoxes.clear();
}

int TScript::NextMessageBoxAnswer(int flags) {
    if (!messageBoxAnswers_.empty()) {
        int answer = messageBoxAnswers_.front();
        messageBoxAnswers_.pop_front();
        return answer;
    }
    switch (flags & 0xF) {
        case MB_ABORTRETRYIGNORE: return IDABORT;
        case MB_YESNOCANCEL:
        case MB_YESNO: return IDYES;
        case MB_RETRYCANCEL: return IDRETRY;
        default: return IDOK;
    }
}

TApplication::TApplication() : TComponent(nullptr) {}

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
    if (backend_) return backend_->MessageBox(text, caption, flags);
    int answer = script_.NextMessageBoxAnswer(flags);
    script_.MessageBoxes.push_back(TMessageBoxCall{text, caption, flags, answer});
    return answer;
}

namespace {
TApplication& TheApplication() {
    static TApplication app;
    return app;
}
}  // namespace

TApplication* Application = &TheApplication();
