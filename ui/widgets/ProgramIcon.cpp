// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/widgets/ProgramIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace velk {

QPixmap programPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawRoundedRect(QRectF(0, 0, s, s), s / 8, s / 8);
    // An envelope: the letter the program reads and writes.
    const QRectF envelope(s * 0.15, s * 0.3, s * 0.7, s * 0.45);
    p.setBrush(QColor(255, 255, 224));
    p.setPen(QPen(Qt::black, qMax<qreal>(1.0, s / 32)));
    p.drawRect(envelope);
    QPainterPath flap;
    flap.moveTo(envelope.topLeft());
    flap.lineTo(envelope.center().x(), envelope.top() + envelope.height() * 0.55);
    flap.lineTo(envelope.topRight());
    p.setBrush(Qt::NoBrush);
    p.drawPath(flap);
    return pixmap;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addPixmap(programPixmap(size));
    return icon;
}

} // namespace velk
