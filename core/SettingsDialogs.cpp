// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/SettingsDialogs.h"

#include "core/CoreSession.h"
#include "core/DirectoryGuard.h"
#include "core/FileUtil.h"
#include "core/SettingsAppearance.h"
#include "core/UiServices.h"
#include "core/VelkError.h"

#include <QDir>

namespace velk {

DirectoryFields loadDirectoryFields(const CoreSession& session) {
    Settings fromFile;
    readDirectories(session.settingsFile(), fromFile);
    return {fromFile.velkPath, fromFile.qwkPath, fromFile.repPath, fromFile.workPath};
}

QString withoutTrailingSlash(const QString& path) {
    if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        return path.chopped(1);
    return path;
}

std::optional<DirectoryField> saveDirectoryFields(const CoreSession& session,
                                                  DirectoryFields& fields, UiServices& ui) {
    for (QString& f : fields)
        f = withoutTrailingSlash(f);
    // Before any directory is offered for creation: "VELK/WORK/.." is the program directory,
    // not a directory that does not exist.
    auto field = [&](DirectoryField f) -> const QString& { return fields[std::size_t(f)]; };
    const QString conflict = workDirectoryConflict(
        field(DirectoryField::Work), session.startDirectory, field(DirectoryField::Installation),
        field(DirectoryField::QWK), field(DirectoryField::REP));
    if (!conflict.isEmpty()) {
        ui.message(conflict, MessageKind::Warning);
        return DirectoryField::Work;
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!checkOrCreateDirectory(fields[i], ui))
            return DirectoryField(i);
    }
    writeDirectories(session.settingsFile(), field(DirectoryField::Installation),
                     field(DirectoryField::QWK), field(DirectoryField::REP),
                     field(DirectoryField::Work));
    return std::nullopt;
}

QString chooseDirectory(UiServices& ui, const QString& current) {
    FileDialogRequest request;
    request.title = QStringLiteral("Choisir un répertoire");
    request.directory = current;
    const std::optional<QString> chosen = ui.directoryName(request);
    return chosen ? withoutTrailingSlash(*chosen) : current;
}

Diagnosed<bool> saveLineWidth(const CoreSession& session, const QString& text) {
    const int width = toIntegerStrict(text);
    Diagnosed<bool> saved{false, {}};
    if (width > kMaxLineWidth)
        saved.diagnostics.add(QStringLiteral("Pas plus de 80 caractères dans une ligne."));
    else if (width < kMinLineWidth)
        saved.diagnostics.add(QStringLiteral("Au moins 60 caractères dans une ligne."));
    else {
        writeLineWidth(session.settingsFile(), text);
        saved.value = true;
    }
    return saved;
}

void savePrinterFields(const CoreSession& session, const QString& lineHeight,
                       const QString& linesPerPage) {
    toIntegerStrict(lineHeight);
    toIntegerStrict(linesPerPage);
    writePrinterSettings(session.settingsFile(), lineHeight, linesPerPage);
}

std::uint32_t changeColour(CoreSession& session, ColourKey key, UiServices& ui) {
    std::uint32_t& value = colourOf(session.settings, key);
    if (const std::optional<QColor> chosen = ui.chooseColor(colourFromWindows(value)))
        value = windowsFromColour(*chosen);
    writeColour(session.settingsFile(), key, value);
    return value;
}

bool checkOrCreateDirectory(const QString& path, UiServices& ui) {
    if (isUsableDirectory(path))
        return true;
    if (!ui.askYesNo(QStringLiteral("Le répertoire \"") + path +
                         QStringLiteral("\" n'existe pas.\nVoulez-vous le créer ?"),
                     QStringLiteral("Message")))
        return false;
    if (!path.isEmpty() && QDir().mkdir(path) && isUsableDirectory(path))
        return true;
    ui.message(QStringLiteral("Impossible de créer le répertoire \"") + path +
                   QStringLiteral("\"."),
               MessageKind::Error);
    return false;
}

} // namespace velk
