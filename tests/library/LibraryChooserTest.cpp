// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryChooser.h"

#include "core/FileUtil.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

namespace velk {

namespace {

std::string entry(const std::string& text) {
    return "\xAE" + text + "\xAF\r\n";
}

class LibraryChooserTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session session;
    ScriptedUiServices ui;
    LibraryChooser chooser;

    void SetUp() override { dirs.configure(session); }
    void write(LibraryKind kind, const std::string& content) {
        writeFileAtomically(LibraryPath(session.settings.velkPath, kind),
                            QByteArray(content.data(), qsizetype(content.size())));
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (const ChooserLine& l : chooser.lines())
            out.push_back(l.text);
        return out;
    }
    std::vector<int> indexes() const {
        std::vector<int> out;
        for (const ChooserLine& l : chooser.lines())
            out.push_back(l.tableIndex);
        return out;
    }
};

using Texts = std::vector<std::string>;

} // namespace

TEST_F(LibraryChooserTest, CaptionsOfTheFourKinds) {
    EXPECT_EQ(ChooserCaption(LibraryKind::Headers), QStringLiteral("Choix d'un entête"));
    EXPECT_EQ(ChooserCaption(LibraryKind::Footers), QStringLiteral("Choix d'un pied de page"));
    EXPECT_EQ(ChooserCaption(LibraryKind::Taglines), QStringLiteral("Choix d'une tagline"));
    EXPECT_EQ(ChooserCaption(LibraryKind::Correspondents),
              QStringLiteral("Choix du correspondant"));
}

TEST_F(LibraryChooserTest, LinesAreFirstLinesOfAtMost80CharactersInTableOrder) {
    const std::string long90(90, 'h');
    write(LibraryKind::Headers, entry(long90 + "\r\nsuite\r\n") + entry("Salut\r\n"));
    ASSERT_TRUE(velk::shown(chooser.ShowTag(LibraryKind::Headers, session), ui));
    EXPECT_EQ(shown(), (Texts{std::string(80, 'h'), "Salut"}));
    EXPECT_EQ(indexes(), (std::vector<int>{0, 1}));
    // Nothing chosen yet: the result names no entry.
    EXPECT_FALSE(chooser.ChooserResult[0]);
    chooser.choose(1);
    EXPECT_EQ(chooser.ChooserResult[0], 1);
    EXPECT_FALSE(chooser.ChooserResult[1]);
}

TEST_F(LibraryChooserTest, CorrespondentsByDecreasingUseWithTiesInTableOrder) {
    write(LibraryKind::Correspondents, entry("ALL;1\r\n") + entry("BOB;5\r\n") +
                                           entry("ZOE;2\r\n") + entry("ANN;5\r\n") +
                                           entry("LEO;2\r\n"));
    ASSERT_TRUE(velk::shown(chooser.ShowTag(LibraryKind::Correspondents, session), ui));
    EXPECT_EQ(shown(), (Texts{"BOB", "ANN", "ZOE", "LEO", "ALL"}));
    chooser.choose(1);
    EXPECT_EQ(chooser.ChooserResult[3], 3);
    chooser.toggleSort();
    EXPECT_EQ(shown(), (Texts{"ALL", "ANN", "BOB", "LEO", "ZOE"}));
    chooser.choose(0);
    EXPECT_EQ(chooser.ChooserResult[3], 0);
}

TEST_F(LibraryChooserTest, SortedTaglinesEachReturnTheirOwnEntry) {
    write(LibraryKind::Taglines, entry("z\x8A"
                                       "bre\r\n") +
                                     entry("M\x88me d\x82"
                                           "but\r\nfin A\r\n") +
                                     entry("abc\r\n") +
                                     entry("M\x88me d\x82"
                                           "but\r\nfin B\r\n"));
    ASSERT_TRUE(velk::shown(chooser.ShowTag(LibraryKind::Taglines, session), ui));
    chooser.toggleSort();
    ASSERT_TRUE(chooser.shownSorted());
    EXPECT_EQ(indexes(), (std::vector<int>{2, 1, 3, 0}));
    chooser.choose(2);
    EXPECT_EQ(chooser.ChooserResult[2], 3);
    // The order lasts into the next use and back to normal on request.
    ASSERT_TRUE(velk::shown(chooser.ShowTag(LibraryKind::Taglines, session), ui));
    EXPECT_EQ(indexes(), (std::vector<int>{2, 1, 3, 0}));
    chooser.toggleSort();
    EXPECT_EQ(indexes(), (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(LibraryChooserTest, HeadersAndFootersStayInTableOrderWhileTaglinesAreSorted) {
    write(LibraryKind::Taglines, entry("b\r\n") + entry("a\r\n"));
    write(LibraryKind::Footers, entry("zz\r\n") + entry("aa\r\n"));
    ASSERT_TRUE(velk::shown(chooser.ShowTag(LibraryKind::Taglines, session), ui));
    chooser.toggleSort();
    ASSERT_TRUE(velk::shown(chooser.ShowTag(LibraryKind::Footers, session), ui));
    EXPECT_FALSE(chooser.sortable());
    EXPECT_EQ(shown(), (Texts{"zz", "aa"}));
    chooser.choose(0);
    EXPECT_EQ(chooser.ChooserResult[1], 0);
    ASSERT_TRUE(velk::shown(chooser.ShowTag(LibraryKind::Taglines, session), ui));
    EXPECT_EQ(shown(), (Texts{"a", "b"}));
}

TEST_F(LibraryChooserTest, ATooBigFileShowsItsMessage) {
    write(LibraryKind::Taglines, entry(std::string(70000, 't')));
    EXPECT_FALSE(velk::shown(chooser.ShowTag(LibraryKind::Taglines, session), ui));
    EXPECT_TRUE(chooser.lines().empty());
    EXPECT_EQ(ui.messages().size(), 1);
}

} // namespace velk
