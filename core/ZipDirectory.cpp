// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ZipDirectory.h"

#include <QIODevice>

#include <algorithm>
#include <limits>
#include <optional>

namespace velk {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEnd64Signature = 0x06064b50;
constexpr std::uint32_t kLocator64Signature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr qint64 kEndSize = 22;
constexpr qint64 kLocator64Size = 20;
constexpr qint64 kEnd64Size = 56;
constexpr qint64 kCentralSize = 46;
constexpr qint64 kMaxComment = 0xFFFF;
// A directory this large would list millions of members: no packet is one.
constexpr std::uint64_t kMaxDirectorySize = 64u << 20;

std::uint64_t le(const char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | std::uint8_t(p[i]);
    return v;
}
std::uint16_t u16(const QByteArray& b, qint64 at) {
    return std::uint16_t(le(b.constData() + at, 2));
}
std::uint32_t u32(const QByteArray& b, qint64 at) {
    return std::uint32_t(le(b.constData() + at, 4));
}
std::uint64_t u64(const QByteArray& b, qint64 at) {
    return le(b.constData() + at, 8);
}

bool readAt(QIODevice& device, std::uint64_t at, std::uint64_t length, QByteArray& out) {
    if (at > std::uint64_t(std::numeric_limits<qint64>::max()) || !device.seek(qint64(at)))
        return false;
    out = device.read(qint64(length));
    return std::uint64_t(out.size()) == length;
}

struct EndRecord {
    std::uint64_t position = 0; // of the record that ends the directory (ZIP64 or not)
    std::uint64_t entries = 0;
    std::uint64_t directorySize = 0;
    std::uint64_t directoryOffset = 0;
    bool multiVolume = false;
};

// The last end record whose comment fits in the file.
std::optional<EndRecord> findEndRecord(QIODevice& device, std::uint64_t fileSize) {
    const std::uint64_t tailSize = std::min<std::uint64_t>(fileSize, kEndSize + kMaxComment);
    QByteArray tail;
    if (!readAt(device, fileSize - tailSize, tailSize, tail))
        return std::nullopt;
    for (qint64 i = qint64(tailSize) - kEndSize; i >= 0; --i) {
        if (u32(tail, i) != kEndSignature || i + kEndSize + u16(tail, i + 20) > qint64(tailSize))
            continue;
        EndRecord r;
        r.position = fileSize - tailSize + std::uint64_t(i);
        r.multiVolume = u16(tail, i + 4) != 0 || u16(tail, i + 6) != 0;
        r.entries = u16(tail, i + 10);
        r.directorySize = u32(tail, i + 12);
        r.directoryOffset = u32(tail, i + 16);
        return r;
    }
    return std::nullopt;
}

// Replaces the values of the end record by those of its ZIP64 record when it has one.
bool applyZip64(QIODevice& device, EndRecord& r) {
    if (r.position < std::uint64_t(kLocator64Size))
        return true;
    QByteArray locator;
    if (!readAt(device, r.position - kLocator64Size, kLocator64Size, locator))
        return false;
    if (u32(locator, 0) != kLocator64Signature)
        return true;
    if (r.position < std::uint64_t(kLocator64Size + kEnd64Size))
        return false;
    // Where the locator says, else just before it (bytes put before the archive move it).
    const std::uint64_t before = r.position - kLocator64Size - kEnd64Size;
    std::uint64_t at = u64(locator, 8);
    QByteArray end;
    if (at > before || !readAt(device, at, kEnd64Size, end) || u32(end, 0) != kEnd64Signature) {
        at = before;
        if (!readAt(device, at, kEnd64Size, end) || u32(end, 0) != kEnd64Signature)
            return false;
    }
    r.position = at;
    r.multiVolume = r.multiVolume || u32(end, 16) != 0 || u32(end, 20) != 0 || u32(locator, 16) > 1;
    r.entries = u64(end, 32);
    r.directorySize = u64(end, 40);
    r.directoryOffset = u64(end, 48);
    return true;
}

bool isSpecialMode(std::uint32_t externalAttributes) {
    const std::uint32_t type = (externalAttributes >> 16) & 0170000;
    return type != 0 && type != 0100000 && type != 0040000;
}

// One central header at `at`; false when it overruns the directory or lacks its ZIP64 size.
bool readMember(const QByteArray& dir, qint64& at, ZipMember& m) {
    if (at + kCentralSize > dir.size() || u32(dir, at) != kCentralSignature)
        return false;
    const std::uint16_t flags = u16(dir, at + 8);
    std::uint64_t size = u32(dir, at + 24);
    const qint64 nameLength = u16(dir, at + 28);
    const qint64 extraLength = u16(dir, at + 30);
    const qint64 commentLength = u16(dir, at + 32);
    const std::uint32_t external = u32(dir, at + 38);
    const qint64 end = at + kCentralSize + nameLength + extraLength + commentLength;
    if (end > dir.size())
        return false;
    m.name = dir.mid(at + kCentralSize, nameLength);

    if (size == 0xFFFFFFFF) {
        bool found = false;
        qint64 e = at + kCentralSize + nameLength;
        const qint64 extraEnd = e + extraLength;
        while (e + 4 <= extraEnd) {
            const std::uint16_t id = u16(dir, e);
            const qint64 length = u16(dir, e + 2);
            if (e + 4 + length > extraEnd)
                break;
            if (id == 0x0001 && length >= 8) {
                size = u64(dir, e + 4);
                found = true;
                break;
            }
            e += 4 + length;
        }
        if (!found)
            return false;
    }
    m.size = size;
    m.encrypted = (flags & 1) != 0;
    m.directory = m.name.endsWith('/') || m.name.endsWith('\\') ||
                  ((external >> 16) & 0170000) == 0040000 || (external & 0x10) != 0;
    m.special = isSpecialMode(external);
    at = end;
    return true;
}

bool readMembers(const QByteArray& dir, std::uint64_t entries, ZipListing& listing) {
    qint64 at = 0;
    for (std::uint64_t i = 0; i < entries; ++i) {
        ZipMember m;
        if (!readMember(dir, at, m))
            return false;
        listing.totalSize = m.size > std::numeric_limits<std::uint64_t>::max() - listing.totalSize
                                ? std::numeric_limits<std::uint64_t>::max()
                                : listing.totalSize + m.size;
        listing.members.push_back(std::move(m));
    }
    return true;
}

} // namespace

ZipReadResult readZipDirectory(QIODevice& device) {
    ZipReadResult result;
    const qint64 size = device.size();
    if (size < kEndSize)
        return result;
    std::optional<EndRecord> end = findEndRecord(device, std::uint64_t(size));
    if (!end)
        return result;
    result.damage = ZipDamage::Damaged;
    if (!applyZip64(device, *end) || end->multiVolume || end->directorySize > kMaxDirectorySize ||
        end->directorySize > end->position || end->entries > end->directorySize / kCentralSize)
        return result;

    // Data put before the archive (a self-extractor) moves every offset by the same amount;
    // the unpacker then finds the directory just before its end record.
    const std::uint64_t expected = end->position - end->directorySize;
    for (const std::uint64_t start : {end->directoryOffset, expected}) {
        if (start > expected)
            continue;
        QByteArray dir;
        if (!readAt(device, start, end->directorySize, dir))
            continue;
        ZipListing listing;
        if (readMembers(dir, end->entries, listing)) {
            result.listing = std::move(listing);
            return result;
        }
        if (start == expected)
            break;
    }
    return result;
}

} // namespace velk
