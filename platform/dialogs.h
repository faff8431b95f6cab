#pragma once
// Common dialogs: open and save, directory, colour, print and printer setup.
// Execute shows the dialog through the back end, or takes the scripted
// stand-in's answer (TScript::AnswerFileDialog...); with no answer queued the
// person cancels. Their settings are plain fields: nothing watches them
// while the dialog is closed.
#include "platform/classes.h"
#include "platform/graphics.h"
#include "platform/properties.h"

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* owner = nullptr) : TComponent(owner) {}
    AnsiString Title;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
    // True when the person accepted.
    virtual bool Execute() = 0;
};

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* owner = nullptr);
    ~TOpenDialog() override;
    // "Progetti (*.ant)|*.ant|Tutti i file (*.*)|*.*"
    AnsiString Filter;
    int FilterIndex = 1;
    // Added to a chosen name that has no extension.
    AnsiString DefaultExt;
    AnsiString InitialDir;
    AnsiString FileName;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    TStringList* const Files;
    bool Execute() override;

protected:
    bool Run(bool save);
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* owner = nullptr) : TOpenDialog(owner) {}
    bool Execute() override;
};

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSet<TColorDialogOption>;

class TColorDialog : public TCommonDialog {
public:
    explicit TColorDialog(TComponent* owner = nullptr);
    ~TColorDialog() override;
    TColor Color = clBlack;
    // Lines "ColorA=FFFFFF" ... "ColorP=...", hexadecimal BBGGRR.
    TStringList* const CustomColors;
    TColorDialogOptions Options;
    bool Execute() override;
};

enum TPrintRange { prAllPages, prSelection, prPageNums };

class TPrintDialog : public TCommonDialog {
public:
    explicit TPrintDialog(TComponent* owner = nullptr) : TCommonDialog(owner) {}
    int Copies = 1;
    int FromPage = 0;
    int ToPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    TPrintRange PrintRange = prAllPages;
    bool Execute() override;
};

class TPrinterSetupDialog : public TCommonDialog {
public:
    explicit TPrinterSetupDialog(TComponent* owner = nullptr) : TCommonDialog(owner) {}
    bool Execute() override;
};

// The directory chooser: true when the person chose one (written to directory).
bool SelectDirectory(const AnsiString& caption, const AnsiString& root, AnsiString& directory);
