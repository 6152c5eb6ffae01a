// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/MessageView.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QStringList>

#include <compare>
#include <vector>

namespace velk {

// The viewer's body: read-only lines without wrapping, drawn only where they are seen, so
// that a message of ten thousand lines shows as fast as a short one. Quotation lines are
// drawn in their colour. The mouse (or Shift with the arrows, Home and End) selects, from
// any character to any other.
class MessageBodyView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit MessageBodyView(QWidget* parent = nullptr);

    void showLines(const std::vector<ShownLine>& lines, const QFont& font, const QColor& ink,
                   const QColor& quote, const QColor& background);

    int lineCount() const { return int(lines_.size()); }
    QString lineText(int line) const { return lines_.value(line); }
    // Puts line `line` (0-based) at the top of the view, or the view at its end.
    void scrollToLine(int line);
    int firstVisibleLine() const;
    // Where the line is drawn, in the viewport's coordinates (off it when scrolled away).
    QRect lineRect(int line) const;

    // A place in the text: a line and a character of it.
    struct Place {
        int line = 0;
        int column = 0;
        auto operator<=>(const Place&) const = default;
    };
    void select(Place anchor, Place end);
    void selectAll();
    bool hasSelection() const { return anchor_ != end_; }
    // The selected text, its lines joined by line feeds.
    QString selectedText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateScrollBars();
    Place placeAt(const QPoint& point) const;
    int columnAt(const QString& line, int x) const;
    int xOf(const QString& line, int column) const;
    int lineHeight() const;
    void moveEnd(Place end, bool extend);

    QStringList lines_;
    std::vector<bool> quoted_;
    QColor ink_, quote_;
    int contentWidth_ = 0;
    Place anchor_, end_;
};

} // namespace velk
