// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/CharacterSet.h"
#include "core/FileUtil.h"
#include "packet/ControlFile.h"
#include "packet/Mbf.h"
#include "packet/MessageStore.h"
#include "tests/support/ScriptedUiServices.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace velk {

namespace mergetest {

inline QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline std::string str(const QByteArray& b) {
    return std::string(b.constData(), std::size_t(b.size()));
}

// The 1-based block numbers of an index file's records.
inline std::vector<std::int64_t> recordNumbers(const QString& path) {
    std::vector<std::int64_t> out;
    for (const std::int32_t i : ReadIndexFile(path))
        out.push_back(i < 0 ? 0 : i + 1);
    return out;
}

// The fifth byte of each record.
inline std::string fifthBytes(const QString& path) {
    const QByteArray data = bytesOf(path);
    std::string out;
    for (qsizetype i = 4; i < data.size(); i += 5)
        out.push_back(data[i]);
    return out;
}

// What a reader of the unpacked packet finds: for each conference index file (PERSONAL.NDX
// apart), the subjects of the messages it leads to, trimmed; PERSONAL.NDX under "PERSONAL".
inline std::map<QString, std::vector<std::string>> subjectsByIndex(const QString& dir) {
    std::map<QString, std::vector<std::string>> out;
    ScriptedUiServices ui;
    MessageStoreState store;
    for (const QString& name : findFiles(dir, QStringLiteral("*.NDX"))) {
        const QString key = QFileInfo(name).completeBaseName().toUpper();
        for (const std::int32_t block : ReadIndexFile(joinPath(dir, name))) {
            ReadMessageHeader(dir, block, store).showTo(ui);
            out[key].push_back(trimRight(store.CurrentHeader.subject));
        }
    }
    return out;
}

inline std::vector<std::string> controlLines(const QString& dir) {
    const auto path = findFileNoCase(dir, QStringLiteral("CONTROL.DAT"));
    return path ? splitTextLines(bytesOf(*path)) : std::vector<std::string>();
}

} // namespace mergetest

} // namespace velk
