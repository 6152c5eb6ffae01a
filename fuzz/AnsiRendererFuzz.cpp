// SPDX-License-Identifier: GPL-2.0-or-later
// A bulletin or news screen: measured, then drawn, as the viewer shows it. The glyphs are a
// pattern of their own, so no font is needed.
#include "fuzz/FuzzSupport.h"
#include "packet/AnsiRenderer.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile file;
    const QString path = file.hold(fuzzBytes(data, size));
    AnsiRendererState state;
    for (std::size_t b = 0; b < state.Glyphs.size(); ++b) {
        for (std::size_t row = 0; row < state.Glyphs[b].size(); ++row)
            state.Glyphs[b][row] = std::uint8_t(b ^ (row * 37));
    }
    state.GlyphsReady = true;
    HeadlessUiServices ui;
    QImage canvas;
    if (shown(MeasureAnsiFile(state, path, canvas), ui))
        shown(ShowAnsiFile(state, canvas, path), ui);
    releaseAnsiBuffer(state);
    return 0;
}
