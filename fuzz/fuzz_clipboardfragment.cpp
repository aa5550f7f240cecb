// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
// Feeds arbitrary clipboard data to the "HTML Format" fragment reader, and arbitrary fragments
// through the writer and back.
#include "clipboard/clipboardlayout_p.h"
#include "fuzzcheck.h"

#include <cstddef>
#include <cstdint>

using namespace TAVRIKCORE::RICHEDITOR;
using TavrikFuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype zero = input.indexOf('\0');
    const QByteArray text = zero < 0 ? input : input.left(zero);

    // Whatever the reader gives is a piece of the text before its first zero byte.
    if (const std::optional<QByteArray> fragment = ClipboardLayout::htmlFragment(input)) {
        check(fragment->size() <= text.size(), "fragment within the text");
        check(!fragment->contains('\0'), "fragment stops before a zero byte");
        check(fragment->isEmpty() || text.contains(*fragment), "fragment taken from the text");
    }

    // Written and read back, a fragment comes with the start line and a closing CR LF, unless
    // it holds the end marker itself.
    const std::optional<QByteArray> layout = ClipboardLayout::buildHtmlFormat(input);
    check(layout.has_value(), "small fragments are written");
    check(layout->size() == 172 + text.size(), "written size");
    const std::optional<QByteArray> back = ClipboardLayout::htmlFragment(*layout);
    check(back.has_value(), "written layout reads back");
    if (!text.contains("<!--EndFrag"))
        check(*back == "<!--StartFragment -->\r\n" + text + "\r\n", "round trip bytes");
    return 0;
}
