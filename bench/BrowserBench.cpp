// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "packet/ControlFile.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"

#include <QDate>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kMessages = 10000;

// One unpacked packet whose conference holds 10,000 messages: numbers growing with the
// dates, about thirty a day, 50 authors and 300 subjects in turn.
struct BigConference {
    QTemporaryDir dir;
    Session session;
    HeadlessUiServices ui;

    BigConference() {
        PacketBuilder b;
        b.conference(0, "Principal");
        const QDate first(1996, 1, 1);
        for (int i = 0; i < kMessages; ++i) {
            PacketMessage& m = b.add(0, "Sujet " + std::to_string((i * 7) % 300), "Texte\n");
            m.number = std::to_string(i + 1);
            m.date = first.addDays(i / 30).toString(QStringLiteral("MM-dd-yy")).toStdString();
            m.from = "AUTEUR " + std::to_string((i * 13) % 50);
            m.to = "DESTINATAIRE " + std::to_string((i * 17) % 40);
        }
        b.writeTo(dir.path());
        session.settings.workPath = dir.path();
        InitQWK(session, ui);
        buildConferenceList(session);
    }
};

BigConference& conference() {
    static BigConference c;
    return c;
}

// The index read and every header read through one open message file.
void LoadConference10k(benchmark::State& state) {
    BigConference& c = conference();
    for (auto _ : state) {
        loadConference(c.session, c.ui, 0);
        benchmark::DoNotOptimize(c.session.browser.MessageList.data());
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(LoadConference10k)->Unit(benchmark::kMillisecond);

// Sorting the loaded conference and building its lines, in each order.
void SortConference10k(benchmark::State& state) {
    BigConference& c = conference();
    loadConference(c.session, c.ui, 0);
    c.session.browser.SortOrder = std::uint16_t(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(listConference(c.session, c.ui, 0));
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(SortConference10k)->DenseRange(1, 4)->Unit(benchmark::kMillisecond);

// What a click on a conference costs: loading and listing in the number order.
void LoadAndListConference10k(benchmark::State& state) {
    BigConference& c = conference();
    c.session.browser.SortOrder = 1;
    for (auto _ : state) {
        c.session.browser.LoadedConference = kNoConferenceLoaded;
        benchmark::DoNotOptimize(listConference(c.session, c.ui, 0));
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(LoadAndListConference10k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
