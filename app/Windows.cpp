// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/Windows.h"

#include "app/TAboutBox.h"
#include "app/TDiversConfig.h"
#include "app/TForm1.h"
#include "app/TParam0.h"
#include "app/TPrinterConfig.h"
#include "merge/TFusion.h"
#include "merge/TWaitFusion.h"
#include "packet/TQWK.h"

Windows::Windows() = default;

// The dialogs go before the main window that opens them.
Windows::~Windows() {
    Fusion.reset();
    WaitFusion.reset();
    DiversConfig.reset();
    PrinterConfig.reset();
    Param0.reset();
    AboutBox.reset();
    QWK.reset();
    Form1.reset();
}

std::unique_ptr<Windows> createWindows(Session& session, UiServices& ui) {
    auto w = std::make_unique<Windows>();
    w->Form1 = std::make_unique<TForm1>(session, ui, *w);
    w->QWK = std::make_unique<TQWK>(session, ui);
    w->AboutBox = std::make_unique<TAboutBox>();
    w->Param0 = std::make_unique<TParam0>(session, ui);
    w->PrinterConfig = std::make_unique<TPrinterConfig>(session, ui);
    w->DiversConfig = std::make_unique<TDiversConfig>(session, ui);
    w->WaitFusion = std::make_unique<TWaitFusion>();
    w->Fusion = std::make_unique<TFusion>(session, ui, *w->WaitFusion);
    return w;
}
