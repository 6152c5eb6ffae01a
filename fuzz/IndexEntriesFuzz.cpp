// SPDX-License-Identifier: GPL-2.0-or-later
// Index files (*.NDX, PERSONAL.NDX): records of an MBF block number and a byte.
#include "fuzz/FuzzSupport.h"
#include "packet/Mbf.h"
#include "packet/MessageStore.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::int32_t> entries = DecodeIndexEntries(fuzzBytes(data, size));
    if (entries.size() != size / kIndexEntrySize)
        ::abort();
    for (std::size_t i = 0; i + 4 <= size; i += kIndexEntrySize) {
        const std::uint32_t raw = std::uint32_t(data[i]) | std::uint32_t(data[i + 1]) << 8 |
                                  std::uint32_t(data[i + 2]) << 16 |
                                  std::uint32_t(data[i + 3]) << 24;
        MbfToBlockIndex(raw);
    }
    return 0;
}
