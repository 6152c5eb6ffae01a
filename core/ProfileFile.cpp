// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ProfileFile.h"

#include "core/FileUtil.h"
#include "core/VelkError.h"

#include <QFile>
#include <QList>

namespace velk {

namespace {

QList<QByteArray> readLines(const QString& path) {
    // A pipe in its place would never give an end: it reads as an empty file.
    if (!irregularFileProblem(path).isEmpty())
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& l : lines) {
        if (l.endsWith('\r'))
            l.chop(1);
    }
    return lines;
}

// "[Name]" gives Name; any other line gives a null result.
QString sectionName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return {};
    return QString::fromUtf8(t.mid(1, t.size() - 2)).trimmed();
}

bool keyMatches(const QByteArray& line, const QString& key, QByteArray* value) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return false;
    if (QString::fromUtf8(line.left(eq)).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

} // namespace

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    bool inSection = false;
    for (const QByteArray& line : readLines(path_)) {
        const QString name = sectionName(line);
        if (!name.isNull()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QByteArray value;
        if (inSection && keyMatches(line, key, &value)) {
            if (value.size() >= 2 && ((value.startsWith('"') && value.endsWith('"')) ||
                                      (value.startsWith('\'') && value.endsWith('\''))))
                value = value.mid(1, value.size() - 2);
            return value.isEmpty() ? defaultValue : QString::fromUtf8(value);
        }
    }
    return defaultValue;
}

void ProfileFile::writeString(const QString& section, const QString& key,
                              const QString& value) const {
    QList<QByteArray> lines = readLines(path_);
    const QByteArray entry = key.toUtf8() + '=' + value.toUtf8();
    qsizetype sectionLine = -1;
    qsizetype lastInSection = -1;
    bool written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        const QString name = sectionName(lines[i]);
        if (!name.isNull()) {
            if (sectionLine >= 0)
                break; // the next section begins: the key is not there
            if (name.compare(section, Qt::CaseInsensitive) == 0)
                sectionLine = lastInSection = i;
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (keyMatches(lines[i], key, nullptr)) {
            lines[i] = entry;
            written = true;
        } else if (!lines[i].trimmed().isEmpty()) {
            lastInSection = i;
        }
    }
    if (!written) {
        if (sectionLine < 0) {
            lines.append('[' + section.toUtf8() + ']');
            lines.append(entry);
        } else {
            lines.insert(lastInSection + 1, entry);
        }
    }
    QByteArray data;
    for (const QByteArray& l : lines)
        data += l + "\r\n";
    writeFileAtomically(path_, data);
}

} // namespace velk
