// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QWidget>

namespace velk {

// The big windows the user works in: a title, a window menu, minimize and close, no
// maximize (their layout is fixed) and no help button.
inline void setWorkWindowFlags(QWidget& window) {
    window.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
}

} // namespace velk
