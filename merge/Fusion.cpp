// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/Fusion.h"

#include "core/Archiver.h"
#include "core/DirectoryGuard.h"
#include "core/FileUtil.h"
#include "core/UiServices.h"
#include "core/VelkError.h"
#include "core/WorkDirectory.h"
#include "merge/PacketMerge.h"
#include "packet/PacketSession.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <system_error>

#include <unistd.h>

namespace velk {

namespace {

const QString kCancelled = QStringLiteral("Fusion annulée.");

// The extension as the user sees it: from the last dot of the file name, upper-cased.
QString upperExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toUpper();
}

qint64 modificationTime(const QString& path) {
    return QFileInfo(path).lastModified().toSecsSinceEpoch();
}

bool sameFile(const QString& a, const QString& b) {
    if (a == b)
        return true;
    std::error_code ec;
    return fs::equivalent(toFsPath(a), toFsPath(b), ec);
}

// How a merge step stopped: what the user is told once the progress window is cleared.
struct MergeStop {
    QStringList texts;
    MessageKind kind = MessageKind::Warning;
};

MergeStop unpackFailure(const QString& archive, const UnpackResult& r) {
    QStringList texts = unpackFailureMessages(archive, r);
    texts.back() += QLatin1Char('\n') + kCancelled;
    return {texts};
}

// Puts the merged archive in place of the base packet: a copy beside it, given the base
// packet's date, time and permissions, then renamed over it. On any failure the copy goes
// and the base packet stays as it was.
void replaceBasePacket(const QString& merged, const QString& basePath) {
    const QFileInfo baseInfo(basePath);
    // Through a link, the file it names is replaced and the link stays.
    const QString target = baseInfo.canonicalFilePath();
    if (target.isEmpty())
        throw VelkError::fileNotFound();
    const QDateTime stamp = QFileInfo(target).lastModified();
    const QFileDevice::Permissions permissions = QFile::permissions(target);

    const QString failure =
        QStringLiteral("Impossible d'écrire le paquet fusionné à côté du fichier \"") + basePath +
        QStringLiteral("\" (%1).\nCe fichier n'a pas été modifié.\n") + kCancelled;
    QFile source(merged);
    if (!source.open(QIODevice::ReadOnly))
        throw VelkError(failure.arg(QStringLiteral("Erreur E/S %1").arg(IoCode::FileNotFound)));
    QTemporaryFile copy(
        joinPath(QFileInfo(target).absolutePath(),
                 QStringLiteral(".") + QFileInfo(target).fileName() + QStringLiteral(".XXXXXX")));
    if (!copy.open())
        throw VelkError(failure.arg(QStringLiteral("Erreur E/S %1").arg(IoCode::AccessDenied)));
    const auto diskFull = [&] {
        return VelkError(failure.arg(QStringLiteral("Erreur E/S %1").arg(IoCode::DiskFull)));
    };
    std::vector<char> chunk(std::size_t(1) << 20);
    while (true) {
        const qint64 got = source.read(chunk.data(), qint64(chunk.size()));
        if (got < 0)
            throw VelkError(failure.arg(QStringLiteral("Erreur E/S %1").arg(IoCode::ReadPastEnd)));
        if (got == 0)
            break;
        if (copy.write(chunk.data(), got) != got)
            throw diskFull();
    }
    if (!copy.flush() || ::fsync(copy.handle()) != 0)
        throw diskFull();
    if (!copy.setFileTime(stamp, QFileDevice::FileModificationTime))
        throw VelkError(failure.arg(QStringLiteral("Erreur E/S %1").arg(IoCode::AccessDenied)));
    copy.setPermissions(permissions);
    copy.close();
    if (std::rename(QFile::encodeName(copy.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0)
        throw VelkError(failure.arg(QStringLiteral("Erreur E/S %1").arg(IoCode::AccessDenied)));
    copy.setAutoRemove(false);
}

} // namespace

bool lowOnSpace(std::uint64_t available, std::int64_t baseSize, std::int64_t integratedSize) {
    const std::uint64_t sizes = std::uint64_t(std::max<std::int64_t>(baseSize, 0)) +
                                std::uint64_t(std::max<std::int64_t>(integratedSize, 0));
    // Sizes beyond what five times them can count leave no doubt.
    if (sizes > UINT64_MAX / 5)
        return true;
    return available <= 5 * sizes;
}

std::optional<FusionFocus> CheckFusion(const QString& basePath, const QString& integratedPath,
                                       const QString& spacePath, UiServices& ui) {
    if (basePath.isEmpty()) {
        ui.message(QStringLiteral("Vous devez choisir un fichier QWK  servant de cible"));
        return FusionFocus::SourceFileListBox;
    }
    if (integratedPath.isEmpty()) {
        ui.message(QStringLiteral("Vous devez choisir un fichier QWK à intégrer"));
        return FusionFocus::DestFileListBox;
    }
    // Two spellings of one path are the same file too: merging it into itself would double
    // every message.
    if (sameFile(basePath, integratedPath)) {
        ui.message(QStringLiteral("Un paquet QWK ne peut pas être fusionner avec lui-même"));
        return FusionFocus::DestFileListBox;
    }
    if (upperExtension(basePath) != QLatin1String(".QWK") &&
        !ui.askYesNo(QStringLiteral("Le fichier cible ne porte pas l'extension \".QWK\" .\n"
                                    "Continuer la fusion malgré tout ?")))
        return FusionFocus::SourceFileListBox;
    if (upperExtension(integratedPath) != QLatin1String(".QWK") &&
        !ui.askYesNo(QStringLiteral("Le fichier à intégrer ne porte pas l'extension \".QWK\" .\n"
                                    "Continuer la fusion malgré tout ?")))
        return FusionFocus::DestFileListBox;

    // Opening both files is what tells a missing or unreadable one.
    const std::int64_t baseSize = fileSizeBytes(basePath);
    const std::int64_t integratedSize = fileSizeBytes(integratedPath);
    if (modificationTime(integratedPath) < modificationTime(basePath) &&
        !ui.askYesNo(QStringLiteral("Le fichier à intégrer est plus ancien \n"
                                    "que le fichier servant de base d'intégration.\n"
                                    "Continuer la fusion malgré tout ?")))
        return FusionFocus::SourceFileListBox;

    if (lowOnSpace(freeSpace(spacePath).value_or(0), baseSize, integratedSize) &&
        !ui.askYesNo(QStringLiteral("Il reste peu de place disque disponible par rapport à la "
                                    "taille\ndes fichiers QWK qui doivent être décompressés "
                                    "pour la fusion.\nContinuer la fusion malgré tout ?")))
        return FusionFocus::SourceFileListBox;
    return std::nullopt;
}

std::optional<FusionFocus> CheckFusion(const PacketSession& session, const QString& basePath,
                                       const QString& integratedPath, UiServices& ui) {
    return CheckFusion(basePath, integratedPath, session.settings.qwkPath, ui);
}

namespace {

// The steps of a merge, up to the base packet replaced; nothing when they all went. The
// control-file step shows its own notices and asks its questions while it runs.
std::optional<MergeStop> mergeSteps(const QString& basePath, const QString& integratedPath,
                                    const QString& workPath, PacketControl& control, UiServices& ui,
                                    const FusionStatus& status, MergeNotices& notices) {
    try {
        // Emptying the work directory must never take one of the packets with it.
        for (const QString& packet : {basePath, integratedPath}) {
            if (isSameOrInside(packet, workPath))
                return MergeStop{{QStringLiteral("Le fichier \"") + packet +
                                  QStringLiteral("\" se trouve dans le répertoire de travail ( ") +
                                  workPath +
                                  QStringLiteral(" ), qui est vidé pour la fusion.\n"
                                                 "Placez-le dans un autre répertoire.\n") +
                                  kCancelled}};
        }
        EmptyDirectoryTree(workPath, workPath);

        const QString baseDirectory = joinPath(workPath, QStringLiteral("tmp1"));
        const QString integratedDirectory = joinPath(workPath, QStringLiteral("tmp2"));
        for (const QString& dir : {baseDirectory, integratedDirectory}) {
            if (!QDir().mkdir(dir))
                return MergeStop{{QStringLiteral("Impossible de créer le répertoire \"") + dir +
                                  QStringLiteral("\"\n") + kCancelled}};
        }

        status(QStringLiteral("Décompactage du premier paquet\n (") + basePath +
               QStringLiteral(")"));
        if (const UnpackResult r = unpackArchive(basePath, baseDirectory); !r.ok())
            return unpackFailure(basePath, r);
        status(QStringLiteral("Décompactage du deuxième paquet\n (") + integratedPath +
               QStringLiteral(")"));
        if (const UnpackResult r = unpackArchive(integratedPath, integratedDirectory); !r.ok())
            return unpackFailure(integratedPath, r);

        status(QStringLiteral("Mise à jour des fichiers de données et d'index"));
        PacketMerge merge(baseDirectory, integratedDirectory,
                          modificationTime(integratedPath) >= modificationTime(basePath));
        merge.combineMessages();

        status(QStringLiteral("Mise à jour des conférences"));
        std::vector<Renumbering> renumbered;
        if (!GereControlDat(baseDirectory, integratedDirectory, control, notices, ui, renumbered))
            return MergeStop{}; // it has told the user why
        // Nothing replaces the base packet unless every message of both is found in the result.
        merge.finish(renumbered, notices);

        status(QStringLiteral("Compactage du fichier fusionné \n (") + basePath +
               QStringLiteral(")"));
        // The archive is made beside tmp1, so no member of the packet can be mistaken for it.
        const QString merged = joinPath(workPath, QStringLiteral("TMPQWK.QWK"));
        // zip reads the directory itself: a member whose name is no UTF-8 is kept as it is
        // named, where a list of names handed over as text would lose it.
        const QStringList arguments = {QStringLiteral("-j"), QStringLiteral("-r"),
                                       QStringLiteral("-nw"), QFileInfo(merged).absoluteFilePath(),
                                       QFileInfo(baseDirectory).absoluteFilePath()};
        if (const int packed = RunAndWait(QStringLiteral("zip"), arguments); packed != 0)
            return MergeStop{
                {QStringLiteral("Problème lors du compactage du fichier : \"TMPQWK.QWK\"."),
                 QStringLiteral("Statut = ") + QString::number(packed) +
                     QStringLiteral("\nCauses possibles : Compacteur inaccessible ou "
                                    "disque plein")}};

        replaceBasePacket(merged, basePath);
        return std::nullopt;
    } catch (const VelkError& e) {
        return MergeStop{{e.message()}, MessageKind::Error};
    } catch (const std::bad_alloc&) {
        return MergeStop{{QStringLiteral("Pas assez de mémoire pour travailler.")},
                         MessageKind::Error};
    }
}

} // namespace

FusionResult DoFusion(const QString& basePath, const QString& integratedPath,
                      const QString& workPath, PacketControl& control, UiServices& ui,
                      const FusionStatus& Statut, IntegratedDeletion deletion) {
    FusionResult result;
    const FusionStatus status = [&](const QString& text) {
        if (Statut)
            Statut(text);
    };
    std::optional<MergeStop> stop;
    {
        BusyCursor busy(ui);
        // However the steps end, the hourglass and the progress text are gone before the
        // user is told anything.
        const auto clear = qScopeGuard([&] {
            busy.release();
            status(QString());
        });
        stop = mergeSteps(basePath, integratedPath, workPath, control, ui, status, result.notices);
    }
    if (stop) {
        for (const QString& text : stop->texts)
            ui.message(text, stop->kind);
        return result;
    }
    result.merged = true;

    // The merged packet is in place: a work directory that will not empty is only told.
    try {
        EmptyDirectoryTree(workPath, workPath);
    } catch (const VelkError& e) {
        ui.message(e.message(), MessageKind::Warning);
    }
    ui.message(QStringLiteral("La fusion des deux paquets QWK s'est déroulée correctement."));

    bool erase = deletion == IntegratedDeletion::Delete;
    if (deletion == IntegratedDeletion::Ask)
        erase = ui.askYesNo(QStringLiteral("Peut-on effacer le fichier intégré ?\n(") +
                            integratedPath + QStringLiteral(")"));
    if (erase) {
        result.integratedDeleted = QFile::remove(integratedPath);
        if (!result.integratedDeleted)
            ui.message(VelkError::io(IoCode::AccessDenied).message(), MessageKind::Error);
    }
    return result;
}

FusionResult DoFusion(PacketSession& session, const QString& basePath,
                      const QString& integratedPath, UiServices& ui, const FusionStatus& Statut) {
    if (const QString refusal = workDirectoryConflict(session.settings, session.startDirectory);
        !refusal.isEmpty()) {
        ui.message(refusal, MessageKind::Warning);
        return {};
    }
    return DoFusion(basePath, integratedPath, session.settings.workPath, session.packet.control, ui,
                    Statut);
}

} // namespace velk
