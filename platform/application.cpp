#include "platform/application.h"

#include <algorithm>

#include "platform/extctrls.h"
#include "platform/forms.h"

// ---------------------------------------------------------------- TScript

void TScript::Reset() {
    messageBoxAnswers_.clear();
    MessageBoxes.clear();
    modalAnswers_.clear();
    ModalForms.clear();
    fileAnswers_.clear();
    directoryAnswers_.clear();
    colorAnswers_.clear();
    printAnswers_.clear();
    Dialogs.clear();
    popupAnswers_.clear();
    Popups.clear();
    idleActions_.clear();
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

bool TScript::RunShowModal(TCustomForm& form) {
    ModalForms.push_back(TShowModalCall{typeid(form), form.Caption, mrNone, false});
    for (auto it = modalAnswers_.begin(); it != modalAnswers_.end(); ++it) {
        if (it->type != std::type_index(typeid(form))) continue;
        auto run = std::move(it->run);
        modalAnswers_.erase(it);
        ModalForms.back().Scripted = true;
        run(form);
        return true;
    }
    return false;
}

namespace {
template <class T>
std::optional<T> Pop(std::deque<T>& queue) {
    if (queue.empty()) return std::nullopt;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}
}  // namespace

std::optional<std::optional<AnsiString>> TScript::NextFileAnswer() { return Pop(fileAnswers_); }
std::optional<std::optional<AnsiString>> TScript::NextDirectoryAnswer() { return Pop(directoryAnswers_); }
std::optional<std::optional<TColor>> TScript::NextColorAnswer() { return Pop(colorAnswers_); }
std::optional<bool> TScript::NextPrintAnswer() { return Pop(printAnswers_); }
std::optional<AnsiString> TScript::NextPopupAnswer() { return Pop(popupAnswers_); }

bool TScript::RunIdleAction() {
    std::optional<std::function<void()>> action = Pop(idleActions_);
    if (!action) return false;
    (*action)();
    return true;
}

void TScript::AdvanceClock(unsigned ms) {
    unsigned target = now_ + ms;
    for (;;) {
        // The earliest due timer; timers made or freed by a handler are seen at the next round.
        TTimer* next = nullptr;
        for (TTimer* t : app_->timers_)
            if (t->Running() && t->Due() <= target && (!next || t->Due() < next->Due())) next = t;
        if (!next) break;
        now_ = std::max(now_, next->Due());
        next->Tick();
    }
    now_ = target;
}

// ---------------------------------------------------------------- TApplication

TApplication::TApplication() : TComponent(nullptr) { script_.app_ = this; }

TApplication::~TApplication() { DestroyForms(); }

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
    if (backend_) return backend_->MessageBox(text, caption, flags);
    int answer = script_.NextMessageBoxAnswer(flags);
    script_.MessageBoxes.push_back(TMessageBoxCall{text, caption, flags, answer});
    return answer;
}

void TApplication::NoteForm(TCustomForm* form) {
    if (!mainForm_) mainForm_ = form;
}

void TApplication::Run() {
    terminated_ = false;
    if (mainForm_) mainForm_->Show();
    if (backend_) {
        backend_->Run();
        return;
    }
    for (;;) {
        while (!posted_.empty()) {
            auto fn = std::move(posted_.front());
            posted_.pop_front();
            fn();
        }
        if (terminated_ || !script_.RunIdleAction()) break;
    }
}

void TApplication::Terminate() {
    terminated_ = true;
    if (backend_) backend_->Quit();
}

void TApplication::ProcessMessages() {
    if (backend_) {
        backend_->ProcessMessages();
        return;
    }
    while (!posted_.empty()) {
        auto fn = std::move(posted_.front());
        posted_.pop_front();
        fn();
    }
    script_.RunIdleAction();
}

void TApplication::Post(std::function<void()> fn) {
    if (backend_)
        backend_->Post(std::move(fn));
    else
        posted_.push_back(std::move(fn));
}

void TApplication::DestroyForms() {
    for (int i = ComponentCount() - 1; i >= 0; --i)
        if (auto f = dynamic_cast<TCustomForm*>(Components(i))) f->BeforeDestruction();
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
    mainForm_ = nullptr;
}

void TApplication::HandleException(const std::exception& e) {
    MessageBox(e.what(), Title, MB_OK | MB_ICONSTOP);
}

void TApplication::SetCommandLine(int argc, const char* const* argv) {
    params_.clear();
    for (int i = 0; i < argc; ++i) params_.emplace_back(argv[i] ? argv[i] : "");
    if (params_.empty()) params_.emplace_back();
}

AnsiString TApplication::ParamStr(int index) const {
    if (index < 0 || index >= static_cast<int>(params_.size())) return "";
    return params_[index];
}

AnsiString TApplication::CommandLine() const {
    AnsiString s;
    for (size_t i = 1; i < params_.size(); ++i) {
        if (i > 1) s += ' ';
        s += params_[i];
    }
    return s;
}

unsigned TApplication::TickCount() const { return backend_ ? backend_->TickCount() : script_.now_; }

void TApplication::SetBackend(TBackend* backend) {
    backend_ = backend;
    if (backend_) Screen->SetMetrics(backend_->ScreenMetrics());
}

void TApplication::RegisterTimer(TTimer* timer) {
    if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) timers_.push_back(timer);
}

void TApplication::UnregisterTimer(TTimer* timer) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

namespace {
TApplication& TheApplication() {
    static TApplication app;
    return app;
}
}  // namespace

TApplication* Application = &TheApplication();

unsigned GetTickCount() { return Application->TickCount(); }

void ShowMessage(const AnsiString& text) { Application->MessageBox(text, Application->Title, MB_OK); }
