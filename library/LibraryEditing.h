// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "library/LibraryFile.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace velk {

// Map positions of each editor's drop-down: 201, 201, 2001, 101.
int EditorMapSize(LibraryKind kind);
// The most characters Texte takes from the keyboard (0: no limit). Line breaks count as
// two, as CR LF.
int EditorTextLimit(LibraryKind kind);
// Whether the editor has the macro box and the "Choix par défaut" box.
bool EditorHasDefault(LibraryKind kind);
// "Vous venez d'effacer le dernier entête" and its like.
QString LastEntryDeletedMessage(LibraryKind kind);
// Shown when "&Nouveau" would take the library past what a load reads back.
QString LibraryFullMessage(LibraryKind kind);

// One library editor between its opening and its closing: which entries the drop-down
// shows (`EditorMap`, from a position to a table index) and which entry the text box holds.
// Deleted and new entries live in the list in memory until the window closes.
class LibraryEditing {
public:
    LibraryEditing(LibraryState& state, LibraryKind kind) : state_(state), kind_(kind) {}

    LibraryKind kind() const { return kind_; }
    std::vector<LibraryEntry>& list() const { return LibraryList(state_, kind_); }

    // The map rebuilt from the entries not deleted, in table order, and the drop-down's
    // items (first line, at most 28 characters).
    std::vector<std::string> rebuildMap();
    // The table index at a position of the map; nullopt when there is none.
    std::optional<int> tableIndexAt(int position) const;
    // The position of a table index in the map; nullopt when it is not there.
    std::optional<int> positionOf(int tableIndex) const;
    int currentPosition() const { return current_; }
    int mapCount() const { return int(map_.size()); }

    struct Shown {
        std::vector<std::string> lines;
        bool isDefault = false;
    };
    // The entry at this map position becomes the current one; what the text box shows of it.
    Shown select(int position);

    // The current entry takes these lines (each then ends with CR LF) and, for the libraries
    // that have one, the default mark, which leaves every other entry. In memory only: the
    // file is written on closing.
    void keepCurrent(const std::vector<std::string>& lines, bool isDefault);

    // NewBtnClick: an entry without text is appended, mapped after the last position and
    // made current. False, with nothing changed, when the library already holds as many
    // entries as a load reads back.
    bool NewEntry();

    struct Deletion {
        bool wasLast = false; // no entry is left: the file is to be emptied
        std::optional<int> nextTableIndex;
    };
    // DelBtnClick once confirmed: the current entry is marked deleted (what the text box
    // holds is dropped) and the entry to show next is the first one left after its
    // position, else the first one from the start.
    Deletion DeleteCurrent();

    // OKBtnClick and any other way of closing: the current entry takes the text box's lines
    // unless it holds none, entries left without text are dropped, and the file is
    // rewritten. False when the write failed (with the message saying so; the file is whole).
    Diagnosed<bool> Close(const std::vector<std::string>& lines, bool isDefault,
                          const QString& velkPath);
    // After the last entry was deleted: the file is rewritten empty.
    Diagnosed<bool> SaveEmptied(const QString& velkPath);

private:
    LibraryState& state_;
    LibraryKind kind_;
    std::vector<int> map_;
    int current_ = -1;
};

} // namespace velk
