// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "packet/PacketOpening.h"
#include "session/StartUp.h"
#include "tests/support/ProgramDir.h"
#include "tests/support/ScriptedUiServices.h"
#include "ui/main/TForm1.h"
#include "ui/main/TParam0.h"
#include "ui/main/Windows.h"
#include "ui/packet/TQWK.h"
#include "ui/widgets/QtUiServices.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace velk {

TEST(TForm1, MenuCaptionsAndWhatIsEnabled) {
    ProgramDir dir;
    ScriptedUiServices ui;
    const auto windows = createWindows(dir.session, ui);
    TForm1& form = *windows->Form1;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("VELK"));
    EXPECT_EQ(form.centralWidget()->size(), QSize(314, 107));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);

    QStringList menus;
    for (QAction* m : form.menuBar()->actions()) {
        QStringList entries;
        for (QAction* a : m->menu()->actions())
            entries.append(a->text() + (a->isEnabled() ? QString() : QStringLiteral(" (off)")));
        menus.append(m->text() + QStringLiteral(": ") + entries.join(QStringLiteral(", ")));
    }
    EXPECT_EQ(menus,
              QStringList({QStringLiteral("&Fichier: &Ouvrir un paquet QWK, &Quitter"),
                           QStringLiteral("&Configuration: &Répertoires, &Entêtes, &Pieds de "
                                          "Page, &Tag Lines, &Correspondants, "
                                          "&Imprimante, E&diteur"),
                           QStringLiteral("&Outils: &Fusion de paquets QWK, &Importation de "
                                          "taglines"),
                           QStringLiteral("&Aide: &A propos...")}));
}

TEST(TForm1, DirectoriesEntryHidesTheWindowThenRereadsTheSettings) {
    ProgramDir dir;
    dir.makeWorkingLayout();
    ScriptedUiServices ui;
    ASSERT_FALSE(REPORTED_TO(ui, InitDivers(dir.session, said)).has_value());
    const auto windows = createWindows(dir.session, ui);
    TForm1& form = *windows->Form1;
    form.show();
    const QString newQwk = dir.makeDir(QStringLiteral("AUTRE"));
    bool mainHidden = false;
    ui.onModal("TParam0", [&](QObject& w) {
        auto& dialog = static_cast<TParam0&>(w);
        mainHidden = !form.isVisible();
        EXPECT_EQ(dialog.field(DirectoryField::Work)->text(), dir.path(QStringLiteral("WORK")));
        dialog.field(DirectoryField::QWK)->setText(newQwk);
        dialog.OKBtn->click();
        return dialog.result();
    });
    form.Rpertoires1->trigger();
    EXPECT_TRUE(mainHidden);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(dir.session.settings.qwkPath, newQwk);
}

TEST(TForm1, FirstUseShowsTheDirectoriesDialogOnce) {
    ProgramDir dir;
    dir.makeWorkingLayout(1);
    ScriptedUiServices ui;
    ASSERT_FALSE(REPORTED_TO(ui, InitDivers(dir.session, said)).has_value());
    EXPECT_EQ(dir.session.settings.workPath, dir.temp.path());
    const auto windows = createWindows(dir.session, ui);
    int shown = 0;
    ui.onModal("TParam0", [&](QObject& w) {
        ++shown;
        EXPECT_TRUE(dir.read(QStringLiteral("VELK.INI")).contains("FirstUse=0"));
        auto& dialog = static_cast<TParam0&>(w);
        dialog.OKBtn->click();
        return dialog.result();
    });
    windows->Form1->show();
    QApplication::processEvents();
    windows->Form1->FormActivate();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(isFirstUse(dir.session));
    // Re-read after the dialog: the directories of the file, no longer the program directory.
    EXPECT_EQ(dir.session.settings.workPath, dir.path(QStringLiteral("WORK")));
}

TEST(TForm1, EditorAndPrinterEntriesReloadTheSettingsAfterwards) {
    ProgramDir dir(QByteArray("[Divers]\r\nMaxCar=70\r\n"));
    ScriptedUiServices ui;
    const auto windows = createWindows(dir.session, ui);
    ui.onModal("TDiversConfig", [&](QObject& w) {
        auto& d = static_cast<QDialog&>(w);
        d.findChild<QLineEdit*>(QStringLiteral("NbCar"))->setText(QStringLiteral("75"));
        d.reject();
        return d.result();
    });
    windows->Form1->Divers1->trigger();
    EXPECT_EQ(dir.session.settings.maxCar, 75);
    ui.onModal("TPrinterConfig", [&](QObject& w) {
        auto& d = static_cast<QDialog&>(w);
        d.findChild<QLineEdit*>(QStringLiteral("Interligne"))->setText(QStringLiteral("40"));
        d.accept();
        return d.result();
    });
    windows->Form1->Imprimante1->trigger();
    EXPECT_EQ(dir.session.settings.lineHeight, 40);
    ui.onModal("TAboutBox", [](QObject&) { return 1; });
    windows->Form1->Apropos1->trigger();
    EXPECT_EQ(ui.events().back().text, QStringLiteral("TAboutBox"));
}

TEST(TForm1, AMissingDirectoryAfterTheDialogEndsTheRun) {
    ProgramDir dir;
    dir.makeWorkingLayout();
    ScriptedUiServices ui;
    ASSERT_FALSE(REPORTED_TO(ui, InitDivers(dir.session, said)).has_value());
    const auto windows = createWindows(dir.session, ui);
    windows->Form1->show();
    QDir(dir.path(QStringLiteral("REP"))).removeRecursively();
    ui.onModal("TParam0", [](QObject& w) {
        auto& dialog = static_cast<TParam0&>(w);
        dialog.CancelBtn->click();
        return dialog.result();
    });
    windows->Form1->Rpertoires1->trigger();
    EXPECT_EQ(ui.messages(),
              QStringList{QStringLiteral("Le répertoire \"") + dir.path(QStringLiteral("REP")) +
                          QStringLiteral("\" n'existe pas.\nLa modification "
                                         "manuelle de VELK.INI est nécessaire.")});
    EXPECT_FALSE(windows->Form1->isVisible());
}

// While the packet unpacks the main window stays on screen under the busy cursor and the
// program keeps running its events; it hides when the packet window opens.
TEST(TForm1, PacketUnpacksUnderTheBusyCursorThenThePacketWindowOpens) {
    ProgramDir dir;
    dir.makeWorkingLayout();
    ScriptedUiServices ui;
    ASSERT_FALSE(REPORTED_TO(ui, InitDivers(dir.session, said)).has_value());
    PacketBuilder b;
    b.conference(0, "Principal");
    for (int i = 0; i < 3000; ++i)
        b.add(0, "Sujet", std::string(600, 'x') + "\n");
    const QString packet = joinPath(dir.session.settings.qwkPath, QStringLiteral("VELKTEST.QWK"));
    b.zipTo(packet);
    const auto windows = createWindows(dir.session, ui);
    TForm1& form = *windows->Form1;
    form.show();
    QApplication::processEvents(); // its first activation, with nothing to open
    dir.session.openFromCommandLine = true;
    dir.session.commandLinePacket = packet;
    bool packetWindowShown = false;
    int whileUnpacking = 0;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        if (!packetWindowShown && form.isVisible() && ui.busyDepth() > 0)
            ++whileUnpacking;
    });
    sample.start(0);
    ui.onModal("TQWK", [&](QObject&) {
        packetWindowShown = true;
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(ui.busyDepth(), 0);
        return 0;
    });
    form.OuvrirunpaquetQWK1Click();
    EXPECT_TRUE(packetWindowShown);
    EXPECT_GT(whileUnpacking, 0);
    EXPECT_TRUE(form.isVisible());
}

} // namespace velk
