// SPDX-License-Identifier: GPL-2.0-or-later
#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/mman.h>
#include <unistd.h>

using namespace velk;

FuzzFile::FuzzFile() : fd_(::memfd_create("velk-fuzz", 0)) {}

QString FuzzFile::hold(const QByteArray& bytes) {
    if (::ftruncate(fd_, 0) != 0 ||
        ::pwrite(fd_, bytes.constData(), std::size_t(bytes.size()), 0) != ssize_t(bytes.size()))
        ::abort();
    return QStringLiteral("/proc/self/fd/%1").arg(fd_);
}

QString fuzzDirectory() {
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/velk-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/velk-fuzz-XXXXXX"));
    return dir.path();
}
