// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Program.h"

#include "board/BoardMarks.h"
#include "core/ActionGuard.h"
#include "core/DosFont.h"
#include "core/VelkError.h"
#include "packet/PacketOpening.h"
#include "session/Session.h"
#include "session/StartUp.h"
#include "ui/main/TForm1.h"
#include "ui/main/Windows.h"
#include "ui/widgets/ProgramIcon.h"
#include "ui/widgets/QtUiServices.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace velk {

namespace {

// A fatal start-up failure: the message box, the same text on the error output for whoever
// started the program from a terminal or a script, and the exit code.
int fail(UiServices& ui, const StartUpFailure& failure) {
    std::fprintf(stderr, "%s\n", failure.message.toLocal8Bit().constData());
    ui.message(failure.message, MessageKind::Error);
    return failure.exitCode;
}

// Unregisters, at the end of the run, the font file that start-up registered.
class RegisteredFont {
public:
    explicit RegisteredFont(const QString& file) : id_(registerDosFont(file)) {}
    ~RegisteredFont() { unregisterDosFont(id_); }
    RegisteredFont(const RegisteredFont&) = delete;
    RegisteredFont& operator=(const RegisteredFont&) = delete;

private:
    int id_;
};

} // namespace

int runProgram(Session& session, QtUiServices& ui, const QStringList& arguments) {
    // Drawn once the first window is on its way to the screen, which does not wait for it.
    QTimer::singleShot(0, [] { QApplication::setWindowIcon(programIcon()); });
    // The main window's closing ends the run, not the hiding of the last visible window.
    QApplication::setQuitOnLastWindowClosed(false);
    establishStartDirectory(session, arguments, QCoreApplication::applicationDirPath());
    ui.setHelpFile(helpFilePath(session));

    if (const StartUpResult failure = checkFontFile(session))
        return fail(ui, *failure);
    RegisteredFont font(fontFilePath(session));
    if (const StartUpResult failure = VerifIni(session))
        return fail(ui, *failure);
    try {
        if (const StartUpResult failure =
                reportedTo(ui, [&](Diagnostics& said) { return InitDivers(session, said); }))
            return fail(ui, *failure);
    } catch (const VelkError& e) {
        // A damaged value in VELK.INI: the file must be mended by hand before a start.
        return fail(ui, StartUpFailure{1, e.message()});
    }

    // A packet named on the command line unpacks while the windows are built.
    startCommandLineUnpack(session);
    const std::unique_ptr<Windows> windows = createFirstWindows(session, ui);
    windows->Form1->start();
    const int code = QApplication::exec();
    // The marks of the last seconds, which wait for their write.
    runAction(ui, [&] { saveBoardMarks(session); });
    return code;
}

} // namespace velk
