// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/ReadMarksView.h"

#include "board/BoardMarks.h"
#include "core/ActionGuard.h"
#include "mail/ListModels.h"
#include "session/Session.h"

#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace velk {

namespace {

// Paints the line, then its count of unread messages right-aligned over its end.
class UnreadCountDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const QVariant count = index.data(kUnreadCountRole);
        if (!count.isValid())
            return;
        const int n = count.toInt();
        const QString text =
            n == 0
                ? QStringLiteral("lu")
                : QStringLiteral("%1 non lu%2").arg(n).arg(n > 1 ? QStringLiteral("s") : QString());
        painter->save();
        QFont f = option.font;
        f.setBold(n > 0);
        painter->setFont(f);
        const QRect r = option.rect.adjusted(0, 0, -6, 0);
        const QRect box = painter->fontMetrics().boundingRect(text).adjusted(-4, 0, 4, 0);
        QRect back(r.right() - box.width(), r.top(), box.width(), r.height());
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(back,
                          option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText
                                             : n > 0  ? QPalette::Link
                                                      : QPalette::PlaceholderText));
        painter->drawText(back, Qt::AlignCenter, text);
        painter->restore();
    }
};

// Gives a line with a read mark its icon and its weight before it is drawn.
class ReadMarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QVariant mark = index.data(kReadMarkRole);
        if (!mark.isValid())
            return;
        const int size = option->fontMetrics.height();
        if (size != iconSize_) {
            iconSize_ = size;
            for (int m = 0; m < 3; ++m)
                icons_[m] = readMarkIcon(ReadMark(m), size);
        }
        const int m = std::clamp(mark.toInt(), 0, 2);
        option->icon = icons_[m];
        option->decorationSize = QSize(size, size);
        option->features |= QStyleOptionViewItem::HasDecoration;
        // The list's font may come bold from its window: read lines are set apart in normal
        // weight.
        option->font.setBold(ReadMark(m) == ReadMark::Unread);
        option->fontMetrics = QFontMetrics(option->font);
    }

private:
    mutable int iconSize_ = 0;
    mutable QIcon icons_[3];
};

} // namespace

QIcon readMarkIcon(ReadMark mark, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const qreal s = size;
    if (mark == ReadMark::Unread) {
        p.setBrush(QColor(0, 90, 200));
        p.drawEllipse(QRectF(s * 0.3, s * 0.3, s * 0.4, s * 0.4));
    } else if (mark == ReadMark::Followed) {
        p.setBrush(QColor(210, 60, 0));
        QPainterPath flag;
        flag.moveTo(s * 0.25, s * 0.15);
        flag.lineTo(s * 0.85, s * 0.35);
        flag.lineTo(s * 0.25, s * 0.55);
        flag.closeSubpath();
        p.drawPath(flag);
        p.fillRect(QRectF(s * 0.2, s * 0.15, s * 0.1, s * 0.7), QColor(210, 60, 0));
    }
    return QIcon(pixmap);
}

void drawReadMarks(QAbstractItemView& view) {
    view.setItemDelegate(new ReadMarkDelegate(&view));
}

void showUnreadCounts(QListWidget& list, const std::vector<std::int32_t>& counts) {
    if (!dynamic_cast<UnreadCountDelegate*>(list.itemDelegate()))
        list.setItemDelegate(new UnreadCountDelegate(&list));
    const int rows = std::min(list.count(), int(counts.size()));
    for (int row = 0; row < rows; ++row)
        list.item(row)->setData(kUnreadCountRole, counts[std::size_t(row)]);
}

void keepReadMarks(Session& session, UiServices& ui, QObject& context, bool now) {
    bool waiting = false;
    runAction(ui, [&] {
        if (now)
            saveBoardMarks(session);
        else
            waiting = saveBoardMarksWhenDue(session);
    });
    if (waiting)
        QTimer::singleShot(kMarksSaveDelay, &context,
                           [&session, &ui, &context] { keepReadMarks(session, ui, context); });
}

} // namespace velk
