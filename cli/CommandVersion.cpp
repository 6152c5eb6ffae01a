// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/CliRegistry.h"

#include "core/Version.h"

namespace velk {

namespace {
int run(const QStringList&, CliIo& io) {
    io.print(QStringLiteral("VELK %1\n").arg(QLatin1String(kVelkVersion)));
    return 0;
}
const CliRegistrar registrar("version", "", &run);
} // namespace

} // namespace velk
