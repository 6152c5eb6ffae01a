// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>

namespace velk {

// The program's icon: a letter on a blue ground, drawn at start-up.
QPixmap programPixmap(int size);
QIcon programIcon();

} // namespace velk
