// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/library/TLibraryEditor.h"

namespace velk {

// The frequent correspondents library editor.
class TParam4 : public TLibraryEditor {
    Q_OBJECT
public:
    TParam4(Session& session, UiServices& ui);

    void AfficheAmis() { prepare(); }
    void CloseAmis() { release(); }
};

} // namespace velk
