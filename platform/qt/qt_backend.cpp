// Attaching the back end, the event loop, the clock, the screen and message boxes.
#include "platform/qt/qt_backend.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <memory>
#include <utility>

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/qt/qt_backend_impl.h"
#include "platform/qt/qt_controls.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_menus.h"
#include "platform/qt/qt_paint.h"
#include "platform/qt/qt_peers.h"

namespace ovqt {

namespace {

// An exception that escapes an event handler of the program is shown to the
// person and the event loop goes on, as the class library's loop does.
class TQtApplication : public QApplication {
public:
    TQtApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            Application->HandleException(e);
        } catch (...) {
            Application->HandleException(Exception("Errore interno del programma"));
        }
        return false;
    }
};

std::unique_ptr<QApplication> ownApp;
std::unique_ptr<TQtBackend> backend;
}  // namespace

namespace {

// A timer's clock: a QTimer that ticks the model's timer.
class TimerPeer : public TTimerPeer {
public:
    explicit TimerPeer(TTimer* timer) : timer_(timer) {
        QObject::connect(&clock_, &QTimer::timeout, &clock_, Guarded([this] { timer_->Tick(); }));
        Changed();
    }
    void Changed() override {
        if (timer_->Running())
            clock_.start(timer_->Interval);
        else
            clock_.stop();
    }

private:
    TTimer* timer_;
    QTimer clock_;
};

}  // namespace

TQtBackend::TQtBackend() : input_(std::make_unique<TQtInput>()) {
    clock_.start();
    qApp->installEventFilter(input_.get());
}

TQtBackend::~TQtBackend() {
    if (qApp) qApp->removeEventFilter(input_.get());
    if (overrideCursor_) QApplication::restoreOverrideCursor();
}

TControlPeer* TQtBackend::CreatePeer(TControl* control) { return MakeControlPeer(control); }

TMenuPeer* TQtBackend::CreateMenuPeer(TMenu* menu) { return new TQtMenuPeer(menu); }

TTimerPeer* TQtBackend::CreateTimerPeer(TTimer* timer) { return new TimerPeer(timer); }

int TQtBackend::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
    QMessageBox box(QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(text));
    box.setWindowTitle(ToQString(caption.empty() ? Application->Title : caption));
    switch (flags & 0xF0) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    struct Choice {
        const char* text;
        int answer;
        QMessageBox::ButtonRole role;
    };
    std::vector<Choice> choices;
    switch (flags & 0xF) {
    case MB_OKCANCEL:
        choices = {{"OK", IDOK, QMessageBox::AcceptRole}, {"Annulla", IDCANCEL, QMessageBox::RejectRole}};
        break;
    case MB_ABORTRETRYIGNORE:
        choices = {{"Interrompi", IDABORT, QMessageBox::RejectRole},
                   {"Riprova", IDRETRY, QMessageBox::AcceptRole},
                   {"Ignora", IDIGNORE, QMessageBox::AcceptRole}};
        break;
    case MB_YESNOCANCEL:
        choices = {{"Sì", IDYES, QMessageBox::YesRole},
                   {"No", IDNO, QMessageBox::NoRole},
                   {"Annulla", IDCANCEL, QMessageBox::RejectRole}};
        break;
    case MB_YESNO: choices = {{"Sì", IDYES, QMessageBox::YesRole}, {"No", IDNO, QMessageBox::NoRole}}; break;
    case MB_RETRYCANCEL:
        choices = {{"Riprova", IDRETRY, QMessageBox::AcceptRole},
                   {"Annulla", IDCANCEL, QMessageBox::RejectRole}};
        break;
    default: choices = {{"OK", IDOK, QMessageBox::AcceptRole}}; break;
    }
    std::vector<std::pair<QAbstractButton*, int>> buttons;
    for (const Choice& c : choices)
        buttons.emplace_back(box.addButton(QString::fromUtf8(c.text), c.role), c.answer);
    size_t def = (flags & 0x200) ? 2 : (flags & MB_DEFBUTTON2) ? 1 : 0;
    if (def < buttons.size()) box.setDefaultButton(static_cast<QPushButton*>(buttons[def].first));
    // Escape means Cancel where there is one, OK on a box with OK alone, and
    // nothing on a box that must be answered (Yes/No, Abort/Retry/Ignore).
    int escape = 0;
    for (auto& [b, answer] : buttons)
        if (answer == IDCANCEL || (buttons.size() == 1 && answer == IDOK)) {
            box.setEscapeButton(b);
            escape = answer;
        }
    for (;;) {
        box.exec();
        QAbstractButton* clicked = box.clickedButton();
        for (auto& [b, answer] : buttons)
            if (b == clicked) return answer;
        if (escape) return escape;
    }
}

void TQtBackend::Run() {
    // Ended already while the main form was being shown (Qt forgets a quit before its loop runs).
    if (Application->Terminated()) return;
    QApplication::exec();
}

// The model has closed its forms when it terminates: the loop ends without
// Qt asking the windows to close again (each would ask its close query anew).
void TQtBackend::Quit() { QCoreApplication::exit(0); }

void TQtBackend::ProcessMessages() { QApplication::processEvents(); }

void TQtBackend::Post(std::function<void()> fn) {
    QTimer::singleShot(0, qApp, [fn = std::move(fn)] { fn(); });
}

unsigned TQtBackend::TickCount() { return static_cast<unsigned>(clock_.elapsed()); }

TScreenMetrics TQtBackend::ScreenMetrics() {
    TScreenMetrics m;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect g = screen->geometry();
        m.Width = g.width();
        m.Height = g.height();
        m.PixelsPerInch = static_cast<int>(screen->logicalDotsPerInchY() + 0.5);
    }
    for (const QString& family : QFontDatabase::families()) m.Fonts.push_back(FromQString(family));
    return m;
}

TPoint TQtBackend::CursorPos() {
    QPoint p = QCursor::pos();
    // In the model's screen coordinates, which place controls by the model's own frame sizes.
    if (QWidget* w = QApplication::widgetAt(p))
        if (TQtControlPeer* peer = PeerOfWidget(w); peer && peer->InputWidget()) {
            QPoint local = peer->InputWidget()->mapFromGlobal(p);
            return peer->Control()->ClientToScreen(TPoint(local.x(), local.y()));
        }
    return TPoint(p.x(), p.y());
}

void TQtBackend::SetCursor(int cursor) {
    if (overrideCursor_) {
        QApplication::restoreOverrideCursor();
        overrideCursor_ = false;
    }
    if (cursor == crDefault) return;
    QApplication::setOverrideCursor(QCursor(CursorShape(cursor)));
    overrideCursor_ = true;
}

}  // namespace ovqt

void AttachQtBackend(int& argc, char** argv) {
    using namespace ovqt;
    if (backend) return;
    if (!QApplication::instance()) ownApp = std::make_unique<TQtApplication>(argc, argv);
    // Only the main form's closing ends the program (TApplication::Terminate):
    // a message box or dialog closed while no form window counts as open for
    // Qt must not end it (the forms' windows do not take part in Qt's count).
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own dialogs speak the program's language: their words through the
    // translator, the names of file types and the sizes through the locale,
    // whatever the machine's own is.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    static QTranslator translator;
    if (translator.isEmpty())
        (void)translator.load(QLocale(QLocale::Italian, QLocale::Italy), "qtbase", "_",
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!translator.isEmpty()) QCoreApplication::installTranslator(&translator);
    InstallFontSubstitutes();
    UseQtBitmapEngine();
    backend = std::make_unique<TQtBackend>();
    Application->SetBackend(backend.get());
}

void DetachQtBackend() {
    using namespace ovqt;
    if (!backend) return;
    Application->SetBackend(nullptr);
    TBitmap::SetEngineFactory(nullptr);
    backend.reset();
    // Widgets of peers that went away are deleted once their events are over.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ownApp.reset();
}
