// SPDX-License-Identifier: GPL-2.0-or-later
#include "board/ReadMarks.h"

#include "core/DecimalField.h"

#include <QtEndian>

#include <algorithm>

namespace velk {

namespace {

constexpr std::string_view kMagic = "VELK ETAT DE LECTURE ";
constexpr int kVersion = 1;
constexpr std::size_t kRecordSize = 8;

std::uint64_t keyOf(MessageKey k) {
    return (std::uint64_t(k.conference) << 32) | k.number;
}

// One multiply a record: a torn or altered file is caught, at a cost the load can afford.
std::uint64_t checksum(const std::uint64_t* records, std::size_t count) {
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ count;
    for (std::size_t i = 0; i < count; ++i) {
        h ^= records[i];
        h = ((h << 29) | (h >> 35)) * 0xBF58476D1CE4E5B9ull;
    }
    return h;
}

std::string versionLine(int version) {
    return std::string(kMagic) + std::to_string(version) + "\n";
}

} // namespace

std::optional<MessageKey> messageKey(std::uint16_t conference, std::string_view field) {
    const auto n = decimalField(field, 9);
    if (!n)
        return std::nullopt;
    return MessageKey{conference, std::uint32_t(*n)};
}

ReadMark ReadMarks::mark(MessageKey k) const {
    const std::uint64_t key = keyOf(k);
    if (const auto p = pending_.find(key); p != pending_.end())
        return p->second;
    const auto it = std::lower_bound(records_.begin(), records_.end(), key << 8);
    if (it != records_.end() && (*it >> 8) == key)
        return ReadMark(*it & 0xFF);
    return ReadMark::Unread;
}

bool ReadMarks::setMark(MessageKey k, ReadMark m) {
    if (mark(k) == m)
        return false;
    pending_[keyOf(k)] = m;
    changed_ = true;
    return true;
}

std::size_t ReadMarks::remembered() const {
    std::size_t n = records_.size();
    for (const auto& [key, m] : pending_) {
        const auto it = std::lower_bound(records_.begin(), records_.end(), key << 8);
        const bool had = it != records_.end() && (*it >> 8) == key;
        n += (m != ReadMark::Unread) - had;
    }
    return n;
}

void ReadMarks::merge() {
    if (pending_.empty())
        return;
    std::vector<std::uint64_t> merged;
    merged.reserve(records_.size() + pending_.size());
    auto r = records_.begin();
    for (const auto& [key, m] : pending_) {
        for (; r != records_.end() && (*r >> 8) < key; ++r)
            merged.push_back(*r);
        if (r != records_.end() && (*r >> 8) == key)
            ++r;
        if (m != ReadMark::Unread)
            merged.push_back((key << 8) | std::uint64_t(m));
    }
    merged.insert(merged.end(), r, records_.end());
    records_ = std::move(merged);
    pending_.clear();
}

QByteArray ReadMarks::encode() {
    merge();
    const std::string line = versionLine(kVersion);
    QByteArray data(qsizetype(line.size() + 16 + records_.size() * kRecordSize), Qt::Uninitialized);
    char* out = data.data();
    out = std::copy(line.begin(), line.end(), out);
    qToLittleEndian<std::uint64_t>(records_.size(), out);
    qToLittleEndian<std::uint64_t>(checksum(records_.data(), records_.size()), out + 8);
    out += 16;
    qToLittleEndian<std::uint64_t>(records_.data(), qsizetype(records_.size()), out);
    return data;
}

ReadMarks::Decoded ReadMarks::decode(const QByteArray& data, const QString& name) {
    Decoded d;
    auto refuse = [&](MarksFileProblem problem) -> Decoded& {
        d.marks = ReadMarks();
        d.problem = problem;
        return d;
    };
    const std::string_view bytes(data.constData(), std::size_t(data.size()));
    const std::size_t lineEnd = bytes.find('\n');
    if (!bytes.starts_with(kMagic) || lineEnd == std::string_view::npos || lineEnd > 40) {
        d.message = QStringLiteral("Le fichier %1 n'est pas un fichier de messages lus de "
                                   "VELK : il est laissé tel quel et les messages lus de ce BBS "
                                   "ne seront pas retenus.")
                        .arg(name);
        return refuse(MarksFileProblem::Foreign);
    }
    const std::string_view version = bytes.substr(kMagic.size(), lineEnd - kMagic.size());
    if (version != std::to_string(kVersion)) {
        const bool number =
            !version.empty() && std::all_of(version.begin(), version.end(),
                                            [](char c) { return c >= '0' && c <= '9'; });
        if (number && version.size() < 9 && std::stoi(std::string(version)) > kVersion) {
            d.message = QStringLiteral("Le fichier %1 vient d'une version plus récente de VELK : "
                                       "il est laissé tel quel et les messages lus de ce BBS ne "
                                       "seront pas retenus.")
                            .arg(name);
            return refuse(MarksFileProblem::Newer);
        }
    }
    d.message = QStringLiteral("Le fichier %1 des messages lus est endommagé.").arg(name);
    if (version != std::to_string(kVersion))
        return refuse(MarksFileProblem::Damaged);
    const std::size_t start = lineEnd + 1;
    if (bytes.size() < start + 16 || (bytes.size() - start - 16) % kRecordSize != 0)
        return refuse(MarksFileProblem::Damaged);
    const std::uint64_t count = qFromLittleEndian<std::uint64_t>(bytes.data() + start);
    const std::uint64_t sum = qFromLittleEndian<std::uint64_t>(bytes.data() + start + 8);
    if (count != (bytes.size() - start - 16) / kRecordSize)
        return refuse(MarksFileProblem::Damaged);
    std::vector<std::uint64_t>& records = d.marks.records_;
    records.resize(count);
    qFromLittleEndian<std::uint64_t>(bytes.data() + start + 16, qsizetype(count), records.data());
    if (checksum(records.data(), records.size()) != sum)
        return refuse(MarksFileProblem::Damaged);
    // Sorted and unique keys, known marks, nothing above the conference: a file that passes
    // the checksum by chance still cannot hand the reader anything it would misread.
    std::uint64_t previous = 0;
    bool bad = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::uint64_t r = records[i];
        const std::uint64_t m = r & 0xFF;
        bad |= (r >> 56) != 0 || m == 0 || m > 2 || (i > 0 && (r >> 8) <= (previous >> 8));
        previous = r;
    }
    if (bad)
        return refuse(MarksFileProblem::Damaged);
    d.message.clear();
    return d;
}

} // namespace velk
