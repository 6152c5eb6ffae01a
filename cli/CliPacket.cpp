// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliPacket.h"

#include "core/ActionGuard.h"
#include "core/Archiver.h"
#include "core/CharacterSet.h"
#include "core/TextHelpers.h"
#include "packet/ControlFile.h"
#include "packet/HeaderExtensions.h"
#include "packet/IndexFiles.h"
#include "packet/MessageHeader.h"
#include "packet/MessageStore.h"
#include "packet/PacketOpening.h"

namespace velk {

void CliUiServices::message(const QString& text, MessageKind, const QString&) {
    io_.fail(text);
}

bool CliUiServices::askYesNo(const QString& text, const QString&) {
    io_.fail(text + QStringLiteral(" Non"));
    return false;
}

Answer CliUiServices::askYesNoCancel(const QString& text, const QString&) {
    io_.fail(text + QStringLiteral(" Annuler"));
    return Answer::Cancel;
}

std::unique_ptr<CliPacket> openCliPacket(const QString& packetPath, CliIo& io, UiServices& ui,
                                         std::optional<int> conference, CliMessages messages) {
    auto packet = std::make_unique<CliPacket>();
    if (!packet->directory.isValid()) {
        io.fail(QStringLiteral("Impossible de créer un répertoire temporaire."));
        return nullptr;
    }
    Session& s = packet->session;
    s.settings.workPath = packet->directory.path();
    s.packet.packetFileName = packetPath;
    bool loaded = false;
    runAction(ui, [&] {
        if (!shown(unpackAndLoadPacket(s, packetPath, messages == CliMessages::CountedOnly), ui))
            return;
        packet->indexFiles = findIndexFiles(s.settings.workPath, s.packet);
        // Counted in MESSAGES.DAT before it was there: again once it is.
        if (s.packet.builtIndex && s.messagesUnpack) {
            s.packet.builtIndex.reset();
            if (!messagesFileReady(s, ui))
                return;
            packet->indexFiles = findIndexFiles(s.settings.workPath, s.packet);
        }
        loaded = true;
    });
    if (!loaded)
        return nullptr;
    if (conference && !conferencePositionOf(s.packet.control, *conference)) {
        io.fail(QStringLiteral("Il n'y a pas de conférence %1 dans ce paquet.").arg(*conference));
        return nullptr;
    }
    return packet;
}

QString cliText(std::string_view dos) {
    QString text = dosTextToUnicode(unpadded(dos));
    text.replace(QChar(u'\0'), QChar(u' '));
    return text;
}

std::optional<int> cliNumber(const QString& arg, CliIo& io) {
    bool ok = false;
    const int n = arg.toInt(&ok);
    if (!ok) {
        io.fail(QStringLiteral("'") + arg +
                QStringLiteral("' n'est pas une valeur entière correcte"));
        return std::nullopt;
    }
    return n;
}

std::optional<std::vector<int>> cliPacketNumbers(const QStringList& args, int minNumbers,
                                                 int maxNumbers, const QString& usage, CliIo& io) {
    const qsizetype count = args.size() - 1;
    if (count < minNumbers || count > maxNumbers) {
        io.fail(usage);
        return std::nullopt;
    }
    std::vector<int> numbers;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const auto n = cliNumber(args[i], io);
        if (!n)
            return std::nullopt;
        numbers.push_back(*n);
    }
    return numbers;
}

std::optional<int> conferencePositionOf(const PacketControl& control, int number) {
    for (int p = 0; p < control.ConferenceCount && p < int(control.Conferences.size()); ++p) {
        if (control.Conferences[std::size_t(p)].ConferenceNumber == number)
            return p;
    }
    return std::nullopt;
}

QString cliField(QString text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == u'\t' || u == u'\n' || u == u'\r')
            c = QChar(char16_t(cp437ToUnicode(static_cast<unsigned char>(u))));
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return text;
}

QString cliListLine(Session& s, BlockFile& messages, const HeadersFile& headers, int conference,
                    std::int32_t block, UiServices& ui) {
    ReadMessageHeader(messages, block, s.store).showTo(ui);
    MessageHeader& h = s.store.CurrentHeader;
    const auto section = headers.sections.find(std::int64_t(block) * 128);
    h.longFields.utf8 = section != headers.sections.end() && section->second.utf8.value_or(false);
    const auto field = [&](const std::string& bytes) {
        return cliField(messageCharacters(h, unpadded(bytes)));
    };
    return QString::number(conference) + QLatin1Char('\t') + cliField(cliText(h.number).trimmed()) +
           QLatin1Char('\t') + cliField(cliText(h.date)) + QLatin1Char('\t') + field(h.author) +
           QLatin1Char('\t') + field(h.recipient) + QLatin1Char('\t') + field(h.subject) +
           QLatin1Char('\n');
}

QString cliListLine(const HeadersFile& headers, int conference, const ListedMessage& m) {
    MessageHeader h;
    const auto section = headers.sections.find(std::int64_t(m.headerBlock) * 128);
    h.longFields.utf8 = section != headers.sections.end() && section->second.utf8.value_or(false);
    const auto field = [&](const auto& bytes) {
        return messageCharacters(h, unpadded({bytes.data(), bytes.size()}));
    };
    return QString::number(conference) + QLatin1Char('\t') + cliText(m.number()).trimmed() +
           QLatin1Char('\t') + cliText({m.date.data(), m.date.size()}) + QLatin1Char('\t') +
           field(m.author) + QLatin1Char('\t') + field(m.recipient) + QLatin1Char('\t') +
           field(m.subject) + QLatin1Char('\n');
}

} // namespace velk
