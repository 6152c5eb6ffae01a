// SPDX-License-Identifier: GPL-2.0-or-later
#include "core/StartUp.h"

#include "core/Session.h"
#include "core/UiServices.h"

// The library loaders come with the library editors; until they are linked in here,
// start-up keeps the lists empty.
void loadLibraries(Session&, UiServices&) {}
