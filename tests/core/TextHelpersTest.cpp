// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/TextHelpers.h"

#include "core/VelkError.h"

#include <gtest/gtest.h>

namespace velk {

TEST(TextHelpers, TrimTextBufferDropsPaddingAndTheLastLineEnd) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"Bonjour\xE3" + std::string(120, ' '), "Bonjour"},
        {"A\xE3"
         "B\xE3" +
             std::string(20, ' '),
         "A\xE3"
         "B"},
        // NUL padding instead of blanks ends the text at the first NUL.
        {"Salut\xE3" + std::string(50, '\0'), "Salut\xE3"},
        {std::string(128, ' '), ""},
        {"", ""},
        {"X", ""},
        {std::string("ab\0cd ", 6), "ab"},
    };
    for (const Case& c : cases) {
        std::string b = c.in;
        TrimTextBuffer(b);
        EXPECT_EQ(b, c.out) << c.in;
    }
}

TEST(TextHelpers, NextLineStopsAtLineFeedEndOr255) {
    const std::string text = "un\r\ndeux\ntrois";
    EXPECT_EQ(NextLine(text, 0), "un");
    EXPECT_EQ(NextLine(text, 4), "deux");
    EXPECT_EQ(NextLine(text, 9), "trois");
    EXPECT_EQ(NextLine(text, 9, 11), "tr");
    EXPECT_EQ(NextLine(text, 40), "");
    const std::string longLine(300, 'x');
    EXPECT_EQ(NextLine(longLine, 0).size(), 255u);
    EXPECT_EQ(NextLine(longLine, 100).size(), 200u);
}

TEST(TextHelpers, ReplaceByteAndTrimRight) {
    std::string b = "a\xE3"
                    "b\xE3"
                    "c";
    ReplaceByte('\xE3', '\n', b, 2);
    EXPECT_EQ(b, "a\nb\xE3"
                 "c");
    ReplaceByte('\xE3', '\n', b);
    EXPECT_EQ(b, "a\nb\nc");
    EXPECT_EQ(TrimRight("abc   "), "abc");
    EXPECT_EQ(TrimRight("  a\t "), "  a\t");
    EXPECT_EQ(TrimRight("   "), "");
}

TEST(TextHelpers, WholeNumbersAsTheRuntimeReadsThem) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"12", 12},
        {"  7", 7},
        {"-3", -3},
        {"+4", 4},
        {"", {}},
        {"  ", {}},
        {"1 2", {}},
        {"12 ", {}},
        {"x1", {}},
        {"--1", {}},
        {"2147483647", 2147483647},
        {"2147483648", {}},
        {"-2147483648", -2147483647 - 1},
        {"99999999999999999999", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseWholeNumber(c.text), c.value) << c.text;
    try {
        StrToInt("1x");
        FAIL();
    } catch (const VelkError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'1x' n'est pas une valeur entière correcte"));
    }
}

} // namespace velk
