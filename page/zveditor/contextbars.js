// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The bars that follow the selection: the table bar while the caret is in a table, the
// picture bar with the resize handles while a picture is selected. They belong to the page,
// drawn over the editing frame, so nothing of them is ever part of the note. Alt+F10 moves the
// keyboard focus from the note to the bar showing, the arrow keys walk its buttons and Escape
// goes back to the note.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});
    const editor = () => Tavrik.editor;

    const TABLE_COMMANDS = [
        ['rowAbove', 'Insert row above'], ['rowBelow', 'Insert row below'],
        ['columnLeft', 'Insert column left'], ['columnRight', 'Insert column right'],
        ['deleteRow', 'Delete row'], ['deleteColumn', 'Delete column'], ['deleteTable', 'Delete table'],
        ['mergeCells', 'Merge cells'], ['splitCell', 'Split cell'], ['headerRow', 'Header row'],
        ['narrowerColumn', 'Narrower column'], ['widerColumn', 'Wider column'],
    ];
    const PICTURE_COMMANDS = [
        ['inline', 'In line with text'], ['left', 'Left, text around'], ['right', 'Right, text around'],
        ['center', 'Centred'], ['smaller', 'Smaller'], ['larger', 'Larger'], ['originalSize', 'Original size'],
    ];
    const CORNERS = ['nw', 'ne', 'sw', 'se'];

    let tableBar = null;
    let pictureBar = null;
    let frameBox = null; // the picture's outline with its handles
    let shownPicture = null;

    function buildBar(id, label, commands, run) {
        const bar = document.createElement('div');
        bar.id = id;
        bar.className = 'context-bar';
        bar.setAttribute('role', 'toolbar');
        bar.setAttribute('aria-label', label);
        bar.hidden = true;
        for (const [name, text] of commands) {
            const b = document.createElement('button');
            b.type = 'button';
            b.className = 'text-button';
            b.dataset.command = name;
            b.textContent = text;
            b.tabIndex = -1;
            b.addEventListener('mousedown', (event) => event.preventDefault());
            b.addEventListener('click', () => {
                run(name);
                refresh();
            });
            bar.appendChild(b);
        }
        bar.addEventListener('keydown', (event) => onBarKey(bar, event));
        document.getElementById('editor-host').appendChild(bar);
        return bar;
    }

    function enabledButtons(bar) {
        return Array.from(bar.querySelectorAll('button')).filter((b) => !b.disabled);
    }

    function onBarKey(bar, event) {
        const buttons = enabledButtons(bar);
        const at = buttons.indexOf(document.activeElement);
        if (event.key === 'Escape') {
            event.preventDefault();
            event.stopPropagation();
            editor().focus();
            return;
        }
        const to = { ArrowLeft: at - 1, ArrowRight: at + 1, Home: 0, End: buttons.length - 1 }[event.key];
        if (to === undefined || !buttons.length)
            return;
        event.preventDefault();
        buttons[(to + buttons.length) % buttons.length].focus();
    }

    // Alt+F10 in the note: to the bar showing.
    function onNoteKey(event) {
        if (event.key !== 'F10' || !event.altKey)
            return;
        const bar = [pictureBar, tableBar].find((b) => b && !b.hidden);
        const first = bar && enabledButtons(bar)[0];
        if (!first)
            return;
        event.preventDefault();
        first.focus();
    }

    // Where a rectangle of the note's frame lies in the page.
    function inPage(rect) {
        const host = document.getElementById('editor-host').getBoundingClientRect();
        const frame = editor().frame().getBoundingClientRect();
        return { left: frame.left - host.left + rect.left, top: frame.top - host.top + rect.top,
                 width: rect.width, height: rect.height, hostWidth: host.width, hostHeight: host.height };
    }

    // The bar above the element when there is room, else below it, inside the frame.
    function placeBar(bar, rect) {
        const at = inPage(rect);
        const top = at.top - bar.offsetHeight - 4;
        bar.style.left = '0';
        bar.style.left = Math.max(4, Math.min(at.left, at.hostWidth - bar.offsetWidth - 4)) + 'px';
        bar.style.top = Math.min(Math.max(4, top < 4 ? at.top + at.height + 4 : top),
                                 Math.max(4, at.hostHeight - bar.offsetHeight - 4)) + 'px';
    }

    function showTableBar(state) {
        tableBar.hidden = !state;
        if (!state)
            return;
        for (const b of tableBar.querySelectorAll('button')) {
            const name = b.dataset.command;
            b.disabled = (name === 'mergeCells' && !state.canMerge) || (name === 'splitCell' && !state.canSplit);
            if (name === 'headerRow')
                b.setAttribute('aria-pressed', state.headerRow ? 'true' : 'false');
        }
        placeBar(tableBar, state.table.getBoundingClientRect());
    }

    function showPicture(img) {
        shownPicture = img;
        pictureBar.hidden = !img;
        frameBox.hidden = !img;
        if (!img)
            return;
        const where = Tavrik.pictures.alignment(img);
        for (const b of pictureBar.querySelectorAll('button')) {
            if (['inline', 'left', 'right', 'center'].includes(b.dataset.command))
                b.setAttribute('aria-pressed', b.dataset.command === where ? 'true' : 'false');
        }
        const rect = img.getBoundingClientRect();
        const at = inPage(rect);
        frameBox.style.left = at.left + 'px';
        frameBox.style.top = at.top + 'px';
        frameBox.style.width = at.width + 'px';
        frameBox.style.height = at.height + 'px';
        placeBar(pictureBar, rect);
    }

    let queued = false;
    function refresh() {
        queued = false;
        if (!tableBar)
            return;
        const readOnly = editor().isReadOnly();
        const img = readOnly ? null : Tavrik.pictures.selected();
        showPicture(img);
        showTableBar(readOnly || img ? null : Tavrik.tables.state());
    }

    // Follows the selection once the current task is done (after the browser laid it out).
    function schedule() {
        if (!queued) {
            queued = true;
            requestAnimationFrame(refresh);
        }
    }

    function buildFrameBox() {
        const box = document.createElement('div');
        box.className = 'picture-frame';
        box.hidden = true;
        box.setAttribute('aria-hidden', 'true');
        for (const corner of CORNERS) {
            const handle = document.createElement('div');
            handle.className = 'handle ' + corner;
            let dragging = false;
            handle.addEventListener('pointerdown', (event) => {
                if (!shownPicture || event.button !== 0)
                    return;
                event.preventDefault();
                dragging = true;
                try {
                    handle.setPointerCapture(event.pointerId); // the moves over the note come here
                } catch (e) {
                    // a pointer that is not down any more: the moves over the handle do
                }
                Tavrik.pictures.startResize(shownPicture, corner, event.clientX, event.clientY);
            });
            handle.addEventListener('pointermove', (event) => {
                if (!dragging)
                    return;
                Tavrik.pictures.resizeTo(event.clientX, event.clientY, event.shiftKey);
                showPicture(shownPicture);
            });
            const end = () => {
                if (!dragging)
                    return;
                dragging = false;
                Tavrik.pictures.endResize();
                schedule();
            };
            handle.addEventListener('pointerup', end);
            handle.addEventListener('lostpointercapture', end);
            box.appendChild(handle);
        }
        document.getElementById('editor-host').appendChild(box);
        return box;
    }

    function build() {
        tableBar = buildBar('table-bar', 'Table', TABLE_COMMANDS, (name) => Tavrik.tables.exec(name));
        pictureBar = buildBar('picture-bar', 'Picture', PICTURE_COMMANDS, (name) => Tavrik.pictures.exec(name));
        frameBox = buildFrameBox();
        editor().onChange(schedule);
        window.addEventListener('resize', schedule);
    }

    editor().onFrame(function (doc) {
        doc.addEventListener('keydown', onNoteKey);
        doc.defaultView.addEventListener('scroll', schedule);
        schedule();
    });

    Tavrik.contextBars = { build: build, refresh: refresh };
})();
