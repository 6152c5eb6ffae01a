// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/PacketChoice.h"

#include "core/FileUtil.h"

#include <algorithm>

namespace velk {

QStringList packetFileNames(const QString& directory, const QString& mask) {
    QStringList names = findFiles(directory, mask);
    names.removeIf([](const QString& n) { return n.startsWith(QLatin1Char('.')); });
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QString chosenPacketPath(const QString& directory, const QString& name) {
    return name.isEmpty() ? QString() : joinPath(directory, name);
}

} // namespace velk
