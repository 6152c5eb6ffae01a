// SPDX-License-Identifier: GPL-2.0-or-later
// Exporting an unpacked packet of 100,000 messages to mbox and to JSON (goal: 120 MB/s of
// output, MB_s, for each shape and format):
// ordinary DOS messages; UTF-8 messages whose long names and subjects come from HEADERS.DAT
// (every header encoded); and the worst case, 100,000 messages of 3.5 KB each, half their
// lines starting with "From ".
#include "bench/support/BenchPackets.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "mail/PacketExport.h"
#include "packet/IndexFiles.h"
#include "packet/PacketBuilder.h"
#include "packet/PacketOpening.h"
#include "packet/PacketSession.h"
#include "tests/support/Reported.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

#include <time.h>

namespace velk {

namespace {

constexpr int kMessages = 100000;
constexpr int kConferences = 20;

enum Shape { Ordinary, Utf8LongFields, HugeTexts };

struct UnpackedPacket {
    QTemporaryDir work, out;
    PacketSession session;
    std::vector<IndexFileEntry> indexFiles;

    explicit UnpackedPacket(Shape shape) {
        PacketBuilder b;
        addNumberedConferences(b, kConferences, "Conf\x82rence ");
        std::string text;
        const int lines = shape == HugeTexts ? 64 : 6;
        for (int l = 0; l < lines; ++l) {
            text += l % 2 && shape == HugeTexts ? "From " : "";
            text += shape == Utf8LongFields ? "Ligne " + std::to_string(l) +
                                                  " d'un message \xC3\xA0 accents \xE2\x82\xAC, "
                                                  "assez longue pour remplir un bloc.\n"
                                            : "Ligne " + std::to_string(l) +
                                                  " d'un message ordinaire \x85 remplir un bloc.\n";
        }
        for (int i = 0; i < kMessages; ++i) {
            PacketMessage& m = addSpreadMessage(b, i, kConferences, text);
            m.reference = std::to_string(i / 2);
            if (shape == Utf8LongFields) {
                m.from = "Fran\xC3\xA7oise \xC3\x89l\xC3\xA9onore de la Fontaine-Dupr\xC3\xA9";
                m.subject = "Re: un sujet \xC3\xA0 rallonge " + std::to_string(i % 300) +
                            " qui d\xC3\xA9passe vingt-cinq";
                m.headersDat = true;
                m.utf8 = true;
            }
        }
        b.writeTo(work.path());
        session.settings.workPath = work.path();
        HeadlessUiServices ui;
        if (!shown(loadUnpackedPacket(session), ui))
            throw std::runtime_error("the packet did not load");
        indexFiles = findIndexFiles(work.path(), session.packet);
    }
};

void Export(benchmark::State& state) {
    // One packet at a time: the largest is some 400 MB.
    UnpackedPacket& p = onePacketAtATime<UnpackedPacket>(Shape(state.range(0)));
    const auto format = ExportFormat(state.range(1));
    const QString path = joinPath(p.out.path(), QStringLiteral("export"));
    const QString copy = joinPath(p.out.path(), QStringLiteral("copy"));
    HeadlessUiServices ui;
    std::size_t count = 0;
    double exportNs = 0, copyNs = 0, cpuNs = 0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        timespec cpu0{}, cpu1{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
        count = REPORTED_TO(
            ui, exportPacket(p.session, p.indexFiles, std::nullopt, {{format, path}}, said));
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu1);
        exportNs += double(t.nsecsElapsed());
        cpuNs += double(cpu1.tv_sec - cpu0.tv_sec) * 1e9 + double(cpu1.tv_nsec - cpu0.tv_nsec);
        // The same bytes written as plainly as the disk takes them, by megabytes, made safe
        // the same way: what "disk speed" means on this machine at this moment.
        state.PauseTiming();
        const QByteArray data = readWholeFile(path);
        state.ResumeTiming();
        t.start();
        AtomicFileWriter out(copy);
        for (qsizetype at = 0; at < data.size(); at += 1 << 20)
            out.write(data.mid(at, 1 << 20));
        out.commit();
        copyNs += double(t.nsecsElapsed());
    }
    if (count != std::size_t(kMessages))
        state.SkipWithError("not every message was exported");
    const double mb = double(QFileInfo(path).size()) / 1e6;
    const double n = double(state.iterations());
    state.counters["MB"] = mb;
    // Output written per second (the goal is 120), that of the copy, and of the processor
    // time alone, which the disk does not bound.
    state.counters["MB_s"] = mb * n / (exportNs / 1e9);
    state.counters["copy_MB_s"] = mb * n / (copyNs / 1e9);
    state.counters["cpu_MB_s"] = mb * n / (cpuNs / 1e9);
}
BENCHMARK(Export)
    ->ArgsProduct({{Ordinary, Utf8LongFields, HugeTexts},
                   {int(ExportFormat::Mbox), int(ExportFormat::Json)}})
    ->ArgNames({"shape", "json"})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

} // namespace velk
