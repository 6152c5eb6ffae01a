// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace velk {

struct MailSession;

// What to find in the open packet. Texts are matched in the message's own set: an accented
// letter typed finds itself in a DOS text, and, letter case aside, its capital too.
enum SearchField : unsigned {
    SearchSubject = 1,
    SearchAuthor = 2,
    SearchRecipient = 4,
    SearchText = 8,
};

struct SearchRequest {
    QString text;
    unsigned fields = SearchSubject | SearchAuthor | SearchRecipient | SearchText;
    bool matchCase = false;
    bool wholeWord = false;
    std::optional<int> conference = std::nullopt; // only that conference's messages
};

// A message found, as the result list shows it; its conference is the one whose index lists it.
struct SearchHit {
    int conferenceNumber = 0;
    std::int32_t headerBlock = 0;
    QString number, date, author, subject;
};

// One search over every conference of the packet, in the browser's conference order and
// each conference's index order, done a slice at a time so that a window can show the hits
// as they come and stay responsive. The messages file is read once, at the start.
class PacketSearch {
public:
    PacketSearch(MailSession& session, SearchRequest request);
    ~PacketSearch();
    PacketSearch(const PacketSearch&) = delete;
    PacketSearch& operator=(const PacketSearch&) = delete;

    // Searches on for about `budget`, appending the hits found; false once every message
    // has been searched. Throws VelkError when an index cannot be read.
    bool searchSome(std::vector<SearchHit>& hits, std::chrono::milliseconds budget);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The whole search at once.
std::vector<SearchHit> searchPacket(MailSession& session, const SearchRequest& request);

} // namespace velk
