// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <array>
#include <string>
#include <string_view>

namespace velk {

struct MessageHeader;
struct ReplySession;

// What the macros are replaced with, gathered by MajMacros before every expansion.
struct MacroSources {
    std::string messageDate; // the date field of the header written (8)
    std::string messageTime; // the time field of the header written (5)
    std::string recipient;   // the editor's recipient field
    std::string subject;     // the editor's subject field
    std::string userName;    // the packet's user name: the author
    QDateTime now;           // today and the current time
};

// In the order they are processed.
inline constexpr std::array<std::string_view, 11> kMacroNames = {
    "%DATE%",     "%HEURE%", "%DATEMSG%", "%HEUREMSG%",      "%DEST%",       "%PRENOM_DEST%",
    "%NOM_DEST%", "%SUJET%", "%AUTEUR%",  "%PRENOM_AUTEUR%", "%NOM_AUTEUR%",
};

MacroSources MajMacros(const ReplySession& session, const MessageHeader& written,
                       std::string_view recipientField, std::string_view subjectField,
                       const QDateTime& now);

// Each macro's first occurrence is replaced, in the order above; a replacement holding a
// later macro's name is expanded by it. Texts of any length are kept whole. A message date
// or time that cannot be read throws VelkError.
std::string ExpandMacros(std::string_view text, const MacroSources& sources);

// "JEAN-PIERRE DUPONT  " gives "Jean-Pierre Dupont". DOS bytes in and out.
std::string NameCase(std::string_view name);
// The capitals A-Z of the cased name followed by "> ": "JPD> ".
std::string QuotePrefix(std::string_view name);

// "3 février 1996" as DOS bytes (é is 0x82).
std::string LongDateDos(const QDate& date);

// The date field of a header: mm-dd-yy, or dd/mm/yy when the first number cannot be a month
// and is greater than the second. The year takes the sliding two-digit window around
// `today`. Throws VelkError when it is not a date.
QDate ReadMessageDate(std::string_view dateText, const QDate& today);
QTime ReadMessageTime(std::string_view timeText);

// The first line of the tagline box; the signature is cut to 13 characters.
std::string SignatureLine(std::string_view signature);

} // namespace velk
