// The speed button: glyph strips and state images, the press and release
// state machine, groups, the drop-down menu and auto-repeat (timer fired by hand).
#include <gtest/gtest.h>

#include "controls/control_bitmaps.h"
#include "controls/speed_button.h"
#include "controls_env.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/application.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/imglist.h"
#include "platform/gui/menus.h"
#include "platform/gui/stdctrls.h"

namespace {

using ctltest::FormTest;
constexpr auto L = TMouseButton::mbLeft;

TBitmap Strip(int w, int h, TColor color = clRed) {
    TBitmap b(w, h, TPixelFormat::pf24bit);
    b.Canvas().FillRect(TRect{0, 0, w, h}, clFuchsia);
    b.Canvas().FillRect(TRect{2, 2, w - 2, h - 2}, color);
    return b;
}

class SpeedButtonTest : public FormTest {
protected:
    TRxSpeedButton* NewButton(int group = 0) {
        auto* b = new TRxSpeedButton(form);
        b->SetParent(form);
        b->SetGroupIndex(group);
        b->OnClick = [this](TObject*) { ++clicks; };
        return b;
    }
    int clicks = 0;
};

TEST_F(SpeedButtonTest, GlyphStripSetsTheImageCount) {
    TRxSpeedButton* b = NewButton();
    EXPECT_EQ(b->Width(), 25);
    EXPECT_EQ(b->Height(), 25);
    b->SetGlyph(Strip(28, 14));
    EXPECT_EQ(b->NumGlyphs(), 2);
    b->SetNumGlyphs(3);
    b->SetGlyph(Strip(84, 13));
    EXPECT_EQ(b->NumGlyphs(), 3);  // no multiple of the height: kept
    b->SetGlyph(Strip(70, 10));
    EXPECT_EQ(b->NumGlyphs(), 1);
    b->SetNumGlyphs(9);
    EXPECT_EQ(b->NumGlyphs(), 5);
    EXPECT_EQ(b->ButtonGlyph().GlyphSize(), (TSize{14, 10}));
}

TEST_F(SpeedButtonTest, StateImagesOfAOneImageStrip) {
    TRxSpeedButton* b = NewButton();
    b->SetGlyph(Strip(14, 12));
    TRxButtonGlyph& g = b->ButtonGlyph();
    const int up = g.CreateButtonGlyph(rbsUp);
    EXPECT_EQ(g.CreateButtonGlyph(rbsDown), up);  // fewer than three images: down shows up
    const TBitmap* upImage = g.List()->Image(up);
    EXPECT_EQ(ColorToRGB(upImage->GetPixel(5, 5)), clRed);
    EXPECT_EQ(g.List()->Mask(up)->GetPixel(0, 0) & 0xFFFFFF, 0xFFFFFF);  // fuchsia is transparent

    const TBitmap* grey = g.List()->Image(g.CreateButtonGlyph(rbsInactive));
    EXPECT_EQ(ColorToRGB(grey->GetPixel(5, 5)), RGB(76, 76, 76));

    // Disabled: the picture's pixels as shadow, with a highlight one pixel down-right.
    const int dis = g.CreateButtonGlyph(rbsDisabled);
    const TBitmap* disabled = g.List()->Image(dis);
    EXPECT_EQ(ColorToRGB(disabled->GetPixel(2, 2)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ColorToRGB(disabled->GetPixel(12, 10)), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(disabled->GetPixel(0, 0) & 0xFFFFFF, ColorToRGB(clBtnFace));
}

TEST_F(SpeedButtonTest, NewSystemColoursOrFontDropTheImages) {
    TRxSpeedButton* b = NewButton();
    b->SetGlyph(Strip(14, 12));
    TRxButtonGlyph& g = b->ButtonGlyph();
    g.CreateButtonGlyph(rbsDisabled);  // drawn on the button face
    ASSERT_NE(g.List(), nullptr);
    b->Perform(RXCtrls::WM_SYSCOLORCHANGE);
    EXPECT_EQ(g.List(), nullptr);
    g.CreateButtonGlyph(rbsUp);
    b->Font().SetSize(b->Font().Size() + 2);
    EXPECT_EQ(g.List(), nullptr);
}

TEST_F(SpeedButtonTest, ImageListsAreSharedBySize) {
    const int before = GlyphCache::ListCount();
    TRxSpeedButton* a = NewButton();
    TRxSpeedButton* b = NewButton();
    a->SetGlyph(Strip(16, 16));
    b->SetGlyph(Strip(16, 16, clBlue));
    a->ButtonGlyph().CreateButtonGlyph(rbsUp);
    b->ButtonGlyph().CreateButtonGlyph(rbsUp);
    EXPECT_EQ(a->ButtonGlyph().List(), b->ButtonGlyph().List());
    EXPECT_EQ(a->ButtonGlyph().List()->Count(), 2);
    EXPECT_EQ(GlyphCache::ListCount(), before + 1);
    delete a;
    EXPECT_EQ(b->ButtonGlyph().List()->Count(), 1);
    delete b;
    EXPECT_EQ(GlyphCache::ListCount(), before);
}

TEST_F(SpeedButtonTest, PressAndRelease) {
    TRxSpeedButton* b = NewButton();
    b->MouseDown(L, 0, 5, 5);
    EXPECT_EQ(b->State(), rbsDown);
    b->MouseMove(0, 40, 5);  // dragged off: shows up
    EXPECT_EQ(b->State(), rbsUp);
    b->MouseMove(0, 6, 6);
    EXPECT_EQ(b->State(), rbsDown);
    b->MouseUp(L, 0, 6, 6);
    EXPECT_EQ(b->State(), rbsUp);
    EXPECT_EQ(clicks, 1);
    b->MouseDown(L, 0, 5, 5);
    b->MouseUp(L, 0, 30, 30);  // released outside: no click
    EXPECT_EQ(clicks, 1);
    b->SetEnabled(false);
    b->MouseDown(L, 0, 5, 5);
    b->MouseUp(L, 0, 5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->State(), rbsDisabled);
    b->SetEnabled(true);
    EXPECT_EQ(b->State(), rbsUp);
}

TEST_F(SpeedButtonTest, ClickSetsTheFormsModalResult) {
    TRxSpeedButton* b = NewButton();
    b->ModalResult = mrOk;
    b->Click();
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtonTest, GroupsKeepOneButtonDown) {
    TRxSpeedButton* a = NewButton(1);
    TRxSpeedButton* b = NewButton(1);
    TRxSpeedButton* other = NewButton(2);
    TRxSpeedButton* loose = NewButton(0);
    loose->SetDown(true);
    EXPECT_FALSE(loose->Down());  // no group: never down

    a->SetDown(true);
    other->SetDown(true);
    EXPECT_EQ(a->State(), rbsExclusive);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    EXPECT_TRUE(other->Down());  // another group
    b->SetDown(false);
    EXPECT_TRUE(b->Down());  // the group does not allow all up

    // Clicking the down button of such a group keeps it down.
    b->MouseDown(L, 0, 3, 3);
    b->MouseUp(L, 0, 3, 3);
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(clicks, 1);
    // Clicking the other one moves the group.
    a->MouseDown(L, 0, 3, 3);
    a->MouseUp(L, 0, 3, 3);
    EXPECT_TRUE(a->Down());
    EXPECT_FALSE(b->Down());

    // AllowAllUp set on one button reaches the whole group.
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp());
    a->MouseDown(L, 0, 3, 3);
    a->MouseUp(L, 0, 3, 3);
    EXPECT_FALSE(a->Down());
    EXPECT_FALSE(b->Down());
}

TEST_F(SpeedButtonTest, AutoRepeatAfterThePauseThenAtTheInterval) {
    TRxSpeedButton* b = NewButton();
    b->SetAllowTimer(true);
    b->MouseDown(L, 0, 5, 5);
    TTimer* t = b->RepeatTimer();
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->Enabled());
    EXPECT_EQ(t->Interval(), 500u);
    EXPECT_EQ(clicks, 0);
    t->Fire();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(t->Interval(), 100u);
    t->Fire();
    t->Fire();
    EXPECT_EQ(clicks, 3);
    b->MouseMove(0, 50, 50);  // held but off the button: no repeat
    t->Fire();
    EXPECT_EQ(clicks, 3);
    b->MouseMove(0, 5, 5);
    b->MouseUp(L, 0, 5, 5);  // the release clicks as usual and stops the timer
    EXPECT_EQ(clicks, 4);
    EXPECT_FALSE(t->Enabled());

    // A click handler that fails stops the repeat; the error is shown.
    b->OnClick = [](TObject*) { throw EConvertError("falhou"); };
    b->MouseDown(L, 0, 5, 5);
    t->Fire();
    EXPECT_FALSE(t->Enabled());
    ASSERT_EQ(ctltest::Dialogs().Messages().size(), 1u);
    EXPECT_EQ(ctltest::Dialogs().Messages()[0], "falhou");
    b->MouseUp(L, 0, 50, 50);
}

class RecordingMenu : public TPopupMenu {
public:
    using TPopupMenu::TPopupMenu;
    void Popup(int x, int y) override {
        at = TPoint{x, y};
        ++shown;
    }
    TPoint at;
    int shown = 0;
};

TEST_F(SpeedButtonTest, DropDownMenuOpensUnderTheButtonWithoutClicking) {
    TRxSpeedButton* b = NewButton();
    b->SetBounds(10, 20, 40, 25);
    auto* menu = new RecordingMenu(form);
    b->SetDropDownMenu(menu);
    b->MouseDown(L, 0, 5, 5);
    EXPECT_EQ(menu->shown, 1);
    EXPECT_EQ(menu->PopupComponent, b);
    EXPECT_EQ(menu->at, b->ClientToScreen(Point(-1, 25)));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b->State(), rbsUp);
    menu->Alignment = TPopupAlignment::paRight;
    b->MenuPosition = dmpRight;
    b->MouseDown(L, 0, 5, 5);
    EXPECT_EQ(menu->at, b->ClientToScreen(Point(-1, -1)));
    b->PerformClick();  // a button with a menu is not clicked from code
    EXPECT_EQ(clicks, 0);
}

TEST_F(SpeedButtonTest, PerformClickAndAccelerator) {
    TRxSpeedButton* b = NewButton(3);
    b->SetAllowAllUp(true);
    b->SetCaption("&Novo");
    b->PerformClick();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b->Down());
    EXPECT_TRUE(b->DialogChar('n'));
    EXPECT_FALSE(b->DialogChar('x'));
    EXPECT_EQ(clicks, 2);
}

TEST_F(SpeedButtonTest, DisabledBitmapFromAMask) {
    TBitmap src(4, 4, TPixelFormat::pf24bit);
    src.Canvas().FillRect(TRect{0, 0, 4, 4}, clFuchsia);
    src.Canvas().FillRect(TRect{1, 1, 2, 2}, clBlack);
    auto d = ControlUtils::CreateDisabledBitmap(src, clFuchsia);
    EXPECT_EQ(ColorToRGB(d->GetPixel(1, 1)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ColorToRGB(d->GetPixel(2, 2)), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(ColorToRGB(d->GetPixel(0, 0)), ColorToRGB(clBtnFace));

    TBitmap cell;
    ControlUtils::CopyBitmapCell(Strip(84, 13), cell, 6, 7, 1);  // index 7 of 6 columns: row 1 (none)
    EXPECT_EQ(cell.Width(), 14);
    EXPECT_EQ(cell.Height(), 13);
    ControlUtils::CopyBitmapCell(Strip(84, 13), cell, 6, 5, 0);
    EXPECT_EQ(ColorToRGB(cell.GetPixel(5, 6)), clRed);  // cell 5 spans x 70..83
    EXPECT_EQ(ColorToRGB(cell.GetPixel(13, 6)), clFuchsia);
}

}  // namespace

#include <QImage>
#include <QPainter>

namespace {

QRgb PixelAt(TRxSpeedButton* b, int x, int y) {
    QImage img(b->Width(), b->Height(), QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    b->PaintWith(p);
    p.end();
    return img.pixel(x, y) & 0xFFFFFF;
}

TEST_F(SpeedButtonTest, PaintsTheGlyphWhereTheLayoutPutsIt) {
    TRxSpeedButton* b = NewButton(1);
    b->SetGlyph(Strip(14, 12));
    // Inside the 2-pixel frame the glyph is centred: (5, 6); its red starts 2 further.
    EXPECT_EQ(PixelAt(b, 7, 8), 0xFF0000u);
    EXPECT_NE(PixelAt(b, 6, 7), 0xFF0000u);
    b->SetDown(true);  // pressed look: moved by (1, 1)
    EXPECT_EQ(PixelAt(b, 8, 9), 0xFF0000u);
    EXPECT_NE(PixelAt(b, 7, 8), 0xFF0000u);
    b->SetFlat(true);  // flat, mouse away: grey image
    EXPECT_EQ(PixelAt(b, 8, 9), 0x4C4C4Cu);
    b->SetEnabled(false);
    EXPECT_NE(PixelAt(b, 8, 9), 0xFF0000u);
}

}  // namespace

namespace {

LPARAM At(int x, int y) { return static_cast<LPARAM>(x | (y << 16)); }

TEST_F(SpeedButtonTest, AClickQueuedWhileTheMenuClosesDoesNotOpenItAgain) {
    TRxSpeedButton* b = NewButton();
    auto* menu = new TPopupMenu(form);
    int popups = 0, closes = 0;
    menu->OnPopup = [&](TObject*) { ++popups; };
    menu->OnClose = [&](TObject*) { ++closes; };  // the program's own handler
    b->SetDropDownMenu(menu);
    form->Show();
    b->MouseDown(L, 0, 5, 5);
    ASSERT_EQ(popups, 1);
    ASSERT_TRUE(menu->Showing());
    // The press that closes the menu is still queued for the button.
    PostMessage(b, WM_LBUTTONDOWN, 0, At(5, 5));
    menu->CloseMenu();
    EXPECT_FALSE(menu->Showing());
    EXPECT_EQ(closes, 1);
    Application->ProcessMessages();
    EXPECT_EQ(popups, 1);
    EXPECT_EQ(clicks, 0);
    // A press after that opens the menu as usual.
    PostMessage(b, WM_LBUTTONDOWN, 0, At(5, 5));
    Application->ProcessMessages();
    EXPECT_EQ(popups, 2);
    menu->CloseMenu();
    EXPECT_EQ(closes, 2);
}

// A 12 x 10 picture of one colour on a fuchsia (transparent) ground.
TBitmap Picture(TColor color) {
    TBitmap b(12, 10, TPixelFormat::pf24bit);
    b.Canvas().FillRect(TRect{0, 0, 12, 10}, clFuchsia);
    b.Canvas().FillRect(TRect{2, 2, 10, 8}, color);
    return b;
}

TEST_F(SpeedButtonTest, ALinkedActionSetsDownAndDrawsItsImage) {
    auto* images = new TImageList(form, 12, 10);
    images->AddMasked(Picture(clBlue), clFuchsia);
    auto* list = new TActionList(form);
    list->SetImages(images);
    auto* action = new TAction(form);
    action->SetActionList(list);
    action->SetImageIndex(0);
    action->SetChecked(true);
    int runs = 0;
    action->OnExecute = [&](TObject*) { ++runs; };

    TRxSpeedButton* grouped = NewButton(1);
    grouped->SetAllowAllUp(true);
    grouped->SetAction(action);
    TRxSpeedButton* single = NewButton(0);
    single->SetAction(action);
    EXPECT_TRUE(grouped->Down());
    EXPECT_FALSE(single->Down());  // only grouped buttons follow Checked
    action->SetChecked(false);
    EXPECT_FALSE(grouped->Down());
    action->SetChecked(true);
    EXPECT_TRUE(grouped->Down());

    // The action's image became the glyph, fuchsia transparent.
    const TBitmap& glyph = grouped->Glyph();
    ASSERT_EQ(glyph.Width(), 12);
    EXPECT_EQ(ColorToRGB(glyph.GetPixel(5, 5)), clBlue);
    EXPECT_EQ(ColorToRGB(glyph.GetPixel(0, 0)), clFuchsia);
    EXPECT_EQ(ColorToRGB(glyph.TransparentColor()), clFuchsia);
    // Painted down: glyph at (6, 7) inside the frame, pressed by (1, 1).
    EXPECT_EQ(PixelAt(grouped, 7 + 5, 8 + 5), 0x0000FFu);
    EXPECT_NE(PixelAt(grouped, 7, 8), 0x0000FFu);

    // A glyph of its own is kept.
    auto* other = new TAction(form);
    other->SetActionList(list);
    other->SetImageIndex(0);
    TRxSpeedButton* own = NewButton();
    own->SetGlyph(Strip(14, 12));
    own->SetAction(other);
    EXPECT_EQ(own->Glyph().Width(), 14);

    // Without OnClick a click runs the action.
    single->OnClick = nullptr;
    single->Click();
    EXPECT_EQ(runs, 1);
    // A freed action leaves the button unlinked.
    delete action;
    EXPECT_EQ(single->Action(), nullptr);
    single->Click();
    EXPECT_EQ(runs, 1);
}

TEST_F(SpeedButtonTest, AnImageThatArrivesLaterIsDrawnFromTheList) {
    auto* images = new TImageList(form, 12, 10);
    auto* list = new TActionList(form);
    list->SetImages(images);
    auto* action = new TAction(form);
    action->SetActionList(list);
    action->SetImageIndex(0);
    TRxSpeedButton* b = NewButton();
    b->SetAction(action);
    EXPECT_TRUE(b->Glyph().Empty());  // nothing to copy yet
    images->AddMasked(Picture(clGreen), clFuchsia);
    b->Invalidate();
    // Up: the image as it is, centred in the 21 x 21 face at (6, 7).
    EXPECT_EQ(PixelAt(b, 6 + 5, 7 + 5), 0x008000u);
    EXPECT_EQ(b->ButtonGlyph().GlyphSize(), (TSize{12, 10}));
    // Disabled: embossed in the shadow colour instead.
    b->SetEnabled(false);
    const TColor shadow = ColorToRGB(clBtnShadow);
    EXPECT_EQ(PixelAt(b, 6 + 5, 7 + 5),
              static_cast<QRgb>((GetRValue(shadow) << 16) | (GetGValue(shadow) << 8) | GetBValue(shadow)));
}

}  // namespace

namespace {

TEST_F(SpeedButtonTest, TheFormsKeysReachItsSpeedButtons) {
    TRxSpeedButton* close = NewButton();
    close->SetCaption("&Fechar");
    close->Cancel = true;
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetFocus();
    edit->SimulateKey('F', ssAlt);
    EXPECT_EQ(clicks, 1) << "Alt+letter clicks the button whose caption marks it";
    edit->SimulateKey(VK_ESCAPE, 0, 27);
    EXPECT_EQ(clicks, 2) << "Esc clicks the cancel button";
    close->SetEnabled(false);
    edit->SimulateKey(VK_ESCAPE, 0, 27);
    edit->SimulateKey('F', ssAlt);
    EXPECT_EQ(clicks, 2);
}

TEST_F(SpeedButtonTest, TheHoverLookEndsWhenTheMouseGoesOrAnotherWindowTakesIt) {
    TRxSpeedButton* b = NewButton();
    b->SetFlat(true);
    form->Show();
    b->MouseMove(0, 5, 5);
    ASSERT_TRUE(b->MouseInControl());
    b->PointerLeft();
    EXPECT_FALSE(b->MouseInControl()) << "the pointer left the button";

    TForm* other = new TForm(form);
    b->OnClick = [other](TObject*) { other->Show(); };
    b->MouseMove(0, 5, 5);
    b->MouseDown(L, 0, 5, 5);
    b->MouseUp(L, 0, 5, 5);
    EXPECT_FALSE(b->MouseInControl()) << "the window the click opened is the active one";
    EXPECT_EQ(b->State(), rbsUp);
}

TEST_F(SpeedButtonTest, ATransparentButtonShowsItsParentAndTheControlsUnderIt) {
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 100, 50);
    panel->SetColor(clYellow);  // raised bevel: white top-left edge
    auto* under = new TPaintBox(panel);
    under->SetParent(panel);
    under->SetBounds(10, 0, 20, 20);
    under->OnPaint = [under](TObject*) { under->Canvas().FillRect(TRect{0, 0, 20, 20}, clBlue); };
    auto* b = new TRxSpeedButton(form);
    b->SetParent(panel);
    b->SetBounds(0, 0, 40, 40);
    b->SetFlat(true);
    b->SetTransparent(true);
    form->Show();
    EXPECT_EQ(PixelAt(b, 0, 0), 0xFFFFFFu) << "the panel's own painting";
    EXPECT_EQ(PixelAt(b, 15, 10), 0x0000FFu) << "the control under the button";
    EXPECT_EQ(PixelAt(b, 35, 30), 0xFFFF00u) << "the panel's colour";
}

}  // namespace
