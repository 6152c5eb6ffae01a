// SPDX-License-Identifier: GPL-2.0-or-later
// In a process of its own: the packet window opened by a real modal run, from the command
// line, before the other windows are built.
#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "packet/PacketOpening.h"
#include "session/StartUp.h"
#include "tests/support/ProgramDir.h"
#include "tests/support/Reported.h"
#include "ui/main/TForm1.h"
#include "ui/main/Windows.h"
#include "ui/packet/TQWK.h"
#include "ui/widgets/QtUiServices.h"

#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace velk {

// A command-line packet's window comes first: the main window shows once it closes.
TEST(TForm1, CommandLinePacketWindowComesBeforeTheOtherWindows) {
    ProgramDir dir;
    dir.makeWorkingLayout();
    QtUiServices ui{QString()};
    ASSERT_FALSE(REPORTED_TO(ui, InitDivers(dir.session, said)).has_value());
    dir.session.commandLinePacket = joinPath(dir.session.settings.qwkPath, QStringLiteral("A.QWK"));
    PacketBuilder b;
    b.add(0, "Sujet", "");
    b.zipTo(dir.session.commandLinePacket);
    dir.session.openFromCommandLine = true;
    startCommandLineUnpack(dir.session); // unpacked already when the windows are built
    ASSERT_TRUE(dir.session.pendingUnpack->finish().ok());
    const auto windows = createFirstWindows(dir.session, ui);
    EXPECT_FALSE(windows->Messagerie);
    int enabled = -1;            // of the buttons leading to windows built later
    bool mainNeverShown = false; // a window never shown has no native window yet
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (TQWK& qwk = *windows->QWK; QApplication::activeModalWidget() == &qwk && enabled < 0) {
            enabled = qwk.MailBtn->isEnabled() + qwk.MsgPersoBtn->isEnabled() +
                      qwk.RechercheBtn->isEnabled();
            mainNeverShown = !windows->Form1->windowHandle();
            qwk.FermerBtn->click();
        }
    });
    closer.start(5);
    windows->Form1->start();
    for (int i = 0; i < 1000 && (enabled < 0 || !windows->Form1->isVisible()); ++i)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_EQ(enabled, 3);
    EXPECT_TRUE(mainNeverShown);
    EXPECT_TRUE(windows->Form1->isVisible());
    EXPECT_TRUE(windows->Form1->OuvrirunpaquetQWK1); // its menu came with the other windows
}

// Without a packet the main window shows at once, with the menu it builds only then.
TEST(TForm1, StartedWithoutPacketShowsItsMenu) {
    ProgramDir dir;
    dir.makeWorkingLayout();
    QtUiServices ui{QString()};
    const auto windows = createFirstWindows(dir.session, ui);
    windows->Form1->start();
    EXPECT_TRUE(windows->Form1->isVisible());
    EXPECT_EQ(windows->Form1->menuBar()->actions().size(), 4);
}

} // namespace velk
