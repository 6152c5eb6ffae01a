// SPDX-License-Identifier: GPL-2.0-or-later
// Searching every field and text of a packet of 100,000 messages for a text found nowhere
// (every message read to its end), against reading MESSAGES.DAT once from the page cache.
// Packets: ordinary messages; one author everywhere (the author field matching all but the
// last letter); one message in a hundred of 20,000 characters.
#include "bench/support/BenchPackets.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "mail/PacketSearch.h"
#include "packet/ControlFile.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace velk {

namespace {

constexpr int kMessages = 100000;
constexpr int kConferences = 20;

enum class Shape { Ordinary, OneAuthor, HugeTexts };

struct UnpackedPacket {
    ConfiguredDirectories dirs;
    Session session;
    HeadlessUiServices ui;

    explicit UnpackedPacket(Shape shape) {
        dirs.configure(session);
        PacketBuilder b;
        addNumberedConferences(b, kConferences, "Conference ");
        std::string text;
        for (int l = 0; l < 6; ++l)
            text += "Ligne " + std::to_string(l) + " d'un message ordinaire, caf\x82 compris.\n";
        const std::string huge = std::string(20000, 'x') + "\n";
        for (int i = 0; i < kMessages; ++i) {
            const bool big = shape == Shape::HugeTexts && i % 100 == 0;
            PacketMessage& m = addSpreadMessage(b, i, kConferences, big ? huge : text);
            m.from = shape == Shape::OneAuthor ? "INTROUVABL" : "AUTEUR " + std::to_string(i % 97);
        }
        b.writeTo(session.settings.workPath);
        InitQWK(session, ui);
    }
};

void SearchEverything(benchmark::State& state) {
    UnpackedPacket& p = onePacketAtATime<UnpackedPacket>(Shape(state.range(0)));
    std::size_t found = 0;
    for (auto _ : state) {
        const auto hits = searchPacket(p.session, {QStringLiteral("introuvable")});
        found = hits.size();
    }
    state.counters["hits"] = double(found);
}
BENCHMARK(SearchEverything)
    ->Arg(int(Shape::Ordinary))
    ->Arg(int(Shape::OneAuthor))
    ->Arg(int(Shape::HugeTexts))
    ->Unit(benchmark::kMillisecond);

void ReadMessagesOnce(benchmark::State& state) {
    UnpackedPacket& p = onePacketAtATime<UnpackedPacket>(Shape(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(readWholeFile(messagesFilePath(p.session.settings.workPath)));
}
BENCHMARK(ReadMessagesOnce)
    ->Arg(int(Shape::Ordinary))
    ->Arg(int(Shape::HugeTexts))
    ->Unit(benchmark::kMillisecond);

} // namespace

} // namespace velk
