// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryEditing.h"

#include "core/Diagnostics.h"
#include "library/LibraryText.h"

#include <algorithm>

namespace velk {

int EditorMapSize(LibraryKind kind) {
    return LibraryReadLimit(kind) + 1;
}

int EditorTextLimit(LibraryKind kind) {
    return kind == LibraryKind::Taglines || kind == LibraryKind::Correspondents ? 80 : 0;
}

bool EditorHasDefault(LibraryKind kind) {
    return kind != LibraryKind::Correspondents;
}

QString LastEntryDeletedMessage(LibraryKind kind) {
    switch (kind) {
    case LibraryKind::Headers:
        return QStringLiteral("Vous venez d'effacer le dernier entête");
    case LibraryKind::Footers:
        return QStringLiteral("Vous venez d'effacer le dernier pied de page");
    case LibraryKind::Taglines:
        return QStringLiteral("Vous venez d'effacer la derniere TagLine");
    case LibraryKind::Correspondents:
        break;
    }
    return QStringLiteral("Vous venez d'effacer votre dernier correspondant");
}

QString LibraryFullMessage(LibraryKind kind) {
    QString what;
    switch (kind) {
    case LibraryKind::Headers:
        what = QStringLiteral("entêtes");
        break;
    case LibraryKind::Footers:
        what = QStringLiteral("pieds de page");
        break;
    case LibraryKind::Taglines:
        what = QStringLiteral("taglines");
        break;
    case LibraryKind::Correspondents:
        what = QStringLiteral("correspondants");
        break;
    }
    return QStringLiteral("VELK ne supporte pas plus de ") +
           QString::number(LibraryReadLimit(kind)) + QLatin1Char(' ') + what + QLatin1Char('.');
}

std::vector<std::string> LibraryEditing::rebuildMap() {
    map_.clear();
    std::vector<std::string> items;
    const std::vector<LibraryEntry>& entries = list();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].deleted)
            continue;
        items.push_back(firstLine(entries[i].text, 28));
        map_.push_back(int(i));
    }
    return items;
}

std::optional<int> LibraryEditing::tableIndexAt(int position) const {
    if (position < 0 || position >= int(map_.size()))
        return std::nullopt;
    return map_[std::size_t(position)];
}

std::optional<int> LibraryEditing::positionOf(int tableIndex) const {
    const auto it = std::find(map_.begin(), map_.end(), tableIndex);
    if (it == map_.end())
        return std::nullopt;
    return int(it - map_.begin());
}

LibraryEditing::Shown LibraryEditing::select(int position) {
    Shown shown;
    const std::optional<int> index = tableIndexAt(position);
    // An empty library shows nothing; what is typed then goes to a new entry.
    current_ = index ? position : -1;
    if (!index)
        return shown;
    const LibraryEntry& entry = list()[std::size_t(*index)];
    shown.lines = entryLines(entry.text);
    shown.isDefault = EditorHasDefault(kind_) && entry.isDefault;
    return shown;
}

void LibraryEditing::keepCurrent(const std::vector<std::string>& lines, bool isDefault) {
    if (!tableIndexAt(current_)) {
        if (lines.empty() || !NewEntry())
            return;
    }
    std::vector<LibraryEntry>& entries = list();
    LibraryEntry& entry = entries[std::size_t(*tableIndexAt(current_))];
    entry.text = joinEntryLines(lines);
    if (!EditorHasDefault(kind_))
        return;
    if (isDefault) {
        for (LibraryEntry& e : entries)
            e.isDefault = false;
    }
    entry.isDefault = isDefault;
}

bool LibraryEditing::NewEntry() {
    std::vector<LibraryEntry>& entries = list();
    const auto kept = std::count_if(entries.begin(), entries.end(),
                                    [](const LibraryEntry& e) { return !e.deleted; });
    if (kept >= LibraryReadLimit(kind_))
        return false;
    LibraryEntry entry;
    if (kind_ == LibraryKind::Correspondents)
        entry.number = 1;
    entries.push_back(std::move(entry));
    map_.push_back(int(entries.size() - 1));
    current_ = int(map_.size() - 1);
    return true;
}

LibraryEditing::Deletion LibraryEditing::DeleteCurrent() {
    Deletion result;
    const std::optional<int> index = tableIndexAt(current_);
    if (!index)
        return result;
    std::vector<LibraryEntry>& entries = list();
    entries[std::size_t(*index)].deleted = true;
    const auto alive = [&](int position) {
        const std::optional<int> i = tableIndexAt(position);
        return i && !entries[std::size_t(*i)].deleted;
    };
    for (int p = current_; p < int(map_.size()) && !result.nextTableIndex; ++p) {
        if (alive(p))
            result.nextTableIndex = tableIndexAt(p);
    }
    for (int p = 0; p <= current_ && !result.nextTableIndex; ++p) {
        if (alive(p))
            result.nextTableIndex = tableIndexAt(p);
    }
    result.wasLast = !result.nextTableIndex;
    return result;
}

Diagnosed<bool> LibraryEditing::Close(const std::vector<std::string>& lines, bool isDefault,
                                      const QString& velkPath) {
    // An emptied text box leaves its entry as it was; the other changes are still saved.
    if (!lines.empty())
        keepCurrent(lines, isDefault);
    // An entry without text would not read back; the file never holds one.
    for (LibraryEntry& e : list()) {
        if (e.text.empty())
            e.deleted = true;
    }
    return SaveLibrary(state_, kind_, velkPath);
}

Diagnosed<bool> LibraryEditing::SaveEmptied(const QString& velkPath) {
    for (LibraryEntry& e : list())
        e.deleted = true;
    return SaveLibrary(state_, kind_, velkPath);
}

} // namespace velk
