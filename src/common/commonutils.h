// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

// The common utilities: text and path helpers, folders of the application, hashing.
#include "common/appdirectory.h"
#include "common/base64.h"
#include "common/filemd5.h"
#include "common/pathutils.h"
#include "common/textutils.h"
