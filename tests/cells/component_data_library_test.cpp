// The component-data form and the libraries: the auxiliary rows pick an
// article by category and code, and the "Libreria" group loads, adds,
// rewrites and removes entries of the edited component's kind.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "cells/active_filters.h"
#include "cells/factory.h"
#include "cells/library_cells.h"
#include "cells/sources.h"
#include "core/libraries.h"
#include "cells/component_data.h"
#include "platform/application.h"
#include "support/dialog_fixture.h"
#include "support/file_bytes.h"
#include "support/globals_fixture.h"
#include "support/record_bytes.h"

namespace {

using Person = std::function<void(TDatiComponenti&)>;

void Answer(const Person& person) { Application->Script().AnswerShowModal<TDatiComponenti>(person); }

void Type(TComboBox* combo, const char* text) { combo->UserSet(combo->Text, AnsiString(text)); }

void Pick(TComboBox* combo, const char* text) {
    const int i = combo->Items->IndexOf(text);
    ASSERT_GE(i, 0) << text;
    combo->SelectByUser(i);
}

std::unique_ptr<TCella> Converter(int32_t outputs, const char* code, const char* description) {
    std::unique_ptr<TCella> cell(NewCella(nullptr, 39, 0, 0, 0, outputs, 0));
    cell->Code = code;
    cell->Category = "Convertitori";
    cell->Description = description;
    return cell;
}

int32_t I32At(const std::string& bytes, size_t offset) {
    int32_t v = 0;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}

class ComponentDataLibrary : public GlobalsTest {
protected:
    ScopedPrototypes prototypes;
    ScopedLibraries libraries;
    ScopedComponentDialog dialog;
    const std::string path = globals.Dir().File("prova.alb");
    std::unique_ptr<TCella> cell = Converter(4, "", "");

    ComponentDataLibrary() {
        Application->Script().Reset();
        EXPECT_TRUE(TLibreria::CreateFile(path, true));
        auto* library = new TLibreria;
        library->fileName = path;
        libraries.Get().Append(std::unique_ptr<TLibreria>(library));
        EXPECT_TRUE(library->Open(true));
        auto four = Converter(4, "Q4", "Quattro uscite");
        dynamic_cast<TSat&>(*four).WindThrust = 55.0f;
        EXPECT_TRUE(WriteLibraryCell(*library, *four));
        EXPECT_TRUE(WriteLibraryCell(*library, *Converter(4, "Q5", "Altro quattro")));
        EXPECT_TRUE(WriteLibraryCell(*library, *Converter(2, "D2", "Due uscite")));
        library->Close();
        cell->Described = 1;
    }

    TStringList Codes() {
        TLibreria l;
        l.fileName = path;
        TStringList codes;
        l.ListCodesOfCategory(codes, "");
        return codes;
    }
};

TEST_F(ComponentDataLibrary, AuxiliaryRowsPickAnArticleByCategoryAndCode) {
    TDatiComponenti& f = dialog.Get();
    for (int row = 0; row < 2; ++row) {
        f.AuxLibreria[row]->Text = "prova";
        f.AuxCategoria[row]->OnEnter(f.AuxCategoria[row]);
        ASSERT_EQ(f.AuxCategoria[row]->Items->Count(), 1);
        Pick(f.AuxCategoria[row], "Convertitori");
        f.AuxCodice[row]->OnEnter(f.AuxCodice[row]);
        EXPECT_EQ(f.AuxCodice[row]->Items->Count(), 3);
        Pick(f.AuxCodice[row], "D2");
        EXPECT_EQ(f.AuxQuantita[row]->Text.Get(), "1");
        EXPECT_EQ(f.AuxDescrizione[row]->Text.Get(), "Due uscite");
        // A typed code: the count stays open, the entry still fills the row.
        f.AuxCategoria[row]->Text = "";
        Type(f.AuxCodice[row], "Q4");
        EXPECT_EQ(f.AuxQuantita[row]->Text.Get(), "");
        EXPECT_EQ(f.AuxCategoria[row]->Text.Get(), "Convertitori");
        EXPECT_EQ(f.AuxDescrizione[row]->Text.Get(), "Quattro uscite");
        // Another category empties code, count and description.
        Type(f.AuxCategoria[row], "Altro");
        EXPECT_EQ(f.AuxCodice[row]->Text.Get(), "");
        EXPECT_EQ(f.AuxQuantita[row]->Text.Get(), "");
        EXPECT_EQ(f.AuxDescrizione[row]->Text.Get(), "");
    }
}

TEST_F(ComponentDataLibrary, AnEntryOfTheComponentsKindLoadsIntoTheForm) {
    Answer([](TDatiComponenti& d) {
        EXPECT_EQ(d.ComboLibreria->Text.Get(), "prova");
        d.ComboVoce->OnEnter(d.ComboVoce);
        ASSERT_EQ(d.ComboVoce->Items->Count(), 2);  // not the two-output one
        EXPECT_GE(d.ComboVoce->Items->IndexOf("Q4"), 0);
        EXPECT_GE(d.ComboVoce->Items->IndexOf("Q5"), 0);
        // Another kind's code, typed: refused by the reader, nothing changes.
        Type(d.ComboVoce, "D2");
        EXPECT_EQ(d.EditDescrizione->Text.Get(), "");
        EXPECT_FALSE(d.ButtonElimina->Enabled);
        Pick(d.ComboVoce, "Q4");
        EXPECT_EQ(d.EditDescrizione->Text.Get(), "Quattro uscite");
        EXPECT_EQ(d.EditSpinta->Text.Get(), "55");
        EXPECT_TRUE(d.ButtonElimina->Enabled);
        d.ButtonOk->Click();
    });
    EXPECT_TRUE(cell->OpenDataDialog());
    EXPECT_EQ(cell->Description, "Quattro uscite");
    EXPECT_FLOAT_EQ(dynamic_cast<TSat&>(*cell).WindThrust, 55.0f);
}

TEST_F(ComponentDataLibrary, AddUpdateAndDeleteGoThroughTheLibrarysWriters) {
    const auto& boxes = Application->Script().MessageBoxes;
    Answer([&](TDatiComponenti& d) {
        // "Aggiungi" needs a new code.
        d.ButtonAggiungi->Click();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes.back().Text, "E' necessario specificare il codice.");
        EXPECT_EQ(boxes.back().Caption, "Ordivex Varne");
        d.EditCodice->Text = "Q4";
        d.ButtonAggiungi->Click();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes.back().Text, "Il codice digitato è già esistente.");

        d.EditCodice->Text = "N1";
        d.EditDescrizione->Text = "Nuovo";
        d.ButtonAggiungi->Click();
        ASSERT_EQ(boxes.size(), 3u);
        EXPECT_EQ(boxes.back().Text, "L'articolo N1 è stato aggiunto alla libreria prova.");
        EXPECT_EQ(boxes.back().Flags, MB_OK | MB_ICONINFORMATION);
        EXPECT_EQ(d.ComboVoce->Text.Get(), "N1");
        EXPECT_GE(d.ComboVoce->Items->IndexOf("N1"), 0);
        EXPECT_TRUE(d.ButtonElimina->Enabled);

        // "Aggiorna" writes over the entry of that code.
        d.EditCodice->Text = "Q5";
        d.EditDescrizione->Text = "Aggiornato";
        d.ButtonAggiorna->Click();
        ASSERT_EQ(boxes.size(), 4u);
        EXPECT_EQ(boxes.back().Text, "L'articolo Q5 è stato aggiornato nella libreria prova.");
        d.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
    EXPECT_EQ(cell->Description, "");  // the library changed, the cell did not
    EXPECT_EQ(Codes().Count(), 4);
    std::unique_ptr<TCella> q5(GetLibraryCell(libraries.Get(), "prova", "Q5"));
    ASSERT_NE(q5, nullptr);
    EXPECT_EQ(q5->Description, "Aggiornato");
    std::unique_ptr<TCella> n1(GetLibraryCell(libraries.Get(), "prova", "N1"));
    ASSERT_NE(n1, nullptr);
    EXPECT_EQ(n1->Description, "Nuovo");

    // "Elimina" asks first: "No" keeps the article.
    Answer([&](TDatiComponenti& d) {
        d.ComboVoce->OnEnter(d.ComboVoce);
        Pick(d.ComboVoce, "Q4");
        const size_t before = boxes.size();
        Application->Script().AnswerMessageBox(IDNO);
        d.ButtonElimina->Click();
        ASSERT_EQ(boxes.size(), before + 1);
        EXPECT_EQ(boxes.back().Text, "Eliminare l'articolo Q4 dalla libreria prova?");
        EXPECT_EQ(boxes.back().Flags, MB_YESNO | MB_ICONQUESTION);
        EXPECT_TRUE(d.ButtonElimina->Enabled);
        EXPECT_EQ(d.ComboVoce->Text.Get(), "Q4");
        d.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
    EXPECT_EQ(Codes().Count(), 4);

    // "Sì" removes the loaded entry and says so; count and end offset follow.
    Answer([&](TDatiComponenti& d) {
        d.ComboVoce->OnEnter(d.ComboVoce);
        Pick(d.ComboVoce, "Q4");
        const size_t before = boxes.size();
        Application->Script().AnswerMessageBox(IDYES);
        d.ButtonElimina->Click();
        ASSERT_EQ(boxes.size(), before + 2);
        EXPECT_EQ(boxes[before].Text, "Eliminare l'articolo Q4 dalla libreria prova?");
        EXPECT_EQ(boxes.back().Text, "L'articolo Q4 è stato eliminato dalla libreria prova.");
        EXPECT_FALSE(d.ButtonElimina->Enabled);
        EXPECT_EQ(d.ComboVoce->Text.Get(), "");
        EXPECT_LT(d.ComboVoce->Items->IndexOf("Q4"), 0);
        d.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(I32At(bytes, 13), 3);
    EXPECT_EQ(I32At(bytes, 17), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(GetLibraryCell(libraries.Get(), "prova", "Q4"), nullptr);
}

// One form serves every component: after a four-output converter chose an
// article, a two-output one is offered its own articles only, with nothing
// chosen and "Elimina" off; a code of the other kind typed in loads nothing
// and leaves "Elimina" off.
TEST_F(ComponentDataLibrary, TheCodeListIsAlwaysTheShownComponents) {
    Answer([](TDatiComponenti& d) {
        d.ComboVoce->OnEnter(d.ComboVoce);
        Pick(d.ComboVoce, "Q4");
        EXPECT_TRUE(d.ButtonElimina->Enabled);
        d.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(cell->OpenDataDialog());

    std::unique_ptr<TCella> two = Converter(2, "", "");
    two->Described = 1;
    Answer([](TDatiComponenti& d) {
        // Without entering the code box again (it may keep the focus).
        EXPECT_EQ(d.ComboVoce->Text.Get(), "");
        ASSERT_EQ(d.ComboVoce->Items->Count(), 1);
        EXPECT_EQ(d.ComboVoce->Items->Strings(0), "D2");
        EXPECT_FALSE(d.ButtonElimina->Enabled);
        Type(d.ComboVoce, "Q4");
        EXPECT_EQ(d.EditDescrizione->Text.Get(), "");
        EXPECT_FALSE(d.ButtonElimina->Enabled);
        Pick(d.ComboVoce, "D2");
        EXPECT_EQ(d.EditDescrizione->Text.Get(), "Due uscite");
        EXPECT_TRUE(d.ButtonElimina->Enabled);
        d.ButtonAnnulla->Click();
    });
    EXPECT_FALSE(two->OpenDataDialog());
}

TEST_F(ComponentDataLibrary, AModuleEntryLoadsOntoTheModuleTabs) {
    {
        TLibreria* library = libraries.Get().Find("prova");
        ASSERT_TRUE(library->Open(true));
        std::unique_ptr<TCella> entry(NewCella(nullptr, 37, 0, 0, 1, 1, 0));
        entry->Code = "CV";
        auto& module = dynamic_cast<TFiltroAttivo&>(*entry).Module();
        module.slotLabel[2] = "Dal catalogo";
        module.stage->Set2(1, 0, 33.0f);
        EXPECT_TRUE(WriteLibraryCell(*library, *entry));
        library->Close();
    }
    std::unique_ptr<TCella> converter(NewCella(nullptr, 37, 0, 0, 1, 1, 0));
    converter->Described = 1;
    Answer([](TDatiComponenti& d) {
        d.TabModuli->SelectByUser(1);  // the output amplifier shown
        d.ComboVoce->OnEnter(d.ComboVoce);
        ASSERT_EQ(d.ComboVoce->Items->Count(), 1);
        Pick(d.ComboVoce, "CV");
        EXPECT_EQ(d.ShownAmplifierTab, 1);  // the same tab, refilled
        d.TabModuli->SelectByUser(2);
        EXPECT_EQ(d.ValueEdit[2][0]->Text.Get(), "33");
        EXPECT_EQ(d.EditDescrizioneModulo->Text.Get(), "Dal catalogo");
        d.ButtonOk->Click();
    });
    EXPECT_TRUE(converter->OpenDataDialog());
    EXPECT_EQ(dynamic_cast<TFiltroAttivo&>(*converter).Module().slotLabel[2], "Dal catalogo");
}

}  // namespace
