// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

namespace velk {

// A settings file of [sections] and key=value lines, read and written key by key:
// each read opens the file, each write rewrites it at once (through a temporary file,
// so a full disk leaves the previous version whole), keeping every other line.
// Section and key names compare without regard to case. Lines end with CR LF.
class ProfileFile {
public:
    explicit ProfileFile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // The value of the key, without surrounding blanks or one pair of enclosing quotes;
    // the default when the file, the section or the key is absent or the value is empty.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;

    // Throws VelkError when the file cannot be written.
    void writeString(const QString& section, const QString& key, const QString& value) const;

private:
    QString path_;
};

} // namespace velk
