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
#include <cstring>
#include <string>
#include <vector>

#include "qt/qt_test_support.h"

namespace qttest {

// Answers Qt's print dialog, when it shows (ms after the event loop runs
// again), with the PDF device and file.
inline void AnswerPrintDialogWithPdf(const std::string& file, int ms = 50) {
    Later(
        [file] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* printers = dialog->findChild<QComboBox*>("printers");
            ASSERT_NE(printers, nullptr);
            printers->setCurrentIndex(printers->count() - 1);
            auto* name = dialog->findChild<QLineEdit*>("filename");
            ASSERT_NE(name, nullptr);
            name->setText(QString::fromStdString(file));
            dialog->accept();
        },
        ms);
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

inline int PdfPages(const std::string& file) {
    const std::string info = Shell("pdfinfo '" + file + "' 2>&1");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

// The words of a PDF that reach into the 12 pt a printer leaves unprinted
// at the sheet's edges, each with its page; empty when none does.
inline std::string WordsAtTheEdge(const std::string& file) {
    const std::string boxes = Shell("pdftotext -bbox '" + file + "' - 2>&1");
    auto number = [&](size_t line, const char* key) {
        const size_t at = boxes.find(key, line);
        return at == std::string::npos ? 0.0 : std::stod(boxes.substr(at + std::strlen(key)));
    };
    std::string outside;
    double width = 0, height = 0;
    int page = 0;
    for (size_t line = 0; line < boxes.size(); line = boxes.find('\n', line) + 1) {
        const std::string head = boxes.substr(line, boxes.find('\n', line) - line);
        if (head.find("<page ") != std::string::npos) {
            ++page;
            width = number(line, "width=\"");
            height = number(line, "height=\"");
        } else if (head.find("<word ") != std::string::npos) {
            const double edge = 12.0 - 0.5;
            if (number(line, "xMin=\"") < edge || number(line, "yMin=\"") < edge ||
                number(line, "xMax=\"") > width - edge || number(line, "yMax=\"") > height - edge)
                outside += "page " + std::to_string(page) + ": " + head + "\n";
        }
        if (boxes.find('\n', line) == std::string::npos) break;
    }
    return outside;
}

// The words of a PDF that stand over another word of their page, in pairs
// with their page; empty when none does. The lines of a label stacked in
// one column (the same left edge) may share the gap between their boxes.
inline std::string WordsOverWords(const std::string& file) {
    struct TWord {
        double left, top, right, bottom;
        std::string text;
    };
    const std::string boxes = Shell("pdftotext -bbox '" + file + "' - 2>&1");
    auto number = [&](size_t line, const char* key) {
        const size_t at = boxes.find(key, line);
        return at == std::string::npos ? 0.0 : std::stod(boxes.substr(at + std::strlen(key)));
    };
    std::string over;
    std::vector<TWord> words;
    int page = 0;
    auto check = [&] {
        for (size_t i = 0; i < words.size(); ++i)
            for (size_t j = i + 1; j < words.size(); ++j) {
                const TWord &a = words[i], &b = words[j];
                if (std::abs(a.left - b.left) < 0.2) continue;
                const double across = std::min(a.right, b.right) - std::max(a.left, b.left);
                const double down = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
                if (across > 0.3 && down > 0.25 * std::min(a.bottom - a.top, b.bottom - b.top))
                    over += "page " + std::to_string(page) + ": " + a.text + " / " + b.text + "\n";
            }
        words.clear();
    };
    for (size_t line = 0; line < boxes.size(); line = boxes.find('\n', line) + 1) {
        const std::string head = boxes.substr(line, boxes.find('\n', line) - line);
        if (head.find("<page ") != std::string::npos) {
            check();
            ++page;
        } else if (head.find("<word ") != std::string::npos) {
            const size_t text = head.find('>') + 1;
            words.push_back({number(line, "xMin=\""), number(line, "yMin=\""), number(line, "xMax=\""),
                             number(line, "yMax=\""), head.substr(text, head.rfind("</word>") - text)});
        }
        if (boxes.find('\n', line) == std::string::npos) break;
    }
    check();
    return over;
}

// Renders every page at 60 dpi next to the PDF, to be looked at.
inline void Render(const std::string& file) {
    Shell("pdftoppm -r 60 -png '" + file + "' '" + file.substr(0, file.size() - 4) + "' 2>&1");
}

}  // namespace qttest
