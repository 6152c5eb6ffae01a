// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "core/FileUtil.h"

#include <QFile>
#include <QProcess>
#include <QString>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velk {

// A directory in which nothing can be created or deleted while the lock lives. Its
// permission bits are enough for an ordinary user; root passes over them through
// CAP_DAC_OVERRIDE, so this thread lowers that capability (it stays permitted and comes
// back at the end), and where even that fails the immutable attribute is tried.
// locked() is false when nothing worked here.
class LockedDirectory {
public:
    explicit LockedDirectory(QString path) : path_(std::move(path)) {
        QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (!writable())
            return;
        overrideLowered_ = setDacOverride(false);
        if (!writable())
            return;
        immutable_ =
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
        if (!writable())
            return;
        release();
        failed_ = true;
    }
    ~LockedDirectory() { release(); }
    LockedDirectory(const LockedDirectory&) = delete;
    LockedDirectory& operator=(const LockedDirectory&) = delete;

    bool locked() const { return !failed_; }

private:
    bool writable() const {
        QFile probe(joinPath(path_, QStringLiteral("probe")));
        const bool ok = probe.open(QIODevice::WriteOnly);
        probe.remove();
        return ok;
    }
    // Lowers or raises CAP_DAC_OVERRIDE in this thread's effective set; false when the
    // thread does not hold it or the change fails.
    static bool setDacOverride(bool on) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
        if (syscall(SYS_capget, &header, data) != 0)
            return false;
        const unsigned bit = 1u << CAP_DAC_OVERRIDE;
        if (!(data[0].permitted & bit) || bool(data[0].effective & bit) == on)
            return false;
        data[0].effective = on ? data[0].effective | bit : data[0].effective & ~bit;
        return syscall(SYS_capset, &header, data) == 0;
    }
    void release() {
        if (immutable_)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
        immutable_ = false;
        if (overrideLowered_)
            setDacOverride(true);
        overrideLowered_ = false;
        QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                         QFileDevice::ExeOwner);
    }

    QString path_;
    bool overrideLowered_ = false;
    bool immutable_ = false;
    bool failed_ = false;
};

} // namespace velk
