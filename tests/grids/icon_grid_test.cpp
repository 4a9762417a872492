// Icons: the .ico reader and writer at every colour depth, the icon record's
// stored form, and the icon drawn at the corner of its own cell only.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QImage>
#include <QWidget>

#include "grids/icon_grid.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/application.h"
#include "platform/gui/forms.h"

namespace {

// A square image: the left half in `color`, the right half masked out.
TIconImage Square(int side, int bits, uint32_t color) {
    TIconImage img;
    img.Width = img.Height = side;
    img.BitCount = bits;
    const size_t n = static_cast<size_t>(side) * side;
    img.Mask.resize(n);
    for (size_t i = 0; i < n; ++i) img.Mask[i] = (i % side) >= static_cast<size_t>(side / 2);
    if (bits <= 8) {
        img.Palette = {0x000000, color};
        img.Indexes.resize(n);
        for (size_t i = 0; i < n; ++i) img.Indexes[i] = img.Mask[i] ? 0 : 1;
    } else {
        img.Colors.resize(n);
        for (size_t i = 0; i < n; ++i) img.Colors[i] = img.Mask[i] ? 0 : (0xFF000000 | color);
    }
    return img;
}

TIcon IconOf(const TIconImage& img) {
    TIcon icon;
    icon.SetImages({img});
    return icon;
}

std::vector<std::string> Items(const TCellProperties& p) {
    TPropWriter w;
    p.WriteProperties(w);
    TPropReader r(w.Data());
    std::vector<std::string> out;
    while (!r.AtEnd())
        out.push_back(r.NextValue() == TPropValueType::vaString ? r.ReadString() : std::to_string(r.ReadInteger()));
    return out;
}

}  // namespace

TEST(Icon, EveryDepthRoundTripsWithItsMask) {
    for (int bits : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bits);
        const TIconImage img = Square(bits == 1 ? 16 : 5, bits, 0x00C08040);
        const TIcon icon = IconOf(img);
        const std::vector<TIconImage> back = DecodeIcon(icon.SaveToStream());
        ASSERT_EQ(back.size(), 1u);
        EXPECT_EQ(back[0].Width, img.Width);
        EXPECT_EQ(back[0].BitCount, bits);
        EXPECT_EQ(back[0].Mask, img.Mask);
        const size_t left = 0, right = img.Width - 1;
        EXPECT_EQ(back[0].Colors[left] & 0xFFFFFF, 0x00C08040u);
        EXPECT_EQ(back[0].Colors[right] & 0xFFFFFF, 0u);
        if (bits <= 8) {
            EXPECT_EQ(back[0].Indexes, img.Indexes);
        }
        EXPECT_EQ(EncodeIcon(back), icon.SaveToStream());
    }
    // Of several images the one nearest 32 x 32 is drawn.
    TIcon many;
    many.SetImages({Square(16, 4, 1), Square(48, 8, 2), Square(32, 4, 3), Square(32, 32, 4)});
    EXPECT_EQ(many.Width(), 32);
    EXPECT_EQ(many.Image()->BitCount, 32);
}

TEST(Icon, DamagedFilesAreRefusedAndTheIconKept) {
    TIcon icon = IconOf(Square(16, 4, 0xFF));
    const std::string good = icon.SaveToStream();
    for (size_t n : {size_t{1}, size_t{6}, size_t{21}, size_t{60}, good.size() - 1})
        EXPECT_THROW(icon.LoadFromStream(good.substr(0, n)), EInvalidIcon) << n;
    std::string bad = good;
    bad[22 + 14] = 16;  // 16 bits per pixel
    EXPECT_THROW(icon.LoadFromStream(bad), EInvalidIcon);
    bad = good;
    bad.replace(22, 4, "\x89PNG");  // only a compressed image
    EXPECT_THROW(icon.LoadFromStream(bad), EInvalidIcon);
    // Twenty entries sharing one large image: more pixels than any real icon.
    const std::string big = EncodeIcon({Square(256, 32, 1)});
    auto u32 = [](size_t v) {
        return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
    };
    bad = std::string("\0\0\1\0\x14\0", 6);
    for (int i = 0; i < 20; ++i) bad += big.substr(6, 8) + u32(big.size() - 22) + u32(6 + 16 * 20);
    bad += big.substr(22);
    EXPECT_THROW(icon.LoadFromStream(bad), EInvalidIcon);
    EXPECT_EQ(DecodeIcon(big).size(), 1u);
    EXPECT_EQ(icon.SaveToStream(), good);
    EXPECT_EQ(icon.Width(), 16);
}

TEST(IconRecord, IconIsWrittenAsHexStringsBeforeTheBaseItems) {
    const TIcon icon = IconOf(Square(32, 4, 0x0000FF));
    ASSERT_EQ(icon.SaveToStream().size(), 766u);

    TCellPropertiesIcon p(nullptr);
    p.SetIcon(&icon);
    std::vector<std::string> items = Items(p);
    ASSERT_EQ(items.size(), 11u);
    EXPECT_EQ(items[0], "100");
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(items[i].size(), 200u);
    EXPECT_EQ(items[8].size(), 132u);
    EXPECT_EQ(items[1].substr(0, 12), "000001000100");
    EXPECT_EQ(items[9], ".");
    EXPECT_EQ(items[10], "0");

    p.Edit = 1;
    items = Items(p);
    EXPECT_EQ(std::vector<std::string>(items.end() - 3, items.end()), (std::vector<std::string>{"3", "1", "0"}));

    // Copies carry the icon only between icon records.
    TCellPropertiesIcon copy(nullptr);
    copy.Assign(&p);
    ASSERT_NE(copy.Icon(), nullptr);
    EXPECT_EQ(copy.Icon()->SaveToStream(), icon.SaveToStream());
    EXPECT_NE(dynamic_cast<TCellPropertiesIcon*>(p.Clone().get()), nullptr);
    TCellProperties plain(nullptr);
    copy.Assign(&plain);
    EXPECT_EQ(copy.Icon(), nullptr);
    EXPECT_TRUE(copy.IsEmpty());
    TIcon empty;
    copy.SetIcon(&empty);
    EXPECT_TRUE(copy.IsEmpty());
}

TEST(IconRecord, IconGridDescriptionsCarryIconsThatAPlainGridRefuses) {
    TIconGrid g;
    g.SetAlignCell(1, 1, TMyAlign::alCenter);
    auto* p = dynamic_cast<TCellPropertiesIcon*>(g.CellProperties(1, 1));
    ASSERT_NE(p, nullptr);
    const TIcon icon = IconOf(Square(16, 8, 0x00FF00));
    p->SetIcon(&icon);
    const std::string description = g.WriteDescription();

    TIconGrid copy;
    copy.ReadDescription(description);
    auto* q = dynamic_cast<TCellPropertiesIcon*>(copy.CellProperties(1, 1));
    ASSERT_NE(q, nullptr);
    ASSERT_NE(q->Icon(), nullptr);
    EXPECT_EQ(q->Icon()->SaveToStream(), icon.SaveToStream());
    EXPECT_EQ(copy.GetAlignCell(1, 1), TMyAlign::alCenter);
    EXPECT_EQ(copy.WriteDescription(), description);

    TStringAlignGrid plain;
    EXPECT_THROW(plain.ReadDescription(description), EReadError);
    EXPECT_EQ(plain.CellProperties(1, 1), nullptr);

    // Hex text that is no icon is a damaged description.
    std::string bad = description;
    bad.replace(bad.find("0000010001"), 10, "0000020001");
    EXPECT_THROW(copy.ReadDescription(bad), EReadError);
    bad = description;
    bad.replace(bad.find("0000010001"), 2, "0G");
    EXPECT_THROW(copy.ReadDescription(bad), EReadError);
    EXPECT_EQ(copy.WriteDescription(), description);
}

TEST(IconGrid, DrawsTheCellsOwnIconAtItsCornerAndTheTextBesideIt) {
    TForm* form = new TForm(Application);
    form->SetBounds(0, 0, 400, 300);
    auto* grid = new TIconGrid(form);
    grid->SetParent(form);
    grid->SetBounds(0, 0, 380, 260);
    grid->SetDefaultColWidth(80);
    grid->SetDefaultRowHeight(24);
    grid->SetCells(1, 1, "com ícone");
    grid->SetCells(2, 1, "coluna");
    const TIcon red = IconOf(Square(16, 24, 0xFF0000));
    grid->SetAlignCell(1, 1, TMyAlign::alLeft);
    dynamic_cast<TCellPropertiesIcon*>(grid->CellProperties(1, 1))->SetIcon(&red);
    grid->SetAlignCol(2, TMyAlign::alLeft);
    dynamic_cast<TCellPropertiesIcon*>(grid->ColProperties(2))->SetIcon(&red);
    grid->BrushCell(1, 1).SetColor(clWhite);

    std::vector<std::string> log;
    grid->Canvas().SetRecorder(&log);
    form->Show();
    const QImage shot = grid->Widget()->findChild<QAbstractScrollArea*>()->viewport()->grab().toImage();
    grid->Canvas().SetRecorder(nullptr);

    const TRect cell = grid->CellRect(1, 1), column = grid->CellRect(2, 1);
    int pictures = 0;
    int textX = -1, columnTextX = -1;
    for (const std::string& line : log) {
        if (line.rfind("picture ", 0) == 0) {
            ++pictures;
            EXPECT_EQ(line, "picture " + std::to_string(cell.Left) + " " + std::to_string(cell.Top) + " " +
                                std::to_string(cell.Left + 16) + " " + std::to_string(cell.Top + 16) + " masked");
        }
        if (line.rfind("text ", 0) == 0 && line.find("com ") != std::string::npos) textX = std::stoi(line.substr(5));
        if (line.rfind("text ", 0) == 0 && line.find("coluna") != std::string::npos)
            columnTextX = std::stoi(line.substr(5));
    }
    EXPECT_EQ(pictures, 1);  // the column record's icon draws nothing
    EXPECT_EQ(textX, cell.Left + 16 + 2);
    EXPECT_EQ(columnTextX, column.Left + 2);
    EXPECT_EQ(shot.pixelColor(cell.Left + 2, cell.Top + 2), QColor(255, 0, 0));
    EXPECT_EQ(shot.pixelColor(cell.Left + 12, cell.Top + 2), QColor(255, 255, 255));  // masked: the fill shows
    form->Free();
}

TEST(IconGrid, AlphaImagesBlendWithTheFillAndOldOnesUseTheirMask) {
    TIconImage img = Square(2, 32, 0xFF0000);
    img.Colors = {0x80FF0000, 0x00FF0000, 0xFF00FF00, 0xFF0000FF};
    img.Mask = {1, 0, 1, 0};  // ignored: the alpha channel is in use
    TBitmap bmp(2, 2, TPixelFormat::pf24bit);
    bmp.Canvas().Brush().SetColor(clWhite);
    bmp.Canvas().FillRect(TRect{0, 0, 2, 2});
    DrawIcon(bmp.Canvas(), 0, 0, IconOf(img));
    EXPECT_EQ(bmp.GetPixel(0, 0), RGB(255, 127, 127));
    EXPECT_EQ(bmp.GetPixel(1, 0), clWhite);
    EXPECT_EQ(bmp.GetPixel(0, 1), RGB(0, 255, 0));

    // Without alpha the mask decides.
    for (uint32_t& c : img.Colors) c &= 0x00FFFFFF;
    bmp.Canvas().FillRect(TRect{0, 0, 2, 2});
    DrawIcon(bmp.Canvas(), 0, 0, IconOf(img));
    EXPECT_EQ(bmp.GetPixel(0, 0), clWhite);
    EXPECT_EQ(bmp.GetPixel(1, 0), clRed);
    EXPECT_EQ(bmp.GetPixel(1, 1), clBlue);
}
