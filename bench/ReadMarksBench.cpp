// SPDX-License-Identifier: GPL-2.0-or-later
// A board's read marks: loading the file of 10,000 to 1,000,000 remembered messages as the
// browser does on first use (goal: 1,000,000 in 50 ms), writing it whole, and the cost on
// disk (counter bytes_per_message, goal at most 16); and the unread count of every
// conference of a packet of 100,000 messages, which the browser shows as it opens.
#include "bench/support/BenchPackets.h"
#include "board/BoardMarks.h"
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "mail/ReadingState.h"
#include "packet/ControlFile.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/Reported.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>

namespace velk {

namespace {

constexpr int kConferences = 50;

// A board whose messages are spread over the conferences, every tenth "à suivre".
struct MarkedBoard {
    ConfiguredDirectories dirs;
    Session session;

    explicit MarkedBoard(int messages) {
        dirs.configure(session);
        session.packet.control.BbsId = "BENCH";
        HeadlessUiServices ui;
        ReadMarks& marks = REPORTED_TO(ui, boardMarks(session, said));
        for (int i = 0; i < messages; ++i)
            marks.setMark({std::uint16_t(i % kConferences), std::uint32_t(100000 + i)},
                          i % 10 == 0 ? ReadMark::Followed : ReadMark::Read);
        saveBoardMarks(session);
    }
};

MarkedBoard& board(int messages) {
    static std::unique_ptr<MarkedBoard> b;
    static int current = 0;
    if (!b || current != messages) {
        b.reset();
        b = std::make_unique<MarkedBoard>(messages);
        current = messages;
    }
    return *b;
}

void BM_LoadMarks(benchmark::State& state) {
    MarkedBoard& b = board(int(state.range(0)));
    HeadlessUiServices ui;
    std::size_t remembered = 0;
    for (auto _ : state) {
        b.session.board = BoardState();
        remembered = REPORTED_TO(ui, boardMarks(b.session, said)).remembered();
        benchmark::DoNotOptimize(remembered);
    }
    if (remembered != std::size_t(state.range(0)))
        state.SkipWithError("marks lost");
    state.counters["bytes_per_message"] =
        double(QFileInfo(b.session.board.marksPath).size()) / double(state.range(0));
}
BENCHMARK(BM_LoadMarks)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One mark changed, then the whole file written through its temporary and rename.
void BM_SaveMarks(benchmark::State& state) {
    MarkedBoard& b = board(int(state.range(0)));
    HeadlessUiServices ui;
    std::uint32_t n = 0;
    for (auto _ : state) {
        REPORTED_TO(ui, boardMarks(b.session, said))
            .setMark({7, 900000}, n++ % 2 ? ReadMark::Read : ReadMark::Followed);
        saveBoardMarks(b.session);
    }
}
BENCHMARK(BM_SaveMarks)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_UnreadCounts(benchmark::State& state) {
    ConfiguredDirectories dirs;
    Session s;
    dirs.configure(s);
    PacketBuilder b;
    addNumberedConferences(b, 20, "Conference ");
    for (int i = 0; i < state.range(0); ++i)
        addSpreadMessage(b, i, 20, "Un message.\n");
    b.writeTo(s.settings.workPath);
    HeadlessUiServices ui;
    shown(InitQWK(s), ui);
    buildConferenceList(s);
    for (int i = 0; i < state.range(0); i += 2)
        REPORTED_TO(ui, boardMarks(s, said))
            .setMark({std::uint16_t(i % 20), std::uint32_t(i + 1)}, ReadMark::Read);
    std::int64_t unread = 0;
    for (auto _ : state) {
        unread = 0;
        for (std::int32_t n : REPORTED_TO(ui, unreadCounts(s, said)))
            unread += n;
    }
    if (unread != state.range(0) / 2)
        state.SkipWithError("wrong count");
}
BENCHMARK(BM_UnreadCounts)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace velk
