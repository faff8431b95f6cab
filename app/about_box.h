#pragma once
// TAboutBox: the program's information box, a frameless window with the
// program's picture and a few lines about it. The main form also shows it,
// without waiting, as the splash window while the program starts.
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

constexpr const char* ProgramVersionText = "Versione 2010.0";

class TAboutBox : public TForm {
public:
    explicit TAboutBox(TComponent* owner = nullptr);

    void FormShow(TObject* Sender);
    void FormClick(TObject* Sender);
    void ImageClick(TObject* Sender);

    // The picture: the logo stretched over the whole area when there is one,
    // the box's colour otherwise, with the title and the version written on it.
    static void DrawPicture(TCanvas* canvas, const TRect& area, const TBitmap* logo);

    TPanel* Panel;
    TImage* Image;
    TMemo* Memo;
};
