// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/LibraryChooser.h"

#include "core/CharacterSet.h"
#include "library/LibrarySession.h"
#include "library/LibraryText.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

namespace velk {

QString ChooserCaption(LibraryKind kind) {
    switch (kind) {
    case LibraryKind::Headers:
        break;
    case LibraryKind::Footers:
        return QStringLiteral("Choix d'un pied de page");
    case LibraryKind::Taglines:
        return QStringLiteral("Choix d'une tagline");
    case LibraryKind::Correspondents:
        return QStringLiteral("Choix du correspondant");
    }
    return QStringLiteral("Choix d'un entête");
}

Diagnosed<bool> LibraryChooser::ShowTag(LibraryKind kind, LibrarySession& session) {
    kind_ = kind;
    normal_.clear();
    shown_.clear();
    const LibraryKind library = kind_;
    if (Diagnosed<bool> loaded = LoadLibrary(session.libraries, library, session.settings.velkPath);
        !loaded.value)
        return loaded;
    std::vector<LibraryEntry>& entries = LibraryList(session.libraries, library);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].deleted)
            normal_.push_back({int(i), firstLine(entries[i].text, 80)});
    }
    if (library == LibraryKind::Correspondents) {
        // The most used first; equal counts keep their table order.
        std::stable_sort(normal_.begin(), normal_.end(),
                         [&](const ChooserLine& a, const ChooserLine& b) {
                             return entries[std::size_t(a.tableIndex)].number >
                                    entries[std::size_t(b.tableIndex)].number;
                         });
    }
    arrange();
    return {true, {}};
}

void LibraryChooser::toggleSort() {
    sorted_ = !sorted_;
    arrange();
}

void LibraryChooser::arrange() {
    shown_ = normal_;
    if (!shownSorted())
        return;
    // Each line keeps its own entry, so two entries with the same first line stay apart.
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(shown_.begin(), shown_.end(), [&](const ChooserLine& a, const ChooserLine& b) {
        return collator.compare(dosToUnicode(a.text), dosToUnicode(b.text)) < 0;
    });
}

void LibraryChooser::choose(int row) {
    if (row < 0 || row >= int(shown_.size()))
        return;
    resultOf(kind_) = shown_[std::size_t(row)].tableIndex;
}

} // namespace velk
