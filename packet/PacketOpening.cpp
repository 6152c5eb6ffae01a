// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/PacketOpening.h"

#include "core/Archiver.h"
#include "core/CharacterSet.h"
#include "core/DirectoryGuard.h"
#include "core/FileUtil.h"
#include "core/PacketDate.h"
#include "core/TextHelpers.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "core/WorkDirectory.h"
#include "packet/ControlFile.h"
#include "packet/PacketSession.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace velk {

namespace {

Diagnostics unpackFailure(const QString& archive, const UnpackResult& r) {
    const MessageKind kind = r.refusal.isEmpty() ? MessageKind::Information : MessageKind::Warning;
    Diagnostics said;
    for (const QString& text : unpackFailureMessages(archive, r))
        said.add(text, kind);
    return said;
}

// Below this, a second unzip for MESSAGES.DAT costs more than it lets the window gain.
constexpr std::uint64_t kMessagesApartFrom = 1 << 20;

bool messagesReady(UnpackJob& job, UiServices& ui) {
    BusyCursor busy(ui, !job.apartOver());
    const UnpackResult unpacked = job.finishApart();
    busy.release();
    if (!unpacked.ok())
        unpackFailure(job.archive(), unpacked).showTo(ui);
    return unpacked.ok();
}

// Seconds, as file dates compare on the desktop.
qint64 fileTime(const QString& path) {
    return QFileInfo(path).lastModified().toSecsSinceEpoch();
}

} // namespace

Diagnosed<bool> loadUnpackedPacket(PacketSession& s) {
    Diagnosed<bool> loaded = InitQWK(s);
    if (!loaded.value)
        return loaded;
    if (const QString problem = bbsIdProblem(s.packet.control.BbsId); !problem.isEmpty()) {
        loaded.diagnostics.add(problem, MessageKind::Warning);
        loaded.value = false;
        return loaded;
    }
    if (const QString removed =
            removeReplyFilesFromPacket(s.settings.workPath, s.packet.control.BbsId);
        !removed.isEmpty())
        loaded.diagnostics.add(removed, MessageKind::Warning);
    // TODOOR.EXT carries the reader's own requests to the door: one that came with the
    // packet is not the user's and must never travel back in the reply packet.
    if (const auto toDoor = findFileNoCase(s.settings.workPath, QStringLiteral("TODOOR.EXT")))
        QFile::remove(*toDoor);
    return loaded;
}

Diagnosed<bool> unpackAndLoadPacket(PacketSession& s, const QString& packet, bool messagesLater) {
    s.messagesUnpack.reset();
    auto job =
        std::make_unique<UnpackJob>(packet, s.settings.workPath,
                                    messagesLater ? std::optional<std::uint64_t>(0) : std::nullopt);
    const UnpackResult unpacked = job->finish();
    if (!unpacked.ok())
        return {false, unpackFailure(packet, unpacked)};
    if (job->unpacksApart())
        s.messagesUnpack = std::move(job);
    return loadUnpackedPacket(s);
}

QString FileNamePart(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

PacketFields packetFields(const PacketSession& s) {
    const PacketControl& c = s.packet.control;
    PacketFields f;
    f.PaquetName = FileNamePart(s.packet.packetFileName);
    f.PaquetDate = LongPacketDate(c.PacketDate);
    f.PaquetTime = dosToUnicode(std::string_view(c.PacketTime).substr(0, 5));
    f.PaquetUserName = dosToUnicode(c.UserName);
    f.PaquetBBSID = dosToUnicode(c.BbsId);
    f.PaquetDoor = dosToUnicode(c.DoorName + " " + c.DoorVersion);
    return f;
}

std::optional<PacketFields> openQwkPacket(PacketSession& s, UiServices& ui) {
    const QString work = s.settings.workPath;
    // The work directory is about to be emptied: it must be one of its own. Tested first, so
    // that a spelling such as "VELK/WORK/.." is told for the folder it names.
    if (const QString refusal = workDirectoryConflict(s.settings, s.startDirectory);
        !refusal.isEmpty()) {
        ui.message(refusal, MessageKind::Warning);
        return std::nullopt;
    }
    if (!QFileInfo(work).isDir()) {
        if (ui.askYesNo(QStringLiteral("Le répertoire temporaire de travail ( ") + work +
                            QStringLiteral(" ) n'existe pas.\nVoulez-vous le créer ?"),
                        QStringLiteral("Message")))
            QDir().mkdir(work);
        else
            ui.message(QStringLiteral(
                "Modifiez le répertoire de travail\n(Menu Configuration/Répertoires)"));
    }

    QString packet;
    if (s.openFromCommandLine) {
        packet = s.commandLinePacket;
    } else {
        FileDialogRequest request;
        request.title = QStringLiteral("Ouvrir un fichier QWK");
        request.directory = s.settings.qwkPath;
        request.fileName = QStringLiteral("*.Q*");
        request.filters = {QStringLiteral("Paquets QWK (*.Q* *.q*)"),
                           QStringLiteral("Tous les fichiers (*)")};
        const std::optional<QString> chosen = ui.openFileName(request);
        if (!chosen)
            return std::nullopt;
        packet = *chosen;
    }
    s.packet.packetFileName = packet;

    const auto adoptable = [&](const std::unique_ptr<UnpackJob>& job) {
        return job && job->archive() == packet && job->directory() == work;
    };
    // An unpacking started before the windows and over already leaves nothing to wait for:
    // its busy cursor would come and go unseen, and loading that cursor costs more than the
    // rest of the opening.
    BusyCursor busy(ui, !(adoptable(s.pendingUnpack) && s.pendingUnpack->over()));
    // An opening that stops leaves nothing behind in the work directory to fill the disk.
    struct EmptyOnFailure {
        PacketSession& s;
        bool opened = false;
        ~EmptyOnFailure() {
            if (!opened)
                emptyWorkDirectory(s, s.packet.packetFileName);
        }
    } cleanUp{s};
    s.messagesUnpack.reset();
    std::unique_ptr<UnpackJob> job = std::move(s.pendingUnpack);
    if (!adoptable(job)) {
        job.reset();
        if (const QString refusal = emptyWorkDirectory(s, packet); !refusal.isEmpty()) {
            busy.release();
            ui.message(refusal, MessageKind::Warning);
            return std::nullopt;
        }
        job = std::make_unique<UnpackJob>(packet, work, kMessagesApartFrom);
    }
    const UnpackResult unpacked = job->finish();
    if (!unpacked.ok()) {
        busy.release();
        unpackFailure(packet, unpacked).showTo(ui);
        return std::nullopt;
    }
    busy.release();
    if (!shown(loadUnpackedPacket(s), ui))
        return std::nullopt;
    PacketFields fields = packetFields(s);

    adoptOlderBoardFileName(s.settings.repPath, s.packet.control.BbsId, BoardFile::ReplyPacket);
    const QString reply = replyPacketPath(s);
    if (const QString problem = irregularFileProblem(reply); !problem.isEmpty()) {
        busy.release();
        ui.message(problem, MessageKind::Warning);
        return std::nullopt;
    }
    if (QFileInfo(reply).isFile()) {
        bool restore = true;
        if (fileTime(reply) < fileTime(packet)) {
            busy.release();
            const bool erase = ui.askYesNo(
                QStringLiteral("Il existe un fichier ") + reply +
                QStringLiteral(" plus vieux que le paquet QWK que vous ouvrez.\n"
                               "D'accord pour l'effacer ?\n(Oui, si vous avez déjà uploadé ") +
                reply + QStringLiteral(")"));
            if (erase) {
                if (!QFile::remove(reply))
                    throw VelkError::io(IoCode::AccessDenied);
                restore = false;
            }
        }
        // The reply packet's unpacking would take MESSAGES.DAT landing meanwhile for one of
        // its own files.
        if (restore && !messagesReady(*job, ui))
            return std::nullopt;
        if (restore) {
            BusyCursor unpacking(ui);
            const UnpackResult restored = unpackArchive(reply, work);
            unpacking.release();
            if (!restored.ok()) {
                busy.release();
                unpackFailure(reply, restored).showTo(ui);
                return std::nullopt;
            }
            adoptOlderBoardFileName(work, s.packet.control.BbsId, BoardFile::ReplyFile);
        }
    }
    cleanUp.opened = true;
    if (job->unpacksApart())
        s.messagesUnpack = std::move(job);
    return fields;
}

void startCommandLineUnpack(PacketSession& s) {
    const QString work = s.settings.workPath;
    // Started already, before the windows.
    if (s.pendingUnpack && s.openFromCommandLine &&
        s.pendingUnpack->archive() == s.commandLinePacket && s.pendingUnpack->directory() == work)
        return;
    s.pendingUnpack.reset();
    if (!s.openFromCommandLine || !QFileInfo(work).isDir() ||
        !workDirectoryConflict(s.settings, s.startDirectory).isEmpty() ||
        !emptyWorkDirectory(s, s.commandLinePacket).isEmpty())
        return;
    s.pendingUnpack = std::make_unique<UnpackJob>(s.commandLinePacket, work, kMessagesApartFrom);
}

void startMessagesUnpack(PacketSession& s) {
    if (s.messagesUnpack)
        s.messagesUnpack->startApart();
}

bool messagesFileReady(PacketSession& s, UiServices& ui) {
    return !s.messagesUnpack || messagesReady(*s.messagesUnpack, ui);
}

namespace {

bool reportPackFailure(UiServices& ui, const QString& replyPacket, const PackResult& packed) {
    if (packed.ok())
        return false;
    for (const QString& text : packFailureMessages(replyPacket, packed))
        ui.message(text);
    return true;
}

// The reply packet made of `files` alone.
CloseOutcome packAfresh(PacketSession& s, UiServices& ui, const QStringList& files) {
    const QString replyPacket = replyPacketPath(s);
    if (files.isEmpty()) {
        if (QFileInfo::exists(replyPacket) && !QFile::remove(replyPacket))
            throw VelkError::io(IoCode::AccessDenied);
        return CloseOutcome::NothingToPack;
    }
    const QString temporary = replyPacket + QStringLiteral(".tmp");
    QFile::remove(temporary);
    BusyCursor busy(ui);
    PackResult packed = packArchive(temporary, files);
    busy.release();
    std::error_code ec;
    if (packed.ok())
        fs::rename(toFsPath(temporary), toFsPath(replyPacket), ec);
    if (ec)
        packed = {IoCode::AccessDenied, QStringLiteral("Cause : accès refusé")};
    if (reportPackFailure(ui, replyPacket, packed)) {
        QFile::remove(temporary);
        return CloseOutcome::PackFailed;
    }
    return CloseOutcome::Packed;
}

} // namespace

CloseOutcome closePacket(PacketSession& s, UiServices& ui,
                         const std::optional<QStringList>& files) {
    CloseOutcome outcome = CloseOutcome::NothingToPack;
    if (files && bbsIdProblem(s.packet.control.BbsId).isEmpty()) {
        outcome = packAfresh(s, ui, *files);
        if (outcome == CloseOutcome::PackFailed)
            return outcome;
    } else if (bbsIdProblem(s.packet.control.BbsId).isEmpty()) {
        const QString replyFile = replyFilePath(s);
        const QFileInfo info(replyFile);
        // A reply file of a single block holds no message.
        if (info.isFile() && info.size() != 128) {
            const QString replyPacket = replyPacketPath(s);
            BusyCursor busy(ui);
            const PackResult packed = packArchive(replyPacket, {replyFile});
            busy.release();
            if (reportPackFailure(ui, replyPacket, packed))
                return CloseOutcome::PackFailed;
            outcome = CloseOutcome::Packed;
        }
    }
    s.messagesUnpack.reset();
    if (const QString refusal = emptyWorkDirectory(s, s.packet.packetFileName); !refusal.isEmpty())
        ui.message(refusal, MessageKind::Warning);
    s.openFromCommandLine = false;
    return outcome;
}

std::optional<QString> newsFilePath(const PacketSession& s) {
    const QString name = dosToUnicode(TrimRight(s.packet.control.NewsFile));
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        return std::nullopt;
    return findFileNoCase(s.settings.workPath, name);
}

PacketButtons packetButtons(const PacketSession& s) {
    PacketButtons b;
    b.bulletins = s.packet.control.BulletinCount > 0;
    b.newFiles = findFileNoCase(s.settings.workPath, QStringLiteral("NEWFILES.DAT")).has_value();
    b.news = newsFilePath(s).has_value();
    return b;
}

} // namespace velk
