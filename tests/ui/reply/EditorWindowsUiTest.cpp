// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/MessageStore.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"
#include "ui/main/TForm1.h"
#include "ui/main/Windows.h"
#include "ui/reply/TCarbon.h"
#include "ui/reply/TDestin.h"
#include "ui/reply/TWriteMsg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(widget, &press);
    }
}

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
        EXPECT_EQ(d.Name->text(), QStringLiteral("ALL"));
        d.Name->clear();
        pressEnter(d.Name); // empty: refused, the dialog stays
        type(d.Name, QStringLiteral("rené é"));
        pressEnter(d.Name);
        return d.result();
    });
    EXPECT_EQ(d.Ask("ALL"), "REN\x82 \x82");
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
        windows->Destin->Name->setText(QStringLiteral("JEAN DUPONT"));
        windows->Destin->OKBtnClick();
        return 1;
    });
    ui.onModal("TWriteMsg", [&](QObject&) {
        EXPECT_EQ(w.chDest->text(), QStringLiteral("JEAN DUPONT"));
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
