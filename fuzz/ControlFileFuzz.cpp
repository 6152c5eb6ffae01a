// SPDX-License-Identifier: GPL-2.0-or-later
// CONTROL.DAT as the packet window and the merge read it, and the bulletin names' sort.
#include "core/ActionGuard.h"
#include "fuzz/FuzzSupport.h"
#include "merge/ControlMerge.h"
#include "packet/ControlFile.h"

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzzBytes(data, size);
    HeadlessUiServices ui;
    const std::vector<std::string> lines = splitTextLines(bytes);
    runAction(ui, [&] {
        PacketControl control;
        parseControlLines(lines, control).showTo(ui);
        if (control.ConferenceCount != std::int32_t(control.Conferences.size()) ||
            control.ConferenceCount > kMaxConferences)
            ::abort();
        // An accepted identifier names one plain file, the same each time it is asked.
        if (bbsIdProblem(control.BbsId).isEmpty()) {
            const QString name = boardFileName(control.BbsId, BoardFile::ReplyFile);
            if (name.contains(QLatin1Char('/')) ||
                name != boardFileName(control.BbsId, BoardFile::ReplyFile) ||
                QString::fromUtf8(name.toUtf8()) != name)
                ::abort();
        }
    });
    runAction(ui, [&] { readMergeControlData(lines); });
    for (const bool afterDot : {true, false}) {
        if (sortBulletins(lines, afterDot).size() != lines.size())
            ::abort();
    }
    return 0;
}
