// SPDX-License-Identifier: GPL-2.0-or-later
// The central directory of an archive, read before anything is unpacked.
#include "core/ZipDirectory.h"
#include "fuzz/FuzzSupport.h"

#include <QBuffer>

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes = fuzzBytes(data, size);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const ZipReadResult r = readZipDirectory(buffer);
    if (r.listing) {
        for (const ZipMember& m : r.listing->members) {
            if (m.size > r.listing->totalSize)
                ::abort();
        }
    }
    return 0;
}
