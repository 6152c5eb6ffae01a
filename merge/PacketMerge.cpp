// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/PacketMerge.h"

#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "merge/MergeFiles.h"
#include "packet/ControlFile.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageStore.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string_view>
#include <utility>

namespace velk {

namespace {

constexpr std::int64_t kBlock = std::int64_t(kBlockSize);

// A message file read in place: the merge looks at most of its blocks once.
class MappedFile {
public:
    explicit MappedFile(const QString& path) : file_(path) {
        if (!file_.open(QIODevice::ReadOnly))
            throw VelkError::io(IoCode::AccessDenied);
        size_ = file_.size();
        if (size_ > 0 && !(data_ = file_.map(0, size_)))
            throw VelkError::io(IoCode::ReadPastEnd);
    }
    std::int64_t size() const { return size_; }
    // Block `index` when the file holds it whole.
    const unsigned char* block(std::int64_t index) const {
        return index >= 0 && (index + 1) * kBlock <= size_ ? data_ + index * kBlock : nullptr;
    }
    std::string_view bytes(std::int64_t from, std::int64_t length) const {
        from = std::clamp<std::int64_t>(from, 0, size_);
        length = std::clamp<std::int64_t>(length, 0, size_ - from);
        return {reinterpret_cast<const char*>(data_) + from, std::size_t(length)};
    }

private:
    QFile file_;
    uchar* data_ = nullptr;
    std::int64_t size_ = 0;
};

// A file of the merged packet's directory: the packet itself is written safely later.
void writeWorkFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw VelkError::io(IoCode::AccessDenied);
    if (f.write(data) != data.size() || !f.flush())
        throw VelkError::io(IoCode::DiskFull);
}

std::string_view view(const QByteArray& data) {
    return {data.constData(), std::size_t(data.size())};
}

QByteArray fileOrEmpty(const QString& directory, const QString& name) {
    const auto path = findFileNoCase(directory, name);
    return path ? readWholeFile(*path) : QByteArray();
}

// One line of a text file, with its line end.
struct RawLine {
    std::string_view text; // without the line end
    std::string_view end;
};

template <class F> void forEachLine(std::string_view data, F&& f) {
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::size_t newline = data.find('\n', pos);
        const std::size_t next = newline == std::string_view::npos ? data.size() : newline + 1;
        std::string_view text = data.substr(pos, next - pos);
        std::string_view end;
        const std::size_t endLength = text.ends_with("\r\n") ? 2 : text.ends_with('\n') ? 1 : 0;
        end = text.substr(text.size() - endLength);
        text.remove_suffix(endLength);
        f(RawLine{text, end});
        pos = next;
    }
}

// The sections of a HEADERS.DAT or VOTING.DAT text, in file order.
std::vector<PacketMerge::Section> sectionsOf(std::string_view text) {
    std::vector<PacketMerge::Section> sections;
    const char* end = text.data() + text.size();
    forEachLine(text, [&](const RawLine& line) {
        const auto name = sectionName(line.text);
        if (!name)
            return;
        const char* head = line.text.data();
        if (!sections.empty())
            sections.back().body = {sections.back().body.data(),
                                    std::size_t(head - sections.back().body.data())};
        const char* body = line.end.data() + line.end.size();
        sections.push_back({name->offset.value_or(-1),
                            {head, std::size_t(body - head)},
                            {body, std::size_t(end - body)}});
    });
    return sections;
}

// Two section texts alike but for the line ends after the last line.
bool sameLines(std::string_view a, std::string_view b) {
    const auto trimmed = [](std::string_view v) {
        while (!v.empty() && (v.back() == '\r' || v.back() == '\n'))
            v.remove_suffix(1);
        return v;
    };
    return trimmed(a) == trimmed(b);
}

// The number of an "AREA n ..." line of TOREADER.EXT.
std::optional<std::uint16_t> areaNumber(const std::string& line) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line.size() < i + 5)
        return std::nullopt;
    for (std::size_t k = 0; k < 4; ++k) {
        if (std::toupper(static_cast<unsigned char>(line[i + k])) != "AREA"[k])
            return std::nullopt;
    }
    i = line.find_first_not_of(" \t", i + 4);
    if (i == std::string::npos || i == line.find_first_not_of(" \t", 0) + 4)
        return std::nullopt;
    const std::size_t end = line.find_first_not_of("0123456789", i);
    const std::string digits = line.substr(i, end == std::string::npos ? end : end - i);
    if (digits.empty() || digits.size() > 5 || std::stol(digits) > 0xFFFF)
        return std::nullopt;
    return std::uint16_t(std::stol(digits));
}

std::string withAreaNumber(const std::string& line, std::uint16_t number) {
    const std::size_t area = line.find_first_not_of(" \t");
    const std::size_t start = line.find_first_not_of(" \t", area + 4);
    const std::size_t end = line.find_first_not_of("0123456789", start);
    return line.substr(0, start) + std::to_string(number) +
           (end == std::string::npos ? std::string() : line.substr(end));
}

QString count(std::size_t n, const char* one, const char* many) {
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(n == 1 ? one : many);
}

} // namespace

PacketEntries readPacketEntries(const QString& directory) {
    PacketState packet;
    if (const auto control = findFileNoCase(directory, QStringLiteral("CONTROL.DAT"))) {
        // What the reader would tell of the control file is the control-file step's to say.
        static_cast<void>(
            parseControlLines(splitTextLines(readWholeFile(*control)), packet.control));
    }
    PacketEntries entries;
    for (const ConferenceEntry& c : packet.control.Conferences)
        entries.listed.insert(c.ConferenceNumber);
    for (const IndexFileEntry& file : findIndexFiles(directory, packet)) {
        // Of two files of one conference ("5.NDX" and "005.NDX") the reader shows the first.
        if (!entries.conferences.count(file.conferenceNumber))
            entries.conferences[file.conferenceNumber] = readConferenceIndex(directory, file);
    }
    entries.personal = readPersonalList(directory, packet);
    return entries;
}

PacketMerge::PacketMerge(QString baseDirectory, QString integratedDirectory, bool integratedIsNewer)
    : base_(std::move(baseDirectory)), integrated_(std::move(integratedDirectory)),
      integratedIsNewer_(integratedIsNewer) {}

std::int32_t PacketMerge::baseTarget(std::int32_t block) const {
    return block >= 0 && block < n1_ ? block : -1;
}

std::int32_t PacketMerge::integratedTarget(std::int32_t block) const {
    // The integrated packet's own block 0 is not carried.
    return block >= 1 && block < integratedBlocks_ ? std::int32_t(block + n1_ - 1) : -1;
}

void PacketMerge::combineMessages() {
    baseEntries_ = readPacketEntries(base_);
    integratedEntries_ = readPacketEntries(integrated_);
    integratedBlocks_ = (fileSizeBytes(messagesFilePath(integrated_)) + kBlock - 1) / kBlock;

    n1_ = AppendMessageFile(base_, integrated_);
    // Index records hold block numbers up to 2^24 - 1.
    if (n1_ + integratedBlocks_ > 0xFFFFFF)
        throw VelkError(QStringLiteral(
            "Le paquet fusionné serait trop grand : ses fichiers d'index ne pourraient "
            "plus désigner tous ses messages.\nFusion annulée."));
    patchOverrunningCounts();
    carrySections(QStringLiteral("HEADERS.DAT"));
    carrySections(QStringLiteral("VOTING.DAT"));
}

// A base message whose block count runs past the end of its file was read up to that end;
// in the merged file it would run into the integrated messages, so its count is cut there.
void PacketMerge::patchOverrunningCounts() const {
    std::vector<std::pair<std::int64_t, std::int64_t>> patches;
    {
        const MappedFile merged(messagesFilePath(base_));
        const auto look = [&](std::int32_t block) {
            const unsigned char* h = merged.block(baseTarget(block));
            if (!h || block == 0)
                return;
            if (const auto blocks = recordBlockCount(h); blocks && block + *blocks > n1_)
                patches.emplace_back(block, n1_ - block);
        };
        for (const auto& [number, blocks] : baseEntries_.conferences)
            std::for_each(blocks.begin(), blocks.end(), look);
        std::for_each(baseEntries_.personal.begin(), baseEntries_.personal.end(), look);
    }
    if (patches.empty())
        return;
    QFile file(messagesFilePath(base_));
    if (!file.open(QIODevice::ReadWrite))
        throw VelkError::io(IoCode::AccessDenied);
    for (const auto& [block, blocks] : patches) {
        std::string field = std::to_string(blocks);
        field.resize(HeaderField::BlockCount, ' ');
        if (!file.seek(block * kBlock + 116) ||
            file.write(field.data(), qint64(field.size())) != qint64(field.size()))
            throw VelkError::io(IoCode::DiskFull);
    }
    if (!file.flush())
        throw VelkError::io(IoCode::DiskFull);
}

void PacketMerge::carrySections(const QString& name) {
    const auto basePath = findFileNoCase(base_, name);
    const auto integratedPath = findFileNoCase(integrated_, name);
    if (!basePath && !integratedPath)
        return;
    sectionSources_.push_back(basePath ? readWholeFile(*basePath) : QByteArray());
    sectionSources_.push_back(integratedPath ? readWholeFile(*integratedPath) : QByteArray());
    const MappedFile merged(messagesFilePath(base_));
    // A section describes a record of its packet: a message, or a board's vote.
    const auto record = [&](std::int64_t block) {
        const unsigned char* h = merged.block(block);
        return block >= 1 && h && recordBlockCount(h).has_value();
    };

    QByteArray out;
    std::vector<Section>& carried = carried_[name];
    const auto carry = [&](const QByteArray& text, bool base) {
        const std::vector<Section> sections = sectionsOf(view(text));
        // What comes before the first section: the base file's own lines.
        if (base)
            out.append(view(text).substr(
                0, sections.empty() ? text.size() : sections.front().head.data() - text.data()));
        std::size_t dropped = 0;
        for (const Section& section : sections) {
            const std::int64_t offset = section.offset;
            std::int64_t block = offset >= 0 && offset % kBlock == 0 ? offset / kBlock : -1;
            if (!base)
                block = block < INT32_MAX ? integratedTarget(std::int32_t(block)) : -1;
            if (block < 0 || !record(block)) {
                ++dropped;
                continue;
            }
            if (base)
                out.append(section.head);
            else
                out.append('[').append(QByteArray::number(block * kBlock, 16)).append("]\r\n");
            out.append(section.body);
            if (!out.endsWith('\n'))
                out.append("\r\n");
            carried.push_back({block * kBlock, {}, section.body});
        }
        if (dropped > 0)
            sectionNotices_.append(
                QStringLiteral("Le fichier %1 du paquet %2 a %3 : %4.")
                    .arg(name,
                         base ? QStringLiteral("servant de base") : QStringLiteral("à intégrer"),
                         count(dropped, "section qui ne correspond à aucun message",
                               "sections qui ne correspondent à aucun message"),
                         dropped == 1 ? QStringLiteral("elle n'a pas été reprise")
                                      : QStringLiteral("elles n'ont pas été reprises")));
    };
    carry(sectionSources_[sectionSources_.size() - 2], true);
    carry(sectionSources_.back(), false);
    writeWorkFile(basePath ? *basePath : joinPath(base_, name), out);
}

void PacketMerge::carryToReader(const std::vector<Renumbering>& renumbered) const {
    const auto basePath = findFileNoCase(base_, QStringLiteral("TOREADER.EXT"));
    const auto integratedPath = findFileNoCase(integrated_, QStringLiteral("TOREADER.EXT"));
    if (!basePath && !integratedPath)
        return;
    std::vector<std::string> baseLines =
        basePath ? splitTextLines(readWholeFile(*basePath)) : std::vector<std::string>();
    // The base's conferences under the numbers they now have.
    for (std::string& line : baseLines) {
        auto number = areaNumber(line);
        if (!number)
            continue;
        for (const Renumbering& r : renumbered) {
            if (*number == r.from)
                number = r.to;
        }
        line = withAreaNumber(line, *number);
    }
    const std::vector<std::string> integratedLines =
        integratedPath ? splitTextLines(readWholeFile(*integratedPath))
                       : std::vector<std::string>();
    // The newer packet's file leads; without one, the older's is kept whole.
    const bool integratedLeads = integratedIsNewer_ ? integratedPath.has_value() : !basePath;
    const auto& newer = integratedLeads ? integratedLines : baseLines;
    const auto& older = integratedLeads ? baseLines : integratedLines;
    std::set<std::uint16_t> described;
    QByteArray out;
    for (const std::string& line : newer) {
        if (const auto number = areaNumber(line))
            described.insert(*number);
        out.append(line.data(), qsizetype(line.size())).append("\r\n");
    }
    for (const std::string& line : older) {
        const auto number = areaNumber(line);
        if (number && described.insert(*number).second)
            out.append(line.data(), qsizetype(line.size())).append("\r\n");
    }
    writeWorkFile(basePath ? *basePath : joinPath(base_, QStringLiteral("TOREADER.EXT")), out);
}

void PacketMerge::finish(const std::vector<Renumbering>& renumbered, MergeNotices& notices) {
    renumbered_ = renumbered;
    std::map<std::uint16_t, IndexBuffer> lists;
    for (const auto& [number, blocks] : baseEntries_.conferences) {
        IndexBuffer& list = lists[number];
        for (const std::int32_t b : blocks)
            list.entries.push_back({baseTarget(b), 0});
    }
    // In the order the control-file step found them, as its renaming of files did.
    for (const Renumbering& r : renumbered) {
        const auto moved = lists.find(r.from);
        if (moved == lists.end() || r.from == r.to)
            continue;
        std::vector<IndexRecord> records = std::move(moved->second.entries);
        lists.erase(moved);
        auto& target = lists[r.to].entries;
        target.insert(target.begin(), records.begin(), records.end());
    }
    for (const auto& [number, blocks] : integratedEntries_.conferences) {
        IndexBuffer& list = lists[number];
        for (const std::int32_t b : blocks)
            list.entries.push_back({integratedTarget(b), 0});
    }
    IndexBuffer personal;
    for (const std::int32_t b : baseEntries_.personal)
        personal.entries.push_back({baseTarget(b), 0});
    for (const std::int32_t b : integratedEntries_.personal)
        personal.entries.push_back({integratedTarget(b), 0});

    // Every index file is written anew, under the one name each conference has now.
    for (const QString& old : findFiles(base_, QStringLiteral("*.NDX"))) {
        if (!QFile::remove(joinPath(base_, old)))
            throw VelkError::io(IoCode::AccessDenied);
    }
    written_.clear();
    for (auto& [number, list] : lists) {
        std::vector<std::int32_t>& blocks = written_[number];
        for (IndexRecord& r : list.entries) {
            r.extra = std::uint8_t(number & 0xFF);
            blocks.push_back(std::int32_t(r.block));
        }
        WriteIndexFileName(joinPath(base_, TroisChiffres(number) + QStringLiteral(".NDX")),
                           IndexWriteMode::Create, list);
    }
    {
        const MappedFile merged(messagesFilePath(base_));
        writtenPersonal_.clear();
        for (IndexRecord& r : personal.entries) {
            const unsigned char* h = merged.block(r.block);
            r.extra = h ? h[123] : 0;
            writtenPersonal_.push_back(std::int32_t(r.block));
        }
    }
    WriteIndexFileName(joinPath(base_, QStringLiteral("PERSONAL.NDX")), IndexWriteMode::Create,
                       personal);
    carryToReader(renumbered);
    for (const QString& notice : sectionNotices_)
        notices.add(notice);

    if (const QString failure = check(); !failure.isEmpty())
        throw VelkError(failure);
}

QString PacketMerge::check() const {
    const PacketEntries reached = readPacketEntries(base_);
    std::size_t unreachable = 0;
    const auto compare = [&](const std::vector<std::int32_t>& expected,
                             const std::vector<std::int32_t>* got) {
        if (got && *got == expected)
            return;
        std::vector<std::int32_t> present = got ? *got : std::vector<std::int32_t>();
        std::sort(present.begin(), present.end());
        std::size_t missing = 0;
        for (const std::int32_t b : expected) {
            if (!std::binary_search(present.begin(), present.end(), b))
                ++missing;
        }
        unreachable += std::max<std::size_t>(missing, 1);
    };
    for (const auto& [number, expected] : written_) {
        const auto got = reached.conferences.find(number);
        compare(expected, got == reached.conferences.end() ? nullptr : &got->second);
    }
    compare(writtenPersonal_, &reached.personal);

    // The integrated messages, header and text, block for block where they now stand.
    std::size_t altered = 0;
    {
        const MappedFile merged(messagesFilePath(base_));
        const MappedFile source(messagesFilePath(integrated_));
        // All of them at once; message by message only to count those that differ.
        const std::int64_t length = source.size() - kBlock;
        const bool whole =
            merged.size() == n1_ * kBlock + (length + kBlock - 1) / kBlock * kBlock &&
            merged.bytes(n1_ * kBlock, length) == source.bytes(kBlock, length);
        std::vector<bool> seen(whole ? 0 : std::size_t(integratedBlocks_));
        for (const auto& [number, blocks] : integratedEntries_.conferences) {
            for (const std::int32_t b : blocks) {
                const std::int32_t target = integratedTarget(b);
                if (whole || target < 0 || seen[std::size_t(b)])
                    continue;
                seen[std::size_t(b)] = true;
                const unsigned char* h = source.block(b);
                const std::int64_t recordLength =
                    (h ? recordBlockCount(h).value_or(1) : 1) * kBlock;
                const std::string_view was = source.bytes(b * kBlock, recordLength);
                if (merged.bytes(target * kBlock, std::int64_t(was.size())) != was)
                    ++altered;
            }
        }
    }

    // Every conference of both control files, the renumbered ones under their new numbers.
    std::set<std::uint16_t> named = integratedEntries_.listed;
    for (std::uint16_t number : baseEntries_.listed) {
        for (const Renumbering& r : renumbered_)
            number = number == r.from ? r.to : number;
        named.insert(number);
    }
    std::size_t unnamed = 0;
    for (const std::uint16_t number : named)
        unnamed += reached.listed.count(number) == 0;

    // Each section carried whole, long names, subjects and character sets with it, under the
    // offset of its message.
    std::size_t sections = 0;
    for (const auto& [name, carried] : carried_) {
        const QByteArray text = fileOrEmpty(base_, name);
        const std::vector<Section> found = sectionsOf(view(text));
        for (std::size_t i = 0; i < carried.size(); ++i)
            sections += i >= found.size() || found[i].offset != carried[i].offset ||
                        !sameLines(found[i].body, carried[i].body);
    }

    QStringList faults;
    if (unreachable > 0)
        faults.append(count(unreachable, "message n'y serait pas accessible",
                            "messages n'y seraient pas accessibles"));
    if (altered > 0)
        faults.append(QStringLiteral("le texte de ") +
                      count(altered, "message du paquet à intégrer y serait altéré",
                            "messages du paquet à intégrer y seraient altérés"));
    if (unnamed > 0)
        faults.append(
            count(unnamed, "conférence n'y figurerait plus", "conférences n'y figureraient plus"));
    if (sections > 0)
        faults.append(count(sections,
                            "section de HEADERS.DAT ou VOTING.DAT (noms et sujets longs, jeu de "
                            "caractères, votes) y manquerait",
                            "sections de HEADERS.DAT ou VOTING.DAT (noms et sujets longs, jeu de "
                            "caractères, votes) y manqueraient"));
    if (faults.isEmpty())
        return {};
    return QStringLiteral("La vérification du paquet fusionné a échoué : ") +
           faults.join(QStringLiteral(" ; ")) +
           QStringLiteral(".\nLe paquet servant de base n'a pas été modifié.\nFusion annulée.");
}

std::optional<PacketMerge> MergePackets(const QString& baseDirectory,
                                        const QString& integratedDirectory, PacketControl& control,
                                        MergeNotices& notices, UiServices& ui) {
    PacketMerge merge(baseDirectory, integratedDirectory);
    merge.combineMessages();
    std::vector<Renumbering> renumbered;
    if (!GereControlDat(baseDirectory, integratedDirectory, control, notices, ui, renumbered))
        return std::nullopt;
    merge.finish(renumbered, notices);
    return merge;
}

} // namespace velk
