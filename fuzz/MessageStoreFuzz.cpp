// SPDX-License-Identifier: GPL-2.0-or-later
// MESSAGES.DAT: every block read as a header, the text after it read with the header's own
// block count, and the text decoded for display as the viewer does.
#include "core/ActionGuard.h"
#include "fuzz/FuzzSupport.h"
#include "mail/MessageView.h"
#include "packet/MessageStore.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFile file;
    const QString path = file.hold(fuzzBytes(data, size));
    HeadlessUiServices ui;
    runAction(ui, [&] {
        BlockFile messages(path);
        MessageStoreState store;
        const std::int64_t blocks = std::min<std::int64_t>(messages.blockCount() + 2, 64);
        for (std::int32_t b = -1; b < blocks; ++b) {
            runAction(ui, [&] {
                ReadMessageHeader(messages, b, store).showTo(ui);
                ReadMessageText(messages, b + 1, store.CurrentHeader.blockCount, store);
                decodeMessageBody(store.MessageText);
            });
        }
    });
    return 0;
}
