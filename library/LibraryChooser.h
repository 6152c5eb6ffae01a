// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "library/LibraryFile.h"

#include <QString>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace velk {

struct LibrarySession;

// "Choix d'un entête" and its like.
QString ChooserCaption(LibraryKind kind);

struct ChooserLine {
    int tableIndex = -1;
    std::string text; // the entry's first line, at most 80 characters (DOS bytes)
};

// What the chooser offers and what it returns. The caller resets the kind's result, runs
// ShowTag and the window, then reads the result: a table index of the list that ShowTag has
// just reloaded, or still nothing.
class LibraryChooser {
public:
    // One result a library, indexed by LibraryKind.
    std::array<std::optional<int>, 4> ChooserResult{};
    std::optional<int>& resultOf(LibraryKind kind) { return ChooserResult[std::size_t(kind)]; }

    LibraryKind kind() const { return kind_; }
    // Whether the alphabetical order is asked for; it lasts from one use to the next and
    // applies to the taglines and correspondents only.
    bool sortRequested() const { return sorted_; }
    bool sortable() const {
        return kind_ == LibraryKind::Taglines || kind_ == LibraryKind::Correspondents;
    }
    bool shownSorted() const { return sorted_ && sortable(); }

    // Reloads the kind's library and lays out its lines; false when the file could not be
    // read (with the message saying why). Throws VelkError on a read failure.
    Diagnosed<bool> ShowTag(LibraryKind kind, LibrarySession& session);

    // The lines in the order shown.
    const std::vector<ChooserLine>& lines() const { return shown_; }

    // TriBtnClick: switches between the normal and the alphabetical order.
    void toggleSort();

    // ListeElemClick: the kind's result becomes the table index of the line at that row of
    // the lines shown.
    void choose(int row);

private:
    void arrange();

    LibraryKind kind_ = LibraryKind::Headers;
    bool sorted_ = false;
    std::vector<ChooserLine> normal_; // headers, footers, taglines in table order;
                                      // correspondents by use count
    std::vector<ChooserLine> shown_;
};

} // namespace velk
