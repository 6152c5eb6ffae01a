// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/packet/TConfBBS.h"

#include "board/SubscriptionQueue.h"
#include "core/Archiver.h"
#include "core/FileUtil.h"
#include "tests/support/ModalSteps.h"
#include "tests/support/PacketFixture.h"
#include "ui/mail/TMsgPerso.h"
#include "ui/packet/TQWK.h"
#include "ui/widgets/QtUiServices.h"

#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

class TConfBBSTest : public PacketFixture {
protected:
    QtUiServices real{QString()};
    void SetUp() override {
        PacketFixture::SetUp();
        b.conference(0, "Principal").conference(9, "Linux");
        b.add(0, "Salut", "Bonjour\n");
    }
};

// The packet window, "Conférences du BBS", "Ajouter", closing: the request travels as a
// message to the door's control name; the reply packet opened again brings it back.
TEST_F(TConfBBSTest, ARequestQueuedFromThePacketWindowTravelsAndComesBack) {
    const QString packet = joinPath(dirs.dir("QWK"), "VELKTEST.QWK");
    b.zipTo(packet);
    s.openFromCommandLine = true;
    s.commandLinePacket = packet;
    TQWK w(s, real);
    QStringList shown;
    ModalSteps steps;
    steps.then("TQWK", [&](QWidget&) { w.ConfBBSBtn->click(); })
        .then("TConfBBS",
              [&](QWidget& d) {
                  auto& c = static_cast<TConfBBS&>(d);
                  c.ListConf->setCurrentRow(1);
                  c.AjouterBtn->click();
                  for (int i = 0; i < c.ListConf->count(); ++i)
                      shown.append(c.ListConf->item(i)->text());
                  c.FermerBtn->click();
              })
        .then("TQWK", [&](QWidget&) { w.FermerBtn->click(); });
    ASSERT_TRUE(openPacket(s, real, w));
    EXPECT_TRUE(steps.done());
    EXPECT_EQ(shown,
              QStringList({"0                     Principal", "9           Ajout     Linux"}));
    EXPECT_FALSE(QFile::exists(subscriptionQueuePath(s)));

    QTemporaryDir sent;
    ASSERT_TRUE(unpackArchive(joinPath(dirs.dir("REP"), "VELKTEST.REP"), sent.path()).ok());
    const QByteArray msg = readWholeFile(joinPath(sent.path(), "VELKTEST.MSG"));
    ASSERT_EQ(msg.size(), 3 * 128);
    EXPECT_EQ(msg.mid(128 + 21, 25), QByteArray("VELK").leftJustified(25, ' '));
    EXPECT_EQ(msg.mid(128 + 71, 25), QByteArray("ADD").leftJustified(25, ' '));
    EXPECT_EQ(msg.mid(128 + 123, 2), QByteArray("\x09\x00", 2));

    s.openFromCommandLine = true;
    std::vector<SubscriptionRequest> back;
    ModalSteps again;
    again.then("TQWK", [&](QWidget&) {
        back = readSubscriptionQueue(s);
        w.FermerBtn->click();
    });
    ASSERT_TRUE(openPacket(s, real, w));
    EXPECT_TRUE(again.done());
    EXPECT_EQ(back, (std::vector<SubscriptionRequest>{{9, SubscriptionAction::Add}}));
}

TEST_F(TConfBBSTest, ABoardThatSaysNeitherWayIsToldAndNothingIsQueued) {
    b.door.reset();
    unpack();
    TConfBBS c(s, real);
    c.show();
    QString told;
    ModalSteps steps;
    steps.then("QMessageBox", [&](QWidget& box) {
        told = static_cast<QMessageBox&>(box).text();
        static_cast<QMessageBox&>(box).accept();
    });
    c.RetirerBtn->click();
    EXPECT_TRUE(steps.done());
    EXPECT_EQ(told, "Ce BBS n'indique pas qu'il accepte les demandes de retrait de conférence "
                    "(ni QWKE, ni CONTROLTYPE = DROP dans DOOR.ID).\n"
                    "Aucune demande n'est mise en attente.");
    EXPECT_FALSE(QFile::exists(subscriptionQueuePath(s)));
}

TEST_F(TConfBBSTest, TheManagerListsTheQueueAndRemovesARequest) {
    b.file("TOREADER.EXT", "AREA 0 a\r\n");
    unpack();
    ASSERT_EQ(queueSubscription(s, 9, SubscriptionAction::Add), "");
    ASSERT_EQ(queueSubscription(s, 0, SubscriptionAction::Drop), "");
    TMsgPerso m(s, ui);
    m.AfficheMsgREP();
    ASSERT_EQ(m.ListDemandes->count(), 2);
    EXPECT_EQ(m.ListDemandes->item(1)->text(), "Demande : retirer la conférence 0 (Principal)");
    m.ListDemandes->setCurrentRow(0);
    m.RetirerDemandeBtn->click();
    EXPECT_EQ(readSubscriptionQueue(s),
              (std::vector<SubscriptionRequest>{{0, SubscriptionAction::Drop}}));
    EXPECT_EQ(m.ListDemandes->count(), 1);
}

} // namespace velk
