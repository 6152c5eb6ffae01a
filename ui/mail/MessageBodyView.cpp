// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/MessageBodyView.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace velk {

namespace {
constexpr int kMargin = 4; // blank space around the text, as a text field leaves
} // namespace

MessageBodyView::MessageBodyView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

void MessageBodyView::showLines(const std::vector<ShownLine>& lines, const QFont& font,
                                const QColor& ink, const QColor& quote, const QColor& background) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    colours.setColor(QPalette::Text, ink);
    setPalette(colours);
    setFont(font);
    ink_ = ink;
    quote_ = quote;

    lines_.clear();
    lines_.reserve(qsizetype(lines.size()));
    quoted_.assign(lines.size(), false);
    qsizetype widest = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines_.append(lines[i].text);
        quoted_[i] = lines[i].quoted;
        if (lines[i].text.size() > lines_.at(widest).size())
            widest = qsizetype(i);
    }
    // The line of most characters sets the width; painting widens it if another line of a
    // proportional font turns out wider.
    contentWidth_ = lines_.isEmpty() ? 0 : xOf(lines_.at(widest), int(lines_.at(widest).size()));
    anchor_ = end_ = Place{};
    updateScrollBars();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

int MessageBodyView::lineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

void MessageBodyView::updateScrollBars() {
    const int visible = std::max(1, (viewport()->height() - kMargin) / lineHeight());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, int(lines_.size()) - visible));
    v->setPageStep(visible);
    v->setSingleStep(1);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, contentWidth_ + 2 * kMargin - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(fontMetrics().averageCharWidth());
}

void MessageBodyView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void MessageBodyView::scrollToLine(int line) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(line < lineCount() ? line : bar->maximum());
}

int MessageBodyView::firstVisibleLine() const {
    return verticalScrollBar()->value();
}

QRect MessageBodyView::lineRect(int line) const {
    const int top = kMargin + (line - firstVisibleLine()) * lineHeight();
    return QRect(kMargin - horizontalScrollBar()->value(), top,
                 std::max(contentWidth_, viewport()->width()), lineHeight());
}

int MessageBodyView::xOf(const QString& line, int column) const {
    return fontMetrics().horizontalAdvance(line.left(column));
}

int MessageBodyView::columnAt(const QString& line, int x) const {
    // The first column whose character's middle lies right of x.
    int lo = 0, hi = int(line.size());
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int middle = (xOf(line, mid) + xOf(line, mid + 1)) / 2;
        if (middle < x)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

MessageBodyView::Place MessageBodyView::placeAt(const QPoint& point) const {
    if (lines_.isEmpty())
        return {};
    const int line = std::clamp(firstVisibleLine() + (point.y() - kMargin) / lineHeight() -
                                    (point.y() < kMargin ? 1 : 0),
                                0, int(lines_.size()) - 1);
    const int x = point.x() - kMargin + horizontalScrollBar()->value();
    return {line, columnAt(lines_.at(line), x)};
}

void MessageBodyView::select(Place anchor, Place end) {
    auto clampPlace = [&](Place p) {
        if (lines_.isEmpty())
            return Place{};
        p.line = std::clamp(p.line, 0, int(lines_.size()) - 1);
        p.column = std::clamp(p.column, 0, int(lines_.at(p.line).size()));
        return p;
    };
    anchor_ = clampPlace(anchor);
    end_ = clampPlace(end);
    viewport()->update();
}

void MessageBodyView::selectAll() {
    if (lines_.isEmpty())
        return;
    select({0, 0}, {int(lines_.size()) - 1, int(lines_.last().size())});
}

QString MessageBodyView::selectedText() const {
    const Place from = std::min(anchor_, end_);
    const Place to = std::max(anchor_, end_);
    if (from == to)
        return {};
    QString text;
    for (int line = from.line; line <= to.line; ++line) {
        const QString& l = lines_.at(line);
        const int start = line == from.line ? from.column : 0;
        const int stop = line == to.line ? to.column : int(l.size());
        if (line != from.line)
            text.append(QLatin1Char('\n'));
        text.append(QStringView(l).mid(start, stop - start));
    }
    return text;
}

void MessageBodyView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QFontMetrics metrics = fontMetrics();
    const int height = lineHeight();
    const int left = kMargin - horizontalScrollBar()->value();
    const Place from = std::min(anchor_, end_);
    const Place to = std::max(anchor_, end_);
    const QPalette& colours = palette();
    int widest = contentWidth_;
    for (int line = firstVisibleLine(), top = kMargin;
         line < int(lines_.size()) && top < viewport()->height(); ++line, top += height) {
        const QString& text = lines_.at(line);
        const int baseline = top + metrics.ascent();
        painter.setPen(quoted_[std::size_t(line)] ? quote_ : ink_);
        painter.drawText(left, baseline, text);
        widest = std::max(widest, metrics.horizontalAdvance(text));
        if (from != to && line >= from.line && line <= to.line) {
            const int start = line == from.line ? from.column : 0;
            const int stop = line == to.line ? to.column : int(text.size());
            const int x0 = left + xOf(text, start);
            // A selection going on past the end of a line shows a blank's width there.
            const int x1 = left + xOf(text, stop) +
                           (line < to.line ? metrics.horizontalAdvance(QLatin1Char(' ')) : 0);
            const QRect band(x0, top, x1 - x0, height);
            painter.fillRect(band, colours.color(QPalette::Highlight));
            painter.setPen(colours.color(QPalette::HighlightedText));
            painter.drawText(x0, baseline, text.mid(start, stop - start));
        }
    }
    if (widest != contentWidth_) {
        contentWidth_ = widest;
        updateScrollBars();
    }
}

void MessageBodyView::moveEnd(Place end, bool extend) {
    if (!extend)
        anchor_ = end;
    select(anchor_, end);
    // The end of the selection stays in view.
    QScrollBar* v = verticalScrollBar();
    if (end_.line < v->value())
        v->setValue(end_.line);
    else if (end_.line >= v->value() + v->pageStep())
        v->setValue(end_.line - v->pageStep() + 1);
}

void MessageBodyView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    moveEnd(placeAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void MessageBodyView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        moveEnd(placeAt(event->position().toPoint()), true);
}

void MessageBodyView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (!(event->modifiers() & Qt::ShiftModifier) || lines_.isEmpty())
        return QAbstractScrollArea::keyPressEvent(event);
    Place p = end_;
    const int last = int(lines_.size()) - 1;
    switch (event->key()) {
    case Qt::Key_Left:
        if (p.column > 0)
            --p.column;
        else if (p.line > 0)
            p = {p.line - 1, int(lines_.at(p.line - 1).size())};
        break;
    case Qt::Key_Right:
        if (p.column < int(lines_.at(p.line).size()))
            ++p.column;
        else if (p.line < last)
            p = {p.line + 1, 0};
        break;
    case Qt::Key_Up:
        p.line = std::max(0, p.line - 1);
        break;
    case Qt::Key_Down:
        p.line = std::min(last, p.line + 1);
        break;
    case Qt::Key_PageUp:
        p.line = std::max(0, p.line - verticalScrollBar()->pageStep());
        break;
    case Qt::Key_PageDown:
        p.line = std::min(last, p.line + verticalScrollBar()->pageStep());
        break;
    case Qt::Key_Home:
        p = event->modifiers() & Qt::ControlModifier ? Place{} : Place{p.line, 0};
        break;
    case Qt::Key_End:
        p = event->modifiers() & Qt::ControlModifier ? Place{last, int(lines_.last().size())}
                                                     : Place{p.line, int(lines_.at(p.line).size())};
        break;
    default:
        return QAbstractScrollArea::keyPressEvent(event);
    }
    p.column = std::min(p.column, int(lines_.at(p.line).size()));
    moveEnd(p, true);
}

} // namespace velk
