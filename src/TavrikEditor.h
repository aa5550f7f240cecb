// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

// Every public header of TavrikEditor.
#include "common/commonutils.h"
#include "common/cslock.h"
#include "common/log4c.h"
#include "common/narrowcodec.h"
#include "common/singleton.h"
