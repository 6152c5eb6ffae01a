// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QMainWindow>

class QAction;

namespace velk {

struct Session;
struct StartUpFailure;
class UiServices;
struct Windows;

// The main window: a menu bar and nothing else. Every piece of work happens in a window
// it opens, while it hides itself.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(Session& session, UiServices& ui, Windows& windows);

    // Shows the window, unless the packet named on the command line is unpacked already, and
    // well: then the packet window opens first and this one shows once it closes, rather
    // than flash on screen for the moment the packet window takes to hide it.
    void start();

    // Runs once the window is shown: the command-line packet, then the first-use
    // directories dialog.
    void FormActivate();

    // The menu, under its entries' names: built before the window first shows, or with the
    // other windows.
    void buildMenu();
    QAction* OuvrirunpaquetQWK1 = nullptr;
    QAction* Quitter1 = nullptr;
    QAction* Rpertoires1 = nullptr;
    QAction* Entetes1 = nullptr;
    QAction* PieddePage1 = nullptr;
    QAction* TagLine1 = nullptr;
    QAction* Correspondants1 = nullptr;
    QAction* Imprimante1 = nullptr;
    QAction* Divers1 = nullptr;
    QAction* FusiondepaquetsQWK2 = nullptr;
    QAction* ImportationTaglines1 = nullptr;
    QAction* Apropos1 = nullptr;

    void OuvrirunpaquetQWK1Click();
    void Quitter1Click();
    void Rpertoires1Click();
    void Entetes1Click();
    void PieddePage1Click();
    void TagLine1Click();
    void Correspondants1Click();
    void Imprimante1Click();
    void Divers1Click();
    void ImportationTaglines1Click();
    void FusiondepaquetsQWK2Click();
    void Apropos1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The packet named on the command line, the other windows built while it opens.
    void openCommandLinePacket();
    // Re-reads every setting after the directories changed; a fatal failure ends the run.
    void rereadSettings();
    void endProgram(const StartUpFailure& failure);

    Session& session_;
    UiServices& ui_;
    Windows& windows_;
    bool activating_ = false;
};

} // namespace velk
