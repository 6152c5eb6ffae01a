// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/IndexFiles.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/VelkError.h"
#include "packet/MessageStore.h"

#include <QFile>

#include <algorithm>
#include <limits>
#include <set>

namespace velk {

namespace {

constexpr std::size_t kBlock = kBlockSize;

// A block count field: digits, blanks or NULs around them; nullopt for anything else.
std::optional<std::int64_t> countField(const unsigned char* p, std::size_t width) {
    std::size_t i = 0;
    while (i < width && (p[i] == ' ' || p[i] == 0))
        ++i;
    std::int64_t value = 0;
    std::size_t digits = 0;
    for (; i < width && p[i] >= '0' && p[i] <= '9'; ++i, ++digits)
        value = value * 10 + (p[i] - '0');
    for (; i < width; ++i) {
        if (p[i] != ' ' && p[i] != 0)
            return std::nullopt;
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

std::string_view unpaddedView(std::string_view field) {
    while (!field.empty() && (field.back() == ' ' || field.back() == '\0'))
        field.remove_suffix(1);
    return field;
}

unsigned char foldCase(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldCase(static_cast<unsigned char>(x)) ==
                      foldCase(static_cast<unsigned char>(y));
           });
}

// Headers are read a megabyte at a time: one read for many small messages, and a seek past
// a long text rather than reading it.
constexpr std::int64_t kChunkBlocks = 8192;

} // namespace

std::optional<std::int64_t> recordBlockCount(const unsigned char* block) {
    const auto count = countField(block + 116, HeaderField::BlockCount);
    if (!count || *count < 1 || block[HeaderField::AuthorOffset] == 0)
        return std::nullopt;
    return count;
}

MessageFileIndex scanMessagesFile(const QString& messagesPath, std::string_view userName) {
    using namespace HeaderField;
    MessageFileIndex index;
    QFile file(messagesPath);
    if (!file.open(QIODevice::ReadOnly))
        return index;
    const std::int64_t blocks = std::min<std::int64_t>(file.size() / std::int64_t(kBlock),
                                                       std::numeric_limits<std::int32_t>::max());
    const std::string user = unpadded(userName.substr(0, Recipient));
    std::vector<unsigned char> chunk(std::size_t(kChunkBlocks) * kBlock);
    std::int64_t chunkFirst = 0;
    std::int64_t chunkBlocks = 0;
    std::uint16_t lastConference = 0;
    std::vector<std::int32_t>* lastList = nullptr;
    // Block 0 is the packet's own.
    for (std::int64_t b = 1; b < blocks;) {
        if (b < chunkFirst || b >= chunkFirst + chunkBlocks) {
            const std::int64_t wanted = std::min(kChunkBlocks, blocks - b);
            if (!file.seek(b * std::int64_t(kBlock)))
                break;
            const qint64 got =
                file.read(reinterpret_cast<char*>(chunk.data()), wanted * std::int64_t(kBlock));
            if (got < qint64(kBlock))
                break;
            chunkFirst = b;
            chunkBlocks = got / std::int64_t(kBlock);
        }
        const unsigned char* h = chunk.data() + (b - chunkFirst) * std::int64_t(kBlock);
        const auto count = recordBlockCount(h);
        if (!count) {
            ++b;
            continue;
        }
        if (h[0] != 'V') {
            const auto conference = std::uint16_t(h[123] | (h[124] << 8));
            if (!lastList || conference != lastConference) {
                lastList = &index.conferences[conference];
                lastConference = conference;
            }
            lastList->push_back(std::int32_t(b));
            const std::string_view recipient(reinterpret_cast<const char*>(h) + 21, Recipient);
            if (!user.empty() && sameName(unpaddedView(recipient), user))
                index.personal.push_back(std::int32_t(b));
        }
        b += *count;
    }
    return index;
}

const MessageFileIndex& builtIndexOf(const QString& workPath, PacketState& packet) {
    if (!packet.builtIndex) {
        const auto path = findFileNoCase(workPath, QStringLiteral("MESSAGES.DAT"));
        packet.builtIndex = std::make_shared<const MessageFileIndex>(
            path ? scanMessagesFile(*path, packet.control.UserName) : MessageFileIndex{});
    }
    return *packet.builtIndex;
}

std::vector<IndexFileEntry> findIndexFiles(const QString& workPath, PacketState& packet) {
    const PacketControl& control = packet.control;
    const int conferences = std::min(control.ConferenceCount, int(control.Conferences.size()));
    auto positionOf = [&](std::int64_t number) {
        for (int p = 0; p < conferences; ++p) {
            if (control.Conferences[std::size_t(p)].ConferenceNumber == number)
                return p;
        }
        return -1;
    };

    std::vector<IndexFileEntry> found;
    std::set<std::uint16_t> indexed;
    for (const QString& name : findFiles(workPath, QStringLiteral("*.NDX"))) {
        if (name.compare(QLatin1String("PERSONAL.NDX"), Qt::CaseInsensitive) == 0)
            continue;
        const std::string dos = unicodeToDos(name);
        const auto number = parseWholeNumber(TrimRight(dos.substr(0, dos.find('.'))));
        if (!number || *number < 0 || *number > 0xFFFF)
            continue;
        IndexFileEntry e;
        e.fileName = dos;
        e.conferenceNumber = std::uint16_t(*number);
        e.conferencePosition = positionOf(*number);
        e.messageCount =
            std::int32_t(FileSizeBytes(joinPath(workPath, name)) / std::int64_t(kIndexEntrySize));
        indexed.insert(e.conferenceNumber);
        found.push_back(std::move(e));
    }

    // Only a packet whose conferences all have an index file is spared the pass.
    bool complete = true;
    for (int p = 0; p < conferences && complete; ++p)
        complete = indexed.count(control.Conferences[std::size_t(p)].ConferenceNumber) > 0;
    if (!complete) {
        for (const auto& [number, blocks] : builtIndexOf(workPath, packet).conferences) {
            if (indexed.count(number))
                continue;
            IndexFileEntry e;
            e.conferenceNumber = number;
            e.conferencePosition = positionOf(number);
            e.messageCount = std::int32_t(blocks.size());
            e.builtIndex = blocks;
            found.push_back(std::move(e));
        }
    }

    std::stable_sort(found.begin(), found.end(),
                     [](const IndexFileEntry& a, const IndexFileEntry& b) {
                         const unsigned pa = unsigned(a.conferencePosition); // -1 sorts last
                         const unsigned pb = unsigned(b.conferencePosition);
                         return pa < pb;
                     });
    return found;
}

std::vector<IndexFileEntry> findIndexFiles(const QString& workPath, const PacketControl& control) {
    PacketState packet;
    packet.control = control;
    return findIndexFiles(workPath, packet);
}

const IndexFileEntry* indexFileOf(const std::vector<IndexFileEntry>& files, int position) {
    for (const IndexFileEntry& e : files) {
        if (e.conferencePosition == position)
            return &e;
    }
    return nullptr;
}

std::vector<std::int32_t> readConferenceIndex(const QString& workPath,
                                              const IndexFileEntry& entry) {
    if (entry.fileName.empty())
        return entry.builtIndex;
    const auto path = findFileNoCase(workPath, dosToUnicode(entry.fileName));
    if (!path)
        throw VelkError::fileNotFound();
    return ReadIndexFile(*path);
}

std::vector<std::int32_t> readPersonalIndex(const QString& workPath) {
    const auto path = findFileNoCase(workPath, QStringLiteral("PERSONAL.NDX"));
    return path ? ReadIndexFile(*path) : std::vector<std::int32_t>{};
}

std::vector<std::int32_t> readPersonalList(const QString& workPath, PacketState& packet) {
    if (const auto path = findFileNoCase(workPath, QStringLiteral("PERSONAL.NDX")))
        return ReadIndexFile(*path);
    return builtIndexOf(workPath, packet).personal;
}

} // namespace velk
