// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePage, DosBytesShowTheirScreenGlyphs) {
    EXPECT_EQ(cp437ToUnicode(0x01), U'☺');
    EXPECT_EQ(cp437ToUnicode(0x7F), U'⌂');
    EXPECT_EQ(cp437ToUnicode(0x82), U'é');
    EXPECT_EQ(cp437ToUnicode(0xB0), U'░');
    EXPECT_EQ(cp437ToUnicode(0xCD), U'═');
    EXPECT_EQ(cp437ToUnicode(0xAE), U'«');
    EXPECT_EQ(dosToUnicode("\x90t\x82"), QStringLiteral("Été"));
    // Message text keeps its line ends as controls.
    EXPECT_EQ(dosTextToUnicode("a\nb\tc"), QStringLiteral("a\nb\tc"));
}

TEST(CodePage, OemToAnsiUsesBestFitForBoxDrawing) {
    // é ê à ç survive, box drawing becomes + - | as the platform conversion gives.
    EXPECT_EQ(oemToAnsi("\x82\x88\x85\x87"), std::string("\xE9\xEA\xE0\xE7"));
    EXPECT_EQ(oemToAnsi("\xDA\xC4\xBF\xB3\xC0\xD9"), "+-+|++");
    EXPECT_EQ(oemToAnsi("\xCD\xBA"), "=|");
    EXPECT_EQ(oemToAnsi("\xB0\xDB"), "##");
    EXPECT_EQ(oemToAnsi("\xAE\xAF"), std::string("\xAB\xBB"));
    EXPECT_EQ(oemToAnsi("abc\r\n"), "abc\r\n");
}

TEST(CodePage, AnsiToOemKeepsFrenchLettersAndStripsOtherAccents) {
    // É is 0x90 in DOS; À and Ê have no DOS form and lose their accent.
    EXPECT_EQ(ansiToOem("\xC9"), "\x90");
    EXPECT_EQ(ansiToOem("\xE9\xE8\xE0\xE7\xF4"), "\x82\x8A\x85\x87\x93");
    EXPECT_EQ(ansiToOem("\xC0\xCA"), "AE");
    EXPECT_EQ(ansiToOem("\x93x\x94"), "\"x\"");
    EXPECT_EQ(unicodeToDos(QStringLiteral("Éléphant ░")), "\x90l\x82phant \xB0");
}

TEST(CodePage, EveryDosByteRoundTripsThroughUnicode) {
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(unicodeToCp437(cp437ToUnicode(static_cast<unsigned char>(b))), b) << b;
}

TEST(CodePage, UserTextIsUtf8ElseWindows) {
    EXPECT_EQ(decodeUserText(QByteArray("\xC3\xA9t\xC3\xA9")), QStringLiteral("été"));
    EXPECT_EQ(decodeUserText(QByteArray("\xE9t\xE9")), QStringLiteral("été"));
    EXPECT_EQ(dosForDisplay("\xC4\x82", false), QStringLiteral("-é"));
    EXPECT_EQ(dosForDisplay("\xC4\x82", true), QStringLiteral("─é"));
}

TEST(CodePage, Utf8TextKeepsEveryByte) {
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"Caf\xC3\xA9 \xE2\x82\xAC\n\tx", u"Café €\n\tx"},
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        // A character cut in the middle, a stray DOS letter, an overlong form, a surrogate:
        // each byte shows as its code page 437 glyph.
        {"No\xC3", u"No├"},
        {"caf\x82", u"café"},
        {"\xC0\xAE", u"└«"},
        {"\xED\xA0\x80", u"φáÇ"},
        {std::string("\x01\0", 2), std::u16string(u"☺\0", 2)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(utf8TextToUnicode(c.bytes), QString::fromStdU16String(c.text)) << c.bytes;
}
