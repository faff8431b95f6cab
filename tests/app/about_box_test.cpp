// The about box: its picture with or without the logo, and closing it.
#include "app/about_box.h"

#include <gtest/gtest.h>

#include "platform/application.h"
#include "platform/engines.h"
#include "support/globals_fixture.h"

namespace {

int Points(const TFontState& font) { return -font.Height * 72 / font.PixelsPerInch; }

TEST(AboutBox, ThePictureCarriesTheTitleAndTheVersion) {
    TRecordingEngine engine;
    TCanvas canvas(&engine);
    TAboutBox::DrawPicture(&canvas, TRect(0, 0, 400, 260), nullptr);
    const auto texts = engine.CallsOf(TPaintOp::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "Ordivex Varne");
    EXPECT_EQ(texts[0].Points[0], TPoint(30, 15));
    EXPECT_EQ(texts[0].State.Font.Name, "Arial");
    EXPECT_EQ(Points(texts[0].State.Font), 18);
    EXPECT_EQ(texts[1].Text, "Versione 2010.0");
    EXPECT_EQ(texts[1].Points[0], TPoint(275, 230));
    EXPECT_EQ(Points(texts[1].State.Font), 12);
    EXPECT_EQ(texts[1].State.Font.Color, clBlack);
    // Without a logo the picture is the box's colour.
    const auto fills = engine.CallsOf(TPaintOp::FillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].State.Brush.Color, RGB(0x99, 0xAA, 0xFF));
    EXPECT_TRUE(engine.CallsOf(TPaintOp::Bitmap).empty());
}

TEST(AboutBox, ALogoIsStretchedOverThePicture) {
    TRecordingEngine engine;
    TCanvas canvas(&engine);
    TBitmap logo(20, 10);
    TAboutBox::DrawPicture(&canvas, TRect(0, 0, 400, 260), &logo);
    const auto pictures = engine.CallsOf(TPaintOp::Bitmap);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].Rect, TRect(0, 0, 400, 260));
    EXPECT_EQ(engine.CallsOf(TPaintOp::Text).size(), 2u);
}

TEST(AboutBox, AMissingOrDamagedLogoShowsNoMessageAndAClickCloses) {
    ScopedGlobals globals;  // "ProgramDir" is the test's own folder, without Logo.bmp
    for (bool damaged : {false, true}) {
        if (damaged) {
            TFileStream bad(globals.Dir().File("Logo.bmp"), fmCreate);
            bad.Write("BMnot a picture", 15);
        }
        TAboutBox box(nullptr);
        EXPECT_TRUE(Application->Script().MessageBoxes.empty());
        EXPECT_EQ(box.Image->Picture->Bitmap->Width.Get(), box.Image->Width.Get());
        Application->Script().AnswerShowModal<TAboutBox>([](TAboutBox& b) { b.ImageClick(nullptr); });
        EXPECT_EQ(box.ShowModal(), mrOk);
    }
}

}  // namespace
