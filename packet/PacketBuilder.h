// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace velk {

// Writes QWK packets for the tests and the demo: CONTROL.DAT, DOOR.ID, MESSAGES.DAT with
// one MBF index file per conference and PERSONAL.NDX, bulletins, news, NEWFILES.DAT and any
// other member, unpacked into a directory or zipped with the real zip. The quirks of
// packets from the wild are options. Every text is DOS bytes (code page 437).
//
//   PacketBuilder b;
//   b.control.bbsId = "MABOITE";
//   b.conference(0, "Principal").conference(1001, "Linux");
//   b.add(1001, "Salut", "Bonjour\nA bient\x93t\n").from = "ANNE";
//   b.zipTo(dir + "/MABOITE.QWK");

struct PacketMessage {
    std::uint16_t conference = 0;
    std::string status = " ";
    std::string number; // empty: the message's 1-based position in the packet
    std::string date = "02-05-96";
    std::string time = "21:30";
    std::string to = "JEAN DUPONT";
    std::string from = "MARIE CURIE";
    std::string subject = "Essai";
    std::string password;
    std::string reference;
    std::string text;       // lines ended by '\n', written as 0xE3; a missing last end is added
    bool personal = false;  // also listed in PERSONAL.NDX
    bool oneBlock = false;  // a header without text (block count 1)
    std::string blockCount; // empty: the true count; else written as given
    std::uint16_t logicalNumber = 0;
    bool finalLineEnd = true; // false: the last line has no 0xE3
    // Fields longer than 25 characters: the header takes their first 25, and the full ones go
    // as QWKE kludge lines at the top of the text and/or in a HEADERS.DAT section ("To:",
    // "Sender:", "Subject:", and "Utf8 = true|false" when utf8 is set).
    bool qwkeKludges = false;
    bool headersDat = false;
    std::optional<bool> utf8;
};

struct PacketControlInfo {
    std::string bbsName = "VELK TEST BBS";
    std::string city = "Paris";
    std::string region = "Ile-de-France";
    std::string phone = "01-23-45-67-89";
    std::string sysop = "LE SYSOP";
    std::string serial = "0";
    std::string bbsId = "VELKTEST";
    std::string packetDate = "02-05-1996";
    std::string packetTime = "21:30:00";
    std::string userName = "JEAN DUPONT";
    std::string welcomeFile = "HELLO";
    std::string newsFile = "NEWS";
    std::string goodbyeFile = "GOODBYE";
    std::optional<std::string> totalMessages;   // empty: the real count
    std::optional<std::string> conferenceCount; // line 11; empty: the real count minus 1
};

struct PacketQuirks {
    bool lowerCaseNames = false;     // every member name in lower case
    bool controlLfOnly = false;      // CONTROL.DAT lines ended by LF alone
    bool controlNoFinalEnd = false;  // its last line without end
    std::optional<int> controlLines; // only its first lines are written
    bool nulPadding = false;         // header fields and last text blocks padded with NULs
    bool plainIndexNames = false;    // 5.NDX rather than 005.NDX
    bool noPersonalIndex = false;    // no PERSONAL.NDX even with personal messages
    bool noIndexFiles = false;       // no conference index file at all
    std::string firstBlock = "Produced by the VELK packet builder";
};

class PacketBuilder {
public:
    PacketControlInfo control;
    PacketQuirks quirks;
    std::optional<std::pair<std::string, std::string>> door{{"VELKDOOR", "1.0"}};

    PacketBuilder& conference(std::uint16_t number, std::string name);
    // The conference gets no index file.
    PacketBuilder& withoutIndex(std::uint16_t number);
    // The conference's index file gets this name instead of the usual one.
    PacketBuilder& indexFileName(std::uint16_t number, QString name);
    PacketBuilder& message(PacketMessage message);
    // Adds a message and returns it for further settings: b.add(5, "Sujet", "Texte\n").personal
    // = true. The reference stays valid while the builder lives.
    PacketMessage& add(std::uint16_t conference, std::string subject, std::string text);
    // An index record appended after the real ones: a 1-based block number, written as MBF.
    PacketBuilder& extraIndexEntry(std::uint16_t conference, std::uint32_t blockNumber);
    // Raw bytes appended to a conference's index file (damaged records, partial record).
    PacketBuilder& extraIndexBytes(std::uint16_t conference, const std::string& bytes);
    PacketBuilder& bulletin(QString name, std::string bytes); // "BLT-0.1"
    PacketBuilder& news(std::string bytes);                   // under control.newsFile
    PacketBuilder& newFiles(std::string bytes);               // NEWFILES.DAT
    PacketBuilder& file(QString name, std::string bytes);     // any other member
    // Raw text appended to HEADERS.DAT after the messages' sections.
    PacketBuilder& headersDatText(const std::string& text);
    PacketBuilder& symlink(QString name, QString target); // a link member (hostile)

    // 0-based header block of the i-th message added (what index records point at).
    std::int32_t headerBlockIndex(std::size_t message) const;
    std::size_t messageCount() const { return messages_.size(); }
    // The i-th message added, for settings made after the others were added.
    PacketMessage& messageAt(std::size_t i) { return messages_.at(i); }
    // The name the conference's index file gets.
    QString indexName(std::uint16_t conference) const;

    // Every member, name and bytes, in writing order.
    std::vector<std::pair<QString, QByteArray>> files() const;
    // Writes the members into an existing directory.
    void writeTo(const QString& dir) const;
    // Zips the members with zip -j into the packet (replaced if present); throws
    // std::runtime_error when zip fails.
    void zipTo(const QString& packetPath) const;

    // The bytes of the three files, for callers that need one alone.
    QByteArray controlFile() const;
    QByteArray messagesFile() const;
    QByteArray headersFile() const; // empty when no message has a section

private:
    QString memberName(const QString& name) const;
    std::string fieldPadding() const { return quirks.nulPadding ? std::string(1, '\0') : " "; }

    struct Conf {
        std::uint16_t number;
        std::string name;
    };
    std::vector<Conf> conferences_;
    std::set<std::uint16_t> withoutIndex_;
    std::map<std::uint16_t, QString> indexNames_;
    std::deque<PacketMessage> messages_;
    std::map<std::uint16_t, std::string> extraIndex_;
    std::vector<std::pair<QString, std::string>> others_;
    std::vector<std::pair<QString, QString>> links_;
    std::string headersDatText_;
};

// MBF index record: the 1-based block number and the conference's low byte.
std::string indexRecord(std::uint32_t blockNumber, std::uint16_t conference);

} // namespace velk
