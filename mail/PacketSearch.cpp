// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/PacketSearch.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "mail/Browser.h"
#include "mail/MailSession.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"

#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

namespace velk {

namespace {

using FoldTable = std::array<unsigned char, 256>;

// Each DOS byte's small letter in the DOS set (É 0x90 → é 0x82), or the byte itself.
FoldTable dosFoldTable() {
    FoldTable fold{};
    for (int b = 0; b < 256; ++b) {
        fold[std::size_t(b)] = static_cast<unsigned char>(b);
        const QString glyph = dosToUnicode(std::string(1, char(b)));
        if (glyph.size() != 1)
            continue;
        const QString lower = glyph.toLower();
        const std::string back = unicodeToDos(lower);
        if (back.size() == 1 && dosToUnicode(back) == lower)
            fold[std::size_t(b)] = static_cast<unsigned char>(back[0]);
    }
    return fold;
}

// Letters and digits of the DOS set: the accented letters lie at 0x80-0xA5, ß at 0xE1.
bool isDosWordByte(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') ||
           (b >= 0x80 && b <= 0xA5) || b == 0xE1;
}

class Matcher {
public:
    explicit Matcher(const SearchRequest& r)
        : request_(r), dosKey_(unicodeToDos(r.text)), fold_(dosFoldTable()) {
        if (!r.matchCase) {
            for (char& c : dosKey_)
                c = char(fold_[static_cast<unsigned char>(c)]);
        }
    }

    bool empty() const { return dosKey_.empty(); }

    bool inDos(std::string_view text) const {
        const auto same = [this](char a, char b) {
            return request_.matchCase
                       ? a == b
                       : fold_[static_cast<unsigned char>(a)] == static_cast<unsigned char>(b);
        };
        for (auto from = text.begin(); from != text.end();) {
            const auto at = std::search(from, text.end(), dosKey_.begin(), dosKey_.end(), same);
            if (at == text.end())
                return false;
            const std::size_t start = std::size_t(at - text.begin());
            const std::size_t end = start + dosKey_.size();
            if (!request_.wholeWord ||
                ((start == 0 || !isDosWordByte(static_cast<unsigned char>(text[start - 1]))) &&
                 (end >= text.size() || !isDosWordByte(static_cast<unsigned char>(text[end])))))
                return true;
            from = at + 1;
        }
        return false;
    }

    bool inUnicode(const QString& text) const {
        const Qt::CaseSensitivity cs = request_.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        for (qsizetype from = 0;;) {
            const qsizetype at = text.indexOf(request_.text, from, cs);
            if (at < 0)
                return false;
            const qsizetype end = at + request_.text.size();
            if (!request_.wholeWord || ((at == 0 || !text[at - 1].isLetterOrNumber()) &&
                                        (end >= text.size() || !text[end].isLetterOrNumber())))
                return true;
            from = at + 1;
        }
    }

    // A field or a text of the message, in its own set.
    bool in(const MessageHeader& h, std::string_view bytes) const {
        return h.longFields.utf8 ? inUnicode(QString::fromUtf8(bytes.data(), bytes.size()))
                                 : inDos(bytes);
    }

private:
    SearchRequest request_;
    std::string dosKey_;
    FoldTable fold_;
};

} // namespace

struct PacketSearch::State {
    MailSession& session;
    SearchRequest request;
    Matcher matcher;
    QByteArray messages;
    const HeadersFile* headers = nullptr;
    std::vector<IndexFileEntry> conferences;
    std::size_t conference = 0;
    std::vector<std::int32_t> blocks; // of the conference being searched
    std::size_t next = 0;
    bool loaded = false; // `blocks` holds the current conference's index

    State(MailSession& s, SearchRequest r) : session(s), request(r), matcher(r) {}

    bool matches(std::int32_t block, MessageHeader& h) const {
        const std::int64_t offset = std::int64_t(block) * std::int64_t(kBlockSize);
        Block raw{};
        std::memcpy(raw.data(), messages.constData() + offset, kBlockSize);
        h = parseHeaderBlock(raw);
        const auto section = headers->sections.find(offset);
        if (section != headers->sections.end())
            applyHeaderSection(h, section->second);
        const std::int64_t count = std::max<std::int64_t>(
            1, parseWholeNumber(std::string_view(unpadded(h.blockCount))).value_or(1));
        const std::int64_t end = std::min<std::int64_t>(offset + count * std::int64_t(kBlockSize),
                                                        std::int64_t(messages.size()));
        std::string text(
            messages.constData() + offset + kBlockSize,
            std::size_t(std::max<std::int64_t>(end - offset - std::int64_t(kBlockSize), 0)));
        std::replace(text.begin(), text.end(), '\xE3', '\n');
        trimMessageText(text);
        applyKludgeLines(h, text);
        const unsigned f = request.fields;
        return ((f & SearchSubject) && matcher.in(h, fullSubject(h))) ||
               ((f & SearchAuthor) && matcher.in(h, fullAuthor(h))) ||
               ((f & SearchRecipient) && matcher.in(h, fullRecipient(h))) ||
               ((f & SearchText) && matcher.in(h, text));
    }
};

PacketSearch::PacketSearch(MailSession& session, SearchRequest request)
    : state_(std::make_unique<State>(session, std::move(request))) {
    State& s = *state_;
    s.messages = readWholeFile(messagesFilePath(session.settings.workPath));
    s.headers = &packetHeadersFile(session);
    s.conferences = findIndexFiles(session.settings.workPath, session.packet);
}

PacketSearch::~PacketSearch() = default;

bool PacketSearch::searchSome(std::vector<SearchHit>& hits, std::chrono::milliseconds budget) {
    State& s = *state_;
    if (s.matcher.empty())
        return false;
    QElapsedTimer clock;
    clock.start();
    const std::int64_t blockCount = s.messages.size() / std::int64_t(kBlockSize);
    while (s.conference < s.conferences.size()) {
        const IndexFileEntry& entry = s.conferences[s.conference];
        if (s.request.conference && entry.conferenceNumber != *s.request.conference) {
            ++s.conference;
            continue;
        }
        if (!s.loaded) {
            s.blocks = readConferenceIndex(s.session.settings.workPath, entry);
            s.next = 0;
            s.loaded = true;
        }
        while (s.next < s.blocks.size()) {
            if ((s.next & 255) == 255 && clock.elapsed() >= budget.count())
                return true;
            const std::int32_t block = s.blocks[s.next++];
            MessageHeader h;
            if (block < 1 || block >= blockCount || !s.matches(block, h))
                continue;
            hits.push_back(
                {entry.conferenceNumber, block, QString::fromStdString(unpadded(h.number)),
                 dosToUnicode(DateToDayFirst(h.date)), messageCharacters(h, fullAuthor(h)),
                 messageCharacters(h, fullSubject(h))});
        }
        ++s.conference;
        s.loaded = false;
        if (clock.elapsed() >= budget.count())
            return s.conference < s.conferences.size();
    }
    return false;
}

std::vector<SearchHit> searchPacket(MailSession& session, const SearchRequest& request) {
    std::vector<SearchHit> hits;
    PacketSearch search(session, request);
    while (search.searchSome(hits, std::chrono::milliseconds(1000))) {
    }
    return hits;
}

} // namespace velk
