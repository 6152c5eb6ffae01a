// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliBoard.h"

#include "cli/CliRegistry.h"
#include "core/FileUtil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace velk {

std::optional<QString> cliProgramDirectory(QStringList& args, const QString& usage, CliIo& io) {
    if (const qsizetype at = args.indexOf(QStringLiteral("--repertoire")); at >= 0) {
        if (at + 1 >= args.size()) {
            io.fail(usage);
            return std::nullopt;
        }
        const QString dir = QFileInfo(args[at + 1]).absoluteFilePath();
        args.remove(at, 2);
        return dir;
    }
    const QString beside = QCoreApplication::applicationDirPath();
    if (QFileInfo(joinPath(beside, QStringLiteral("VELK.INI"))).isFile())
        return beside;
    return joinPath(QDir::homePath(), QStringLiteral("VELK"));
}

QString readMarkWord(ReadMark mark) {
    switch (mark) {
    case ReadMark::Read:
        return QStringLiteral("lu");
    case ReadMark::Followed:
        return QStringLiteral("suivi");
    case ReadMark::Unread:
        break;
    }
    return QStringLiteral("non-lu");
}

std::optional<ReadMark> readMarkOfWord(const QString& word) {
    for (ReadMark m : {ReadMark::Unread, ReadMark::Read, ReadMark::Followed})
        if (word.compare(readMarkWord(m), Qt::CaseInsensitive) == 0)
            return m;
    return std::nullopt;
}

} // namespace velk
