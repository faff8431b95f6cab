// Forms, focus and keyboard, modal forms and the scripted stand-in, timers,
// menus, drag and drop, ownership and the peer protocol.
#include "platform/forms.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "platform/application.h"
#include "platform/menus.h"

namespace {

class Platform : public ::testing::Test {
protected:
    void SetUp() override { Application->Script().Reset(); }
    void TearDown() override { Application->Script().Reset(); }
};

// A small dialog: two edits, a check box inside a panel, OK and Cancel.
class TDialogo : public TForm {
public:
    explicit TDialogo(TComponent* owner) : TForm(owner) {
        Caption = "Dati";
        Nome = new TEdit(this);
        Nome->Parent = this;
        Pannello = new TPanel(this);
        Pannello->Parent = this;
        Attivo = new TCheckBox(Pannello);
        Attivo->Parent = Pannello;
        Valore = new TEdit(this);
        Valore->Parent = this;
        BOk = new TButton(this);
        BOk->Parent = this;
        BOk->Caption = "Ok";
        BOk->Default = true;
        BOk->ModalResult = mrOk;
        BOk->OnClick = Handler(this, &TDialogo::BOkClick);
        BAnnulla = new TButton(this);
        BAnnulla->Parent = this;
        BAnnulla->Caption = "Annulla";
        BAnnulla->Cancel = true;
        BAnnulla->ModalResult = mrCancel;
    }
    // Keeps the form open while the name is empty.
    void BOkClick(TObject*) {
        if (Nome->Text.Get().empty()) {
            Application->MessageBox("Manca il nome", "Ordivex Varne", MB_OK | MB_ICONEXCLAMATION);
            ModalResult = mrNone;
        }
    }
    TEdit* Nome;
    TPanel* Pannello;
    TCheckBox* Attivo;
    TEdit* Valore;
    TButton* BOk;
    TButton* BAnnulla;
};

class TAltroDialogo : public TForm {
public:
    explicit TAltroDialogo(TComponent* owner) : TForm(owner) {}
};

std::vector<std::string> log;

}  // namespace

// ---------------------------------------------------------------- modal forms

TEST_F(Platform, AModalFormAnsweredByTheStandInReturnsItsModalResult) {
    auto form = std::make_unique<TDialogo>(nullptr);
    Application->Script().AnswerShowModal<TDialogo>([](TDialogo& f) {
        f.Nome->Text = "Antenna";
        f.BOk->Click();
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_FALSE(form->Visible);
    ASSERT_EQ(Application->Script().ModalForms.size(), 1u);
    EXPECT_EQ(Application->Script().ModalForms[0].Type, std::type_index(typeid(TDialogo)));
    EXPECT_EQ(Application->Script().ModalForms[0].Result, mrOk);
    EXPECT_TRUE(Application->Script().ModalForms[0].Scripted);

    // A plain result, and an answer for another class that this form does not take.
    Application->Script().AnswerShowModal<TAltroDialogo>(mrOk);
    Application->Script().AnswerShowModal<TDialogo>(mrIgnore);
    EXPECT_EQ(form->ShowModal(), mrIgnore);
    // Nobody answers: the person closes the form.
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_FALSE(Application->Script().ModalForms.back().Scripted);
}

TEST_F(Platform, AnOkHandlerThatKeepsTheFormOpenIsDrivenStepByStep) {
    auto form = std::make_unique<TDialogo>(nullptr);
    int closes = 0;
    form->OnClose = [&](TObject*, TCloseAction&) { ++closes; };
    Application->Script().AnswerShowModal<TDialogo>([&](TDialogo& f) {
        f.BOk->Click();  // the name is empty: the handler keeps the form open
        EXPECT_EQ(f.ModalResult, mrNone);
        EXPECT_FALSE(f.CheckModalEnd());
        EXPECT_EQ(closes, 0);
        f.Nome->Text = "Presa";
        f.BOk->Click();
        EXPECT_TRUE(f.CheckModalEnd());
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(closes, 1);
    ASSERT_EQ(Application->Script().MessageBoxes.size(), 1u);
    EXPECT_EQ(Application->Script().MessageBoxes[0].Text, "Manca il nome");
}

TEST_F(Platform, CloseQueryCanRefuseAndAStuckFormIsAScriptError) {
    auto form = std::make_unique<TDialogo>(nullptr);
    bool allow = false;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = allow; };
    Application->Script().AnswerShowModal<TDialogo>([&](TDialogo& f) {
        f.ModalResult = mrOk;
        EXPECT_FALSE(f.CheckModalEnd());
        EXPECT_EQ(f.ModalResult, mrNone);  // refused: back to no result
        allow = true;
        f.ModalResult = mrOk;
    });
    EXPECT_EQ(form->ShowModal(), mrOk);
    allow = false;
    EXPECT_THROW(form->ShowModal(), EScriptError);
    EXPECT_FALSE(form->Modal());
}

TEST_F(Platform, ShowModalFiresShowActivateAndHideInOrder) {
    auto form = std::make_unique<TDialogo>(nullptr);
    std::vector<std::string> events;
    form->OnShow = [&](TObject*) { events.push_back("show"); };
    form->OnActivate = [&](TObject*) { events.push_back("activate"); };
    form->Nome->OnEnter = [&](TObject*) { events.push_back("enter nome"); };
    form->OnHide = [&](TObject*) { events.push_back("hide"); };
    form->OnClose = [&](TObject*, TCloseAction&) { events.push_back("close"); };
    Application->Script().AnswerShowModal<TDialogo>([&](TDialogo& f) {
        events.push_back("script");
        EXPECT_TRUE(f.Visible);
        EXPECT_TRUE(f.Modal());
        EXPECT_TRUE(f.Nome->Focused());
        f.HandleKeyDown(VK_ESCAPE);  // Escape clicks the cancel button
    });
    EXPECT_EQ(form->ShowModal(), mrCancel);
    EXPECT_EQ(events,
              (std::vector<std::string>{"show", "activate", "enter nome", "script", "close", "hide"}));
    EXPECT_THROW(
        {
            form->Show();
            form->ShowModal();
        },
        EInvalidOperation);
}

// ---------------------------------------------------------------- focus and keys

TEST_F(Platform, TabMovesThroughTheFormsControlsByTabOrder) {
    auto form = std::make_unique<TDialogo>(nullptr);
    std::vector<std::string> events;
    auto track = [&](TWinControl* c, const char* name) {
        c->OnEnter = [&events, name](TObject*) { events.push_back(std::string("enter ") + name); };
        c->OnExit = [&events, name](TObject*) { events.push_back(std::string("exit ") + name); };
    };
    track(form->Nome, "nome");
    track(form->Pannello, "pannello");
    track(form->Attivo, "attivo");
    track(form->Valore, "valore");
    track(form->BOk, "ok");
    // Valore goes first; the panel (no tab stop) is passed over, its check box is not.
    form->Valore->TabOrder = 0;
    EXPECT_EQ(form->Nome->TabOrder, 1);
    form->Show();
    EXPECT_TRUE(form->Valore->Focused());
    form->SendKey(VK_TAB);
    EXPECT_TRUE(form->Nome->Focused());
    form->SendKey(VK_TAB);
    EXPECT_TRUE(form->Attivo->Focused());
    form->SendKey(VK_TAB);
    EXPECT_TRUE(form->BOk->Focused());
    form->SendKey(VK_TAB, TShiftState{ssShift});
    EXPECT_TRUE(form->Attivo->Focused());
    EXPECT_EQ(events,
              (std::vector<std::string>{"enter valore", "exit valore", "enter nome", "exit nome",
                                        "enter pannello", "enter attivo", "exit attivo", "exit pannello",
                                        "enter ok", "exit ok", "enter pannello", "enter attivo"}));
    // Disabled and hidden controls are passed over; wrapping goes round.
    form->BOk->Enabled = false;
    form->BAnnulla->Visible = false;
    form->SendKey(VK_TAB);
    EXPECT_TRUE(form->Valore->Focused());
    // Hiding the focused control drops the focus without events.
    events.clear();
    form->Valore->Visible = false;
    EXPECT_EQ(form->FocusedControl(), nullptr);
    EXPECT_TRUE(events.empty());
    EXPECT_THROW(form->Valore->SetFocus(), EInvalidOperation);
}

TEST_F(Platform, KeysGoToKeyPreviewThenTheFocusedControlAndTypeIntoEdits) {
    auto form = std::make_unique<TDialogo>(nullptr);
    form->Show();
    form->Nome->SetFocus();
    std::string seen;
    form->KeyPreview = true;
    form->OnKeyPress = [&](TObject*, char& key) {
        seen += key;
        if (key == 'x') key = 0;  // the form eats 'x'
    };
    int changes = 0;
    form->Nome->OnChange = [&](TObject*) { ++changes; };
    form->TypeText("axbè");
    EXPECT_EQ(form->Nome->Text, "abè");
    EXPECT_EQ(seen, "axb");
    EXPECT_EQ(changes, 3);
    form->SendKey(VK_BACK);
    EXPECT_EQ(form->Nome->Text, "ab");
    form->Nome->MaxLength = 2;
    form->TypeText("c");
    EXPECT_EQ(form->Nome->Text, "ab");
    // Enter clicks the default button.
    int clicks = 0;
    form->BOk->OnClick = [&](TObject*) { ++clicks; };
    form->SendKey(VK_RETURN);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form->ModalResult, mrOk);
}

// ---------------------------------------------------------------- timers

TEST_F(Platform, ATimerFiresOnlyWhenTheClockIsAdvancedAsOftenAsItsIntervalSays) {
    auto owner = std::make_unique<TComponent>(nullptr);
    auto timer = new TTimer(owner.get());
    timer->Interval = 300;
    int ticks = 0;
    std::vector<unsigned> at;
    timer->OnTimer = [&](TObject*) {
        ++ticks;
        at.push_back(GetTickCount());
    };
    unsigned start = Application->Script().Now();
    EXPECT_EQ(ticks, 0);
    Application->ProcessMessages();
    EXPECT_EQ(ticks, 0);
    Application->Script().AdvanceClock(299);
    EXPECT_EQ(ticks, 0);
    Application->Script().AdvanceClock(1001);  // up to 1300 ms: ticks at 300, 600, 900, 1200
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(at, (std::vector<unsigned>{start + 300, start + 600, start + 900, start + 1200}));
    timer->Enabled = false;
    Application->Script().AdvanceClock(5000);
    EXPECT_EQ(ticks, 4);

    // A one-shot timer stops itself in its handler; re-enabling restarts the interval.
    ticks = 0;
    timer->OnTimer = [&](TObject* sender) {
        ++ticks;
        static_cast<TTimer*>(sender)->Enabled = false;
    };
    timer->Enabled = true;
    Application->Script().AdvanceClock(250);
    timer->Interval = 500;  // restarts from now
    Application->Script().AdvanceClock(400);
    EXPECT_EQ(ticks, 0);
    Application->Script().AdvanceClock(2000);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(timer->Enabled);
    // Freed with its owner: the clock no longer sees it.
    owner.reset();
    Application->Script().AdvanceClock(1000);
}

// ---------------------------------------------------------------- menus

TEST_F(Platform, MenusDispatchShortcutsAndPopupsAnsweredByTheScript) {
    auto form = std::make_unique<TForm>(nullptr);
    auto menu = new TMainMenu(form.get());
    auto modifica = new TMenuItem(form.get());
    modifica->Caption = "&Modifica";
    menu->Items->Add(modifica);
    auto copia = new TMenuItem(form.get());
    copia->Caption = "&Copia";
    copia->ShortCut = ShortCut('C', TShiftState{ssCtrl});
    modifica->Add(copia);
    int copies = 0;
    copia->OnClick = [&](TObject*) { ++copies; };
    form->Menu = menu;
    EXPECT_EQ(form->ClientHeight, 300 - 27 - 19);  // the menu bar takes room from the client area
    form->Show();
    form->SendKey('C', TShiftState{ssCtrl});
    EXPECT_EQ(copies, 1);
    copia->Enabled = false;
    form->SendKey('C', TShiftState{ssCtrl});
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(ShortCutToText(copia->ShortCut), "Ctrl+C");
    EXPECT_EQ(TextToShortCut("Ctrl+C"), copia->ShortCut.Get());
    EXPECT_EQ(menu->Items->Items[0]->Items[0], copia);

    // Radio items of one group exclude each other.
    auto a = new TMenuItem(form.get()), b = new TMenuItem(form.get());
    a->RadioItem = true;
    b->RadioItem = true;
    modifica->Add(a);
    modifica->Add(b);
    a->Checked = true;
    b->Checked = true;
    EXPECT_FALSE(a->Checked);

    // A right click opens the popup menu; OnPopup prepares it, the script chooses.
    auto popup = new TPopupMenu(form.get());
    auto taglia = new TMenuItem(form.get());
    taglia->Caption = "&Taglia";
    auto incolla = new TMenuItem(form.get());
    incolla->Caption = "Incolla &ruotato";
    auto novanta = new TMenuItem(form.get());
    novanta->Caption = "90°";
    popup->Items->Add(taglia);
    popup->Items->Add(incolla);
    incolla->Add(novanta);
    popup->OnPopup = [&](TObject*) { taglia->Visible = false; };
    std::string chosen;
    novanta->OnClick = [&](TObject*) { chosen = "90"; };
    auto panel = new TPanel(form.get());
    panel->Parent = form.get();
    panel->PopupMenu = popup;
    Application->Script().AnswerPopup("90°");
    panel->RightClickAt(10, 10);
    EXPECT_EQ(chosen, "90");
    EXPECT_EQ(popup->PopupComponent, panel);
    ASSERT_EQ(Application->Script().Popups.size(), 1u);
    EXPECT_EQ(Application->Script().Popups[0].Where, panel->ClientToScreen(TPoint(10, 10)));
    Application->Script().AnswerPopup("Taglia");  // hidden by OnPopup
    EXPECT_THROW(panel->RightClickAt(10, 10), EScriptError);
    // The popup freed before the panel: the panel forgets it.
    delete popup;
    EXPECT_EQ(panel->PopupMenu, nullptr);
    panel->RightClickAt(10, 10);
}

// ---------------------------------------------------------------- drag and drop

TEST_F(Platform, DragStartsPastTheThresholdAndDropsWhereAccepted) {
    auto form = std::make_unique<TForm>(nullptr);
    auto source = new TPanel(form.get());
    source->Parent = form.get();
    source->SetBounds(0, 0, 50, 50);
    auto target = new TPanel(form.get());
    target->Parent = form.get();
    target->SetBounds(100, 0, 50, 50);
    form->Show();
    std::vector<std::string> events;
    source->OnMouseDown = [&](TObject* s, TMouseButton, TShiftState, int, int) {
        static_cast<TControl*>(s)->BeginDrag(false, 5);
    };
    target->OnDragOver = [&](TObject*, TObject* src, int x, int y, TDragState state, bool& accept) {
        events.push_back("over " + std::to_string(state) + " " + std::to_string(x) + "," + std::to_string(y));
        accept = src == source;
    };
    target->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
        events.push_back("drop " + std::to_string(x) + "," + std::to_string(y) +
                         (src == source ? " from source" : ""));
    };
    source->OnEndDrag = [&](TObject*, TObject* t, int, int) {
        events.push_back(t == target ? "end on target" : "end");
    };

    source->MouseDown(mbLeft, TShiftState{ssLeft}, 10, 10);
    source->MouseMove(TShiftState{ssLeft}, 12, 12);  // below the threshold: a click, not a drag
    EXPECT_FALSE(source->Dragging());
    source->MouseMove(TShiftState{ssLeft}, 110, 20);
    EXPECT_TRUE(source->Dragging());
    source->MouseMove(TShiftState{ssLeft}, 120, 20);
    source->MouseUp(mbLeft, {}, 120, 20);
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(events, (std::vector<std::string>{"over 0 10,20", "over 2 20,20", "over 2 20,20",
                                                "drop 20,20 from source", "end on target"}));

    // A drop outside any accepting control ends without a target.
    events.clear();
    source->MouseDown(mbLeft, TShiftState{ssLeft}, 10, 10);
    source->MouseMove(TShiftState{ssLeft}, 30, 300);
    source->MouseUp(mbLeft, {}, 30, 300);
    EXPECT_EQ(events, (std::vector<std::string>{"end"}));
}

// ---------------------------------------------------------------- ownership and layout

TEST_F(Platform, OwnedControlsAreFreedWithTheirOwnerAndMoveBetweenForms) {
    auto a = std::make_unique<TForm>(nullptr);
    auto b = std::make_unique<TForm>(nullptr);
    auto panel = new TPanel(a.get());
    panel->Parent = a.get();
    auto edit = new TEdit(a.get());
    edit->Parent = panel;
    EXPECT_EQ(GetParentForm(edit), a.get());
    // Lent to another form, as the custom-component editor borrows the palette.
    panel->Parent = b.get();
    EXPECT_EQ(GetParentForm(edit), b.get());
    EXPECT_EQ(a->ControlCount(), 0);
    EXPECT_EQ(b->ControlCount(), 1);
    panel->Parent = a.get();
    EXPECT_EQ(b->ControlCount(), 0);
    // A parent frees its children even when another component owns them.
    auto loose = new TEdit(nullptr);
    loose->Parent = panel;
    EXPECT_EQ(panel->ControlCount(), 2);
    EXPECT_EQ(a->ComponentCount(), 2);
    b.reset();
    a.reset();  // the sanitizer run checks that nothing leaks or is freed twice
}

TEST_F(Platform, AlignedChildrenShareTheParentsClientArea) {
    auto form = std::make_unique<TForm>(nullptr);
    form->BorderStyle = bsNone;
    form->SetBounds(0, 0, 300, 200);
    auto top = new TPanel(form.get());
    top->Height = 30;
    top->Align = alTop;
    top->Parent = form.get();
    auto status = new TPanel(form.get());
    status->Height = 20;
    status->Align = alBottom;
    status->Parent = form.get();
    auto client = new TPanel(form.get());
    client->Align = alClient;
    client->Parent = form.get();
    auto button = new TButton(form.get());
    button->Parent = form.get();
    button->SetBounds(200, 150, 75, 25);
    button->Anchors = TAnchors{akRight, akBottom};
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 30));
    EXPECT_EQ(status->BoundsRect(), Rect(0, 180, 300, 200));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 30, 300, 180));
    form->SetBounds(0, 0, 400, 260);
    EXPECT_EQ(status->BoundsRect(), Rect(0, 240, 400, 260));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 30, 400, 240));
    EXPECT_EQ(button->BoundsRect(), Rect(300, 210, 375, 235));  // kept its distance from the corner
    status->Visible = false;
    EXPECT_EQ(client->BoundsRect(), Rect(0, 30, 400, 260));
}

// ---------------------------------------------------------------- the peer protocol

namespace {
struct FakePeer : TControlPeer {
    FakePeer(TControl* c, std::vector<std::string>& log) : control(c), log(log) {}
    ~FakePeer() override { log.push_back("delete " + control->Name); }
    void PropertyChanged(TPropId id, int) override { changes.push_back(id); }
    void Invalidate(const TRect&) override { ++invalidations; }
    void RunModal() override {
        // A person types a name and presses OK; the loop asks the form after the event.
        auto* f = static_cast<TDialogo*>(control);
        f->Nome->UserSet(f->Nome->Text, AnsiString("Rete"));
        f->BOk->Click();
        f->CheckModalEnd();
    }
    TControl* control;
    std::vector<std::string>& log;
    std::vector<TPropId> changes;
    int invalidations = 0;
};

struct FakeBackend : TBackend {
    int MessageBox(const AnsiString&, const AnsiString&, int) override { return IDOK; }
    TControlPeer* CreatePeer(TControl* c) override {
        auto p = new FakePeer(c, log);
        peers[c] = p;
        log.push_back("create " + c->Name);
        return p;
    }
    void Post(std::function<void()> fn) override { fn(); }
    unsigned TickCount() override { return 0; }
    std::map<TControl*, FakePeer*> peers;
    std::vector<std::string> log;
};

struct BackendScope {
    explicit BackendScope(TBackend* b) { Application->SetBackend(b); }
    ~BackendScope() { Application->SetBackend(nullptr); }
};
}  // namespace

TEST_F(Platform, PeersHearProgramChangesButNotTheirOwnAndGoChildrenFirst) {
    FakeBackend backend;
    {
        BackendScope scope(&backend);
        auto form = std::make_unique<TDialogo>(nullptr);
        form->Name = "form";
        form->Pannello->Name = "pannello";
        form->Attivo->Name = "attivo";
        EXPECT_TRUE(backend.peers.empty());  // nothing is shown yet
        int changes = 0;
        form->Nome->OnChange = [&](TObject*) { ++changes; };
        EXPECT_EQ(form->ShowModal(), mrOk);  // the peer's modal loop plays the person
        EXPECT_EQ(form->Nome->Text, "Rete");
        EXPECT_EQ(changes, 1);
        FakePeer* nome = backend.peers.at(form->Nome);
        // The person's text is not echoed back to the peer; the program's is.
        EXPECT_EQ(std::count(nome->changes.begin(), nome->changes.end(), TPropId::Text), 0);
        form->Nome->Text = "Testa";
        EXPECT_EQ(std::count(nome->changes.begin(), nome->changes.end(), TPropId::Text), 1);
        EXPECT_EQ(changes, 2);
        // A control added to a shown form gets its peer at once.
        auto late = new TLabel(form.get());
        late->Name = "late";
        late->Parent = form.get();
        EXPECT_EQ(backend.peers.count(late), 1u);
        backend.log.clear();
    }
    // Children's peers go before their parent's.
    auto pos = [&](const std::string& s) {
        return std::find(backend.log.begin(), backend.log.end(), s) - backend.log.begin();
    };
    EXPECT_LT(pos("delete attivo"), pos("delete pannello"));
    EXPECT_LT(pos("delete pannello"), pos("delete form"));
}
