// SPDX-License-Identifier: GPL-2.0-or-later
#include "reply/Macros.h"

#include "core/CharacterSet.h"
#include "core/TwoDigitYear.h"
#include "core/VelkError.h"
#include "packet/MessageHeader.h"
#include "reply/ReplySession.h"

#include <QChar>
#include <QLocale>

#include <optional>
#include <vector>

namespace velk {

namespace {

char lowerDos(char c) {
    const char32_t u = cp437ToUnicode(static_cast<unsigned char>(c));
    const char32_t lower = QChar::toLower(u);
    if (lower == u)
        return c;
    const unsigned char back = unicodeToCp437(lower);
    // Only a true counterpart in the DOS set, never a best fit.
    return cp437ToUnicode(back) == lower ? static_cast<char>(back) : c;
}

std::string firstWord(const std::string& name) {
    const std::size_t space = name.find(' ');
    return space == std::string::npos ? name : name.substr(0, space);
}

std::string lastWord(const std::string& name) {
    const std::size_t space = name.rfind(' ');
    return space == std::string::npos ? name : name.substr(space + 1);
}

std::optional<int> number(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    if (b == e || e - b > 4)
        return std::nullopt;
    int v = 0;
    for (std::size_t i = b; i < e; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

std::vector<std::string_view> split(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(sep, from);
        if (at == std::string_view::npos) {
            parts.push_back(text.substr(from));
            return parts;
        }
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
}

QString shown(std::string_view dos) {
    return dosToUnicode(trimRight(dos));
}

std::string replacement(std::size_t macro, const MacroSources& s) {
    switch (macro) {
    case 0:
        return LongDateDos(s.now.date());
    case 1:
        return s.now.time().toString(QStringLiteral("HH:mm")).toStdString();
    case 2:
        return LongDateDos(ReadMessageDate(s.messageDate, s.now.date()));
    case 3:
        return ReadMessageTime(s.messageTime).toString(QStringLiteral("HH:mm")).toStdString();
    case 4:
        return NameCase(s.recipient);
    case 5:
        return firstWord(NameCase(s.recipient));
    case 6:
        return lastWord(NameCase(s.recipient));
    case 7:
        return trimRight(s.subject);
    case 8:
        return NameCase(s.userName);
    case 9:
        return firstWord(NameCase(s.userName));
    default:
        return lastWord(NameCase(s.userName));
    }
}

} // namespace

MacroSources MajMacros(const ReplySession& session, const MessageHeader& written,
                       std::string_view recipientField, std::string_view subjectField,
                       const QDateTime& now) {
    MacroSources s;
    s.messageDate = written.date;
    s.messageTime = written.time;
    s.recipient = recipientField;
    s.subject = subjectField;
    s.userName = session.packet.control.UserName;
    s.now = now;
    return s;
}

std::string ExpandMacros(std::string_view text, const MacroSources& sources) {
    std::string work(text);
    for (std::size_t m = 0; m < kMacroNames.size(); ++m) {
        const std::size_t at = work.find(kMacroNames[m]);
        if (at == std::string::npos)
            continue;
        work =
            work.substr(0, at) + replacement(m, sources) + work.substr(at + kMacroNames[m].size());
    }
    return work;
}

std::string NameCase(std::string_view name) {
    const std::string given = trimRight(name);
    std::string cased = given;
    for (std::size_t i = 0; i < cased.size(); ++i) {
        const bool keep = i == 0 || given[i - 1] == ' ' || given[i - 1] == '-';
        if (!keep)
            cased[i] = lowerDos(given[i]);
    }
    return cased;
}

std::string QuotePrefix(std::string_view name) {
    std::string prefix;
    for (const char c : NameCase(name)) {
        if (c >= 'A' && c <= 'Z')
            prefix += c;
    }
    return prefix + "> ";
}

std::string LongDateDos(const QDate& date) {
    const QLocale french(QLocale::French, QLocale::France);
    const QString text = QString::number(date.day()) + QLatin1Char(' ') +
                         french.monthName(date.month(), QLocale::LongFormat) + QLatin1Char(' ') +
                         QString::number(date.year());
    // The table's first row (²) stays out of dates.
    return keyboardToDos(unicodeToWindows(text), 1);
}

QDate ReadMessageDate(std::string_view dateText, const QDate& today) {
    const VelkError bad = VelkError::notADate(shown(dateText));
    if (dateText.size() < 5)
        throw bad;
    const char sep = dateText[2];
    const int a = number(dateText.substr(0, 2)).value_or(0);
    const int b = number(dateText.substr(3, 2)).value_or(0);
    const bool dayFirst = b < a && a > 12;
    const std::string trimmed = trimRight(dateText);
    const std::vector<std::string_view> parts = split(trimmed, sep);
    if (parts.size() != 3)
        throw bad;
    const auto first = number(parts[0]), second = number(parts[1]), year = number(parts[2]);
    if (!first || !second || !year)
        throw bad;
    const int y = parts[2].size() <= 2 ? fullYear(*year, today) : *year;
    const QDate date = dayFirst ? QDate(y, *second, *first) : QDate(y, *first, *second);
    if (!date.isValid())
        throw bad;
    return date;
}

QTime ReadMessageTime(std::string_view timeText) {
    const std::string trimmed = trimRight(timeText);
    const std::vector<std::string_view> parts = split(trimmed, ':');
    std::optional<int> h, m, s = 0;
    if (parts.size() == 2 || parts.size() == 3) {
        h = number(parts[0]);
        m = number(parts[1]);
        if (parts.size() == 3)
            s = number(parts[2]);
    }
    const QTime time = h && m && s ? QTime(*h, *m, *s) : QTime();
    if (!time.isValid())
        throw VelkError(QStringLiteral("'%1' n'est pas une heure correcte").arg(shown(timeText)));
    return time;
}

std::string SignatureLine(std::string_view signature) {
    return "--- *" + std::string(signature.substr(0, 13)) +
           " (Version 32 Bits) >>> VERSION Beta <<< *";
}

} // namespace velk
