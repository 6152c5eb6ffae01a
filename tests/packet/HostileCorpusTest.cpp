// SPDX-License-Identifier: GPL-2.0-or-later
// Hostile packets and reply files, made here by the packet writer, go through the packet
// window's opening and reading (headless) and through velk-cli. None may crash or hang,
// each is told in French, nothing outside the work directory changes, and a valid packet
// opens normally right after each.
#include "core/ActionGuard.h"
#include "core/FileUtil.h"
#include "mail/Browser.h"
#include "mail/PersonalMail.h"
#include "packet/BulletinViewer.h"
#include "packet/MessageHeader.h"
#include "packet/NewFilesList.h"
#include "packet/PacketBuilder.h"
#include "packet/PacketOpening.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/Reported.h"
#include "tests/support/ZipWriter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>

#include <sys/stat.h>

namespace velk {

namespace {

const QString kCli = QStringLiteral(VELK_BINARY_DIR "/velk-cli");
constexpr int kCliTimeoutMs = 120000;

// Records what the user is told; every question is answered No, the packet dialog with
// the packet under test.
class RecordingUi : public HeadlessUiServices {
public:
    QString packet;
    QStringList texts;
    void message(const QString& t, MessageKind, const QString&) override { texts.append(t); }
    bool askYesNo(const QString& t, const QString&) override {
        texts.append(t);
        return false;
    }
    Answer askYesNoCancel(const QString& t, const QString&) override {
        texts.append(t);
        return Answer::Cancel;
    }
    std::optional<QString> openFileName(const FileDialogRequest&) override { return packet; }
};

// What a tree holds, links never followed.
struct Entry {
    char type = '?';
    qint64 size = 0;
    qint64 modified = 0;
    QByteArray content; // hash of a file, target of a link
    bool operator==(const Entry&) const = default;
};
using Snapshot = std::map<QString, Entry>;

Snapshot snapshot(const QString& root, const QStringList& skipped) {
    Snapshot s;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(toFsPath(root), ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const QString path = fromFsPath(it->path());
        if (skipped.contains(path)) {
            it.disable_recursion_pending();
            continue;
        }
        Entry e;
        const fs::file_status st = it->symlink_status(ec);
        const QFileInfo info(path);
        e.modified = info.lastModified().toMSecsSinceEpoch();
        if (fs::is_symlink(st)) {
            e.type = 'l';
            e.content = QFile::encodeName(info.symLinkTarget());
        } else if (fs::is_directory(st)) {
            e.type = 'd';
            e.modified = 0; // entries added and removed below show themselves
        } else if (fs::is_regular_file(st)) {
            e.type = 'f';
            e.size = info.size();
            QFile f(path);
            if (f.open(QIODevice::ReadOnly)) {
                QCryptographicHash h(QCryptographicHash::Sha1);
                h.addData(&f);
                e.content = h.result();
            }
        }
        s[path] = e;
    }
    return s;
}

QString differences(const Snapshot& before, const Snapshot& after) {
    QStringList out;
    for (const auto& [path, e] : before) {
        const auto it = after.find(path);
        if (it == after.end())
            out.append("effacé : " + path);
        else if (!(it->second == e))
            out.append("modifié : " + path);
    }
    for (const auto& [path, e] : after) {
        if (!before.count(path))
            out.append("créé : " + path);
    }
    return out.join('\n');
}

// The program's messages are French; an archiver's or the library's own words never reach
// the user.
bool looksForeign(const QString& text) {
    for (const char* word : {"error", "warning", "Error", "Warning", "cannot", "No such",
                             "unzip:", "zip:", "Usage: ", "std::"}) {
        if (text.contains(QLatin1String(word)))
            return true;
    }
    return text.trimmed().isEmpty();
}

struct HostileCase {
    HostileCase(QString n, std::function<void(const QString&)> m, QString t = {},
                QByteArray r = QByteArray())
        : name(std::move(n)), make(std::move(m)), told(std::move(t)), replyBytes(std::move(r)) {}
    QString name;                             // file name in the corpus
    std::function<void(const QString&)> make; // writes it
    QString told;          // part of what the user must be told; empty: reading it calmly
                           // is enough
    QByteArray replyBytes; // reply files: the reply file alone, also given to velk-cli
};

PacketBuilder validPacket() {
    PacketBuilder b;
    b.conference(0, "Principal").conference(1001, "Linux");
    b.add(0, "Salut", "Bonjour\nA bient\x93t\n").personal = true;
    b.add(1001, "Noyau", std::string(400, 'k') + "\n");
    b.bulletin("BLT-0.1", "\x1b[1;31mRouge\x1b[0m\r\n");
    b.news("Nouvelles\r\n");
    b.newFiles("FICHIER.ZIP  Un fichier\r\n");
    return b;
}

void zipWith(const PacketBuilder& b, const QString& path,
             const std::function<void(ZipWriter&)>& twist = {}) {
    ZipWriter z;
    z.addAll(b.files());
    if (twist)
        twist(z);
    z.writeTo(path);
}

void encryptedZip(const PacketBuilder& b, const QString& path) {
    QTemporaryDir tmp;
    b.writeTo(tmp.path());
    QStringList args = {"-q", "-j", "-P", "motdepasse", path};
    for (const auto& f : b.files())
        args.append(joinPath(tmp.path(), f.first));
    QProcess zip;
    zip.start("zip", args);
    if (!zip.waitForFinished() || zip.exitCode() != 0)
        throw std::runtime_error("zip -P failed");
}

// A reply file: its first record, then `messages` replies whose block-count field is
// `blockCount` (empty: the true count) followed by `textBlocks` blocks of text.
QByteArray replyFile(int messages, const std::string& blockCount = {}, int textBlocks = 1) {
    QByteArray out = QByteArray("VELKTEST").leftJustified(128, ' ');
    for (int i = 0; i < messages; ++i) {
        MessageHeader h;
        h.status = " ";
        h.number = "0";
        h.date = "12-07-26";
        h.time = "12:00";
        h.recipient = "ALL";
        h.author = "JEAN DUPONT";
        h.subject = "Essai " + std::to_string(i);
        h.blockCount = blockCount.empty() ? std::to_string(textBlocks + 1) : blockCount;
        h.active = 0xE1;
        const Block block = headerBlock(h);
        out.append(block.data(), qsizetype(block.size()));
        out.append(QByteArray(128 * textBlocks, 't'));
    }
    return out;
}

void replyPacket(const QString& path, const QByteArray& msg,
                 const std::function<void(ZipWriter&)>& twist = {}) {
    ZipWriter z;
    z.add("VELKTEST.MSG", msg);
    if (twist)
        twist(z);
    z.writeTo(path);
}

std::vector<HostileCase> hostilePackets(const QString& root) {
    const PacketBuilder valid = validPacket();
    const auto built = [](const std::function<void(PacketBuilder&)>& change) {
        return [change](const QString& path) {
            PacketBuilder b = validPacket();
            change(b);
            b.zipTo(path);
        };
    };
    const auto twisted = [valid](const std::function<void(ZipWriter&)>& twist) {
        return [valid, twist](const QString& path) { zipWith(valid, path, twist); };
    };
    const auto control = [](const std::function<void(PacketControlInfo&)>& change) {
        return [change](const QString& path) {
            PacketBuilder b = validPacket();
            change(b.control);
            b.zipTo(path);
        };
    };
    // The valid packet with one member's bytes replaced; a null array leaves it out.
    const auto replacing = [](const QString& name, const QByteArray& bytes) {
        return [name, bytes](const QString& path) {
            ZipWriter z;
            for (const auto& [member, data] : validPacket().files()) {
                if (member != name)
                    z.add(member.toLatin1(), data);
                else if (!bytes.isNull())
                    z.add(member.toLatin1(), bytes);
            }
            z.writeTo(path);
        };
    };
    const QString links = "contient des liens ou des fichiers spéciaux";
    const QString dirs = "contient des répertoires ou des fichiers rangés dans un répertoire";
    const QString damaged = "Cause : l'archive est endommagée";
    const QString badId = "ne peut pas nommer un fichier";
    const QString notNumber = "n'est pas une valeur entière correcte";
    return {
        // The archive itself.
        {"LIEN.QWK", built([](PacketBuilder& b) { b.symlink("LIEN", "/etc"); }), links},
        {"LIENREL.QWK",
         built([](PacketBuilder& b) { b.symlink("VELKTEST.MSG", "../QWK/VELKTEST.QWK"); }), links},
        {"TUBE.QWK", twisted([](ZipWriter& z) { z.add("TUBE").mode = 010644; }), links},
        {"PERIPH.QWK", twisted([](ZipWriter& z) { z.add("NULL").mode = 020666; }), links},
        {"REPCTRL.QWK", twisted([](ZipWriter& z) { z.add("CONTROL.DAT/").mode = 040755; }), dirs},
        {"SOUSREP.QWK", twisted([](ZipWriter& z) { z.add("SOUS/").mode = 040755; }), dirs},
        {"CHEMIN.QWK", twisted([](ZipWriter& z) { z.add("SOUS/CONTROL.DAT", "x"); }), dirs},
        {"PARENT.QWK", twisted([](ZipWriter& z) { z.add("../EVASION.TXT", "x"); }), dirs},
        {"PARENT2.QWK", twisted([](ZipWriter& z) { z.add("../../EVASION.TXT", "x"); }), dirs},
        {"ABSOLU.QWK",
         twisted([root](ZipWriter& z) { z.add(QFile::encodeName(root) + "/EVASION.TXT", "x"); }),
         dirs},
        {"ANTISLASH.QWK", twisted([](ZipWriter& z) { z.add("..\\EVASION.TXT", "x"); }), dirs},
        {"POINTPOINT.QWK", twisted([](ZipWriter& z) { z.add("..", "x"); }), dirs},
        {"SECRET.QWK", [valid](const QString& p) { encryptedZip(valid, p); },
         "est protégé par un mot de passe"},
        {"SECRET2.QWK", twisted([](ZipWriter& z) { z.add("A.TXT", "x").flags = 1; }),
         "est protégé par un mot de passe"},
        {"BOMBE.QWK",
         twisted([](ZipWriter& z) { z.add("ENORME.DAT", "x").declaredSize = 1ull << 50; }),
         "octets une fois décompacté"},
        {"BOMBE64.QWK", twisted([](ZipWriter& z) {
             z.zip64End = true;
             for (int i = 0; i < 40; ++i)
                 z.add("B" + QByteArray::number(i), "x").declaredSize = 0xFFFFFFF0u;
         }),
         "octets une fois décompacté"},
        {"COUPE.QWK",
         [valid](const QString& p) {
             valid.zipTo(p);
             QFile f(p);
             f.resize(f.size() / 2);
         },
         damaged},
        {"TEXTE.QWK", [](const QString& p) { writeFileAtomically(p, "ceci n'est pas un zip"); },
         damaged},
        {"VIDE.QWK", [](const QString& p) { writeFileAtomically(p, {}); }, damaged},
        {"ARCHIVEVIDE.QWK", [](const QString& p) { ZipWriter().writeTo(p); },
         "CONTROL.DAT introuvable"},
        {"COMPTE.QWK",
         [valid](const QString& p) {
             ZipWriter z;
             z.addAll(valid.files());
             z.declaredEntries = 5000;
             z.writeTo(p);
         },
         damaged},
        {"CRC.QWK",
         [valid](const QString& p) {
             ZipWriter z;
             z.addAll(valid.files());
             QByteArray bytes = z.bytes();
             bytes[30 + 11 + 3] = '#'; // in the data of CONTROL.DAT
             writeFileAtomically(p, bytes);
         },
         damaged},
        {"AUTOEXTRACTIBLE.QWK",
         [valid](const QString& p) {
             ZipWriter z;
             z.prefix = QByteArray(5000, 'M');
             z.addAll(valid.files());
             z.writeTo(p);
         },
         {}},
        {"GONFLE.QWK",
         built([](PacketBuilder& b) { b.file("ZEROS.DAT", std::string(20 << 20, '\0')); }),
         {}},
        // Names of the packet file.
        {"-d.QWK", built([](PacketBuilder&) {}), {}},
        {"--help.QWK", built([](PacketBuilder&) {}), {}},
        {"[x].QWK",
         [](const QString& p) {
             PacketBuilder other = validPacket();
             other.control.bbsName = "MAUVAIS PAQUET";
             other.zipTo(QFileInfo(p).absolutePath() + "/x.QWK");
             validPacket().zipTo(p);
         },
         {}},
        {"mon paquet \xc3\xa9t\xc3\xa9.QWK", built([](PacketBuilder&) {}), {}},
        {"ligne\nsuivante.QWK", built([](PacketBuilder&) {}), {}},
        // What the packet holds.
        {"REPONSE.QWK",
         built([](PacketBuilder& b) { b.file("VELKTEST.MSG", std::string(256, 'x')); }),
         "fichier de réponses"},
        {"REPONSEMIN.QWK",
         built([](PacketBuilder& b) { b.file("velktest.msg", std::string(384, 'x')); }),
         "fichier de réponses"},
        {"IDCHEMIN.QWK", control([](PacketControlInfo& c) { c.bbsId = "../../X"; }), badId},
        {"IDBLANC.QWK", control([](PacketControlInfo& c) { c.bbsId = "A B"; }), badId},
        {"IDVIDE.QWK", control([](PacketControlInfo& c) { c.bbsId = ""; }), badId},
        {"IDLONG.QWK", control([](PacketControlInfo& c) { c.bbsId = "TROPLONGID"; }), badId},
        // Conference lines beyond the file's end read the file names: no numbers.
        {"CONFABSURDE.QWK", control([](PacketControlInfo& c) { c.conferenceCount = "99999999"; }),
         notNumber},
        {"CONFNEGATIF.QWK", control([](PacketControlInfo& c) { c.conferenceCount = "-5"; }), {}},
        {"CONFTEXTE.QWK", control([](PacketControlInfo& c) { c.conferenceCount = "abc"; }),
         notNumber},
        {"TOTALTEXTE.QWK", control([](PacketControlInfo& c) { c.totalMessages = "1e9"; }),
         notNumber},
        {"NUMEROS.QWK",
         replacing("CONTROL.DAT", "BBS\r\nVille,Region\r\ntel\r\nsysop\r\n0,VELKTEST\r\n"
                                  "02-05-1996,21:30:00\r\nJEAN DUPONT\r\n\r\n0\r\n2\r\n2\r\n"
                                  "99999999\r\nTrop grand\r\n-1\r\nNegatif\r\n0\r\n"
                                  "Principal\r\nHELLO\r\nNEWS\r\nGOODBYE\r\n"),
         "hors de 0 à 65535"},
        {"SANSCONTROL.QWK", replacing("CONTROL.DAT", QByteArray()), "CONTROL.DAT introuvable"},
        {"CONTROLVIDE.QWK", replacing("CONTROL.DAT", ""), notNumber},
        {"CONTROLBINAIRE.QWK",
         [](const QString& p) {
             ZipWriter z;
             QByteArray junk(3000, '\0');
             for (int i = 0; i < junk.size(); ++i)
                 junk[i] = char((i * 131) & 0xFF);
             z.add("CONTROL.DAT", junk);
             z.writeTo(p);
         },
         notNumber},
        {"INDEXLOIN.QWK",
         built([](PacketBuilder& b) {
             b.extraIndexEntry(0, 4000000000u).extraIndexEntry(1001, 99999);
         }),
         {}},
        {"INDEXABIME.QWK",
         built([](PacketBuilder& b) {
             b.extraIndexBytes(0, std::string("\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x00\x00"
                                              "\x7F\x7F\x7F\x7F\x00\x01\x02",
                                              17));
         }),
         {}},
        {"INDEXTEXTE.QWK", built([](PacketBuilder& b) { b.extraIndexEntry(1001, 3); }), {}},
        {"BLOCSTEXTE.QWK", built([](PacketBuilder& b) {
             b = PacketBuilder();
             b.conference(0, "Principal");
             b.add(0, "Mauvais", "x\n").blockCount = "abc";
         }),
         notNumber},
        {"BLOCSENORMES.QWK",
         built([](PacketBuilder& b) { b.add(0, "Enorme", "x\n").blockCount = "999999"; }),
         {}},
        {"BLOCSNEGATIFS.QWK",
         built([](PacketBuilder& b) { b.add(0, "Negatif", "x\n").blockCount = "-1"; }),
         {}},
        {"DATES.QWK", built([](PacketBuilder& b) {
             b.add(0, "Date", "x\n").date = "13-45-99";
             b.add(1001, "Date", "x\n").date = "\xC4\xC4\xC4\xC4\xC4\xC4\xC4\xC4";
         }),
         "Date incorrecte"},
        {"SANSMESSAGES.QWK", replacing("MESSAGES.DAT", QByteArray()), "Fichier introuvable"},
        {"MESSAGESCOUPE.QWK", replacing("MESSAGES.DAT", valid.messagesFile().chopped(200)), {}},
        {"NULS.QWK",
         built([](PacketBuilder& b) {
             b.quirks.nulPadding = true;
             b.add(0, std::string(25, '\0'), std::string(300, '\0'));
         }),
         {}},
        {"NOUVELLESCHEMIN.QWK",
         built([](PacketBuilder& b) { b.control.newsFile = "../../etc/passwd"; }),
         {}},
        {"BULLETINS.QWK",
         built([](PacketBuilder& b) {
             for (int i = 0; i < 150; ++i)
                 b.bulletin("BLT-" + QString::number(i) + "." + QString::number(i * 7919),
                            "\x1b[99999999;99999999H\x1b[" + std::string(300, '9') + "m");
         }),
         {}},
        {"MILLECONF.QWK",
         built([](PacketBuilder& b) {
             for (int i = 2; i < 1200; ++i)
                 b.conference(std::uint16_t(i), "C" + std::to_string(i));
         }),
         {}},
        {"PORTE.QWK",
         built([](PacketBuilder& b) {
             b.door = {{std::string(5000, '='), ""}};
         }),
         {}},
        // Sizes that lie, names, methods, a pipe, an accented board.
        {"BOMBEMENTEUSE.QWK", twisted([](ZipWriter& z) {
             ZipWriter::Member& m = z.add("ZEROS.DAT", QByteArray(40 << 20, '\0'));
             m.deflated = true;
             m.declaredSize = 1000;
         }),
         "c'est une archive piégée"},
        {"NOMLONG.QWK", twisted([](ZipWriter& z) { z.add(QByteArray(5000, 'N'), "x"); }),
         "nom est trop long"},
        {"NOMDOS.QWK", twisted([](ZipWriter& z) { z.add("BULL\x82TIN.TXT", "x"); }), {}},
        {"CHEVAUCHE.QWK", twisted([](ZipWriter& z) { z.add("DOUBLE.DAT").sharesDataOf = 0; }),
         "se chevauchent"},
        {"METHODE.QWK", twisted([](ZipWriter& z) { z.add("INCONNU.DAT", "x").method = 99; }),
         "méthode de compression inconnue"},
        {"TUBEPAQUET.QWK", [](const QString& p) { ::mkfifo(QFile::encodeName(p), 0644); },
         "pas un fichier ordinaire"},
        {"IDACCENT.QWK", control([](PacketControlInfo& c) { c.bbsId = "\x90T\x90"; }), {}},
    };
}

std::vector<HostileCase> hostileReplyFiles() {
    const QString links = "contient des liens ou des fichiers spéciaux";
    const QString dirs = "contient des répertoires ou des fichiers rangés dans un répertoire";
    const QByteArray good = replyFile(2);
    const auto rep = [](const QByteArray& msg, const std::function<void(ZipWriter&)>& twist = {}) {
        return [msg, twist](const QString& p) { replyPacket(p, msg, twist); };
    };
    return {
        {"LIEN.REP", rep(good, [](ZipWriter& z) { z.add("LIEN", "/etc").mode = 0120777; }), links},
        {"PARENT.REP", rep(good, [](ZipWriter& z) { z.add("../EVASION.MSG", "x"); }), dirs},
        {"REPMSG.REP",
         [](const QString& p) {
             ZipWriter z;
             z.add("VELKTEST.MSG/").mode = 040755;
             z.writeTo(p);
         },
         dirs},
        {"SECRET.REP", rep(good, [](ZipWriter& z) { z.add("B.TXT", "x").flags = 1; }),
         "est protégé par un mot de passe"},
        {"COUPE.REP",
         [good](const QString& p) {
             replyPacket(p, good);
             QFile f(p);
             f.resize(f.size() - 30);
         },
         "Cause : l'archive est endommagée"},
        {"BOMBE.REP",
         rep(good, [](ZipWriter& z) { z.add("ENORME", "x").declaredSize = 1ull << 50; }),
         "octets une fois décompacté"},
        {"CONTROLE.REP", rep(good, [](ZipWriter& z) { z.add("CONTROL.DAT", "PIEGE\r\n"); }), {}},
        {"BLOCSENORMES.REP", rep(replyFile(1, "999999")), {}, replyFile(1, "999999")},
        {"BLOCSTEXTE.REP", rep(replyFile(1, "abc")), {}, replyFile(1, "abc")},
        {"BLOCSZERO.REP", rep(replyFile(3, "0")), {}, replyFile(3, "0")},
        {"UNBLOC.REP", rep(replyFile(0)), {}, replyFile(0)},
        {"COUPEMSG.REP", rep(replyFile(2).chopped(77)), {}, replyFile(2).chopped(77)},
        {"CINQMILLE.REP", rep(replyFile(5000, {}, 0)), {}, replyFile(5000, {}, 0)},
        {"VIDE.REP", rep(QByteArray("")), {}, QByteArray("")},
    };
}

class HostileCorpus : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    QString corpus, scratch, tmp, valid;
    QStringList skipped;
    int guiRuns = 0, cliRuns = 0, hangs = 0, crashes = 0;

    void SetUp() override {
        dirs.configure(s);
        corpus = dirs.dir("CORPUS");
        scratch = dirs.dir("SCRATCH");
        tmp = dirs.dir("TMP");
        for (const QString& d : {corpus, scratch, tmp})
            QDir().mkpath(d);
        valid = joinPath(dirs.dir("QWK"), "VELKTEST.QWK");
        validPacket().zipTo(valid);
        skipped = {dirs.dir("WORK"), scratch};
    }

    struct CliRun {
        bool finished = false;
        bool crashed = false;
        int status = 0;
        QString err;
    };

    CliRun cli(const QStringList& args) {
        ++cliRuns;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", tmp);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(corpus);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(kCli, args);
        CliRun r;
        r.finished = p.waitForFinished(kCliTimeoutMs);
        if (!r.finished) {
            ++hangs;
            p.kill();
            p.waitForFinished();
        }
        r.crashed = p.exitStatus() != QProcess::NormalExit;
        crashes += r.crashed ? 1 : 0;
        r.status = p.exitCode();
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    // The packet window's opening, then what its buttons read: conferences and messages,
    // personal mail, written messages, new files, bulletins; then its closing.
    QStringList openReadAndClose(const QString& packet) {
        ++guiRuns;
        RecordingUi ui;
        ui.packet = packet;
        bool opened = false;
        runAction(ui, [&] {
            if (!openQwkPacket(s, ui))
                return;
            opened = true;
            packetButtons(s);
            const std::vector<std::string> conferences = buildConferenceList(s);
            for (int line = 0; line < int(conferences.size()); ++line) {
                runAction(ui, [&] {
                    const std::vector<std::string> messages =
                        REPORTED_TO(ui, listConference(s, said, line));
                    for (int m = 0; m < int(messages.size()); ++m)
                        REPORTED_TO(ui, readListedMessage(s, said, m));
                });
            }
            runAction(ui, [&] { REPORTED_TO(ui, buildPersonalList(s, said)); });
            runAction(ui, [&] {
                const WrittenMessages written = listWrittenMessages(s);
                for (int i = 0; i < int(written.lines.size()); ++i)
                    readWrittenMessage(s, i);
            });
            runAction(ui, [&] { loadNewFiles(s); });
            for (const std::string& b : s.packet.control.BulletinFiles) {
                if (const auto path = packetFilePath(s, b))
                    runAction(ui, [&] { readWholeFile(*path); });
            }
        });
        if (opened)
            runAction(ui, [&] { closePacket(s, ui); });
        return ui.texts;
    }

    void expectValidPacketOpens() {
        const QStringList told = openReadAndClose(valid);
        EXPECT_TRUE(told.isEmpty()) << told.join('\n').toStdString();
        EXPECT_EQ(s.packet.control.BbsName, "VELK TEST BBS");
    }

    void expectFrench(const QStringList& texts, const QString& what) {
        for (const QString& t : texts)
            EXPECT_FALSE(looksForeign(t)) << what.toStdString() << ": " << t.toStdString();
    }

    void report(int packets, int replyFiles) {
        std::cout << "[ corpus ] " << packets << " paquets, " << replyFiles
                  << " fichiers de réponses ; " << guiRuns << " ouvertures, " << cliRuns
                  << " appels de velk-cli ; " << crashes << " plantages, " << hangs
                  << " blocages\n";
    }
};

} // namespace

TEST_F(HostileCorpus, PacketsAreToldAndChangeNothingOutside) {
    const std::vector<HostileCase> cases = hostilePackets(dirs.root.path());
    ASSERT_GE(cases.size(), 40u);
    const QString base = joinPath(scratch, "BASE.QWK");
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString path = joinPath(corpus, c.name);
        c.make(path);
        const Snapshot before = snapshot(dirs.root.path(), skipped);

        const QStringList told = openReadAndClose(path);
        expectFrench(told, "fenêtre");
        EXPECT_TRUE(QDir(dirs.dir("WORK")).isEmpty());
        QString cliTold;
        for (const QStringList& args : {QStringList{"info", c.name}, QStringList{"list", c.name},
                                        QStringList{"read", c.name, "0", "1"}}) {
            const CliRun r = cli(args);
            EXPECT_TRUE(r.finished && !r.crashed) << args.join(' ').toStdString();
            EXPECT_LE(r.status, 3) << args.join(' ').toStdString();
            if (!r.err.isEmpty())
                expectFrench({r.err}, args.join(' '));
            cliTold += r.err;
        }
        QFile::remove(base);
        QFile::copy(valid, base);
        const CliRun merged = cli({"merge", base, c.name, "--yes"});
        EXPECT_TRUE(merged.finished && !merged.crashed);
        if (!c.told.isEmpty()) {
            EXPECT_TRUE(told.join('\n').contains(c.told)) << told.join('\n').toStdString();
            EXPECT_TRUE(cliTold.contains(c.told)) << cliTold.toStdString();
        }

        EXPECT_EQ(differences(before, snapshot(dirs.root.path(), skipped)), "");
        expectValidPacketOpens();
    }
    report(int(cases.size()), 0);
    EXPECT_EQ(crashes + hangs, 0);
}

TEST_F(HostileCorpus, ReplyFilesAreToldAndChangeNothingOutside) {
    const std::vector<HostileCase> cases = hostileReplyFiles();
    ASSERT_GE(cases.size(), 10u);
    const QString rep = joinPath(dirs.dir("REP"), "VELKTEST.REP");
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QString path = joinPath(corpus, c.name);
        c.make(path);
        QFile::copy(path, rep);
        QFile(rep).setFileTime(QFileInfo(valid).lastModified(), QFileDevice::FileModificationTime);
        QStringList cliArgs = {c.name};
        if (!c.replyBytes.isNull()) {
            const QString msg = QFileInfo(c.name).completeBaseName() + ".MSG";
            writeFileAtomically(joinPath(corpus, msg), c.replyBytes);
            cliArgs.append(msg);
        }
        // Repacking the replies at closing may rewrite the reply packet, and only that.
        QStringList skippedHere = skipped;
        skippedHere.append(rep);
        const Snapshot before = snapshot(dirs.root.path(), skippedHere);

        const QStringList told = openReadAndClose(valid);
        expectFrench(told, "fenêtre");
        QString cliTold;
        for (const QString& file : cliArgs) {
            for (const QStringList& args :
                 {QStringList{"replies", file}, QStringList{"replies", file, "--read", "0"}}) {
                const CliRun r = cli(args);
                EXPECT_TRUE(r.finished && !r.crashed) << args.join(' ').toStdString();
                if (!r.err.isEmpty())
                    expectFrench({r.err}, args.join(' '));
                cliTold += r.err;
            }
        }
        if (!c.told.isEmpty()) {
            EXPECT_TRUE(told.join('\n').contains(c.told)) << told.join('\n').toStdString();
            EXPECT_TRUE(cliTold.contains(c.told)) << cliTold.toStdString();
        }
        EXPECT_EQ(differences(before, snapshot(dirs.root.path(), skippedHere)), "");
        EXPECT_TRUE(QFileInfo(rep).isFile());
        EXPECT_EQ(s.packet.control.BbsName, "VELK TEST BBS");

        QFile::remove(rep);
        expectValidPacketOpens();
    }
    report(0, int(cases.size()));
    EXPECT_EQ(crashes + hangs, 0);
}

} // namespace velk
