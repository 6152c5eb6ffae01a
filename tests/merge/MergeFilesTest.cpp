// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/MergeFiles.h"
#include "merge/PacketMerge.h"

#include "core/VelkError.h"
#include "packet/PacketBuilder.h"
#include "tests/support/MergeTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

using namespace mergetest;

namespace {

class MergeFilesTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString base, integrated;
    PacketBuilder baseBuilder, integratedBuilder;

    void SetUp() override {
        base = joinPath(root.path(), "tmp1");
        integrated = joinPath(root.path(), "tmp2");
        QDir().mkpath(base);
        QDir().mkpath(integrated);
        baseBuilder.conference(0, "Principal").conference(5, "Linux");
        integratedBuilder.conference(0, "Principal").conference(5, "Linux");
    }
    // Writes both packets, merges them, returns N1.
    std::int64_t merge(const std::vector<Renumbering>& renumbered = {}) {
        baseBuilder.writeTo(base);
        integratedBuilder.writeTo(integrated);
        PacketMerge m(base, integrated);
        m.combineMessages();
        MergeNotices notices;
        m.finish(renumbered, notices);
        return m.baseBlocks();
    }
    QString inBase(const QString& name) const { return joinPath(base, name); }
};

} // namespace

TEST(TroisChiffres, PadsToThreeDigits) {
    const std::pair<int, const char*> cases[] = {{0, "000"},   {7, "007"},   {42, "042"},
                                                 {100, "100"}, {999, "999"}, {1234, "1234"}};
    for (const auto& [number, text] : cases)
        EXPECT_EQ(TroisChiffres(number), QString::fromLatin1(text)) << number;
}

TEST_F(MergeFilesTest, FirstIntegratedMessageFollowsTwentyBaseBlocks) {
    baseBuilder.control.userName = "PAUL"; // none of its messages is his
    for (int i = 0; i < 9; ++i)
        baseBuilder.add(0, "Base " + std::to_string(i), "Texte court\n");
    baseBuilder.add(0, "Base seule", "").oneBlock = true;
    integratedBuilder.add(0, "Nouveau", "Bonjour\n").personal = true;
    integratedBuilder.add(5, "Autre", std::string(300, 'x') + "\n");
    ASSERT_EQ(baseBuilder.messagesFile().size(), 20 * 128);

    EXPECT_EQ(merge(), 20);
    const QByteArray messages = bytesOf(inBase("MESSAGES.DAT"));
    const QByteArray added = integratedBuilder.messagesFile().mid(128);
    EXPECT_EQ(messages.size(), 20 * 128 + added.size());
    EXPECT_EQ(messages.mid(20 * 128), added);
    EXPECT_EQ(messages.left(20 * 128), baseBuilder.messagesFile());

    // Record 2 of the integrated packet (its first message) becomes record 21.
    const auto conf0 = recordNumbers(inBase("000.NDX"));
    ASSERT_EQ(conf0.size(), 11u);
    EXPECT_EQ(conf0.back(), 21);
    EXPECT_EQ(recordNumbers(inBase("005.NDX")), (std::vector<std::int64_t>{23}));
    EXPECT_EQ(recordNumbers(inBase("PERSONAL.NDX")), (std::vector<std::int64_t>{21}));

    const auto subjects = subjectsByIndex(base);
    EXPECT_EQ(subjects.at("000").back(), "Nouveau");
    EXPECT_EQ(subjects.at("005"), (std::vector<std::string>{"Autre"}));
}

TEST_F(MergeFilesTest, IntegratedHeaderBlockAloneAddsNoBlockButItsIndexesStillMove) {
    baseBuilder.add(0, "Base", "Texte\n");
    integratedBuilder.extraIndexEntry(5, 3);
    const QByteArray before = baseBuilder.messagesFile();
    EXPECT_EQ(merge(), 3);
    EXPECT_EQ(bytesOf(inBase("MESSAGES.DAT")), before);
    // Record 3 lay past the integrated file's end: it still points nowhere, not at a base
    // message.
    EXPECT_EQ(recordNumbers(inBase("005.NDX")), (std::vector<std::int64_t>{0}));
}

TEST_F(MergeFilesTest, PartialBlocksStayAligned) {
    baseBuilder.add(0, "Base", "Texte\n");
    integratedBuilder.add(0, "Nouveau", "Bonjour\n");
    baseBuilder.writeTo(base);
    integratedBuilder.writeTo(integrated);
    // A torn last block in both: each is padded, so no byte of the base's is overwritten.
    QFile b(inBase("MESSAGES.DAT"));
    ASSERT_TRUE(b.open(QIODevice::Append));
    b.write("torn", 4);
    b.close();
    QFile i(joinPath(integrated, "MESSAGES.DAT"));
    ASSERT_TRUE(i.open(QIODevice::Append));
    i.write("tail", 4);
    i.close();
    EXPECT_EQ(AppendMessageFile(base, integrated), 4);
    const QByteArray merged = bytesOf(inBase("MESSAGES.DAT"));
    EXPECT_EQ(merged.size(), 4 * 128 + 3 * 128);
    EXPECT_EQ(merged.mid(3 * 128, 128), QByteArray("torn") + QByteArray(124, ' '));
    EXPECT_EQ(merged.mid(6 * 128), QByteArray("tail") + QByteArray(124, ' '));
}

TEST_F(MergeFilesTest, PersonalIndexIsAppendedOrCreated) {
    for (const bool basePersonal : {true, false}) {
        SCOPED_TRACE(basePersonal);
        QDir(base).removeRecursively();
        QDir(integrated).removeRecursively();
        QDir().mkpath(base);
        QDir().mkpath(integrated);
        PacketBuilder b, in;
        b.conference(0, "Principal");
        in.conference(0, "Principal");
        b.control.userName = "PAUL"; // only PERSONAL.NDX makes its message his
        b.add(0, "Base", "Texte\n").personal = basePersonal;
        in.add(0, "Pour moi", "Bonjour\n").personal = true;
        baseBuilder = b;
        integratedBuilder = in;
        merge();
        const auto personal = subjectsByIndex(base).at("PERSONAL");
        if (basePersonal)
            EXPECT_EQ(personal, (std::vector<std::string>{"Base", "Pour moi"}));
        else
            EXPECT_EQ(personal, (std::vector<std::string>{"Pour moi"}));
    }
}

TEST_F(MergeFilesTest, IndexFileNewToTheBaseIsWrittenWhole) {
    baseBuilder.add(0, "Base", "Texte\n");
    integratedBuilder.conference(9, "Nouvelle");
    integratedBuilder.add(9, "Premier", "Bonjour\n");
    integratedBuilder.add(9, "Second", "Re\n");
    merge();
    EXPECT_EQ(subjectsByIndex(base).at("009"), (std::vector<std::string>{"Premier", "Second"}));
}

TEST_F(MergeFilesTest, FifthByteIsTheConferenceAndDamagedRecordsPointNowhere) {
    baseBuilder.add(5, "Base", "Texte\n");
    integratedBuilder.add(5, "Nouveau", "Bonjour\n");
    integratedBuilder.extraIndexBytes(5, std::string("\0\0\0\0\x07", 5));
    integratedBuilder.extraIndexBytes(5, std::string("\x01\x02\x03\x7F\x09", 5));
    integratedBuilder.extraIndexBytes(5, "xy"); // a torn record is not carried over
    merge();
    EXPECT_EQ(recordNumbers(inBase("005.NDX")), (std::vector<std::int64_t>{2, 4, 0, 0}));
    EXPECT_EQ(fifthBytes(inBase("005.NDX")), std::string("\x05\x05\x05\x05"));
}

TEST_F(MergeFilesTest, LongIndexFilesAreMergedWhole) {
    baseBuilder.add(5, "Base", "Texte\n");
    for (int i = 0; i < 2500; ++i)
        integratedBuilder.add(5, "M" + std::to_string(i), "").oneBlock = true;
    const std::int64_t n1 = merge();
    const auto records = recordNumbers(inBase("005.NDX"));
    ASSERT_EQ(records.size(), 2501u);
    EXPECT_EQ(records.back(), integratedBuilder.headerBlockIndex(2499) + n1);
    EXPECT_EQ(subjectsByIndex(base).at("005").back(), "M2499");
}

TEST_F(MergeFilesTest, IndexNamesMatchWhateverTheirCaseOrPadding) {
    baseBuilder.add(5, "Base", "Texte\n");
    integratedBuilder.add(5, "Nouveau", "Bonjour\n");
    integratedBuilder.quirks.plainIndexNames = true;
    integratedBuilder.quirks.lowerCaseNames = true;
    merge();
    EXPECT_EQ(findFiles(base, "*.NDX"), QStringList({"005.NDX", "PERSONAL.NDX"}));
    EXPECT_EQ(subjectsByIndex(base).at("005"), (std::vector<std::string>{"Base", "Nouveau"}));
}

TEST_F(MergeFilesTest, MissingMessageFileIsAnError) {
    baseBuilder.writeTo(base);
    EXPECT_THROW(AppendMessageFile(base, integrated), VelkError);
    QFile::remove(inBase("MESSAGES.DAT"));
    integratedBuilder.writeTo(integrated);
    EXPECT_THROW(AppendMessageFile(base, integrated), VelkError);
}

TEST_F(MergeFilesTest, BlockNumbersBeyondWhatAnIndexHoldsAreRefused) {
    IndexBuffer buffer;
    buffer.entries = {{5, 0}, {-1, 0}};
    EXPECT_THROW(ShiftIndexBuffer(buffer, 0xFFFFFF), VelkError);
    buffer.entries = {{5, 0}};
    ShiftIndexBuffer(buffer, 0xFFFFFF - 6);
    EXPECT_EQ(buffer.entries[0].block, 0xFFFFFF - 2);
}

TEST_F(MergeFilesTest, WriteModes) {
    const QString path = inBase("001.NDX");
    IndexBuffer buffer;
    buffer.entries = {{1, 1}, {9, 1}};
    WriteIndexFileName(path, IndexWriteMode::Create, buffer);
    // A torn record at the end is overwritten by the next append.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("ab", 2);
    f.close();
    buffer.entries = {{20, 2}};
    WriteIndexFileName(path, IndexWriteMode::Append, buffer);
    EXPECT_EQ(recordNumbers(path), (std::vector<std::int64_t>{2, 10, 21}));
    EXPECT_EQ(bytesOf(path).size(), 15);
    WriteIndexFileName(path, IndexWriteMode::Create, buffer);
    EXPECT_EQ(recordNumbers(path), (std::vector<std::int64_t>{21}));
}

TEST_F(MergeFilesTest, RenumberedConferencesTakeTheirBaseEntriesAlong) {
    baseBuilder.add(5, "Cinq", "Texte\n");
    baseBuilder.add(8, "Huit", "Texte\n");
    baseBuilder.quirks.plainIndexNames = true; // "5.NDX"
    integratedBuilder.add(12, "Douze", "Texte\n");
    merge({{5, 12}, {6, 10}, {8, 9}}); // 6 had no message
    EXPECT_EQ(findFiles(base, "*.NDX"), QStringList({"009.NDX", "012.NDX", "PERSONAL.NDX"}));
    EXPECT_EQ(subjectsByIndex(base).at("012"), (std::vector<std::string>{"Cinq", "Douze"}));
}

} // namespace velk
