// SPDX-License-Identifier: GPL-2.0-or-later
#include "board/BoardMarks.h"
#include "core/FileUtil.h"
#include "session/Session.h"
#include "tests/support/ConfiguredDirectories.h"
#include "tests/support/ScriptedUiServices.h"

#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace velk {

namespace {

class ReadMarksTest : public ::testing::Test {
protected:
    ConfiguredDirectories dirs;
    Session s;
    ScriptedUiServices ui;
    QString path;

    void SetUp() override {
        dirs.configure(s);
        s.packet.control.BbsId = "ALPHA";
        path = readMarksPath(s.startDirectory, "ALPHA");
    }
    ReadMarks& reload() {
        s.board = BoardState();
        return REPORTED_TO(ui, boardMarks(s, said));
    }
};

TEST_F(ReadMarksTest, MarksComeBackFromTheFileLaidOutEightBytesAMessage) {
    ReadMarks& marks = REPORTED_TO(ui, boardMarks(s, said));
    marks.setMark({1001, 70000}, ReadMark::Followed);
    marks.setMark({3, 5}, ReadMark::Read);
    marks.setMark({3, 6}, ReadMark::Read);
    marks.setMark({3, 6}, ReadMark::Unread); // forgotten again, never written
    saveBoardMarks(s);
    const QByteArray file = readWholeFile(path);
    const QByteArray line = "VELK ETAT DE LECTURE 1\n";
    ASSERT_EQ(file.size(), line.size() + 16 + 2 * 8);
    EXPECT_TRUE(file.startsWith(line));
    // Little-endian: the mark, the number on four bytes, the conference on two, a zero.
    EXPECT_EQ(file.mid(line.size() + 16).toHex(), QByteArray("0105000000030000"
                                                             "0270110100e90300"));
    EXPECT_EQ(reload().mark({1001, 70000}), ReadMark::Followed);
    EXPECT_EQ(reload().mark({3, 5}), ReadMark::Read);
    EXPECT_EQ(reload().mark({3, 6}), ReadMark::Unread);
    EXPECT_EQ(reload().remembered(), 2u);
}

TEST_F(ReadMarksTest, ABoardOfAnotherIdentifierHasItsOwnFile) {
    REPORTED_TO(ui, boardMarks(s, said)).setMark({0, 1}, ReadMark::Read);
    s.packet.control.BbsId = "BETA";
    EXPECT_EQ(REPORTED_TO(ui, boardMarks(s, said)).mark({0, 1}),
              ReadMark::Unread); // ALPHA's saved on the way
    s.packet.control.BbsId = "ALPHA";
    EXPECT_EQ(REPORTED_TO(ui, boardMarks(s, said)).mark({0, 1}), ReadMark::Read);
    EXPECT_TRUE(QFile::exists(path));
}

struct Refused {
    const char* name;
    std::function<void(QByteArray&)> spoil;
    bool putAside; // else left as it is
    const char* message;
};

TEST_F(ReadMarksTest, ADamagedOrForeignFileIsRefusedWithItsReason) {
    const char* damaged = "Le fichier ALPHA.LUS des messages lus est endommagé. Il est mis de "
                          "côté sous le nom ALPHA.LUS.ABIME et les messages de ce BBS sont de "
                          "nouveau tous non lus.";
    const char* foreign =
        "Le fichier ALPHA.LUS n'est pas un fichier de messages lus de VELK : il "
        "est laissé tel quel et les messages lus de ce BBS ne seront pas retenus.";
    const std::vector<Refused> cases = {
        {"cut", [](QByteArray& f) { f.chop(3); }, true, damaged},
        {"byte changed", [](QByteArray& f) { f[f.size() - 5] = 'x'; }, true, damaged},
        {"count changed", [](QByteArray& f) { f[23] = 9; }, true, damaged},
        {"empty", [](QByteArray& f) { f.clear(); }, false, foreign},
        {"foreign", [](QByteArray& f) { f = "[VELK]\r\nFirstUse=0\r\n"; }, false, foreign},
        {"newer", [](QByteArray& f) { f.replace("LECTURE 1", "LECTURE 7"); }, false,
         "Le fichier ALPHA.LUS vient d'une version plus récente de VELK : il est laissé tel quel "
         "et les messages lus de ce BBS ne seront pas retenus."},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(damagedMarksPath(path));
        QFile::remove(path);
        s.board = BoardState();
        REPORTED_TO(ui, boardMarks(s, said)).setMark({2, 40}, ReadMark::Read);
        saveBoardMarks(s);
        QByteArray file = readWholeFile(path);
        c.spoil(file);
        writeFileAtomically(path, file);
        EXPECT_EQ(reload().mark({2, 40}), ReadMark::Unread);
        EXPECT_EQ(ui.messages(), QStringList({QString::fromUtf8(c.message)}));
        ui.clear();
        EXPECT_EQ(QFile::exists(damagedMarksPath(path)), c.putAside);
        // A refused file is never written over; a put-aside one leaves room for new marks.
        REPORTED_TO(ui, boardMarks(s, said)).setMark({2, 41}, ReadMark::Read);
        saveBoardMarks(s);
        EXPECT_EQ(QFile::exists(path) && readWholeFile(path) != file, c.putAside);
    }
}

} // namespace

} // namespace velk
