// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/MessageWriting.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/MessageStore.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace velk {

namespace {

const QDateTime kNow(QDate(1996, 2, 3), QTime(9, 7));

class MessageWritingTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    std::string recipientAnswer = "ANNE";
    std::vector<std::string> recipientPresets;

    void SetUp() override {
        dirs.configure(s);
        s.packet.control.BbsId = "VELKBBS";
        s.packet.control.UserName = "PIERRE MARTIN";
        s.packet.control.Conferences = {{0, "Principale"}, {12, "Programmation"}};
        MessageHeader& h = s.store.CurrentHeader;
        h.status = " ";
        h.number = "1234";
        h.date = "01-15-96";
        h.time = "20:30";
        h.recipient = padRight("PIERRE MARTIN", 25);
        h.author = padRight("JEAN DUPONT", 25);
        h.subject = padRight("Compilateurs", 25);
        h.conference = 12;
        s.store.MessageText = "Bonjour\n";
    }
    MessageWriting writing() {
        return MessageWriting(
            s, ui,
            [this](const std::string& preset) {
                recipientPresets.push_back(preset);
                return recipientAnswer;
            },
            [] { return kNow; }, QRandomGenerator(7));
    }
    // The subjects of the reply file, in file order.
    std::vector<std::string> subjects() {
        BuildReplyTable(s);
        std::vector<std::string> out;
        for (const ReplyTableEntry& e : s.replies.ReplyTable) {
            MessageStoreState read;
            ReadReplyHeader(ReplyFilePath(s), e.headerRecord, read);
            out.push_back(trimRight(read.CurrentHeader.subject));
        }
        return out;
    }
    void store(const std::string& subject) {
        MessageWriting w = writing();
        auto d = w.startNew(1);
        ASSERT_TRUE(d);
        d->subject = subject;
        ASSERT_TRUE(w.send(*d));
        ASSERT_TRUE(w.finish());
    }
};

} // namespace

TEST_F(MessageWritingTest, AnAnswerLeavesTheMessageOnScreenAsItWas) {
    const MessageStoreState before = s.store;
    MessageWriting w = writing();
    EditorDocument d = w.startAnswer(s.store.CurrentHeader, s.store.MessageText, {});
    EXPECT_TRUE(w.flags().AnswerFlag);
    EXPECT_EQ(d.recipient, "JEAN DUPONT");
    EXPECT_EQ(d.conference, 1);
    EXPECT_EQ(d.lines.front(), "JD> Bonjour");
    ASSERT_TRUE(w.send(d));
    EXPECT_TRUE(w.finish());
    EXPECT_EQ(s.store.CurrentHeader.recipient, before.CurrentHeader.recipient);
    EXPECT_EQ(s.store.CurrentHeader.author, before.CurrentHeader.author);
    EXPECT_EQ(s.store.CurrentHeader.date, before.CurrentHeader.date);
    EXPECT_EQ(s.store.MessageText, before.MessageText);

    MessageStoreState written;
    ReadReplyHeader(ReplyFilePath(s), 1, written);
    EXPECT_EQ(trimRight(written.CurrentHeader.recipient), "JEAN DUPONT");
    EXPECT_EQ(trimRight(written.CurrentHeader.reference), "1234");
}

TEST_F(MessageWritingTest, WritingFromAMessageAnswersItsAuthorOrStartsANewMessage) {
    struct Case {
        std::string chosen;
        bool shown, answer;
        std::string recipient;
    };
    const Case cases[] = {
        {"JEAN DUPONT", true, true, "JEAN DUPONT"},
        {"ANNE", true, false, "ANNE"},
        {"", false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        recipientAnswer = c.chosen;
        recipientPresets.clear();
        MessageWriting w = writing();
        const auto d = w.startWriteFromMessage(s.store.CurrentHeader, s.store.MessageText, {}, 0);
        EXPECT_EQ(recipientPresets, std::vector<std::string>{padRight("JEAN DUPONT", 25)});
        ASSERT_EQ(d.has_value(), c.shown);
        if (!d)
            continue;
        EXPECT_EQ(w.flags().AnswerFlag, c.answer);
        EXPECT_EQ(d->recipient, c.recipient);
        // Neither quotes the message.
        for (const std::string& line : d->lines)
            EXPECT_EQ(line.find("Bonjour"), std::string::npos);
    }
}

TEST_F(MessageWritingTest, ACancelledRecipientDialogShowsNoEditor) {
    recipientAnswer.clear();
    MessageWriting forward = writing();
    EXPECT_FALSE(forward.startForward(s.store.CurrentHeader, s.store.MessageText, {}));
    EXPECT_TRUE(forward.flags().ForwardFlag);
    MessageWriting fresh = writing();
    EXPECT_FALSE(fresh.startNew(0));
    EXPECT_FALSE(fresh.finish());
    EXPECT_FALSE(QFileInfo::exists(ReplyFilePath(s)));
}

TEST_F(MessageWritingTest, ModificationReplacesOnlyAWholeNewVersion) {
    store("Un");
    store("Deux");
    store("Trois");
    const QByteArray before = readWholeFile(ReplyFilePath(s));
    struct Case {
        const char* what;
        bool cancel;
        bool append;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"cancelled", true, false, {"Un", "Deux", "Trois"}},
        // The editor said it stored, yet its write failed and was cut back.
        {"write failed", false, false, {"Un", "Deux", "Trois"}},
        {"stored", false, true, {"Un", "Deux bis", "Trois"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildReplyTable(s);
        MessageWriting w = writing();
        EditorDocument d = w.startModification(1);
        EXPECT_FALSE(w.flags().ForwardFlag);
        EXPECT_FALSE(w.flags().AnswerFlag);
        EXPECT_EQ(d.subject, "Deux");
        if (c.append) {
            d.subject = "Deux bis";
            ASSERT_TRUE(w.send(d));
        }
        if (c.cancel) {
            ui.answerYesNoCancel(Answer::No);
            w.askCancel();
        }
        EXPECT_EQ(w.finish(), c.append);
        EXPECT_FALSE(w.flags().CancelFlag);
        EXPECT_EQ(subjects(), c.expected);
        if (!c.append) {
            EXPECT_EQ(readWholeFile(ReplyFilePath(s)), before);
        }
    }
    EXPECT_THROW(writing().startModification(3), VelkError);
}

TEST_F(MessageWritingTest, ItsClockDatesTheModificationAndTheExport) {
    store("Un");
    BuildReplyTable(s);
    MessageWriting w = writing();
    const EditorDocument d = w.startModification(0);
    EXPECT_EQ(d.dateLabel, QStringLiteral("3 février 1996"));
    const QString path = dirs.dir(QStringLiteral("VELK")) + "/EXPORT.TXT";
    ui.answerSaveFile(path);
    ASSERT_TRUE(w.exportText(d));
    EXPECT_EQ(ui.messages().back(), QStringLiteral("Message sauvegardé."));
    EXPECT_TRUE(readWholeFile(path).contains(" Date: 3 f\x82vrier 1996 \x85 09:07\r\n"));
}

} // namespace velk
