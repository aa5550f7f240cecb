// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bridge/keystate_p.h"

#include <QGuiApplication>

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace TAVRIKCORE::RICHEDITOR::Internal {

namespace {

constexpr xcb_keysym_t KeysymF5 = 0xffc2;

// The keysym of the keys the hook tests: letters by their lower-case keysym, and F5.
std::optional<xcb_keysym_t> keysymOf(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return xcb_keysym_t('a' + (qtKey - Qt::Key_A));
    if (qtKey == Qt::Key_F5)
        return KeysymF5;
    return std::nullopt;
}

// The first key code whose keyboard mapping holds `keysym`.
std::optional<xcb_keycode_t> keycodeOf(xcb_connection_t *connection, xcb_keysym_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
        xcb_get_keyboard_mapping_reply(
            connection,
            xcb_get_keyboard_mapping(connection, setup->min_keycode, xcb_keycode_t(count)),
            nullptr),
        &std::free);
    if (!mapping || mapping->keysyms_per_keycode == 0)
        return std::nullopt;
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
    for (int i = 0; i < length; ++i) {
        if (keysyms[i] == keysym)
            return xcb_keycode_t(setup->min_keycode + i / mapping->keysyms_per_keycode);
    }
    return std::nullopt;
}

} // namespace

std::optional<bool> liveKeyDown(int qtKey)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    const std::optional<xcb_keysym_t> keysym = keysymOf(qtKey);
    if (!connection || !keysym)
        return std::nullopt;
    const std::optional<xcb_keycode_t> keycode = keycodeOf(connection, *keysym);
    if (!keycode)
        return std::nullopt;
    std::unique_ptr<xcb_query_keymap_reply_t, decltype(&std::free)> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    if (!keymap)
        return std::nullopt;
    return (keymap->keys[*keycode / 8] & (1 << (*keycode % 8))) != 0;
}

} // namespace TAVRIKCORE::RICHEDITOR::Internal
