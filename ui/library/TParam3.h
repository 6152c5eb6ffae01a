// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "ui/library/TLibraryEditor.h"

namespace velk {

// The taglines library editor.
class TParam3 : public TLibraryEditor {
    Q_OBJECT
public:
    TParam3(Session& session, UiServices& ui);

    void AfficheTagLines() { prepare(); }
    void CloseTagLine() { release(); }
};

} // namespace velk
