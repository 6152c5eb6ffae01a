// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryText.h"

#include <gtest/gtest.h>

TEST(LibraryText, TypedCharactersBecomeDosBytes) {
    struct Case {
        const char16_t* typed;
        std::string dos;
    } const cases[] = {
        {u"é", "\x82"},        {u"É", "\x90"}, {u"à", "\x85"}, {u"ç", "\x87"},
        {u"ù", "\x97"},        {u"²", "\xFD"}, {u"§", "\xEC"}, // the keyboard table's own choice
        {u"¤", "\xF8"},        {u"ñ", "\xA4"}, {u"ě", "e"},    {u"a\tb", "a\tb"},
        {u"«oui»", "\"oui\""}, // entry markers never come out
        {u"¡hola!", "!hola!"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(typedToDos(QString::fromUtf16(c.typed)), c.dos)
            << QString::fromUtf16(c.typed).toStdString();
}

TEST(LibraryText, PastedGlyphsKeepTheirCodePageByte) {
    EXPECT_EQ(glyphsToDos(QStringLiteral("§ é ░ «x»")), "\x15 \x82 \xB0 \"x\"");
    // Every byte an entry can hold comes back from its glyph.
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (b != 0xAD && b != 0xAE && b != 0xAF && b != '\r' && b != '\n')
            all.push_back(char(b));
    }
    EXPECT_EQ(glyphsToDos(dosLineForDisplay(all)), all);
}

TEST(LibraryText, MarkersAndCapitals) {
    EXPECT_EQ(withoutEntryMarkers("\xAE\xAD\xAF x"), "\"!\" x");
    std::string name = "dupont \x82t\x82 zz";
    upperAsciiLetters(name);
    EXPECT_EQ(name, "DUPONT \x82T\x82 ZZ");
}

TEST(LibraryText, LinesOfAnEntry) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(entryLines(""), Lines{});
    EXPECT_EQ(entryLines("Bonjour\r\n%PRENOM_DEST%\r\n"), (Lines{"Bonjour", "%PRENOM_DEST%"}));
    EXPECT_EQ(entryLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(entryLines("lf only\nnext\n"), (Lines{"lf only", "next"}));
    const std::string longLine(1500, 'x');
    EXPECT_EQ(entryLines(longLine + "\r\n"), Lines{longLine});
    EXPECT_EQ(joinEntryLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(firstLine("123456789\r\nsecond", 5), "12345");
    EXPECT_EQ(firstLine("short\r\nsecond", 28), "short");
}
