// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

namespace velk {

// A button added at the end of a row of buttons; Enter in a field never presses it.
inline QPushButton* addButton(QHBoxLayout* row, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

// A dialog button that Enter in a field never presses.
inline QPushButton* dialogButton(const QString& caption, const QString& hint,
                                 QWidget* parent = nullptr) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

} // namespace velk
