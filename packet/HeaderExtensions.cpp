// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/HeaderExtensions.h"

#include "core/FileUtil.h"
#include "packet/MessageStore.h"
#include "packet/PacketSession.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>

namespace velk {

namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

unsigned char foldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

bool sameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldCase(x) == foldCase(y);
           });
}

bool startsWithWord(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && sameWord(s.substr(0, prefix.size()), prefix);
}

std::string longValue(std::string_view value) {
    return std::string(value.substr(0, std::min(value.size(), kLongFieldWidth)));
}

std::optional<std::int64_t> hexOffset(std::string_view name) {
    if (name.size() > 2 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X'))
        name.remove_prefix(2);
    if (name.empty() || name.size() > 15)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : name) {
        const unsigned char u = foldCase(c);
        int digit = 0;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

std::optional<bool> yesOrNo(std::string_view value) {
    for (std::string_view yes : {"true", "yes", "on", "1"}) {
        if (sameWord(value, yes))
            return true;
    }
    for (std::string_view no : {"false", "no", "off", "0"}) {
        if (sameWord(value, no))
            return false;
    }
    return std::nullopt;
}

// A charset kludge or field naming UTF-8 ("UTF-8 4").
bool namesUtf8(std::string_view value) {
    return startsWithWord(trimBlanks(value), "UTF-8") || startsWithWord(trimBlanks(value), "UTF8");
}

struct Line {
    std::size_t start = 0; // first byte
    std::size_t end = 0;   // past the last byte before the line end
    std::size_t next = 0;  // where the following line starts
};

// The line starting at `pos`; a line ends with LF, CR LF or CR alone.
Line lineAt(const std::string& text, std::size_t pos) {
    Line line;
    line.start = pos;
    const auto end = std::find_if(text.begin() + std::ptrdiff_t(pos), text.end(),
                                  [](char c) { return c == '\r' || c == '\n'; });
    line.end = std::size_t(end - text.begin());
    line.next = line.end;
    if (line.next < text.size() && text[line.next] == '\r')
        ++line.next;
    if (line.next < text.size() && text[line.next] == '\n')
        ++line.next;
    return line;
}

// The value of a "Key:" line, or nullopt when the line is not one.
std::optional<std::string_view> kludgeValue(std::string_view line, std::string_view key) {
    if (!startsWithWord(line, key))
        return std::nullopt;
    return trimBlanks(line.substr(key.size()));
}

// Whether a board's value is what its 25-character field was cut from: the field, letter
// case aside, once the value is cut to the field's width. Past a byte of 0x80 and above the
// two may be in different character sets, and nothing more is compared.
bool agreesWithField(std::string_view field, std::string_view value) {
    field = trimBlanks(field);
    const std::string_view head = trimBlanks(value.substr(0, HeaderField::Recipient));
    for (std::size_t i = 0; i < std::max(field.size(), head.size()); ++i) {
        if (i >= field.size() || i >= head.size())
            return false;
        if (static_cast<unsigned char>(field[i]) >= 0x80 ||
            static_cast<unsigned char>(head[i]) >= 0x80)
            return true;
        if (foldCase(field[i]) != foldCase(head[i]))
            return false;
    }
    return true;
}

// Whether a kludge's value is the long form of the header's field: longer than the field's
// 25 characters (boards write no other), and agreeing with it.
bool continuesField(std::string_view field, std::string_view value) {
    return value.size() > HeaderField::Recipient && agreesWithField(field, value);
}

// "@VIA: ...", "^AMSGID: ...": a kludge line that is no field of the header.
bool isOtherKludge(std::string_view line) {
    if (line.size() < 3 || (line[0] != '@' && line[0] != '\x01'))
        return false;
    std::size_t i = 1;
    while (i < line.size() &&
           (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '-' || line[i] == '_'))
        ++i;
    return i > 1 && i < line.size() && line[i] == ':';
}

bool isCharsetKludge(std::string_view line, bool* utf8) {
    if (!line.empty() && (line[0] == '@' || line[0] == '\x01'))
        line.remove_prefix(1);
    for (std::string_view key : {"CHRS:", "X-FTN-CHRS:"}) {
        if (const auto value = kludgeValue(line, key)) {
            *utf8 = namesUtf8(*value);
            return true;
        }
    }
    return false;
}

// A board puts no more kludges than this above a text.
constexpr std::size_t kMaxKludgeLines = 32;

} // namespace

std::optional<SectionName> sectionName(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return SectionName{};
    return SectionName{hexOffset(trimBlanks(line.substr(1, close - 1)))};
}

HeadersFile parseHeadersFile(std::string_view data) {
    HeadersFile file;
    HeaderSection* current = nullptr;
    std::size_t pos = 0;
    while (pos < data.size()) {
        const std::size_t newline = data.find('\n', pos);
        std::string_view line = data.substr(
            pos, newline == std::string_view::npos ? std::string_view::npos : newline - pos);
        pos = newline == std::string_view::npos ? data.size() : newline + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = trimBlanks(line);
        if (line.empty() || line.front() == ';')
            continue;
        if (const auto section = sectionName(line)) {
            current = section->offset ? &file.sections[*section->offset] : nullptr;
            continue;
        }
        const std::size_t separator = line.find_first_of(":=");
        if (!current || separator == std::string_view::npos)
            continue;
        const std::string_view key = trimBlanks(line.substr(0, separator));
        const std::string_view value = trimBlanks(line.substr(separator + 1));
        // A board writes its own fields first; a mail header it copies below them may repeat
        // a key ("Sender:" of a mailing list) and must not override them.
        const auto first = [&](std::string& field) {
            if (field.empty())
                field = longValue(value);
        };
        if (sameWord(key, "To"))
            first(current->to);
        else if (sameWord(key, "From"))
            first(current->from);
        else if (sameWord(key, "Sender"))
            first(current->sender);
        else if (sameWord(key, "Subject"))
            first(current->subject);
        else if (sameWord(key, "Message-ID") || sameWord(key, "MSGID"))
            first(current->messageId);
        else if (sameWord(key, "In-Reply-To") || sameWord(key, "REPLY"))
            current->inReplyTo = longValue(value);
        else if (sameWord(key, "References") && current->inReplyTo.empty())
            current->inReplyTo = longValue(trimBlanks(value.substr(value.find_last_of(' ') + 1)));
        else if (sameWord(key, "WhenWritten")) {
            if (current->whenWritten.empty())
                current->whenWritten = longValue(value);
        } else if (current->utf8)
            continue;
        else if (sameWord(key, "Utf8"))
            current->utf8 = yesOrNo(value);
        else if ((sameWord(key, "X-FTN-CHRS") || sameWord(key, "CHRS")) && namesUtf8(value))
            current->utf8 = true;
    }
    return file;
}

const HeadersFile& packetHeadersFile(PacketSession& session) {
    if (!session.packet.headersFile) {
        const auto path = findFileNoCase(session.settings.workPath, QStringLiteral("HEADERS.DAT"));
        const QByteArray data = path ? readWholeFile(*path) : QByteArray();
        session.packet.headersFile = std::make_shared<const HeadersFile>(
            parseHeadersFile(std::string_view(data.constData(), std::size_t(data.size()))));
    }
    return *session.packet.headersFile;
}

void applyHeaderSection(MessageHeader& header, const HeaderSection& section) {
    LongFields& f = header.longFields;
    // The list, the sorts and the search use the 25-character fields: a long value that
    // says something else than its field is not shown in its place.
    const auto take = [](std::string& full, const std::string& field,
                         std::initializer_list<const std::string*> values) {
        for (const std::string* value : values) {
            if (!value->empty() && agreesWithField(field, *value)) {
                full = *value;
                return;
            }
        }
    };
    take(f.recipient, header.recipient, {&section.to});
    take(f.author, header.author, {&section.sender, &section.from});
    take(f.subject, header.subject, {&section.subject});
    if (section.utf8)
        f.utf8 = *section.utf8;
    if (!section.whenWritten.empty())
        f.whenWritten = section.whenWritten;
}

void applyKludgeLines(MessageHeader& header, std::string& text) {
    // Lines are found as they are read: most texts have no kludge, and only their first
    // line is looked at.
    std::array<Line, kMaxKludgeLines> lines;
    std::array<bool, kMaxKludgeLines> remove{};
    std::size_t count = 0;
    struct Field {
        std::string_view key;
        const std::string& field;
        std::string& value;
        bool seen = false;
    };
    LongFields& f = header.longFields;
    Field fields[] = {{"To:", header.recipient, f.recipient},
                      {"From:", header.author, f.author},
                      {"Subject:", header.subject, f.subject}};
    bool used = false;
    bool keptKludge = false;
    bool blankAfter = false;
    std::size_t i = 0;
    for (std::size_t pos = 0; i < kMaxKludgeLines && pos < text.size(); ++i) {
        lines[i] = lineAt(text, pos);
        count = i + 1;
        pos = lines[i].next;
        const std::string_view line(text.data() + lines[i].start, lines[i].end - lines[i].start);
        if (trimBlanks(line).empty()) {
            blankAfter = true;
            break;
        }
        bool field = false;
        for (Field& candidate : fields) {
            const auto value = kludgeValue(line, candidate.key);
            if (!value || candidate.seen || value->empty() ||
                !continuesField(candidate.field, *value))
                continue;
            candidate.value = longValue(*value);
            candidate.seen = true;
            remove[i] = true;
            used = field = true;
            break;
        }
        if (field)
            continue;
        bool utf8 = false;
        if (isCharsetKludge(line, &utf8)) {
            f.utf8 = f.utf8 || utf8;
            keptKludge = true;
            continue;
        }
        if (isOtherKludge(line)) {
            keptKludge = true;
            continue;
        }
        break; // the text proper
    }
    if (!used)
        return;
    // The blank line that ends the kludges goes with them when nothing else stays above it.
    if (!keptKludge && blankAfter)
        remove[i] = true;
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t k = 0; k < count; ++k) {
        if (!remove[k])
            continue;
        out.append(text, pos, lines[k].start - pos);
        pos = lines[k].next;
    }
    out.append(text, pos, std::string::npos);
    text = std::move(out);
}

void ReadPacketMessage(PacketSession& session, BlockFile& messages, std::int32_t headerBlock,
                       Diagnostics& said) {
    MessageStoreState& store = session.store;
    said.append(ReadMessageHeader(messages, headerBlock, store));
    ReadMessageText(messages, headerBlock + 1, store.CurrentHeader.blockCount, store);
    if (store.HeaderAnomaly)
        return;
    applyKludgeLines(store.CurrentHeader, store.MessageText);
    const HeadersFile& headers = packetHeadersFile(session);
    const auto section =
        headers.sections.find(std::int64_t(headerBlock) * std::int64_t(kBlockSize));
    if (section != headers.sections.end())
        applyHeaderSection(store.CurrentHeader, section->second);
}

std::vector<std::string> replyKludgeLines(std::string_view recipient, std::string_view author,
                                          std::string_view subject) {
    std::vector<std::string> lines;
    const auto add = [&](std::string_view key, std::string_view value) {
        value = trimBlanks(value);
        if (value.size() > HeaderField::Recipient)
            lines.push_back(std::string(key) + std::string(value));
    };
    add("To: ", recipient);
    add("From: ", author);
    add("Subject: ", subject);
    if (!lines.empty())
        lines.emplace_back();
    return lines;
}

} // namespace velk
