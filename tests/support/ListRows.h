// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QListWidget>
#include <QStringList>

namespace velk {

// The text of each line of a list.
inline QStringList rows(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

} // namespace velk
