// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/TMsgPerso.h"

#include "core/DosFont.h"
#include "core/FileUtil.h"
#include "mail/PersonalMail.h"
#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "reply/ReplyFile.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ListRows.h"
#include "tests/support/ModalSteps.h"
#include "tests/support/PacketFixture.h"
#include "tests/support/ScriptedUiServices.h"
#include "ui/mail/TAffMsg.h"
#include "ui/main/Windows.h"
#include "ui/packet/TQWK.h"
#include "ui/reply/TDestin.h"
#include "ui/reply/TWriteMsg.h"
#include "ui/widgets/DosTextBox.h"
#include "ui/widgets/QtUiServices.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace velk {

namespace {

const QDateTime kWhen(QDate(1996, 2, 6), QTime(9, 0));

// The subject column of each line.
QStringList subjects(const QAbstractItemView* list) {
    QStringList out;
    for (const QString& r : rows(list))
        out.append(r.mid(42).trimmed());
    return out;
}

class TMsgPersoTest : public PacketFixture {
protected:
    void SetUp() override {
        PacketFixture::SetUp();
        b.conference(0, "Principal").conference(7, "Sept");
        b.add(0, "Pour tous", "a\n");
    }
    void write(const std::string& subject) {
        ReplyDraft d;
        d.answer = true, d.answeredNumber = "1";
        d.lines = {"Texte " + subject};
        d.conference = 7;
        d.recipient = "ANNE";
        d.author = "JEAN DUPONT";
        d.subject = subject;
        ASSERT_TRUE(shown(AppendReply(s, d, kWhen), ui));
    }
    std::unique_ptr<Windows> windows;
    // The real editor: the recipient dialog answers ANNE (or is cancelled when `recipient`
    // is empty); the editor sends the message under `newSubject`, or is left with "&Non"
    // when `cancel`.
    void giveEditor(TMsgPerso& m, int& editorRuns, const std::string& newSubject, bool cancel,
                    const QString& recipient = QStringLiteral("ANNE")) {
        if (!windows)
            windows = createWindows(s, ui);
        m.setEditor(*windows->WriteMsg);
        ui.onModal("TDestin", [this, recipient](QObject&) {
            TDestin& d = *windows->Destin;
            d.Name->setPlainText(recipient);
            recipient.isEmpty() ? d.CancelBtnClick() : d.OKBtnClick();
            return d.result();
        });
        ui.onModal("TWriteMsg", [this, &m, &editorRuns, newSubject, cancel](QObject&) {
            ++editorRuns;
            EXPECT_FALSE(m.isVisible());
            TWriteMsg& w = *windows->WriteMsg;
            if (cancel) {
                ui.answerYesNoCancel(Answer::No);
                w.CancelBtnClick();
            } else {
                w.chSujet->setText(QString::fromStdString(newSubject));
                w.OKBtnClick();
            }
            return w.result();
        });
    }
};

TEST_F(TMsgPersoTest, DeletingAsksInAnUntitledBoxAndOnlyOuiDeletes) {
    unpack();
    write("Seul");
    QtUiServices real{QString()};
    TMsgPerso m(s, real);
    m.AfficheMsgREP();
    m.ListReponses->setCurrentRow(0);
    for (const QString& button : {QStringLiteral("&Non"), QStringLiteral("&Oui")}) {
        ModalSteps steps;
        QString title, text;
        steps.then("QMessageBox", [&](QWidget& w) {
            auto& box = static_cast<QMessageBox&>(w);
            title = box.windowTitle();
            text = box.text();
            for (QAbstractButton* btn : box.buttons()) {
                if (btn->text() == button)
                    btn->click();
            }
        });
        m.DelBtn->click();
        EXPECT_TRUE(steps.done());
        EXPECT_EQ(title, QStringLiteral(" ")); // an empty one would show the program's name
        EXPECT_EQ(text, kConfirmErase);
        EXPECT_EQ(QFile::exists(ReplyFilePath(s)), button == QStringLiteral("&Non"));
    }
}

} // namespace

TEST_F(TMsgPersoTest, CaptionsHintsFontsAndHelp) {
    TMsgPerso m(s, ui);
    EXPECT_EQ(m.windowTitle(), "Messagerie");
    EXPECT_EQ(m.Label1->text(), "Message(s) personnel(s) :");
    EXPECT_EQ(m.findChildren<QLabel*>().size(), 1);
    struct Button {
        QPushButton* button;
        const char* caption;
        const char* hint;
    };
    const Button buttons[] = {
        {m.WriteMsgBtn, "&Ecrire un message", "Nouveau message"},
        {m.DelBtn, "Effa&cer un message", "Détruire un message"},
        {m.ModifBtn, "&Modifier un message", "Editer un message"},
        {m.LireBtn, "&Relire les messages", "Afficher un message"},
        {m.FermerBtn, "&Fermer", "Sortir de la fenêtre"},
        {m.HelpBtn, "&Aide", "Aide contextuelle"},
    };
    for (const Button& btn : buttons) {
        EXPECT_EQ(btn.button->text(), QString::fromUtf8(btn.caption));
        EXPECT_EQ(btn.button->toolTip(), QString::fromUtf8(btn.hint));
        EXPECT_EQ(btn.button->isDefault(), btn.button == m.FermerBtn);
        // Nothing to act on yet, and no editor or viewer given.
        EXPECT_FALSE(btn.button->isEnabled() && btn.button != m.FermerBtn &&
                     btn.button != m.HelpBtn);
    }
    EXPECT_EQ(m.ListMsgPerso->font().family(), kDosFontFamily);
    EXPECT_EQ(m.ListReponses->font().family(), kDosFontFamily);
    EXPECT_FALSE(s.replies.SelectedReply);
    m.HelpBtn->click();
    ASSERT_EQ(ui.events().size(), 1u);
    EXPECT_EQ(ui.events()[0].kind, ScriptedUiServices::Kind::Help);
    EXPECT_EQ(ui.events()[0].text, "4000");
}

TEST_F(TMsgPersoTest, PacketButtonOpensTheManagerWithoutPersonalIndex) {
    unpack();
    write("D\x82j\x85 \x82"
          "crit"); // DOS bytes
    TQWK packetWindow(s, ui);
    TMsgPerso m(s, ui);
    packetWindow.show();
    EXPECT_FALSE(packetWindow.MsgPersoBtn->isEnabled()); // no manager yet
    packetWindow.setMsgPerso(m);
    packetWindow.hide();
    packetWindow.show();
    ASSERT_TRUE(packetWindow.MsgPersoBtn->isEnabled());

    bool shown = false;
    ui.onModal("TMsgPerso", [&](QObject&) {
        shown = true;
        EXPECT_FALSE(packetWindow.isVisible());
        EXPECT_EQ(ui.busyDepth(), 0);
        // No PERSONAL.NDX: the packet's message to the user is found all the same.
        EXPECT_EQ(m.ListMsgPerso->count(), 1);
        EXPECT_EQ(subjects(m.ListReponses), QStringList{"Déjà écrit"});
        EXPECT_TRUE(m.DelBtn->isEnabled());
        m.show();
        m.FermerBtn->click();
        EXPECT_FALSE(m.isVisible());
        return 0;
    });
    packetWindow.MsgPersoBtn->click();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(packetWindow.isVisible());
    EXPECT_TRUE(ui.texts().isEmpty());
    packetWindow.hide();
}

TEST_F(TMsgPersoTest, PersonalMessageReadInTheViewer) {
    PacketMessage& first = b.add(7, "Pour vous", "Bonjour Jean\n");
    first.personal = true;
    first.status = "*";
    first.from = "ANNE";
    b.add(0, "Encore vous", "Re\n").personal = true;
    unpack();
    TQWK packetWindow(s, ui);
    TMsgPerso m(s, ui);
    packetWindow.setMsgPerso(m);
    TAffMsg viewer(s, ui);
    m.setViewer(viewer);
    int viewerRuns = 0;
    ui.onModal("TAffMsg", [&](QObject&) {
        ++viewerRuns;
        EXPECT_FALSE(m.isVisible());
        EXPECT_EQ(s.store.MessageText, "Bonjour Jean");
        s.browser.CurrentListIndex = 1; // the user went on to the next one
        write("R\x82ponse");            // and answered it
        return 0;
    });
    ui.onModal("TMsgPerso", [&](QObject&) {
        m.show();
        const QStringList lines = rows(m.ListMsgPerso);
        EXPECT_EQ(lines.size(), 2);
        EXPECT_EQ(lines[0], QStringLiteral("P    7 05/02/96 ") + QString("ANNE").leftJustified(25) +
                                QStringLiteral(" ") + QString("Pour vous").leftJustified(25));
        EXPECT_EQ(m.ListReponses->count(), 0);
        EXPECT_FALSE(m.DelBtn->isEnabled());
        m.ListMsgPerso->setCurrentRow(0);
        m.ListMsgPersoClick();
        EXPECT_EQ(viewerRuns, 1);
        EXPECT_TRUE(m.isVisible());
        EXPECT_EQ(m.ListMsgPerso->currentRow(), 1);
        EXPECT_EQ(subjects(m.ListReponses), QStringList{"Réponse"});
        EXPECT_TRUE(m.DelBtn->isEnabled());
        m.FermerBtn->click();
        return 0;
    });
    packetWindow.MsgPersoBtnClick();
    EXPECT_EQ(viewerRuns, 1);
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(TMsgPersoTest, UnreadableMessagesStillOpenTheManager) {
    b.add(0, "Pour vous", "x\n").personal = true;
    unpack();
    QFile::remove(joinPath(s.settings.workPath, QStringLiteral("MESSAGES.DAT")));
    TQWK packetWindow(s, ui);
    TMsgPerso m(s, ui);
    packetWindow.setMsgPerso(m);
    bool shown = false;
    ui.onModal("TMsgPerso", [&](QObject&) {
        shown = true;
        return 0;
    });
    packetWindow.MsgPersoBtnClick();
    EXPECT_TRUE(shown);
    EXPECT_EQ(m.ListMsgPerso->count(), 0);
    EXPECT_EQ(ui.messages(), QStringList{"Fichier introuvable"});
    EXPECT_EQ(ui.busyDepth(), 0);
}

TEST_F(TMsgPersoTest, WritingTheFirstMessageEnablesTheButtons) {
    unpack();
    TMsgPerso m(s, ui);
    int editorRuns = 0;
    giveEditor(m, editorRuns, "Premier", false);
    TAffMsg viewer(s, ui);
    m.setViewer(viewer);
    m.AfficheMsgREP();
    EXPECT_TRUE(m.WriteMsgBtn->isEnabled());
    for (QPushButton* button : {m.DelBtn, m.ModifBtn, m.LireBtn})
        EXPECT_FALSE(button->isEnabled());
    m.WriteMsgBtn->click();
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(subjects(m.ListReponses), QStringList{"Premier"});
    for (QPushButton* button : {m.DelBtn, m.ModifBtn, m.LireBtn})
        EXPECT_TRUE(button->isEnabled());

    // No recipient chosen: no editor.
    giveEditor(m, editorRuns, "Second", false, QString());
    m.WriteMsgBtn->click();
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(m.ListReponses->count(), 1);
}

TEST_F(TMsgPersoTest, DeletingTheOnlyMessageRemovesFileAndPacket) {
    unpack();
    write("Seul");
    writeFileAtomically(ReplyPacketPath(s), "paquet");
    TMsgPerso m(s, ui);
    m.AfficheMsgREP();
    m.DelBtn->click();
    EXPECT_EQ(ui.messages(), QStringList{kChooseMessageFirst});

    ui.clear();
    m.ListReponses->setCurrentRow(0);
    EXPECT_EQ(s.replies.SelectedReply, 0);
    ui.answerYesNo(true);
    m.DelBtn->click();
    EXPECT_EQ(ui.texts(), QStringList{kConfirmErase});
    EXPECT_EQ(m.ListReponses->count(), 0);
    EXPECT_FALSE(m.DelBtn->isEnabled());
    EXPECT_FALSE(QFile::exists(ReplyFilePath(s)));
    EXPECT_FALSE(QFile::exists(ReplyPacketPath(s)));
    EXPECT_FALSE(s.replies.SelectedReply);
}

TEST_F(TMsgPersoTest, ModifyingTheSecondOfThree) {
    unpack();
    write("Un");
    write("Deux");
    write("Trois");
    TMsgPerso m(s, ui);
    int editorRuns = 0;
    giveEditor(m, editorRuns, "Deux bis", true);
    m.AfficheMsgREP();
    m.ModifBtn->click();
    EXPECT_EQ(ui.messages(), QStringList{kChooseMessageFirst});
    EXPECT_EQ(editorRuns, 0);

    const QByteArray before = readWholeFile(ReplyFilePath(s));
    m.ListReponses->setCurrentRow(1);
    m.ModifBtn->click(); // "Non" to "Enregistrer ce message ?"
    EXPECT_EQ(editorRuns, 1);
    EXPECT_EQ(readWholeFile(ReplyFilePath(s)), before);

    giveEditor(m, editorRuns, "Deux bis", false);
    m.ListReponses->setCurrentRow(1);
    m.ModifBtn->click();
    EXPECT_EQ(editorRuns, 2);
    EXPECT_EQ(subjects(m.ListReponses), (QStringList{"Un", "Deux bis", "Trois"}));
    EXPECT_FALSE(s.replies.SelectedReply);
    EXPECT_EQ(ui.busyDepth(), 0);
}

// The second written message reread, modified and sent: at its place, its reference kept.
TEST_F(TMsgPersoTest, RereadingGoesOnFromAModifiedMessage) {
    unpack(), write("Un"), write("Deux"), write("Trois");
    QtUiServices real{QString()};
    windows = createWindows(s, real);
    TAffMsg& v = *windows->AffMsg;
    QStringList seen;
    ModalSteps steps;
    steps.then("TAffMsg", [&](QWidget&) {
        for (QPushButton* btn : {v.AnswerBtn, v.NextMsgBtn, v.FermerBtn})
            seen << v.NbLabel->text() + v.view().lines.front().text, btn->click();
    });
    steps.then("TWriteMsg", [&](QWidget&) {
        windows->WriteMsg->Reponse->setPlainText("Neuf"), windows->WriteMsg->OKBtn->click();
    });
    windows->MsgPerso->AfficheMsgREP();
    windows->MsgPerso->ListReponses->setCurrentRow(1);
    windows->MsgPerso->LireBtn->click();
    EXPECT_EQ(seen, (QStringList{"Msg N° 2 / 3      Texte Deux", "Msg N° 2 / 3      Neuf",
                                 "Msg N° 3 / 3      Texte Trois"}));
    EXPECT_EQ((readWrittenMessage(s, 1), s.store.CurrentHeader.reference), "1       ");
}

TEST_F(TMsgPersoTest, RereadingWithoutSelectionStartsAtTheFirst) {
    unpack();
    write("Un");
    write("Deux");
    TMsgPerso m(s, ui);
    int viewerRuns = 0;
    TAffMsg viewer(s, ui);
    m.setViewer(viewer);
    ui.onModal("TAffMsg", [&](QObject&) {
        ++viewerRuns;
        EXPECT_EQ(viewer.AnswerBtn->text(), QStringLiteral("&Modifier"));
        EXPECT_FALSE(m.isVisible());
        EXPECT_EQ(s.replies.SelectedReply, 0);
        EXPECT_TRUE(s.viewer.ReplyMode);
        EXPECT_EQ(s.store.MessageText.substr(0, 9), "Texte Un\n");
        s.replies.SelectedReply = 1; // walked on
        return 0;
    });
    m.AfficheMsgREP();
    m.LireBtn->click();
    EXPECT_EQ(viewerRuns, 1);
    EXPECT_FALSE(s.viewer.ReplyMode);
    EXPECT_FALSE(s.replies.SelectedReply);
    EXPECT_EQ(m.ListReponses->count(), 2);
}

TEST_F(TMsgPersoTest, CreatedWithTheOtherWindowsAndWired) {
    unpack();
    const auto created = createWindows(s, ui);
    ASSERT_TRUE(created->MsgPerso);
    created->QWK->show();
    EXPECT_TRUE(created->QWK->MsgPersoBtn->isEnabled());
    bool shown = false;
    ui.onModal("TMsgPerso", [&](QObject& window) {
        shown = &window == created->MsgPerso.get();
        return 0;
    });
    created->QWK->MsgPersoBtn->click();
    EXPECT_TRUE(shown);
    created->QWK->hide();
}

} // namespace velk
