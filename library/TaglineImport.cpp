// SPDX-License-Identifier: GPL-2.0-or-later
#include "library/TaglineImport.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "core/TextFileChoice.h"
#include "core/UiServices.h"
#include "library/LibraryFile.h"
#include "library/LibrarySession.h"
#include "library/LibraryText.h"

#include <QFileInfo>

namespace velk {

namespace {

void addTagline(std::vector<std::string>& taglines, std::string line) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.empty())
        return;
    if (line.size() > 80)
        line.resize(79);
    taglines.push_back(withoutMarkerBytes(std::move(line)));
}

QString stoppedAt(int n) {
    return QStringLiteral(" ème tagline.").prepend(QString::number(n));
}

} // namespace

std::vector<std::string> TaglinesOfFile(const QByteArray& file, bool dosFile) {
    // A DOS text file may end with Ctrl-Z.
    const qsizetype eof = file.indexOf('\x1A');
    const QByteArray bytes = eof < 0 ? file : file.left(eof);
    std::vector<std::string> taglines;
    if (dosFile) {
        for (const QByteArray& line : bytes.split('\n'))
            addTagline(taglines, line.toStdString());
    } else {
        for (const QString& line : decodeUserText(bytes).split(QLatin1Char('\n')))
            addTagline(taglines, unicodeToDos(line));
    }
    return taglines;
}

void ImportTaglines(LibrarySession& session, UiServices& ui) {
    ui.message(QStringLiteral("Vous allez devoir choisir le fichier texte contenant vos "
                              "taglines\nCe fichier ne doit comporter qu'une seule tagline par "
                              "ligne."));
    const std::optional<TextFileChoice> chosen =
        chooseTextFile(ui, QStringLiteral("Importation d'un fichier de taglines"),
                       session.settings.velkPath, QStringLiteral("Fichiers texte (*.TXT *.txt)"));
    if (!chosen)
        return;

    BusyCursor busy(ui);
    const std::vector<std::string> taglines =
        TaglinesOfFile(readWholeFile(chosen->path), chosen->dosAccents);
    const QString path = LibraryPath(session.settings.velkPath, LibraryKind::Taglines);
    // A library never saved holds the built-in tagline the user sees in the list: it goes
    // to the file with the imported ones.
    std::string content;
    if (QFileInfo(path).exists() && fileSizeBytes(path) > 0) {
        const QByteArray existing = readWholeFile(path);
        content.assign(existing.constData(), std::size_t(existing.size()));
    } else {
        content = BuiltInLibraryContent(LibraryKind::Taglines);
    }

    const int before = int(session.libraries.TaglineList.size());
    int n = before;
    QString stopMessage;
    for (const std::string& tagline : taglines) {
        if (n >= kTaglineLimit)
            break;
        const std::string entry = kEntryStart + tagline + "\r\n" + kEntryEnd + "\r\n";
        // A file the next load would refuse would take every tagline away from the user.
        if (std::int64_t(content.size() + entry.size()) >= kLibraryTooBig) {
            stopMessage = QStringLiteral("Le fichier ") + path +
                          QStringLiteral(" est trop gros (>64Ko)\nImportation arrêtée à la ") +
                          stoppedAt(n);
            break;
        }
        content += entry;
        ++n;
    }
    if (stopMessage.isEmpty() && n >= kTaglineLimit)
        stopMessage = QStringLiteral("VELK ne supporte pas plus de ") +
                      QString::number(kTaglineLimit) +
                      QStringLiteral(" taglines.\nÎmportation arrêtée à la ") + stoppedAt(n);

    if (n > before)
        writeFileAtomically(path, QByteArray(content.data(), qsizetype(content.size())));
    LoadTaglines(session).diagnostics.showTo(ui);
    busy.release();
    if (!stopMessage.isEmpty()) {
        ui.message(stopMessage, MessageKind::Warning);
        return;
    }
    ui.message(QStringLiteral("Importation réussie de ") +
               QString::number(int(session.libraries.TaglineList.size()) - before) +
               QStringLiteral(" taglines dans VELK"));
}

} // namespace velk
