// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>

#include <stdexcept>

namespace velk {

// The one exception of the program: it carries the French text the user is shown.
// Raised where the runtime would stop an action (a missing file, an input/output error,
// a bad number) and caught at each user action's boundary (see ActionGuard.h).
class VelkError : public std::runtime_error {
public:
    explicit VelkError(QString message)
        : std::runtime_error(message.toStdString()), message_(std::move(message)) {}

    const QString& message() const { return message_; }

    static VelkError fileNotFound() { return VelkError(QStringLiteral("Fichier introuvable")); }
    static VelkError io(int code) { return VelkError(QStringLiteral("Erreur E/S %1").arg(code)); }
    static VelkError notAnInteger(const QString& text) {
        return VelkError(QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(text));
    }
    static VelkError notADate(const QString& text) {
        return VelkError(QStringLiteral("'%1' n'est pas une date correcte").arg(text));
    }

private:
    QString message_;
};

// The runtime's input/output error numbers, as the user knows them.
namespace IoCode {
constexpr int FileNotFound = 2;
constexpr int PathNotFound = 3;
constexpr int AccessDenied = 5;
constexpr int DiskFull = 101;
constexpr int ReadPastEnd = 100;
} // namespace IoCode

} // namespace velk
