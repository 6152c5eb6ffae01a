// SPDX-License-Identifier: GPL-2.0-or-later
// The reply file: its table of messages, then each message's header and text.
#include "core/ActionGuard.h"
#include "fuzz/FuzzSupport.h"
#include "packet/MessageStore.h"
#include "reply/ReplyFile.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile file;
    const QString path = file.hold(fuzzBytes(data, size));
    HeadlessUiServices ui;
    runAction(ui, [&] {
        const std::vector<ReplyTableEntry> table = ListReplyFile(path);
        MessageStoreState store;
        for (std::size_t i = 0; i < table.size() && i < 64; ++i) {
            runAction(ui, [&] {
                ReadReplyHeader(path, table[i].headerRecord, store);
                ReadReplyText(path, table[i].headerRecord + 1, store.CurrentHeader.blockCount,
                              store);
            });
        }
    });
    return 0;
}
