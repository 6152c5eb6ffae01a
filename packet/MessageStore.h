// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/Diagnostics.h"
#include "packet/MessageStoreState.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velk {

constexpr std::size_t kIndexEntrySize = 5;

// The text of a message whose index entry does not lead to a header.
inline constexpr const char kIndexAnomalyText[] = "Il y a une anomalie dans le fichier d'index.";
inline constexpr const char kBadDateMessage[] =
    "Date incorrecte détectée. Elle sera remplacée par le 01/01/99.";

// Header block indices of the index records, in file order; a trailing partial record is
// ignored and a damaged record gives -1 (which reads as the anomaly header).
std::vector<std::int32_t> DecodeIndexEntries(const QByteArray& data);
// Throws VelkError when the file cannot be read.
std::vector<std::int32_t> ReadIndexFile(const QString& path);

// A file of 128-byte blocks (MESSAGES.DAT or the reply file), open for a series of reads.
// Throws VelkError ("Fichier introuvable", I/O error) when it cannot be opened.
class BlockFile {
public:
    explicit BlockFile(const QString& path);
    std::int64_t blockCount() const { return size_ / std::int64_t(kBlockSize); }
    // Block `index` (0-based); a block lying past the end, wholly or partly, reads as zeros
    // where the file has no bytes.
    Block readBlock(std::int64_t index);
    // `count` blocks from `first` into one buffer. Only what the file holds is read and
    // allocated; when the file is shorter than asked, a zero byte follows what was read,
    // as if the rest had been zeros.
    std::string readBlocks(std::int64_t first, std::int64_t count);
    // Block blocks[i] for each i, as readBlock gives it, handed to `take(i, block)` in file
    // order: the file is read once, in large pieces holding only the span of the blocks
    // asked for, rather than one read per block.
    void readEach(const std::vector<std::int32_t>& blocks,
                  const std::function<void(std::size_t, const Block&)>& take);

private:
    // Reads `length` bytes at `offset`, fewer when the file ends sooner; throws on an error.
    std::int64_t readAt(std::int64_t offset, char* to, std::int64_t length);

    QFile file_;
    std::int64_t size_ = 0;
    // The blocks read with the last header: a message's text mostly follows it.
    std::string ahead_;
    std::int64_t aheadOffset_ = -1;
};

// The path of MESSAGES.DAT in the work directory, whatever the case of its name; throws
// "Fichier introuvable" when there is none.
QString messagesFilePath(const QString& workPath);

// Fills store.CurrentHeader with the header at block `blockIndex` of MESSAGES.DAT: 0xC4 in
// the date becomes '-', NUL padding becomes blanks, a block that is no header (or lies past
// the end, or a negative index) becomes the anomaly header (store.HeaderAnomaly), a bad date
// is replaced and reported in what it returns.
Diagnostics ReadMessageHeader(BlockFile& messages, std::int32_t blockIndex,
                              MessageStoreState& store);
Diagnostics ReadMessageHeader(const QString& workPath, std::int32_t blockIndex,
                              MessageStoreState& store);

// Fills store.MessageText with the text starting at block `firstTextBlock`, given the
// header's block-count field: a header alone has an empty text, and the anomaly header of
// the last header read (store.HeaderAnomaly) the anomaly's. Throws VelkError when the
// field is not a number.
void ReadMessageText(BlockFile& messages, std::int32_t firstTextBlock,
                     const std::string& blockCountField, MessageStoreState& store);
void ReadMessageText(const QString& workPath, std::int32_t firstTextBlock,
                     const std::string& blockCountField, MessageStoreState& store);

// The same over the reply file, without the header checks; ReadReplyHeader also sets
// store.ReplyBlockCount, and a one-block reply has an empty text.
void ReadReplyHeader(const QString& replyFile, std::int32_t blockIndex, MessageStoreState& store);
void ReadReplyText(const QString& replyFile, std::int32_t firstTextBlock,
                   const std::string& blockCountField, MessageStoreState& store);

// A text read from 128-byte blocks, cut to what the board wrote: the blank or NUL padding
// after it goes, then the 0xE3 ending its last line if there is one; every other byte stays
// (a NUL inside shows as a blank).
void trimMessageText(std::string& text);

// The header checks applied to a freshly read MESSAGES.DAT header.
void fixDateSeparators(MessageHeader& header);
void patchAnomalyHeader(MessageHeader& header);
// Whether the date passes the check (month-day or, read as day-month, day-month).
bool isAcceptableDate(const std::string& date);

} // namespace velk
