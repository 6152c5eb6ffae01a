// SPDX-License-Identifier: GPL-2.0-or-later
// What a board says of a message beside its 128-byte header: the input read whole as
// HEADERS.DAT, then as a header block and the text after it, whose QWKE kludge lines are
// applied before the sections of that HEADERS.DAT.
#include "fuzz/FuzzSupport.h"
#include "packet/HeaderExtensions.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace velk;

namespace {

void checkLongFields(const LongFields& f) {
    for (const std::string* value : {&f.recipient, &f.author, &f.subject}) {
        if (value->size() > kLongFieldWidth)
            ::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const HeadersFile headers = parseHeadersFile(input);

    Block block;
    block.fill(' ');
    std::memcpy(block.data(), data, std::min(size, kBlockSize));
    MessageHeader header = parseHeaderBlock(block);
    std::string text(input.substr(std::min(size, kBlockSize)));
    const std::string before = text;
    applyKludgeLines(header, text);
    // Lines leave the text only when they gave the header a long field.
    const LongFields& f = header.longFields;
    if (text.size() > before.size() ||
        (text != before && f.recipient.empty() && f.author.empty() && f.subject.empty()))
        ::abort();
    checkLongFields(header.longFields);
    for (const auto& [offset, section] : headers.sections) {
        if (offset < 0)
            ::abort();
        applyHeaderSection(header, section);
        checkLongFields(header.longFields);
    }
    messageCharacters(header, fullSubject(header));
    messageCharacters(header, text);
    return 0;
}
