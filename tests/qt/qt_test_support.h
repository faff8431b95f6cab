#pragma once
// Helpers of the Qt suite: the widget of a control, artefact paths, waiting.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/application.h"
#include "platform/grids.h"
#include "platform/qt/qt_menus.h"
#include "platform/qt/qt_peers.h"

namespace qttest {

// What a shell command prints (the PDF tests read pdftotext's output with it).
inline std::string Shell(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

// The widget that shows a control (the client area for forms and surfaces).
inline QWidget* WidgetOf(TControl* c) {
    auto p = dynamic_cast<ovqt::TQtControlPeer*>(c->Peer());
    return p ? p->InputWidget() : nullptr;
}

// The top-level window of a form.
inline QWidget* WindowOf(TControl* c) {
    auto p = dynamic_cast<ovqt::TQtControlPeer*>(c->Peer());
    return p ? p->Widget() : nullptr;
}

inline std::string Artefact(const std::string& name) {
    std::string dir = std::string(OV_BUILD_DIR) + "/test-artefacts/";
    ForceDirectories(dir);
    return dir + name;
}

// Lets the event loop run: posted events, paints, deferred deletes.
inline void Settle() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The widget the person's keys go to. A form just shown on a busy machine
// may not be active yet, and until it is Qt names no focus widget: wait for
// the activation, then fall back on the focus the shown form keeps for
// itself, so that a key is never sent to nothing.
inline QWidget* FocusWidget() {
    QElapsedTimer waited;
    waited.start();
    while (!QApplication::focusWidget() && waited.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (QWidget* focused = QApplication::focusWidget()) return focused;
    QWidget* window = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                        : QApplication::activeWindow();
    if (window && window->focusWidget()) return window->focusWidget();
    return window;
}

// Answers every message box shown while it lives and keeps its text.
class BoxWatch {
public:
    BoxWatch() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                Texts.push_back(box->text().toStdString());
                box->accept();
            }
        });
        timer_.start(10);
    }
    std::vector<std::string> Texts;

private:
    QTimer timer_;
};

// Where the person's keys go: an open drop-down list first, then the
// focused widget; failing that the widget form keeps focused, as the
// offscreen platform names no active window after a message box.
inline QWidget* KeyTarget(QWidget* form) {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup;
    if (QWidget* focused = QApplication::focusWidget()) return focused;
    if (form && form->focusWidget()) return form->focusWidget();
    return FocusWidget();
}

// Runs fn from the event loop as soon as it runs again (inside a modal loop).
inline void Later(std::function<void()> fn, int ms = 0) { QTimer::singleShot(ms, qApp, std::move(fn)); }

// How long a test waits for what it looks for: long enough for a machine
// whose every core is busy with other work.
constexpr int Deadline = 20000;

// Runs then from the event loop (also inside a modal loop or an open menu)
// as soon as ready holds, looked at again and again, or once the deadline
// has passed; then learns which of the two it was.
inline void WhenReady(std::function<bool()> ready, std::function<void(bool)> then, int deadlineMs = Deadline) {
    auto* timer = new QTimer(qApp);
    auto* waited = new QElapsedTimer;
    waited->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, waited, ready, then, deadlineMs] {
        const bool seen = ready();
        if (!seen && waited->elapsed() < deadlineMs) return;
        timer->stop();
        timer->deleteLater();
        delete waited;
        then(seen);
    });
    timer->start();
}

// Runs fn from the event loop (also inside a modal loop or an open menu)
// once ready holds: the window fn works on is there. Past the deadline the
// test fails, naming what it waited for, and the window in front (a menu,
// a modal one) is closed, so that the loop that shows it ends. A wait left
// by a test that has ended (it failed before the window came) stops
// unheard: what it would look at is gone with that test.
inline void WhenShown(const std::string& what, std::function<bool()> ready, std::function<void()> fn) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const auto over = [test] { return ::testing::UnitTest::GetInstance()->current_test_info() != test; };
    WhenReady([over, ready = std::move(ready)] { return over() || ready(); },
              [what, over, fn = std::move(fn)](bool seen) {
                  if (over()) return;
                  if (seen) {
                      fn();
                      return;
                  }
                  ADD_FAILURE() << what << ": not shown within " << Deadline << " ms";
                  if (QWidget* popup = QApplication::activePopupWidget())
                      popup->close();
                  else if (QWidget* modal = QApplication::activeModalWidget())
                      modal->close();
              });
}

// The message box in front, if one is.
inline QMessageBox* BoxInFront() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }

// The menu open, if one is.
inline QMenu* OpenMenu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

// Whether a form's window is shown and in front: the modal window, or shown
// with no modal window over it.
inline bool InFront(TControl* form) {
    QWidget* w = WindowOf(form);
    if (!w || !w->isVisible()) return false;
    QWidget* modal = QApplication::activeModalWidget();
    return modal ? modal == w : true;
}

// Runs fn once that form is in front (see WhenShown).
inline void WhenInFront(TControl* form, std::function<void()> fn) {
    WhenShown(
        form && !form->Name.empty() ? form->Name : std::string("the form"), [form] { return InFront(form); },
        std::move(fn));
}

// Runs fn with the message box once one is in front (see WhenShown).
inline void WhenBoxShown(std::function<void(QMessageBox*)> fn) {
    WhenShown(
        "a message box", [] { return BoxInFront() != nullptr; }, [fn = std::move(fn)] { fn(BoxInFront()); });
}

// Runs fn with the open menu once one shows (see WhenShown).
inline void WhenMenuShown(std::function<void(QMenu*)> fn) {
    WhenShown(
        "a menu", [] { return OpenMenu() != nullptr; }, [fn = std::move(fn)] { fn(OpenMenu()); });
}

// Lets the event loop run until ready holds or the deadline passes; whether it held.
inline bool WaitUntil(const std::function<bool()>& ready, int deadlineMs = Deadline) {
    return QTest::qWaitFor(ready, deadlineMs);
}

// How many different colours an image has (a blank one has one).
inline int Colours(const QImage& image) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<uint32_t> seen;
    for (int y = 0; y < rgb.height(); y += 2)
        for (int x = 0; x < rgb.width(); x += 2) {
            uint32_t p = rgb.pixel(x, y);
            if (std::find(seen.begin(), seen.end(), p) == seen.end()) seen.push_back(p);
            if (seen.size() > 1000) return static_cast<int>(seen.size());
        }
    return static_cast<int>(seen.size());
}

// What RunOnX11 returns when there is no X server to start.
constexpr int NoX11 = 77;

// Runs one test of this suite again in a process of its own on the X11
// platform, on an Xvfb screen started for it (some faults show only with a
// real window system); the process's exit status, or NoX11.
inline int RunOnX11(const std::string& test) {
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0 || std::system("command -v Xvfb >/dev/null 2>&1") != 0) return NoX11;
    // The program and the test reach the script through the environment:
    // no quoting of paths.
    setenv("OV_X11_PROGRAM", self, 1);
    setenv("OV_X11_TEST", test.c_str(), 1);
    setenv("OV_X11_SCRIPT",
           "d=$(mktemp -d); "
           "Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>\"$d/display\" >\"$d/log\" 2>&1 & x=$!; "
           "n=; for i in $(seq 150); do n=$(tr -dc 0-9 <\"$d/display\"); [ -n \"$n\" ] && break; sleep 0.2; done; "
           "if [ -z \"$n\" ]; then kill $x 2>/dev/null; rm -rf \"$d\"; exit 77; fi; "
           "QT_QPA_PLATFORM=xcb DISPLAY=\":$n\" \"$OV_X11_PROGRAM\" --gtest_filter=\"$OV_X11_TEST\"; r=$?; "
           "kill $x; wait $x 2>/dev/null; rm -rf \"$d\"; exit $r",
           1);
    const int status = std::system("bash -c \"$OV_X11_SCRIPT\"");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A click of the left button: on X11 through the X server, as the mouse
// gives it (the pointer moves there first), elsewhere into the widget.
inline void Click(QWidget* widget, QPoint at) {
    if (QGuiApplication::platformName() == "xcb") {
        const QPoint screen = widget->mapToGlobal(at);
        const std::string command = "xdotool mousemove " + std::to_string(screen.x()) + " " +
                                    std::to_string(screen.y()) + " click 1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return;
    }
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

// A key pressed: on X11 through the X server, to the window that has the
// keyboard, elsewhere into the widget; then the events run until done
// holds, what the key was pressed for.
inline void PressKey(QWidget* widget, Qt::Key key, const char* xName, const std::function<bool()>& done,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (QGuiApplication::platformName() == "xcb") {
        const std::string command = std::string("xdotool key ") + xName;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    } else {
        QTest::keyClick(widget, key, modifiers);
    }
    EXPECT_TRUE(WaitUntil(done)) << xName;
}

// A click on a cell of a grid (see Click), and the events run until the
// grid has that cell as its current one.
inline void ClickCell(TStringGrid* grid, int col, int row) {
    const TRect cell = grid->CellRect(col, row);
    ASSERT_FALSE(cell.IsEmpty()) << col << "," << row;
    Click(WidgetOf(grid), QPoint(cell.Left + 4, cell.Top + 4));
    EXPECT_TRUE(WaitUntil([&] { return grid->Col == col && grid->Row == row; })) << col << "," << row;
    Settle();
}

// A cell of a grid clicked (see ClickCell) and its editor opened with F2,
// its text selected for what is typed next; the editor's line, or null.
inline QLineEdit* EditCell(TStringGrid* grid, int col, int row) {
    ClickCell(grid, col, row);
    QTest::keyClick(WidgetOf(grid), Qt::Key_F2);
    auto* line = grid->InplaceEditor() ? qobject_cast<QLineEdit*>(WindowOf(grid->InplaceEditor())) : nullptr;
    Settle();
    if (line) line->selectAll();
    return line;
}

// A window's picture saved as a test artefact.
inline void SaveShot(TControl* window, const char* name) {
    Settle();
    EXPECT_TRUE(WindowOf(window)->grab().toImage().save(QString::fromStdString(Artefact(name)))) << name;
}

// Runs body in this process when it is on X11; else runs the named test
// again in a process of its own on a private X server, where the mouse and
// the keys go through the X server, by xdotool.
inline void HereOrOnX11(const char* test, void (*body)()) {
    if (QGuiApplication::platformName() == "xcb") {
        body();
        return;
    }
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
    const int status = qttest::RunOnX11(test);
    if (status == qttest::NoX11) GTEST_SKIP() << "no Xvfb";
    EXPECT_EQ(status, 0);
}

}  // namespace qttest
