// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/IndexFiles.h"

#include "core/FileUtil.h"
#include "packet/ControlFile.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/PacketFixture.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>

#include <QFile>

#include <gtest/gtest.h>

namespace velk {

namespace {

class IndexFilesTest : public PacketFixture {
protected:
    PacketMessage& add(std::uint16_t conference, const std::string& to = "ALL") {
        PacketMessage& m = b.add(conference, "Sujet", "Texte\n");
        m.to = to;
        return m;
    }
    std::int32_t block(std::size_t message) const { return b.headerBlockIndex(message); }
    // Conference number, position and the header blocks of each listed conference.
    std::vector<std::tuple<int, int, std::vector<std::int32_t>>> listed() {
        std::vector<std::tuple<int, int, std::vector<std::int32_t>>> rows;
        for (const IndexFileEntry& e : findIndexFiles(s.settings.workPath, s.packet)) {
            const auto blocks = readConferenceIndex(s.settings.workPath, e);
            EXPECT_EQ(e.messageCount, std::int32_t(blocks.size()));
            rows.emplace_back(e.conferenceNumber, e.conferencePosition, blocks);
        }
        return rows;
    }
};

using Rows = std::vector<std::tuple<int, int, std::vector<std::int32_t>>>;

} // namespace

TEST_F(IndexFilesTest, WithoutAnyIndexFileEveryMessageIsListed) {
    b.quirks.noIndexFiles = true;
    b.quirks.noPersonalIndex = true;
    b.conference(0, "Principal").conference(5, "Cinq").conference(1001, "Mille un");
    add(5, "jean dupont");              // 0, addressed to the user in another case
    add(0);                             // 1
    add(1001).oneBlock = true;          // 2, a header alone
    add(0).status = "V";                // 3, a vote: no message
    add(0, "JEAN DUPONT").status = "*"; // 4
    add(77);                            // 5, a conference the control file lacks
    unpack();
    EXPECT_EQ(listed(), (Rows{{0, 0, {block(1), block(4)}},
                              {5, 1, {block(0)}},
                              {1001, 2, {block(2)}},
                              {77, -1, {block(5)}}}));
    EXPECT_EQ(readPersonalList(s.settings.workPath, s.packet),
              (std::vector<std::int32_t>{block(0), block(4)}));
    // Built once for the packet, again after the next opening.
    ASSERT_TRUE(s.packet.builtIndex);
    const auto* built = s.packet.builtIndex.get();
    findIndexFiles(s.settings.workPath, s.packet);
    EXPECT_EQ(s.packet.builtIndex.get(), built);
    ASSERT_TRUE(shown(InitQWK(s), ui));
    EXPECT_FALSE(s.packet.builtIndex);
}

TEST_F(IndexFilesTest, IndexFilesAreBelievedEvenEmpty) {
    b.conference(0, "Principal").conference(5, "Cinq").conference(7, "Sept");
    b.withoutIndex(5);
    add(0);
    add(5, "JEAN DUPONT");
    add(7);
    add(5);
    unpack();
    // Conference 7's index file is emptied: the board says it has nothing to read.
    QFile::resize(joinPath(s.settings.workPath, b.indexName(7)), 0);
    EXPECT_EQ(listed(), (Rows{{0, 0, {block(0)}}, {5, 1, {block(1), block(3)}}, {7, 2, {}}}));
    // No PERSONAL.NDX: the user's messages; an empty one: none.
    EXPECT_EQ(readPersonalList(s.settings.workPath, s.packet), std::vector<std::int32_t>{block(1)});
    writeFileAtomically(joinPath(s.settings.workPath, "personal.ndx"), QByteArray());
    EXPECT_TRUE(readPersonalList(s.settings.workPath, s.packet).empty());
}

TEST_F(IndexFilesTest, APacketWhoseConferencesAllHaveIndexFilesIsNotScanned) {
    b.conference(0, "Principal");
    add(0);
    unpack();
    EXPECT_EQ(listed(), (Rows{{0, 0, {block(0)}}}));
    EXPECT_FALSE(s.packet.builtIndex);
}

TEST_F(IndexFilesTest, DamagedHeadersAreStepsOverNotEndings) {
    b.quirks.noIndexFiles = true;
    b.conference(0, "Principal");
    add(0);
    add(0).blockCount = "abc";   // no count: the pass moves on block by block
    add(0).blockCount = "0";     // a count below 1, likewise
    PacketMessage& big = add(0); // a count past the end of the file
    big.blockCount = "999";
    unpack();
    // The text blocks passed over one by one are no headers (their count is blank).
    EXPECT_EQ(listed(), (Rows{{0, 0, {block(0), block(3)}}}));

    b.quirks.nulPadding = true;
    b.writeTo(s.settings.workPath);
    ASSERT_TRUE(shown(InitQWK(s), ui));
    EXPECT_EQ(listed(), (Rows{{0, 0, {block(0), block(3)}}}));
    // A file shorter than two blocks has no message; a missing one neither.
    writeFileAtomically(joinPath(s.settings.workPath, "MESSAGES.DAT"), QByteArray(130, ' '));
    EXPECT_TRUE(
        scanMessagesFile(joinPath(s.settings.workPath, "MESSAGES.DAT"), "X").conferences.empty());
    EXPECT_TRUE(
        scanMessagesFile(joinPath(s.settings.workPath, "ABSENT.DAT"), "X").conferences.empty());
}

TEST_F(IndexFilesTest, TwelveHundredConferencesAreAllReachable) {
    for (int c = 0; c < 1200; ++c)
        b.conference(std::uint16_t(c), "Conf " + std::to_string(c));
    for (int i = 0; i < 2400; ++i)
        add(std::uint16_t(i / 2));
    unpack();
    EXPECT_EQ(s.packet.control.ConferenceCount, 1200);
    const std::vector<IndexFileEntry> found = findIndexFiles(s.settings.workPath, s.packet);
    ASSERT_EQ(found.size(), 1200u);
    std::size_t messages = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].conferencePosition, int(i));
        messages += readConferenceIndex(s.settings.workPath, found[i]).size();
    }
    EXPECT_EQ(messages, 2400u);
    EXPECT_TRUE(ui.texts().isEmpty());
}

} // namespace velk
