// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryEditing.h"

#include "core/FileUtil.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/ScriptedUiServices.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

using Lines = std::vector<std::string>;

class LibraryEditingTest : public LibraryFixture {
protected:
    // As an editor opens: the file read, the list shown, the first entry displayed.
    LibraryEditing open(LibraryKind kind) {
        EXPECT_TRUE(shown(LoadLibrary(state, kind, dir.path()), ui));
        LibraryEditing editing(state, kind);
        editing.rebuildMap();
        editing.select(0);
        return editing;
    }
};

} // namespace

TEST_F(LibraryEditingTest, DropDownShowsFirstLinesOfEntriesNotDeleted) {
    write(LibraryKind::Headers, entry("Bonjour a toi, cher ami lointain et fidele\r\nsuite\r\n") +
                                    entry("Salut\r\n") + entry("Coucou\r\n", true));
    LibraryEditing editing = open(LibraryKind::Headers);
    state.HeaderList[1].deleted = true;
    EXPECT_EQ(editing.rebuildMap(), (Lines{"Bonjour a toi, cher ami loin", "Coucou"}));
    EXPECT_EQ(editing.tableIndexAt(1), 2);
    EXPECT_FALSE(editing.tableIndexAt(2));
    EXPECT_EQ(editing.positionOf(2), 1);
    const LibraryEditing::Shown shown = editing.select(1);
    EXPECT_EQ(shown.lines, Lines{"Coucou"});
    EXPECT_TRUE(shown.isDefault);
    EXPECT_EQ(editing.currentPosition(), 1);
}

TEST_F(LibraryEditingTest, AddModifyDeleteAndDefaultReachTheFileOnClose) {
    write(LibraryKind::Footers,
          entry("Amiti\x82s,\r\n", true) + entry("A+\r\n") + entry("Ciao\r\n"));
    LibraryEditing editing = open(LibraryKind::Footers);

    // Entry 1 modified and made the default, which leaves entry 0.
    editing.keepCurrent({"Amiti\x82s,"}, true);
    editing.select(1);
    editing.keepCurrent({"A plus", "%PRENOM_AUTEUR%"}, true);
    // Entry 2 deleted; the one shown next is the first one left, from the start.
    editing.select(2);
    const LibraryEditing::Deletion deletion = editing.DeleteCurrent();
    EXPECT_FALSE(deletion.wasLast);
    EXPECT_EQ(deletion.nextTableIndex, 0);
    editing.rebuildMap();
    editing.select(*editing.positionOf(*deletion.nextTableIndex));
    // A new entry, written when the window closes with it shown.
    ASSERT_TRUE(editing.NewEntry());
    EXPECT_EQ(editing.currentPosition(), 2);
    ASSERT_TRUE(shown(editing.Close({"Nouveau pied"}, false, dir.path()), ui));

    EXPECT_EQ(onDisk(LibraryKind::Footers),
              bytes(entry("Amiti\x82s,\r\n") + entry("A plus\r\n%PRENOM_AUTEUR%\r\n", true) +
                    entry("Nouveau pied\r\n")));
    EXPECT_TRUE(state.HasDefaultFooter);
    ASSERT_TRUE(shown(LoadLibrary(state, LibraryKind::Footers, dir.path()), ui));
    ASSERT_EQ(state.FooterList.size(), 3u);
    EXPECT_TRUE(state.FooterList[1].isDefault);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(LibraryEditingTest, OnlyTheLastTickedDefaultStays) {
    write(LibraryKind::Headers, entry("un\r\n") + entry("deux\r\n") + entry("trois\r\n"));
    LibraryEditing editing = open(LibraryKind::Headers);
    editing.keepCurrent({"un"}, true);
    editing.select(2);
    ASSERT_TRUE(shown(editing.Close({"trois"}, true, dir.path()), ui));
    EXPECT_EQ(onDisk(LibraryKind::Headers),
              bytes(entry("un\r\n") + entry("deux\r\n") + entry("trois\r\n", true)));
    // Unticking the only default leaves none, and the flag follows the save.
    LibraryEditing again = open(LibraryKind::Headers);
    again.select(2);
    ASSERT_TRUE(shown(again.Close({"trois"}, false, dir.path()), ui));
    EXPECT_FALSE(state.HasDefaultHeader);
}

TEST_F(LibraryEditingTest, DeletionShowsTheNextEntryElseTheFirstLeft) {
    struct Case {
        int deleted;                    // table index of the entry shown and deleted
        std::vector<int> deletedBefore; // table indexes deleted earlier in the session
        int expectedNext;
    } const cases[] = {
        {2, {}, 3},                  // position 2 of 4: the next position
        {3, {}, 0},                  // the last position: the first entry
        {3, {0}, 1},                 // the first entry gone: the first one still present
        {0, {}, 1},  {1, {2, 3}, 0}, // nothing after it: back to the start
    };
    for (const Case& c : cases) {
        write(LibraryKind::Taglines,
              entry("t0\r\n") + entry("t1\r\n") + entry("t2\r\n") + entry("t3\r\n"));
        LibraryEditing editing = open(LibraryKind::Taglines);
        for (int i : c.deletedBefore)
            state.TaglineList[std::size_t(i)].deleted = true;
        editing.rebuildMap();
        editing.select(*editing.positionOf(c.deleted));
        const LibraryEditing::Deletion d = editing.DeleteCurrent();
        EXPECT_EQ(d.nextTableIndex, c.expectedNext) << "deleting t" << c.deleted;
        EXPECT_FALSE(d.wasLast);
        EXPECT_TRUE(state.TaglineList[std::size_t(c.deleted)].deleted);
    }
}

TEST_F(LibraryEditingTest, DeletingTheLastEntryEmptiesTheFile) {
    write(LibraryKind::Correspondents, entry("DUPONT;3\r\n"));
    LibraryEditing editing = open(LibraryKind::Correspondents);
    const LibraryEditing::Deletion d = editing.DeleteCurrent();
    EXPECT_TRUE(d.wasLast);
    ASSERT_TRUE(shown(editing.SaveEmptied(dir.path()), ui));
    EXPECT_EQ(onDisk(LibraryKind::Correspondents), QByteArray());
    // The next load gives the built-in content.
    ASSERT_TRUE(shown(LoadLibrary(state, LibraryKind::Correspondents, dir.path()), ui));
    ASSERT_EQ(state.CorrespondentList.size(), 1u);
    EXPECT_EQ(state.CorrespondentList[0].text, "ALL\r\n");
}

TEST_F(LibraryEditingTest, AMissingFileIsWrittenWithItsBuiltInEntryOnClose) {
    LibraryEditing editing = open(LibraryKind::Taglines);
    const LibraryEditing::Shown shown = editing.select(0);
    EXPECT_EQ(shown.lines, Lines{">>> VELK : Le meilleur Reader Off-Line sous Windows ! <<<"});
    EXPECT_TRUE(shown.isDefault);
    ASSERT_TRUE(velk::shown(editing.Close(shown.lines, shown.isDefault, dir.path()), ui));
    EXPECT_EQ(onDisk(LibraryKind::Taglines), bytes(BuiltInLibraryContent(LibraryKind::Taglines)));
}

TEST_F(LibraryEditingTest, AnEmptiedTextBoxKeepsItsEntryAndTheOtherChanges) {
    write(LibraryKind::Headers, entry("garde\r\n") + entry("efface\r\n") + entry("change\r\n"));
    LibraryEditing editing = open(LibraryKind::Headers);
    editing.select(1);
    editing.DeleteCurrent();
    editing.rebuildMap();
    editing.select(1); // "change"
    editing.keepCurrent({"chang\x82"}, false);
    editing.select(0);
    ASSERT_TRUE(shown(editing.Close({}, false, dir.path()), ui));
    EXPECT_EQ(onDisk(LibraryKind::Headers), bytes(entry("garde\r\n") + entry("chang\x82\r\n")));
}

TEST_F(LibraryEditingTest, NewEntriesWithoutTextAreNotWritten) {
    write(LibraryKind::Headers, entry("seul\r\n"));
    LibraryEditing editing = open(LibraryKind::Headers);
    ASSERT_TRUE(editing.NewEntry());
    editing.keepCurrent({}, false);
    ASSERT_TRUE(editing.NewEntry());
    ASSERT_TRUE(shown(editing.Close({}, false, dir.path()), ui));
    EXPECT_EQ(onDisk(LibraryKind::Headers), bytes(entry("seul\r\n")));
}

TEST_F(LibraryEditingTest, CorrespondentsKeepTheirCountsAndNewOnesStartAtOne) {
    write(LibraryKind::Correspondents, entry("ALL;1\r\n") + entry("DUPONT;7\r\n"));
    LibraryEditing editing = open(LibraryKind::Correspondents);
    EXPECT_EQ(editing.rebuildMap(), (Lines{"ALL", "DUPONT"}));
    editing.select(1);
    editing.keepCurrent({"DUPONT JEAN"}, true); // no default mark for correspondents
    ASSERT_TRUE(editing.NewEntry());
    ASSERT_TRUE(shown(editing.Close({"MARTIN"}, false, dir.path()), ui));
    EXPECT_EQ(onDisk(LibraryKind::Correspondents),
              bytes(entry("ALL;1\r\n") + entry("DUPONT JEAN;7\r\n") + entry("MARTIN;1\r\n")));
}

TEST_F(LibraryEditingTest, NewEntriesStopAtWhatALoadReadsBack) {
    std::string content;
    for (int i = 0; i < 100; ++i)
        content += entry("N" + std::to_string(i) + ";1\r\n");
    write(LibraryKind::Correspondents, content);
    LibraryEditing editing = open(LibraryKind::Correspondents);
    EXPECT_FALSE(editing.NewEntry());
    EXPECT_EQ(editing.currentPosition(), 0);
    EXPECT_EQ(LibraryFullMessage(LibraryKind::Correspondents),
              QStringLiteral("VELK ne supporte pas plus de 100 correspondants."));
    // A deletion makes room again.
    editing.DeleteCurrent();
    EXPECT_TRUE(editing.NewEntry());
    EXPECT_EQ(EditorMapSize(LibraryKind::Taglines), 2001);
    EXPECT_EQ(EditorMapSize(LibraryKind::Correspondents), 101);
}

TEST_F(LibraryEditingTest, TypingIntoAnEmptyLibraryMakesAnEntry) {
    write(LibraryKind::Footers, "no entry here");
    LibraryEditing editing = open(LibraryKind::Footers);
    EXPECT_EQ(editing.currentPosition(), -1);
    EXPECT_TRUE(editing.select(0).lines.empty());
    ASSERT_TRUE(shown(editing.Close({"tap\x82"}, false, dir.path()), ui));
    EXPECT_EQ(onDisk(LibraryKind::Footers), bytes(entry("tap\x82\r\n")));
}

TEST_F(LibraryEditingTest, AFailedSaveKeepsTheOldFile) {
    const std::string previous = entry("ancien\r\n", true);
    write(LibraryKind::Headers, previous);
    LibraryEditing editing = open(LibraryKind::Headers);
    {
        const FileSizeLimit full(previous.size() + 10);
        EXPECT_FALSE(shown(editing.Close({std::string(500, 'x')}, true, dir.path()), ui));
    }
    EXPECT_EQ(onDisk(LibraryKind::Headers), bytes(previous));
    EXPECT_EQ(ui.messages(), QStringList{QStringLiteral("Problème lors de l'écriture de ") +
                                         path(LibraryKind::Headers)});
}

TEST(LibraryEditingTexts, MessagesOfEachLibrary) {
    EXPECT_EQ(LastEntryDeletedMessage(LibraryKind::Headers),
              QStringLiteral("Vous venez d'effacer le dernier entête"));
    EXPECT_EQ(LastEntryDeletedMessage(LibraryKind::Footers),
              QStringLiteral("Vous venez d'effacer le dernier pied de page"));
    EXPECT_EQ(LastEntryDeletedMessage(LibraryKind::Taglines),
              QStringLiteral("Vous venez d'effacer la derniere TagLine"));
    EXPECT_EQ(LastEntryDeletedMessage(LibraryKind::Correspondents),
              QStringLiteral("Vous venez d'effacer votre dernier correspondant"));
    EXPECT_EQ(EditorTextLimit(LibraryKind::Headers), 0);
    EXPECT_EQ(EditorTextLimit(LibraryKind::Taglines), 80);
}

} // namespace velk
