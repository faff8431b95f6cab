// Common dialogs over Qt's own: files, directories, colours, printing.
#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QTreeView>

#include "platform/dialogs.h"
#include "platform/printers.h"
#include "platform/qt/qt_backend_impl.h"
#include "platform/qt/qt_printer.h"

namespace ovqt {

namespace {

QWidget* DialogParent() { return QApplication::activeWindow(); }

constexpr int FileDialogWidth = 860;
constexpr int FileDialogHeight = 520;

// "Progetti (*.ant)|*.ant|Tutti i file (*.*)|*.*" as Qt's name filters.
QStringList NameFilters(const AnsiString& filter) {
    QStringList parts = ToQString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i].trimmed();
        QStringList patterns;
        for (QString p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            patterns << (p == "*.*" ? QString("*") : p);
        }
        QString list = patterns.join(' ');
        // Qt reads the patterns from the last parentheses of the name.
        QString shown = parts[i + 1].trimmed();
        shown.replace(';', ' ');
        if (name.endsWith("(" + shown + ")")) name.chop(shown.size() + 2);
        out << name.trimmed() + " (" + list + ")";
    }
    return out;
}

// Qt's file list writes sizes and dates in the machine's own language and
// names a folder "Folder" whatever the translator says; the program's
// language is Italian (the locale the back end sets).
class ItalianFileColumns : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || !index.isValid())
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QFileInfo info = files->fileInfo(source);
        switch (index.column()) {
        case 1:
            if (!files->isDir(source)) return QLocale().formattedDataSize(info.size());
            break;
        case 2:
            if (files->isDir(source)) return QString::fromUtf8("Cartella");
            break;
        case 3: {
            const QDateTime modified = files->lastModified(source);
            if (modified.isValid()) return QLocale().toString(modified, QLocale::ShortFormat);
            break;
        }
        default: break;
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// The files listed with their size, type and date in Italian, each column
// as wide as what it shows (a size is never cut short), the name taking what
// is left.
void ShowFilesInFull(QFileDialog& dialog) {
    dialog.setProxyModel(new ItalianFileColumns(&dialog));
    dialog.setViewMode(QFileDialog::Detail);
    dialog.resize(std::max(dialog.width(), FileDialogWidth), std::max(dialog.height(), FileDialogHeight));
    auto* tree = dialog.findChild<QTreeView*>("treeView");
    if (!tree) return;
    QHeaderView* header = tree->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

bool RunFileDialog(TOpenDialog& d, bool save) {
    QFileDialog dialog(DialogParent());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setWindowTitle(d.Title.empty() ? QString::fromUtf8(save ? "Salva con nome" : "Apri")
                                          : ToQString(d.Title));
    if (d.Options.Contains(ofAllowMultiSelect) && !save)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else if (!save && d.Options.Contains(ofFileMustExist))
        dialog.setFileMode(QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    if (save && !d.Options.Contains(ofOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters = NameFilters(d.Filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        int index = std::clamp(d.FilterIndex, 1, static_cast<int>(filters.size())) - 1;
        dialog.selectNameFilter(filters[index]);
    }
    if (!d.DefaultExt.empty()) {
        QString ext = ToQString(d.DefaultExt);
        if (ext.startsWith('.')) ext.remove(0, 1);
        dialog.setDefaultSuffix(ext);
    }
    QString name = ToQString(d.FileName);
    QString dir = ToQString(d.InitialDir);
    if (!name.isEmpty() && QFileInfo(name).isAbsolute()) {
        dialog.setDirectory(QFileInfo(name).absolutePath());
        dialog.selectFile(QFileInfo(name).fileName());
    } else {
        if (!dir.isEmpty()) dialog.setDirectory(dir);
        if (!name.isEmpty()) dialog.selectFile(name);
    }
    ShowFilesInFull(dialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    d.Files->Clear();
    for (const QString& f : chosen) d.Files->Add(FromQString(f));
    d.FileName = FromQString(chosen.front());
    int index = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    if (index >= 0) d.FilterIndex = index + 1;
    return true;
}

// Custom colours are kept as "ColorA=BBGGRR" lines, A to P.
void LoadCustomColors(const TStringList& list) {
    for (int i = 0; i < list.Count(); ++i) {
        const AnsiString& line = list[i];
        if (line.size() < 8 || line.compare(0, 5, "Color") != 0 || line[6] != '=') continue;
        int slot = line[5] - 'A';
        if (slot < 0 || slot >= QColorDialog::customCount()) continue;
        bool ok = false;
        unsigned value = QString::fromStdString(line.substr(7)).toUInt(&ok, 16);
        if (ok) QColorDialog::setCustomColor(slot, ToQColor(static_cast<TColor>(value & 0xFFFFFF)));
    }
}

void SaveCustomColors(TStringList& list) {
    list.Clear();
    for (int i = 0; i < QColorDialog::customCount() && i < 16; ++i) {
        TColor c = FromQColor(QColorDialog::customColor(i));
        char line[32];
        std::snprintf(line, sizeof line, "Color%c=%06X", 'A' + i, static_cast<unsigned>(c) & 0xFFFFFFu);
        list.Add(line);
    }
}

}  // namespace

TQtPrinterPeer* TQtBackend::PrinterPeer() {
    (void)Printer();  // made at first use, with its peer
    return printer_;
}

TPrinterPeer* TQtBackend::CreatePrinterPeer(TPrinter*) {
    auto* peer = new TQtPrinterPeer;
    printer_ = peer;
    peer->OnGone = [this, peer] {
        if (printer_ == peer) printer_ = nullptr;
    };
    return peer;
}

bool TQtBackend::ExecuteOpenDialog(TOpenDialog& d) { return RunFileDialog(d, false); }

bool TQtBackend::ExecuteSaveDialog(TSaveDialog& d) { return RunFileDialog(d, true); }

bool TQtBackend::SelectDirectory(const AnsiString& caption, const AnsiString& root, AnsiString& directory) {
    QString start = ToQString(directory.empty() ? root : directory);
    QString chosen =
        QFileDialog::getExistingDirectory(DialogParent(), ToQString(caption), start,
                                          QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (chosen.isEmpty()) return false;
    directory = FromQString(chosen);
    return true;
}

bool TQtBackend::ExecuteColorDialog(TColorDialog& d) {
    LoadCustomColors(*d.CustomColors);
    QColorDialog dialog(ToQColor(d.Color), DialogParent());
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (!d.Title.empty()) dialog.setWindowTitle(ToQString(d.Title));
    bool accepted = dialog.exec() == QDialog::Accepted;
    if (accepted) d.Color = FromQColor(dialog.selectedColor());
    SaveCustomColors(*d.CustomColors);
    return accepted;
}

namespace {

// The model's printer follows what a dialog chose on Qt's printer.
void TakePrinterSettings(TQtPrinterPeer& peer) {
    TPrinter* p = Printer();
    int device = peer.DeviceOfPrinter();
    if (peer.Printer().outputFormat() == QPrinter::PdfFormat) {
        peer.PrepareForPdf();
        // Qt's print dialog has asked before it lets an existing file be chosen.
        peer.SetPdfFile(peer.Printer().outputFileName(), true);
    }
    // The sheet or the printer may have changed: the model measures pages anew.
    p->SetDevices(peer.Devices());
    p->SetPrinterIndex(std::clamp(device, 0, p->Printers->Count() - 1));
    p->Orientation =
        peer.Printer().pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
}

void GivePrinterSettings(TQtPrinterPeer& peer) {
    TPrinter* p = Printer();
    peer.SelectDevice(p->PrinterIndex() < 0 ? peer.DefaultDevice() : p->PrinterIndex());
    peer.Printer().setPageOrientation(p->Orientation == poLandscape ? QPageLayout::Landscape
                                                                    : QPageLayout::Portrait);
    peer.Printer().setCopyCount(std::max(1, p->Copies));
}

// Qt's print dialog asks on its own, in its own words, before it lets an
// existing file be printed over, and offers no option to leave that to the
// program. While it runs, its question is put in the program's words (title,
// text and buttons of the question the printer asks of a file named
// elsewhere), so that the person meets one question, always the same. The
// answer still goes to the dialog: "No" keeps it open for another name.
class TReplaceQuestionInOurWords : public QObject {
public:
    explicit TReplaceQuestionInOurWords(QPrintDialog& dialog) : dialog_(dialog) {
        qApp->installEventFilter(this);
    }
    ~TReplaceQuestionInOurWords() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* box = qobject_cast<QMessageBox*>(watched); box && IsDialogsQuestion(*box)) Reword(*box);
        return false;
    }

private:
    bool IsDialogsQuestion(const QMessageBox& box) const {
        if (box.standardButtons() != (QMessageBox::Yes | QMessageBox::No)) return false;
        for (const QWidget* w = box.parentWidget(); w; w = w->parentWidget())
            if (w == &dialog_) return true;
        return false;
    }
    void Reword(QMessageBox& box) const {
        const auto* name = dialog_.findChild<QLineEdit*>("filename");
        if (!name || name->text().isEmpty()) return;
        box.setWindowTitle(ToQString(Application->Title));
        box.setTextFormat(Qt::PlainText);
        box.setText(ToQString(ReplaceFileQuestion(name->text())));
        box.setInformativeText(QString());
        box.setIcon(QMessageBox::Question);
        box.button(QMessageBox::Yes)->setText(QString::fromUtf8("Sì"));
        box.button(QMessageBox::No)->setText(QString::fromUtf8("No"));
        box.setDefaultButton(QMessageBox::No);
    }

    QPrintDialog& dialog_;
};

}  // namespace

bool TQtBackend::ExecutePrintDialog(TPrintDialog& d) {
    TQtPrinterPeer* peer = PrinterPeer();
    if (!peer) return false;
    GivePrinterSettings(*peer);
    QPrinter& qp = peer->Printer();
    qp.setCopyCount(std::max(1, d.Copies));
    // The document's own name is offered for a file, not the last one printed.
    if (!Printer()->FileName.empty()) {
        qp.setDocName(ToQString(Printer()->FileName));
        if (qp.outputFormat() == QPrinter::PdfFormat) qp.setOutputFileName(peer->OfferedFile(Printer()->FileName));
    }
    QPrintDialog dialog(&qp, DialogParent());
    if (!d.Title.empty()) dialog.setWindowTitle(ToQString(d.Title));
    QAbstractPrintDialog::PrintDialogOptions options =
        QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize;
    if (d.MaxPage > d.MinPage || d.MaxPage > 0) {
        options |= QAbstractPrintDialog::PrintPageRange;
        dialog.setMinMax(std::max(1, d.MinPage), std::max(std::max(1, d.MinPage), d.MaxPage));
        if (d.PrintRange == prPageNums) {
            dialog.setPrintRange(QAbstractPrintDialog::PageRange);
            dialog.setFromTo(std::max(1, d.FromPage), std::max(std::max(1, d.FromPage), d.ToPage));
        }
    }
    dialog.setOptions(options);
    bool accepted;
    {
        const TReplaceQuestionInOurWords question(dialog);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (!accepted) return false;
    d.Copies = qp.copyCount();
    switch (dialog.printRange()) {
    case QAbstractPrintDialog::PageRange:
        d.PrintRange = prPageNums;
        d.FromPage = dialog.fromPage();
        d.ToPage = dialog.toPage();
        break;
    case QAbstractPrintDialog::Selection: d.PrintRange = prSelection; break;
    default: d.PrintRange = prAllPages; break;
    }
    TakePrinterSettings(*peer);
    Printer()->Copies = d.Copies;
    return true;
}

bool TQtBackend::ExecutePrinterSetupDialog(TPrinterSetupDialog& d) {
    TQtPrinterPeer* peer = PrinterPeer();
    if (!peer) return false;
    GivePrinterSettings(*peer);
    QPageSetupDialog dialog(&peer->Printer(), DialogParent());
    if (!d.Title.empty()) dialog.setWindowTitle(ToQString(d.Title));
    if (dialog.exec() != QDialog::Accepted) return false;
    TakePrinterSettings(*peer);
    return true;
}

}  // namespace ovqt
