// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "packet/MessageStore.h"
#include "packet/PacketBuilder.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace velk {

namespace {

constexpr int kMessages = 100000;
constexpr int kConferences = 10;

// One unpacked packet of 100,000 messages, shared by every benchmark.
struct BigPacket {
    QTemporaryDir dir;
    std::vector<QString> indexFiles;
    std::int32_t longMessage = 0;

    BigPacket() {
        PacketBuilder b;
        for (int c = 0; c < kConferences; ++c)
            b.conference(std::uint16_t(c), "Conference " + std::to_string(c));
        for (int i = 0; i < kMessages; ++i) {
            std::string text = "Message " + std::to_string(i) + "\n> une citation\nLa suite\n";
            if (i % 7 == 0)
                text += std::string(300, 'x') + "\n";
            b.add(std::uint16_t(i % kConferences), "Sujet " + std::to_string(i), text);
        }
        // One long message: 500 lines of 60 characters (about 240 blocks).
        std::string text;
        for (int l = 0; l < 500; ++l)
            text += std::string(60, char('a' + l % 26)) + "\n";
        b.add(0, "Long", text);
        longMessage = b.headerBlockIndex(b.messageCount() - 1);
        b.writeTo(dir.path());
        for (int c = 0; c < kConferences; ++c)
            indexFiles.push_back(joinPath(dir.path(), b.indexName(std::uint16_t(c))));
    }
};

BigPacket& packet() {
    static BigPacket p;
    return p;
}

void DecodeIndexEntries100k(benchmark::State& state) {
    QByteArray data;
    for (int i = 0; i < kMessages; ++i)
        data += QByteArray::fromStdString(indexRecord(std::uint32_t(2 + 3 * i), 0));
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeIndexEntries(data));
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(DecodeIndexEntries100k)->Unit(benchmark::kMillisecond);

// Every index file read and every header read through `read`.
template <class Read> void readAllHeaders(benchmark::State& state, const BigPacket& p, Read read) {
    MessageStoreState store;
    HeadlessUiServices ui;
    for (auto _ : state) {
        for (const QString& index : p.indexFiles) {
            for (std::int32_t block : ReadIndexFile(index))
                read(block, store, ui);
        }
        benchmark::DoNotOptimize(store.CurrentHeader);
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}

// The message file opened once for all.
void ReadAllHeaders100k(benchmark::State& state) {
    BigPacket& p = packet();
    BlockFile messages(messagesFilePath(p.dir.path()));
    readAllHeaders(state, p, [&](std::int32_t block, MessageStoreState& store, UiServices& ui) {
        ReadMessageHeader(messages, block, store).showTo(ui);
    });
}
BENCHMARK(ReadAllHeaders100k)->Unit(benchmark::kMillisecond);

// Each header read opening and closing the message file by its directory.
void ReadAllHeadersByPath100k(benchmark::State& state) {
    BigPacket& p = packet();
    readAllHeaders(state, p, [&](std::int32_t block, MessageStoreState& store, UiServices& ui) {
        ReadMessageHeader(p.dir.path(), block, store).showTo(ui);
    });
}
BENCHMARK(ReadAllHeadersByPath100k)->Unit(benchmark::kMillisecond);

void ReadOneMessageText(benchmark::State& state) {
    BigPacket& p = packet();
    MessageStoreState store;
    HeadlessUiServices ui;
    const std::int32_t block = state.range(0) ? p.longMessage : 1;
    for (auto _ : state) {
        ReadMessageHeader(p.dir.path(), block, store).showTo(ui);
        ReadMessageText(p.dir.path(), block + 1, store.CurrentHeader.blockCount, store);
        benchmark::DoNotOptimize(store.MessageText);
    }
    state.SetLabel(std::to_string(store.MessageText.size()) + " bytes");
}
BENCHMARK(ReadOneMessageText)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace velk

BENCHMARK_MAIN();
