// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace velk {

// The message file and index files of two unpacked packets combined: the integrated
// packet's messages go after the base packet's, and its index entries follow them.

// One index record as the merge writes it: the 0-based header block (-1 for a record that
// points nowhere) and the fifth byte, the low byte of the conference number as boards write it.
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
// returns N1, the base file's count of blocks before the append. A partial last block of
// either file is padded with blanks, so no text the base holds is overwritten; a base file
// without even its packet block gets a blank one. Throws VelkError when a file is missing or
// cannot be read or written.
std::int64_t AppendMessageFile(const QString& baseDirectory, const QString& integratedDirectory);

// Moves every block by n1 less the dropped header block, so that each record names the same
// header in the merged message file: record number r becomes r - 1 + n1. Throws VelkError when a
// block number would not fit an index record.
void ShiftIndexBuffer(IndexBuffer& buffer, std::int64_t n1);

// Writes the records, MBF block number (1-based) and fifth byte: Create makes or empties
// the file, Append adds after its last whole record. Throws VelkError.
void WriteIndexFileName(const QString& path, IndexWriteMode mode, const IndexBuffer& buffer);

// The decimal text of the number, at least three digits: 7 gives "007", 1234 "1234".
QString TroisChiffres(int number);

} // namespace velk
