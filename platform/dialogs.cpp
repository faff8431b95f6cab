#include "platform/dialogs.h"

#include "platform/application.h"
#include "platform/printers.h"

namespace {
TScript& Script() { return Application->Script(); }

TDialogCall& Record(TDialogKind kind, const AnsiString& title) {
    Script().Dialogs.push_back(TDialogCall{kind, title, "", "", "", false, ""});
    return Script().Dialogs.back();
}
}  // namespace

TOpenDialog::TOpenDialog(TComponent* owner) : TCommonDialog(owner), Files(new TStringList) {}

TOpenDialog::~TOpenDialog() { delete Files; }

bool TOpenDialog::Run(bool save) {
    if (OnShow) OnShow(this);
    bool accepted;
    if (TBackend* b = Application->Backend()) {
        accepted =
            save ? b->ExecuteSaveDialog(static_cast<TSaveDialog&>(*this)) : b->ExecuteOpenDialog(*this);
    } else {
        TDialogCall& call = Record(save ? TDialogKind::Save : TDialogKind::Open, Title);
        call.Filter = Filter;
        call.InitialDir = InitialDir;
        call.FileName = FileName;
        std::optional<std::optional<AnsiString>> answer = Script().NextFileAnswer();
        accepted = answer && *answer;
        if (accepted) {
            AnsiString path = **answer;
            // A name typed without an extension gets the default one.
            if (!DefaultExt.empty() && ExtractFileExt(path).empty()) {
                AnsiString ext = DefaultExt[0] == '.' ? DefaultExt : "." + DefaultExt;
                path += ext;
            }
            FileName = path;
            Files->Clear();
            Files->Add(path);
            Script().Dialogs.back().Accepted = true;
            Script().Dialogs.back().Answer = path;
        }
    }
    if (OnClose) OnClose(this);
    return accepted;
}

bool TOpenDialog::Execute() { return Run(false); }

bool TSaveDialog::Execute() { return Run(true); }

TColorDialog::TColorDialog(TComponent* owner) : TCommonDialog(owner), CustomColors(new TStringList) {}

TColorDialog::~TColorDialog() { delete CustomColors; }

bool TColorDialog::Execute() {
    if (OnShow) OnShow(this);
    bool accepted;
    if (TBackend* b = Application->Backend()) {
        accepted = b->ExecuteColorDialog(*this);
    } else {
        TDialogCall& call = Record(TDialogKind::Color, Title);
        call.Answer = ColorToString(Color);
        std::optional<std::optional<TColor>> answer = Script().NextColorAnswer();
        accepted = answer && *answer;
        if (accepted) {
            Color = **answer;
            Script().Dialogs.back().Accepted = true;
            Script().Dialogs.back().Answer = ColorToString(Color);
        }
    }
    if (OnClose) OnClose(this);
    return accepted;
}

bool TPrintDialog::Execute() {
    if (TBackend* b = Application->Backend()) return b->ExecutePrintDialog(*this);
    Record(TDialogKind::Print, Title).FileName = Printer()->FileName;
    std::optional<bool> answer = Script().NextPrintAnswer();
    bool accepted = answer && *answer;
    Script().Dialogs.back().Accepted = accepted;
    return accepted;
}

bool TPrinterSetupDialog::Execute() {
    if (TBackend* b = Application->Backend()) return b->ExecutePrinterSetupDialog(*this);
    Record(TDialogKind::PrinterSetup, Title);
    std::optional<bool> answer = Script().NextPrintAnswer();
    bool accepted = answer && *answer;
    Script().Dialogs.back().Accepted = accepted;
    return accepted;
}

bool SelectDirectory(const AnsiString& caption, const AnsiString& root, AnsiString& directory) {
    if (TBackend* b = Application->Backend()) return b->SelectDirectory(caption, root, directory);
    TDialogCall& call = Record(TDialogKind::Directory, caption);
    call.InitialDir = root;
    call.FileName = directory;
    std::optional<std::optional<AnsiString>> answer = Script().NextDirectoryAnswer();
    if (!answer || !*answer) return false;
    directory = **answer;
    Script().Dialogs.back().Accepted = true;
    Script().Dialogs.back().Answer = directory;
    return true;
}
