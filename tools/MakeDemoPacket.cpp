// SPDX-License-Identifier: GPL-2.0-or-later
// Builds the demo packet from its readable description (data/demo):
//   velk-demo-packet DESCRIPTION_DIR OUTPUT.QWK
#include "core/CharacterSet.h"
#include "packet/PacketBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <iostream>
#include <map>
#include <stdexcept>

using namespace velk;

namespace {

QString readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return QString::fromUtf8(f.readAll());
}

// UTF-8 text to DOS bytes; \t, \\ and \xHH escapes give their byte unconverted, "^[" the
// escape character.
std::string toDos(const QString& text, bool escapes) {
    std::string out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('^') && text.mid(i, 2) == QLatin1String("^[")) {
            out.push_back('\x1B');
            ++i;
        } else if (escapes && c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar n = text[i + 1];
            if (n == QLatin1Char('t')) {
                out.push_back('\t');
                ++i;
            } else if (n == QLatin1Char('\\')) {
                out.push_back('\\');
                ++i;
            } else if (n == QLatin1Char('x') && i + 3 < text.size()) {
                bool ok = false;
                const int byte = text.mid(i + 2, 2).toInt(&ok, 16);
                if (!ok)
                    throw std::runtime_error("bad \\x escape in " + text.toStdString());
                out.push_back(char(byte));
                i += 3;
            } else {
                out.push_back('\\');
            }
        } else {
            out += unicodeToDos(QString(c));
        }
    }
    return out;
}

std::pair<QString, QString> keyValue(const QString& line) {
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (colon < 0)
        throw std::runtime_error("expected \"Key: value\": " + line.toStdString());
    return {line.left(colon).trimmed(), line.mid(colon + 1).trimmed()};
}

void readPacket(const QString& path, PacketBuilder& b) {
    std::map<QString, std::string*> fields = {
        {QStringLiteral("BBS"), &b.control.bbsName},
        {QStringLiteral("Ville"), &b.control.city},
        {QStringLiteral("Région"), &b.control.region},
        {QStringLiteral("Téléphone"), &b.control.phone},
        {QStringLiteral("Sysop"), &b.control.sysop},
        {QStringLiteral("Identifiant"), &b.control.bbsId},
        {QStringLiteral("Date"), &b.control.packetDate},
        {QStringLiteral("Heure"), &b.control.packetTime},
        {QStringLiteral("Utilisateur"), &b.control.userName},
        {QStringLiteral("Door"), &b.door->first},
        {QStringLiteral("Version"), &b.door->second},
        {QStringLiteral("Accueil"), &b.control.welcomeFile},
        {QStringLiteral("Nouvelles"), &b.control.newsFile},
        {QStringLiteral("Au revoir"), &b.control.goodbyeFile},
    };
    for (const QString& line : readText(path).split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto [key, value] = keyValue(line);
        if (key == QStringLiteral("Conférence")) {
            const qsizetype blank = value.indexOf(QLatin1Char(' '));
            b.conference(std::uint16_t(value.left(blank).toUInt()),
                         toDos(value.mid(blank + 1), false));
        } else if (const auto it = fields.find(key); it != fields.end()) {
            *it->second = toDos(value, false);
        } else {
            throw std::runtime_error("unknown key " + key.toStdString());
        }
    }
}

void readMessages(const QString& path, PacketBuilder& b) {
    const QStringList lines = readText(path).split(QLatin1Char('\n'));
    qsizetype i = 0;
    while (i < lines.size()) {
        if (lines[i].trimmed().isEmpty() || lines[i].startsWith(QLatin1Char('#'))) {
            ++i;
            continue;
        }
        PacketMessage& m = b.add(0, {}, {});
        for (; i < lines.size() && !lines[i].isEmpty(); ++i) {
            const auto [key, value] = keyValue(lines[i]);
            const std::string dos = toDos(value, false);
            if (key == QStringLiteral("Conférence"))
                m.conference = std::uint16_t(value.toUInt());
            else if (key == QLatin1String("De"))
                m.from = dos;
            else if (key == QStringLiteral("À"))
                m.to = dos;
            else if (key == QLatin1String("Sujet"))
                m.subject = dos;
            else if (key == QLatin1String("Date"))
                m.date = dos;
            else if (key == QLatin1String("Heure"))
                m.time = dos;
            else if (key == QLatin1String("Statut"))
                m.status = value == QStringLiteral("Privé") ? "*" : " ";
            else if (key == QStringLiteral("Référence"))
                m.reference = dos;
            else if (key == QLatin1String("Personnel"))
                m.personal = value == QLatin1String("oui");
            else
                throw std::runtime_error("unknown key " + key.toStdString());
        }
        ++i; // the blank line before the text
        QStringList body;
        for (; i < lines.size() && lines[i] != QLatin1String("%%"); ++i)
            body.append(lines[i]);
        ++i;
        m.text = toDos(body.join(QLatin1Char('\n')) + QLatin1Char('\n'), true);
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::cerr << "usage: velk-demo-packet DESCRIPTION_DIR OUTPUT.QWK\n";
        return 2;
    }
    try {
        const QDir dir(QString::fromLocal8Bit(argv[1]));
        PacketBuilder b;
        b.quirks.firstBlock = "Produced by VELK demo";
        readPacket(dir.filePath(QStringLiteral("paquet.txt")), b);
        readMessages(dir.filePath(QStringLiteral("messages.txt")), b);
        const QStringList own = {QStringLiteral("paquet.txt"), QStringLiteral("messages.txt"),
                                 QStringLiteral("README")};
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            if (own.contains(name))
                continue;
            QString text = readText(dir.filePath(name));
            text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
            b.file(name, toDos(text, false));
        }
        b.zipTo(QString::fromLocal8Bit(argv[2]));
    } catch (const std::exception& e) {
        std::cerr << "velk-demo-packet: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
