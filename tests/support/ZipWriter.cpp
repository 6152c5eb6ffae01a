// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/support/ZipWriter.h"

#include <QFile>

#include <array>
#include <stdexcept>

namespace velk {

namespace {

void put(QByteArray& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

constexpr std::uint32_t k32 = 0xFFFFFFFF;
constexpr std::uint16_t kMadeOnUnix = (3 << 8) | 30;
constexpr std::uint16_t kDosTime = 0x5A00; // 11:16
constexpr std::uint16_t kDosDate = 0x5A85; // 2025-04-05

} // namespace

std::uint32_t crc32Of(const QByteArray& data) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char ch : data)
        crc = table[(crc ^ std::uint8_t(ch)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFF;
}

ZipWriter::Member& ZipWriter::add(QByteArray name, QByteArray data) {
    Member& m = members_.emplace_back();
    m.name = std::move(name);
    m.data = std::move(data);
    return m;
}

void ZipWriter::addAll(const std::vector<std::pair<QString, QByteArray>>& files) {
    for (const auto& [name, data] : files)
        add(name.toLocal8Bit(), data);
}

QByteArray ZipWriter::bytes() const {
    QByteArray body;
    QByteArray central;
    std::vector<std::uint64_t> offsets;
    for (const Member& m : members_) {
        const std::uint64_t size = m.declaredSize.value_or(std::uint64_t(m.data.size()));
        const bool zip64 = m.zip64 || size > k32;
        const std::uint32_t crc = crc32Of(m.data);
        // Raw deflate: qCompress's stream without its length, zlib header and checksum.
        const QByteArray payload = m.deflated ? qCompress(m.data, 9).mid(6).chopped(4) : m.data;
        QByteArray extra;
        if (zip64) {
            put(extra, 0x0001, 2);
            put(extra, 16, 2);
            put(extra, size, 8);
            put(extra, std::uint64_t(payload.size()), 8);
        }
        offsets.push_back(std::uint64_t(body.size()));
        const std::uint64_t offset = offsets[m.sharesDataOf.value_or(offsets.size() - 1)];
        auto common = [&](QByteArray& out) {
            put(out, zip64 ? 45 : 20, 2);
            put(out, m.flags, 2);
            put(out, m.deflated ? 8 : m.method, 2);
            put(out, kDosTime, 2);
            put(out, kDosDate, 2);
            put(out, crc, 4);
            put(out, zip64 ? k32 : std::uint64_t(payload.size()), 4);
            put(out, zip64 ? k32 : size, 4);
            put(out, std::uint64_t(m.name.size()), 2);
            put(out, std::uint64_t(extra.size()), 2);
        };
        put(body, 0x04034b50, 4);
        common(body);
        body += m.name + extra + payload;

        put(central, 0x02014b50, 4);
        put(central, kMadeOnUnix, 2);
        common(central);
        put(central, 0, 2); // comment
        put(central, 0, 2); // disk
        put(central, 0, 2); // internal attributes
        put(central, std::uint64_t(m.mode) << 16, 4);
        put(central, offset, 4);
        central += m.name + extra;
    }
    const std::uint64_t entries = declaredEntries.value_or(members_.size());
    QByteArray out = prefix + body + central;
    const std::uint64_t directoryOffset = std::uint64_t(body.size());
    if (zip64End) {
        const std::uint64_t end64 = std::uint64_t(body.size() + central.size());
        put(out, 0x06064b50, 4);
        put(out, 44, 8);
        put(out, kMadeOnUnix, 2);
        put(out, 45, 2);
        put(out, 0, 4);
        put(out, 0, 4);
        put(out, entries, 8);
        put(out, entries, 8);
        put(out, std::uint64_t(central.size()), 8);
        put(out, directoryOffset, 8);
        put(out, 0x07064b50, 4);
        put(out, 0, 4);
        put(out, end64, 8);
        put(out, 1, 4);
    }
    put(out, 0x06054b50, 4);
    put(out, 0, 2);
    put(out, 0, 2);
    put(out, zip64End ? 0xFFFF : entries, 2);
    put(out, zip64End ? 0xFFFF : entries, 2);
    put(out, zip64End ? k32 : std::uint64_t(central.size()), 4);
    put(out, zip64End ? k32 : directoryOffset, 4);
    put(out, 0, 2);
    return out;
}

void ZipWriter::writeTo(const QString& path) const {
    QFile f(path);
    const QByteArray data = bytes();
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace velk
