// SPDX-License-Identifier: GPL-2.0-or-later
// The windows as start-up creates and connects them: a user opens a packet, reads a
// message, answers it, sends the answer and closes the packet; the reply packet holds it.
#include "core/CharacterSet.h"
#include "core/DosFont.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"
#include "ui/mail/TAffMsg.h"
#include "ui/mail/TMessagerie.h"
#include "ui/mail/TMsgPerso.h"
#include "ui/main/TForm1.h"
#include "ui/main/Windows.h"
#include "ui/packet/TQWK.h"
#include "ui/reply/TWriteMsg.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

// What exec() does around the user's clicks: the window is shown (its activation runs),
// then closed.
template <typename F> ScriptedUiServices::ModalHandler shownWhile(F clicks) {
    return [clicks](QObject& window) {
        auto& w = static_cast<QWidget&>(window);
        w.show();
        clicks();
        w.hide();
        return 0;
    };
}

class ReadAndAnswer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fontId_ = registerDosFont(QStringLiteral(VELK_FONT_FILE)); }
    static void TearDownTestSuite() { unregisterDosFont(fontId_); }

    ConfiguredDirectories dirs;
    Session session;
    ScriptedUiServices ui;
    std::unique_ptr<Windows> windows;
    QString packet;

    void SetUp() override {
        dirs.configure(session);
        PacketBuilder b;
        b.control.bbsId = "CANUTS";
        b.control.userName = "JEAN DUPONT";
        b.conference(0, "Courrier principal").conference(1, "Informatique");
        PacketMessage& m = b.add(1,
                                 "Modem qui d\x82"
                                 "croche",
                                 "Il d\x82"
                                 "croche.\nSans arr\x88t.\n");
        m.from = "\x90LODIE ROUSSEAU";
        m.to = "TOUS";
        m.number = "4";
        b.add(0, "Bienvenue", "Bonjour.\n").personal = true;
        packet = dirs.dir(QStringLiteral("QWK")) + QStringLiteral("/CANUTS.QWK");
        b.zipTo(packet);
        session.openFromCommandLine = true;
        session.commandLinePacket = packet;
        windows = createWindows(session, ui);
    }

private:
    static inline int fontId_ = -1;
};

TEST_F(ReadAndAnswer, TheAnswerReachesTheReplyPacket) {
    QStringList shown;
    ui.onModal("TQWK", shownWhile([&] {
                   TQWK& qwk = *windows->QWK;
                   shown << QStringLiteral("TQWK");
                   EXPECT_TRUE(qwk.MailBtn->isEnabled());
                   EXPECT_TRUE(qwk.MsgPersoBtn->isEnabled());
                   qwk.MailBtn->click();
                   qwk.FermerBtnClick();
               }));
    ui.onModal("TMessagerie", shownWhile([&] {
                   TMessagerie& browser = *windows->Messagerie;
                   shown << QStringLiteral("TMessagerie");
                   browser.ListConf->setCurrentRow(1); // Informatique
                   browser.ListConfClick();
                   EXPECT_EQ(browser.ListMsg->count(), 1);
                   browser.ListMsg->setCurrentRow(0);
                   browser.ListMsgClick();
               }));
    ui.onModal("TAffMsg", shownWhile([&] {
                   TAffMsg& viewer = *windows->AffMsg;
                   shown << QStringLiteral("TAffMsg");
                   EXPECT_TRUE(viewer.AnswerBtn->isEnabled());
                   viewer.AnswerBtn->click();
               }));
    ui.onModal("TWriteMsg", shownWhile([&] {
                   shown << QStringLiteral("TWriteMsg");
                   windows->WriteMsg->OKBtnClick(); // "&Envoyer"
               }));

    windows->Form1->OuvrirunpaquetQWK1Click();

    EXPECT_EQ(shown, (QStringList{"TQWK", "TMessagerie", "TAffMsg", "TWriteMsg"}));
    EXPECT_TRUE(ui.allAnswersUsed());
    EXPECT_FALSE(session.openFromCommandLine);
    const QString rep = dirs.dir(QStringLiteral("REP")) + QStringLiteral("/CANUTS.REP");
    ASSERT_TRUE(QFileInfo(rep).isFile()) << ui.texts().join(QLatin1Char('|')).toStdString();

    // What the board will receive: the answer to message 4, to its author, quoting it.
    QTemporaryDir unpacked;
    ASSERT_EQ(QProcess::execute(QStringLiteral("unzip"),
                                {QStringLiteral("-q"), rep, QStringLiteral("-d"), unpacked.path()}),
              0);
    const QString msg = unpacked.filePath(QStringLiteral("CANUTS.MSG"));
    MessageStoreState store;
    ReadReplyHeader(msg, 1, store);
    EXPECT_EQ(trimRight(store.CurrentHeader.recipient), "\x90LODIE ROUSSEAU");
    EXPECT_EQ(trimRight(store.CurrentHeader.author), "JEAN DUPONT");
    EXPECT_EQ(trimRight(store.CurrentHeader.reference), "4");
    EXPECT_EQ(store.CurrentHeader.conference, 1);
    ReadReplyText(msg, 2, store.CurrentHeader.blockCount, store);
    EXPECT_NE(store.MessageText.find("R> Il d\x82"
                                     "croche."),
              std::string::npos)
        << dosTextToUnicode(store.MessageText).toStdString();
    // The work directory is emptied once the packet window closes.
    EXPECT_TRUE(QDir(session.settings.workPath).entryList(QDir::Files).isEmpty());
}

} // namespace

} // namespace velk
