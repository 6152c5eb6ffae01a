// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryText.h"

#include <gtest/gtest.h>

namespace velk {

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

} // namespace velk
