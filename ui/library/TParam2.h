// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/library/TLibraryEditor.h"

namespace velk {

// The footers library editor.
class TParam2 : public TLibraryEditor {
    Q_OBJECT
public:
    TParam2(Session& session, UiServices& ui);

    void AffichePdps() { prepare(); }
    void ClosePdp() { release(); }
};

} // namespace velk
