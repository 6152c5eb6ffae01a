// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TMessagerie.h"

#include "core/DosFont.h"
#include "core/FileUtil.h"
#include "mail/Browser.h"
#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ButtonCaptions.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ListRows.h"
#include "tests/support/ModalSteps.h"
#include "tests/support/PacketFixture.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/ZipWriter.h"
#include "ui/mail/TAffMsg.h"
#include "ui/main/Windows.h"
#include "ui/packet/TQWK.h"
#include "ui/reply/TDestin.h"
#include "ui/reply/TWriteMsg.h"
#include "ui/widgets/DosTextBox.h"
#include "ui/widgets/QtUiServices.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

namespace velk {

namespace {

void clickRow(QAbstractItemView* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    const QRect r = list->visualRect(index);
    const QPointF at = r.center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
        QApplication::sendEvent(list->viewport(), &e);
    }
}

class TMessagerieTest : public PacketFixture {
protected:
    void SetUp() override {
        PacketFixture::SetUp();
        b.conference(0, "Principal").conference(1001, "G\x82n\x82ral");
        add(0, "10", "02-05-96", "DUPONT", "Premier");
        add(0, "11", "02-06-96", "ALAIN", "Second");
        add(1001, "12", "02-07-96", "ZOE", "Autre");
    }
    void add(std::uint16_t conf, const std::string& number, const std::string& date,
             const std::string& from, const std::string& subject) {
        PacketMessage& m = b.add(conf, subject, "Texte " + number + "\n");
        m.number = number;
        m.date = date;
        m.from = from;
        m.to = "TOUS";
    }
    // The author column of each line of the message list.
    static QStringList authors(const QAbstractItemView* list) {
        QStringList out;
        for (const QString& r : rows(list))
            out.append(r.mid(11, 25).trimmed());
        return out;
    }
};

} // namespace

TEST_F(TMessagerieTest, CaptionsHintsFontsAndHelp) {
    TMessagerie m(s, ui);
    EXPECT_EQ(m.windowTitle(), "Messagerie");
    EXPECT_EQ(m.size(), QSize(791, 562));
    expectButtons({
        {m.FermerBtn, "&Fermer", "Sortir de la fenêtre"},
        {m.WriteMsgBtn, "&Ecrire", "Ecrire un nouveau message"},
        {m.HelpBtn, "&Aide", "Aide contextuelle"},
        {m.TriDateBtn, "&Numéro", "Trier les messages par date d'arrivée"},
        {m.TriAuteurBtn, "A&uteur", "Trier les messages par auteur"},
        {m.TriDestBtn, "Des&tinataire", "Trier les messages par destinataire"},
        {m.TriSujetBtn, "&Sujet", "Trier les messages par sujet"},
    });
    QStringList labels;
    for (QLabel* l : m.findChildren<QLabel*>())
        labels.append(l->text());
    EXPECT_EQ(labels, (QStringList{"Conférences :", "Message(s) :", "Ordre de tri :"}));
    EXPECT_EQ(m.ListMsg->font().family(), kDosFontFamily);
    EXPECT_EQ(s.browser.SortOrder, MessageOrder::Number);
    // The editor comes later: until it is given, writing stays off.
    EXPECT_FALSE(m.WriteMsgBtn->isEnabled());
    m.HelpBtn->click();
    ASSERT_EQ(ui.events().size(), 1u);
    EXPECT_EQ(ui.events()[0].kind, ScriptedUiServices::Kind::Help);
    EXPECT_EQ(ui.events()[0].text, "3000");
}

TEST_F(TMessagerieTest, MailButtonOpensTheBrowser) {
    unpack();
    TQWK packetWindow(s, ui);
    TMessagerie m(s, ui);
    packetWindow.show();
    EXPECT_FALSE(packetWindow.MailBtn->isEnabled()); // no browser yet
    packetWindow.setMessagerie(m);
    packetWindow.hide();
    packetWindow.show();
    ASSERT_TRUE(packetWindow.MailBtn->isEnabled());

    TAffMsg viewer(s, ui);
    m.setViewer(viewer);
    int viewerRuns = 0;
    ui.onModal("TAffMsg", [&](QObject&) {
        ++viewerRuns;
        EXPECT_FALSE(m.isVisible());
        EXPECT_EQ(s.store.MessageText, "Texte 11");
        s.browser.CurrentListIndex = 0; // the viewer went back to the first message
        return 0;
    });
    bool shown = false;
    ui.onModal("TMessagerie", [&](QObject&) {
        shown = true;
        EXPECT_FALSE(packetWindow.isVisible());
        EXPECT_EQ(ui.busyDepth(), 0);
        m.show();
        EXPECT_EQ(rows(m.ListConf), (QStringList{"0    (2)    Principal", "1001 (1)    Général"}));
        EXPECT_EQ(m.ListConf->currentRow(), 0);
        EXPECT_EQ(m.ListConf->font().family(), kDosFontFamily);
        EXPECT_EQ(m.ListConf->toolTip(), "Dans l'ordre :\nLe numéro de conférence,\nle nombre de "
                                         "messages,\nle nom de la conférence");
        EXPECT_EQ(rows(m.ListMsg).size(), 2);
        EXPECT_EQ(rows(m.ListMsg)[0].size(), 88);
        EXPECT_EQ(authors(m.ListMsg), (QStringList{"DUPONT", "ALAIN"}));

        m.TriAuteurBtn->click();
        EXPECT_EQ(s.browser.SortOrder, MessageOrder::Author);
        EXPECT_TRUE(m.TriAuteurBtn->isChecked());
        EXPECT_EQ(authors(m.ListMsg), (QStringList{"ALAIN", "DUPONT"}));

        clickRow(m.ListMsg, 0);
        EXPECT_EQ(viewerRuns, 1);
        EXPECT_TRUE(m.isVisible());
        EXPECT_EQ(m.ListMsg->currentRow(), 0);

        m.ListConf->setCurrentRow(1);
        EXPECT_EQ(authors(m.ListMsg), (QStringList{"ZOE"}));
        EXPECT_EQ(s.browser.CurrentConference, 1);
        m.TriDateBtn->click();
        EXPECT_EQ(s.browser.SortOrder, MessageOrder::Number);

        m.FermerBtn->click();
        EXPECT_FALSE(m.isVisible());
        return 0;
    });
    packetWindow.MailBtn->click();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(packetWindow.isVisible());
    EXPECT_EQ(ui.busyDepth(), 0);
    EXPECT_TRUE(ui.texts().isEmpty());
    packetWindow.hide();
}

TEST_F(TMessagerieTest, APacketWithoutIndexFilesListsEveryMessage) {
    b.quirks.noIndexFiles = true;
    b.quirks.noPersonalIndex = true;
    unpack();
    TQWK packetWindow(s, ui);
    TMessagerie m(s, ui);
    packetWindow.setMessagerie(m);
    packetWindow.show();
    TAffMsg viewer(s, ui);
    m.setViewer(viewer);
    ui.onModal("TAffMsg", [&](QObject&) {
        EXPECT_EQ(s.store.MessageText, "Texte 10");
        return 0;
    });
    bool shown = false;
    ui.onModal("TMessagerie", [&](QObject&) {
        shown = true;
        m.show();
        EXPECT_EQ(rows(m.ListConf), (QStringList{"0    (2)    Principal", "1001 (1)    Général"}));
        EXPECT_EQ(authors(m.ListMsg), (QStringList{"DUPONT", "ALAIN"}));
        clickRow(m.ListMsg, 0);
        m.ListConf->setCurrentRow(1);
        EXPECT_EQ(authors(m.ListMsg), (QStringList{"ZOE"}));
        return 0;
    });
    packetWindow.MailBtn->click();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(ui.texts().isEmpty());
    packetWindow.hide();
}

// A large MESSAGES.DAT lands behind the packet window: the mail waits for it, and one that
// could not be unpacked is told at each try instead of listed.
TEST_F(TMessagerieTest, MailWaitsForMessagesUnpackedBehindThePacketWindow) {
    b.add(0, "Long", std::string(1 << 20, 'x'));
    QtUiServices real{QString()};
    const auto windows = createWindows(s, real);
    for (const bool damaged : {false, true}) {
        ZipWriter z;
        z.addAll(b.files());
        QByteArray zip = z.bytes();
        zip[zip.indexOf(b.messagesFile()) + 1] ^= char(damaged);
        s.commandLinePacket = joinPath(s.settings.qwkPath, "GROS.QWK");
        writeFileAtomically(s.commandLinePacket, zip);
        s.openFromCommandLine = true;
        QStringList seen; // each window over the packet window, and what it says
        ModalSteps steps;
        steps.then("TQWK", [&](QWidget&) {
            for (int i = 0; i <= int(damaged); ++i)
                windows->QWK->MailBtn->click();
            windows->QWK->FermerBtn->click();
        });
        for (int i = 0; i < (damaged ? 4 : 1); ++i)
            steps.then("QDialog", [&](QWidget& w) {
                seen << w.metaObject()->className() + w.property("text").toString();
                static_cast<QDialog&>(w).reject();
            });
        ASSERT_TRUE(openPacket(s, real, *windows->QWK));
        EXPECT_TRUE(steps.done());
        EXPECT_EQ(seen.filter("velk::TMessagerie").size(), damaged ? 0 : 1);
        EXPECT_EQ(seen.filter("QMessageBoxProblème lors du décompactage").size(), damaged ? 2 : 0);
    }
}

TEST_F(TMessagerieTest, NoIndexFileShowsNoBrowser) {
    PacketBuilder empty;
    empty.conference(0, "Principal");
    empty.writeTo(s.settings.workPath);
    ASSERT_TRUE(shown(InitQWK(s), ui));
    TQWK packetWindow(s, ui);
    TMessagerie m(s, ui);
    packetWindow.setMessagerie(m);
    packetWindow.MailBtnClick(); // a browser shown now would fail: no handler
    EXPECT_EQ(m.ListConf->count(), 0);
    EXPECT_EQ(ui.busyDepth(), 0);
}

TEST_F(TMessagerieTest, UnreadableIndexLeavesAnEmptyList) {
    unpack();
    TMessagerie m(s, ui);
    m.fillConferences(buildConferenceList(s));
    QFile::remove(joinPath(s.settings.workPath, b.indexName(0)));
    m.ListConfClick();
    EXPECT_EQ(ui.messages(), QStringList{"Fichier introuvable"});
    EXPECT_EQ(m.ListMsg->count(), 0);
    EXPECT_EQ(ui.busyDepth(), 0);
}

TEST_F(TMessagerieTest, WritingKeepsTheHeaderOnScreen) {
    unpack();
    const auto windows = createWindows(s, ui);
    TMessagerie& m = *windows->Messagerie;
    s.store.CurrentHeader.recipient = padRight("TOUS", 25);
    s.store.CurrentHeader.author = padRight("MOI", 25);
    s.store.CurrentHeader.subject = padRight("Lu", 25);
    const MessageHeader before = s.store.CurrentHeader;
    int editorRuns = 0;
    QString recipient = QStringLiteral("ANNE");
    ui.onModal("TDestin", [&](QObject&) {
        TDestin& d = *windows->Destin;
        d.Name->setPlainText(recipient);
        recipient.isEmpty() ? d.CancelBtnClick() : d.OKBtnClick();
        return d.result();
    });
    ui.onModal("TWriteMsg", [&](QObject&) {
        ++editorRuns;
        EXPECT_FALSE(m.isVisible());
        TWriteMsg& w = *windows->WriteMsg;
        EXPECT_EQ(w.chDest->toPlainText(), QStringLiteral("ANNE"));
        w.chSujet->setText(QStringLiteral("Nouveau"));
        w.OKBtnClick();
        return w.result();
    });
    EXPECT_TRUE(m.WriteMsgBtn->isEnabled());
    m.show();
    m.WriteMsgBtn->click();
    EXPECT_EQ(editorRuns, 1);
    EXPECT_TRUE(m.isVisible());
    EXPECT_EQ(s.store.CurrentHeader.recipient, before.recipient);
    EXPECT_EQ(s.store.CurrentHeader.author, before.author);
    EXPECT_EQ(s.store.CurrentHeader.subject, before.subject);
    EXPECT_EQ(s.store.CurrentHeader.date, before.date);
    // The recipient dialog cancelled: no editor.
    recipient.clear();
    m.WriteMsgBtn->click();
    EXPECT_EQ(editorRuns, 1);
    m.hide();
}

} // namespace velk
