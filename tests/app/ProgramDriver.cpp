// SPDX-License-Identifier: GPL-2.0-or-later
// The program as the end-to-end test drives it: the real start-up and windows, with a
// message box's text or a dialog's title printed on the standard output and the box or
// dialog closed; once the main window has been shown and its first activation has run,
// the titles of the visible windows are printed and the run ends with exit code 0.
#include "app/Program.h"
#include "session/Session.h"
#include "ui/widgets/QtUiServices.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

using namespace velk;

namespace {

void print(const QString& text) {
    std::printf("%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

void answerMessageBoxes() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, qApp, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            print(box->text());
            box->done(QMessageBox::Ok);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            print(dialog->windowTitle());
            dialog->reject();
        }
    });
    timer->start(20);
}

// Waits until the first activation is over (no modal window open, no busy cursor, the main
// window shown)
// so that what it opened, a command-line packet included, has run.
void quitAfterStart() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, qApp, [] {
        // The busy cursor: a command-line packet is still being unpacked, the main window
        // already on screen; its packet window comes next.
        if (QApplication::activeModalWidget() || QApplication::overrideCursor())
            return;
        bool mainShown = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            mainShown = mainShown || (qobject_cast<QMainWindow*>(w) && w->isVisible());
        if (!mainShown)
            return;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible())
                print(w->windowTitle());
        }
        QCoreApplication::exit(0);
    });
    timer->start(50);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    answerMessageBoxes();
    quitAfterStart();
    Session session;
    QtUiServices ui(QString{});
    return runProgram(session, ui, QApplication::arguments().mid(1));
}
