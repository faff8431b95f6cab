// One form holding every kind of control, written as the program's forms
// are, whose handlers run headless; the form frees everything it owns.
#include <gtest/gtest.h>

#include <memory>

#include "platform/application.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/grids.h"
#include "platform/menus.h"

namespace {

class TSchedaProva : public TForm {
public:
    explicit TSchedaProva(TComponent* owner) : TForm(owner) {
        Caption = "Prova";
        SetBounds(0, 0, 800, 600);
        Menu = new TMainMenu(this);
        Voce = new TMenuItem(this);
        Voce->Caption = "&Salva";
        Voce->ShortCut = ::ShortCut('S', TShiftState{ssCtrl});
        Voce->OnClick = Handler(this, &TSchedaProva::SalvaClick);
        Menu.Get()->Items->Add(Voce);
        Barra = Add<TStatusBar>(this);
        Barra->Panels->Add();
        Schede = Add<TPageControl>(this);
        Schede->SetBounds(0, 0, 780, 500);
        Generale = new TTabSheet(this);
        Generale->Caption = "Generale";
        Generale->PageControl = Schede;
        Dati = new TTabSheet(this);
        Dati->Caption = "Dati";
        Dati->PageControl = Schede;
        Schede->OnChange = [this](TObject*) { Log("pagina " + std::to_string(Schede->ActivePageIndex())); };

        Etichetta = Add<TLabel>(Generale);
        Etichetta->Caption = "&Descrizione";
        Descrizione = Add<TEdit>(Generale);
        Descrizione->MaxLength = 29;
        Descrizione->OnChange = Handler(this, &TSchedaProva::DescrizioneChange);
        Etichetta->FocusControl = Descrizione;
        Note = Add<TMemo>(Generale);
        Resoconto = Add<TRichEdit>(Generale);
        Gruppo = Add<TGroupBox>(Generale);
        Gruppo->Caption = "Dati elettrici";
        Alimenta = Add<TCheckBox>(Gruppo);
        Alimenta->OnClick = [this](TObject*) { Log("alimenta " + std::to_string(Alimenta->State)); };
        Ingressi = Add<TRadioButton>(Gruppo);
        Uscite = Add<TRadioButton>(Gruppo);
        Uscite->OnClick = [this](TObject*) { Log("uscite"); };
        Pannello = Add<TPanel>(Generale);
        Pannello->BevelOuter = bvLowered;
        Riga = Add<TBevel>(Pannello);
        Strumenti[0] = Add<TSpeedButton>(Pannello);
        Strumenti[1] = Add<TSpeedButton>(Pannello);
        for (TSpeedButton* s : Strumenti) s->GroupIndex = 1;
        Strumenti[1]->OnClick = [this](TObject*) { Log("strumento"); };
        Connettore = Add<TComboBox>(Generale);
        Connettore->Style = csDropDownList;
        for (const char* s : {"Morsetto", "F", "IEC"}) Connettore->Items->Add(s);
        Connettore->OnChange = [this](TObject*) { Log("connettore " + Connettore->Text.Get()); };
        Messaggi = Add<TListBox>(Generale);
        Messaggi->OnClick = [this](TObject*) { Log("messaggio " + std::to_string(Messaggi->ItemIndex)); };
        Distanza = Add<TEdit>(Generale);
        Frecce = Add<TUpDown>(Generale);
        Frecce->Associate = Distanza;
        Frecce->OnClick = [this](TObject*, TUDBtnType) { Log("frecce " + Distanza->Text.Get()); };
        Scorrimento = Add<TScrollBar>(Generale);
        Scorrimento->OnChange = [this](TObject*) {
            Log("scorrimento " + std::to_string(Scorrimento->Position));
        };
        Avanzamento = Add<TProgressBar>(Generale);
        Striscia = Add<TPageScroller>(Generale);
        auto moduli = Add<TPanel>(Striscia);
        moduli->Width = 680;
        Striscia->Control = moduli;
        Schede2 = Add<TTabControl>(Generale);
        Schede2->Tabs->Add("Rete");
        Schede2->Tabs->Add("Testa");
        Schede2->OnChange = [this](TObject*) { Log("scheda " + std::to_string(Schede2->TabIndex)); };

        Canali = Add<TStringGrid>(Dati);
        Canali->Options = Canali->Options << goEditing;
        Canali->OnSetEditText = [this](TObject*, int c, int r, const AnsiString& v) {
            Log("cella " + std::to_string(c) + "," + std::to_string(r) + "=" + v);
        };
        Schema = Add<TDrawGrid>(Dati);
        Schema->OnDrawCell = [this](TObject*, int, int, TRect, TGridDrawState) { ++celleDisegnate; };
        Albero = Add<TTreeView>(Dati);
        Albero->OnChange = [this](TObject*, TTreeNode* n) { Log("nodo " + n->Text.Get()); };
        Icone = new TImageList(this);
        Albero->StateImages = Icone;
        Scatola = Add<TScrollBox>(Dati);
        Immagine = Add<TImage>(Scatola);
        Immagine->SetBounds(0, 0, 453, 1900);
        Immagine->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int x, int y) {
            Log("immagine " + std::to_string(x) + "," + std::to_string(y));
        };
        Menu2 = new TPopupMenu(this);
        auto elimina = new TMenuItem(this);
        elimina->Caption = "&Elimina";
        elimina->OnClick = [this](TObject*) { Log("elimina"); };
        Menu2->Items->Add(elimina);
        Schema->PopupMenu = Menu2;
        Orologio = new TTimer(this);
        Orologio->Interval = 1000;
        Orologio->OnTimer = [this](TObject*) { Log("tic"); };
    }

    template <class T>
    T* Add(TWinControl* parent) {
        T* c = new T(this);
        c->Parent = parent;
        return c;
    }
    void Log(const std::string& s) { log.push_back(s); }
    void DescrizioneChange(TObject*) { Log("descrizione " + Descrizione->Text.Get()); }
    void SalvaClick(TObject*) {
        Application->MessageBox("Salvare le modifiche apportate al progetto?", Application->Title,
                                MB_YESNOCANCEL | MB_ICONQUESTION);
    }

    std::vector<std::string> log;
    int celleDisegnate = 0;
    TMenuItem* Voce;
    TStatusBar* Barra;
    TPageControl* Schede;
    TTabSheet *Generale, *Dati;
    TLabel* Etichetta;
    TEdit* Descrizione;
    TMemo* Note;
    TRichEdit* Resoconto;
    TGroupBox* Gruppo;
    TCheckBox* Alimenta;
    TRadioButton *Ingressi, *Uscite;
    TPanel* Pannello;
    TBevel* Riga;
    TSpeedButton* Strumenti[2];
    TComboBox* Connettore;
    TListBox* Messaggi;
    TEdit* Distanza;
    TUpDown* Frecce;
    TScrollBar* Scorrimento;
    TProgressBar* Avanzamento;
    TPageScroller* Striscia;
    TTabControl* Schede2;
    TStringGrid* Canali;
    TDrawGrid* Schema;
    TTreeView* Albero;
    TImageList* Icone;
    TScrollBox* Scatola;
    TImage* Immagine;
    TPopupMenu* Menu2;
    TTimer* Orologio;
};

}  // namespace

TEST(EveryControl, AFormHoldingEveryControlKindRunsItsHandlersHeadless) {
    Application->Script().Reset();
    Application->Title = "Ordivex Varne";
    auto f = std::make_unique<TSchedaProva>(nullptr);
    f->Show();
    // The first control in tab order that takes the focus, past the row of
    // tabs: the first field of the page shown.
    EXPECT_FALSE(f->Schede->Focused());
    ASSERT_NE(f->FocusedControl(), nullptr);
    EXPECT_EQ(f->FocusedControl(), f->FindNextControl(f->Schede, true, true));
    EXPECT_TRUE(f->Schede->ContainsControl(f->FocusedControl()));

    f->Descrizione->Text = "Presa";
    f->Alimenta->AllowGrayed = true;
    f->Alimenta->ClickAt(2, 2);
    f->Alimenta->ClickAt(2, 2);
    f->Uscite->ClickAt(2, 2);
    f->Strumenti[1]->ClickAt(2, 2);
    f->Connettore->SelectByUser(1);
    f->Messaggi->Items->Add("A1: livello basso");
    f->Messaggi->ClickAt(3, 3);
    f->Frecce->ClickButton(btNext);
    f->Scorrimento->Scroll(scPageDown);
    f->Schede2->SelectByUser(1);
    f->Schede->SelectByUser(1);
    f->Canali->Col = 2;
    f->Canali->Row = 1;
    f->Canali->EditorMode = true;
    f->Canali->InplaceEditor()->UserSet(f->Canali->InplaceEditor()->Text, AnsiString("21"));
    f->Albero->Items->Add(nullptr, "Varne");
    f->Albero->ClickAt(f->Albero->LayoutOf(f->Albero->Items->GetFirstNode()).Label.Left + 2, 3);
    f->Schema->Repaint();
    Application->Script().AnswerPopup("Elimina");
    f->Schema->RightClickAt(5, 5);
    f->Scatola->VertScrollBar->Position = 2000;
    f->Immagine->ClickAt(10, 10);
    Application->Script().AdvanceClock(2500);
    Application->Script().AnswerMessageBox(IDNO);
    f->SendKey('S', TShiftState{ssCtrl});

    EXPECT_EQ(f->log, (std::vector<std::string>{"descrizione Presa", "alimenta 2", "alimenta 1", "uscite",
                                                "strumento", "connettore F", "messaggio 0", "frecce 1",
                                                "scorrimento 1", "scheda 1", "pagina 1", "cella 2,1=21",
                                                "nodo Varne", "elimina", "immagine 10,10", "tic", "tic"}));
    EXPECT_GT(f->celleDisegnate, 0);
    EXPECT_EQ(f->Immagine->Top, -(1900 - f->Scatola->ClientHeight));  // scrolled as far as it goes
    // Message boxes are recorded with caption, text, buttons and icon.
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    const TMessageBoxCall& box = Application->Script().MessageBoxes[0];
    EXPECT_EQ(box.Text, "Salvare le modifiche apportate al progetto?");
    EXPECT_EQ(box.Caption, "Ordivex Varne");
    EXPECT_EQ(box.Flags & 0xF, MB_YESNOCANCEL);
    EXPECT_EQ(box.Flags & 0xF0, MB_ICONQUESTION);
    EXPECT_EQ(box.Answer, IDNO);

    // Everything the form owns goes with it (the sanitizer run checks for leaks).
    f.reset();
    Application->Script().AdvanceClock(5000);
    Application->Script().Reset();
}
