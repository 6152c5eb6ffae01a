// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/SubscriptionSending.h"
#include "core/FileUtil.h"
#include "reply/ReplyFile.h"
#include "tests/support/PacketFixture.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace velk {

namespace {

const QDateTime kWhen(QDate(2026, 12, 7), QTime(23, 5));

std::string padded(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
}

// A control message laid out by hand from the QWK header's fields.
std::string controlMessage(std::uint16_t conference, const char* subject, std::uint16_t logical) {
    std::string h = " " + padded(std::to_string(conference), 7) + "12-07-26" + "23:05" +
                    padded("QMAIL", 25) + padded("JEAN DUPONT", 25) + padded(subject, 25) +
                    std::string(12, ' ') + padded("0", 8) + padded("2", 6) + "\xE1";
    h += char(conference & 0xFF);
    h += char(conference >> 8);
    h += char(logical & 0xFF);
    h += char(logical >> 8);
    h += ' ';
    return h + std::string(128, ' ');
}

class SubscriptionSendingTest : public PacketFixture {
protected:
    void open(const std::string& doorId, bool qwke) {
        b.door.reset();
        b.conference(3, "Trois").conference(5, "Cinq");
        b.file("DOOR.ID", doorId);
        if (qwke)
            b.file("TOREADER.EXT", "AREA 5 a\r\n");
        unpack();
        ASSERT_EQ(queueSubscription(s, 3, SubscriptionAction::Add), "");
        ASSERT_EQ(queueSubscription(s, 5, SubscriptionAction::Drop), "");
    }
    QByteArray staged(const OutgoingReplyPacket& out, const QString& name) {
        for (const QString& f : out.files)
            if (QFileInfo(f).fileName() == name)
                return readWholeFile(f);
        return "(absent)";
    }
};

} // namespace

TEST_F(SubscriptionSendingTest, ControlMessagesToTheDoorsNameAfterTheRepliesWithoutChangingThem) {
    open("CONTROLNAME = QMAIL\r\nCONTROLTYPE = ADD\r\nCONTROLTYPE = DROP\r\n", false);
    const std::string replies = padded("VELKTEST", 128) + std::string(256, 'r');
    writeFileAtomically(ReplyFilePath(s), QByteArray::fromStdString(replies));
    const auto out = outgoingReplyPacket(s, kWhen);
    ASSERT_TRUE(out);
    EXPECT_EQ(staged(*out, "VELKTEST.MSG").toStdString(),
              replies + controlMessage(3, "ADD", 1) + controlMessage(5, "DROP", 2));
    EXPECT_EQ(staged(*out, "TODOOR.EXT"), "(absent)");
    EXPECT_EQ(readWholeFile(ReplyFilePath(s)).toStdString(), replies);
}

TEST_F(SubscriptionSendingTest, QwkeBoardsGetAreaLinesAndRestoredRequestsComeBack) {
    open("CONTROLNAME = QMAIL\r\nCONTROLTYPE = ADD\r\n", true);
    const auto out = outgoingReplyPacket(s, kWhen);
    ASSERT_TRUE(out);
    EXPECT_EQ(staged(*out, "TODOOR.EXT"), "AREA 3 a\r\nAREA 5 D\r\n");
    EXPECT_EQ(staged(*out, "VELKTEST.MSG"), "(absent)");
    forgetSentRequests(s, out->requests);
    EXPECT_FALSE(QFile::exists(subscriptionQueuePath(s)));

    // The reply packet unpacked again: the request is back in the queue, not in the files.
    QFile::copy(out->files.front(), joinPath(s.settings.workPath, "todoor.ext"));
    EXPECT_EQ(takeBackRequests(s), 2);
    EXPECT_EQ(readSubscriptionQueue(s),
              (std::vector<SubscriptionRequest>{{3, SubscriptionAction::Add},
                                                {5, SubscriptionAction::Drop}}));
    EXPECT_FALSE(findFileNoCase(s.settings.workPath, "TODOOR.EXT"));
}

TEST_F(SubscriptionSendingTest, RestoredControlMessagesLeaveTheReplyFileForTheQueue) {
    open("CONTROLNAME = QMAIL\r\nCONTROLTYPE = ADD\r\nCONTROLTYPE = DROP\r\n", false);
    const auto out = outgoingReplyPacket(s, kWhen);
    ASSERT_TRUE(out);
    forgetSentRequests(s, out->requests);
    QFile::copy(out->files.front(), ReplyFilePath(s));
    ASSERT_EQ(queueSubscription(s, 3, SubscriptionAction::Drop), ""); // the later wish stays
    EXPECT_EQ(takeBackRequests(s), 2);
    EXPECT_EQ(readSubscriptionQueue(s),
              (std::vector<SubscriptionRequest>{{5, SubscriptionAction::Drop},
                                                {3, SubscriptionAction::Drop}}));
    EXPECT_FALSE(QFile::exists(ReplyFilePath(s)));
}

} // namespace velk
