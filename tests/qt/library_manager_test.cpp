// The library manager in a real window: a price typed into the grid reaches
// the library file when the row is left with the arrow key; the form is
// written to test-artefacts/library-manager.png.
#include "dialogs/library_manager.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <memory>

#include "app/estimate_page.h"
#include "cells/filters.h"
#include "cells/library_cells.h"
#include "core/libraries.h"
#include "core/options.h"
#include "qt/label_clash.h"
#include "qt/qt_test_support.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

using qttest::WindowOf;

TEST(QtLibraryManager, TypedPriceIsWrittenWhenTheRowIsLeft) {
    ScopedGlobals globals;
    FormatSettings().DecimalSeparator = ',';
    FormatSettings().ThousandSeparator = '.';
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    const std::string path = globals.Dir().File("prova.alb");
    ASSERT_TRUE(TLibreria::CreateFile(path));
    auto* library = new TLibreria;
    library->fileName = path;
    libraries.Get().Append(std::unique_ptr<TLibreria>(library));
    ASSERT_TRUE(library->Open(true));
    for (const char* code : {"A1", "B2", "C3"}) {
        TFiltroS cell(nullptr, 0, 0, 0, 0);
        cell.Code = code;
        cell.Category = "Filtri";
        cell.Brand = "Marca";
        cell.Series = "Serie";
        cell.Article = std::string("Filtro ") + code;
        cell.Description = "Filtro passa banda";
        cell.Price = 12.5f;
        ASSERT_TRUE(WriteLibraryCell(*library, cell));
    }
    library->Close();

    auto form = std::make_unique<TGestioneLibrerie>(nullptr);
    form->LibreriaEnter(nullptr);
    form->Libreria->ItemIndex = 0;
    form->LibreriaChange(nullptr);
    form->Show();
    qttest::Settle();

    TStringGrid* grid = form->Grid;
    const AnsiString code = grid->Cells[4][1];
    auto* line = qttest::EditCell(grid, 8, 1);
    ASSERT_EQ(grid->Col, 8);
    ASSERT_EQ(grid->Row, 1);
    ASSERT_NE(line, nullptr);
    QTest::keyClicks(line, "99,75");
    EXPECT_EQ(grid->Cells[0][1], "*");
    QTest::keyClick(line, Qt::Key_Down);
    qttest::Settle();
    EXPECT_EQ(grid->Row, 2);
    EXPECT_EQ(grid->Cells[0][1], "");
    EXPECT_EQ(AnsiString(grid->Cells[8][1]), PadLeft("99,75", LibraryPriceWidth));

    TLibreria reader;
    reader.fileName = path;
    ASSERT_TRUE(reader.Open(false));
    std::unique_ptr<TCella> read = ReadLibraryCell(reader, code);
    ASSERT_NE(read, nullptr);
    EXPECT_FLOAT_EQ(read->Price, 99.75f);

    EXPECT_EQ(qttest::Lines(qttest::HiddenLabels(form.get())), "");
    const QImage shot = WindowOf(form.get())->grab().toImage();
    EXPECT_GT(qttest::Colours(shot), 3);
    EXPECT_TRUE(shot.save(QString::fromStdString(qttest::Artefact("library-manager.png"))));
}
