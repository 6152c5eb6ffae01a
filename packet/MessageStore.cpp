// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/MessageStore.h"

#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/VelkError.h"
#include "packet/Mbf.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace velk {

std::vector<std::int32_t> DecodeIndexEntries(const QByteArray& data) {
    const std::size_t count = std::size_t(data.size()) / kIndexEntrySize;
    std::vector<std::int32_t> out;
    out.reserve(count);
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    for (std::size_t i = 0; i < count; ++i, p += kIndexEntrySize)
        out.push_back(MbfToBlockIndex(mbfWord(p)));
    return out;
}

std::vector<std::int32_t> ReadIndexFile(const QString& path) {
    return DecodeIndexEntries(readWholeFile(path));
}

BlockFile::BlockFile(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::ReadOnly)) {
        if (!file_.exists())
            throw VelkError::fileNotFound();
        throw VelkError::io(IoCode::AccessDenied);
    }
    size_ = file_.size();
}

namespace {
// What a header's read takes with it: the text of most messages.
constexpr std::int64_t kReadAheadBlocks = 32;
} // namespace

std::int64_t BlockFile::readAt(std::int64_t offset, char* to, std::int64_t length) {
    // One positioned read, without the seek and the 16 KB buffer fill of a buffered file.
    std::int64_t done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(file_.handle(), to + done, std::size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw VelkError::io(IoCode::ReadPastEnd);
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

Block BlockFile::readBlock(std::int64_t index) {
    Block block{};
    const std::int64_t offset = index * std::int64_t(kBlockSize);
    if (index < 0 || offset >= size_)
        return block;
    ahead_.resize(
        std::size_t(std::min(kReadAheadBlocks * std::int64_t(kBlockSize), size_ - offset)));
    ahead_.resize(std::size_t(readAt(offset, ahead_.data(), std::int64_t(ahead_.size()))));
    aheadOffset_ = offset;
    std::copy_n(ahead_.data(), std::min(ahead_.size(), kBlockSize), block.data());
    return block;
}

std::string BlockFile::readBlocks(std::int64_t first, std::int64_t count) {
    const std::int64_t start = std::max<std::int64_t>(first, 0) * std::int64_t(kBlockSize);
    const std::int64_t wanted = count * std::int64_t(kBlockSize);
    const std::int64_t available =
        std::clamp<std::int64_t>(size_ - start, 0, first < 0 ? 0 : wanted);
    std::string buffer(std::size_t(available) + (available < wanted ? 1 : 0), '\0');
    if (available > 0) {
        std::int64_t got = 0;
        if (aheadOffset_ >= 0 && start >= aheadOffset_ &&
            start + available <= aheadOffset_ + std::int64_t(ahead_.size())) {
            std::copy_n(ahead_.data() + (start - aheadOffset_), available, buffer.data());
            got = available;
        } else {
            got = readAt(start, buffer.data(), available);
        }
        if (got < available) // the file shrank under us: what was not read stays zero
            buffer.resize(std::size_t(got) + 1, '\0');
    }
    return buffer;
}

void BlockFile::readEach(const std::vector<std::int32_t>& blocks,
                         const std::function<void(std::size_t, const Block&)>& take) {
    // Positions sorted by block, each as one number: block (offset to stay unsigned) above,
    // position below.
    std::vector<std::uint64_t> order(blocks.size());
    for (std::size_t i = 0; i < blocks.size(); ++i)
        order[i] = (std::uint64_t(std::uint32_t(blocks[i]) ^ 0x80000000u) << 32) | i;
    std::sort(order.begin(), order.end());
    constexpr std::int64_t kPiece = std::int64_t(1) << 20;
    std::string piece;
    std::int64_t pieceStart = 0, pieceEnd = 0;
    Block block;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::size_t i = std::size_t(order[k] & 0xFFFFFFFFu);
        const std::int64_t offset = std::int64_t(blocks[i]) * std::int64_t(kBlockSize);
        block.fill('\0');
        if (blocks[i] >= 0 && offset < size_) {
            if (offset < pieceStart || offset + std::int64_t(kBlockSize) > pieceEnd) {
                // From this block to the last one asked for within a piece's length.
                std::int64_t end = offset + std::int64_t(kBlockSize);
                for (std::size_t n = k + 1; n < order.size(); ++n) {
                    const std::int64_t next =
                        std::int64_t(blocks[order[n] & 0xFFFFFFFFu]) * std::int64_t(kBlockSize);
                    if (next + std::int64_t(kBlockSize) > offset + kPiece)
                        break;
                    end = next + std::int64_t(kBlockSize);
                }
                end = std::min(end, size_);
                piece.resize(std::size_t(end - offset));
                piece.resize(std::size_t(readAt(offset, piece.data(), end - offset)));
                pieceStart = offset;
                pieceEnd = offset + std::int64_t(piece.size());
            }
            const std::int64_t available =
                std::clamp<std::int64_t>(pieceEnd - offset, 0, std::int64_t(kBlockSize));
            std::copy_n(piece.data() + (offset - pieceStart), available, block.data());
        }
        take(i, block);
    }
}

QString messagesFilePath(const QString& workPath) {
    if (const auto path = findFileNoCase(workPath, QStringLiteral("MESSAGES.DAT")))
        return *path;
    throw VelkError::fileNotFound();
}

void fixDateSeparators(MessageHeader& header) {
    std::replace(header.date.begin(), header.date.end(), '\xC4', '-');
}

void patchAnomalyHeader(MessageHeader& header) {
    header.date = "01/01/99";
    header.author = std::string(HeaderField::Author, '-');
    header.recipient = std::string(HeaderField::Recipient, '-');
    header.subject = "Anomalie pointeur/index ";
    header.blockCount = "1";
}

bool isAcceptableDate(const std::string& date) {
    // Wrapping 16-bit arithmetic, so that a character other than a digit is out of range.
    auto digit = [&](std::size_t i) {
        return std::uint16_t(std::uint16_t(i < date.size() ? std::uint8_t(date[i]) : 0) - '0');
    };
    const std::uint16_t a = std::uint16_t(10 * digit(0) + digit(1));
    const std::uint16_t d = std::uint16_t(10 * digit(3) + digit(4));
    if (d < a && a > 12)
        return d >= 1 && d <= 12 && a >= 1 && a <= 31;
    return a >= 1 && a <= 12 && d >= 1 && d <= 31;
}

void blankNulPadding(MessageHeader& header) {
    for (std::string* field :
         {&header.status, &header.number, &header.date, &header.time, &header.recipient,
          &header.author, &header.subject, &header.password, &header.reference, &header.blockCount})
        std::replace(field->begin(), field->end(), '\0', ' ');
}

Diagnostics ReadMessageHeader(BlockFile& messages, std::int32_t blockIndex,
                              MessageStoreState& store) {
    Diagnostics said;
    const Block block = messages.readBlock(blockIndex);
    MessageHeader header = parseHeaderBlock(block);
    fixDateSeparators(header);
    const bool anomaly = block[HeaderField::AuthorOffset] == '\0';
    if (anomaly)
        patchAnomalyHeader(header);
    else
        blankNulPadding(header);
    if (!isAcceptableDate(header.date)) {
        said.add(QString::fromUtf8(kBadDateMessage));
        header.date.resize(HeaderField::Date, ' ');
        header.date.replace(0, 2, "01");
        header.date.replace(3, 2, "01");
        header.date.replace(6, 2, "99");
    }
    store.CurrentHeader = std::move(header);
    store.HeaderAnomaly = anomaly;
    return said;
}

Diagnostics ReadMessageHeader(const QString& workPath, std::int32_t blockIndex,
                              MessageStoreState& store) {
    BlockFile messages(messagesFilePath(workPath));
    return ReadMessageHeader(messages, blockIndex, store);
}

namespace {

// A number field as a number: boards that pad their fields with NULs instead of blanks
// are common, and their counts must read the same.
std::int32_t numberField(std::string field) {
    std::replace(field.begin(), field.end(), '\0', ' ');
    return StrToInt(TrimRight(field));
}

// The text blocks of a message: its block count minus the header, as a 16-bit count.
std::uint16_t textBlockCount(const std::string& blockCountField) {
    return std::uint16_t(numberField(blockCountField) - 1);
}

void readText(BlockFile& file, std::int32_t firstTextBlock, std::uint16_t blocks,
              MessageStoreState& store) {
    std::string buffer = file.readBlocks(firstTextBlock, blocks);
    trimMessageText(buffer);
    ReplaceByte('\xE3', '\n', buffer);
    store.MessageText = std::move(buffer);
}

} // namespace

void trimMessageText(std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\0'))
        --end;
    if (end > 0 && text[end - 1] == '\xE3')
        --end;
    text.resize(end);
    ReplaceByte('\0', ' ', text);
}

void ReadMessageText(BlockFile& messages, std::int32_t firstTextBlock,
                     const std::string& blockCountField, MessageStoreState& store) {
    const std::uint16_t blocks = textBlockCount(blockCountField);
    if (blocks == 0) {
        store.MessageText = store.HeaderAnomaly ? std::string(kIndexAnomalyText) : std::string();
        return;
    }
    readText(messages, firstTextBlock, blocks, store);
}

void ReadMessageText(const QString& workPath, std::int32_t firstTextBlock,
                     const std::string& blockCountField, MessageStoreState& store) {
    BlockFile messages(messagesFilePath(workPath));
    ReadMessageText(messages, firstTextBlock, blockCountField, store);
}

void ReadReplyHeader(const QString& replyFile, std::int32_t blockIndex, MessageStoreState& store) {
    BlockFile file(replyFile);
    store.CurrentHeader = parseHeaderBlock(file.readBlock(blockIndex));
    store.HeaderAnomaly = false;
    store.ReplyBlockCount = numberField(store.CurrentHeader.blockCount);
}

void ReadReplyText(const QString& replyFile, std::int32_t firstTextBlock,
                   const std::string& blockCountField, MessageStoreState& store) {
    BlockFile file(replyFile);
    const std::uint16_t blocks = textBlockCount(blockCountField);
    readText(file, firstTextBlock, blocks, store);
}

} // namespace velk
