// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace velk {

struct MailSession;

// What to find in the open packet. Texts are compared as characters: each message decoded
// with its own set (DOS, or UTF-8 where the board says so), the query as typed, both case
// folded unless the case counts. A character a message's set lacks matches nothing there.
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

// The comparison of one request with the fields and texts of messages.
class SearchMatcher {
public:
    explicit SearchMatcher(const SearchRequest& request);
    ~SearchMatcher();
    SearchMatcher(const SearchMatcher&) = delete;
    SearchMatcher& operator=(const SearchMatcher&) = delete;

    bool emptyQuery() const;
    // Whether the request's text is in `bytes`: a header field, or (`text`) a message text
    // as it lies in MESSAGES.DAT, where 0xE3 ends a line; UTF-8 when `utf8`.
    bool matches(std::string_view bytes, bool utf8, bool text) const;

private:
    struct Tables;
    std::unique_ptr<Tables> tables_;
};

// A message found, as the result list shows it; its conference is the one whose index lists it.
struct SearchHit {
    int conferenceNumber = 0;
    std::int32_t headerBlock = 0;
    QString number, date, author, subject;
};

// One search over every conference of the packet, in the browser's conference order and
// each conference's index order, done a slice at a time so that a window can show the hits
// as they come and stay responsive. The messages file is read in file order, a piece at a
// time, whatever the order of the indices: memory stays flat and the disk reads ahead. A
// hit is given once every message listed before it has been searched.
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
    friend class SearchHitReader;
    struct State;
    std::unique_ptr<State> state_;
};

// The hits of a search read again, one at a time, from the packet open when it was made (its
// files stay readable after the packet closes): a list of hits keeps only where each one is
// and makes its line when it is drawn.
class SearchHitReader {
public:
    explicit SearchHitReader(MailSession& session);
    ~SearchHitReader();
    SearchHitReader(const SearchHitReader&) = delete;
    SearchHitReader& operator=(const SearchHitReader&) = delete;

    // The hit as the search gave it. Throws VelkError when the file cannot be read.
    SearchHit hit(int conferenceNumber, std::int32_t headerBlock);

private:
    std::unique_ptr<PacketSearch::State> state_;
};

// The whole search at once.
std::vector<SearchHit> searchPacket(MailSession& session, const SearchRequest& request);

} // namespace velk
