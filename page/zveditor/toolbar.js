// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The formatting toolbar, its pop-up choosers (colours, table size, link, capture options) and
// the status bar with the character count.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});
    const editor = () => Tavrik.editor;

    // 20x20 line icons, stroked with the button's text colour.
    const ICONS = {
        undo: '<path d="M5 8h7.5a3.75 3.75 0 0 1 0 7.5H9"/><path d="M8 5 5 8l3 3"/>',
        redo: '<path d="M15 8H7.5a3.75 3.75 0 0 0 0 7.5H11"/><path d="m12 5 3 3-3 3"/>',
        bold: '<path d="M6.5 4h4.75a3 3 0 0 1 0 6H6.5zM6.5 10h5.5a3 3 0 0 1 0 6H6.5z" stroke-width="2.1"/>',
        italic: '<path d="M9 4h6M5 16h6M12 4 8 16"/>',
        underline: '<path d="M6 4v5.5a4 4 0 0 0 8 0V4M5 17h10"/>',
        strike: '<path d="M13.8 6.6C13.2 5 11.8 4 10 4 7.9 4 6.6 5.2 6.6 6.8c0 1.2.7 2 1.9 2.6M7 13.6C7.6 15.1 8.9 16 10.2 16c2.2 0 3.6-1.3 3.6-3 0-.7-.2-1.3-.6-1.8M3.5 10h13"/>',
        color: '<path d="M6 13.5 10 3.5l4 10M7.6 10h4.8"/><rect class="swatch" x="3.5" y="15.5" width="13" height="2.5" rx="1" stroke="none"/>',
        highlight: '<path d="m11.5 3.5 4 4-6 6H5.5v-4zM9.5 5.5l4 4"/><rect class="swatch" x="3.5" y="15.5" width="13" height="2.5" rx="1" stroke="none"/>',
        bullets: '<circle cx="4.5" cy="5.5" r="1.1" fill="currentColor" stroke="none"/><circle cx="4.5" cy="10" r="1.1" fill="currentColor" stroke="none"/><circle cx="4.5" cy="14.5" r="1.1" fill="currentColor" stroke="none"/><path d="M8.5 5.5h8M8.5 10h8M8.5 14.5h8"/>',
        numbers: '<path d="M3.6 4.4 4.9 3.6v4M3.7 7.6h2.4M3.6 11.3c.4-.7 2.4-.8 2.4.4 0 1-2.4 1.7-2.4 2.9h2.5" stroke-width="1.2"/><path d="M8.5 5.5h8M8.5 10h8M8.5 14.5h8"/>',
        outdent: '<path d="M9.5 5h7M9.5 10h7M9.5 15h7M3.5 5h2M3.5 15h2M6.5 7.5 4 10l2.5 2.5"/>',
        indent: '<path d="M9.5 5h7M9.5 10h7M9.5 15h7M3.5 5h2M3.5 15h2M4 7.5 6.5 10 4 12.5"/>',
        alignLeft: '<path d="M3.5 5h13M3.5 8.5h8M3.5 12h13M3.5 15.5h8"/>',
        alignCenter: '<path d="M3.5 5h13M6 8.5h8M3.5 12h13M6 15.5h8"/>',
        alignRight: '<path d="M3.5 5h13M8.5 8.5h8M3.5 12h13M8.5 15.5h8"/>',
        alignJustify: '<path d="M3.5 5h13M3.5 8.5h13M3.5 12h13M3.5 15.5h13"/>',
        link: '<path d="M8.6 11.4a3 3 0 0 0 4.2 0l2.4-2.4a3 3 0 0 0-4.2-4.2l-.9.9"/><path d="M11.4 8.6a3 3 0 0 0-4.2 0l-2.4 2.4a3 3 0 0 0 4.2 4.2l.9-.9"/>',
        rule: '<path d="M3 10h14"/><path d="M5 5.5h10M5 14.5h10" opacity=".35"/>',
        table: '<rect x="3" y="4" width="14" height="12" rx="1.5"/><path d="M3 8h14M3 12h14M7.7 8v8M12.3 8v8"/>',
        attach: '<path d="M15.2 9.6 9.7 15a3.5 3.5 0 0 1-5-5l5.8-5.8a2.3 2.3 0 0 1 3.3 3.3l-5.7 5.7a1.15 1.15 0 0 1-1.6-1.6l5.1-5.1"/>',
        capture: '<path d="M6 2.5v11.5h11.5M2.5 6H14v11.5"/><circle cx="10" cy="10" r="1.3" fill="currentColor" stroke="none"/>',
        checklist: '<rect x="3" y="4" width="5" height="5" rx="1"/><path d="m4.2 6.6 1.2 1.2 1.8-2.3"/><rect x="3" y="11.5" width="5" height="5" rx="1"/><path d="M10.5 6.5h6M10.5 14h6"/>',
        chevron: '<path d="m6.5 8.5 3.5 3.5 3.5-3.5"/>',
        lock: '<rect x="5" y="9" width="10" height="8" rx="1.5"/><path d="M7 9V6.5a3 3 0 0 1 6 0V9"/>',
        pen: '<path d="m12.5 4 3.5 3.5-8 8H4.5V12z"/>',
    };

    function icon(name) {
        return '<svg class="icon" viewBox="0 0 20 20" aria-hidden="true" fill="none" stroke="currentColor" '
            + 'stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round">' + ICONS[name] + '</svg>';
    }

    const COLORS = ['#1f2328', '#5f6368', '#9aa0a6', '#d93025', '#e8710a', '#f9ab00', '#188038', '#12a4af',
                    '#1a73e8', '#5b3fd1', '#a142f4', '#c5227a'];
    const HIGHLIGHTS = ['#fff3a3', '#ffd8a8', '#ffc9c9', '#d3f9d8', '#c5f6fa', '#d0ebff', '#e5dbff', '#f1f3f5'];
    // What a screen reader says for each swatch.
    const COLOR_NAMES = {
        '#1f2328': 'Black', '#5f6368': 'Dark grey', '#9aa0a6': 'Grey', '#d93025': 'Red', '#e8710a': 'Orange',
        '#f9ab00': 'Amber', '#188038': 'Green', '#12a4af': 'Teal', '#1a73e8': 'Blue', '#5b3fd1': 'Indigo',
        '#a142f4': 'Purple', '#c5227a': 'Magenta', '#fff3a3': 'Yellow', '#ffd8a8': 'Peach', '#ffc9c9': 'Pink',
        '#d3f9d8': 'Mint', '#c5f6fa': 'Cyan', '#d0ebff': 'Sky blue', '#e5dbff': 'Lavender', '#f1f3f5': 'Light grey',
    };

    const FONT_SIZES = [['1', 'Tiny'], ['2', 'Small'], ['3', 'Normal'], ['4', 'Medium'], ['5', 'Large'],
                        ['6', 'Larger'], ['7', 'Huge']];
    const BLOCKS = [['p', 'Paragraph'], ['h1', 'Heading 1'], ['h2', 'Heading 2'], ['h3', 'Heading 3'],
                    ['blockquote', 'Quote'], ['pre', 'Code']];

    const CAPTURE_HIDE_KEY = 'tavrik.capture.hideMainWnd';

    let root = null;
    let openPopover = null;
    let lastTextColor = COLORS[3];
    let lastHighlight = HIGHLIGHTS[0];

    function el(tag, attrs, html) {
        const node = document.createElement(tag);
        for (const key in attrs || {})
            node.setAttribute(key, attrs[key]);
        if (html !== undefined)
            node.innerHTML = html;
        return node;
    }

    // A tooltip "Bold (Ctrl+B)" gives the control's label "Bold" and its shortcut for
    // assistive technology.
    function labelled(node, tip) {
        const shortcut = /^(.*) \((Ctrl\+[^)]+)\)$/.exec(tip);
        node.setAttribute('data-tip', tip);
        node.setAttribute('aria-label', shortcut ? shortcut[1] : tip);
        if (shortcut)
            node.setAttribute('aria-keyshortcuts', shortcut[2].replace('Ctrl', 'Control'));
        return node;
    }

    function button(id, iconName, tip, action) {
        const b = labelled(el('button', { type: 'button', class: 'tool', 'data-id': id }, icon(iconName)), tip);
        // Keep the note's selection: toolbar buttons never take the focus.
        b.addEventListener('mousedown', (event) => event.preventDefault());
        b.addEventListener('click', (event) => {
            event.preventDefault();
            if (!b.disabled)
                action(b, event);
        });
        return b;
    }

    function popupButton(b) {
        b.setAttribute('aria-haspopup', 'dialog');
        b.setAttribute('aria-expanded', 'false');
        return b;
    }

    function group(...children) {
        const g = el('div', { class: 'group', role: 'group' });
        for (const c of children)
            g.appendChild(c);
        return g;
    }

    function select(id, tip, options, onChange) {
        const s = labelled(el('select', { class: 'picker', 'data-id': id }), tip);
        for (const [value, label] of options)
            s.appendChild(el('option', { value: value }, label));
        s.addEventListener('change', () => {
            onChange(s.value);
            editor().focus();
        });
        return s;
    }

    // ---- pop-ups --------------------------------------------------------------------------------

    // Closes the open pop-up; `refocus` gives the keyboard focus back to the control that
    // opened it.
    function closePopover(refocus) {
        if (!openPopover)
            return;
        const opener = openPopover.opener;
        openPopover.panel.remove();
        openPopover.anchor.classList.remove('open');
        opener.setAttribute('aria-expanded', 'false');
        openPopover = null;
        if (refocus === true)
            opener.focus();
    }

    // Opens `panel` below `anchor`. A pop-up opened from the keyboard takes the focus, so its
    // choices are reached with Tab and Escape leads back.
    function showPopover(anchor, panel, opener) {
        const same = openPopover && openPopover.anchor === anchor;
        closePopover();
        if (same)
            return null;
        opener = opener || anchor;
        panel.classList.add('popover');
        panel.setAttribute('role', 'dialog');
        panel.setAttribute('aria-label', opener.getAttribute('aria-label'));
        document.body.appendChild(panel);
        const a = anchor.getBoundingClientRect();
        const left = Math.min(a.left, window.innerWidth - panel.offsetWidth - 8);
        panel.style.left = Math.max(8, left) + 'px';
        panel.style.top = (a.bottom + 6) + 'px';
        anchor.classList.add('open');
        opener.setAttribute('aria-expanded', 'true');
        openPopover = { anchor: anchor, panel: panel, opener: opener };
        if (document.activeElement === opener)
            (panel.querySelector('button, input, [tabindex]') || panel).focus();
        return panel;
    }

    function colorPanel(colors, onPick, noneLabel) {
        const panel = el('div', { class: 'palette' });
        const grid = el('div', { class: 'swatches' });
        for (const color of colors) {
            const s = el('button', { type: 'button', class: 'swatch-button', 'aria-label': COLOR_NAMES[color] });
            s.style.background = color;
            s.addEventListener('mousedown', (event) => event.preventDefault());
            s.addEventListener('click', () => { closePopover(); onPick(color); });
            grid.appendChild(s);
        }
        panel.appendChild(grid);
        const none = el('button', { type: 'button', class: 'text-button' }, noneLabel);
        none.addEventListener('mousedown', (event) => event.preventDefault());
        none.addEventListener('click', () => { closePopover(); onPick(null); });
        panel.appendChild(none);
        return panel;
    }

    function colorButton(id, iconName, tip, colors, noneLabel, apply, current) {
        const split = el('div', { class: 'split' });
        const main = button(id, iconName, tip, () => apply(current()));
        const more = button(id + '-more', 'chevron', tip + ' choices', (b) => {
            showPopover(split, colorPanel(colors, (color) => {
                apply(color);
                updateSwatches();
            }, noneLabel), b);
        });
        popupButton(more);
        more.classList.add('more');
        split.append(main, more);
        return split;
    }

    function tablePanel() {
        const panel = el('div', { class: 'table-picker' });
        const label = el('div', { class: 'picker-label' }, 'Insert table');
        const grid = el('div', { class: 'grid' });
        const ROWS = 8;
        const COLS = 10;
        for (let r = 1; r <= ROWS; ++r) {
            for (let c = 1; c <= COLS; ++c) {
                const cell = el('div', { class: 'cell', 'data-r': r, 'data-c': c });
                grid.appendChild(cell);
            }
        }
        // The size is picked with the mouse, or with the arrow keys and Enter.
        let size = null;
        function mark(r, c) {
            size = { r: r, c: c };
            for (const cell of grid.children)
                cell.classList.toggle('on', +cell.dataset.r <= r && +cell.dataset.c <= c);
            label.textContent = r + ' × ' + c;
        }
        function insert() {
            closePopover();
            editor().focus();
            Tavrik.markup.insertTable(size.c, size.r, null);
        }
        grid.setAttribute('tabindex', '0');
        grid.setAttribute('role', 'slider');
        grid.setAttribute('aria-label', 'Rows × columns');
        label.setAttribute('aria-live', 'polite');
        grid.addEventListener('mouseover', (event) => {
            const t = event.target;
            if (t.dataset.r)
                mark(+t.dataset.r, +t.dataset.c);
        });
        grid.addEventListener('mousedown', (event) => event.preventDefault());
        grid.addEventListener('click', (event) => {
            if (event.target.dataset.r)
                insert();
        });
        grid.addEventListener('focus', () => {
            if (!size)
                mark(1, 1);
        });
        grid.addEventListener('keydown', (event) => {
            const step = { ArrowDown: [1, 0], ArrowUp: [-1, 0], ArrowRight: [0, 1], ArrowLeft: [0, -1] }[event.key];
            if (step) {
                mark(Math.min(Math.max(size.r + step[0], 1), ROWS), Math.min(Math.max(size.c + step[1], 1), COLS));
            } else if ((event.key === 'Enter' || event.key === ' ') && size) {
                insert();
            } else {
                return;
            }
            event.preventDefault();
        });
        panel.append(label, grid);
        return panel;
    }

    function normaliseUrl(text) {
        const url = text.trim();
        if (!url)
            return '';
        if (/^(https?|ftp|mailto):/i.test(url))
            return url;
        if (/^[a-z][a-z0-9+.\-]*:/i.test(url))
            return null; // other schemes are not offered as links
        if (/^[^\s@]+@[^\s@]+\.[^\s@]+$/.test(url))
            return 'mailto:' + url;
        return 'https://' + url;
    }

    function openLinkEditor() {
        if (editor().isReadOnly())
            return;
        const anchor = root.querySelector('[data-id="link"]');
        const existing = editor().selectedLink();
        const panel = el('form', { class: 'link-editor' });
        const input = el('input', { type: 'text', placeholder: 'https://example.com', spellcheck: 'false',
                                    'aria-label': 'Link address' });
        input.value = existing ? existing.getAttribute('href') : '';
        const error = el('div', { class: 'link-error' });
        const apply = el('button', { type: 'submit', class: 'primary' }, 'Apply');
        const remove = el('button', { type: 'button', class: 'text-button' }, 'Remove link');
        remove.disabled = !existing;
        panel.append(input, apply, remove, error);
        panel.addEventListener('submit', (event) => {
            event.preventDefault();
            const url = normaliseUrl(input.value);
            if (url === null) {
                error.textContent = 'Only web and mail addresses can be linked.';
                return;
            }
            closePopover();
            if (!url) {
                editor().exec('unlink');
                return;
            }
            if (!existing && !editor().selectedText()) {
                editor().focus();
                editor().insertOutsideContent('<a href="' + url.replace(/"/g, '&quot;') + '">'
                                              + url.replace(/&/g, '&amp;').replace(/</g, '&lt;') + '</a>', '');
            } else {
                editor().exec('createLink', url);
            }
        });
        remove.addEventListener('click', () => {
            closePopover();
            editor().exec('unlink');
        });
        if (showPopover(anchor, panel))
            input.focus();
    }

    function captureHide() {
        try {
            return window.localStorage.getItem(CAPTURE_HIDE_KEY) !== 'false';
        } catch (e) {
            return true;
        }
    }

    function setCaptureHide(flag) {
        try {
            window.localStorage.setItem(CAPTURE_HIDE_KEY, flag ? 'true' : 'false');
        } catch (e) {
            // no storage: the choice lasts until the page reloads
        }
        captureHideFallback = flag;
    }
    let captureHideFallback = null;

    function capture() {
        const hide = captureHideFallback !== null ? captureHideFallback : captureHide();
        window.CppProcessor('SreenCapture', JSON.stringify({ hideMainWnd: hide }), '');
    }

    function capturePanel() {
        const panel = el('div', { class: 'capture-options' });
        const label = el('label', { class: 'check' });
        const box = el('input', { type: 'checkbox' });
        box.checked = captureHideFallback !== null ? captureHideFallback : captureHide();
        box.addEventListener('change', () => setCaptureHide(box.checked));
        label.append(box, document.createTextNode(' Hide this window while capturing'));
        const go = el('button', { type: 'button', class: 'primary' }, 'Capture now');
        go.addEventListener('click', () => { closePopover(); capture(); });
        panel.append(label, go);
        return panel;
    }

    // ---- keyboard ------------------------------------------------------------------------------

    // The toolbar is one Tab stop: the control last moved to (the first at the start) is
    // reached with Tab, the arrow keys Left and Right (round the ends), Home and End move
    // between the enabled controls, and Tab leaves the toolbar.
    const CONTROLS = 'button.tool, select.picker';

    function enabledControls() {
        return Array.from(root.querySelectorAll(CONTROLS)).filter((c) => !c.disabled);
    }

    function makeTabStop(control) {
        for (const c of root.querySelectorAll(CONTROLS))
            c.tabIndex = c === control ? 0 : -1;
    }

    // A disabled control cannot be the Tab stop: the first enabled one takes its place.
    function keepTabStop() {
        const stop = root.querySelector('[tabindex="0"]');
        if (!stop || stop.disabled)
            makeTabStop(enabledControls()[0] || null);
    }

    function onToolbarKey(event) {
        if (event.ctrlKey || event.altKey || event.metaKey || event.shiftKey)
            return;
        const controls = enabledControls();
        const at = controls.indexOf(document.activeElement);
        if (at < 0)
            return;
        const to = { ArrowLeft: (at + controls.length - 1) % controls.length,
                     ArrowRight: (at + 1) % controls.length,
                     Home: 0, End: controls.length - 1 }[event.key];
        if (to === undefined)
            return;
        event.preventDefault();
        makeTabStop(controls[to]);
        controls[to].focus();
    }

    function installKeyboard() {
        makeTabStop(enabledControls()[0] || null);
        root.addEventListener('keydown', onToolbarKey);
        root.addEventListener('focusin', (event) => {
            if (event.target.matches(CONTROLS))
                makeTabStop(event.target);
        });
        // A click between the controls leaves the keyboard focus where it was (in the note).
        root.addEventListener('mousedown', (event) => {
            if (!event.target.closest('button, select, input'))
                event.preventDefault();
        });
    }

    // ---- state ---------------------------------------------------------------------------------

    const STATE_BUTTONS = {
        bold: 'bold', italic: 'italic', underline: 'underline', strike: 'strikeThrough',
        bullets: 'insertUnorderedList', numbers: 'insertOrderedList', alignLeft: 'justifyLeft',
        alignCenter: 'justifyCenter', alignRight: 'justifyRight', alignJustify: 'justifyFull',
    };

    function updateSwatches() {
        root.querySelector('[data-id="color"] .swatch').setAttribute('fill', lastTextColor);
        root.querySelector('[data-id="highlight"] .swatch').setAttribute('fill', lastHighlight || '#ffffff');
    }

    // The toolbar's active states follow the selection. Asking the browser about the selection
    // lays the note out first, so after a change this waits until the current task is done
    // (a large note set from native code returns at once and is laid out afterwards).
    let selectionTimer = 0;
    function scheduleSelectionState() {
        if (!selectionTimer)
            selectionTimer = setTimeout(refreshSelectionState, 0);
    }

    function refreshSelectionState() {
        selectionTimer = 0;
        const readOnly = editor().isReadOnly();
        const inNote = !readOnly && editor().selectionInNote();
        for (const id in STATE_BUTTONS) {
            const b = root.querySelector('[data-id="' + id + '"]');
            const on = inNote && editor().queryState(STATE_BUTTONS[id]);
            b.classList.toggle('active', on);
            b.setAttribute('aria-pressed', on ? 'true' : 'false');
        }
        root.querySelector('[data-id="link"]').classList.toggle('active', inNote && !!editor().selectedLink());
        const checklist = inNote && Tavrik.checklist.inChecklist();
        root.querySelector('[data-id="checklist"]').classList.toggle('active', checklist);
        root.querySelector('[data-id="checklist"]').setAttribute('aria-pressed', checklist ? 'true' : 'false');
        Tavrik.codeBlock.refreshPicker(root.querySelector('[data-id="language"]'), inNote);
        if (inNote) {
            const block = String(editor().queryValue('formatBlock') || 'p').toLowerCase();
            root.querySelector('[data-id="block"]').value = BLOCKS.some((b) => b[0] === block) ? block : 'p';
            const size = String(editor().queryValue('fontSize') || '3');
            root.querySelector('[data-id="size"]').value = FONT_SIZES.some((s) => s[0] === size) ? size : '3';
        }
    }

    function refresh() {
        const readOnly = editor().isReadOnly();
        for (const control of root.querySelectorAll(CONTROLS))
            control.disabled = readOnly;
        keepTabStop();
        if (readOnly)
            closePopover();
        scheduleSelectionState();

        const status = document.getElementById('status-mode');
        status.innerHTML = readOnly ? icon('lock') + '<span>Read-only</span>' : icon('pen') + '<span>Editing</span>';
        const count = document.getElementById('status-count');
        const n = editor().charCount();
        const max = editor().maxChars();
        count.textContent = n + ' / ' + max;
        count.classList.toggle('over', n >= max);
        document.getElementById('status-message').textContent = refusalText(editor().refusal());
    }

    function refusalText(refusal) {
        if (!refusal)
            return '';
        if (refusal.typed)
            return 'Character limit reached: the typed text was not inserted';
        if (refusal.remotePictures)
            return refusal.remotePictures === 1 ? '1 picture from the web was left out of the paste'
                : refusal.remotePictures + ' pictures from the web were left out of the paste';
        return 'This paste is too long for the note: ' + refusal.excess
            + (refusal.excess === 1 ? ' character' : ' characters') + ' over the limit';
    }

    function build() {
        root = document.getElementById('toolbar');
        const run = (command, value) => () => editor().exec(command, value);
        const block = select('block', 'Paragraph style', BLOCKS, (value) => editor().exec('formatBlock', '<' + value + '>'));
        const size = select('size', 'Font size', FONT_SIZES, (value) => editor().exec('fontSize', value));
        size.value = '3';

        root.append(
            group(button('undo', 'undo', 'Undo (Ctrl+Z)', run('undo')),
                  button('redo', 'redo', 'Redo (Ctrl+Y)', run('redo'))),
            group(block, Tavrik.codeBlock.picker(), size),
            group(button('bold', 'bold', 'Bold (Ctrl+B)', run('bold')),
                  button('italic', 'italic', 'Italic (Ctrl+I)', run('italic')),
                  button('underline', 'underline', 'Underline (Ctrl+U)', run('underline')),
                  button('strike', 'strike', 'Strikethrough', run('strikeThrough')),
                  colorButton('color', 'color', 'Text colour', COLORS, 'Automatic', (color) => {
                      if (color)
                          lastTextColor = color;
                      if (color)
                          editor().exec('foreColor', color);
                      else
                          editor().clearTextColor();
                  }, () => lastTextColor),
                  colorButton('highlight', 'highlight', 'Highlight', HIGHLIGHTS, 'No highlight', (color) => {
                      lastHighlight = color;
                      editor().exec('hiliteColor', color || 'transparent');
                  }, () => lastHighlight)),
            group(button('bullets', 'bullets', 'Bulleted list (Ctrl+Shift+8)', run('insertUnorderedList')),
                  button('numbers', 'numbers', 'Numbered list (Ctrl+Shift+7)', run('insertOrderedList')),
                  button('checklist', 'checklist', 'Checklist (Ctrl+Shift+9)', () => {
                      editor().focus();
                      Tavrik.checklist.toggleList(false);
                  }),
                  button('outdent', 'outdent', 'Decrease indent', run('outdent')),
                  button('indent', 'indent', 'Increase indent', run('indent'))),
            group(button('alignLeft', 'alignLeft', 'Align left', run('justifyLeft')),
                  button('alignCenter', 'alignCenter', 'Centre', run('justifyCenter')),
                  button('alignRight', 'alignRight', 'Align right', run('justifyRight')),
                  button('alignJustify', 'alignJustify', 'Justify', run('justifyFull'))),
            group(popupButton(button('link', 'link', 'Link (Ctrl+K)', openLinkEditor)),
                  button('rule', 'rule', 'Horizontal line', run('insertHorizontalRule')),
                  popupButton(button('table', 'table', 'Table', (b) => showPopover(b, tablePanel())))),
            group(button('attach', 'attach', 'Attach files', () => window.CppProcessor('AddAttachment', '{}', '')),
                  (function () {
                      const split = el('div', { class: 'split' });
                      const main = button('capture', 'capture', 'Screen capture', capture);
                      const more = popupButton(button('capture-more', 'chevron', 'Screen capture options',
                                                      (b) => showPopover(split, capturePanel(), b)));
                      more.classList.add('more');
                      split.append(main, more);
                      return split;
                  })()));
        updateSwatches();
        installKeyboard();

        document.addEventListener('mousedown', (event) => {
            if (openPopover && !openPopover.panel.contains(event.target) && !openPopover.anchor.contains(event.target))
                closePopover();
        });
        // Escape closes a pop-up, back to the control that opened it; in the toolbar it goes
        // back to the text.
        document.addEventListener('keydown', (event) => {
            if (event.key !== 'Escape')
                return;
            if (openPopover) {
                closePopover(openPopover.panel.contains(document.activeElement)
                             || openPopover.opener === document.activeElement);
            } else if (root.contains(document.activeElement)) {
                editor().focus();
            } else {
                return;
            }
            event.preventDefault();
        });
        // Nothing dropped on the page's own chrome may navigate it.
        document.addEventListener('dragover', (event) => event.preventDefault());
        document.addEventListener('drop', (event) => event.preventDefault());
        window.addEventListener('resize', closePopover);
        // Another note (a new editing frame) closes what was opened for the one before.
        new MutationObserver(() => closePopover()).observe(document.getElementById('editor-host'),
                                                           { childList: true });

        editor().onChange(refresh);
        refresh();
    }

    Tavrik.toolbar = {
        build: build,
        closePopover: closePopover,
        openLinkEditor: openLinkEditor,
        captureHidesWindow() {
            return captureHideFallback !== null ? captureHideFallback : captureHide();
        },
    };
})();
