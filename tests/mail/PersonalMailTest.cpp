// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/PersonalMail.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/MessageHeader.h"
#include "packet/PacketBuilder.h"
#include "reply/ReplyFile.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <QFile>

#include <gtest/gtest.h>

namespace velk {

namespace {

const QDateTime kNewYearsEve(QDate(1995, 12, 31), QTime(23, 10));

std::string pad(const std::string& s, std::size_t width) {
    return s + std::string(width - s.size(), ' ');
}

MessageHeader header(const std::string& status, std::uint16_t conference, const std::string& date,
                     const std::string& author, const std::string& recipient,
                     const std::string& subject) {
    MessageHeader h;
    h.status = status;
    h.conference = conference;
    h.date = date;
    h.author = pad(author, 25);
    h.recipient = pad(recipient, 25);
    h.subject = pad(subject, 25);
    return h;
}

class PersonalMailTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;

    void SetUp() override {
        dirs.configure(s);
        s.packet.control.BbsId = "VELKBBS";
        s.packet.control.UserName = "PIERRE MARTIN";
        s.packet.control.Conferences = {{0, "Principale"}, {7, "Sept"}};
    }

    void write(const std::string& subject, bool isPrivate = false,
               const std::string& to = "JEAN DUPONT") {
        ReplyDraft d;
        d.lines = {"Texte de " + subject};
        d.isPrivate = isPrivate;
        d.conference = 7;
        d.recipient = to;
        d.author = "PIERRE MARTIN";
        d.subject = subject;
        ASSERT_TRUE(shown(AppendReply(s, d, kNewYearsEve), ui));
    }
    QStringList subjects() {
        QStringList out;
        for (const std::string& line : listWrittenMessages(s).lines)
            out.append(QString::fromStdString(line.substr(42)).trimmed());
        return out;
    }
};

} // namespace

TEST(ManagerLine, ColumnsOfBothLists) {
    struct Case {
        MessageHeader header;
        bool written;
        std::string expected;
    };
    const Case cases[] = {
        {header("*", 7, "12-31-95", "PIERRE MARTIN", "JEAN DUPONT", "Bonne année"), true,
         "P    7 31/12/95 " + pad("JEAN DUPONT", 25) + " " + pad("Bonne année", 25)},
        {header("+", 65535, "01-02-03", "ANNE", "TOUS", "Salut"), false,
         "P65535 02/01/03 " + pad("ANNE", 25) + " " + pad("Salut", 25)},
        {header(" ", 12345, "06-15-99", "ANNE", "TOUS", "Public"), false,
         " 12345 15/06/99 " + pad("ANNE", 25) + " " + pad("Public", 25)},
        {header("-", 0, "06-15-99", "ANNE", "TOUS", "Lu"), false,
         "     0 15/06/99 " + pad("ANNE", 25) + " " + pad("Lu", 25)},
        // NUL padding from some boards shows as blanks.
        {header("*", 1, "06-15-99", std::string("BOB\0\0", 5), "TOUS", std::string("X\0", 2)),
         false, "P    1 15/06/99 " + pad("BOB", 25) + " " + pad("X", 25)},
    };
    for (const Case& c : cases) {
        const std::string line = c.written ? writtenLine(c.header) : personalLine(c.header);
        EXPECT_EQ(line, c.expected);
        EXPECT_EQ(line.size(), kManagerLineWidth);
    }
}

TEST_F(PersonalMailTest, PersonalMessagesInIndexOrder) {
    PacketBuilder b;
    b.conference(0, "Principal").conference(1001, "Linux");
    b.add(0, "Pour tous", "a\n");
    PacketMessage& first = b.add(1001, "Pour vous", "b\n");
    first.personal = true;
    first.status = "*";
    first.from = "ANNE";
    first.date = "03-04-96";
    PacketMessage& second = b.add(0, "Encore", "c\n");
    second.personal = true;
    second.from = "BERNARD";
    b.writeTo(s.settings.workPath);

    const std::vector<std::string> lines = REPORTED_TO(ui, buildPersonalList(s, said));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "P 1001 04/03/96 " + pad("ANNE", 25) + " " + pad("Pour vous", 25));
    EXPECT_EQ(lines[1], "     0 05/02/96 " + pad("BERNARD", 25) + " " + pad("Encore", 25));
    EXPECT_EQ(s.browser.ListOrder,
              (std::vector<std::int32_t>{b.headerBlockIndex(1), b.headerBlockIndex(2)}));
    EXPECT_EQ(s.browser.LastListIndex, 1);
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(PersonalMailTest, NoPersonalIndexGivesAnEmptyList) {
    s.browser.ListOrder = {4, 9};
    EXPECT_TRUE(REPORTED_TO(ui, buildPersonalList(s, said)).empty());
    EXPECT_TRUE(s.browser.ListOrder.empty());
    EXPECT_EQ(s.browser.LastListIndex, -1);
}

TEST_F(PersonalMailTest, MissingMessageFileEmptiesThePersonalList) {
    PacketBuilder b;
    b.conference(0, "Principal");
    b.add(0, "Pour vous", "b\n").personal = true;
    b.writeTo(s.settings.workPath);
    QFile::remove(joinPath(s.settings.workPath, QStringLiteral("MESSAGES.DAT")));
    EXPECT_THROW(REPORTED_TO(ui, buildPersonalList(s, said)), VelkError);
    EXPECT_TRUE(s.browser.ListOrder.empty());
    EXPECT_EQ(s.browser.LastListIndex, -1);
}

TEST_F(PersonalMailTest, WrittenMessagesListedInFileOrder) {
    s.replies.SelectedReply = 3;
    WrittenMessages none = listWrittenMessages(s);
    EXPECT_FALSE(none.fileExists);
    EXPECT_TRUE(none.lines.empty());
    EXPECT_FALSE(s.replies.SelectedReply);

    write("Bonne année", true);
    write("Public", false, "TOUS");
    s.replies.SelectedReply = 1;
    const WrittenMessages two = listWrittenMessages(s);
    EXPECT_TRUE(two.fileExists);
    ASSERT_EQ(two.lines.size(), 2u);
    EXPECT_EQ(two.lines[0],
              "P    7 31/12/95 " + pad("JEAN DUPONT", 25) + " " + pad("Bonne année", 25));
    EXPECT_EQ(two.lines[1], "     7 31/12/95 " + pad("TOUS", 25) + " " + pad("Public", 25));
    EXPECT_EQ(s.replies.ReplyCount(), 2);
    EXPECT_FALSE(s.replies.SelectedReply);
}

TEST_F(PersonalMailTest, DamagedReplyFileEmptiesTheTable) {
    write("Un");
    QFile f(ReplyFilePath(s));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(128 + 116); // the block count of the first message
    f.write("ABCDEF");
    f.close();
    EXPECT_THROW(listWrittenMessages(s), VelkError);
    EXPECT_EQ(s.replies.ReplyCount(), 0);
}

TEST_F(PersonalMailTest, DeletingAsksAndNeedsASelection) {
    write("Un");
    write("Deux");
    listWrittenMessages(s);
    EXPECT_FALSE(deleteSelectedReply(s, ui));
    EXPECT_EQ(ui.messages(), QStringList{kChooseMessageFirst});

    ui.clear();
    s.replies.SelectedReply = 0;
    ui.answerYesNo(false);
    EXPECT_FALSE(deleteSelectedReply(s, ui));
    EXPECT_EQ(ui.texts(), QStringList{kConfirmErase});
    EXPECT_EQ(subjects(), (QStringList{"Un", "Deux"}));

    s.replies.SelectedReply = 0;
    ui.answerYesNo(true);
    EXPECT_TRUE(deleteSelectedReply(s, ui));
    EXPECT_EQ(subjects(), QStringList{"Deux"});
    EXPECT_TRUE(ui.allAnswersUsed());
}

TEST_F(PersonalMailTest, DeletingTheLastMessageRemovesFileAndPacket) {
    write("Seul");
    writeFileAtomically(ReplyPacketPath(s), "paquet");
    listWrittenMessages(s);
    s.replies.SelectedReply = 0;
    ui.answerYesNo(true);
    EXPECT_TRUE(deleteSelectedReply(s, ui));
    EXPECT_FALSE(QFile::exists(ReplyFilePath(s)));
    EXPECT_FALSE(QFile::exists(ReplyPacketPath(s)));
    const WrittenMessages after = listWrittenMessages(s);
    EXPECT_FALSE(after.fileExists);
    EXPECT_TRUE(after.lines.empty());
}

TEST_F(PersonalMailTest, EmptyListNeedsNoSelectionMessage) {
    EXPECT_FALSE(deleteSelectedReply(s, ui));
    EXPECT_FALSE(shown(checkReplySelected(s), ui));
    EXPECT_FALSE(startRereading(s));
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(PersonalMailTest, RereadingStartsAtTheSelectionOrTheFirst) {
    write("Un");
    write("Deux");
    listWrittenMessages(s);
    ASSERT_TRUE(startRereading(s));
    EXPECT_EQ(s.replies.SelectedReply, 0);
    EXPECT_EQ(s.store.MessageText.substr(0, 9), "Texte de ");
    EXPECT_EQ(trimRight(s.store.CurrentHeader.subject), "Un");
    s.replies.SelectedReply = 1;
    ASSERT_TRUE(startRereading(s));
    EXPECT_EQ(trimRight(s.store.CurrentHeader.subject), "Deux");
}

} // namespace velk
