// SPDX-License-Identifier: GPL-2.0-or-later
// The four library files: the first byte chooses the file, the rest is its content, loaded
// as at start-up and written back as a save would.
#include "core/ActionGuard.h"
#include "fuzz/FuzzSupport.h"
#include "library/LibraryFile.h"

#include <QFile>

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const LibraryKind kind = LibraryKind(data[0] % 4);
    const QByteArray content = fuzzBytes(data + 1, size - 1);
    for (std::size_t start = 0; start <= std::size_t(content.size()) && start < 64; ++start)
        ExtractEntry(std::string_view(content.constData(), std::size_t(content.size())), start);

    const QString dir = fuzzDirectory();
    QFile f(LibraryPath(dir, kind));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        ::abort();
    f.close();
    HeadlessUiServices ui;
    LibraryState state;
    runAction(ui, [&] {
        if (shown(LoadLibrary(state, kind, dir), ui))
            LibraryFileContent(LibraryList(state, kind), kind);
    });
    return 0;
}
