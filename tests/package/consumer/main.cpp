// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <TavrikEditor.h>

#include <cstdio>

// A host that includes every public header and calls into the installed library.
int main()
{
    using namespace TAVRIKCORE::RICHEDITOR;
    const QString guid = CreateGuidString();
    if (guid.size() != 32) {
        std::fprintf(stderr, "unexpected GUID text: %s\n", qPrintable(guid));
        return 1;
    }
    return 0;
}
