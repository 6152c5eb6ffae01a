// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/ReplyFile.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "library/LibraryFile.h"
#include "session/Session.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

const QDateTime kWhen(QDate(1996, 1, 3), QTime(14, 5));
const std::string kSig = "--- *VELK (Version 32 Bits) >>> VERSION Beta <<< *";

std::string spaces(std::size_t n) {
    return std::string(n, ' ');
}

std::string pad(const std::string& s, std::size_t width) {
    return s + spaces(width - s.size());
}

QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

// A header record written out field by field.
std::string header(char status, const std::string& conf, const std::string& to,
                   const std::string& subject, const std::string& ref, const std::string& count,
                   char confLow, char counter) {
    return std::string(1, status) + pad(conf, 7) + "01-03-96" + "14:05" + pad(to, 25) +
           pad("PIERRE MARTIN", 25) + pad(subject, 25) + spaces(12) + pad(ref, 8) + pad(count, 6) +
           "\xE1" + std::string(1, confLow) + std::string(1, '\0') + std::string(1, counter) +
           std::string(1, '\0') + " ";
}

const std::string kRecord0 = pad("VELKBBS", 128);

class ReplyFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    Session session;
    ScriptedUiServices ui;

    void SetUp() override {
        QDir(dir.path()).mkdir(QStringLiteral("WORK"));
        QDir(dir.path()).mkdir(QStringLiteral("REP"));
        session.settings.velkPath = dir.path();
        session.settings.workPath = dir.filePath(QStringLiteral("WORK"));
        session.settings.repPath = dir.filePath(QStringLiteral("REP"));
        session.packet.control.BbsId = "VELKBBS";
        session.packet.control.UserName = "PIERRE MARTIN";
        session.packet.control.Conferences = {{0, "Principale"}, {12, "Douze"}};
    }

    QString msgPath() const { return ReplyFilePath(session); }
    QByteArray onDisk() const { return readWholeFile(msgPath()); }

    ReplyDraft draft(const std::string& subject = "Sujet") const {
        ReplyDraft d;
        d.conference = 12;
        d.recipient = "JEAN DUPONT";
        d.author = "PIERRE MARTIN";
        d.subject = subject;
        return d;
    }
    // One message stored as its lines are (the carbon-copy form), public or not.
    void store(const std::string& text, const std::string& to = "BOB") {
        ASSERT_TRUE(shown(AppendCarbonCopy(session, {text}, to, draft(text), kWhen), ui));
    }
};

} // namespace

TEST(ReplyEncoding, PadRightAddsOneSpaceBeyondTheWidth) {
    EXPECT_EQ(PadRight("ALL", 25), pad("ALL", 26));
    EXPECT_EQ(PadRight(std::string(25, 'x'), 25), std::string(25, 'x') + " ");
    EXPECT_EQ(PadRight(std::string(30, 'x'), 25), std::string(30, 'x'));
}

TEST(ReplyEncoding, BodyRecords) {
    struct Case {
        EditorLines lines;
        std::string expected;
    };
    const Case cases[] = {
        {{std::string(126, 'a')}, std::string(126, 'a') + "\xE3 "},              // T = 127
        {{std::string(127, 'a')}, std::string(127, 'a') + "\xE3" + spaces(128)}, // T = 128
        {{"ab", "", "c"},
         "ab\xE3\xE3"
         "c\xE3" +
             spaces(122)},
        {{}, spaces(128)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeReplyBody(c.lines), c.expected);
}

TEST_F(ReplyFileTest, PrivateAnswerOfTheExample) {
    ReplyDraft d = draft("Re: Salut");
    d.isPrivate = true;
    d.answer = true;
    d.answeredNumber = "4711   ";
    d.lines = {"Bonjour Jean,", "", "Texte.", " ", "", " "};
    d.tagBox = {kSig, "Ma tagline", "not stored"};
    ASSERT_TRUE(shown(AppendReply(session, d, kWhen), ui));

    const EditorLines stored = {"Bonjour Jean,", "", "Texte.", " ", kSig, "Ma tagline"};
    EXPECT_EQ(d.lines, stored);
    EXPECT_EQ(d.recipient, pad("JEAN DUPONT", 26));
    EXPECT_EQ(d.subject, pad("Re: Salut", 26));
    std::string body = "Bonjour Jean,\xE3\xE3Texte.\xE3 \xE3" + kSig + "\xE3Ma tagline\xE3";
    body += spaces(128 - body.size());
    EXPECT_EQ(
        onDisk(),
        bytes(kRecord0 + header('*', "12", "JEAN DUPONT", "Re: Salut", "4711", "2", 12, 1) + body));
    EXPECT_EQ(session.packet.LogicalCounter, 2);
    EXPECT_EQ(ui.busyDepth(), 0);
    EXPECT_TRUE(ui.messages().isEmpty());

    // The recipient went into the correspondents.
    ASSERT_TRUE(shown(LoadCorrespondents(session), ui));
    ASSERT_EQ(session.libraries.CorrespondentList.size(), 2u);
    EXPECT_EQ(session.libraries.CorrespondentList[1].text, "JEAN DUPONT\r\n");
}

TEST_F(ReplyFileTest, ANewMessageRefersToZeroAndTextsOf127And128) {
    ASSERT_TRUE(shown(AppendCarbonCopy(session, {std::string(126, 'a')}, "X", draft(), kWhen), ui));
    ASSERT_TRUE(shown(AppendCarbonCopy(session, {std::string(127, 'b')}, "Y", draft(), kWhen), ui));
    const std::string expected = kRecord0 + header('*', "12", "X", "Sujet", "0", "2", 12, 1) +
                                 std::string(126, 'a') + "\xE3 " +
                                 header('*', "12", "Y", "Sujet", "0", "3", 12, 2) +
                                 std::string(127, 'b') + "\xE3" + spaces(128);
    EXPECT_EQ(onDisk(), bytes(expected));
    EXPECT_EQ(onDisk().mid(128 + 108, 8), QByteArray("0       "));
}

TEST_F(ReplyFileTest, EmptyTextAndMissingTaglineStillFormAMessage) {
    ReplyDraft d = draft();
    d.lines = {"", " ", ""};
    ASSERT_TRUE(shown(AppendReply(session, d, kWhen), ui));
    EXPECT_EQ(d.lines, (EditorLines{"", ""}));
    EXPECT_EQ(onDisk().size(), 3 * 128);
}

TEST_F(ReplyFileTest, TwoCarbonCopiesThenTheMainMessage) {
    ReplyDraft main = draft("Nouvelles");
    main.lines = {"Texte"};
    main.tagBox = {kSig, "Tag"};
    ASSERT_TRUE(shown(AppendCarbonCopy(session, {"copie 1"}, "ANNE", main, kWhen), ui));
    ASSERT_TRUE(shown(AppendCarbonCopy(session, {"copie 2"}, "LUC", main, kWhen), ui));
    ASSERT_TRUE(shown(AppendReply(session, main, kWhen), ui));
    const std::string expected =
        kRecord0 + header('*', "12", "ANNE", "Nouvelles", "0", "2", 12, 1) +
        pad("copie 1\xE3", 128) + header('*', "12", "LUC", "Nouvelles", "0", "2", 12, 2) +
        pad("copie 2\xE3", 128) + header(' ', "12", "JEAN DUPONT", "Nouvelles", "0", "2", 12, 3) +
        pad("Texte\xE3 \xE3" + kSig + "\xE3Tag\xE3", 128);
    EXPECT_EQ(onDisk(), bytes(expected));

    BuildReplyTable(session);
    ASSERT_EQ(session.replies.ReplyCount(), 3);
    EXPECT_EQ(session.replies.ReplyTable[0].headerRecord, 1);
    EXPECT_EQ(session.replies.ReplyTable[1].headerRecord, 3);
    EXPECT_EQ(session.replies.ReplyTable[2].headerRecord, 5);
    ASSERT_TRUE(shown(LoadCorrespondents(session), ui));
    EXPECT_EQ(session.libraries.CorrespondentList.size(), 4u);
}

TEST_F(ReplyFileTest, DeletingTheOnlyMessageRemovesTheFileAndThePacket) {
    store("seul");
    writeFileAtomically(ReplyPacketPath(session), "zip");
    BuildReplyTable(session);
    session.replies.SelectedReply = 0;
    DeleteReply(session, 0);
    EXPECT_FALSE(QFile::exists(msgPath()));
    EXPECT_FALSE(QFile::exists(ReplyPacketPath(session)));
    EXPECT_EQ(session.replies.ReplyCount(), 0);
    EXPECT_FALSE(session.replies.SelectedReply);
}

TEST_F(ReplyFileTest, DeletingKeepsTheOthersInOrder) {
    store("un");
    store(std::string(200, '2'));
    store("trois");
    const QByteArray all = onDisk();
    const QByteArray one = all.mid(128, 256), two = all.mid(384, 384), three = all.mid(768);
    BuildReplyTable(session);
    DeleteReply(session, 2);
    EXPECT_EQ(onDisk(), all.left(768));
    EXPECT_EQ(session.replies.ReplyCount(), 2);
    DeleteReply(session, 0);
    EXPECT_EQ(onDisk(), bytes(kRecord0) + two);
    ASSERT_EQ(session.replies.ReplyCount(), 1);
    EXPECT_EQ(session.replies.ReplyTable[0].blockCount, 3);
    EXPECT_EQ(QDir(session.settings.workPath).entryList(QDir::Files),
              QStringList{QStringLiteral("VELKBBS.MSG")});
    (void)one;
    (void)three;
}

TEST_F(ReplyFileTest, ReplacingMessageZeroOfThree) {
    store("A");
    store("B");
    store("C");
    store("A nouveau");
    const QByteArray all = onDisk();
    const QByteArray a = all.mid(128, 256), b = all.mid(384, 256), c = all.mid(640, 256),
                     a2 = all.mid(896);
    ReplaceReply(session, 0);
    EXPECT_EQ(onDisk(), bytes(kRecord0) + a2 + b + c);
    EXPECT_EQ(session.replies.ReplyCount(), 3);
    EXPECT_FALSE(session.replies.SelectedReply);
    (void)a;
}

TEST_F(ReplyFileTest, MovingTheLastMessageInFrontOfTheSecond) {
    store("A");
    store(std::string(300, 'B'));
    store("C");
    const QByteArray all = onDisk();
    BuildReplyTable(session);
    MoveLastReplyTo(session, 1);
    EXPECT_EQ(onDisk(), all.left(384) + all.mid(896) + all.mid(384, 512));
}

TEST_F(ReplyFileTest, TheTableGrowsPastAHundredAndOneMessages) {
    for (int i = 0; i < 130; ++i)
        store("m" + std::to_string(i));
    BuildReplyTable(session);
    ASSERT_EQ(session.replies.ReplyCount(), 130);
    EXPECT_EQ(session.replies.ReplyTable.back().headerRecord, 1 + 129 * 2);
}

TEST_F(ReplyFileTest, DamagedCountsNeitherLoopNorPassUnseen) {
    store("A");
    store("B");
    QByteArray data = onDisk();
    data.replace(384 + 116, 6, "0     ");
    writeFileAtomically(msgPath(), data);
    BuildReplyTable(session);
    EXPECT_EQ(session.replies.ReplyCount(), 2); // a count of 0 moves on by one record
    data.replace(128 + 116, 6, "x     ");
    writeFileAtomically(msgPath(), data);
    EXPECT_THROW(BuildReplyTable(session), VelkError);
}

TEST_F(ReplyFileTest, ABoardIdentifierThatNamesAnotherPlaceIsRefused) {
    for (const char* id : {"../X", "A/B", "", "A B", ".."}) {
        session.packet.control.BbsId = id;
        EXPECT_THROW(ReplyFilePath(session), VelkError) << id;
    }
}

TEST_F(ReplyFileTest, FailedWritesLeaveTheFileAsItWas) {
    struct Case {
        const char* what;
        bool fileExists;
        rlim_t room; // bytes the file may still grow
        QString message;
    };
    const Case cases[] = {
        {"record 0", false, 100,
         QStringLiteral("Problème lors de l'écriture de l'entête du fichier : ")},
        {"header", true, 60, QStringLiteral("Problème lors de l'écriture de l'entête du message")},
        {"text", true, 128 + 60, QStringLiteral("Problème lors de l'écriture du message")},
    };
    for (const Case& c : cases) {
        QFile::remove(msgPath());
        ui.clear();
        // A cut last record must come back too.
        const QByteArray before = bytes(kRecord0 + pad("earlier", 256) + "cut record");
        if (c.fileExists)
            writeFileAtomically(msgPath(), before);
        const std::uint16_t counter = session.packet.LogicalCounter;
        ReplyDraft d = draft();
        d.lines = {std::string(300, 'x')};
        bool written = true;
        {
            const FileSizeLimit full(c.fileExists ? rlim_t(before.size() / 128 * 128) + c.room
                                                  : c.room);
            written = shown(AppendReply(session, d, kWhen), ui);
        }
        EXPECT_FALSE(written) << c.what;
        ASSERT_EQ(ui.messages().size(), 1) << c.what;
        EXPECT_TRUE(ui.messages()[0].startsWith(c.message)) << c.what;
        if (c.fileExists)
            EXPECT_EQ(onDisk(), before) << c.what;
        else
            EXPECT_FALSE(QFile::exists(msgPath())) << c.what;
        EXPECT_EQ(session.packet.LogicalCounter, counter);
        EXPECT_FALSE(
            QFile::exists(LibraryPath(session.settings.velkPath, LibraryKind::Correspondents)));
    }
    EXPECT_EQ(ui.messages()[0], "Problème lors de l'écriture du message\nFichier \"" +
                                    QFileInfo(msgPath()).absoluteFilePath() + "\" : disque plein");
}

// One record more than its six characters can count: refused before anything is written.
TEST_F(ReplyFileTest, AMessageTooLongForItsCountIsRefused) {
    store("A");
    const QByteArray before = onDisk();
    ReplyDraft d = draft();
    d.lines = {std::string(999998 * 128 - 5, 'x')};
    EXPECT_FALSE(shown(AppendReply(session, d, kWhen), ui));
    EXPECT_EQ(onDisk(), before);
    EXPECT_EQ(ui.messages(),
              QStringList{"Ce message est trop long : il occuperait 1000000 blocs de "
                          "128 octets, et un message en admet au plus 999999.\nIl "
                          "n'a pas été écrit ; le fichier de réponses est inchangé."});
}

TEST_F(ReplyFileTest, AnEmptyReplyFileGetsItsRecord0) {
    writeFileAtomically(msgPath(), "VELK");
    store("A");
    EXPECT_EQ(onDisk().left(128), bytes(kRecord0));
    BuildReplyTable(session);
    EXPECT_EQ(session.replies.ReplyCount(), 1);
}

TEST_F(ReplyFileTest, ARecord0FailureNamesTheFullPath) {
    {
        const FileSizeLimit full(10);
        ReplyDraft d = draft();
        EXPECT_FALSE(shown(AppendReply(session, d, kWhen), ui));
    }
    EXPECT_EQ(ui.messages(),
              QStringList{QStringLiteral("Problème lors de l'écriture de l'entête du fichier : ") +
                          QFileInfo(msgPath()).absoluteFilePath() + " (disque plein)"});
}

TEST_F(ReplyFileTest, AFailedRewriteKeepsEveryMessage) {
    for (int i = 0; i < 4; ++i)
        store(std::string(400, char('a' + i)));
    writeFileAtomically(ReplyPacketPath(session), "zip");
    const QByteArray before = onDisk();
    BuildReplyTable(session);
    const auto table = session.replies.ReplyTable;
    {
        const FileSizeLimit full(300);
        EXPECT_THROW(DeleteReply(session, 1), VelkError);
        EXPECT_THROW(MoveLastReplyTo(session, 0), VelkError);
    }
    EXPECT_EQ(onDisk(), before);
    EXPECT_EQ(session.replies.ReplyTable.size(), table.size());
    EXPECT_EQ(QDir(session.settings.workPath).entryList(QDir::Files),
              QStringList{QStringLiteral("VELKBBS.MSG")});
    EXPECT_TRUE(QFile::exists(ReplyPacketPath(session)));
}

TEST_F(ReplyFileTest, AWorkDirectoryThatIsAFileStopsWithAnError) {
    session.settings.workPath = dir.filePath(QStringLiteral("plain"));
    writeFileAtomically(session.settings.workPath, "x");
    ReplyDraft d = draft();
    EXPECT_THROW(shown(AppendReply(session, d, kWhen), ui), VelkError);
    EXPECT_EQ(readWholeFile(session.settings.workPath), QByteArray("x"));
}

} // namespace velk
