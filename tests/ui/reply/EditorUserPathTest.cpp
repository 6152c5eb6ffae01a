// SPDX-License-Identifier: GPL-2.0-or-later
// The editor as a user meets it: the real dialogs' exec(), the real message boxes, keys and
// clicks sent to the windows on screen.
#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "core/FileUtil.h"
#include "packet/MessageStore.h"
#include "reply/ReplyFile.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/ModalSteps.h"
#include "tests/support/Typing.h"
#include "ui/main/Windows.h"
#include "ui/reply/TDestin.h"
#include "ui/reply/TWriteMsg.h"
#include "ui/widgets/DosTextBox.h"
#include "ui/widgets/QtUiServices.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <optional>

namespace velk {

namespace {

void press(QWidget& widget, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

// Clicks the box's button of that caption and gives the box's text.
QString answer(QWidget& box, const QString& button) {
    auto& b = static_cast<QMessageBox&>(box);
    QString text = b.text();
    for (QAbstractButton* candidate : b.buttons()) {
        if (candidate->text() == button) {
            candidate->click();
            return text;
        }
    }
    ADD_FAILURE() << "no button " << button.toStdString() << " in: " << text.toStdString();
    b.reject();
    return text;
}

class EditorUserPathTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session session;
    QtUiServices ui{QString()};
    std::unique_ptr<Windows> windows;
    QDialog opener;

    void SetUp() override {
        ASSERT_GE(registerDosFont(QStringLiteral(VELK_FONT_FILE)), 0);
        dirs.configure(session);
        session.packet.control.BbsId = "VELKBBS";
        session.packet.control.UserName = "PIERRE MARTIN";
        session.packet.control.Conferences = {{0, "Principale"}};
        windows = createWindows(session, ui);
    }

    TWriteMsg& editor() { return *windows->WriteMsg; }
    QString replyFile() { return dirs.dir(QStringLiteral("WORK")) + "/VELKBBS.MSG"; }

    // The recipient dialog answered with its preset name.
    void acceptRecipient(ModalSteps& steps) {
        steps.then("TDestin", [](QWidget& d) { static_cast<TDestin&>(d).OkBtn->click(); });
    }
};

TEST_F(EditorUserPathTest, AnsweringNonToTheQuestionClosesTheEditorWithoutWriting) {
    // The three ways out a user has: the button, Escape and the window's close box.
    const std::vector<std::function<void(TWriteMsg&)>> waysOut = {
        [](TWriteMsg& w) { w.CancelBtn->click(); },
        [](TWriteMsg& w) { press(*w.Reponse, Qt::Key_Escape); },
        [](TWriteMsg& w) { w.close(); },
    };
    for (std::size_t way = 0; way < waysOut.size(); ++way) {
        SCOPED_TRACE(way);
        ModalSteps steps;
        acceptRecipient(steps);
        QString question;
        steps.then("TWriteMsg", [&](QWidget&) {
            type(editor().Reponse, QStringLiteral("Quelques mots"));
            waysOut[way](editor());
        });
        steps.then("QMessageBox", [&](QWidget& box) { question = answer(box, "&Non"); });
        EXPECT_FALSE(editor().writeNew(opener));
        EXPECT_TRUE(steps.done());
        EXPECT_EQ(question, QStringLiteral("Enregistrer ce message ?"));
        EXPECT_FALSE(editor().isVisible());
        EXPECT_FALSE(QFileInfo::exists(replyFile()));
    }
}

TEST_F(EditorUserPathTest, AModifiedReplyLeftWithNonStaysAsItWas) {
    ModalSteps first;
    acceptRecipient(first);
    first.then("TWriteMsg", [&](QWidget&) {
        type(editor().Reponse, QStringLiteral("Premier jet"));
        editor().OKBtn->click();
    });
    ASSERT_TRUE(editor().writeNew(opener));
    BuildReplyTable(session);
    const QByteArray before = readWholeFile(replyFile());

    ModalSteps steps;
    steps.then("TWriteMsg", [&](QWidget&) {
        type(editor().Reponse, QStringLiteral(" retouché"));
        press(*editor().Reponse, Qt::Key_Escape);
    });
    steps.then("QMessageBox", [&](QWidget& box) { answer(box, "&Non"); });
    EXPECT_FALSE(editor().modify(0, opener));
    EXPECT_TRUE(steps.done());
    EXPECT_FALSE(editor().isVisible());
    EXPECT_EQ(readWholeFile(replyFile()), before);
}

TEST_F(EditorUserPathTest, AFailedSendKeepsTheEditorAndItsTextUntilItCanBeSent) {
    std::optional<FileSizeLimit> full;
    ModalSteps steps;
    acceptRecipient(steps);
    QString error;
    steps.then("TWriteMsg", [&](QWidget&) {
        type(editor().Reponse, QStringLiteral("Un texte à garder"));
        full.emplace(64);
        editor().OKBtn->click();
    });
    steps.then("QMessageBox", [&](QWidget& box) {
        full.reset();
        error = static_cast<QMessageBox&>(box).text();
        static_cast<QMessageBox&>(box).accept();
    });
    bool keptOnScreen = false;
    steps.then("TWriteMsg", [&](QWidget&) {
        keptOnScreen = editor().isVisible() &&
                       editor().Reponse->toPlainText() == QStringLiteral("Un texte à garder");
        editor().OKBtn->click();
    });
    EXPECT_TRUE(editor().writeNew(opener));
    EXPECT_TRUE(steps.done());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(keptOnScreen);
    // One message in the file: the failed write left nothing behind.
    BuildReplyTable(session);
    EXPECT_EQ(session.replies.ReplyCount(), 1);
}

TEST_F(EditorUserPathTest, TheLinesSentAreTheLinesOnScreenInTheConsoleFont) {
    session.settings.maxCar = 40;
    const QString typed =
        QStringLiteral("Jean-Pierre a relu le programme ligne/ligne, puis il a dit : c'est-à-dire "
                       "qu'aucune-ligne-ne-doit-dépasser-la-largeur-de-la-boîte-sans-être-coupée.");
    QStringList onScreen;
    QString family;
    ModalSteps steps;
    acceptRecipient(steps);
    steps.then("TWriteMsg", [&](QWidget&) {
        DosTextBox& box = *editor().Reponse;
        type(&box, typed);
        family = QFontInfo(box.font()).family();
        QCoreApplication::processEvents();
        for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next()) {
            for (int i = 0; i < b.layout()->lineCount(); ++i) {
                const QTextLine line = b.layout()->lineAt(i);
                onScreen << b.text().mid(line.textStart(), line.textLength()).trimmed();
            }
        }
        editor().OKBtn->click();
    });
    ASSERT_TRUE(editor().writeNew(opener));
    EXPECT_EQ(family, QStringLiteral("TerminalDOS"));

    MessageStoreState store;
    ReadReplyHeader(replyFile(), 1, store);
    ReadReplyText(replyFile(), 2, store.CurrentHeader.blockCount, store);
    const QStringList sent = dosTextToUnicode(store.MessageText).split(QLatin1Char('\n'));
    ASSERT_GE(onScreen.size(), 4);
    ASSERT_GE(sent.size(), onScreen.size());
    for (qsizetype i = 0; i < onScreen.size(); ++i) {
        EXPECT_EQ(sent[i], onScreen[i]);
        EXPECT_LE(sent[i].size(), 40);
    }
}

TEST_F(EditorUserPathTest, AnAnsweredNameGoesToTheBoardInCapitals) {
    MessageHeader answered;
    answered.status = " ";
    answered.number = "7";
    answered.author = padRight("Nightfox", 25);
    answered.subject = padRight("Salut", 25);
    QString shown;
    ModalSteps steps;
    steps.then("TWriteMsg", [&](QWidget&) {
        shown = editor().chDest->toPlainText();
        editor().OKBtn->click();
    });
    ASSERT_TRUE(editor().answer(answered, "Bonjour", {}, opener));
    EXPECT_EQ(shown, QStringLiteral("NIGHTFOX"));
    MessageStoreState store;
    ReadReplyHeader(replyFile(), 1, store);
    EXPECT_EQ(store.CurrentHeader.recipient, padRight("NIGHTFOX", 25));
}

} // namespace

} // namespace velk
