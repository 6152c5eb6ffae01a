// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/mail/MessageBodyView.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>

MessageBodyView::MessageBodyView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
}

void MessageBodyView::showLines(const std::vector<ShownLine>& lines, const QFont& font,
                                const QColor& ink, const QColor& quote, const QColor& background) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    colours.setColor(QPalette::Text, ink);
    setPalette(colours);
    setFont(font);
    document()->setDefaultFont(font);
    quote_ = quote;

    QString text;
    qsizetype size = 0;
    std::size_t widest = 0;
    quoted_.assign(lines.size(), false);
    coloured_.assign(lines.size(), false);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        size += lines[i].text.size() + 1;
        quoted_[i] = lines[i].quoted;
        if (lines[i].text.size() > lines[widest].text.size())
            widest = i;
    }
    text.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            text.append(QLatin1Char('\n'));
        text.append(lines[i].text);
    }
    setPlainText(text);
    // Only the lines seen are laid out; the longest one is too, so that the horizontal
    // scroll bar reaches the end of every line from the start.
    if (!lines.empty())
        document()->documentLayout()->blockBoundingRect(document()->findBlockByNumber(int(widest)));
    moveCursor(QTextCursor::Start);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void MessageBodyView::scrollToLine(int line) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(line < document()->blockCount() ? line : bar->maximum());
}

void MessageBodyView::colourVisibleLines() {
    const int bottom = viewport()->height();
    QTextBlock block = firstVisibleBlock();
    const QPointF offset = contentOffset();
    while (block.isValid()) {
        const std::size_t n = std::size_t(block.blockNumber());
        if (n < quoted_.size() && quoted_[n] && !coloured_[n]) {
            coloured_[n] = true;
            QTextLayout::FormatRange range;
            range.start = 0;
            range.length = block.length();
            range.format.setForeground(quote_);
            // The block is laid out again with its colour; the paint under way draws it.
            const QSignalBlocker quiet(document()->documentLayout());
            block.layout()->setFormats({range});
        }
        if (blockBoundingGeometry(block).translated(offset).top() > bottom)
            break;
        block = block.next();
    }
}

void MessageBodyView::paintEvent(QPaintEvent* event) {
    colourVisibleLines();
    QPlainTextEdit::paintEvent(event);
}
