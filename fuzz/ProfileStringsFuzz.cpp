// SPDX-License-Identifier: GPL-2.0-or-later
// VELK.INI: keys read from any content, and a value written then read back.
#include "core/ActionGuard.h"
#include "core/FileUtil.h"
#include "core/ProfileFile.h"
#include "fuzz/FuzzSupport.h"

#include <QFile>

using namespace velk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = joinPath(fuzzDirectory(), QStringLiteral("VELK.INI"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(fuzzBytes(data, size)) != qint64(size))
        ::abort();
    f.close();
    const ProfileFile profile(path);
    // A section and a key the input names itself, and the program's own.
    const QByteArray bytes = fuzzBytes(data, size);
    const QString own = QString::fromLatin1(bytes.left(bytes.indexOf('=')).left(40));
    for (const QString& section : {QStringLiteral("Divers"), QStringLiteral("Repertoires"), own})
        profile.readString(section, own.isEmpty() ? QStringLiteral("X") : own, QStringLiteral("d"));
    HeadlessUiServices ui;
    runAction(ui, [&] {
        profile.writeString(QStringLiteral("Divers"), QStringLiteral("FirstUse"),
                            QStringLiteral("0"));
        if (profile.readString(QStringLiteral("Divers"), QStringLiteral("FirstUse")) !=
            QLatin1String("0"))
            ::abort();
    });
    return 0;
}
