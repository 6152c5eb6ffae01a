// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QListWidget>

namespace velk {

// A list that shows whole rows only: the height a layout gives it beyond its last whole row
// stays blank instead of showing half a line.
class WholeRowsList : public QListWidget {
public:
    explicit WholeRowsList(QWidget* parent = nullptr) : QListWidget(parent) {}

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace velk
