// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace velk {

// What the user has done with a message of a board. A message never marked is unread.
enum class ReadMark : std::uint8_t { Unread = 0, Read = 1, Followed = 2 };

// A message of a board, the same in every packet of it: its conference and its number.
struct MessageKey {
    std::uint16_t conference = 0;
    std::uint32_t number = 0;
};

// The key of a header's number field (blanks around the digits allowed); nullopt when the
// field is no number, and the message cannot be remembered.
std::optional<MessageKey> messageKey(std::uint16_t conference, std::string_view numberField);

// The marks of one board: the file's records, sorted, with the changes made since beside
// them, so that a board of a million messages loads with one copy and a mark costs a
// lookup.
class ReadMarks {
public:
    ReadMark mark(MessageKey key) const;
    // True when the mark changed.
    bool setMark(MessageKey key, ReadMark mark);
    // Marks changed since the last markSaved().
    bool changed() const { return changed_; }
    void markSaved() { changed_ = false; }
    std::size_t remembered() const;

    // The file: a version line, the record count and a checksum, then 8 bytes a message.
    // The changes are merged into the records.
    QByteArray encode();
    // The file's marks, or the French reason why the bytes are refused (`name` names the
    // file in it). Every record is checked: a damaged file is never half trusted.
    struct Decoded;
    static Decoded decode(const QByteArray& data, const QString& name);

private:
    void merge();

    std::vector<std::uint64_t> records_; // (conference << 40 | number << 8 | mark), ascending
    std::map<std::uint64_t, ReadMark> pending_; // key (record >> 8) -> mark
    bool changed_ = false;
};

enum class MarksFileProblem { None, Damaged, Foreign, Newer };

struct ReadMarks::Decoded {
    ReadMarks marks;
    MarksFileProblem problem = MarksFileProblem::None;
    QString message;
};

} // namespace velk
