// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/WholeRowsList.h"

#include <QFontMetrics>
#include <QResizeEvent>
#include <QScrollBar>

namespace velk {

template <class List> void WholeRows<List>::resizeEvent(QResizeEvent* event) {
    const bool rows = this->model() && this->model()->rowCount() > 0;
    const int row = rows ? this->sizeHintForRow(0) : this->fontMetrics().height();
    const QScrollBar* bar = this->horizontalScrollBar();
    const int barHeight = bar && bar->isVisible() ? bar->height() : 0;
    // The list's own height: the viewport's resizes come here too.
    const int inner = this->height() - 2 * this->frameWidth() - barHeight;
    const int blank = row > 0 && inner > row ? inner % row : 0;
    // Setting the margins lays the list out again: only when they change.
    if (this->viewportMargins().bottom() != blank)
        this->setViewportMargins(0, 0, 0, blank);
    List::resizeEvent(event);
}

template class WholeRows<QListWidget>;
template class WholeRows<QListView>;

int LineList::count() const {
    return model() ? model()->rowCount() : 0;
}

int LineList::currentRow() const {
    return currentIndex().row();
}

void LineList::setCurrentRow(int row) {
    setCurrentIndex(model() ? model()->index(row, 0) : QModelIndex());
}

} // namespace velk
