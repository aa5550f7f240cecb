// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "notehtml/jsontext_p.h"

#include <json/reader.h>

#include <exception>
#include <memory>

namespace TAVRIKCORE::RICHEDITOR::Internal {

bool parseJsonText(const QByteArray &text, Json::Value &root)
{
    // One reader per thread: building one costs more than parsing a short attribute.
    thread_local const std::unique_ptr<Json::CharReader> reader = [] {
        Json::CharReaderBuilder builder;
        builder["allowComments"] = true;
        builder["collectComments"] = false;
        return std::unique_ptr<Json::CharReader>(builder.newCharReader());
    }();
    try {
        return reader->parse(text.constData(), text.constData() + text.size(), &root, nullptr);
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
