// SPDX-License-Identifier: GPL-2.0-or-later
// Searching every field and text of a packet of 100,000 messages for a text found nowhere
// (every message read to its end), against reading MESSAGES.DAT once from the page cache.
// Packets: ordinary messages; one author everywhere (the author field matching all but the
// last letter); one message in a hundred of 20,000 characters. Queries: plain letters, and
// an accented capital whose small letter fills the texts (a candidate at every word).
//
// CliAgainstGrep: `velk-cli search` of a zipped packet of 300,000 messages, the conferences
// interleaved in MESSAGES.DAT (each conference's index jumps through the whole file),
// against `unzip -p PACKET MESSAGES.DAT | grep -c TEXT` in the same iterations: the time
// ratio (goal 1.3) and the peak memory of velk-cli (goal 40 MB).
#include "bench/support/BenchPackets.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "mail/PacketSearch.h"
#include "packet/ControlFile.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"

#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

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
        shown(InitQWK(session), ui);
    }
};

const QString kQueries[] = {QStringLiteral("introuvable"), QStringLiteral("CAFÉS")};

void SearchEverything(benchmark::State& state) {
    UnpackedPacket& p = onePacketAtATime<UnpackedPacket>(Shape(state.range(0)));
    std::size_t found = 0;
    for (auto _ : state) {
        const auto hits = searchPacket(p.session, {kQueries[state.range(1)]});
        found = hits.size();
    }
    state.counters["hits"] = double(found);
}
BENCHMARK(SearchEverything)
    ->ArgsProduct({{int(Shape::Ordinary), int(Shape::OneAuthor), int(Shape::HugeTexts)}, {0, 1}})
    ->ArgNames({"shape", "accent"})
    ->Unit(benchmark::kMillisecond);

struct ZippedPacket {
    ConfiguredDirectories dirs;
    QString path;

    explicit ZippedPacket(int messages) {
        Session s;
        dirs.configure(s);
        PacketBuilder b;
        addNumberedConferences(b, kConferences, "Conference ");
        std::string text;
        for (int l = 0; l < 6; ++l)
            text += "Ligne " + std::to_string(l) + " d'un message ordinaire, caf\x82 compris.\n";
        for (int i = 0; i < messages; ++i)
            addSpreadMessage(b, i, kConferences, i % 1000 ? text : text + "Un probl\x8Ame.\n");
        path = joinPath(dirs.dir(QStringLiteral("QWK")), QStringLiteral("VELKTEST.QWK"));
        b.zipTo(path);
    }
};

double runMs(const QString& program, const QStringList& args) {
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(program, args);
    p.waitForFinished(-1);
    return double(t.nsecsElapsed()) / 1e6;
}

// The peak resident memory of one run of the program, read at its exit. getrusage would
// report the benchmark's own peak instead (some 500 MB with the packet built): a child
// inherits its parent's high-water mark until its exec.
double peakMegabytes(const char* program, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            _exit(126);
        raise(SIGSTOP);
        execv(program, argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status))
        return -1;
    ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACEEXIT | PTRACE_O_EXITKILL);
    double peak = -1;
    int passed = 0; // the program's own signals go on to it, the tracing's stops do not
    while (ptrace(PTRACE_CONT, pid, nullptr, passed) == 0 && waitpid(pid, &status, 0) == pid &&
           WIFSTOPPED(status)) {
        passed = WSTOPSIG(status) == SIGTRAP ? 0 : WSTOPSIG(status);
        if (status >> 8 != (SIGTRAP | (PTRACE_EVENT_EXIT << 8)))
            continue;
        std::ifstream proc("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(proc, line);)
            if (line.rfind("VmHWM:", 0) == 0)
                peak = std::stod(line.substr(6)) / 1024.0;
    }
    return peak;
}

void CliAgainstGrep(benchmark::State& state) {
    ZippedPacket& p = onePacketAtATime<ZippedPacket>(300000);
    const QString text =
        state.range(0) ? QStringLiteral("PROBLÈME") : QStringLiteral("introuvable");
    // grep is given the ASCII part of the text, as the DOS bytes hold it.
    const QString grep = QStringLiteral("unzip -p '%1' MESSAGES.DAT | LC_ALL=C grep -c '%2'")
                             .arg(p.path, state.range(0) ? QStringLiteral("Un probl")
                                                         : QStringLiteral("introuvable"));
    double grepMs = 0, cliMs = 0;
    for (auto _ : state) {
        grepMs += runMs(QStringLiteral("sh"), {QStringLiteral("-c"), grep});
        cliMs += runMs(QStringLiteral(VELK_CLI_PATH), {QStringLiteral("search"), p.path, text});
    }
    const double n = double(state.iterations());
    state.counters["grep_ms"] = grepMs / n;
    state.counters["cli_ms"] = cliMs / n;
    state.counters["ratio"] = cliMs / grepMs;
    state.counters["peak_MB"] =
        peakMegabytes(VELK_CLI_PATH, {"search", p.path.toStdString(), text.toStdString()});
}
BENCHMARK(CliAgainstGrep)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
