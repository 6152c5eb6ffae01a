// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/DosFont.h"
#include "packet/AnsiRenderer.h"
#include "tests/support/ScriptedUiServices.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace velk {

namespace ansitest {

inline void writeBytes(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes.data(), qint64(bytes.size())), qint64(bytes.size()));
}

// The one colour of every pixel of a cell; nullopt when the cell is not uniform or lies
// outside the image.
inline std::optional<QRgb> cellColour(const QImage& image, int col, int row) {
    const int x0 = col * 8;
    const int y0 = row * 16;
    if (x0 + 8 > image.width() || y0 + 16 > image.height())
        return std::nullopt;
    const QRgb first = image.pixel(x0, y0);
    for (int y = y0; y < y0 + 16; ++y)
        for (int x = x0; x < x0 + 8; ++x)
            if (image.pixel(x, y) != first)
                return std::nullopt;
    return first;
}

// Cells (column, row) holding any pixel other than the background.
inline std::set<std::pair<int, int>> inkCells(const QImage& image, QRgb background) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != background)
                out.insert({x / 8, y / 16});
    return out;
}

// A screen file drawn the way the viewer draws it: measure, then show.
struct Rendered {
    QTemporaryDir dir;
    QString path;
    ScriptedUiServices ui;
    AnsiRendererState state;
    QImage image;
    bool measured = false;
    bool shown = false;

    void draw() {
        measured = velk::shown(MeasureAnsiFile(state, path, image), ui);
        if (measured)
            shown = velk::shown(ShowAnsiFile(state, image, path), ui);
    }
};

inline std::unique_ptr<Rendered> render(const std::string& bytes, bool bright = false) {
    auto r = std::make_unique<Rendered>();
    r->path = r->dir.filePath(QStringLiteral("BLT-0.1"));
    writeBytes(r->path, bytes);
    r->state.BrightColours = bright;
    r->draw();
    return r;
}

// Registers the generated font once for the whole test program.
class FontEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_GE(registerDosFont(QStringLiteral(VELK_FONT_FILE)), 0); }
};

} // namespace ansitest

} // namespace velk
