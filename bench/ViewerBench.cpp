// SPDX-License-Identifier: GPL-2.0-or-later
// The viewer showing a message: the view built from the header and text, the body filled
// and its first screen painted. Goals: any message up to 64 KB within one frame (16 ms),
// an ordinary one (up to 100 lines) within 5 ms.
#include "core/UiServices.h"
#include "mail/MessageView.h"
#include "session/Session.h"
#include "ui/mail/MessageBodyView.h"
#include "ui/mail/TAffMsg.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace velk {

namespace {

// Lines of `width` characters up to `bytes`, one in three quoted, with a tab now and then.
std::string messageText(std::size_t bytes, std::size_t width) {
    std::string text;
    for (std::size_t i = 0; text.size() + width + 1 <= bytes; ++i) {
        std::string line = i % 3 == 0 ? "JD> " : i % 7 == 0 ? "\tsuite " : "";
        line += "ligne " + std::to_string(i) + " ";
        while (line.size() < width)
            line += "texte ";
        line.resize(width);
        text += line + "\n";
    }
    return text;
}

struct Viewer {
    Session session;
    HeadlessUiServices ui;
    std::unique_ptr<TAffMsg> window;

    Viewer() {
        session.settings.messageFont = {QStringLiteral("DejaVu Sans Mono"), 10};
        session.settings.fontNotTerminal = true;
        session.settings.inkColour = 0x800000;
        session.settings.quoteColour = 0x008000;
        session.settings.backColour = 0xE0FFFF;
        session.packet.control.Conferences = {{0, "Principal"}};
        MessageHeader& h = session.store.CurrentHeader;
        h.status = " ";
        h.date = "03-14-97";
        h.time = "19:30";
        h.author = "JEAN DUPONT";
        h.recipient = "MARIE CURIE";
        h.subject = "Essai";
        h.number = "1";
        session.browser.ListOrder = {1};
        session.browser.LastListIndex = 0;
        window = std::make_unique<TAffMsg>(session, ui);
    }
};

Viewer& viewer() {
    static Viewer v;
    return v;
}

const struct {
    const char* name;
    std::size_t bytes;
    std::size_t width;
} kMessages[] = {
    {"ordinary-40-lines", 40 * 61, 60},
    {"60KB-886-lines", 886 * 69, 68},
    {"64KB-10000-lines", 64000, 5},
};

// What the program does between the click and the message on screen.
void ShowMessage(benchmark::State& state) {
    Viewer& v = viewer();
    v.session.store.MessageText =
        messageText(kMessages[state.range(0)].bytes, kMessages[state.range(0)].width);
    v.window->show();
    for (auto _ : state) {
        v.window->DisplayMessage();
        v.window->Msg->viewport()->repaint();
    }
    state.SetLabel(std::string(kMessages[state.range(0)].name) + ", " +
                   v.window->view().NbLignesLabel.toStdString());
}
BENCHMARK(ShowMessage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The part without widgets: decoding, display conversion and quotation marks.
void BuildMessageView(benchmark::State& state) {
    Viewer& v = viewer();
    v.session.store.MessageText =
        messageText(kMessages[state.range(0)].bytes, kMessages[state.range(0)].width);
    for (auto _ : state)
        benchmark::DoNotOptimize(buildMessageView(v.session));
    state.SetLabel(kMessages[state.range(0)].name);
}
BENCHMARK(BuildMessageView)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    viewer().window.reset();
    return 0;
}

} // namespace velk
