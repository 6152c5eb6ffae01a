// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/DosFont.h"
#include "core/UiServices.h"
#include "packet/AnsiRenderer.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

namespace velk {

namespace {

// Counts what the renderer says instead of showing it.
class CountingUi : public HeadlessUiServices {
public:
    int messages = 0;
    void message(const QString&, MessageKind, const QString&) override { ++messages; }
};

// A dense BBS screen of about 64 KB: full 80-column lines of shading, box drawing and
// text, with a colour change every few cells and an occasional cursor jump.
std::string makeScreen() {
    std::mt19937 rng(1994);
    const char shades[] = "\xB0\xB1\xB2\xDB\xC4\xCD\xB3\xBA\xC9\xBB\xC8\xBC abcdefXYZ.:";
    std::string out = "\x1b[2J\x1b[0m";
    while (true) {
        std::string line;
        int col = 0;
        while (col < 80) {
            line += "\x1b[" + std::to_string(rng() % 2) + ";" + std::to_string(30 + rng() % 8) +
                    ";" + std::to_string(40 + rng() % 8) + "m";
            if (rng() % 10 == 0) {
                const int skip = 1 + int(rng() % 3);
                line += "\x1b[" + std::to_string(skip) + "C";
                col += skip;
            }
            const int run = 2 + int(rng() % 6);
            for (int i = 0; i < run && col < 80; ++i, ++col)
                line += shades[rng() % (sizeof shades - 1)];
        }
        line += "\x1b[0m\r\n";
        if (out.size() + line.size() >= std::size_t(kAnsiMaxFileSize))
            break;
        out += line;
    }
    return out;
}

struct ScreenFile {
    QTemporaryDir dir;
    QString path;
    std::size_t size = 0;
    ScreenFile() : path(dir.filePath(QStringLiteral("BLT-0.1"))) {
        const std::string bytes = makeScreen();
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes.data(), qint64(bytes.size()));
        size = bytes.size();
    }
};

ScreenFile& screen() {
    static ScreenFile file;
    return file;
}

// The viewer's redraw: measure and show on the image it keeps.
void BM_RenderAnsiScreen(benchmark::State& st) {
    CountingUi ui;
    AnsiRendererState state;
    QImage image;
    for (auto _ : st) {
        shown(MeasureAnsiFile(state, screen().path, image), ui);
        shown(ShowAnsiFile(state, image, screen().path), ui);
        benchmark::DoNotOptimize(image.constBits());
    }
    st.counters["bytes"] = double(screen().size);
    st.counters["lines"] = state.LineCount;
    st.counters["messages"] = ui.messages;
}
BENCHMARK(BM_RenderAnsiScreen)->Unit(benchmark::kMillisecond);

// A first showing: a new renderer and a new image, glyphs taken from the font again.
void BM_RenderAnsiScreenFirstTime(benchmark::State& st) {
    CountingUi ui;
    for (auto _ : st) {
        AnsiRendererState state;
        QImage image;
        shown(MeasureAnsiFile(state, screen().path, image), ui);
        shown(ShowAnsiFile(state, image, screen().path), ui);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_RenderAnsiScreenFirstTime)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
#ifdef VELK_FONT_FILE
    const QString font = QStringLiteral(VELK_FONT_FILE);
#else
    const QString font =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../VELKFONT.FON");
#endif
    if (registerDosFont(font) < 0) {
        std::fprintf(stderr, "font not found: %s\n", qPrintable(font));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace velk
