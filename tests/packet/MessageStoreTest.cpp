// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/MessageStore.h"

#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/VelkError.h"
#include "packet/Mbf.h"
#include "tests/support/ScriptedUiServices.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

MessageHeader header(const std::string& date, const std::string& blocks) {
    MessageHeader h;
    h.status = " ";
    h.number = "42";
    h.date = date;
    h.time = "12:30";
    h.recipient = "JEAN DUPONT";
    h.author = "MARIE CURIE";
    h.subject = "Essai";
    h.reference = "7";
    h.blockCount = blocks;
    h.active = 0xE1;
    h.conference = 1001;
    h.logicalNumber = 3;
    h.networkTag = ' ';
    return h;
}

std::string blockBytes(const MessageHeader& h) {
    const Block b = headerBlock(h);
    return std::string(b.data(), b.size());
}

// Text bytes padded with blanks to whole blocks.
std::string textBlocks(std::string text) {
    text.resize((text.size() + kBlockSize - 1) / kBlockSize * kBlockSize, ' ');
    return text;
}

class MessageStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    MessageStoreState store;
    ScriptedUiServices ui;

    void write(const QString& name, const std::string& bytes) {
        writeFileAtomically(joinPath(dir.path(), name),
                            QByteArray(bytes.data(), qsizetype(bytes.size())));
    }
    // Block 0 is the packet's own block; messages follow.
    void writeMessages(const std::string& afterFirstBlock, const QString& name = "MESSAGES.DAT") {
        write(name, std::string(kBlockSize, ' ') + afterFirstBlock);
    }
};

} // namespace

TEST_F(MessageStoreTest, ReadsHeaderFieldsAtFullWidthAndMendsTheDate) {
    MessageHeader h = header("12\xC4"
                             "24\xC4"
                             "96",
                             "2");
    writeMessages(blockBytes(h) + textBlocks("Bonjour\xE3"));
    ReadMessageHeader(dir.path(), 1, store).showTo(ui);
    const MessageHeader& c = store.CurrentHeader;
    EXPECT_EQ(c.date, "12-24-96");
    EXPECT_EQ(c.number, "42     ");
    EXPECT_EQ(c.author, "MARIE CURIE" + std::string(14, ' '));
    EXPECT_EQ(c.blockCount, "2     ");
    EXPECT_EQ(c.conference, 1001);
    EXPECT_EQ(c.logicalNumber, 3);
    EXPECT_EQ(c.active, 0xE1);
    EXPECT_TRUE(ui.texts().isEmpty());
    ReadMessageText(dir.path(), 2, c.blockCount, store);
    EXPECT_EQ(store.MessageText, "Bonjour");
}

TEST_F(MessageStoreTest, DateCheck) {
    struct Case {
        std::string date;
        std::string after;
    };
    const Case cases[] = {
        {"31-12-96", "31-12-96"}, // day-month, kept as it is
        {"13-13-96", "01-01-99"}, {"02-30-96", "02-30-96"}, {"12/24/96", "12/24/96"},
        {"00-10-96", "01-01-99"}, {"  -  -96", "01-01-99"}, {"05-12-96", "05-12-96"},
        {"12-32-96", "01-01-99"}, {"3a-12-96", "01-01-99"},
    };
    std::string bytes;
    for (const Case& c : cases)
        bytes += blockBytes(header(c.date, "1"));
    writeMessages(bytes);
    BlockFile messages(messagesFilePath(dir.path()));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        ui.clear();
        ReadMessageHeader(messages, std::int32_t(i + 1), store).showTo(ui);
        EXPECT_EQ(store.CurrentHeader.date, cases[i].after) << cases[i].date;
        const QStringList expected =
            cases[i].after == cases[i].date ? QStringList{} : QStringList{kBadDateMessage};
        EXPECT_EQ(ui.messages(), expected) << cases[i].date;
    }
}

TEST_F(MessageStoreTest, EntriesThatLeadNowhereGiveTheAnomalyHeaderAndText) {
    MessageHeader noHeader = header("01-02-96", "3");
    std::string block = blockBytes(noHeader);
    block[HeaderField::AuthorOffset] = '\0';
    writeMessages(blockBytes(header("01-02-96", "1")) + block + std::string(40, 'x'));
    // Past the end, a partial block at the end, a NUL author, a damaged (negative) entry.
    for (std::int32_t index : {9, 3, 2, -1, 100000}) {
        ReadMessageHeader(dir.path(), index, store).showTo(ui);
        const MessageHeader& c = store.CurrentHeader;
        EXPECT_EQ(c.author, std::string(25, '-')) << index;
        EXPECT_EQ(c.recipient, std::string(25, '-'));
        EXPECT_EQ(c.subject, "Anomalie pointeur/index ");
        EXPECT_EQ(c.date, "01/01/99");
        EXPECT_EQ(c.blockCount, "1");
        ReadMessageText(dir.path(), index + 1, c.blockCount, store);
        EXPECT_EQ(store.MessageText, kIndexAnomalyText);
    }
    // What was read is kept where the patch does not write.
    ReadMessageHeader(dir.path(), 2, store).showTo(ui);
    EXPECT_EQ(store.CurrentHeader.number, "42     ");
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(MessageStoreTest, TextLinesAndPadding) {
    writeMessages(blockBytes(header("01-02-96", "2")) +
                  textBlocks("A\xE3"
                             "B\xE3") +
                  blockBytes(header("01-02-96", "3")) +
                  textBlocks(std::string(200, 'y') + "\xE3" + "fin\xE3") +
                  // A one-block message, then one padded with NULs.
                  blockBytes(header("01-02-96", "1")) + blockBytes(header("01-02-96", "2")) +
                  "\tvoil\x85\xE3" + std::string(121, '\0'));
    struct Case {
        std::int32_t headerIndex;
        std::string text;
    };
    const Case cases[] = {
        {1, "A\nB"},
        {3, std::string(200, 'y') + "\nfin"},
        {6, ""},           // a header alone: a message without text
        {7, "\tvoil\x85"}, // NUL padding ends the text like blanks
    };
    for (const Case& c : cases) {
        ReadMessageHeader(dir.path(), c.headerIndex, store).showTo(ui);
        ReadMessageText(dir.path(), c.headerIndex + 1, store.CurrentHeader.blockCount, store);
        EXPECT_EQ(store.MessageText, c.text) << c.headerIndex;
    }
}

TEST_F(MessageStoreTest, BlockCountsBeyondTheFileReadOnlyWhatIsThere) {
    writeMessages(blockBytes(header("01-02-96", "400")) + textBlocks("court\xE3"));
    ReadMessageHeader(dir.path(), 1, store).showTo(ui);
    ReadMessageText(dir.path(), 2, store.CurrentHeader.blockCount, store);
    // As if the missing blocks were zeros: padding like the blanks before them.
    EXPECT_EQ(store.MessageText, "court");
    // A negative count wraps to 65,000-odd blocks and still reads only the file.
    ReadMessageText(dir.path(), 2, "-5", store);
    EXPECT_EQ(store.MessageText, "court");
}

TEST_F(MessageStoreTest, BadBlockCountsAndMissingFilesStopTheRead) {
    writeMessages(blockBytes(header("01-02-96", "deux")));
    ReadMessageHeader(dir.path(), 1, store).showTo(ui);
    try {
        ReadMessageText(dir.path(), 2, store.CurrentHeader.blockCount, store);
        FAIL();
    } catch (const VelkError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'deux' n'est pas une valeur entière correcte"));
    }
    QTemporaryDir empty;
    try {
        ReadMessageHeader(empty.path(), 1, store).showTo(ui);
        FAIL();
    } catch (const VelkError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Fichier introuvable"));
    }
    EXPECT_THROW(ReadIndexFile(joinPath(empty.path(), "1.NDX")), VelkError);
}

TEST_F(MessageStoreTest, LowerCaseMessageFileIsFound) {
    writeMessages(blockBytes(header("01-02-96", "1")), "messages.dat");
    ReadMessageHeader(dir.path(), 1, store).showTo(ui);
    EXPECT_EQ(store.CurrentHeader.time, "12:30");
}

TEST_F(MessageStoreTest, IndexRecords) {
    const std::string entries = std::string("\x00\x00\x00\x81\x01", 5) +
                                std::string("\x00\x00\x48\x87\x01", 5) +
                                std::string("\x00\x00\x00\x00\x01", 5) + std::string("\x00\x00", 2);
    write("1.NDX", entries);
    EXPECT_EQ(ReadIndexFile(joinPath(dir.path(), "1.NDX")), (std::vector<std::int32_t>{0, 99, -1}));
    EXPECT_EQ(FileSizeBytes(joinPath(dir.path(), "1.NDX")) / 5, 3);
}

TEST_F(MessageStoreTest, ReplyFileReadsWithoutChecks) {
    MessageHeader h = header("99-99-99", "3");
    MessageHeader one = header("01-02-96", "1");
    one.author[0] = '\0';
    const std::string reply = std::string(kBlockSize, ' ') + blockBytes(h) +
                              textBlocks(std::string(130, 'r') + "\xE3") + blockBytes(one);
    write("BBS.MSG", reply);
    const QString path = joinPath(dir.path(), "BBS.MSG");
    ReadReplyHeader(path, 1, store);
    EXPECT_EQ(store.CurrentHeader.date, "99-99-99");
    EXPECT_EQ(store.ReplyBlockCount, 3);
    ReadReplyText(path, 2, store.CurrentHeader.blockCount, store);
    EXPECT_EQ(store.MessageText, std::string(130, 'r'));
    ReadReplyHeader(path, 4, store);
    EXPECT_EQ(store.CurrentHeader.author[0], '\0');
    ReadReplyText(path, 5, store.CurrentHeader.blockCount, store);
    EXPECT_EQ(store.MessageText, "");
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST(MessageText, PaddingGoesEveryByteOfTheTextStays) {
    struct Case {
        std::string stored; // the text blocks' bytes
        std::string text;
    };
    const Case cases[] = {
        {"Bonjour\xE3" + std::string(120, ' '), "Bonjour"},
        {"weuifhweui" + std::string(118, ' '), "weuifhweui"}, // no final 0xE3
        {"weuifhweui" + std::string(118, '\0'), "weuifhweui"},
        {"A\xE3" + std::string(60, ' ') + std::string(66, '\0'), "A"},
        {"A\xE3\xE3" + std::string(125, ' '), "A\xE3"}, // a last empty line is the text's
        {std::string("a\0b\xE3", 4) + std::string(124, '\0'), "a b"},
        {std::string(128, ' '), ""},
        {"x", "x"},
    };
    for (const Case& c : cases) {
        std::string text = c.stored;
        trimMessageText(text);
        EXPECT_EQ(text, c.text) << c.stored;
    }
}

TEST_F(MessageStoreTest, AHeaderAloneIsAMessageWithoutText) {
    writeMessages(blockBytes(header("01-02-96", "1")) + blockBytes(header("01-02-96", "2")) +
                  textBlocks("Suite"));
    ReadMessageHeader(dir.path(), 1, store).showTo(ui);
    EXPECT_FALSE(store.HeaderAnomaly);
    ReadMessageText(dir.path(), 2, store.CurrentHeader.blockCount, store);
    EXPECT_EQ(store.MessageText, "");
    ReadMessageHeader(dir.path(), 2, store).showTo(ui);
    ReadMessageText(dir.path(), 3, store.CurrentHeader.blockCount, store);
    EXPECT_EQ(store.MessageText, "Suite");
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(MessageStoreTest, NulPaddedFieldsReadAsBlanks) {
    MessageHeader h = header("01-02-96", "1");
    h.number = std::string("14311\0\0", 7);
    h.recipient = std::string("ALL\0\0\0", 6) + std::string(19, '\0');
    writeMessages(blockBytes(h));
    ReadMessageHeader(dir.path(), 1, store).showTo(ui);
    EXPECT_EQ(store.CurrentHeader.number, "14311  ");
    EXPECT_EQ(store.CurrentHeader.recipient, "ALL" + std::string(22, ' '));
    EXPECT_EQ(fullRecipient(store.CurrentHeader), "ALL");
}

} // namespace velk

namespace velk {

// Blocks asked in any order, twice, before the start and past the end, over a file whose
// last block is partial and larger than one piece: each as readBlock gives it.
TEST_F(MessageStoreTest, ReadEachGivesWhatReadBlockGives) {
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * (1 << 20); ++i)
        bytes += char('A' + i % 26) + std::string(kBlockSize - 1, char(i % 251));
    bytes += "fin";
    write("MESSAGES.DAT", bytes);
    const std::int32_t last = std::int32_t(bytes.size() / kBlockSize);
    const std::vector<std::int32_t> blocks = {9000, 3, last, -1,    3,    last + 5,
                                              0,    1, 8192, 24000, 8191, last - 1};
    BlockFile file(joinPath(dir.path(), "MESSAGES.DAT"));
    std::vector<Block> got(blocks.size());
    std::vector<std::int32_t> sequence;
    file.readEach(blocks, [&](std::size_t i, const Block& b) {
        got[i] = b;
        sequence.push_back(blocks[i]);
    });
    EXPECT_TRUE(std::is_sorted(sequence.begin(), sequence.end()));
    BlockFile reference(joinPath(dir.path(), "MESSAGES.DAT"));
    for (std::size_t i = 0; i < blocks.size(); ++i)
        EXPECT_EQ(got[i], reference.readBlock(blocks[i])) << "block " << blocks[i];
}

} // namespace velk
