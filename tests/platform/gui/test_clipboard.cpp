// The clipboard: text, Unicode text and registered formats in one set.
#include <gtest/gtest.h>

#include "platform/gui/clipboard.h"
#include "test_canvas_env.h"

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        canvas_test::EnsureApplication();
        Clipboard().Clear();
    }
};

TEST_F(ClipboardTest, TextAndHtmlFormatInOneSet) {
    const unsigned html = RegisterClipboardFormat("HTML Format");
    const std::string block = "Version:1.0\r\nStartHTML:00000040\r\n<html><body>Revis\xC3\xA3o</body></html>";
    TClipboard& cb = Clipboard();
    cb.Open();
    cb.Clear();
    cb.SetAsText("Revisão de Benefício");
    cb.SetAsHandle(html, block);
    EXPECT_FALSE(cb.HasFormat(html));  // nothing is published before Close
    cb.Close();
    EXPECT_TRUE(cb.HasFormat(CF_TEXT));
    EXPECT_TRUE(cb.HasFormat(CF_UNICODETEXT));
    EXPECT_TRUE(cb.HasFormat(html));
    EXPECT_EQ(cb.AsText(), "Revisão de Benefício");
    EXPECT_EQ(cb.AsUnicodeText(), u"Revisão de Benefício");
    EXPECT_EQ(cb.GetAsHandle(html), block);
}

TEST_F(ClipboardTest, LaterSetsKeepWhatIsThereUnlessCleared) {
    // The viewer puts its text first and adds the HTML block in a second set.
    const unsigned html = RegisterClipboardFormat("HTML Format");
    TClipboard& cb = Clipboard();
    cb.SetAsUnicodeText(u"texto \u2013 com travessão");
    cb.Open();
    cb.SetAsHandle(html, "<b>x</b>");
    cb.Close();
    EXPECT_EQ(cb.AsUnicodeText(), u"texto \u2013 com travessão");
    EXPECT_EQ(cb.GetAsHandle(html), "<b>x</b>");
    EXPECT_EQ(cb.AsText(), "texto \x96 com travessão");  // the dash exists in Windows-1252

    cb.Open();
    cb.Clear();
    cb.SetAsText("só texto");
    cb.Close();
    EXPECT_FALSE(cb.HasFormat(html));
    EXPECT_EQ(cb.AsText(), "só texto");

    cb.Clear();
    EXPECT_FALSE(cb.HasFormat(CF_TEXT));
    EXPECT_EQ(cb.AsText(), "");
}

TEST_F(ClipboardTest, RegisteredFormatIdsAreStable) {
    unsigned a = RegisterClipboardFormat("HTML Format");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("HTML Format"), a);
    EXPECT_EQ(RegisterClipboardFormat("html format"), a);
    unsigned b = RegisterClipboardFormat("Rich Text Format");
    EXPECT_NE(a, b);
    EXPECT_EQ(GetClipboardFormatName(b), "Rich Text Format");
    EXPECT_EQ(RegisterClipboardFormat(""), 0u);
    EXPECT_EQ(GetClipboardFormatName(12345), "");
    // Unknown formats read as nothing.
    EXPECT_FALSE(Clipboard().HasFormat(0xFFFF));
    EXPECT_EQ(Clipboard().GetAsHandle(0xFFFF), "");
}
