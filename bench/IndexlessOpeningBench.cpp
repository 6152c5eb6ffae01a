// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/Archiver.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "mail/Browser.h"
#include "packet/ControlFile.h"
#include "packet/IndexFiles.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/Reported.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace velk {

// Opening a packet of 100,000 messages up to the first conference on screen: unpacking,
// the control file, the conference list and the first conference's messages. A packet
// without index files (and without PERSONAL.NDX) has its index built from MESSAGES.DAT;
// the same packet with them is the measure it is compared with.

namespace {

constexpr int kMessages = 100000;
constexpr int kConferences = 10;

enum class Texts {
    Mixed,    // three lines, one in seven with a line of 300 characters
    OneBlock, // headers alone: the most headers per byte the pass can meet
    Huge,     // one in a hundred of 20,000 characters
};

struct Packets {
    QTemporaryDir dir;
    QString path(Texts texts, bool indexed) const {
        return joinPath(dir.path(), QStringLiteral("P%1%2.QWK")
                                        .arg(int(texts))
                                        .arg(indexed ? QStringLiteral("I") : QStringLiteral("N")));
    }
    Packets() {
        for (Texts texts : {Texts::Mixed, Texts::OneBlock, Texts::Huge}) {
            PacketBuilder b;
            b.control.userName = "JEAN DUPONT";
            for (int c = 0; c < kConferences; ++c)
                b.conference(std::uint16_t(c), "Conference " + std::to_string(c));
            for (int i = 0; i < kMessages; ++i) {
                std::string text = "Message " + std::to_string(i) + "\n> une citation\nLa suite\n";
                if (texts == Texts::Mixed && i % 7 == 0)
                    text += std::string(300, 'x') + "\n";
                if (texts == Texts::Huge && i % 100 == 0)
                    text += std::string(20000, 'y') + "\n";
                PacketMessage& m =
                    b.add(std::uint16_t(i % kConferences), "Sujet " + std::to_string(i), text);
                m.oneBlock = texts == Texts::OneBlock;
                m.to = i % 50 == 0 ? "JEAN DUPONT" : "ALL";
                m.personal = i % 50 == 0;
            }
            b.zipTo(path(texts, true));
            b.quirks.noIndexFiles = true;
            b.quirks.noPersonalIndex = true;
            b.zipTo(path(texts, false));
        }
    }
};

Packets& packets() {
    static Packets p;
    return p;
}

void OpenPacket(benchmark::State& state) {
    const auto texts = Texts(state.range(0));
    const bool indexed = state.range(1) != 0;
    const QString packet = packets().path(texts, indexed);
    HeadlessUiServices ui;
    std::size_t listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto work = std::make_unique<QTemporaryDir>();
        auto session = std::make_unique<Session>();
        session->settings.workPath = work->path();
        state.ResumeTiming();

        if (!unpackArchive(packet, work->path()).ok() || !shown(InitQWK(*session), ui)) {
            state.SkipWithError("the packet did not open");
            break;
        }
        buildConferenceList(*session);
        listed = REPORTED_TO(ui, listConference(*session, said, 0)).size();

        state.PauseTiming();
        session.reset();
        work.reset();
        state.ResumeTiming();
    }
    state.SetLabel(std::string(indexed ? "index files, " : "index built, ") +
                   std::to_string(listed) + " listed");
}
BENCHMARK(OpenPacket)
    ->ArgsProduct({{int(Texts::Mixed), int(Texts::OneBlock), int(Texts::Huge)}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

// The pass over MESSAGES.DAT alone, on an unpacked packet.
void ScanMessagesFile(benchmark::State& state) {
    const auto texts = Texts(state.range(0));
    QTemporaryDir work;
    if (!unpackArchive(packets().path(texts, false), work.path()).ok()) {
        state.SkipWithError("the packet did not unpack");
        return;
    }
    const QString messages = joinPath(work.path(), QStringLiteral("MESSAGES.DAT"));
    std::size_t personal = 0;
    for (auto _ : state)
        personal = scanMessagesFile(messages, "JEAN DUPONT").personal.size();
    state.SetLabel(std::to_string(personal) + " personal");
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(ScanMessagesFile)
    ->Arg(int(Texts::Mixed))
    ->Arg(int(Texts::OneBlock))
    ->Arg(int(Texts::Huge))
    ->Unit(benchmark::kMillisecond);

} // namespace

} // namespace velk

BENCHMARK_MAIN();
