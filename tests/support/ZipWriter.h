// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace velk {

// Writes ZIP archives member by member, stored without compression, for archives no zip
// program would make: names with a path or "..", directory and link entries, encrypted
// flags, sizes that lie, ZIP64 records, bytes before the archive.
//
//   ZipWriter z;
//   z.add("CONTROL.DAT", bytes);
//   z.add("../EVIL").mode = 0120777;
//   z.writeTo(dir + "/EVIL.QWK");
class ZipWriter {
public:
    struct Member {
        QByteArray name;
        QByteArray data;
        std::uint32_t mode = 0100644;              // Unix mode in the upper attribute bits
        std::uint16_t flags = 0;                   // bit 0: encrypted
        std::optional<std::uint64_t> declaredSize; // written instead of the true size
        bool zip64 = false;                        // sizes in a ZIP64 extra field
        bool deflated = false;                     // compressed, else stored
        std::uint16_t method = 0;                  // written as is when not deflated
        std::optional<std::size_t> sharesDataOf;   // its central entry points at that member
    };

    QByteArray prefix;                            // bytes before the first member
    std::optional<std::uint64_t> declaredEntries; // in the end record
    bool zip64End = false;                        // a ZIP64 end record and locator

    Member& add(QByteArray name, QByteArray data = {});
    // Every member of a packet writer's output, in its order.
    void addAll(const std::vector<std::pair<QString, QByteArray>>& files);

    QByteArray bytes() const;
    // Throws std::runtime_error when the file cannot be written.
    void writeTo(const QString& path) const;

private:
    std::vector<Member> members_;
};

std::uint32_t crc32Of(const QByteArray& data);

} // namespace velk
