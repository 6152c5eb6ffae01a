// SPDX-License-Identifier: GPL-2.0-or-later
// The browser's five orders on 50,000-message conferences of the shapes boards send, in
// packets of ordinary messages (4 to 5 blocks each). Goal: any order, any shape, within
// 300 ms from the click to the lines (index and headers read, sorted, lines built). The thread
// order also meets the shapes of answers: one chain as long as the conference, every message
// answering the first, answers at random (loops, missing messages, duplicate numbers), and
// links by HEADERS.DAT identifiers. The window
// itself makes only the lines it draws: see ListBench.
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "packet/ControlFile.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConferenceShapes.h"
#include "tests/support/Reported.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace velk {

namespace {

constexpr int kMessages = 50000;

// One unpacked packet of one conference of the shape; the last one built is kept, so that
// the benchmarks of one shape share it.
enum class ThreadShape { None, Chain, Star, RandomAnswers, Identifiers };

const char* threadShapeName(ThreadShape t) {
    switch (t) {
    case ThreadShape::None:
        return "";
    case ThreadShape::Chain:
        return "chain";
    case ThreadShape::Star:
        return "star";
    case ThreadShape::RandomAnswers:
        return "random-answers";
    case ThreadShape::Identifiers:
        return "identifiers";
    }
    return "?";
}

// The answers of the thread shape, over the numbers the conference shape gave.
void addAnswers(PacketBuilder& b, ThreadShape t) {
    std::mt19937 random(7);
    std::string headers;
    for (std::size_t i = 0; i < b.messageCount(); ++i) {
        PacketMessage& m = b.messageAt(i);
        switch (t) {
        case ThreadShape::None:
            break;
        case ThreadShape::Chain:
            m.reference = i ? b.messageAt(i - 1).number : "";
            break;
        case ThreadShape::Star:
            m.reference = i ? b.messageAt(0).number : "";
            break;
        case ThreadShape::RandomAnswers:
            m.reference = std::to_string(random() % (kMessages + kMessages / 10));
            break;
        case ThreadShape::Identifiers:
            headers += "[" +
                       QString::number(qint64(b.headerBlockIndex(i)) * 128, 16).toStdString() +
                       "]\nMessage-ID: <" + std::to_string(i) + "@velk>\nIn-Reply-To: <" +
                       std::to_string(random() % (i + 1)) + "@velk>\n";
            break;
        }
    }
    b.headersDatText(headers);
}

struct ShapedPacket {
    ConferenceShape shape;
    ThreadShape thread;
    QTemporaryDir dir;
    Session session;
    HeadlessUiServices ui;

    ShapedPacket(ConferenceShape s, ThreadShape t) : shape(s), thread(t) {
        PacketBuilder b;
        b.conference(0, shapeName(s));
        addShapedMessages(b, 0, s, kMessages, 2026, 6);
        addAnswers(b, t);
        b.writeTo(dir.path());
        session.settings.workPath = dir.path();
        shown(InitQWK(session), ui);
        buildConferenceList(session);
    }
};

ShapedPacket& packetOf(ConferenceShape shape, ThreadShape thread = ThreadShape::None) {
    static std::unique_ptr<ShapedPacket> packet;
    if (!packet || packet->shape != shape || packet->thread != thread) {
        packet.reset();
        packet = std::make_unique<ShapedPacket>(shape, thread);
    }
    return *packet;
}

// A click on a conference, or on a sort button of a conference not loaded: index and
// headers read, sorted, lines built.
void ClickToLines(benchmark::State& state, ConferenceShape shape, int order,
                  ThreadShape thread = ThreadShape::None) {
    ShapedPacket& p = packetOf(shape, thread);
    p.session.browser.SortOrder = MessageOrder(order);
    for (auto _ : state) {
        p.session.browser.LoadedConference.reset();
        benchmark::DoNotOptimize(REPORTED_TO(p.ui, listConference(p.session, said, 0)));
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}

// A sort button on the loaded conference: sorted and lines built.
void SortToLines(benchmark::State& state, ConferenceShape shape, int order,
                 ThreadShape thread = ThreadShape::None) {
    ShapedPacket& p = packetOf(shape, thread);
    p.session.browser.SortOrder = MessageOrder(order);
    REPORTED_TO(p.ui, listConference(p.session, said, 0));
    for (auto _ : state)
        benchmark::DoNotOptimize(REPORTED_TO(p.ui, listConference(p.session, said, 0)));
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
            benchmark::DoNotOptimize(REPORTED_TO(p.ui, readListedMessages(messages, index, said)));
        } else {
            MessageStoreState store;
            std::vector<MessageListEntry> entries;
            for (std::int32_t block : index) {
                ReadMessageHeader(messages, block, store).showTo(p.ui);
                entries.push_back(makeListEntry(store.CurrentHeader, block));
            }
            benchmark::DoNotOptimize(entries);
        }
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}

// The number order alone, on 200,000 entries in memory: numbers and days at random, and two
// shapes a hostile packet could send to make the order's paths long (crossing pairs of
// numbers and days, numbers zigzagging on one day), which the order hands to its index walk.
enum class NumberShape { Random, CrossingPairs, Zigzag };

void NumberOrderAlone(benchmark::State& state, NumberShape shape) {
    constexpr std::uint32_t n = 200000;
    std::mt19937 random(2026);
    std::vector<ListedMessage> entries(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        std::uint32_t number = 1 + random() % (3 * n);
        std::int32_t day = 2450000 + std::int32_t(random() % 3650);
        if (shape == NumberShape::CrossingPairs) {
            number = 1000000 + (i % 2 ? i : 2 * n - i);
            day = 2450000 + std::int32_t(i % 2 ? 2 * n - i : i);
        } else if (shape == NumberShape::Zigzag) {
            number = i % 2 ? 1999999 - i / 2 : 1000000 + i / 2;
            day = 2450000;
        }
        const std::string text = std::to_string(number);
        std::copy(text.begin(), text.end(), entries[i].numberBytes.begin());
        entries[i].numberLength = std::uint8_t(text.size());
        if (shape != NumberShape::Random || random() % 40 != 0)
            entries[i].dateValue = day;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(sortedPositions(entries, MessageOrder::Number));
    state.SetItemsProcessed(state.iterations() * n);
}

const char* const kOrders[] = {"numero", "auteur", "destinataire", "sujet", "fil"};

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
        for (int order = 1; order <= 5; ++order) {
            const std::string name = std::string(shapeName(shape)) + "/" + kOrders[order - 1];
            benchmark::RegisterBenchmark(("ClickToLines50k/" + name).c_str(), ClickToLines, shape,
                                         order, ThreadShape::None)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime()
                ->UseRealTime();
            benchmark::RegisterBenchmark(("SortToLines50k/" + name).c_str(), SortToLines, shape,
                                         order, ThreadShape::None)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime()
                ->UseRealTime();
        }
    }
    const std::pair<NumberShape, const char*> numberShapes[] = {
        {NumberShape::Random, "random"},
        {NumberShape::CrossingPairs, "crossing-pairs"},
        {NumberShape::Zigzag, "zigzag"}};
    for (const auto& [shape, name] : numberShapes)
        benchmark::RegisterBenchmark((std::string("NumberOrder200k/") + name).c_str(),
                                     NumberOrderAlone, shape)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
    for (ThreadShape thread : {ThreadShape::Chain, ThreadShape::Star, ThreadShape::RandomAnswers,
                               ThreadShape::Identifiers}) {
        for (ConferenceShape shape : {ConferenceShape::Ascending, ConferenceShape::Random}) {
            const std::string name =
                std::string(shapeName(shape)) + "+" + threadShapeName(thread) + "/fil";
            benchmark::RegisterBenchmark(("ClickToLines50k/" + name).c_str(), ClickToLines, shape,
                                         5, thread)
                ->Unit(benchmark::kMillisecond)
                ->MeasureProcessCPUTime()
                ->UseRealTime();
            benchmark::RegisterBenchmark(("SortToLines50k/" + name).c_str(), SortToLines, shape, 5,
                                         thread)
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
