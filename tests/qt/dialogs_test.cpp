// Common dialogs over Qt's own: what the person chooses reaches the dialog objects.
#include "platform/dialogs.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QFileDialog>
#include <QLineEdit>

#include "qt/qt_test_support.h"

using qttest::Later;

namespace {

// Answers the next file dialog with a name typed into it.
void TypeIntoFileDialog(const QString& name, QStringList* filters = nullptr, QString* title = nullptr) {
    Later([=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
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
    Later([] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->reject();
    });
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
    Later([&] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
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
    Later([&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });
    ASSERT_TRUE(SelectDirectory("Cartella dei listini", "", chosen));
    EXPECT_EQ(chosen, dir);
}
