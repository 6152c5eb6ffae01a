// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QAbstractItemView>
#include <QStringList>

namespace velk {

// The text of each line of a list, as drawn.
inline QStringList rows(const QAbstractItemView* list) {
    QStringList out;
    const QAbstractItemModel* model = list->model();
    for (int i = 0; i < model->rowCount(); ++i)
        out.append(model->index(i, 0).data().toString());
    return out;
}

} // namespace velk
