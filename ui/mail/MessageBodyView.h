// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "mail/MessageView.h"

#include <QColor>
#include <QPlainTextEdit>

#include <vector>

// The viewer's body: read-only plain text without wrapping, laid out only where it is seen.
// Quotation lines take their colour when they first come into view, so that a message of
// thousands of lines shows as fast as a short one.
class MessageBodyView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit MessageBodyView(QWidget* parent = nullptr);

    void showLines(const std::vector<ShownLine>& lines, const QFont& font, const QColor& ink,
                   const QColor& quote, const QColor& background);
    // Puts line `line` (0-based) at the top of the view, or the view at its end.
    void scrollToLine(int line);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void colourVisibleLines();

    std::vector<bool> quoted_;   // per line
    std::vector<bool> coloured_; // per line: its colour is set
    QColor quote_;
};
