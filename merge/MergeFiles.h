// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace velk {

// The message file and index files of two unpacked packets combined: the integrated
// packet's messages go after the base packet's, and its index entries follow them.

// One index record as the merge carries it: the 0-based header block (-1 for a record that
// points nowhere) and the record's fifth byte, kept as the board wrote it.
struct IndexRecord {
    std::int64_t block = -1;
    std::uint8_t extra = 0;
};

// The records of one index file; it grows with the file.
struct IndexBuffer {
    std::vector<IndexRecord> entries;
    std::int64_t IndexCount() const { return std::int64_t(entries.size()); }
};

enum class IndexWriteMode { Append, Create };

// Appends the integrated MESSAGES.DAT, without its packet header block, to the base one and
// returns N1, the base file's count of whole 128-byte blocks before the append (a partial
// last block is overwritten). A partial last block of the integrated file is padded with
// blanks. Throws VelkError when a file is missing or cannot be read or written.
std::int64_t AppendMessageFile(const QString& baseDirectory, const QString& integratedDirectory);

// Fills the buffer with the whole records of an index file. Throws VelkError.
void ReadIndexFile(const QString& path, IndexBuffer& buffer);

// Moves every block by n1 less the dropped header block, so that each record names the same
// header in the merged message file: record number r becomes r - 1 + n1. Throws VelkError when a
// block number would not fit an index record.
void ShiftIndexBuffer(IndexBuffer& buffer, std::int64_t n1);

// Writes the records, MBF block number (1-based) and fifth byte: Create makes or empties
// the file, Append adds after its last whole record. Throws VelkError.
void WriteIndexFileName(const QString& path, IndexWriteMode mode, const IndexBuffer& buffer);

// Every index file of the integrated directory (PERSONAL.NDX included), shifted by n1 and
// appended to the base index file of the same conference, or written as a new file.
void MergeIndexFiles(const QString& baseDirectory, const QString& integratedDirectory,
                     std::int64_t n1);

// The decimal text of the number, at least three digits: 7 gives "007", 1234 "1234".
QString TroisChiffres(int number);

// The index file of the directory that stands for `name`: the same name whatever its case,
// or, for a numbered name, the file of the same conference number however it is padded
// ("5.NDX" for "005.NDX").
std::optional<QString> findIndexFile(const QString& directory, const QString& name);

// Renames the base directory's index file of conference `oldNumber` to that of `newNumber`.
// Nothing to rename when there is none; when the new one exists already, the old file's
// records go before its own and the old file is removed. Throws VelkError.
void RenameIndexFile(const QString& baseDirectory, int oldNumber, int newNumber);

} // namespace velk
