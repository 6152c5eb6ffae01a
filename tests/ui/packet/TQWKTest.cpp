// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/packet/TQWK.h"

#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ButtonCaptions.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velk {

namespace {

class TQWKTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    PacketBuilder builder;
    QString packet;

    QString dir(const QString& name) const { return dirs.dir(name); }
    void SetUp() override {
        dirs.configure(s);
        builder.conference(0, "Principal");
        builder.add(0, "Salut", "Bonjour\n");
        packet = joinPath(dir("QWK"), "VELKTEST.QWK");
        s.openFromCommandLine = true;
        s.commandLinePacket = packet;
    }
    QStringList work() const {
        return QDir(dir("WORK")).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    }
    void addReply() {
        writeFileAtomically(joinPath(dir("WORK"), "VELKTEST.MSG"), QByteArray(256, 'r'));
    }
};

} // namespace

TEST_F(TQWKTest, CaptionsHintsAndLabels) {
    TQWK w(s, ui);
    EXPECT_EQ(w.windowTitle(), "Velk");
    expectButtons({
        {w.BullBtn, "&Bulletins", "Voir les bulletins"},
        {w.NewsBtn, "&News", "Voir les nouvelles du sysop"},
        {w.FilesBtn, "N&ouveaux Fichiers", "Voir les nouveaux fichiers"},
        {w.MailBtn, "Co&urrier général", "Voir le courrier"},
        {w.MsgPersoBtn, "&Courrier personnel", "Voir vos messages"},
        {w.FermerBtn, "&Fermer", "Sortir de la fenêtre"},
    });
    QStringList labels;
    for (QLabel* l : w.findChildren<QLabel*>())
        labels.append(l->text());
    EXPECT_EQ(labels, (QStringList{"Paquet :", "Date Paquet :", "Heure Paquet :", "Votre nom :",
                                   "Board ID :", "Door :"}));
    EXPECT_TRUE(w.PaquetName->isReadOnly());
    EXPECT_TRUE(w.PaquetDoor->isReadOnly());
}

TEST_F(TQWKTest, OpensShowsAndClosesWithFermer) {
    builder.bulletin("BLT-0.1", "bulletin");
    builder.news("nouvelles");
    builder.zipTo(packet);
    TQWK w(s, ui);
    bool shown = false;
    ui.onModal("TQWK", [&](QObject&) {
        shown = true;
        w.show();
        EXPECT_EQ(w.PaquetName->text(), "VELKTEST.QWK");
        EXPECT_EQ(w.PaquetDate->text(), "5 février 1996");
        EXPECT_EQ(w.PaquetTime->text(), "21:30");
        EXPECT_EQ(w.PaquetBBSID->text(), "VELKTEST");
        EXPECT_TRUE(w.FermerBtn->isEnabled());
        // The other windows come with their own work; until then their buttons stay off.
        EXPECT_FALSE(w.MailBtn->isEnabled());
        EXPECT_TRUE(w.BullBtn->isEnabled());
        addReply();
        w.FermerBtn->click();
        EXPECT_FALSE(w.isVisible());
        return int(w.result());
    });
    EXPECT_TRUE(openPacket(s, ui, w));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(w.closedProperly());
    EXPECT_TRUE(QFileInfo::exists(joinPath(dir("REP"), "VELKTEST.REP")));
    EXPECT_TRUE(work().isEmpty());
    EXPECT_FALSE(s.openFromCommandLine);
    EXPECT_TRUE(ui.texts().isEmpty());
}

TEST_F(TQWKTest, FailedPackingKeepsTheWindowOpenButNotOnTheCloseBox) {
    builder.zipTo(packet);
    TQWK w(s, ui);
    ui.onModal("TQWK", [&](QObject&) {
        w.show();
        addReply();
        s.settings.repPath = joinPath(dirs.root.path(), "ABSENT");
        w.FermerBtn->click();
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(ui.messages().size(), 2);
        w.close();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(ui.messages().size(), 4);
        return 0;
    });
    EXPECT_TRUE(openPacket(s, ui, w));
    EXPECT_FALSE(w.closedProperly());
    EXPECT_TRUE(work().contains("VELKTEST.MSG"));
}

TEST_F(TQWKTest, FailedOpeningShowsNoWindow) {
    s.commandLinePacket = joinPath(dir("QWK"), "ABSENT.QWK");
    TQWK w(s, ui);
    EXPECT_FALSE(openPacket(s, ui, w));
    EXPECT_EQ(ui.messages().size(), 2);
    // A packet date that is no date stops the opening with the runtime's message.
    builder.control.packetDate = "99-99-9999";
    builder.zipTo(packet);
    s.commandLinePacket = packet;
    ui.clear();
    EXPECT_FALSE(openPacket(s, ui, w));
    EXPECT_EQ(ui.messages(), QStringList{"'99-99-9999' n'est pas une date correcte"});
}

} // namespace velk
