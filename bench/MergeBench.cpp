// SPDX-License-Identifier: GPL-2.0-or-later
// Merging two packets of 100,000 messages each, in three shapes: with index files, without
// them (entries found in MESSAGES.DAT), and with HEADERS.DAT long fields and UTF-8 texts.
// Each iteration times the merge's own work (reading both packets' entries, the message
// file, index files, HEADERS.DAT, control file and the check of the result) and the
// archivers' (two unpackings and the packing) on the same packets. The counter `ratio` is
// the whole merge against the archivers alone; the goal is 1.05 at most.
#include "core/Archiver.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "merge/ControlMerge.h"
#include "merge/PacketMerge.h"
#include "packet/PacketBuilder.h"
#include "packet/PacketControl.h"

#include <QDir>
#include <QElapsedTimer>
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

enum class Shape { Indexed, WithoutIndexFiles, HeadersDat };
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
PacketBuilder makePacket(unsigned seed, const std::string& date, Shape shape) {
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
        if (shape == Shape::HeadersDat) {
            // A board of long names and UTF-8 texts: every message has its section.
            m.headersDat = true;
            m.utf8 = i % 3 == 0;
            m.from = "Zo\xC3\xAB \xC3\x91\xC3\xBA\xC3\xB1"
                     "ez de la Montagne " +
                     std::to_string(i % 500);
            m.subject = "Re: une question assez longue pour d\xC3\xA9passer " + std::to_string(i);
        }
    }
    b.quirks.noIndexFiles = shape == Shape::WithoutIndexFiles;
    b.quirks.noPersonalIndex = shape == Shape::WithoutIndexFiles;
    return b;
}

struct Packets {
    QTemporaryDir root;
    QString baseQwk, integratedQwk;
    QString baseUnpacked, integratedUnpacked, mergedUnpacked;

    explicit Packets(Shape shape) {
        baseQwk = joinPath(root.path(), QStringLiteral("BASE.QWK"));
        integratedQwk = joinPath(root.path(), QStringLiteral("NOUVEAU.QWK"));
        makePacket(1, "02-05-1996", shape).zipTo(baseQwk);
        makePacket(2, "02-06-1996", shape).zipTo(integratedQwk);
        baseUnpacked = unpackFresh(baseQwk, QStringLiteral("base"));
        integratedUnpacked = unpackFresh(integratedQwk, QStringLiteral("integrated"));
        // The merged directory the packing step works on.
        mergedUnpacked = copyOf(baseUnpacked, QStringLiteral("merged"));
        const QString scratch = copyOf(integratedUnpacked, QStringLiteral("scratch"));
        SilentUi ui;
        PacketControl control;
        MergeNotices notices;
        if (!MergePackets(mergedUnpacked, scratch, control, notices, ui))
            std::abort();
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

Packets& packets(Shape shape) {
    static std::unique_ptr<Packets> p;
    static Shape current = Shape::Indexed;
    if (!p || current != shape) {
        p.reset();
        p = std::make_unique<Packets>(shape);
        current = shape;
    }
    return *p;
}

void MergeAgainstArchivers(benchmark::State& state) {
    Packets& p = packets(Shape(state.range(0)));
    SilentUi ui;
    double ownMs = 0, archiversMs = 0;
    for (auto _ : state) {
        const QString base = p.copyOf(p.baseUnpacked, QStringLiteral("tmp1"));
        const QString integrated = p.copyOf(p.integratedUnpacked, QStringLiteral("tmp2"));
        QElapsedTimer t;
        t.start();
        PacketControl control;
        MergeNotices notices;
        if (!MergePackets(base, integrated, control, notices, ui) || ui.prompts != 0)
            state.SkipWithError("the merge stopped");
        ownMs += double(t.nsecsElapsed()) / 1e6;

        p.clear(QStringLiteral("tmp1"));
        p.clear(QStringLiteral("tmp2"));
        QFile::remove(p.dir(QStringLiteral("TMPQWK.QWK")));
        QStringList members;
        for (const QString& f : QDir(p.mergedUnpacked).entryList(QDir::Files))
            members.append(joinPath(p.mergedUnpacked, f));
        t.start();
        if (!unpackArchive(p.baseQwk, p.dir(QStringLiteral("tmp1"))).ok() ||
            !unpackArchive(p.integratedQwk, p.dir(QStringLiteral("tmp2"))).ok() ||
            packFiles(p.dir(QStringLiteral("TMPQWK.QWK")), members) != 0)
            state.SkipWithError("an archiver failed");
        archiversMs += double(t.nsecsElapsed()) / 1e6;
    }
    const double n = double(state.iterations());
    state.counters["own_ms"] = ownMs / n;
    state.counters["archivers_ms"] = archiversMs / n;
    state.counters["ratio"] = (ownMs + archiversMs) / archiversMs;
    state.counters["packets_MB"] =
        double(fileSizeBytes(p.baseQwk) + fileSizeBytes(p.integratedQwk)) / 1e6;
}

BENCHMARK(MergeAgainstArchivers)
    ->Arg(int(Shape::Indexed))
    ->Arg(int(Shape::WithoutIndexFiles))
    ->Arg(int(Shape::HeadersDat))
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

} // namespace velk
