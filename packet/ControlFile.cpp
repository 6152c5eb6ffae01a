// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/ControlFile.h"

#include "core/CharacterSet.h"
#include "core/Diagnostics.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "packet/PacketSession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <numeric>
#include <system_error>

namespace velk {

namespace {

std::string afterEquals(const std::string& line) {
    const auto i = line.find('=');
    return i == std::string::npos ? line : line.substr(i + 1);
}

std::string upperTrimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    std::string out(s);
    for (char& ch : out) {
        if (ch >= 'a' && ch <= 'z')
            ch = char(ch - 'a' + 'A');
    }
    return out;
}

} // namespace

bool doorSaysQwke(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        const auto equals = line.find('=');
        const std::string key = upperTrimmed(std::string_view(line).substr(0, equals));
        const std::string value =
            equals == std::string::npos ? std::string() : upperTrimmed(line.substr(equals + 1));
        if (key == "QWKE" || (key == "CONTROLTYPE" && value == "QWKE"))
            return true;
    }
    return false;
}

void readDoorControl(const std::vector<std::string>& lines, PacketControl& c) {
    c.ControlName.clear();
    c.ControlAdd = c.ControlDrop = false;
    for (const std::string& line : lines) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = upperTrimmed(std::string_view(line).substr(0, equals));
        std::string_view value = std::string_view(line).substr(equals + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
            value.remove_suffix(1);
        if (key == "CONTROLNAME")
            c.ControlName = cutToWidth(std::string(value), 25);
        else if (key == "CONTROLTYPE" && upperTrimmed(value) == "ADD")
            c.ControlAdd = true;
        else if (key == "CONTROLTYPE" && upperTrimmed(value) == "DROP")
            c.ControlDrop = true;
    }
}

std::string cutToWidth(std::string text, std::size_t width) {
    if (text.size() > width)
        text.resize(width);
    return text;
}

std::string beforeComma(const std::string& line) {
    const auto i = line.find(',');
    return i == std::string::npos ? std::string() : line.substr(0, i);
}

std::string afterComma(const std::string& line) {
    const auto i = line.find(',');
    return i == std::string::npos ? line : line.substr(i + 1);
}

std::vector<std::string> splitTextLines(const QByteArray& data) {
    std::vector<std::string> lines;
    std::string current;
    for (const char c : data) {
        if (c == '\n') {
            if (!current.empty() && current.back() == '\r')
                current.pop_back();
            lines.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) {
        if (current.back() == '\r')
            current.pop_back();
        lines.push_back(std::move(current));
    }
    return lines;
}

std::optional<std::uint16_t> conferenceNumber(const std::string& line) {
    const std::int32_t n = StrToInt(TrimRight(line));
    if (n < 0 || n > 0xFFFF)
        return std::nullopt;
    return std::uint16_t(n);
}

Diagnostics parseControlLines(const std::vector<std::string>& lines, PacketControl& c) {
    Diagnostics said;
    // Line numbers from 1; a line the file does not have reads as empty.
    auto line = [&](std::int64_t n) -> std::string {
        return n >= 1 && std::size_t(n) <= lines.size() ? lines[std::size_t(n - 1)] : std::string();
    };
    auto number = [&](std::int64_t n) { return StrToInt(TrimRight(line(n))); };

    c.BbsName = cutToWidth(line(1), 40);
    c.BbsCity = cutToWidth(beforeComma(line(2)), 40);
    c.BbsRegion = cutToWidth(afterComma(line(2)), 40);
    c.BbsPhone = cutToWidth(line(3), 40);
    c.SysopName = cutToWidth(line(4), 80);
    c.BbsId = afterComma(line(5)); // checked whole before use, see bbsIdProblem
    c.PacketDate = cutToWidth(beforeComma(line(6)), 10);
    c.PacketTime = cutToWidth(afterComma(line(6)), 10);
    c.UserName = cutToWidth(line(7), 50);
    c.TotalMessages = number(10);
    // A negative count is damage: no conference at all. Every conference is kept, however
    // many; a count beyond the lines stops at the first missing number.
    const std::int64_t n = std::max<std::int64_t>(std::int64_t(number(11)) + 1, 0);
    c.Conferences.clear();
    c.Conferences.reserve(std::size_t(std::min<std::int64_t>(n, std::int64_t(lines.size()) / 2)));
    int outOfRange = 0;
    for (std::int64_t i = 0; i < n; ++i) {
        const std::optional<std::uint16_t> conference = conferenceNumber(line(12 + 2 * i));
        if (!conference) {
            ++outOfRange;
            continue;
        }
        ConferenceEntry e;
        e.ConferenceNumber = *conference;
        e.ConferenceName = cutToWidth(line(13 + 2 * i), kConferenceNameWidth);
        c.Conferences.push_back(std::move(e));
    }
    c.WelcomeFile = cutToWidth(line(12 + 2 * n), 12);
    c.NewsFile = cutToWidth(line(13 + 2 * n), 12);
    c.GoodbyeFile = cutToWidth(line(14 + 2 * n), 12);
    if (outOfRange > 0) {
        said.add(QStringLiteral("Le fichier CONTROL.DAT donne à %1 conférence(s) un numéro "
                                "hors de 0 à 65535.\nElles sont ignorées.")
                     .arg(outOfRange));
    }
    c.ConferenceCount = std::int32_t(c.Conferences.size());
    return said;
}

std::vector<std::string> sortBulletins(const std::vector<std::string>& names, bool afterDot) {
    const char separator = afterDot ? '.' : '-';
    struct Item {
        std::size_t position;
        std::optional<std::int32_t> number;
    };
    std::vector<Item> items;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto s = names[i].find(separator);
        items.push_back({i, s == std::string::npos
                                ? std::nullopt
                                : parseWholeNumber(std::string_view(names[i]).substr(s + 1))});
    }
    // By number; among equal numbers the later name first; unreadable numbers last.
    std::stable_sort(items.begin(), items.end(), [](const Item& x, const Item& y) {
        if (x.number.has_value() != y.number.has_value())
            return x.number.has_value();
        if (!x.number)
            return x.position < y.position;
        if (*x.number != *y.number)
            return *x.number < *y.number;
        return x.position > y.position;
    });
    std::vector<std::string> sorted;
    sorted.reserve(items.size());
    for (const Item& it : items)
        sorted.push_back(names[it.position]);
    return sorted;
}

Diagnosed<bool> InitQWK(const QString& workPath, PacketControl& c) {
    std::vector<std::string> scan;
    c.BulletinsNumberedAfterDot = true;
    for (const QString& name : findFiles(workPath, QStringLiteral("BLT-*.*"))) {
        const std::string n = unicodeToDos(name);
        if (n.find('.') == std::string::npos)
            c.BulletinsNumberedAfterDot = false;
        scan.push_back(n);
    }
    c.BulletinFiles = sortBulletins(scan, c.BulletinsNumberedAfterDot);
    c.BulletinCount = std::int32_t(c.BulletinFiles.size());

    const auto controlPath = findFileNoCase(workPath, QStringLiteral("CONTROL.DAT"));
    if (!controlPath) {
        Diagnosed<bool> missing{false, {}};
        missing.diagnostics.add(QStringLiteral("Fichier ") + workPath +
                                QStringLiteral("/CONTROL.DAT introuvable"));
        return missing;
    }
    Diagnosed<bool> read{true, parseControlLines(splitTextLines(readWholeFile(*controlPath)), c)};

    c.readsQwke = findFileNoCase(workPath, QStringLiteral("TOREADER.EXT")).has_value();
    if (const auto door = findFileNoCase(workPath, QStringLiteral("DOOR.ID"))) {
        const std::vector<std::string> lines = splitTextLines(readWholeFile(*door));
        c.DoorName = cutToWidth(lines.empty() ? std::string() : afterEquals(lines[0]), 20);
        c.DoorVersion = cutToWidth(lines.size() < 2 ? std::string() : afterEquals(lines[1]), 10);
        c.readsQwke = c.readsQwke || doorSaysQwke(lines);
        readDoorControl(lines, c);
    } else {
        c.DoorName = "Info non fournie";
        c.DoorVersion.clear();
        readDoorControl({}, c);
    }
    return read;
}

Diagnosed<bool> InitQWK(PacketSession& session) {
    session.packet.LogicalCounter = 1;
    session.packet.builtIndex.reset();
    session.packet.headersFile.reset();
    return InitQWK(session.settings.workPath, session.packet.control);
}

QString bbsIdProblem(const std::string& id) {
    const bool bad = id.empty() || id.size() > 8 || id.find("..") != std::string::npos ||
                     std::any_of(id.begin(), id.end(), [](char ch) {
                         const auto u = static_cast<unsigned char>(ch);
                         return u <= 0x20 || u == 0x7F || u == 0xFF || ch == '/' || ch == '\\';
                     });
    if (!bad)
        return {};
    return QStringLiteral("L'identifiant du BBS (\"") + dosToUnicode(id) +
           QStringLiteral("\") donné par le fichier CONTROL.DAT ne peut pas nommer un fichier.\n"
                          "Ce paquet est refusé.");
}

QString boardFileName(const std::string& bbsId, BoardFile kind) {
    return dosToUnicode(bbsId) +
           (kind == BoardFile::ReplyFile ? QStringLiteral(".MSG") : QStringLiteral(".REP"));
}

void adoptOlderBoardFileName(const QString& directory, const std::string& bbsId, BoardFile kind) {
    const QString name = boardFileName(bbsId, kind);
    const QString older = QString::fromLatin1(bbsId.data(), qsizetype(bbsId.size())) +
                          name.mid(name.lastIndexOf(QLatin1Char('.')));
    const QString path = joinPath(directory, name);
    const QString olderPath = joinPath(directory, older);
    if (older != name && !QFileInfo::exists(path) && QFileInfo(olderPath).isFile())
        QFile::rename(olderPath, path);
}

QString removeReplyFilesFromPacket(const QString& workPath, const std::string& bbsId) {
    const QString name = boardFileName(bbsId, BoardFile::ReplyFile);
    QStringList removed;
    for (const QString& found : QDir(workPath).entryList(
             QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name)) {
        if (found.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const QString path = joinPath(workPath, found);
        std::error_code ec;
        fs::remove_all(toFsPath(path), ec);
        removed.append(found);
    }
    if (removed.isEmpty())
        return {};
    return QStringLiteral("Le paquet contenait un fichier de réponses (") +
           removed.join(QStringLiteral(", ")) +
           QStringLiteral(") que vous n'avez pas écrit.\n"
                          "Il a été effacé : il ne partira pas dans votre paquet de réponses.");
}

QString replyFilePath(const PacketSession& s) {
    return joinPath(s.settings.workPath,
                    boardFileName(s.packet.control.BbsId, BoardFile::ReplyFile));
}

QString replyPacketPath(const PacketSession& s) {
    return joinPath(s.settings.repPath,
                    boardFileName(s.packet.control.BbsId, BoardFile::ReplyPacket));
}

} // namespace velk
