// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/WholeRowsList.h"

#include <QFontMetrics>
#include <QResizeEvent>
#include <QScrollBar>

namespace velk {

void WholeRowsList::resizeEvent(QResizeEvent* event) {
    const int row = count() > 0 ? sizeHintForRow(0) : fontMetrics().height();
    const QScrollBar* bar = horizontalScrollBar();
    const int barHeight = bar && bar->isVisible() ? bar->height() : 0;
    // The list's own height: the viewport's resizes come here too.
    const int inner = height() - 2 * frameWidth() - barHeight;
    const int blank = row > 0 && inner > row ? inner % row : 0;
    // Setting the margins lays the list out again: only when they change.
    if (viewportMargins().bottom() != blank)
        setViewportMargins(0, 0, 0, blank);
    QListWidget::resizeEvent(event);
}

} // namespace velk
