// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/CharacterSet.h"

#include <gtest/gtest.h>

namespace velk {

TEST(CharacterSet, DosBytesShowTheirScreenGlyphs) {
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

TEST(CharacterSet, OemToAnsiUsesBestFitForBoxDrawing) {
    // é ê à ç survive, box drawing becomes + - | as the platform conversion gives.
    EXPECT_EQ(oemToAnsi("\x82\x88\x85\x87"), std::string("\xE9\xEA\xE0\xE7"));
    EXPECT_EQ(oemToAnsi("\xDA\xC4\xBF\xB3\xC0\xD9"), "+-+|++");
    EXPECT_EQ(oemToAnsi("\xCD\xBA"), "=|");
    EXPECT_EQ(oemToAnsi("\xB0\xDB"), "##");
    EXPECT_EQ(oemToAnsi("\xAE\xAF"), std::string("\xAB\xBB"));
    EXPECT_EQ(oemToAnsi("abc\r\n"), "abc\r\n");
}

TEST(CharacterSet, AnsiToOemKeepsFrenchLettersAndStripsOtherAccents) {
    // É is 0x90 in DOS; À and Ê have no DOS form and lose their accent.
    EXPECT_EQ(ansiToOem("\xC9"), "\x90");
    EXPECT_EQ(ansiToOem("\xE9\xE8\xE0\xE7\xF4"), "\x82\x8A\x85\x87\x93");
    EXPECT_EQ(ansiToOem("\xC0\xCA"), "AE");
    EXPECT_EQ(ansiToOem("\x93x\x94"), "\"x\"");
    EXPECT_EQ(unicodeToDos(QStringLiteral("Éléphant ░")), "\x90l\x82phant \xB0");
}

TEST(CharacterSet, EveryDosByteRoundTripsThroughUnicode) {
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(unicodeToCp437(cp437ToUnicode(static_cast<unsigned char>(b))), b) << b;
}

TEST(CharacterSet, UserTextIsUtf8ElseWindows) {
    EXPECT_EQ(decodeUserText(QByteArray("\xC3\xA9t\xC3\xA9")), QStringLiteral("été"));
    EXPECT_EQ(decodeUserText(QByteArray("\xE9t\xE9")), QStringLiteral("été"));
    EXPECT_EQ(dosForDisplay("\xC4\x82", false), QStringLiteral("-é"));
    EXPECT_EQ(dosForDisplay("\xC4\x82", true), QStringLiteral("─é"));
}

TEST(CharacterSet, Utf8TextKeepsEveryByte) {
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

TEST(CharacterSet, TypedCharactersBecomeDosBytes) {
    struct Case {
        const char16_t* typed;
        std::string dos;
    } const cases[] = {
        {u"é", "\x82"},
        {u"É", "\x90"},
        {u"à", "\x85"},
        {u"ç", "\x87"},
        {u"ù", "\x97"},
        {u"²", "\xFD"},
        {u"§", "\xEC"}, // the keyboard table's own choice
        {u"¤", "\xF8"},
        {u"ñ", "\xA4"},
        {u"ě", "e"},
        {u"a\tb", "a\tb"},
        {u"─", "\xC4"},
        {u"À", "A"},
        {u"«a»", "\xAE"
                 "a\xAF"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(typedToDos(QString::fromUtf16(c.typed)), c.dos)
            << QString::fromUtf16(c.typed).toStdString();
}

TEST(CharacterSet, TheRulesOfABox) {
    const DosInputRules library{.markersRefused = true};
    const DosInputRules name{.capitals = true};
    EXPECT_EQ(typedToDos(QStringLiteral("«oui»"), library), "\"oui\"");
    EXPECT_EQ(typedToDos(QStringLiteral("¡hola!"), library), "!hola!");
    EXPECT_EQ(typedToDos(QStringLiteral("rené è"), name), "REN\x90 E");
    EXPECT_EQ(pastedToDos(QStringLiteral("jean \u00E9t\u00E9\r\n"), name), "JEAN \x90T\x90\n");
    EXPECT_EQ(withoutMarkerBytes("\xAE\xAD\xAF x"), "\"!\" x");
    EXPECT_EQ(upperAsciiLetters("dupont \x82t\x82 zz"), "DUPONT \x82T\x82 ZZ");
}

TEST(CharacterSet, PastedGlyphsKeepTheirCodePageByte) {
    const DosInputRules library{.markersRefused = true};
    EXPECT_EQ(pastedToDos(QStringLiteral("§ é ░ «x»"), library), "\x15 \x82 \xB0 \"x\"");
    // Every byte an entry can hold comes back from its glyph.
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (b != 0xAD && b != 0xAE && b != 0xAF && b != '\r' && b != '\n')
            all.push_back(char(b));
    }
    EXPECT_EQ(pastedToDos(dosLineForDisplay(all), library), all);
}

} // namespace velk
