// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/MessageNavigation.h"

#include "core/FileUtil.h"
#include "core/SettingsAppearance.h"
#include "core/SettingsFile.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "reply/ReplyFile.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <QFile>

#include <gtest/gtest.h>

namespace velk {

namespace {

using Step = NavigationStep;

class NavigationTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    PacketBuilder builder;

    void SetUp() override {
        dirs.configure(s);
        builder.conference(0, "Principal");
        for (int i = 1; i <= 3; ++i)
            builder.add(0, "Sujet " + std::to_string(i), "Texte " + std::to_string(i) + "\n");
        builder.writeTo(s.settings.workPath);
        // Listed in reverse order, as a sort would leave them.
        for (std::size_t i = 3; i-- > 0;)
            s.browser.ListOrder.push_back(builder.headerBlockIndex(i));
        s.browser.LastListIndex = 2;
        s.browser.CurrentListIndex = 0;
    }
    std::string subject() const { return trimRight(s.store.CurrentHeader.subject); }
};

} // namespace

TEST(NavigationTargetTest, StopsAtEitherEnd) {
    struct Case {
        int current;
        int count;
        Step step;
        std::optional<int> target;
    };
    const Case cases[] = {
        {2, 5, Step::First, 0},     {0, 5, Step::First, {}},     {2, 5, Step::Previous, 1},
        {0, 5, Step::Previous, {}}, {2, 5, Step::Next, 3},       {4, 5, Step::Next, {}},
        {2, 5, Step::Last, 4},      {4, 5, Step::Last, {}},      {0, 1, Step::Next, {}},
        {0, 1, Step::Last, {}},     {0, 0, Step::Last, {}},      {0, 0, Step::First, {}},
        {-1, 0, Step::Next, {}},    {9, 5, Step::Previous, 4},   {9, 5, Step::Next, {}},
        {-1, 3, Step::Next, 0},     {-1, 3, Step::Previous, {}}, {9, 5, Step::Last, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(navigationTarget(c.current, c.count, c.step), c.target)
            << c.current << " " << c.count << " " << int(c.step);
}

TEST_F(NavigationTest, PacketModeReadsTheListedMessage) {
    ASSERT_TRUE(REPORTED_TO(ui, readListedMessage(s, said, 0)));
    EXPECT_EQ(subject(), "Sujet 3");
    EXPECT_EQ(s.store.MessageText, "Texte 3");

    EXPECT_FALSE(REPORTED_TO(ui, navigateMessages(s, said, Step::Previous)));
    EXPECT_FALSE(REPORTED_TO(ui, navigateMessages(s, said, Step::First)));
    EXPECT_TRUE(REPORTED_TO(ui, navigateMessages(s, said, Step::Next)));
    EXPECT_EQ(s.browser.CurrentListIndex, 1);
    EXPECT_EQ(subject(), "Sujet 2");
    EXPECT_TRUE(REPORTED_TO(ui, navigateMessages(s, said, Step::Last)));
    EXPECT_EQ(s.browser.CurrentListIndex, 2);
    EXPECT_EQ(s.store.MessageText, "Texte 1");
    // On the last message "Message &Suivant" does nothing and says nothing.
    EXPECT_FALSE(REPORTED_TO(ui, navigateMessages(s, said, Step::Next)));
    EXPECT_FALSE(REPORTED_TO(ui, navigateMessages(s, said, Step::Last)));
    EXPECT_EQ(s.browser.CurrentListIndex, 2);
    EXPECT_TRUE(REPORTED_TO(ui, navigateMessages(s, said, Step::First)));
    EXPECT_EQ(subject(), "Sujet 3");
    EXPECT_TRUE(ui.events().empty());
}

TEST_F(NavigationTest, ListShorterThanItsLastIndexIsNotOverrun) {
    s.browser.LastListIndex = 7;
    EXPECT_TRUE(REPORTED_TO(ui, navigateMessages(s, said, Step::Last)));
    EXPECT_EQ(s.browser.CurrentListIndex, 2);
    s.browser.ListOrder.clear();
    s.browser.LastListIndex = -1;
    s.browser.CurrentListIndex = 0;
    for (Step step : {Step::First, Step::Previous, Step::Next, Step::Last})
        EXPECT_FALSE(REPORTED_TO(ui, navigateMessages(s, said, step)));
}

TEST_F(NavigationTest, FailedReadKeepsPositionAndMessage) {
    ASSERT_TRUE(REPORTED_TO(ui, readListedMessage(s, said, 0)));
    QFile::remove(messagesFilePath(s.settings.workPath));
    EXPECT_THROW(REPORTED_TO(ui, navigateMessages(s, said, Step::Next)), VelkError);
    EXPECT_EQ(s.browser.CurrentListIndex, 0);
    EXPECT_EQ(subject(), "Sujet 3");
    EXPECT_EQ(s.store.MessageText, "Texte 3");
}

TEST_F(NavigationTest, ReplyModeStepsThroughTheReplyFile) {
    s.packet.control.BbsId = "VELKTEST";
    s.packet.control.UserName = "JEAN DUPONT";
    for (int i = 1; i <= 3; ++i) {
        ReplyDraft draft;
        draft.lines = {"Reponse " + std::to_string(i)};
        draft.recipient = "MARIE CURIE";
        draft.author = "JEAN DUPONT";
        draft.subject = "Reponse " + std::to_string(i);
        ASSERT_TRUE(shown(AppendReply(s, draft, QDateTime(QDate(1996, 2, 5), QTime(21, 30))), ui));
    }
    BuildReplyTable(s);
    ASSERT_EQ(s.replies.ReplyCount(), 3);
    s.viewer.ReplyMode = true;

    s.replies.SelectedReply.reset();
    EXPECT_FALSE(readSelectedReply(s));
    s.replies.SelectedReply = 1;
    ASSERT_TRUE(readSelectedReply(s));
    EXPECT_EQ(subject(), "Reponse 2");
    EXPECT_TRUE(REPORTED_TO(ui, navigateMessages(s, said, Step::Next)));
    EXPECT_EQ(s.replies.SelectedReply, 2);
    EXPECT_EQ(subject(), "Reponse 3");
    EXPECT_EQ(s.store.MessageText.substr(0, 9), "Reponse 3");
    EXPECT_FALSE(REPORTED_TO(ui, navigateMessages(s, said, Step::Next)));
    EXPECT_FALSE(REPORTED_TO(ui, navigateMessages(s, said, Step::Last)));
    EXPECT_TRUE(REPORTED_TO(ui, navigateMessages(s, said, Step::First)));
    EXPECT_EQ(subject(), "Reponse 1");
    EXPECT_FALSE(REPORTED_TO(ui, navigateMessages(s, said, Step::Previous)));
    // The browser's list is left alone in reply mode.
    EXPECT_EQ(s.browser.CurrentListIndex, 0);

    s.replies.ReplyTable.clear();
    for (Step step : {Step::First, Step::Previous, Step::Next, Step::Last})
        EXPECT_FALSE(REPORTED_TO(ui, navigateMessages(s, said, step)));
}

TEST_F(NavigationTest, FontChoiceWritesThePoliceSection) {
    struct Case {
        const char* family;
        int size;
        bool bold, italic, underline, strikeOut;
        const char* style;
    };
    const Case cases[] = {
        {"DejaVu Sans", 10, false, false, true, false, "0"},
        {"DejaVu Sans", 11, true, false, true, false, "0"},
        {"DejaVu Serif", 12, false, false, false, true, "0"},
        {"DejaVu Sans Mono", 9, true, false, false, false, "1"},
        {"DejaVu Sans", 14, false, true, false, false, "2"},
        {"DejaVu Sans", 8, true, true, false, false, "3"},
        {"DejaVu Sans", 12, false, false, false, false, "0"},
    };
    const ProfileFile ini = s.settingsFile();
    for (const Case& c : cases) {
        QFont f(QString::fromLatin1(c.family));
        f.setPointSize(c.size);
        f.setBold(c.bold);
        f.setItalic(c.italic);
        f.setUnderline(c.underline);
        f.setStrikeOut(c.strikeOut);
        ui.answerFont(f);
        const auto change = chooseMessageFont(s, ui);
        ASSERT_TRUE(change);
        EXPECT_EQ(ini.readString("Police", "Nom"), c.family);
        EXPECT_EQ(ini.readString("Police", "Taille"), QString::number(c.size));
        EXPECT_EQ(ini.readString("Police", "Style"), c.style) << c.family << c.size;
        EXPECT_EQ(s.settings.messageFont.family, c.family);
        EXPECT_EQ(s.settings.messageFont.pointSize, c.size);
        EXPECT_TRUE(change->isNotTerminal);
    }
}

TEST_F(NavigationTest, FontChoiceToAndFromTheDosFont) {
    s.settings.fontNotTerminal = true;
    QFont dos(QStringLiteral("TerminalDOS"));
    dos.setPointSize(12);
    ui.answerFont(dos);
    auto change = chooseMessageFont(s, ui);
    ASSERT_TRUE(change);
    EXPECT_TRUE(change->wasNotTerminal);
    EXPECT_FALSE(change->isNotTerminal);
    EXPECT_FALSE(s.settings.fontNotTerminal);

    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(16);
    ui.answerFont(pixels);
    change = chooseMessageFont(s, ui);
    ASSERT_TRUE(change);
    EXPECT_FALSE(change->wasNotTerminal);
    EXPECT_TRUE(change->isNotTerminal);
    EXPECT_EQ(s.settingsFile().readString("Police", "Taille"), "12");
}

TEST_F(NavigationTest, CancelledFontChoiceWritesNothing) {
    const FontSetting before = s.settings.messageFont;
    ui.answerFont(std::nullopt);
    EXPECT_FALSE(chooseMessageFont(s, ui));
    EXPECT_FALSE(QFile::exists(s.settingsFile().path()));
    EXPECT_EQ(s.settings.messageFont, before);
}

} // namespace velk
