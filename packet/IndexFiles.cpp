// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/IndexFiles.h"

#include "core/CodePage.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "packet/MessageStore.h"

#include <algorithm>

std::vector<IndexFileEntry> findIndexFiles(const QString& workPath, const PacketControl& control) {
    std::vector<IndexFileEntry> found;
    for (const QString& name : findFiles(workPath, QStringLiteral("*.NDX"))) {
        if (name.compare(QLatin1String("PERSONAL.NDX"), Qt::CaseInsensitive) == 0)
            continue;
        const std::string dos = unicodeToDos(name);
        const auto number = parseWholeNumber(TrimRight(dos.substr(0, dos.find('.'))));
        if (!number || *number < 0 || *number > 0xFFFF)
            continue;
        IndexFileEntry e;
        e.fileName = dos;
        for (int p = 0; p < control.ConferenceCount && p < int(control.Conferences.size()); ++p) {
            if (control.Conferences[std::size_t(p)].ConferenceNumber == *number) {
                e.conferencePosition = p;
                break;
            }
        }
        e.messageCount =
            std::int32_t(FileSizeBytes(joinPath(workPath, name)) / std::int64_t(kIndexEntrySize));
        found.push_back(std::move(e));
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const IndexFileEntry& a, const IndexFileEntry& b) {
                         const unsigned pa = unsigned(a.conferencePosition); // -1 sorts last
                         const unsigned pb = unsigned(b.conferencePosition);
                         return pa < pb;
                     });
    return found;
}

const IndexFileEntry* indexFileOf(const std::vector<IndexFileEntry>& files, int position) {
    for (const IndexFileEntry& e : files) {
        if (e.conferencePosition == position)
            return &e;
    }
    return nullptr;
}

std::vector<std::int32_t> readPersonalIndex(const QString& workPath) {
    const auto path = findFileNoCase(workPath, QStringLiteral("PERSONAL.NDX"));
    return path ? ReadIndexFile(*path) : std::vector<std::int32_t>{};
}
