// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Windows.h"

#include "app/TAboutBox.h"
#include "app/TDiversConfig.h"
#include "app/TForm1.h"
#include "app/TParam0.h"
#include "app/TPrinterConfig.h"
#include "library/TListe.h"
#include "library/TParam1.h"
#include "library/TParam2.h"
#include "library/TParam3.h"
#include "library/TParam4.h"
#include "packet/TQWK.h"

Windows::Windows() = default;

// The dialogs go before the main window that opens them.
Windows::~Windows() {
    DiversConfig.reset();
    PrinterConfig.reset();
    Param4.reset();
    Param0.reset();
    Param3.reset();
    Liste.reset();
    Param2.reset();
    Param1.reset();
    AboutBox.reset();
    QWK.reset();
    Form1.reset();
}

std::unique_ptr<Windows> createWindows(Session& session, UiServices& ui) {
    auto w = std::make_unique<Windows>();
    w->Form1 = std::make_unique<TForm1>(session, ui, *w);
    w->QWK = std::make_unique<TQWK>(session, ui);
    w->AboutBox = std::make_unique<TAboutBox>();
    w->Param1 = std::make_unique<TParam1>(session, ui);
    w->Param2 = std::make_unique<TParam2>(session, ui);
    w->Liste = std::make_unique<TListe>(session, ui, *w);
    w->Param3 = std::make_unique<TParam3>(session, ui);
    w->Param0 = std::make_unique<TParam0>(session, ui);
    w->Param4 = std::make_unique<TParam4>(session, ui);
    w->PrinterConfig = std::make_unique<TPrinterConfig>(session, ui);
    w->DiversConfig = std::make_unique<TDiversConfig>(session, ui);
    return w;
}
