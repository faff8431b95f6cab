// Graphic signs: their record in the sign block, copies, and the lists.
#include "document/signs.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/file.h"
#include "document/grid.h"
#include "support/record_bytes.h"

namespace {

std::string Saved(const TSegniGrafici& signs) {
    TMemoryStream s;
    signs.Save(s, 60000);
    return s.Bytes();
}

TEST(Signs, EmptyBlockIsTwoTags) {
    TGridData grid(nullptr, 10, 10, GridNetwork);
    TSegniGrafici signs(&grid);
    EXPECT_EQ(Saved(signs), RecordBytes().I32(206).I32(206).Bytes());
    TMemoryStream s(Saved(signs));
    TSegniGrafici back(&grid);
    EXPECT_TRUE(back.Load(s, 60000));
    EXPECT_EQ(back.Count(), 0);
    EXPECT_EQ(s.Position(), 8);
}

TEST(Signs, RecordFieldByField) {
    TGridData grid(nullptr, 10, 10, GridNetwork);
    TSegniGrafici signs(&grid);
    auto signOwned = std::make_unique<TSegnoGrafico>(&grid);
    TSegnoGrafico* sign = signOwned.get();
    sign->Kind = SignText;
    sign->X1 = 1;
    sign->Y1 = 2;
    sign->X2 = 3;
    sign->Y2 = 4;
    sign->Text = "Piano";
    sign->Font->Name = "Arial";
    sign->Font->Size = 10;
    sign->Font->Color = static_cast<TColor>(0x00123456);
    sign->Font->Style = TFontStyles() << fsItalic;
    sign->Pen->Width = 2;
    sign->Pen->Color = clBlue;
    sign->Pen->Style = psDot;
    signs.Add(std::move(signOwned), false);
    const std::string expected = RecordBytes()
                                     .I32(206)
                                     .I32(2)
                                     .I32(2)
                                     .I32(4)
                                     .I32(1)
                                     .I32(3)  // kind, y1, y2, x1, x2
                                     .Text("Piano", 501)
                                     .Text("Arial", 100)
                                     .I32(10)
                                     .I32(0x123456)
                                     .U8(0)
                                     .U8(1)  // size, colour, bold, italic
                                     .I32(2)
                                     .I32(0xFF0000)
                                     .U8(2)  // pen width, colour, style
                                     .I32(206)
                                     .Bytes();
    EXPECT_EQ(Saved(signs), expected);
}

TEST(Signs, LongTextsAreCutAndStylesKept) {
    TGridData grid(nullptr, 10, 10, GridNetwork);
    TSegniGrafici signs(&grid);
    auto signOwned = std::make_unique<TSegnoGrafico>(&grid);
    TSegnoGrafico* sign = signOwned.get();
    sign->Kind = SignText;
    sign->Text = std::string(600, 't');
    sign->Font->Name = std::string(120, 'f');
    sign->Font->Style = TFontStyles() << fsBold << fsItalic;
    signs.Add(std::move(signOwned), false);
    signs.Add(std::make_unique<TSegnoGrafico>(&grid), false);

    TMemoryStream s(Saved(signs));
    TSegniGrafici back(&grid);
    ASSERT_TRUE(back.Load(s, 60000));
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.head->Text, std::string(500, 't'));
    EXPECT_EQ(back.head->Font->Name.Get(), std::string(99, 'f'));
    EXPECT_TRUE(back.head->Font->Style->Contains(fsBold));
    EXPECT_TRUE(back.head->Font->Style->Contains(fsItalic));
    EXPECT_EQ(back.head->Grid, &grid);
    EXPECT_EQ(back.head->Next->Kind, SignLine);  // order kept
    // Saving what was read gives what was read.
    TMemoryStream again(Saved(back));
    TSegniGrafici third(&grid);
    ASSERT_TRUE(third.Load(again, 60000));
    EXPECT_EQ(Saved(third), Saved(back));
}

TEST(Signs, AssignAndCloneCopyEveryField) {
    TGridData grid(nullptr, 10, 10, GridNetwork);
    TSegnoGrafico sign(&grid);
    sign.Kind = SignRectangle;
    sign.X1 = 5;
    sign.Y1 = 6;
    sign.X2 = 70;
    sign.Y2 = 80;
    sign.Text = "x";
    sign.Font->Name = "Times New Roman";
    sign.Font->Size = 14;
    sign.Font->Color = clGreen;
    sign.Font->Style = TFontStyles() << fsBold << fsItalic;
    sign.Pen->Color = clRed;
    sign.Pen->Width = 4;
    sign.Pen->Style = psDashDot;
    std::unique_ptr<TSegnoGrafico> copy = sign.Clone();
    TGridData other(nullptr, 10, 10, GridNetwork);
    TSegnoGrafico target(&other);
    sign.Assign(&target);
    for (TSegnoGrafico* c : {copy.get(), &target}) {
        EXPECT_EQ(c->Grid, &grid);
        EXPECT_EQ(c->Kind, SignRectangle);
        EXPECT_EQ(c->X2, 70);
        EXPECT_EQ(c->Y2, 80);
        EXPECT_EQ(c->Text, "x");
        EXPECT_EQ(c->Font->Name.Get(), "Times New Roman");
        EXPECT_EQ(c->Font->Size.Get(), 14);
        EXPECT_EQ(c->Font->Color.Get(), clGreen);
        EXPECT_TRUE(c->Font->Style->Contains(fsBold));
        EXPECT_TRUE(c->Font->Style->Contains(fsItalic));
        EXPECT_EQ(c->Pen->Color.Get(), clRed);
        EXPECT_EQ(c->Pen->Width.Get(), 4);
        EXPECT_EQ(c->Pen->Style.Get(), psDashDot);
        EXPECT_EQ(c->Next, nullptr);
    }
    EXPECT_NE(copy->Font.get(), sign.Font.get());
}

TEST(Signs, BlocksThatDoNotReadLeaveTheListEmpty) {
    TGridData grid(nullptr, 10, 10, GridNetwork);
    struct Case {
        const char* what;
        std::string bytes;
    };
    RecordBytes oneLine;
    oneLine.I32(206)
        .I32(0)
        .I32(0)
        .I32(0)
        .I32(0)
        .I32(0)
        .Text("", 501)
        .Text("Arial", 100)
        .I32(8)
        .I32(0)
        .U8(0)
        .U8(0)
        .I32(1)
        .I32(0)
        .U8(0);
    // clang-format off
    const Case cases[] = {
        {"no opening tag", RecordBytes().I32(205).I32(206).Bytes()},
        {"kind 3", RecordBytes().I32(206).I32(3).Bytes()},
        {"ends inside a sign", oneLine.Bytes().substr(0, 30)},
        {"no closing tag", oneLine.Bytes()},
    };
    // clang-format on
    for (const Case& c : cases) {
        TMemoryStream s(c.bytes);
        TSegniGrafici signs(&grid);
        EXPECT_FALSE(signs.Load(s, 60000)) << c.what;
        EXPECT_EQ(signs.Count(), 0) << c.what;
    }
    // A pen style this program does not draw is drawn solid; a font size far
    // beyond any drawn is held to the largest.
    RecordBytes odd;
    odd.I32(206)
        .I32(2)
        .I32(0)
        .I32(0)
        .I32(0)
        .I32(0)
        .Text("x", 501)
        .Text("Arial", 100)
        .I32(0x7FFFFFFF)
        .I32(0)
        .U8(0)
        .U8(0)
        .I32(1)
        .I32(0)
        .U8(9)
        .I32(206);
    TMemoryStream s(odd.Bytes());
    TSegniGrafici signs(&grid);
    ASSERT_TRUE(signs.Load(s, 60000));
    EXPECT_EQ(signs.head->Pen->Style.Get(), psSolid);
    EXPECT_EQ(signs.head->Font->Size.Get(), 32767);
}

TEST(Signs, ListsOfSigns) {
    TGridData grid(nullptr, 10, 10, GridNetwork);
    TSegniGrafici signs(&grid);
    auto aOwned = std::make_unique<TSegnoGrafico>(&grid);
    TSegnoGrafico* a = aOwned.get();
    auto bOwned = std::make_unique<TSegnoGrafico>(&grid);
    TSegnoGrafico* b = bOwned.get();
    EXPECT_EQ(signs.Add(std::move(aOwned), false), a);
    signs.Add(std::move(bOwned), false);
    std::unique_ptr<TSegnoGrafico> kept = signs.Remove(a, false);  // a removed sign belongs to the caller
    EXPECT_EQ(kept.get(), a);
    EXPECT_EQ(signs.Count(), 1);
    EXPECT_EQ(signs.head, b);
    EXPECT_EQ(signs.Remove(a, false), nullptr);  // not in the list: nothing changes
    EXPECT_EQ(signs.Count(), 1);
    EXPECT_EQ(signs.Add(nullptr, false), nullptr);
    EXPECT_EQ(signs.Count(), 1);

    // Signs go on at the tail, whichever sign was taken out before.
    auto order = [&] {
        std::vector<TSegnoGrafico*> v;
        for (TSegnoGrafico* s = signs.head; s; s = s->Next) v.push_back(s);
        return v;
    };
    auto cOwned = std::make_unique<TSegnoGrafico>(&grid);
    TSegnoGrafico* c = cOwned.get();
    auto dOwned = std::make_unique<TSegnoGrafico>(&grid);
    TSegnoGrafico* d = dOwned.get();
    signs.Add(std::move(cOwned), false);
    cOwned = signs.Remove(c, false);  // the tail goes
    signs.Add(std::move(dOwned), false);
    EXPECT_EQ(order(), (std::vector<TSegnoGrafico*>{b, d}));
    signs.Add(std::move(cOwned), false);
    std::unique_ptr<TSegnoGrafico> keptB = signs.Remove(b, false);  // the head goes
    EXPECT_EQ(order(), (std::vector<TSegnoGrafico*>{d, c}));
    signs.Clear();
    auto eOwned = std::make_unique<TSegnoGrafico>(&grid);
    TSegnoGrafico* e = eOwned.get();
    signs.Add(std::move(eOwned), false);
    EXPECT_EQ(order(), (std::vector<TSegnoGrafico*>{e}));
    eOwned = signs.Remove(e, false);
    signs.Add(std::move(eOwned), false);
    EXPECT_EQ(order(), (std::vector<TSegnoGrafico*>{e}));
    eOwned = signs.Remove(e, false);
    signs.Add(std::move(keptB), false);
    signs.Add(std::move(eOwned), false);
    EXPECT_EQ(order(), (std::vector<TSegnoGrafico*>{b, e}));

    TListaSegniGrafici selection;
    selection.Add(a);
    selection.Add(b);
    EXPECT_EQ(selection.Count(), 2);
    EXPECT_EQ(selection.First(), b);  // at the head
    EXPECT_TRUE(selection.Contains(a));
    selection.Remove(a);
    selection.Remove(a);
    EXPECT_FALSE(selection.Contains(a));
    EXPECT_EQ(selection.Count(), 1);
    selection.Clear();
    EXPECT_EQ(selection.Count(), 0);
    EXPECT_EQ(signs.Count(), 2);  // the selection owns no sign
}

}  // namespace
