// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

class QIODevice;

namespace velk {

// One member of a ZIP archive as its central directory describes it.
struct ZipMember {
    QByteArray name;        // as stored: bytes, "/" separating directories
    std::uint64_t size = 0; // uncompressed, as declared
    bool encrypted = false;
    bool directory = false; // the name ends with "/" or the attributes say so
    bool special = false;   // a link, a device, a pipe: anything but a file or directory
};

struct ZipListing {
    std::vector<ZipMember> members;
    std::uint64_t totalSize = 0; // saturates rather than wrap
};

// Why an archive has no listing: no ZIP end record at all, or a central directory that
// does not hold together (cut, multi-volume, counts that overrun the file).
enum class ZipDamage { NotAZip, Damaged };

struct ZipReadResult {
    std::optional<ZipListing> listing;
    ZipDamage damage = ZipDamage::NotAZip; // when there is no listing
};

// Reads the central directory of the archive in `device` (open for reading, seekable), the
// list the unpacker works from. Only the end of the file and the directory are read, never
// the members' data; every offset and count is checked against the device's size.
ZipReadResult readZipDirectory(QIODevice& device);

} // namespace velk
