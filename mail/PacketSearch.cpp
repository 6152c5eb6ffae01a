// SPDX-License-Identifier: GPL-2.0-or-later
#include "mail/PacketSearch.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/TextHelpers.h"
#include "core/VelkError.h"
#include "mail/Browser.h"
#include "mail/MailSession.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"

#include <QElapsedTimer>
#include <QFile>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <unordered_map>

namespace velk {

namespace {

// What a DOS byte is compared as: the first byte of its class (the bytes whose characters
// are the same, case folded unless the case counts), and the query in those classes.
struct ByteClasses {
    std::array<unsigned char, 256> of{};
    std::array<bool, 256> word{};   // a letter or a digit, for whole words
    std::optional<std::string> key; // none: the query holds a character the set lacks
    // The bytes of the key's first and last classes, when each has at most two.
    std::array<unsigned char, 2> first{}, last{};
    bool fewFirstAndLast = false;
};

// A DOS byte as the reader shows it: in a text 0xE3 ends a line, and NUL is a blank.
char32_t dosCharacter(unsigned char b, bool text) {
    if (b == 0)
        return U' ';
    if (text && b == 0xE3)
        return U'\n';
    return char32_t(
        dosTextToUnicode(std::string_view(reinterpret_cast<const char*>(&b), 1)).at(0).unicode());
}

ByteClasses byteClasses(const std::u32string& query, bool text, bool matchCase) {
    ByteClasses c;
    std::unordered_map<char32_t, unsigned char> firstOf;
    for (int b = 0; b < 256; ++b) {
        const char32_t u = dosCharacter(static_cast<unsigned char>(b), text);
        const auto added = firstOf.emplace(matchCase ? u : QChar::toCaseFolded(u), b);
        c.of[std::size_t(b)] = added.first->second;
        c.word[std::size_t(b)] = QChar::isLetterOrNumber(u);
    }
    std::string key;
    for (char32_t u : query) {
        const auto found = firstOf.find(u);
        if (found == firstOf.end())
            return c;
        key += char(found->second);
    }
    if (key.empty())
        return c;
    const auto members = [&](unsigned char cls, std::array<unsigned char, 2>& out) {
        int n = 0;
        for (int b = 0; b < 256; ++b) {
            if (c.of[std::size_t(b)] == cls && n++ < 2)
                out[std::size_t(n - 1)] = static_cast<unsigned char>(b);
        }
        if (n == 1)
            out[1] = out[0];
        return n <= 2;
    };
    c.fewFirstAndLast = members(static_cast<unsigned char>(key.front()), c.first) &&
                        members(static_cast<unsigned char>(key.back()), c.last);
    c.key = std::move(key);
    return c;
}

using Bytes16 = unsigned char __attribute__((vector_size(16)));

// Where a match may start among the 16 positions from `p`: those whose first and last
// bytes are of the key's first and last classes, one bit each.
std::uint32_t candidates(const unsigned char* p, std::size_t lastAt, const ByteClasses& c) {
    Bytes16 a, z;
    std::memcpy(&a, p, 16);
    std::memcpy(&z, p + lastAt, 16);
    const auto hit =
        ((a == c.first[0]) | (a == c.first[1])) & ((z == c.last[0]) | (z == c.last[1]));
    std::uint64_t half[2];
    std::memcpy(half, &hit, 16);
    std::uint32_t bits = 0;
    for (int h = 0; h < 2; ++h) {
        // One bit per byte lane: the lanes are 0 or 0xFF.
        const std::uint64_t lanes = half[h] & 0x8080808080808080ULL;
        bits |= std::uint32_t((lanes * 0x0002040810204081ULL) >> 56) << (8 * h);
    }
    return bits;
}

bool findDos(std::string_view bytes, const ByteClasses& c, bool wholeWord) {
    const std::string& key = *c.key;
    const std::size_t m = key.size();
    if (bytes.size() < m)
        return false;
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    const auto at = [&](std::size_t i) {
        for (std::size_t k = 0; k < m; ++k) {
            if (c.of[s[i + k]] != static_cast<unsigned char>(key[k]))
                return false;
        }
        return !wholeWord || ((i == 0 || !c.word[s[i - 1]]) && (i + m == n || !c.word[s[i + m]]));
    };
    std::size_t i = 0;
    if (c.fewFirstAndLast) {
        for (; i + m - 1 + 16 <= n; i += 16) {
            for (std::uint32_t bits = candidates(s + i, m - 1, c); bits != 0; bits &= bits - 1) {
                if (at(i + std::size_t(std::countr_zero(bits))))
                    return true;
            }
        }
    }
    for (; i + m <= n; ++i) {
        if (c.of[s[i]] == static_cast<unsigned char>(key[0]) && at(i))
            return true;
    }
    return false;
}

bool isAscii(std::string_view bytes) {
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t x = 0;
        std::memcpy(&x, bytes.data() + i, 8);
        if (x & 0x8080808080808080ULL)
            return false;
    }
    for (; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

struct SearchMatcher::Tables {
    bool matchCase = false;
    bool wholeWord = false;
    QString query; // folded unless the case counts
    ByteClasses field, text;
};

SearchMatcher::SearchMatcher(const SearchRequest& r) : tables_(std::make_unique<Tables>()) {
    Tables& t = *tables_;
    t.matchCase = r.matchCase;
    t.wholeWord = r.wholeWord;
    // A letter typed with a combining accent is the letter the DOS set holds.
    t.query = r.text.normalized(QString::NormalizationForm_C);
    if (!r.matchCase)
        t.query = t.query.toCaseFolded();
    const std::u32string query = t.query.toStdU32String();
    t.field = byteClasses(query, false, r.matchCase);
    t.text = byteClasses(query, true, r.matchCase);
}

SearchMatcher::~SearchMatcher() = default;

bool SearchMatcher::emptyQuery() const {
    return tables_->query.isEmpty();
}

bool SearchMatcher::matches(std::string_view bytes, bool utf8, bool text) const {
    const Tables& t = *tables_;
    const ByteClasses& classes = text ? t.text : t.field;
    // ASCII reads the same in both sets.
    if (!utf8 || isAscii(bytes))
        return classes.key && findDos(bytes, classes, t.wholeWord);
    std::string copy(bytes);
    std::replace(copy.begin(), copy.end(), '\0', ' ');
    if (text)
        std::replace(copy.begin(), copy.end(), '\xE3', '\n');
    QString characters = utf8TextToUnicode(copy);
    if (!t.matchCase)
        characters = characters.toCaseFolded();
    for (qsizetype from = 0;;) {
        const qsizetype at = characters.indexOf(t.query, from);
        if (at < 0)
            return false;
        const qsizetype end = at + t.query.size();
        if (!t.wholeWord || ((at == 0 || !characters[at - 1].isLetterOrNumber()) &&
                             (end >= characters.size() || !characters[end].isLetterOrNumber())))
            return true;
        from = at + 1;
    }
}

namespace {

// How much of MESSAGES.DAT is read at once.
constexpr std::int64_t kPiece = 1 << 20;
// The most text blocks the viewer reads for a message.
constexpr std::int64_t kMostTextBlocks = 0xFFFF;

// The hits read again that a slice gives: a slice stays short, and so does the list of hits
// handed over, whatever the packet's order.
constexpr std::size_t kMostGivenAgain = 4096;

// Bytes 116-121 of a header: the message's blocks, itself included.
constexpr std::size_t kBlockCountOffset = 116;
constexpr std::size_t kRecipientOffset = 21;
constexpr std::size_t kSubjectOffset = 71;

std::string_view unpaddedView(std::string_view field) {
    while (!field.empty() && (field.back() == ' ' || field.back() == '\0'))
        field.remove_suffix(1);
    return field;
}

// A text whose first line may be a kludge line: only such texts are copied to be read so.
bool mayHoldKludges(std::string_view text) {
    if (text.empty())
        return false;
    switch (text.front()) {
    case 'T':
    case 't':
    case 'F':
    case 'f':
    case 'S':
    case 's':
    case 'C':
    case 'c':
    case 'X':
    case 'x':
    case '@':
    case '\x01':
        return true;
    default:
        return false;
    }
}

} // namespace

// A message as the reader gives it: its header, its text, and what the board says of it
// beside them (kludge lines, HEADERS.DAT).
struct ReadMessage {
    MessageHeader h; // the long fields, and the header's fields once parsed
    bool parsed = false;
    std::string_view header, text;
    std::string kludged; // the text without its kludge lines, when it had some
};

struct PacketSearch::State {
    SearchRequest request;
    SearchMatcher matcher;
    std::shared_ptr<const HeadersFile> headers;
    QFile file;
    std::int64_t fileSize = 0;

    struct Listed {
        std::int32_t block;
        int conferenceNumber;
    };
    std::vector<Listed> listed;         // what is searched, in the order hits are given
    std::vector<std::uint32_t> byBlock; // positions in `listed`, in file order
    std::size_t searched = 0;           // of byBlock
    enum : std::uint8_t { NotYet, Missed, Found, Given };
    std::vector<std::uint8_t> outcome; // of each listed message
    std::size_t given = 0;             // of listed

    std::vector<char> piece; // of the file, read in file order
    std::int64_t pieceStart = 0;
    std::int64_t pieceSize = 0;
    std::string again; // a message found earlier, read again to be given

    State(SearchRequest r) : request(std::move(r)), matcher(request) {}

    void readAt(std::int64_t offset, char* to, std::int64_t size) {
        for (std::int64_t done = 0; done < size;) {
            const ssize_t got =
                ::pread(file.handle(), to + done, std::size_t(size - done), off_t(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                throw VelkError::io(IoCode::ReadPastEnd);
            done += got;
        }
    }

    // `length` bytes from `offset`, fewer where the file ends.
    std::string_view bytesAt(std::int64_t offset, std::int64_t length) {
        length = std::max<std::int64_t>(0, std::min(length, fileSize - offset));
        if (offset < pieceStart || offset + length > pieceStart + pieceSize) {
            const std::int64_t size = std::min(std::max(length, kPiece), fileSize - offset);
            if (std::int64_t(piece.size()) < size)
                piece.resize(std::size_t(size));
            readAt(offset, piece.data(), size);
            pieceStart = offset;
            pieceSize = size;
        }
        return std::string_view(piece.data() + (offset - pieceStart), std::size_t(length));
    }

    // The bytes of a message's header and text, from its header's count.
    static std::int64_t messageSize(std::string_view header) {
        const std::int64_t count = std::max<std::int64_t>(
            1, parseWholeNumber(
                   unpaddedView(header.substr(kBlockCountOffset, HeaderField::BlockCount)))
                   .value_or(1));
        return std::min(count - 1, kMostTextBlocks) * std::int64_t(kBlockSize) + kBlockSize;
    }

    void read(std::string_view whole, std::int64_t offset, ReadMessage& m) const {
        m.h = MessageHeader();
        m.parsed = false;
        m.header = whole.substr(0, kBlockSize);
        m.text = unpaddedView(whole.substr(kBlockSize));
        if (!m.text.empty() && m.text.back() == '\xE3')
            m.text.remove_suffix(1);
        if (mayHoldKludges(m.text)) {
            parseHeader(m);
            m.kludged.assign(m.text);
            std::replace(m.kludged.begin(), m.kludged.end(), '\0', ' ');
            std::replace(m.kludged.begin(), m.kludged.end(), '\xE3', '\n');
            applyKludgeLines(m.h, m.kludged);
            m.text = m.kludged;
        }
        if (!headers->sections.empty()) {
            const auto section = headers->sections.find(offset);
            // The section's values count where they agree with the header's fields.
            if (section != headers->sections.end()) {
                parseHeader(m);
                applyHeaderSection(m.h, section->second);
            }
        }
    }

    static void parseHeader(ReadMessage& m) {
        if (m.parsed)
            return;
        m.parsed = true;
        Block raw{};
        std::memcpy(raw.data(), m.header.data(), kBlockSize);
        LongFields kept = std::move(m.h.longFields);
        m.h = parseHeaderBlock(raw);
        m.h.longFields = std::move(kept);
    }

    bool matches(const ReadMessage& m) const {
        const LongFields& f = m.h.longFields;
        const auto field = [&](const std::string& longValue, std::size_t at, std::size_t width) {
            return longValue.empty() ? unpaddedView(m.header.substr(at, width))
                                     : std::string_view(longValue);
        };
        const unsigned fields = request.fields;
        return ((fields & SearchSubject) &&
                matcher.matches(field(f.subject, kSubjectOffset, HeaderField::Subject), f.utf8,
                                false)) ||
               ((fields & SearchAuthor) &&
                matcher.matches(field(f.author, HeaderField::AuthorOffset, HeaderField::Author),
                                f.utf8, false)) ||
               ((fields & SearchRecipient) &&
                matcher.matches(field(f.recipient, kRecipientOffset, HeaderField::Recipient),
                                f.utf8, false)) ||
               ((fields & SearchText) && matcher.matches(m.text, f.utf8, true));
    }

    void open(MailSession& session) {
        file.setFileName(messagesFilePath(session.settings.workPath));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            throw file.exists() ? VelkError::io(IoCode::AccessDenied) : VelkError::fileNotFound();
        fileSize = file.size();
        packetHeadersFile(session);
        headers = session.packet.headersFile;
    }

    static SearchHit hitOf(ReadMessage& m, int conferenceNumber, std::int32_t block) {
        parseHeader(m);
        const MessageHeader& h = m.h;
        return {conferenceNumber,
                block,
                QString::fromStdString(unpadded(h.number)),
                dosToUnicode(DateToDayFirst(h.date)),
                messageCharacters(h, fullAuthor(h)),
                messageCharacters(h, fullSubject(h))};
    }

    // The hits whose earlier messages have all been searched, in list order. One found
    // before them is read again: keeping each such hit would weigh as much as the hits.
    // At most `most` of them read again; the others wait for the next slice.
    void give(std::vector<SearchHit>& hits, std::size_t most = 0) {
        ReadMessage m;
        for (; given < listed.size() && outcome[given] != NotYet; ++given) {
            if (outcome[given] != Found)
                continue;
            if (most-- == 0)
                return;
            hits.push_back(hitAgain(listed[given].conferenceNumber, listed[given].block, m));
        }
    }

    SearchHit hitAgain(int conferenceNumber, std::int32_t block, ReadMessage& m) {
        const std::int64_t offset = std::int64_t(block) * std::int64_t(kBlockSize);
        if (block < 1 || offset + std::int64_t(kBlockSize) > fileSize)
            throw VelkError::io(IoCode::ReadPastEnd);
        again.resize(kBlockSize);
        readAt(offset, again.data(), kBlockSize);
        again.resize(std::size_t(std::min(messageSize(again), fileSize - offset)));
        readAt(offset, again.data(), std::int64_t(again.size()));
        read(again, offset, m);
        return hitOf(m, conferenceNumber, block);
    }
};

PacketSearch::PacketSearch(MailSession& session, SearchRequest request)
    : state_(std::make_unique<State>(std::move(request))) {
    State& s = *state_;
    if (s.matcher.emptyQuery())
        return;
    s.open(session);
    const std::int64_t blockCount = s.fileSize / std::int64_t(kBlockSize);
    for (const IndexFileEntry& entry : findIndexFiles(session.settings.workPath, session.packet)) {
        if (s.request.conference && entry.conferenceNumber != *s.request.conference)
            continue;
        for (const std::int32_t block : readConferenceIndex(session.settings.workPath, entry))
            s.listed.push_back({block, entry.conferenceNumber});
    }
    s.outcome.assign(s.listed.size(), State::NotYet);
    std::vector<std::uint64_t> order;
    order.reserve(s.listed.size());
    for (std::size_t i = 0; i < s.listed.size(); ++i) {
        const std::int32_t block = s.listed[i].block;
        if (block < 1 || block >= blockCount)
            s.outcome[i] = State::Missed;
        else
            order.push_back(std::uint64_t(block) << 32 | i);
    }
    if (!std::is_sorted(order.begin(), order.end()))
        std::sort(order.begin(), order.end());
    s.byBlock.reserve(order.size());
    for (const std::uint64_t o : order)
        s.byBlock.push_back(std::uint32_t(o));
}

PacketSearch::~PacketSearch() = default;

bool PacketSearch::searchSome(std::vector<SearchHit>& hits, std::chrono::milliseconds budget) {
    State& s = *state_;
    QElapsedTimer clock;
    clock.start();
    ReadMessage m;
    for (std::size_t n = 0; s.searched < s.byBlock.size(); ++n) {
        if (n > 0 &&
            (budget.count() <= 0 || ((n & 63) == 0 && clock.elapsed() >= budget.count()))) {
            s.give(hits, kMostGivenAgain);
            return true;
        }
        const std::int32_t block = s.listed[s.byBlock[s.searched]].block;
        const std::int64_t offset = std::int64_t(block) * std::int64_t(kBlockSize);
        s.read(s.bytesAt(offset, State::messageSize(s.bytesAt(offset, kBlockSize))), offset, m);
        const bool hit = s.matches(m);
        // The same message listed again (two conferences, or twice in one) is searched once.
        for (; s.searched < s.byBlock.size() && s.listed[s.byBlock[s.searched]].block == block;
             ++s.searched) {
            const std::uint32_t at = s.byBlock[s.searched];
            s.outcome[at] = hit ? State::Found : State::Missed;
            // A hit next in the list goes at once, as it was read.
            if (hit && at == s.given) {
                hits.push_back(s.hitOf(m, s.listed[at].conferenceNumber, block));
                s.outcome[at] = State::Given;
            }
            if (at == s.given)
                s.give(hits);
        }
    }
    s.give(hits, kMostGivenAgain);
    return s.given < s.listed.size();
}

std::vector<SearchHit> searchPacket(MailSession& session, const SearchRequest& request) {
    std::vector<SearchHit> hits;
    PacketSearch search(session, request);
    while (search.searchSome(hits, std::chrono::milliseconds(1000))) {
    }
    return hits;
}

SearchHitReader::SearchHitReader(MailSession& session)
    : state_(std::make_unique<PacketSearch::State>(SearchRequest{})) {
    state_->open(session);
}

SearchHitReader::~SearchHitReader() = default;

SearchHit SearchHitReader::hit(int conferenceNumber, std::int32_t headerBlock) {
    ReadMessage m;
    return state_->hitAgain(conferenceNumber, headerBlock, m);
}

} // namespace velk
