// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>
#include <memory>

namespace velk {

class TAboutBox;
class TDiversConfig;
class TForm1;
class TListe;
class TFusion;
class TParam0;
class TParam1;
class TParam2;
class TParam3;
class TParam4;
class TPrinterConfig;
class TQWK;
class TListeBull;
class TAffBulletins;
class TListeFiles;
class TMessagerie;
class TMsgPerso;
class TAffMsg;
class TWaitFusion;
class TWriteMsg;
class TRecherche;
class TCarbon;
class TDestin;
struct Session;
class UiServices;

// Every window of the program, created once at start-up in its fixed order and reused:
// windows are hidden and shown again, never destroyed before the end of the run.
struct Windows {
    Windows();
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TQWK> QWK;
    std::unique_ptr<TListeBull> ListeBull;
    std::unique_ptr<TAboutBox> AboutBox;
    std::unique_ptr<TAffBulletins> AffBulletins;
    std::unique_ptr<TListeFiles> ListeFiles;
    std::unique_ptr<TMsgPerso> MsgPerso;
    std::unique_ptr<TMessagerie> Messagerie;
    std::unique_ptr<TAffMsg> AffMsg;
    std::unique_ptr<TWriteMsg> WriteMsg;
    std::unique_ptr<TParam1> Param1;
    std::unique_ptr<TParam2> Param2;
    std::unique_ptr<TListe> Liste;
    std::unique_ptr<TParam3> Param3;
    std::unique_ptr<TCarbon> Carbon;
    std::unique_ptr<TParam0> Param0;
    std::unique_ptr<TParam4> Param4;
    std::unique_ptr<TDestin> Destin;
    std::unique_ptr<TPrinterConfig> PrinterConfig;
    std::unique_ptr<TDiversConfig> DiversConfig;
    std::unique_ptr<TWaitFusion> WaitFusion;
    std::unique_ptr<TFusion> Fusion;
    std::unique_ptr<TRecherche> Recherche;

    // Builds, once, the windows createFirstWindows left for later.
    void complete();
    std::function<void()> rest;
};

std::unique_ptr<Windows> createWindows(Session& session, UiServices& ui);
// The main window and the packet window only, which a packet named on the command line needs
// on screen first; Windows::complete builds the others.
std::unique_ptr<Windows> createFirstWindows(Session& session, UiServices& ui);

} // namespace velk
