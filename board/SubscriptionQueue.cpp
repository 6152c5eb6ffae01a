// SPDX-License-Identifier: GPL-2.0-or-later
#include "board/SubscriptionQueue.h"

#include "core/CharacterSet.h"
#include "core/DecimalField.h"
#include "core/FileUtil.h"
#include "core/VelkError.h"
#include "packet/ControlFile.h"
#include "packet/PacketSession.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace velk {

namespace {

constexpr std::string_view kVersionLine = "VELK DEMANDES 1";
constexpr std::string_view kAddWord = "AJOUTER";
constexpr std::string_view kDropWord = "RETIRER";
// One line a conference at most: a bigger file is no queue of ours.
constexpr qint64 kMaxQueueBytes = 65536 * 16;

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(line.substr(start, i - start));
    }
    return out;
}

std::optional<std::uint16_t> conferenceWord(std::string_view word) {
    const auto value = decimalDigits(word, 5);
    if (!value || *value > 0xFFFF)
        return std::nullopt;
    return std::uint16_t(*value);
}

// The lines of a text, CR LF or LF ended.
std::vector<std::string_view> textLines(std::string_view data) {
    std::vector<std::string_view> lines;
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        std::string_view line = data.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        data.remove_prefix(end == std::string_view::npos ? data.size() : end + 1);
    }
    return lines;
}

QString damagedQueue(const QString& path) {
    return QStringLiteral("Le fichier %1 n'est pas une liste de demandes d'abonnement valide "
                          "(fichier endommagé ou d'un autre programme).\n"
                          "Il n'est ni lu ni modifié : renommez-le ou effacez-le.")
        .arg(path);
}

} // namespace

QString subscriptionQueuePath(const PacketSession& s) {
    const std::string& id = s.packet.control.BbsId;
    if (!bbsIdProblem(id).isEmpty())
        throw VelkError(bbsIdProblem(id));
    return joinPath(s.startDirectory, dosToUnicode(id) + QStringLiteral(".DEM"));
}

QByteArray subscriptionQueueBytes(const std::vector<SubscriptionRequest>& requests) {
    std::string text(kVersionLine);
    text += "\r\n";
    for (const SubscriptionRequest& r : requests) {
        text += r.action == SubscriptionAction::Add ? kAddWord : kDropWord;
        text += ' ' + std::to_string(r.conference) + "\r\n";
    }
    return QByteArray(text.data(), qsizetype(text.size()));
}

std::optional<std::vector<SubscriptionRequest>> parseSubscriptionQueue(const QByteArray& data) {
    const std::vector<std::string_view> lines =
        textLines(std::string_view(data.constData(), std::size_t(data.size())));
    if (lines.empty() || lines.front() != kVersionLine)
        return std::nullopt;
    std::vector<SubscriptionRequest> requests;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string_view> w = words(lines[i]);
        if (w.empty())
            continue;
        const auto conference = w.size() == 2 ? conferenceWord(w[1]) : std::nullopt;
        if (!conference || (w[0] != kAddWord && w[0] != kDropWord))
            return std::nullopt;
        addRequest(requests, {*conference, w[0] == kAddWord ? SubscriptionAction::Add
                                                            : SubscriptionAction::Drop});
    }
    return requests;
}

std::vector<SubscriptionRequest> readSubscriptionQueue(const PacketSession& s) {
    const QString path = subscriptionQueuePath(s);
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    if (!info.isFile() || info.size() > kMaxQueueBytes)
        throw VelkError(damagedQueue(path));
    const auto requests = parseSubscriptionQueue(readWholeFile(path));
    if (!requests)
        throw VelkError(damagedQueue(path));
    return *requests;
}

void writeSubscriptionQueue(const PacketSession& s,
                            const std::vector<SubscriptionRequest>& requests) {
    const QString path = subscriptionQueuePath(s);
    if (requests.empty()) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            throw VelkError::io(IoCode::AccessDenied);
        return;
    }
    writeFileAtomically(path, subscriptionQueueBytes(requests));
}

void addRequest(std::vector<SubscriptionRequest>& requests, SubscriptionRequest request) {
    std::erase_if(requests,
                  [&](const SubscriptionRequest& r) { return r.conference == request.conference; });
    requests.push_back(request);
}

std::optional<RequestRoute> requestRoute(const PacketControl& c, SubscriptionAction action) {
    if (c.readsQwke)
        return RequestRoute::ToDoorLine;
    const bool listed = action == SubscriptionAction::Add ? c.ControlAdd : c.ControlDrop;
    if (listed && !c.ControlName.empty())
        return RequestRoute::ControlMessage;
    return std::nullopt;
}

std::string toDoorLines(const std::vector<SubscriptionRequest>& requests) {
    std::string text;
    for (const SubscriptionRequest& r : requests)
        text += "AREA " + std::to_string(r.conference) +
                (r.action == SubscriptionAction::Add ? " a\r\n" : " D\r\n");
    return text;
}

std::vector<SubscriptionRequest> parseToDoorLines(std::string_view data) {
    std::vector<SubscriptionRequest> requests;
    for (std::string_view line : textLines(data)) {
        const std::vector<std::string_view> w = words(line);
        const auto conference =
            w.size() == 3 && w[0] == "AREA" ? conferenceWord(w[1]) : std::nullopt;
        if (!conference)
            continue;
        if (w[2].find('D') != std::string_view::npos)
            addRequest(requests, {*conference, SubscriptionAction::Drop});
        else if (w[2].find_first_of("apg") != std::string_view::npos)
            addRequest(requests, {*conference, SubscriptionAction::Add});
    }
    return requests;
}

std::string_view controlSubject(SubscriptionAction action) {
    return action == SubscriptionAction::Add ? "ADD" : "DROP";
}

std::map<std::uint16_t, bool> parseToReaderAreas(std::string_view data) {
    std::map<std::uint16_t, bool> areas;
    for (std::string_view line : textLines(data)) {
        const std::vector<std::string_view> w = words(line);
        if (w.size() < 2 || w[0] != "AREA")
            continue;
        if (const auto conference = conferenceWord(w[1]))
            areas[*conference] =
                w.size() > 2 && w[2].find_first_of("apg") != std::string_view::npos;
    }
    return areas;
}

std::vector<BoardConference> boardConferences(const PacketSession& s,
                                              const std::vector<SubscriptionRequest>& queue) {
    std::map<std::uint16_t, bool> areas;
    if (const auto toReader = findFileNoCase(s.settings.workPath, QStringLiteral("TOREADER.EXT"));
        toReader && fileSizeBytes(*toReader) <= kMaxQueueBytes * 4) {
        const QByteArray data = readWholeFile(*toReader);
        areas = parseToReaderAreas(std::string_view(data.constData(), std::size_t(data.size())));
    }
    std::vector<BoardConference> list;
    for (const ConferenceEntry& c : s.packet.control.Conferences) {
        BoardConference b;
        b.number = c.ConferenceNumber;
        b.name = c.ConferenceName;
        // A door that lists areas lists those the user follows, and may list the others.
        if (!areas.empty()) {
            const auto area = areas.find(c.ConferenceNumber);
            b.followed = area != areas.end() && area->second;
        }
        for (const SubscriptionRequest& r : queue)
            if (r.conference == c.ConferenceNumber)
                b.queued = r.action;
        list.push_back(std::move(b));
    }
    return list;
}

std::string boardConferenceLine(const BoardConference& b) {
    std::string line = std::to_string(b.number);
    line.resize(std::max<std::size_t>(line.size(), 6), ' ');
    std::string followed = b.followed ? (*b.followed ? "Oui" : "Non") : "";
    followed.resize(6, ' ');
    std::string queued = !b.queued                              ? ""
                         : *b.queued == SubscriptionAction::Add ? "Ajout"
                                                                : "Retrait";
    queued.resize(10, ' ');
    return line + followed + queued + b.name;
}

QString queueSubscription(const PacketSession& s, std::uint16_t conference,
                          SubscriptionAction action) {
    if (!requestRoute(s.packet.control, action))
        return action == SubscriptionAction::Add
                   ? QStringLiteral("Ce BBS n'indique pas qu'il accepte les demandes d'ajout de "
                                    "conférence (ni QWKE, ni CONTROLTYPE = ADD dans DOOR.ID).\n"
                                    "Aucune demande n'est mise en attente.")
                   : QStringLiteral("Ce BBS n'indique pas qu'il accepte les demandes de retrait "
                                    "de conférence (ni QWKE, ni CONTROLTYPE = DROP dans "
                                    "DOOR.ID).\nAucune demande n'est mise en attente.");
    std::vector<SubscriptionRequest> queue = readSubscriptionQueue(s);
    addRequest(queue, {conference, action});
    writeSubscriptionQueue(s, queue);
    return {};
}

void removeQueuedRequest(const PacketSession& s, std::size_t index) {
    std::vector<SubscriptionRequest> queue = readSubscriptionQueue(s);
    if (index >= queue.size())
        return;
    queue.erase(queue.begin() + std::ptrdiff_t(index));
    writeSubscriptionQueue(s, queue);
}

std::string queuedRequestLine(const PacketControl& control, const SubscriptionRequest& r) {
    std::string line = r.action == SubscriptionAction::Add ? "Demande : ajouter la conf\x82rence "
                                                           : "Demande : retirer la conf\x82rence ";
    line += std::to_string(r.conference);
    for (const ConferenceEntry& c : control.Conferences)
        if (c.ConferenceNumber == r.conference)
            return line + " (" + c.ConferenceName + ")";
    return line;
}

} // namespace velk
