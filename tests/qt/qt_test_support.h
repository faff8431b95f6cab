#pragma once
// Helpers of the Qt suite: the widget of a control, artefact paths, waiting.
#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/application.h"
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

// Runs fn from the event loop as soon as it runs again (inside a modal loop).
inline void Later(std::function<void()> fn, int ms = 0) { QTimer::singleShot(ms, qApp, std::move(fn)); }

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

}  // namespace qttest
