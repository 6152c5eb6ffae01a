// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLabel>

namespace velk {

// Shows its pixmap, a screen drawn pixel by pixel, at the screen's device pixel ratio:
// each pixel of the drawing a block of device pixels with hard edges, never smoothed.
// The pixmap sits at the top-left corner and keeps its size in logical pixels.
class AnsiImageLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velk
