// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/AnsiImageLabel.h"

#include "packet/AnsiRenderer.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace velk {

void AnsiImageLabel::paintEvent(QPaintEvent* event) {
    const QPixmap shown = pixmap();
    if (shown.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    // Only the exposed part is enlarged: a long bulletin at ratio 3 would take nine times
    // its memory.
    const QRect logical =
        event->rect() & QRect(QPoint(0, 0), shown.deviceIndependentSize().toSize());
    if (logical.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    const int left = int(std::floor(logical.left() * ratio));
    const int top = int(std::floor(logical.top() * ratio));
    const int right = int(std::ceil((logical.right() + 1) * ratio));
    const int bottom = int(std::ceil((logical.bottom() + 1) * ratio));
    const QImage block =
        enlargeAnsiImage(shown.toImage(), ratio, QRect(left, top, right - left, bottom - top));
    QPainter painter(this);
    painter.drawImage(QPointF(left / ratio, top / ratio), block);
}

} // namespace velk
