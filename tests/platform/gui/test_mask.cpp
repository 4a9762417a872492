// The edit-mask engine: layout of the text, typing, deleting, placing a text
// and validation.
#include <gtest/gtest.h>

#include "platform/gui/mask.h"

namespace {

std::string Type(TMaskEngine& m, const std::string& keys, int pos = 0) {
    for (char c : keys) m.TypeChar(pos, c);
    return m.Text();
}

TEST(MaskEngine, DateMaskShowsBlanksAndFillsAsTyped) {
    TMaskEngine m("!99/99/9999;1;_");
    EXPECT_EQ(m.Text(), "  /  /    ");
    EXPECT_EQ(m.EditText(), "__/__/____");
    int pos = 0;
    for (char c : std::string("120519")) ASSERT_TRUE(m.TypeChar(pos, c));
    EXPECT_EQ(pos, 8);  // the caret skipped both slashes
    for (char c : std::string("95")) ASSERT_TRUE(m.TypeChar(pos, c));
    EXPECT_EQ(m.Text(), "12/05/1995");
    EXPECT_EQ(pos, 10);
    EXPECT_FALSE(m.TypeChar(pos, '1')) << "no place left after the last one";
}

TEST(MaskEngine, RefusesWrongCharactersAndStepsOverTypedLiterals) {
    TMaskEngine m("!99/99/9999;1; ");
    int pos = 0;
    EXPECT_FALSE(m.TypeChar(pos, 'a'));
    EXPECT_EQ(pos, 0);
    // "1/2/2003" typed with its slashes: each slash jumps to the next field.
    EXPECT_EQ(Type(m, "1/2/2003"), "1 /2 /2003");
    // A slash right after the caret skipped one is taken as already there.
    TMaskEngine d("99/99;1;_");
    EXPECT_EQ(Type(d, "12/3"), "12/3 ");
}

TEST(MaskEngine, BackspaceAndDeleteBlankAPlace) {
    TMaskEngine m("!99/99/9999;1;_");
    m.SetText("12/05/1995");
    int pos = 3;  // after the first slash
    ASSERT_TRUE(m.Backspace(pos));
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(m.Text(), "1 /05/1995");
    ASSERT_TRUE(m.DeleteAt(2));  // on the slash: blanks the next place
    EXPECT_EQ(m.Text(), "1 / 5/1995");
    pos = 0;
    EXPECT_FALSE(m.Backspace(pos));
    m.ClearRange(0, 10);
    EXPECT_EQ(m.Text(), "  /  /    ");
}

TEST(MaskEngine, SettingTextPlacesCharactersIntoTheMask) {
    TMaskEngine m("!99/99/9999;1; ");
    m.SetText("01/05/96");
    EXPECT_EQ(m.Text(), "01/05/96  ");
    m.SetText("ab/05/1996");  // characters a place refuses are left blank
    EXPECT_EQ(m.Text(), "  /05/1996");

    TMaskEngine noLiterals("99/99;0;_");
    noLiterals.SetText("1205");
    EXPECT_EQ(noLiterals.Text(), "1205");
    EXPECT_EQ(noLiterals.EditText(), "12/05");
    noLiterals.SetText("5");
    EXPECT_EQ(noLiterals.EditText(), "5_/__") << "without ! blanks trail";

    TMaskEngine leading("!99/99;0;_");
    leading.SetText("5");
    EXPECT_EQ(leading.EditText(), "__/_5") << "with ! blanks lead";
}

TEST(MaskEngine, CaseConversionEscapesAndCharacterClasses) {
    TMaskEngine m(">LL<ll<>a\\9c;1;_");
    EXPECT_EQ(m.Length(), 7);
    EXPECT_TRUE(m.IsLiteral(5));
    EXPECT_EQ(Type(m, "abCDx"), "ABcdx9 ");
    int pos = 0;
    EXPECT_FALSE(m.TypeChar(pos, '1')) << "a letter place refuses digits";
    TMaskEngine sign("#99;1;_");
    EXPECT_EQ(Type(sign, "-12"), "-12");
    TMaskEngine accented("LL;1;_");
    EXPECT_EQ(Type(accented, "\xC9\xE7"), "\xC9\xE7") << "letters of Windows-1252 are letters";
}

TEST(MaskEngine, ValidationWantsEveryRequiredPlace) {
    TMaskEngine m("00/00;1;_");
    m.SetText("12/3");
    EXPECT_EQ(m.FirstMissing(), 4);
    EXPECT_THROW(m.Validate(), EDBEditError);
    m.SetText("12/34");
    EXPECT_NO_THROW(m.Validate());
    TMaskEngine optional("!99/99/9999;1;_");
    EXPECT_NO_THROW(optional.Validate()) << "optional places may stay blank";
    try {
        TMaskEngine("0;1;_").Validate();
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Valor inválido para a máscara");
    }
}

TEST(MaskEngine, EmptyOrOddMasksAreHarmless) {
    TMaskEngine none("");
    EXPECT_FALSE(none.IsMasked());
    TMaskEngine onlyFlags(";1;_");
    EXPECT_FALSE(onlyFlags.IsMasked());
    TMaskEngine trailingEscape("99\\");
    EXPECT_EQ(trailingEscape.Length(), 2);
    EXPECT_EQ(FormatMaskText("99/99;0;_", "1205"), "1205");
}

}  // namespace
