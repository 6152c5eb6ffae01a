// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/PacketBuilder.h"

#include "packet/HeaderExtensions.h"
#include "packet/Mbf.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <stdexcept>

namespace velk {

namespace {

constexpr std::size_t kBlock = 128;

QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}

// The text bytes as stored: kludge lines first when asked, 0xE3 line ends, the last line
// ended unless asked otherwise.
std::string storedText(const PacketMessage& m) {
    if (m.oneBlock)
        return {};
    std::string t;
    if (m.qwkeKludges) {
        for (const std::string& line : replyKludgeLines(m.to, m.from, m.subject))
            t += line + '\n';
    }
    t += m.text;
    if (t.empty() || t.back() != '\n')
        t.push_back('\n');
    if (!m.finalLineEnd)
        t.pop_back();
    for (char& c : t) {
        if (c == '\n')
            c = '\xE3';
    }
    return t;
}

std::size_t textBlocks(const PacketMessage& m) {
    return (storedText(m).size() + kBlock - 1) / kBlock;
}

void field(std::string& out, const std::string& value, std::size_t width, char pad) {
    std::string v = value.substr(0, width);
    v.resize(width, pad);
    out += v;
}

} // namespace

std::string indexRecord(std::uint32_t blockNumber, std::uint16_t conference) {
    const auto mbf = EncodeMbf(blockNumber);
    return std::string{char(mbf[0]), char(mbf[1]), char(mbf[2]), char(mbf[3]),
                       char(conference & 0xFF)};
}

PacketBuilder& PacketBuilder::conference(std::uint16_t number, std::string name) {
    conferences_.push_back({number, std::move(name)});
    return *this;
}

PacketBuilder& PacketBuilder::withoutIndex(std::uint16_t number) {
    withoutIndex_.insert(number);
    return *this;
}

PacketBuilder& PacketBuilder::indexFileName(std::uint16_t number, QString name) {
    indexNames_[number] = std::move(name);
    return *this;
}

PacketBuilder& PacketBuilder::message(PacketMessage message) {
    messages_.push_back(std::move(message));
    return *this;
}

PacketMessage& PacketBuilder::add(std::uint16_t conference, std::string subject, std::string text) {
    PacketMessage& m = messages_.emplace_back();
    m.conference = conference;
    m.subject = std::move(subject);
    m.text = std::move(text);
    return m;
}

PacketBuilder& PacketBuilder::extraIndexEntry(std::uint16_t conference, std::uint32_t blockNumber) {
    extraIndex_[conference] += indexRecord(blockNumber, conference);
    return *this;
}

PacketBuilder& PacketBuilder::extraIndexBytes(std::uint16_t conference, const std::string& raw) {
    extraIndex_[conference] += raw;
    return *this;
}

PacketBuilder& PacketBuilder::bulletin(QString name, std::string content) {
    return file(std::move(name), std::move(content));
}

PacketBuilder& PacketBuilder::news(std::string content) {
    return file(QString::fromLatin1(control.newsFile), std::move(content));
}

PacketBuilder& PacketBuilder::newFiles(std::string content) {
    return file(QStringLiteral("NEWFILES.DAT"), std::move(content));
}

PacketBuilder& PacketBuilder::file(QString name, std::string content) {
    others_.emplace_back(std::move(name), std::move(content));
    return *this;
}

PacketBuilder& PacketBuilder::headersDatText(const std::string& text) {
    headersDatText_ += text;
    return *this;
}

PacketBuilder& PacketBuilder::symlink(QString name, QString target) {
    links_.emplace_back(std::move(name), std::move(target));
    return *this;
}

std::int32_t PacketBuilder::headerBlockIndex(std::size_t message) const {
    std::size_t block = 1;
    for (std::size_t i = 0; i < message && i < messages_.size(); ++i)
        block += 1 + textBlocks(messages_[i]);
    return std::int32_t(block);
}

QString PacketBuilder::indexName(std::uint16_t conference) const {
    if (const auto it = indexNames_.find(conference); it != indexNames_.end())
        return it->second;
    const QString number = quirks.plainIndexNames
                               ? QString::number(conference)
                               : QStringLiteral("%1").arg(conference, 3, 10, QLatin1Char('0'));
    return number + QStringLiteral(".NDX");
}

QString PacketBuilder::memberName(const QString& name) const {
    return quirks.lowerCaseNames ? name.toLower() : name;
}

QByteArray PacketBuilder::messagesFile() const {
    std::string out;
    field(out, quirks.firstBlock, kBlock, ' ');
    const char pad = fieldPadding()[0];
    for (std::size_t i = 0; i < messages_.size(); ++i) {
        const PacketMessage& m = messages_[i];
        const std::string text = storedText(m);
        const std::size_t blocks = textBlocks(m);
        std::string h;
        field(h, m.status, 1, pad);
        field(h, m.number.empty() ? std::to_string(i + 1) : m.number, 7, pad);
        field(h, m.date, 8, pad);
        field(h, m.time, 5, pad);
        field(h, m.to, 25, pad);
        field(h, m.from, 25, pad);
        field(h, m.subject, 25, pad);
        field(h, m.password, 12, pad);
        field(h, m.reference, 8, pad);
        field(h, m.blockCount.empty() ? std::to_string(blocks + 1) : m.blockCount, 6, pad);
        h.push_back('\xE1');
        h.push_back(char(m.conference & 0xFF));
        h.push_back(char(m.conference >> 8));
        h.push_back(char(m.logicalNumber & 0xFF));
        h.push_back(char(m.logicalNumber >> 8));
        h.push_back(' ');
        out += h;
        std::string body = text;
        body.resize(blocks * kBlock, pad);
        out += body;
    }
    return bytes(out);
}

QByteArray PacketBuilder::headersFile() const {
    std::string out;
    // Counted along the way: a packet of 100,000 sections is built in linear time.
    std::size_t block = 1;
    for (std::size_t i = 0; i < messages_.size(); ++i) {
        const PacketMessage& m = messages_[i];
        const std::size_t header = block;
        block += 1 + textBlocks(m);
        if (!m.headersDat)
            continue;
        char section[32];
        std::snprintf(section, sizeof section, "[%llx]\r\n",
                      static_cast<unsigned long long>(header) * kBlock);
        out += section;
        out += "To: " + m.to + "\r\nSender: " + m.from + "\r\nSubject: " + m.subject + "\r\n";
        if (m.utf8)
            out += std::string("Utf8 = ") + (*m.utf8 ? "true" : "false") + "\r\n";
        out += "\r\n";
    }
    return bytes(out + headersDatText_);
}

QByteArray PacketBuilder::controlFile() const {
    std::vector<std::string> lines = {
        control.bbsName,
        control.city + "," + control.region,
        control.phone,
        control.sysop,
        control.serial + "," + control.bbsId,
        control.packetDate + "," + control.packetTime,
        control.userName,
        "",
        "0",
        control.totalMessages.value_or(std::to_string(messages_.size())),
        control.conferenceCount.value_or(std::to_string(int(conferences_.size()) - 1)),
    };
    for (const Conf& c : conferences_) {
        lines.push_back(std::to_string(c.number));
        lines.push_back(c.name);
    }
    lines.push_back(control.welcomeFile);
    lines.push_back(control.newsFile);
    lines.push_back(control.goodbyeFile);
    if (quirks.controlLines && std::size_t(*quirks.controlLines) < lines.size())
        lines.resize(std::size_t(*quirks.controlLines));
    const std::string end = quirks.controlLfOnly ? "\n" : "\r\n";
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (i + 1 < lines.size() || !quirks.controlNoFinalEnd)
            out += end;
    }
    return bytes(out);
}

std::vector<std::pair<QString, QByteArray>> PacketBuilder::files() const {
    std::vector<std::pair<QString, QByteArray>> out;
    auto add = [&](const QString& name, QByteArray data) {
        out.emplace_back(memberName(name), std::move(data));
    };
    add(QStringLiteral("CONTROL.DAT"), controlFile());
    if (door) {
        add(QStringLiteral("DOOR.ID"),
            bytes("DOOR = " + door->first + "\r\nVERSION = " + door->second +
                  "\r\nSYSTEM = VELK\r\nCONTROLNAME = VELK\r\nCONTROLTYPE = ADD\r\n"));
    }
    add(QStringLiteral("MESSAGES.DAT"), messagesFile());

    std::map<std::uint16_t, std::string> indexes;
    std::string personal;
    std::size_t block = 2; // 1-based: block 1 is the packet's own
    for (const PacketMessage& m : messages_) {
        indexes[m.conference] += indexRecord(std::uint32_t(block), m.conference);
        if (m.personal)
            personal += indexRecord(std::uint32_t(block), m.conference);
        block += 1 + textBlocks(m);
    }
    for (const auto& [number, raw] : extraIndex_)
        indexes[number] += raw;
    if (quirks.noIndexFiles)
        indexes.clear();
    for (const Conf& c : conferences_) {
        if (withoutIndex_.count(c.number) || !indexes.count(c.number))
            continue;
        add(indexName(c.number), bytes(indexes[c.number]));
        indexes.erase(c.number);
    }
    // Index files of numbers the control file does not list.
    for (const auto& [number, raw] : indexes) {
        if (!withoutIndex_.count(number))
            add(indexName(number), bytes(raw));
    }
    if (const QByteArray headers = headersFile(); !headers.isEmpty())
        add(QStringLiteral("HEADERS.DAT"), headers);
    if (!personal.empty() && !quirks.noPersonalIndex)
        add(QStringLiteral("PERSONAL.NDX"), bytes(personal));
    for (const auto& [name, content] : others_)
        add(name, bytes(content));
    return out;
}

void PacketBuilder::writeTo(const QString& dir) const {
    for (const auto& [name, data] : files()) {
        QFile f(dir + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
            throw std::runtime_error("cannot write " + f.fileName().toStdString());
    }
    for (const auto& [name, target] : links_) {
        if (!QFile::link(target, dir + QLatin1Char('/') + memberName(name)))
            throw std::runtime_error("cannot link " + name.toStdString());
    }
}

void PacketBuilder::zipTo(const QString& packetPath) const {
    QTemporaryDir tmp;
    if (!tmp.isValid())
        throw std::runtime_error("no temporary directory");
    writeTo(tmp.path());
    QFile::remove(packetPath);
    QStringList args = {QStringLiteral("-q"), QStringLiteral("-j"), QStringLiteral("-X"),
                        QStringLiteral("-y"), QFileInfo(packetPath).absoluteFilePath()};
    for (const auto& f : files())
        args.append(tmp.path() + QLatin1Char('/') + f.first);
    for (const auto& l : links_)
        args.append(tmp.path() + QLatin1Char('/') + memberName(l.first));
    QProcess zip;
    zip.setStandardInputFile(QProcess::nullDevice());
    zip.start(QStringLiteral("zip"), args);
    if (!zip.waitForFinished(60000) || zip.exitStatus() != QProcess::NormalExit ||
        zip.exitCode() != 0)
        throw std::runtime_error("zip failed: " + zip.readAllStandardError().toStdString());
}

} // namespace velk
