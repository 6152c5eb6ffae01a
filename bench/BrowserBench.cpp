// SPDX-License-Identifier: GPL-2.0-or-later
// The browser's four orders on 50,000-message conferences of the shapes boards send, in
// packets of ordinary messages (4 to 5 blocks each). Goal: any order, any shape, within
// 300 ms from the click to the lines (index and headers read, sorted, lines built).
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConferenceShapes.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kMessages = 50000;

// One unpacked packet of one conference of the shape; the last one built is kept, so that
// the benchmarks of one shape share it.
struct ShapedPacket {
    ConferenceShape shape;
    QTemporaryDir dir;
    Session session;
    HeadlessUiServices ui;

    explicit ShapedPacket(ConferenceShape s) : shape(s) {
        PacketBuilder b;
        b.conference(0, shapeName(s));
        addShapedMessages(b, 0, s, kMessages, 2026, 6);
        b.writeTo(dir.path());
        session.settings.workPath = dir.path();
        InitQWK(session, ui);
        buildConferenceList(session);
    }
};

ShapedPacket& packetOf(ConferenceShape shape) {
    static std::unique_ptr<ShapedPacket> packet;
    if (!packet || packet->shape != shape) {
        packet.reset();
        packet = std::make_unique<ShapedPacket>(shape);
    }
    return *packet;
}

// A click on a conference, or on a sort button of a conference not loaded: index and
// headers read, sorted, lines built.
void ClickToLines(benchmark::State& state, ConferenceShape shape, int order) {
    ShapedPacket& p = packetOf(shape);
    p.session.browser.SortOrder = MessageOrder(order);
    for (auto _ : state) {
        p.session.browser.LoadedConference.reset();
        benchmark::DoNotOptimize(listConference(p.session, p.ui, 0));
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}

// A sort button on the loaded conference: sorted and lines built.
void SortToLines(benchmark::State& state, ConferenceShape shape, int order) {
    ShapedPacket& p = packetOf(shape);
    p.session.browser.SortOrder = MessageOrder(order);
    listConference(p.session, p.ui, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(listConference(p.session, p.ui, 0));
    state.SetItemsProcessed(state.iterations() * kMessages);
}

const char* const kOrders[] = {"numero", "auteur", "destinataire", "sujet"};

const bool registered = [] {
    for (ConferenceShape shape : kConferenceShapes) {
        for (int order = 1; order <= 4; ++order) {
            const std::string name = std::string(shapeName(shape)) + "/" + kOrders[order - 1];
            benchmark::RegisterBenchmark(("ClickToLines50k/" + name).c_str(), ClickToLines, shape,
                                         order)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime()
                ->UseRealTime();
            benchmark::RegisterBenchmark(("SortToLines50k/" + name).c_str(), SortToLines, shape,
                                         order)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime()
                ->UseRealTime();
        }
    }
    return true;
}();

} // namespace

BENCHMARK_MAIN();
