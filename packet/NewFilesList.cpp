// SPDX-License-Identifier: GPL-2.0-or-later
#include "packet/NewFilesList.h"

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "packet/PacketSession.h"

#include <QFileInfo>

#include <string_view>

namespace velk {

namespace {

constexpr char kEndOfText = 26;

// Upper case letter by letter, so every position stays where it was (QString::toUpper
// would turn the DOS sharp s into two letters).
QString upperSameLength(const QString& s) {
    QString out = s;
    for (QChar& c : out)
        c = c.toUpper();
    return out;
}

} // namespace

QString newFilesPath(const PacketSession& session) {
    const QString& work = session.settings.workPath;
    const QString name = QStringLiteral("NEWFILES.DAT");
    return findFileNoCase(work, name).value_or(joinPath(work, name));
}

QString newFilesText(const QByteArray& dosBytes) {
    std::string_view bytes(dosBytes.constData(), std::size_t(dosBytes.size()));
    if (const std::size_t end = bytes.find(kEndOfText); end != std::string_view::npos)
        bytes = bytes.substr(0, end);
    QString text;
    text.reserve(qsizetype(bytes.size()));
    std::size_t lineStart = 0;
    bool first = true;
    const auto addLine = [&](std::size_t end) {
        if (!first)
            text.append(QLatin1Char('\n'));
        first = false;
        text.append(dosTextToUnicode(bytes.substr(lineStart, end - lineStart)));
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r') {
            addLine(i);
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            lineStart = i + 1;
        }
    }
    // A last line without end still counts; a final line end opens no empty line.
    if (lineStart < bytes.size())
        addLine(bytes.size());
    return text;
}

QString loadNewFiles(const PacketSession& session) {
    return newFilesText(readWholeFile(newFilesPath(session)));
}

FindOutcome FindDialog1Find(const QString& text, const FindRequest& request,
                            NewFilesSearch& search) {
    FindOutcome out;
    if (request.text.isEmpty())
        return out;
    QString wanted = request.text;
    if (request.wholeWord)
        wanted = QLatin1Char(' ') + wanted + QLatin1Char(' ');
    const int length = int(wanted.size());
    QString haystack = text;
    if (!request.matchCase) {
        wanted = upperSameLength(wanted);
        haystack = upperSameLength(haystack);
    }

    qsizetype found = -1;
    if (request.down) {
        const qsizetype from = std::max(0, search.position - 1);
        if (from <= haystack.size())
            found = haystack.indexOf(wanted, from);
    } else {
        // The match must lie within the first `position` characters.
        const qsizetype lastStart = qsizetype(search.position) - length;
        if (lastStart >= 0)
            found = haystack.lastIndexOf(wanted, std::min(lastStart, haystack.size()));
    }
    if (found < 0)
        return out;

    out.found = true;
    out.start = int(found);
    out.length = length;
    out.line = int(text.left(found).count(QLatin1Char('\n')));
    out.scrollLines = out.line - search.lastMatchLine;
    search.lastMatchLine = out.line;
    const int p = int(found) + 1;
    // Upward, the next search ends just before this match: ending it a whole match length
    // earlier would skip an occurrence that closely precedes this one.
    search.position = request.down ? p + length : p - 1;
    return out;
}

QByteArray newFilesExportBytes(const QString& text) {
    QByteArray out;
    if (text.isEmpty())
        return out;
    for (const QString& line : text.split(QLatin1Char('\n')))
        out += line.toUtf8() + '\n';
    return out;
}

void exportNewFiles(const QString& path, const QString& text) {
    QByteArray data;
    if (QFileInfo::exists(path)) {
        data = readWholeFile(path);
        // The list starts on a line of its own even after a file without a final line end.
        if (!data.isEmpty() && !data.endsWith('\n'))
            data += '\n';
    }
    data += newFilesExportBytes(text);
    writeFileAtomically(path, data);
}

} // namespace velk
