// SPDX-License-Identifier: GPL-2.0-or-later
// Merging two packets of 100,000 messages each: the merge's own work (message file, index
// files, control file) against the archivers' (two unpackings and the packing). The merge's
// own work should stay under a fifth of the archivers' time.
#include "core/Archiver.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "merge/ControlMerge.h"
#include "merge/MergeFiles.h"
#include "packet/PacketBuilder.h"
#include "packet/PacketControl.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

namespace velk {

namespace {

constexpr int kMessages = 100000;
constexpr int kConferences = 40;

// Nothing is asked of the user when both packets come from one board and one user.
class SilentUi : public HeadlessUiServices {
public:
    int prompts = 0;
    void message(const QString&, MessageKind, const QString&) override { ++prompts; }
    bool askYesNo(const QString&, const QString&) override { return ++prompts, false; }
    Answer askYesNoCancel(const QString&, const QString&) override {
        return ++prompts, Answer::Cancel;
    }
};

// A day of echomail: messages of one to a dozen lines of ordinary words, spread over the
// conferences, one in twenty for the user.
PacketBuilder makePacket(unsigned seed, const std::string& date) {
    static const char* words[] = {"bonjour", "le",      "modem",  "fichier", "est",
                                  "sur",     "serveur", "merci",  "pour",    "la",
                                  "reponse", "qwk",     "paquet", "demain",  "ce",
                                  "soir",    "version", "linux",  "message", "avec"};
    std::mt19937 rng(seed);
    PacketBuilder b;
    b.control.packetDate = date;
    for (int c = 0; c < kConferences; ++c)
        b.conference(std::uint16_t(c), "Conference " + std::to_string(c));
    for (int i = 0; i < kMessages; ++i) {
        std::string text;
        const int lines = 1 + int(rng() % 12);
        for (int l = 0; l < lines; ++l) {
            const int count = 4 + int(rng() % 10);
            for (int w = 0; w < count; ++w)
                text += std::string(words[rng() % 20]) + (w + 1 < count ? " " : "\n");
        }
        PacketMessage& m = b.add(std::uint16_t(rng() % kConferences), "Sujet " + std::to_string(i),
                                 std::move(text));
        m.personal = rng() % 20 == 0;
        m.from = "AUTEUR " + std::to_string(rng() % 500);
    }
    return b;
}

struct Packets {
    QTemporaryDir root;
    QString baseQwk, integratedQwk;
    QString baseUnpacked, integratedUnpacked, mergedUnpacked;

    Packets() {
        baseQwk = joinPath(root.path(), "BASE.QWK");
        integratedQwk = joinPath(root.path(), "NOUVEAU.QWK");
        makePacket(1, "02-05-1996").zipTo(baseQwk);
        makePacket(2, "02-06-1996").zipTo(integratedQwk);
        baseUnpacked = unpackFresh(baseQwk, "base");
        integratedUnpacked = unpackFresh(integratedQwk, "integrated");
        // The merged directory the packing step works on.
        mergedUnpacked = copyOf(baseUnpacked, "merged");
        const QString scratch = copyOf(integratedUnpacked, "scratch");
        SilentUi ui;
        PacketControl control;
        MergeNotices notices;
        MergeIndexFiles(mergedUnpacked, scratch, AppendMessageFile(mergedUnpacked, scratch));
        GereControlDat(mergedUnpacked, scratch, control, notices, ui);
    }

    QString dir(const QString& name) const { return joinPath(root.path(), name); }

    void clear(const QString& name) const {
        QDir(dir(name)).removeRecursively();
        QDir().mkpath(dir(name));
    }
    QString unpackFresh(const QString& archive, const QString& name) const {
        clear(name);
        if (!unpackArchive(archive, dir(name)).ok())
            std::abort();
        return dir(name);
    }
    QString copyOf(const QString& from, const QString& name) const {
        clear(name);
        for (const QString& f : QDir(from).entryList(QDir::Files))
            QFile::copy(joinPath(from, f), joinPath(dir(name), f));
        return dir(name);
    }
};

Packets& packets() {
    static Packets p;
    return p;
}

void BM_MergeOwnWork(benchmark::State& state) {
    Packets& p = packets();
    SilentUi ui;
    for (auto _ : state) {
        state.PauseTiming();
        const QString base = p.copyOf(p.baseUnpacked, "tmp1");
        const QString integrated = p.copyOf(p.integratedUnpacked, "tmp2");
        state.ResumeTiming();
        PacketControl control;
        MergeNotices notices;
        const std::int64_t n1 = AppendMessageFile(base, integrated);
        MergeIndexFiles(base, integrated, n1);
        if (!GereControlDat(base, integrated, control, notices, ui) || ui.prompts != 0)
            state.SkipWithError("the control step stopped");
        benchmark::DoNotOptimize(n1);
    }
    state.counters["messages"] = 2.0 * kMessages;
    state.counters["MESSAGES.DAT MB"] =
        double(fileSizeBytes(joinPath(p.baseUnpacked, "MESSAGES.DAT")) +
               fileSizeBytes(joinPath(p.integratedUnpacked, "MESSAGES.DAT"))) /
        1e6;
}

void BM_Archivers(benchmark::State& state) {
    Packets& p = packets();
    for (auto _ : state) {
        state.PauseTiming();
        p.clear("tmp1");
        p.clear("tmp2");
        QFile::remove(p.dir("TMPQWK.QWK"));
        QStringList members;
        for (const QString& f : QDir(p.mergedUnpacked).entryList(QDir::Files))
            members.append(joinPath(p.mergedUnpacked, f));
        state.ResumeTiming();
        if (!unpackArchive(p.baseQwk, p.dir("tmp1")).ok() ||
            !unpackArchive(p.integratedQwk, p.dir("tmp2")).ok() ||
            packFiles(p.dir("TMPQWK.QWK"), members) != 0)
            state.SkipWithError("an archiver failed");
    }
    state.counters["packets MB"] =
        double(fileSizeBytes(p.baseQwk) + fileSizeBytes(p.integratedQwk)) / 1e6;
}

BENCHMARK(BM_MergeOwnWork)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Archivers)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    packets();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace velk
