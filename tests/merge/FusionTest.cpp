// SPDX-License-Identifier: GPL-2.0-or-later
#include "merge/Fusion.h"
