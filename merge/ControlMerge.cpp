// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/ControlMerge.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/UiServices.h"
#include "packet/ControlFile.h"

#include <algorithm>
#include <optional>

namespace velk {

namespace {

std::int32_t lineNumber(const std::string& line) {
    return StrToInt(TrimRight(line));
}

// The base control file as lines, edited in place: line n (from 1) is lines[n - 1].
class ControlLines {
public:
    explicit ControlLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    const std::vector<std::string>& lines() const { return lines_; }
    void replace(std::size_t line, std::string text) {
        if (lines_.size() < line)
            lines_.resize(line);
        lines_[line - 1] = std::move(text);
    }

    // Line 11 holds the conference count minus one.
    void addToCount(int delta) {
        replace(11, std::to_string(std::int64_t(lineNumber(lines_.at(10))) + delta));
    }

    // The conference pairs the file holds: line 11's count, as far as the lines go.
    std::size_t pairCount() const {
        const std::int64_t declared = std::int64_t(lineNumber(lines_.at(10))) + 1;
        const std::int64_t present = (std::int64_t(lines_.size()) - 11) / 2;
        return std::size_t(
            std::clamp<std::int64_t>(declared, 0, std::max<std::int64_t>(present, 0)));
    }
    std::size_t numberLine(std::size_t pair) const { return 11 + 2 * pair; }

    // Before the first pair of a greater number, else after the last one.
    void insertConference(std::uint16_t number, const std::string& name) {
        const std::size_t pairs = pairCount();
        std::size_t at = numberLine(pairs);
        for (std::size_t i = 0; i < pairs; ++i) {
            if (lineNumber(lines_[numberLine(i)]) > std::int32_t(number)) {
                at = numberLine(i);
                break;
            }
        }
        lines_.insert(lines_.begin() + std::ptrdiff_t(at), {std::to_string(number), name});
        addToCount(+1);
    }

    // Removes the first pair of that number; false when there is none.
    bool removeConference(std::uint16_t number) {
        const std::size_t pairs = pairCount();
        for (std::size_t i = 0; i < pairs; ++i) {
            if (lineNumber(lines_[numberLine(i)]) == std::int32_t(number)) {
                const auto first = lines_.begin() + std::ptrdiff_t(numberLine(i));
                lines_.erase(first, first + 2);
                addToCount(-1);
                return true;
            }
        }
        return false;
    }

private:
    std::vector<std::string> lines_;
};

struct LoadedControl {
    QString path;
    QByteArray data;
};

std::optional<LoadedControl> loadControl(const QString& directory, UiServices& ui) {
    const auto path = findFileNoCase(directory, QStringLiteral("CONTROL.DAT"));
    if (!path) {
        ui.message(QStringLiteral("Fichier ") + directory +
                       QStringLiteral("/CONTROL.DAT introuvable"),
                   MessageKind::Warning);
        return std::nullopt;
    }
    return LoadedControl{*path, readWholeFile(*path)};
}

QString dos(const std::string& text) {
    return dosToUnicode(text);
}

} // namespace

MergeControlData readMergeControlData(const std::vector<std::string>& lines,
                                      std::size_t nameWidth) {
    auto line = [&](std::int64_t n) -> std::string {
        return n >= 1 && std::size_t(n) <= lines.size() ? lines[std::size_t(n - 1)] : std::string();
    };
    MergeControlData d;
    d.bbsName = cutToWidth(line(1), 40);
    d.bbsId = cutToWidth(afterComma(line(5)), 8);
    d.packetDate = cutToWidth(beforeComma(line(6)), 10);
    d.packetTime = cutToWidth(afterComma(line(6)), 10);
    d.userName = cutToWidth(line(7), 50);
    d.totalMessages = lineNumber(line(10));
    const std::int64_t count = std::max<std::int64_t>(std::int64_t(lineNumber(line(11))) + 1, 0);
    d.conferences.reserve(
        std::size_t(std::min<std::int64_t>(count, std::int64_t(lines.size()) / 2)));
    for (std::int64_t i = 0; i < count; ++i) {
        const std::optional<std::uint16_t> number = conferenceNumber(line(12 + 2 * i));
        if (!number)
            continue;
        ConferenceEntry e;
        e.ConferenceNumber = *number;
        e.ConferenceName = cutToWidth(line(13 + 2 * i), nameWidth);
        d.conferences.push_back(std::move(e));
    }
    return d;
}

bool GereControlDat(const QString& baseDirectory, const QString& integratedDirectory,
                    PacketControl& control, MergeNotices& notices, UiServices& ui,
                    std::vector<Renumbering>& renumbered) {
    notices = MergeNotices();
    renumbered.clear();

    const auto integratedFile = loadControl(integratedDirectory, ui);
    if (!integratedFile)
        return false;
    const std::vector<std::string> integratedLines = splitTextLines(integratedFile->data);
    const MergeControlData in = readMergeControlData(integratedLines);
    {
        // The program's packet description takes the integrated packet's identity.
        const auto line = [&](std::size_t n) {
            return n <= integratedLines.size() ? integratedLines[n - 1] : std::string();
        };
        control.BbsName = in.bbsName;
        control.BbsCity = cutToWidth(beforeComma(line(2)), 40);
        control.BbsRegion = cutToWidth(afterComma(line(2)), 40);
        control.BbsPhone = cutToWidth(line(3), 40);
        control.SysopName = cutToWidth(line(4), 80);
        control.BbsId = in.bbsId;
        control.PacketDate = in.packetDate;
        control.PacketTime = in.packetTime;
        control.UserName = in.userName;
        control.TotalMessages = in.totalMessages;
        control.ConferenceCount = std::int32_t(in.conferences.size());
        control.Conferences = in.conferences;
        for (ConferenceEntry& e : control.Conferences)
            e.ConferenceName = cutToWidth(e.ConferenceName, 30);
    }

    const auto baseFile = loadControl(baseDirectory, ui);
    if (!baseFile)
        return false;
    ControlLines edited(splitTextLines(baseFile->data));
    const MergeControlData base = readMergeControlData(edited.lines());

    if (base.bbsId != in.bbsId &&
        !ui.askYesNo(QStringLiteral("Ces deux fichiers QWK ne proviennent pas du même BBS.\n"
                                    "Continuer la fusion malgré tout ?")))
        return false;
    if (base.userName != in.userName &&
        !ui.askYesNo(QStringLiteral("Ces deux fichiers QWK n'ont pas été téléchargé par le même "
                                    "utilisateur.\nContinuer la fusion malgré tout ?")))
        return false;

    // Paired by position only; the base keeps its name.
    const std::size_t paired = std::min(base.conferences.size(), in.conferences.size());
    for (std::size_t i = 0; i < paired; ++i) {
        const ConferenceEntry& b = base.conferences[i];
        const ConferenceEntry& c = in.conferences[i];
        if (b.ConferenceNumber == c.ConferenceNumber && b.ConferenceName != c.ConferenceName)
            notices.add(QStringLiteral("Attention : La conférence N° ") +
                        QString::number(b.ConferenceNumber) +
                        QStringLiteral(" anciennement appelée : \"") + dos(b.ConferenceName) +
                        QStringLiteral("\" sera désormais connue sous le nom de \"") +
                        dos(c.ConferenceName) + QStringLiteral("\""));
    }

    for (const ConferenceEntry& c : in.conferences) {
        const auto sameNumber = [&](const ConferenceEntry& b) {
            return b.ConferenceNumber == c.ConferenceNumber;
        };
        if (std::any_of(base.conferences.begin(), base.conferences.end(), sameNumber))
            continue;
        const auto previous = std::find_if(
            base.conferences.begin(), base.conferences.end(),
            [&](const ConferenceEntry& b) { return b.ConferenceName == c.ConferenceName; });
        if (previous == base.conferences.end()) {
            notices.add(QStringLiteral("La conférence \"") + dos(c.ConferenceName) +
                        QStringLiteral("\" a été ajoutée depuis la dernière fusion."));
            edited.insertConference(c.ConferenceNumber, c.ConferenceName);
            continue;
        }
        const std::uint16_t oldNumber = previous->ConferenceNumber;
        notices.add(QStringLiteral("La conférence \"") + dos(c.ConferenceName) +
                    QStringLiteral("\" a changé de numéro,\nelle porte désormais le N° ") +
                    QString::number(c.ConferenceNumber) + QStringLiteral("\nau lieu du N° ") +
                    QString::number(oldNumber));
        edited.insertConference(c.ConferenceNumber, c.ConferenceName);
        // An earlier conference of the same name may have taken the old pair already.
        edited.removeConference(oldNumber);
        renumbered.push_back({oldNumber, c.ConferenceNumber});
    }

    edited.replace(6, in.packetDate + "," + in.packetTime);
    edited.replace(10, std::to_string(std::int64_t(base.totalMessages) + in.totalMessages));

    // The base file's own line ends and name are kept.
    const bool lfOnly = !baseFile->data.contains("\r\n") && baseFile->data.contains('\n');
    const char* end = lfOnly ? "\n" : "\r\n";
    QByteArray out;
    for (const std::string& l : edited.lines()) {
        out.append(l.data(), qsizetype(l.size()));
        out.append(end);
    }
    writeFileAtomically(baseFile->path, out);
    return true;
}

} // namespace velk
