// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/main/TForm1.h"

#include "core/ActionGuard.h"
#include "core/Archiver.h"
#include "library/TaglineImport.h"
#include "session/Session.h"
#include "session/StartUp.h"
#include "ui/library/TParam1.h"
#include "ui/library/TParam2.h"
#include "ui/library/TParam3.h"
#include "ui/library/TParam4.h"
#include "ui/main/TAboutBox.h"
#include "ui/main/TDiversConfig.h"
#include "ui/main/TParam0.h"
#include "ui/main/TPrinterConfig.h"
#include "ui/main/Windows.h"
#include "ui/merge/TFusion.h"
#include "ui/packet/TQWK.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLayout>
#include <QMenuBar>
#include <QTimer>

namespace velk {

namespace {
QAction* addEntry(QMenu* menu, const char* objectName, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}
} // namespace

TForm1::TForm1(Session& session, UiServices& ui, Windows& windows)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      session_(session), ui_(ui), windows_(windows) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("VELK"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);

    auto* client = new QWidget(this);
    client->setFixedSize(314, 107);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

// The menu bar costs more than the rest of the window (the style loads the image readers for
// its extension button): a packet named on the command line has its window on screen first.
void TForm1::buildMenu() {
    if (OuvrirunpaquetQWK1)
        return;
    QMenu* fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    OuvrirunpaquetQWK1 =
        addEntry(fichier, "OuvrirunpaquetQWK1", QStringLiteral("&Ouvrir un paquet QWK"));
    Quitter1 = addEntry(fichier, "Quitter1", QStringLiteral("&Quitter"));
    QMenu* configuration = menuBar()->addMenu(QStringLiteral("&Configuration"));
    Rpertoires1 = addEntry(configuration, "Rpertoires1", QStringLiteral("&Répertoires"));
    Entetes1 = addEntry(configuration, "Entetes1", QStringLiteral("&Entêtes"));
    PieddePage1 = addEntry(configuration, "PieddePage1", QStringLiteral("&Pieds de Page"));
    TagLine1 = addEntry(configuration, "TagLine1", QStringLiteral("&Tag Lines"));
    Correspondants1 = addEntry(configuration, "Correspondants1", QStringLiteral("&Correspondants"));
    Imprimante1 = addEntry(configuration, "Imprimante1", QStringLiteral("&Imprimante"));
    Divers1 = addEntry(configuration, "Divers1", QStringLiteral("E&diteur"));
    QMenu* outils = menuBar()->addMenu(QStringLiteral("&Outils"));
    FusiondepaquetsQWK2 =
        addEntry(outils, "FusiondepaquetsQWK2", QStringLiteral("&Fusion de paquets QWK"));
    ImportationTaglines1 =
        addEntry(outils, "ImportationTaglines1", QStringLiteral("&Importation de taglines"));
    QMenu* aide = menuBar()->addMenu(QStringLiteral("&Aide"));
    Apropos1 = addEntry(aide, "Apropos1", QStringLiteral("&A propos..."));

    connect(OuvrirunpaquetQWK1, &QAction::triggered, this, &TForm1::OuvrirunpaquetQWK1Click);
    connect(Quitter1, &QAction::triggered, this, &TForm1::Quitter1Click);
    connect(Rpertoires1, &QAction::triggered, this, &TForm1::Rpertoires1Click);
    connect(Entetes1, &QAction::triggered, this, &TForm1::Entetes1Click);
    connect(PieddePage1, &QAction::triggered, this, &TForm1::PieddePage1Click);
    connect(TagLine1, &QAction::triggered, this, &TForm1::TagLine1Click);
    connect(Correspondants1, &QAction::triggered, this, &TForm1::Correspondants1Click);
    connect(Imprimante1, &QAction::triggered, this, &TForm1::Imprimante1Click);
    connect(Divers1, &QAction::triggered, this, &TForm1::Divers1Click);
    connect(ImportationTaglines1, &QAction::triggered, this, &TForm1::ImportationTaglines1Click);
    connect(FusiondepaquetsQWK2, &QAction::triggered, this, &TForm1::FusiondepaquetsQWK2Click);
    connect(Apropos1, &QAction::triggered, this, &TForm1::Apropos1Click);
}

// The packet named on the command line, or the one the user picks: the main window stays
// on screen with the busy cursor while the packet is unpacked, and hidden from the packet
// window's opening until it closes.
void TForm1::OuvrirunpaquetQWK1Click() {
    // A packet that failed is not retried at each activation.
    if (!openPacket(session_, ui_, *windows_.QWK, this))
        session_.openFromCommandLine = false;
}

void TForm1::Quitter1Click() {
    close();
}

void TForm1::Rpertoires1Click() {
    windows_.Param0->ChargeConfig();
    ui_.runModalOver(*windows_.Param0, *this);
    rereadSettings();
}

// Each library editor reads its file afresh, runs with this window hidden and rewrites the
// file when it closes.
void TForm1::Entetes1Click() {
    windows_.Param1->edit([this](QObject& w) { return ui_.runModalOver(w, *this); });
}

void TForm1::PieddePage1Click() {
    windows_.Param2->edit([this](QObject& w) { return ui_.runModalOver(w, *this); });
}

void TForm1::TagLine1Click() {
    windows_.Param3->edit([this](QObject& w) { return ui_.runModalOver(w, *this); });
}

void TForm1::Correspondants1Click() {
    windows_.Param4->edit([this](QObject& w) { return ui_.runModalOver(w, *this); });
}

void TForm1::Imprimante1Click() {
    runAction(ui_, [&] {
        windows_.PrinterConfig->ChargeConfig();
        ui_.runModalOver(*windows_.PrinterConfig, *this);
        windows_.PrinterConfig->ChargeConfig();
    });
}

void TForm1::Divers1Click() {
    runAction(ui_, [&] {
        windows_.DiversConfig->ChargeConfig();
        ui_.runModalOver(*windows_.DiversConfig, *this);
        windows_.DiversConfig->ChargeConfig();
    });
}

void TForm1::ImportationTaglines1Click() {
    runAction(ui_, [&] { ImportTaglines(session_, ui_); });
}

void TForm1::FusiondepaquetsQWK2Click() {
    ui_.runModalOver(*windows_.Fusion, *this);
}

void TForm1::Apropos1Click() {
    ui_.runModalOver(*windows_.AboutBox, *this);
}

void TForm1::start() {
    const std::unique_ptr<UnpackJob>& unpack = session_.pendingUnpack;
    // A packet that failed keeps this window behind its messages.
    if (!session_.openFromCommandLine || !unpack || !unpack->over() || !unpack->finish().ok()) {
        buildMenu();
        show();
        return;
    }
    QTimer::singleShot(0, this, [this] {
        openCommandLinePacket();
        session_.openFromCommandLine = false;
        buildMenu();
        show();
    });
}

void TForm1::openCommandLinePacket() {
    // The other windows are built once the packet window is on its way to the screen (or
    // while unzip still runs): queued before the opening's first event loop, they come
    // before any input.
    QTimer::singleShot(0, this, [this] { windows_.complete(); });
    OuvrirunpaquetQWK1Click();
}

void TForm1::FormActivate() {
    if (activating_)
        return;
    activating_ = true;
    repaint();
    if (session_.openFromCommandLine)
        openCommandLinePacket();
    windows_.complete();
    if (isFirstUse(session_)) {
        runAction(ui_, [&] { clearFirstUse(session_); });
        windows_.Param0->ChargeConfig();
        ui_.runModal(*windows_.Param0);
        rereadSettings();
    }
    activating_ = false;
}

void TForm1::rereadSettings() {
    std::optional<StartUpFailure> failure;
    runReported(ui_, [&](Diagnostics& said) { failure = InitDivers(session_, said); });
    if (failure)
        endProgram(*failure);
}

void TForm1::endProgram(const StartUpFailure& failure) {
    ui_.message(failure.message, MessageKind::Error);
    hide();
    QCoreApplication::exit(failure.exitCode);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Queued, so that the window is on screen before a dialog opens over it.
    QTimer::singleShot(0, this, &TForm1::FormActivate);
}

void TForm1::closeEvent(QCloseEvent* event) {
    event->accept();
    QCoreApplication::quit();
}

} // namespace velk
