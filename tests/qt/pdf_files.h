#pragma once
// PDF files of the Qt print tests: Qt's print dialog answered with the PDF
// device, and what poppler's tools read back from the file (text, page
// count, words at the sheet's edge); the pages rendered next to the PDF to
// be looked at.
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "qt/qt_test_support.h"

namespace qttest {

// Answers Qt's print dialog, once it is in front, with the PDF device and file.
inline void AnswerPrintDialogWithPdf(const std::string& file) {
    WhenShown(
        "the print dialog",
        [] { return qobject_cast<QPrintDialog*>(QApplication::activeModalWidget()) != nullptr; },
        [file] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            auto* printers = dialog->findChild<QComboBox*>("printers");
            ASSERT_NE(printers, nullptr);
            printers->setCurrentIndex(printers->count() - 1);
            auto* name = dialog->findChild<QLineEdit*>("filename");
            ASSERT_NE(name, nullptr);
            name->setText(QString::fromStdString(file));
            dialog->accept();
        });
}

// pdftotext keeps no doubled blanks: compare with runs of blanks as one.
inline std::string Collapsed(std::string s) {
    std::string out;
    for (char c : s) {
        if (c == '\n' || c == '\t') c = ' ';
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out += c;
    }
    return out;
}

// The text of a page (0: of every page), blanks collapsed.
inline std::string PdfText(const std::string& file, int page = 0) {
    const std::string range = page ? " -f " + std::to_string(page) + " -l " + std::to_string(page) : "";
    return Collapsed(Shell("pdftotext -layout" + range + " '" + file + "' - 2>&1"));
}

// The text of every page, blanks collapsed, from one reading of the file.
inline std::vector<std::string> PdfPageTexts(const std::string& file) {
    const std::string text = Shell("pdftotext -layout '" + file + "' - 2>&1");
    std::vector<std::string> pages;
    size_t from = 0;
    for (size_t feed = text.find('\f'); feed != std::string::npos; feed = text.find('\f', from)) {
        pages.push_back(Collapsed(text.substr(from, feed - from)));
        from = feed + 1;
    }
    return pages;
}

inline int PdfPages(const std::string& file) {
    const std::string info = Shell("pdfinfo '" + file + "' 2>&1");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// A word of a PDF page with its box, in points from the page's top left.
struct TPdfWord {
    double left, top, right, bottom;
    std::string text;
};

struct TPdfPage {
    double width = 0, height = 0;
    std::vector<TPdfWord> words;
};

// The pages of a PDF with their words, as pdftotext -bbox reads them. The
// numbers are read in place: a file of some hundred table pages holds
// megabytes of boxes.
inline std::vector<TPdfPage> PdfWords(const std::string& file) {
    const std::string boxes = Shell("pdftotext -bbox '" + file + "' - 2>&1");
    std::vector<TPdfPage> pages;
    size_t end = 0;
    for (size_t line = 0; line < boxes.size(); line = end + 1) {
        end = boxes.find('\n', line);
        if (end == std::string::npos) end = boxes.size();
        auto number = [&](const char* key) {
            const size_t at = boxes.find(key, line);
            return at == std::string::npos || at >= end
                       ? 0.0
                       : std::strtod(boxes.c_str() + at + std::strlen(key), nullptr);
        };
        const std::string_view head(boxes.data() + line, end - line);
        if (head.find("<page ") != std::string_view::npos) {
            pages.push_back({number("width=\""), number("height=\""), {}});
        } else if (head.find("<word ") != std::string_view::npos && !pages.empty()) {
            const size_t text = head.find('>') + 1;
            const size_t close = head.rfind("</word>");
            pages.back().words.push_back(
                {number("xMin=\""), number("yMin=\""), number("xMax=\""), number("yMax=\""),
                 std::string(head.substr(
                     text, close == std::string_view::npos ? std::string_view::npos : close - text))});
        }
    }
    return pages;
}

// The words of a PDF that reach into the 12 pt a printer leaves unprinted
// at the sheet's edges, each with its page; empty when none does.
inline std::string WordsAtTheEdge(const std::string& file) {
    std::string outside;
    const std::vector<TPdfPage> pages = PdfWords(file);
    const double edge = 12.0 - 0.5;
    for (size_t p = 0; p < pages.size(); ++p)
        for (const TPdfWord& w : pages[p].words)
            if (w.left < edge || w.top < edge || w.right > pages[p].width - edge ||
                w.bottom > pages[p].height - edge)
                outside += "page " + std::to_string(p + 1) + ": " + w.text + " at " + std::to_string(w.left) +
                           ", " + std::to_string(w.top) + "\n";
    return outside;
}

// The words of a PDF that stand over another word of their page, in pairs
// with their page; empty when none does. The lines of a label stacked in
// one column (the same left edge) may share the gap between their boxes.
inline std::string WordsOverWords(const std::string& file) {
    std::string over;
    const std::vector<TPdfPage> pages = PdfWords(file);
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::vector<TPdfWord>& words = pages[p].words;
        for (size_t i = 0; i < words.size(); ++i)
            for (size_t j = i + 1; j < words.size(); ++j) {
                const TPdfWord &a = words[i], &b = words[j];
                if (std::abs(a.left - b.left) < 0.2) continue;
                const double across = std::min(a.right, b.right) - std::max(a.left, b.left);
                const double down = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
                if (across > 0.3 && down > 0.25 * std::min(a.bottom - a.top, b.bottom - b.top))
                    over += "page " + std::to_string(p + 1) + ": " + a.text + " / " + b.text + "\n";
            }
    }
    return over;
}

// Renders every page at 60 dpi next to the PDF, to be looked at.
inline void Render(const std::string& file) {
    Shell("pdftoppm -r 60 -png '" + file + "' '" + file.substr(0, file.size() - 4) + "' 2>&1");
}

}  // namespace qttest
