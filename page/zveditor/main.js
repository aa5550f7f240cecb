// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Starts the editor once the page's scripts are in.
(function () {
    'use strict';

    window.Tavrik.editor.init();
    window.Tavrik.toolbar.build();
    window.Tavrik.contextBars.build();
    window.Tavrik.ready = true;
})();
