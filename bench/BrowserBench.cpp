// SPDX-License-Identifier: GPL-2.0-or-later
// The browser's four orders on 50,000-message conferences of the shapes boards send, in
// packets of ordinary messages (4 to 5 blocks each). Goal: any order, any shape, within
// 300 ms from the click to the lines (index and headers read, sorted, lines built). The
// window itself makes only the lines it draws: see ListBench.
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "packet/ControlFile.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConferenceShapes.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace velk {

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
        shown(InitQWK(session), ui);
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

// The headers of the conference as the browser and the sorted velk-cli list read them: once,
// in file order, in large pieces; beside the former way, one read (and its read-ahead) per
// header in index order.
void ReadHeaders(benchmark::State& state, ConferenceShape shape, bool inFileOrder) {
    ShapedPacket& p = packetOf(shape);
    const std::vector<std::int32_t> index =
        readConferenceIndex(p.session.settings.workPath, p.session.packet.indexFiles[0]);
    for (auto _ : state) {
        BlockFile messages(messagesFilePath(p.session.settings.workPath));
        if (inFileOrder) {
            benchmark::DoNotOptimize(readListedMessages(messages, index, p.ui));
        } else {
            MessageStoreState store;
            std::vector<MessageListEntry> entries;
            for (std::int32_t block : index) {
                ReadMessageHeader(messages, block, store, p.ui);
                entries.push_back(makeListEntry(store.CurrentHeader, block));
            }
            benchmark::DoNotOptimize(entries);
        }
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}

const char* const kOrders[] = {"numero", "auteur", "destinataire", "sujet"};

const bool registered = [] {
    for (ConferenceShape shape : {ConferenceShape::NewestFirst, ConferenceShape::Random}) {
        for (bool inFileOrder : {true, false}) {
            benchmark::RegisterBenchmark(
                (std::string("ReadHeaders50k/") + shapeName(shape) +
                 (inFileOrder ? "/once-in-file-order" : "/one-read-per-header"))
                    .c_str(),
                ReadHeaders, shape, inFileOrder)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime()
                ->UseRealTime();
        }
    }
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

} // namespace velk

BENCHMARK_MAIN();
