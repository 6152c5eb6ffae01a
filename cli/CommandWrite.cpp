// SPDX-License-Identifier: GPL-2.0-or-later
// velk-cli write: a message from a script into the board's reply packet, written by the
// editor's own MessageWriting.
#include "cli/CliPacket.h"
#include "core/ActionGuard.h"
#include "core/Archiver.h"
#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/ProfileFile.h"
#include "core/SettingsFile.h"
#include "core/TextHelpers.h"
#include "core/VelkError.h"
#include "packet/ControlFile.h"
#include "packet/HeaderExtensions.h"
#include "packet/MessageHeader.h"
#include "packet/PacketOpening.h"
#include "reply/MessageWriting.h"
#include "reply/Recipients.h"
#include "reply/ReplyFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

#include <iostream>
#include <iterator>

namespace velk {

namespace {

const QString kUsage = QStringLiteral(
    "Usage : velk-cli write --rep RÉPERTOIRE --bbs BBSID --conference N --to NOM "
    "--subject SUJET [--from NOM] [--private] [--reference N] [--paquet PAQUET] < TEXTE");

// The message's own fields go straight into `message`; the author, conference and
// reference are checked first.
struct WriteRequest {
    QString repDirectory;
    QString bbsId;
    QString packet;
    QString from;
    std::optional<int> conference;
    std::optional<int> reference;
    PlainMessage message;
};

// The options, each given once; nullopt after the usage or a bad number's message.
std::optional<WriteRequest> parse(const QStringList& args, CliIo& io) {
    WriteRequest r;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (option == QLatin1String("--private")) {
            r.message.isPrivate = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            io.fail(kUsage);
            return std::nullopt;
        }
        const QString& value = args[++i];
        if (option == QLatin1String("--rep"))
            r.repDirectory = value;
        else if (option == QLatin1String("--bbs"))
            r.bbsId = value;
        else if (option == QLatin1String("--to"))
            r.message.recipient = value;
        else if (option == QLatin1String("--subject"))
            r.message.subject = value;
        else if (option == QLatin1String("--from"))
            r.from = value;
        else if (option == QLatin1String("--paquet"))
            r.packet = value;
        else if (option == QLatin1String("--conference") ||
                 option == QLatin1String("--reference")) {
            const auto n = cliNumber(value, io);
            if (!n)
                return std::nullopt;
            (option == QLatin1String("--conference") ? r.conference : r.reference) = *n;
        } else {
            io.fail(kUsage);
            return std::nullopt;
        }
    }
    if (r.repDirectory.isEmpty() || r.bbsId.isEmpty() || !r.conference ||
        r.message.recipient.isEmpty() || r.message.subject.isEmpty()) {
        io.fail(kUsage);
        return std::nullopt;
    }
    return r;
}

// The line width the program's editor wraps at: VELK.INI beside velk-cli, else the default.
int configuredLineWidth() {
    Settings settings;
    const QString ini =
        joinPath(QCoreApplication::applicationDirPath(), QStringLiteral("VELK.INI"));
    if (QFileInfo(ini).isFile())
        readLineWidth(ProfileFile(ini), settings);
    return settings.maxCar > 0 ? settings.maxCar : 78;
}

int run(const QStringList& args, CliIo& io) {
    const std::optional<WriteRequest> request = parse(args, io);
    if (!request)
        return 2;
    CliUiServices ui(io);
    Session s;
    s.packet.control.BbsId = upperAsciiLetters(unicodeToDos(request->bbsId));
    if (const QString problem = bbsIdProblem(s.packet.control.BbsId); !problem.isEmpty()) {
        io.fail(problem);
        return 1;
    }
    std::unique_ptr<CliPacket> packet;
    if (!request->packet.isEmpty()) {
        packet = openCliPacket(request->packet, io, ui, request->conference);
        if (!packet)
            return 1;
        s.packet.control.readsQwke = packet->session.packet.control.readsQwke;
    }
    std::string author = unicodeToDos(request->from);
    if (author.empty() && packet)
        author = trimRight(packet->session.packet.control.UserName);
    if (author.empty()) {
        io.fail(QStringLiteral("Donnez votre nom (--from NOM) ou le paquet QWK du BBS "
                               "(--paquet PAQUET)."));
        return 2;
    }
    if (*request->conference < 0 || *request->conference > 0xFFFF) {
        io.fail(QStringLiteral("Numéro de conférence incorrect : %1").arg(*request->conference));
        return 2;
    }

    s.settings.maxCar = configuredLineWidth();
    MessageWriting writing(s, ui, {});
    PlainMessage message = request->message;
    message.author = dosToUnicode(author);
    std::istream& in = io.in ? *io.in : std::cin;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    message.text = QString::fromUtf8(bytes);
    message.conference = std::uint16_t(*request->conference);
    message.reference = request->reference.value_or(0);
    std::optional<ReplyDraft> draft = writing.plainDraft(message);
    if (!draft) {
        io.fail(QStringLiteral("Le texte du message est vide : rien n'a été écrit."));
        return 1;
    }

    // The reply file is rebuilt in a directory of our own from the reply packet, so that
    // the packet stays as it was until zip has put the new one in its place.
    TemporaryDirectory work;
    if (!work.isValid()) {
        io.fail(QStringLiteral("Impossible de créer un répertoire temporaire."));
        return 1;
    }
    s.settings.workPath = work.path();
    s.settings.velkPath = work.path(); // the correspondents file stays the program's own
    s.settings.repPath = request->repDirectory;
    bool written = false;
    runAction(ui, [&] {
        if (!QFileInfo(request->repDirectory).isDir())
            throw VelkError(QStringLiteral("Le répertoire ") + request->repDirectory +
                            QStringLiteral(" n'existe pas."));
        adoptOlderBoardFileName(s.settings.repPath, s.packet.control.BbsId, BoardFile::ReplyPacket);
        const QString replyPacket = ReplyPacketPath(s);
        if (const QString problem = irregularFileProblem(replyPacket); !problem.isEmpty())
            throw VelkError(problem);
        if (QFileInfo(replyPacket).isFile()) {
            const UnpackResult r = unpackArchive(replyPacket, work.path());
            if (!r.ok())
                throw VelkError(unpackFailureMessages(replyPacket, r).join(QLatin1Char('\n')));
            adoptOlderBoardFileName(work.path(), s.packet.control.BbsId, BoardFile::ReplyFile);
        }
        if (!writing.send(*draft))
            return;
        if (const PackResult packed = packArchive(replyPacket, {ReplyFilePath(s)}); !packed.ok())
            throw VelkError(packFailureMessages(replyPacket, packed).join(QLatin1Char('\n')));
        written = true;
    });
    return written ? 0 : 1;
}

const CliRegistrar registrar("write",
                             "--rep RÉPERTOIRE --bbs BBSID --conference N --to NOM --subject "
                             "SUJET [--from NOM] [--private] [--reference N] [--paquet PAQUET] "
                             "< TEXTE",
                             &run);

} // namespace

} // namespace velk
