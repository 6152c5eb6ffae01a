// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/main/Windows.h"

#include "ui/library/TListe.h"
#include "ui/library/TParam1.h"
#include "ui/library/TParam2.h"
#include "ui/library/TParam3.h"
#include "ui/library/TParam4.h"
#include "ui/mail/TAffMsg.h"
#include "ui/mail/TMessagerie.h"
#include "ui/mail/TMsgPerso.h"
#include "ui/mail/TRecherche.h"
#include "ui/main/TAboutBox.h"
#include "ui/main/TDiversConfig.h"
#include "ui/main/TForm1.h"
#include "ui/main/TParam0.h"
#include "ui/main/TPrinterConfig.h"
#include "ui/merge/TFusion.h"
#include "ui/merge/TWaitFusion.h"
#include "ui/packet/TAffBulletins.h"
#include "ui/packet/TListeBull.h"
#include "ui/packet/TListeFiles.h"
#include "ui/packet/TQWK.h"
#include "ui/reply/TCarbon.h"
#include "ui/reply/TDestin.h"
#include "ui/reply/TWriteMsg.h"

#include <utility>

namespace velk {

Windows::Windows() = default;

// Members are declared in creation order, so the dialogs go before the main window.
Windows::~Windows() = default;

void Windows::complete() {
    if (const std::function<void()> build = std::exchange(rest, {}))
        build();
}

std::unique_ptr<Windows> createFirstWindows(Session& session, UiServices& ui) {
    auto w = std::make_unique<Windows>();
    w->Form1 = std::make_unique<TForm1>(session, ui, *w);
    w->QWK = std::make_unique<TQWK>(session, ui);
    w->rest = [w = w.get(), &session, &ui] {
        w->Form1->buildMenu();
        w->ListeBull = std::make_unique<TListeBull>(ui);
        w->AboutBox = std::make_unique<TAboutBox>();
        w->AffBulletins = std::make_unique<TAffBulletins>(session, ui);
        w->ListeFiles = std::make_unique<TListeFiles>(session, ui);
        w->MsgPerso = std::make_unique<TMsgPerso>(session, ui);
        w->Messagerie = std::make_unique<TMessagerie>(session, ui);
        w->AffMsg = std::make_unique<TAffMsg>(session, ui);
        w->Recherche = std::make_unique<TRecherche>(session, ui);
        w->WriteMsg = std::make_unique<TWriteMsg>(session, ui);
        w->Param1 = std::make_unique<TParam1>(session, ui);
        w->Param2 = std::make_unique<TParam2>(session, ui);
        w->Liste = std::make_unique<TListe>(session, ui);
        w->Param3 = std::make_unique<TParam3>(session, ui);
        w->Carbon = std::make_unique<TCarbon>(session, ui);
        w->Param0 = std::make_unique<TParam0>(session, ui);
        w->Param4 = std::make_unique<TParam4>(session, ui);
        w->Destin = std::make_unique<TDestin>(session, ui);
        w->PrinterConfig = std::make_unique<TPrinterConfig>(session, ui);
        w->DiversConfig = std::make_unique<TDiversConfig>(session, ui);
        w->WaitFusion = std::make_unique<TWaitFusion>();
        w->Fusion = std::make_unique<TFusion>(session, ui, *w->WaitFusion);

        w->Liste->setEditors(*w->Param1, *w->Param2, *w->Param3, *w->Param4);
        w->Destin->setChooser(*w->Liste);
        w->Carbon->setChooser(*w->Liste);
        w->WriteMsg->setDialogs(*w->Liste, *w->Destin, *w->Carbon);
        w->ListeBull->setViewer(*w->AffBulletins);
        w->QWK->setViewers({w->ListeBull.get(), w->AffBulletins.get(), w->ListeFiles.get()});
        w->QWK->setMessagerie(*w->Messagerie);
        w->QWK->setRecherche(*w->Recherche);
        w->Recherche->setViewer(*w->AffMsg);
        w->QWK->setMsgPerso(*w->MsgPerso);
        w->Messagerie->setViewer(*w->AffMsg);
        w->Messagerie->setEditor(*w->WriteMsg);
        w->AffMsg->setEditor(*w->WriteMsg);
        w->MsgPerso->setViewer(*w->AffMsg);
        w->MsgPerso->setEditor(*w->WriteMsg);
    };
    return w;
}

std::unique_ptr<Windows> createWindows(Session& session, UiServices& ui) {
    std::unique_ptr<Windows> w = createFirstWindows(session, ui);
    w->complete();
    return w;
}

} // namespace velk
