// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velk {

struct PacketControl;
struct PacketSession;

enum class SubscriptionAction { Add, Drop };

// A conference the user asks the board to add to or drop from the packets it makes.
struct SubscriptionRequest {
    std::uint16_t conference = 0;
    SubscriptionAction action = SubscriptionAction::Add;
    bool operator==(const SubscriptionRequest&) const = default;
};

// The requests waiting for the next reply packet are kept per board, beside VELK.INI:
// <program directory>/<BBSID>.DEM, a version line then one request a line.
QString subscriptionQueuePath(const PacketSession& session);
QByteArray subscriptionQueueBytes(const std::vector<SubscriptionRequest>& requests);
// nullopt for a file that is not one of ours or is damaged.
std::optional<std::vector<SubscriptionRequest>> parseSubscriptionQueue(const QByteArray& data);

// The board's queue, empty when there is no file. Throws VelkError (a French text) for a
// damaged file, which is never trusted nor overwritten.
std::vector<SubscriptionRequest> readSubscriptionQueue(const PacketSession& session);
// Written whole through a temporary file; an empty queue leaves no file. Throws VelkError.
void writeSubscriptionQueue(const PacketSession& session,
                            const std::vector<SubscriptionRequest>& requests);

// One request a conference: a later one takes the place of an earlier one.
void addRequest(std::vector<SubscriptionRequest>& requests, SubscriptionRequest request);

// How the board reads a request: QWKE TODOOR.EXT lines in the reply packet, or a message to
// DOOR.ID's control name in the conference; nullopt when it says neither for this action.
enum class RequestRoute { ToDoorLine, ControlMessage };
std::optional<RequestRoute> requestRoute(const PacketControl& control, SubscriptionAction action);

// TODOOR.EXT's lines for the requests ("AREA 12 a", "AREA 7 D"), CR LF ended, and the
// requests such lines ask for (other lines are passed over).
std::string toDoorLines(const std::vector<SubscriptionRequest>& requests);
std::vector<SubscriptionRequest> parseToDoorLines(std::string_view data);
// The control message's subject for the action: "ADD" or "DROP".
std::string_view controlSubject(SubscriptionAction action);

// TOREADER.EXT's AREA lines: whether the user follows each conference it lists (a flag
// 'a', 'p' or 'g': all, personal, or personal and general messages).
std::map<std::uint16_t, bool> parseToReaderAreas(std::string_view data);

// A line of "Conférences du BBS": the board's conferences from CONTROL.DAT, whether the user
// follows each (where TOREADER.EXT says it) and what is queued for it.
struct BoardConference {
    std::uint16_t number = 0;
    std::string name; // DOS bytes
    std::optional<bool> followed;
    std::optional<SubscriptionAction> queued;
};
std::vector<BoardConference> boardConferences(const PacketSession& session,
                                              const std::vector<SubscriptionRequest>& queue);
// DOS bytes: number in 6 columns, "Oui"/"Non"/blank in 6, the queued request in 10, name.
std::string boardConferenceLine(const BoardConference& conference);

// "Ajouter" / "Retirer": the request queued (the queue file rewritten). The French refusal
// when the board reads no request of the kind (nothing queued), else an empty text. Throws
// VelkError when the queue file is damaged or cannot be written.
QString queueSubscription(const PacketSession& session, std::uint16_t conference,
                          SubscriptionAction action);
// Removes request `index` of the queue. Throws VelkError.
void removeQueuedRequest(const PacketSession& session, std::size_t index);
// A queued request as the written-messages manager lists it, DOS bytes.
std::string queuedRequestLine(const PacketControl& control, const SubscriptionRequest& request);

} // namespace velk
