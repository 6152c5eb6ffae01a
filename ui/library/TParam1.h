// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/library/TLibraryEditor.h"

namespace velk {

// The headers library editor.
class TParam1 : public TLibraryEditor {
    Q_OBJECT
public:
    TParam1(Session& session, UiServices& ui);

    void AfficheEntetes() { prepare(); }
    void CloseEntetes() { release(); }
};

} // namespace velk
