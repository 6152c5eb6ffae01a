// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/ZipDirectory.h"

#include "core/FileUtil.h"
#include "packet/PacketBuilder.h"
#include "tests/support/ZipWriter.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace velk {

namespace {

ZipReadResult read(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return readZipDirectory(buffer);
}

ZipReadResult readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return readZipDirectory(f);
}

} // namespace

TEST(ZipDirectory, ListsWhatTheZipProgramWrote) {
    PacketBuilder b;
    b.conference(0, "Principal");
    b.add(0, "Salut", "Bonjour\n");
    QTemporaryDir dir;
    const QString packet = joinPath(dir.path(), "P.QWK");
    b.zipTo(packet);
    const ZipReadResult r = readFile(packet);
    ASSERT_TRUE(r.listing);
    std::uint64_t total = 0;
    QList<QByteArray> names;
    for (const ZipMember& m : r.listing->members) {
        names.append(m.name);
        total += m.size;
        EXPECT_FALSE(m.encrypted || m.directory || m.special) << m.name.toStdString();
    }
    EXPECT_EQ(names, (QList<QByteArray>{"CONTROL.DAT", "DOOR.ID", "MESSAGES.DAT", "000.NDX"}));
    EXPECT_EQ(r.listing->totalSize, total);
    std::uint64_t onDisk = 0;
    for (const auto& [name, data] : b.files())
        onDisk += std::uint64_t(data.size());
    EXPECT_EQ(total, onDisk);
}

TEST(ZipDirectory, EncryptionFromTheZipProgramIsSeen) {
    QTemporaryDir dir;
    const QString file = joinPath(dir.path(), "A.TXT");
    writeFileAtomically(file, "secret");
    const QString zip = joinPath(dir.path(), "E.ZIP");
    QProcess p;
    p.start("zip", {"-q", "-j", "-P", "motdepasse", zip, file});
    ASSERT_TRUE(p.waitForFinished() && p.exitCode() == 0);
    const ZipReadResult r = readFile(zip);
    ASSERT_TRUE(r.listing);
    ASSERT_EQ(r.listing->members.size(), 1u);
    EXPECT_TRUE(r.listing->members[0].encrypted);
}

TEST(ZipDirectory, MembersAreDescribedAsTheUnpackerWouldSeeThem) {
    struct Case {
        const char* what;
        std::function<void(ZipWriter&)> make;
        std::function<void(const ZipMember&)> check;
    };
    const Case cases[] = {
        {"plain", [](ZipWriter& z) { z.add("A.TXT", "abc"); },
         [](const ZipMember& m) {
             EXPECT_EQ(m.name, "A.TXT");
             EXPECT_EQ(m.size, 3u);
             EXPECT_FALSE(m.directory || m.special || m.encrypted);
         }},
        {"directory", [](ZipWriter& z) { z.add("CONTROL.DAT/").mode = 040755; },
         [](const ZipMember& m) { EXPECT_TRUE(m.directory); }},
        {"link", [](ZipWriter& z) { z.add("LIEN", "/etc/passwd").mode = 0120777; },
         [](const ZipMember& m) { EXPECT_TRUE(m.special); }},
        {"pipe", [](ZipWriter& z) { z.add("FIFO").mode = 010644; },
         [](const ZipMember& m) { EXPECT_TRUE(m.special); }},
        {"encrypted", [](ZipWriter& z) { z.add("A.TXT", "x").flags = 1; },
         [](const ZipMember& m) { EXPECT_TRUE(m.encrypted); }},
        {"lying size", [](ZipWriter& z) { z.add("A.TXT", "x").declaredSize = 4000000000u; },
         [](const ZipMember& m) { EXPECT_EQ(m.size, 4000000000u); }},
        {"zip64 size", [](ZipWriter& z) { z.add("A.TXT", "x").declaredSize = 1ull << 40; },
         [](const ZipMember& m) { EXPECT_EQ(m.size, 1ull << 40); }},
        {"zip64 end",
         [](ZipWriter& z) {
             z.zip64End = true;
             z.add("A.TXT", "abc");
         },
         [](const ZipMember& m) { EXPECT_EQ(m.size, 3u); }},
        {"self-extractor",
         [](ZipWriter& z) {
             z.prefix = QByteArray(1000, 'X');
             z.add("A.TXT", "abc");
         },
         [](const ZipMember& m) { EXPECT_EQ(m.name, "A.TXT"); }},
        {"zip64 end after a prefix",
         [](ZipWriter& z) {
             z.prefix = QByteArray(700, 'X');
             z.zip64End = true;
             z.add("A.TXT", "abc");
         },
         [](const ZipMember& m) { EXPECT_EQ(m.name, "A.TXT"); }},
        {"path", [](ZipWriter& z) { z.add("../../etc/x", "x"); },
         [](const ZipMember& m) { EXPECT_EQ(m.name, "../../etc/x"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ZipWriter z;
        c.make(z);
        const ZipReadResult r = read(z.bytes());
        ASSERT_TRUE(r.listing);
        ASSERT_EQ(r.listing->members.size(), 1u);
        c.check(r.listing->members[0]);
    }
}

TEST(ZipDirectory, TotalSizeSaturates) {
    ZipWriter z;
    z.add("A", "x").declaredSize = ~0ull;
    z.add("B", "x").declaredSize = ~0ull;
    const ZipReadResult r = read(z.bytes());
    ASSERT_TRUE(r.listing);
    EXPECT_EQ(r.listing->totalSize, ~0ull);
}

TEST(ZipDirectory, DamageIsToldFromNoArchive) {
    ZipWriter good;
    good.add("A.TXT", "abc").zip64 = true;
    good.add("B.TXT", "def");
    const QByteArray whole = good.bytes();
    ZipWriter tooMany = good;
    tooMany.declaredEntries = 3;
    ZipWriter absurd = good;
    absurd.declaredEntries = 60000;
    struct Case {
        const char* what;
        QByteArray bytes;
        std::optional<ZipDamage> damage; // nullopt: a listing
    };
    const Case cases[] = {
        {"empty file", {}, ZipDamage::NotAZip},
        {"text", "ceci n'est pas une archive", ZipDamage::NotAZip},
        {"empty archive", ZipWriter().bytes(), std::nullopt},
        {"cut in the end record", whole.left(whole.size() - 5), ZipDamage::NotAZip},
        {"cut in the directory", whole.mid(0, 40) + whole.right(22), ZipDamage::Damaged},
        {"more entries than written", tooMany.bytes(), ZipDamage::Damaged},
        {"entries beyond the directory", absurd.bytes(), ZipDamage::Damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ZipReadResult r = read(c.bytes);
        EXPECT_EQ(r.listing.has_value(), !c.damage.has_value());
        if (c.damage) {
            EXPECT_EQ(r.damage, *c.damage);
        }
    }
}

} // namespace velk
