// The application object: forms it makes, the event loop headless, posted
// calls, the command line and the screen.
#include "platform/application.h"

#include <gtest/gtest.h>

#include "platform/forms.h"

namespace {
class TPrincipale : public TForm {
public:
    explicit TPrincipale(TComponent* owner) : TForm(owner) {
        OnCreate = [](TObject*) { ++created; };
        OnDestroy = [](TObject*) { ++destroyed; };
    }
    static inline int created = 0;
    static inline int destroyed = 0;
};
class TSecondaria : public TForm {
public:
    explicit TSecondaria(TComponent* owner) : TForm(owner) {}
};
}  // namespace

TEST(ApplicationObject, CreatesFormsRunsAndTerminates) {
    Application->Script().Reset();
    TPrincipale* main = nullptr;
    TSecondaria* second = nullptr;
    Application->CreateForm(main);
    Application->CreateForm(second);
    EXPECT_EQ(Application->MainForm(), main);
    EXPECT_EQ(TPrincipale::created, 1);
    EXPECT_EQ(main->Owner(), Application);

    // The run shows the main form and plays the queued actions of the person.
    std::vector<std::string> steps;
    main->OnShow = [&](TObject*) { steps.push_back("show"); };
    Application->Script().AtProcessMessages([&] {
        steps.push_back("action");
        second->Show();
        second->Close();  // a secondary form hides
        EXPECT_FALSE(second->Visible);
        main->Close();  // the main form ends the program
    });
    Application->Script().AtProcessMessages([&] { steps.push_back("never"); });
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(steps, (std::vector<std::string>{"show", "action"}));
    Application->Script().Reset();

    // A released form goes at the next pass of the event loop.
    auto loose = new TSecondaria(nullptr);
    bool gone = false;
    loose->OnDestroy = [&](TObject*) { gone = true; };
    loose->Release();
    EXPECT_FALSE(gone);
    Application->ProcessMessages();
    EXPECT_TRUE(gone);

    Application->DestroyForms();
    EXPECT_EQ(TPrincipale::destroyed, 1);
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(Application->ComponentCount(), 0);
}

TEST(ApplicationObject, CommandLineAndScreen) {
    const char* argv[] = {"/opt/varne/ordivex", "/progetti/villa.ant", "extra"};
    Application->SetCommandLine(3, argv);
    EXPECT_EQ(ParamCount(), 2);
    EXPECT_EQ(ParamStr(1), "/progetti/villa.ant");
    EXPECT_EQ(ParamStr(7), "");
    EXPECT_EQ(Application->CommandLine(), "/progetti/villa.ant extra");
    Application->SetCommandLine(1, argv);
    EXPECT_EQ(Application->CommandLine(), "");

    TScreenMetrics m;
    m.Width = 1024;
    m.Height = 600;
    m.PixelsPerInch = 120;
    m.Fonts = {"Times New Roman", "Arial"};
    Screen->SetMetrics(m);
    EXPECT_EQ(Screen->Height(), 600);
    EXPECT_EQ(Screen->PixelsPerInch(), 120);
    EXPECT_EQ((*Screen->Fonts)[0], "Arial");
    Screen->SetCursorPos(TPoint(5, 6));
    EXPECT_EQ(Screen->CursorPos(), TPoint(5, 6));
    Screen->SetMetrics(TScreenMetrics{});
    // A form centred on the screen.
    TForm f(nullptr);
    f.Position = poScreenCenter;
    f.SetBounds(0, 0, 280, 124);
    f.Show();
    EXPECT_EQ(f.Left, (1280 - 280) / 2);
    EXPECT_EQ(Screen->ActiveForm(), &f);
}
