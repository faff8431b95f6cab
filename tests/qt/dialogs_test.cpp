// Common dialogs over Qt's own: what the person chooses reaches the dialog objects.
#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QColorDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTreeView>
#include <filesystem>
#include <fstream>

#include "qt/qt_test_support.h"

namespace {

// Answers the next file dialog with a name typed into it.
// Runs fn with Qt's file dialog once it is in front.
void WhenFileDialogShown(std::function<void(QFileDialog*)> fn) {
    qttest::WhenShown(
        "the file dialog",
        [] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr; },
        [fn = std::move(fn)] { fn(qobject_cast<QFileDialog*>(QApplication::activeModalWidget())); });
}

void TypeIntoFileDialog(const QString& name, QStringList* filters = nullptr, QString* title = nullptr) {
    WhenFileDialogShown([=](QFileDialog* dialog) {
        if (filters) *filters = dialog->nameFilters();
        if (title) *title = dialog->windowTitle();
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText(name);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
}

}  // namespace

TEST(QtDialogs, SaveDialogAddsTheDefaultExtensionAndReadsTheFilter) {
    std::string dir = qttest::Artefact("dialogs");
    ForceDirectories(dir);
    TSaveDialog d(nullptr);
    d.Filter = "Progetti (*.ant)|*.ant|Tutti i file (*.*)|*.*";
    d.DefaultExt = "ant";
    d.InitialDir = dir;
    d.Title = "Salva il progetto";
    QStringList filters;
    QString title;
    TypeIntoFileDialog("condominio", &filters, &title);
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName, dir + "/condominio.ant");
    EXPECT_EQ(d.Files->Count(), 1);
    EXPECT_EQ(filters, QStringList({"Progetti (*.ant)", "Tutti i file (*)"}));
    EXPECT_EQ(title, "Salva il progetto");
    EXPECT_EQ(d.FilterIndex, 1);
}

TEST(QtDialogs, OpenDialogCancelledKeepsTheName) {
    TOpenDialog d(nullptr);
    d.FileName = "vecchio.ant";
    WhenFileDialogShown([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(d.FileName, "vecchio.ant");
}

TEST(QtDialogs, OpenDialogChoosesAnExistingFile) {
    std::string dir = qttest::Artefact("dialogs");
    ForceDirectories(dir);
    std::string file = dir + "/esistente.ant";
    {
        TFileStream f(file, fmCreate);
        f.WriteBuffer("x", 1);
    }
    TOpenDialog d(nullptr);
    d.InitialDir = dir;
    d.Options << ofFileMustExist;
    TypeIntoFileDialog("esistente.ant");
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName, file);
}

TEST(QtDialogs, ColourDialogAnswersTheColourAndKeepsCustomColours) {
    TColorDialog d(nullptr);
    d.Color = clRed;
    d.CustomColors->Add("ColorA=00FF00");
    QColor shown;
    qttest::WhenShown(
        "the colour dialog",
        [] { return qobject_cast<QColorDialog*>(QApplication::activeModalWidget()) != nullptr; },
        [&] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            shown = dialog->currentColor();
            dialog->setCurrentColor(QColor(10, 20, 30));
            dialog->accept();
        });
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(shown, QColor(Qt::red));
    EXPECT_EQ(d.Color, RGB(10, 20, 30));
    ASSERT_GE(d.CustomColors->Count(), 1);
    EXPECT_EQ((*d.CustomColors)[0], "ColorA=00FF00");
}

TEST(QtDialogs, DirectoryChooserAnswersTheDirectory) {
    std::string dir = qttest::Artefact("dialogs");
    ForceDirectories(dir);
    AnsiString chosen = dir;
    WhenFileDialogShown(
        [&](QFileDialog* dialog) { QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection); });
    ASSERT_TRUE(SelectDirectory("Cartella dei listini", "", chosen));
    EXPECT_EQ(chosen, dir);
}

namespace {

// The text a header or a view shows for a model index, as drawn.
QString Shown(const QAbstractItemModel* model, int row, int column, const QModelIndex& parent) {
    return model->data(model->index(row, column, parent), Qt::DisplayRole).toString();
}

}  // namespace

// Qt's own file dialog in Italian whatever the machine's language: its
// labels, buttons and column headers, the types of a folder and of a file of
// no known type, and a size written whole in a column wide enough for it.
// Screenshot: file-dialog-italian.png.
TEST(QtDialogs, FileDialogSpeaksItalianAndShowsSizesWhole) {
    const std::string dir = qttest::Artefact("dialogs-italian");
    std::filesystem::remove_all(dir);
    ForceDirectories(dir + "/Impianti");
    {
        std::ofstream big(dir + "/condominio.ant", std::ios::binary);
        big << std::string(175 * 1024 + 300, 'x');
        std::ofstream(dir + "/note.zzq", std::ios::binary) << std::string("\xff", 1);
    }
    TOpenDialog d(nullptr);
    d.InitialDir = dir;
    d.Filter = "Tutti i file (*.*)|*.*";
    QStringList labels, headers;
    QString folderType, unknownType, size, sizeHeader, date, oneByte;
    int sizeWidth = 0, sizeRoom = 0;
    bool shot = false;
    WhenFileDialogShown([&](QFileDialog* dialog) {
        auto* tree = dialog->findChild<QTreeView*>("treeView");
        ASSERT_NE(tree, nullptr);
        // The folder's rows, and then their sizes, types and dates, come
        // from a thread of Qt's own: awaited until every one is there.
        const QAbstractItemModel* model = tree->model();
        const auto filled = [&] {
            const QModelIndex root = tree->rootIndex();
            if (model->rowCount(root) < 3) return false;
            for (int row = 0; row < model->rowCount(root); ++row)
                for (int column = 1; column < 4; ++column)
                    // A folder has no size.
                    if (Shown(model, row, column, root).isEmpty() &&
                        !(column == 1 && Shown(model, row, 0, root) == "Impianti"))
                        return false;
            return true;
        };
        EXPECT_TRUE(qttest::WaitUntil(filled)) << "the file dialog's rows";
        qttest::Settle();
        for (auto* label : dialog->findChildren<QLabel*>())
            if (label->isVisible()) labels << label->text();
        for (auto* button : dialog->findChildren<QAbstractButton*>())
            if (button->isVisible()) labels << button->text();
        for (int c = 0; c < tree->header()->count(); ++c)
            headers << model->headerData(c, Qt::Horizontal).toString();
        const QModelIndex root = tree->rootIndex();
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QString name = Shown(model, row, 0, root);
            if (name == "Impianti") folderType = Shown(model, row, 2, root);
            if (name == "note.zzq") unknownType = Shown(model, row, 2, root);
            if (name == "condominio.ant") size = Shown(model, row, 1, root);
            if (name == "condominio.ant") date = Shown(model, row, 3, root);
            if (name == "note.zzq") oneByte = Shown(model, row, 1, root);
        }
        sizeHeader = headers.value(1);
        sizeWidth = tree->fontMetrics().horizontalAdvance(size);
        sizeRoom = tree->header()->sectionSize(1);
        shot = dialog->grab().save(QString::fromStdString(qttest::Artefact("file-dialog-italian.png")));
        dialog->reject();
    });
    EXPECT_FALSE(d.Execute());
    EXPECT_TRUE(shot);
    const QString all = labels.join('|');
    EXPECT_TRUE(all.contains("Cerca in")) << all.toStdString();
    EXPECT_TRUE(all.contains("Apri")) << all.toStdString();
    EXPECT_TRUE(all.contains("Annulla")) << all.toStdString();
    EXPECT_FALSE(all.contains("Look in") || all.contains("Cancel") || all.contains("File name"))
        << all.toStdString();
    EXPECT_EQ(headers.value(0), "Nome") << headers.join('|').toStdString();
    EXPECT_EQ(sizeHeader, "Dimensione");
    EXPECT_EQ(headers.value(2), "Tipo");
    EXPECT_EQ(folderType, "Cartella");
    EXPECT_FALSE(unknownType.isEmpty());
    // The type of a file of no known kind in the locale's words, not Qt's own.
    EXPECT_NE(unknownType, "unknown") << unknownType.toStdString();
    // The Italian decimal comma, and the date in Italian order with no English month.
    EXPECT_EQ(size, QString::fromUtf8("175,29 KiB")) << size.toStdString();
    EXPECT_TRUE(QRegularExpression("^\\d{2}/\\d{2}/\\d{2} \\d{2}:\\d{2}$").match(date).hasMatch())
        << date.toStdString();
    EXPECT_EQ(oneByte, "1 byte");
    // The size stands whole in its column (cell margins included).
    EXPECT_GT(sizeRoom, sizeWidth + 8) << sizeRoom << " " << sizeWidth;
}
