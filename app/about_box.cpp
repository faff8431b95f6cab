#include "app/about_box.h"

#include <memory>

#include "app/program.h"
#include "core/reporter.h"
#include "platform/application.h"

namespace {

constexpr TColor AboutColour = RGB(0x99, 0xAA, 0xFF);
constexpr int PictureWidth = 404;
constexpr int PictureHeight = 264;

// The lines under the picture.
constexpr const char* AboutLines[] = {
    "Ordivex Varne",
    "Progettazione degli impianti di distribuzione dei segnali televisivi terrestri e satellitari.",
    "",
    "Prodotto da Varne.",
};

}  // namespace

TAboutBox::TAboutBox(TComponent* owner) : TForm(owner) {
    BorderStyle = bsNone;
    Color = AboutColour;
    ClientWidth = PictureWidth + 16;
    ClientHeight = PictureHeight + 16 + 88;
    OnShow = Handler(this, &TAboutBox::FormShow);
    OnClick = Handler(this, &TAboutBox::FormClick);

    // The panel takes the picture's place; the picture sits inside its bevel.
    Panel = MakeControl<TPanel>(this, this, 8, 8, PictureWidth, PictureHeight);
    Panel->BevelOuter = bvNone;
    Panel->BevelInner = bvLowered;
    Panel->Color = AboutColour;
    Image = MakeControl<TImage>(this, Panel, 2, 2, PictureWidth - 4, PictureHeight - 4);
    Image->OnClick = Handler(this, &TAboutBox::ImageClick);

    Memo = MakeControl<TMemo>(this, this, 8, PictureHeight + 16, PictureWidth, 80);
    Memo->ReadOnly = true;
    Memo->ScrollBars = ssVertical;
    Memo->Color = AboutColour;
    for (const char* line : AboutLines) Memo->Lines->Add(line);

    // Without a readable logo the picture is the box's colour: the splash
    // must not stop the start with a message.
    std::unique_ptr<TBitmap> logo;
    const AnsiString file = ProgramDirectory() + "Logo.bmp";
    if (FileExists(file)) {
        logo = std::make_unique<TBitmap>();
        try {
            logo->LoadFromFile(file);
        } catch (const std::exception&) {
            logo.reset();
        }
    }
    TBitmap* picture = Image->Picture->Bitmap;
    picture->SetSize(Image->Width, Image->Height);
    DrawPicture(picture->Canvas, TRect(0, 0, Image->Width, Image->Height), logo.get());
}

void TAboutBox::DrawPicture(TCanvas* canvas, const TRect& area, const TBitmap* logo) {
    if (logo && logo->Width > 0 && logo->Height > 0) {
        canvas->StretchDraw(area, logo);
    } else {
        canvas->Brush->Style = bsSolid;
        canvas->Brush->Color = AboutColour;
        canvas->FillRect(area);
    }
    canvas->Brush->Style = bsClear;
    canvas->Font->Name = "Arial";
    canvas->Font->Color = clBlack;
    canvas->Font->Style = TFontStyles{};
    canvas->Font->Size = 18;
    canvas->TextOut(30, 15, ApplicationTitle);
    canvas->Font->Size = 12;
    canvas->TextOut(275, 230, ProgramVersionText);
}

void TAboutBox::FormShow(TObject*) {
    if (TCustomForm* main = Application->MainForm(); main && main != this)
        SetBounds(main->Left + (main->Width - Width) / 2, main->Top + (main->Height - Height) / 2, Width,
                  Height);
}

void TAboutBox::FormClick(TObject*) { ModalResult = mrOk; }

void TAboutBox::ImageClick(TObject*) { ModalResult = mrOk; }
