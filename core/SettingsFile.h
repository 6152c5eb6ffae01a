// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/ProfileFile.h"
#include "core/Settings.h"

#include <QString>

#include <cstdint>
#include <string>

namespace velk {

// VELK.INI, key by key: every value is read from the file when it is needed and every
// write goes to the file at once, so the in-memory Settings are only a copy.
namespace SettingsKeys {
inline const QString Repertoire = QStringLiteral("Repertoire");
inline const QString VELKPath = QStringLiteral("VELKPath");
inline const QString WorkPath = QStringLiteral("WorkPath");
inline const QString QWKPath = QStringLiteral("QWKPath");
inline const QString REPPath = QStringLiteral("REPPath");
inline const QString Divers = QStringLiteral("Divers");
inline const QString FirstUse = QStringLiteral("FirstUse");
inline const QString MaxCar = QStringLiteral("MaxCar");
inline const QString CouleurQuote = QStringLiteral("CouleurQuote");
inline const QString CouleurEncre = QStringLiteral("CouleurEncre");
inline const QString CouleurFond = QStringLiteral("CouleurFond");
inline const QString Imprimante = QStringLiteral("Imprimante");
inline const QString HauteurLigne = QStringLiteral("HauteurLigne");
inline const QString NbLignes = QStringLiteral("NbLignes");
inline const QString Police = QStringLiteral("Police");
inline const QString Nom = QStringLiteral("Nom");
inline const QString Taille = QStringLiteral("Taille");
inline const QString Style = QStringLiteral("Style");
} // namespace SettingsKeys

// Longest value kept for a key other than a directory.
inline constexpr int kSettingsValueWidth = 79;

// The default directories: the drive paths of the original mapped onto the home directory.
QString defaultVelkPath(); // ~/VELK
QString defaultWorkPath(); // ~/VELK/WORK
QString defaultRootPath(); // ~

// A value cut to 79 characters, or the default when the key is absent or empty.
QString readSettingText(const ProfileFile& file, const QString& section, const QString& key,
                        const QString& defaultValue);
// A directory is kept whole: a cut path would name another directory.
QString readSettingDirectory(const ProfileFile& file, const QString& key,
                             const QString& defaultValue);
// Strict integer conversion; throws VelkError::notAnInteger on anything but a whole number.
int readSettingInteger(const ProfileFile& file, const QString& section, const QString& key,
                       int defaultValue);

// Leading blanks, an optional sign, then decimal digits or hexadecimal ones after "$":
// the whole text must be that number, within 32 bits. Throws VelkError::notAnInteger.
int toIntegerStrict(const QString& text);
// The colour keys' lenient reading: the same number syntax, but reading stops at the first
// character that does not belong to it and the value read so far is used.
std::uint32_t parseColourValue(const QString& text);

// The readers refresh the in-memory copies from the file.
void readDirectories(const ProfileFile& file, Settings& settings);
int readFirstUse(const ProfileFile& file);
void readLineWidth(const ProfileFile& file, Settings& settings);
void readColours(const ProfileFile& file, Settings& settings);
void readMessageFont(const ProfileFile& file, Settings& settings);
void readPrinterSettings(const ProfileFile& file, Settings& settings);

enum class ColourKey { Quote, Ink, Back };
const QString& colourKeyName(ColourKey key);
std::uint32_t& colourOf(Settings& settings, ColourKey key);

// Writers. Texts are written as the user typed them; the next reading checks them.
void writeDirectories(const ProfileFile& file, const QString& velkPath, const QString& qwkPath,
                      const QString& repPath, const QString& workPath);
void writeFirstUse(const ProfileFile& file, int value);
void writeLineWidth(const ProfileFile& file, const QString& text);
void writeColour(const ProfileFile& file, ColourKey key, std::uint32_t value);
void writePrinterSettings(const ProfileFile& file, const QString& lineHeight,
                          const QString& linesPerPage);
// The short signature the message editor puts in its tagline line, kept scrambled in
// memory; DOS bytes, at most 13.
std::string scrambledProgramSignature();
std::string programSignature(const Settings& settings);

} // namespace velk
