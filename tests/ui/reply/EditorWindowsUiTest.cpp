// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"
#include "library/LibraryFile.h"
#include "packet/HeaderExtensions.h"
#include "packet/MessageStore.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/Typing.h"
#include "ui/library/TListe.h"
#include "ui/main/TForm1.h"
#include "ui/main/Windows.h"
#include "ui/reply/TCarbon.h"
#include "ui/reply/TDestin.h"
#include "ui/reply/TWriteMsg.h"
#include "ui/widgets/DosTextBox.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace velk {

namespace {

void pressEnter(QWidget* widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(widget, &press);
}

class EditorWindowsUiTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session session;
    ScriptedUiServices ui;
    std::unique_ptr<Windows> windows;

    void SetUp() override {
        dirs.configure(session);
        session.packet.control.BbsId = "VELKBBS";
        session.packet.control.UserName = "PIERRE MARTIN";
        session.packet.control.Conferences = {{0, "Principale"}, {12, "Programmation"}};
        windows = createWindows(session, ui);
    }
};

TEST_F(EditorWindowsUiTest, TheRecipientDialogTakesTypedNamesInCapitals) {
    TDestin& d = *windows->Destin;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Dialogue"));
    EXPECT_EQ(d.Label1->text(), QStringLiteral("A qui doit-on adresser ce message ?"));
    EXPECT_EQ(d.CancelBtn->toolTip(), QStringLiteral("Annule l'écriture"));
    ui.onModal("TDestin", [&](QObject&) {
        EXPECT_EQ(d.Name->toPlainText(), QStringLiteral("ALL"));
        d.Name->clear();
        pressEnter(d.Name); // empty: refused, the dialog stays
        type(d.Name, QStringLiteral("rené é"));
        pressEnter(d.Name);
        return d.result();
    });
    EXPECT_EQ(d.Ask("ALL"), "REN\x90 \x90");
    EXPECT_EQ(ui.messages(),
              QStringList{QStringLiteral("Vous devez choisir/saisir un nom ou Annuler")});
}

TEST_F(EditorWindowsUiTest, TheCarbonDialogTellsWhereTheCopyGoes) {
    TCarbon& c = *windows->Carbon;
    EXPECT_EQ(c.Label2->text(), QStringLiteral(" de ce message ?"));
    ui.onModal("TCarbon", [&](QObject&) {
        type(c.Name, QStringLiteral("anne"));
        c.OKBtnClick();
        return c.result();
    });
    EXPECT_EQ(c.Ask(), "ANNE");
    EXPECT_EQ(ui.messages().back(), QStringLiteral("Message envoyé en Carbon Copy à : ANNE"));
    ui.onModal("TCarbon", [&](QObject&) {
        c.CancelBtnClick();
        return c.result();
    });
    EXPECT_EQ(c.Ask(), "");
}

TEST_F(EditorWindowsUiTest, ANewMessageTypedAndSent) {
    TWriteMsg& w = *windows->WriteMsg;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Ecriture d'un message"));
    EXPECT_EQ(w.OKBtn->text(), QStringLiteral("&Envoyer"));
    EXPECT_EQ(w.CarbonBtn->toolTip(), QStringLiteral("Envoyer une copie"));
    EXPECT_EQ(w.AmisBtn->toolTip(), QStringLiteral("choisir un nom dans une liste"));
    ui.onModal("TDestin", [&](QObject&) {
        windows->Destin->Name->setPlainText(QStringLiteral("JEAN DUPONT"));
        windows->Destin->OKBtnClick();
        return 1;
    });
    ui.onModal("TWriteMsg", [&](QObject&) {
        EXPECT_EQ(w.chDest->toPlainText(), QStringLiteral("JEAN DUPONT"));
        EXPECT_EQ(w.chConf->itemText(1), QStringLiteral("12    Programmation"));
        w.chSujet->setText(QStringLiteral("Essai"));
        w.Reponse->clear();
        type(w.Reponse, QStringLiteral("École"));
        w.chStatut->setCurrentIndex(1);
        w.OKBtnClick();
        return w.result();
    });
    QDialog opener;
    EXPECT_TRUE(w.writeNew(opener));

    const QString path = dirs.dir(QStringLiteral("WORK")) + "/VELKBBS.MSG";
    MessageStoreState store;
    ReadReplyHeader(path, 1, store);
    ReadReplyText(path, 2, store.CurrentHeader.blockCount, store);
    EXPECT_EQ(store.CurrentHeader.status, "*");
    EXPECT_EQ(store.CurrentHeader.subject, padRight("Essai", 25));
    EXPECT_EQ(store.MessageText.substr(0, 6), std::string("\x90"
                                                          "cole\n"));
}

TEST_F(EditorWindowsUiTest, AHeaderAndAFooterGoInAsOneEditEachThatUndoTakesBack) {
    const auto library = [&](LibraryKind kind, const std::string& text) {
        const std::string file = "\xAE" + text + "\r\n\xAF\r\n";
        writeFileAtomically(LibraryPath(session.settings.velkPath, kind),
                            QByteArray(file.data(), qsizetype(file.size())));
    };
    library(LibraryKind::Headers, "Bonjour,");
    library(LibraryKind::Footers, "Amicalement");
    TWriteMsg& w = *windows->WriteMsg;
    TListe& liste = *windows->Liste;
    ui.onModal("TListe", [&](QObject&) {
        Q_EMIT liste.ListeElem->itemClicked(liste.ListeElem->item(0));
        return liste.result();
    });
    ui.onModal("TDestin", [&](QObject&) {
        windows->Destin->Name->setPlainText(QStringLiteral("JEAN DUPONT"));
        windows->Destin->OKBtnClick();
        return 1;
    });
    using Lines = std::vector<std::string>;
    Lines inserted, undone;
    int caret = -1;
    ui.onModal("TWriteMsg", [&](QObject&) {
        w.chSujet->setText(QStringLiteral("Essai"));
        w.Reponse->clear();
        type(w.Reponse, QStringLiteral("milieu"));
        w.Reponse->moveCursor(QTextCursor::Left);
        w.EnteteBtn->click();
        w.PdpBtn->click();
        inserted = w.Reponse->dosParagraphs();
        caret = w.Reponse->textCursor().positionInBlock();
        w.Reponse->undo();
        w.Reponse->undo();
        undone = w.Reponse->dosParagraphs();
        w.Reponse->redo();
        w.Reponse->redo();
        w.OKBtnClick();
        return w.result();
    });
    QDialog opener;
    EXPECT_TRUE(w.writeNew(opener));
    EXPECT_EQ(inserted, (Lines{"Bonjour,", " ", "milieu", "", "Amicalement"}));
    EXPECT_EQ(caret, 5) << "the caret stays where the user left it";
    EXPECT_EQ(undone, Lines{"milieu"});

    MessageStoreState store;
    const QString path = dirs.dir(QStringLiteral("WORK")) + "/VELKBBS.MSG";
    ReadReplyHeader(path, 1, store);
    ReadReplyText(path, 2, store.CurrentHeader.blockCount, store);
    EXPECT_EQ(store.MessageText.substr(0, 31), "Bonjour,\n \nmilieu\n\nAmicalement\n");
}

TEST_F(EditorWindowsUiTest, AChosenTaglineFillsItsBoxAndFollowsTheText) {
    writeFileAtomically(LibraryPath(session.settings.velkPath, LibraryKind::Taglines),
                        "\xAEPas de panique\r\n\xAF\r\n");
    TWriteMsg& w = *windows->WriteMsg;
    ui.onModal("TListe", [&](QObject&) {
        Q_EMIT windows->Liste->ListeElem->itemClicked(windows->Liste->ListeElem->item(0));
        return windows->Liste->result();
    });
    ui.onModal("TDestin", [&](QObject&) {
        windows->Destin->OKBtnClick();
        return windows->Destin->result();
    });
    ui.onModal("TWriteMsg", [&](QObject&) {
        w.TagBtn->click();
        EXPECT_EQ(w.Tag->dosParagraphs().back(), "Pas de panique");
        w.OKBtnClick();
        return w.result();
    });
    QDialog opener;
    EXPECT_TRUE(w.writeNew(opener));
    const QByteArray file = readWholeFile(dirs.dir(QStringLiteral("WORK")) + "/VELKBBS.MSG");
    EXPECT_TRUE(file.contains("\xE3Pas de panique\xE3"));
}

TEST_F(EditorWindowsUiTest, AnAnswerToALongSubjectOnABoardThatReadsQwke) {
    const std::string author = "JEAN-CHRISTOPHE DE LA FONTAINE";
    const std::string subject = "Compilateurs et interpreteurs du langage";
    MessageHeader answered;
    answered.status = " ";
    answered.number = "7";
    answered.author = padRight(author.substr(0, 25), 25);
    answered.subject = padRight(subject.substr(0, 25), 25);
    answered.longFields.author = author;
    answered.longFields.subject = subject;
    TWriteMsg& w = *windows->WriteMsg;
    QDialog opener;
    // The fields the editor opens with; it is left without writing.
    const auto fields = [&](bool qwke) {
        session.packet.control.readsQwke = qwke;
        std::pair<QString, QString> shown;
        ui.onModal("TWriteMsg", [&](QObject&) {
            shown = {w.chDest->toPlainText(), w.chSujet->text()};
            ui.answerYesNoCancel(Answer::No);
            w.CancelBtnClick();
            return w.result();
        });
        w.answer(answered, "Bonjour", {}, opener);
        return shown;
    };
    EXPECT_EQ(fields(true),
              std::make_pair(QString::fromStdString(author), QString::fromStdString(subject)));
    EXPECT_EQ(fields(false), std::make_pair(QStringLiteral("JEAN-CHRISTOPHE DE LA FON"),
                                            QStringLiteral("Compilateurs et interpret")));

    // Typed into the field, a long subject is taken whole where the board reads it.
    session.packet.control.readsQwke = true;
    ui.onModal("TWriteMsg", [&](QObject&) {
        w.chSujet->clear();
        type(w.chSujet, QString(80, u's'));
        w.OKBtnClick();
        return w.result();
    });
    EXPECT_TRUE(w.answer(answered, "Bonjour", {}, opener));
    const QByteArray file = readWholeFile(dirs.dir(QStringLiteral("WORK")) + "/VELKBBS.MSG");
    const QByteArray kludges = QByteArray("To: ") + QByteArray::fromStdString(author) +
                               "\xE3Subject: " + QByteArray(kQwkeSubjectWidth, 's') + "\xE3\xE3";
    EXPECT_EQ(file.mid(256, kludges.size()), kludges);
}

TEST_F(EditorWindowsUiTest, ClosingWithoutSendingAsks) {
    TWriteMsg& w = *windows->WriteMsg;
    ui.onModal("TDestin", [&](QObject&) {
        windows->Destin->OKBtnClick();
        return windows->Destin->result();
    });
    ui.onModal("TWriteMsg", [&](QObject&) {
        ui.answerYesNoCancel(Answer::Cancel);
        w.close();
        ui.answerYesNoCancel(Answer::No);
        w.CancelBtnClick();
        EXPECT_TRUE(w.writing()->flags().CancelFlag);
        return w.result();
    });
    QDialog opener;
    EXPECT_FALSE(w.writeNew(opener));
    EXPECT_EQ(ui.texts().count(QStringLiteral("Enregistrer ce message ?")), 2);
    EXPECT_FALSE(QFile::exists(dirs.dir(QStringLiteral("WORK")) + "/VELKBBS.MSG"));
}

} // namespace

} // namespace velk
