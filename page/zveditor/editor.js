// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The editing surface: an inline frame of class "ke-edit-iframe" whose body is the note.
// This file owns that frame (creating it, filling it, reading it back), the character limit,
// read-only mode, paste and drop, and the events that go to native code (opening an attachment
// or a link, the attachment menu, page errors).
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});

    const FRAME_POLICY = "default-src 'none'; script-src 'none'; object-src 'none'; base-uri 'none'; "
        + "form-action 'none'; style-src 'unsafe-inline'; img-src file: data: blob:; font-src file: data:";
    // The note's style sheet comes with the page, so a new frame needs no request.
    const FRAME_SKELETON = '<!DOCTYPE html><html><head><meta charset="utf-8">'
        + '<meta http-equiv="Content-Security-Policy" content="' + FRAME_POLICY + '">'
        + document.getElementById('note-style').innerHTML + '</head><body></body></html>';

    const state = {
        frame: null,
        doc: null,
        readOnly: false,
        spellCheck: false,
        theme: 'light',
        maxChars: 10000,
        count: 0,
        limitHit: false, // an insertion was cut short a moment ago
        changedSinceMount: false,
        unremembered: null, // a sanitised text not yet checked for remembering
        savedRange: null,
        menuAttachment: null, // the attachment the native menu was last asked for
        internalDrag: false,
        listeners: [],
    };

    const SURROGATE_PAIR = /[\ud800-\udbff][\udc00-\udfff]/g;

    // Code points of a text (a character outside the basic plane counts once).
    function codePoints(text) {
        const pairs = text.match(SURROGATE_PAIR);
        return text.length - (pairs ? pairs.length : 0);
    }

    function firstCodePoints(text, count) {
        if (count <= 0)
            return '';
        return Array.from(text).slice(0, count).join('');
    }

    function body() {
        return state.doc.body;
    }

    function notify() {
        for (const listener of state.listeners) {
            try {
                listener();
            } catch (e) {
                reportError('error', 'state listener: ' + e.message);
            }
        }
    }

    function reportError(type, message) {
        try {
            window.CppProcessor('WriteEditorLog', JSON.stringify({ type: type, msg: String(message) }), '');
        } catch (e) {
            // nothing left to tell
        }
    }

    // A note without text, pictures, tables, rules or list items is empty, whatever line
    // breaks the browser left behind.
    function isBlank(text) {
        const b = body();
        return !/\S/.test(text === undefined ? b.textContent : text) && !b.querySelector('img,table,hr,li');
    }

    // The note's length in characters, counted when first needed after new content.
    function count() {
        if (state.count === null) {
            const text = body().textContent;
            state.count = codePoints(text);
            state.doc.documentElement.classList.toggle('blank', isBlank(text));
        }
        return state.count;
    }

    function updateCount() {
        state.changedSinceMount = true;
        state.count = null;
        count();
        notify();
    }

    function selection() {
        return state.doc.getSelection();
    }

    function rangeInBody(range) {
        return range && body().contains(range.commonAncestorContainer);
    }

    function saveSelection() {
        const sel = selection();
        if (sel && sel.rangeCount && rangeInBody(sel.getRangeAt(0)))
            state.savedRange = sel.getRangeAt(0).cloneRange();
    }

    // The range that insertions from native code go to: the live selection in the note, else the
    // last one the user had, else the end of the note.
    function insertionRange() {
        const sel = selection();
        if (sel && sel.rangeCount && rangeInBody(sel.getRangeAt(0)))
            return sel.getRangeAt(0);
        if (state.savedRange && rangeInBody(state.savedRange))
            return state.savedRange.cloneRange();
        const range = state.doc.createRange();
        range.selectNodeContents(body());
        range.collapse(false);
        return range;
    }

    function placeCaretAfter(node) {
        const range = state.doc.createRange();
        range.setStartAfter(node);
        range.collapse(true);
        const sel = selection();
        sel.removeAllRanges();
        sel.addRange(range);
        state.savedRange = range.cloneRange();
    }

    // ---- character limit -------------------------------------------------------------------

    function selectedChars() {
        const sel = selection();
        if (!sel || !sel.rangeCount || !rangeInBody(sel.getRangeAt(0)))
            return 0;
        return codePoints(sel.getRangeAt(0).toString());
    }

    // How many characters may still be inserted in place of the current selection.
    function roomLeft() {
        return state.maxChars - (count() - selectedChars());
    }

    let flashTimer = 0;
    function flashLimit() {
        state.limitHit = true;
        notify();
        clearTimeout(flashTimer);
        flashTimer = setTimeout(function () {
            state.limitHit = false;
            notify();
        }, 2500);
    }

    // Cuts the text of a fragment after `room` characters; everything after the cut is dropped.
    function truncateFragment(fragment, room) {
        const walker = state.doc.createTreeWalker(fragment, NodeFilter.SHOW_TEXT);
        const drop = [];
        let left = room;
        for (let node = walker.nextNode(); node; node = walker.nextNode()) {
            if (left <= 0) {
                drop.push(node);
                continue;
            }
            const n = codePoints(node.data);
            if (n > left)
                node.data = firstCodePoints(node.data, left);
            left -= Math.min(n, left);
        }
        for (const node of drop)
            node.remove();
    }

    function fragmentChars(fragment) {
        return codePoints(fragment.textContent);
    }

    // Typing and other text insertions: refuse what passes the limit, keeping the part that fits.
    function onBeforeInput(event) {
        if (state.readOnly) {
            event.preventDefault();
            return;
        }
        const type = event.inputType || '';
        if (type === 'historyUndo' || type === 'historyRedo' || !type.startsWith('insert'))
            return;
        if (type === 'insertFromPaste' || type === 'insertFromDrop' || type === 'insertCompositionText')
            return; // paste and drop are handled by their own events, composition after it ends
        let text = event.data;
        if ((text === null || text === undefined) && event.dataTransfer)
            text = event.dataTransfer.getData('text/plain');
        if (!text)
            return;
        const room = roomLeft();
        const length = codePoints(text);
        if (length <= room)
            return;
        event.preventDefault();
        if (room > 0)
            state.doc.execCommand('insertText', false, firstCodePoints(text, room));
        flashLimit();
    }

    // Text that arrived without a cancellable event (an input method, a browser command): take
    // back what passed the limit, right before the caret.
    function enforceAfterInput(previous) {
        const allowed = Math.max(state.maxChars, previous);
        const excess = count() - allowed;
        const sel = selection();
        if (excess <= 0 || !sel || !sel.rangeCount || !sel.isCollapsed)
            return;
        for (let i = 0; i < excess; ++i)
            sel.modify('extend', 'backward', 'character');
        state.doc.execCommand('delete', false);
        updateCount();
        flashLimit();
    }

    function onInput(event) {
        const previous = count();
        updateCount();
        if (!event.isComposing)
            enforceAfterInput(previous);
    }

    // ---- paste and drop ---------------------------------------------------------------------

    // Inserts outside content (HTML or plain text) at the selection, sanitised and cut to the
    // room the limit leaves.
    function insertOutsideContent(html, text) {
        if (state.readOnly)
            return;
        const room = roomLeft();
        if (html) {
            const fragment = Tavrik.sanitize.fragment(html, state.doc);
            const length = fragmentChars(fragment);
            if (length > room) {
                truncateFragment(fragment, Math.max(room, 0));
                flashLimit();
            }
            if (!fragment.firstChild)
                return;
            const holder = state.doc.createElement('div');
            holder.appendChild(fragment);
            state.doc.execCommand('insertHTML', false, holder.innerHTML);
        } else if (text) {
            const length = codePoints(text);
            if (length > room)
                flashLimit();
            const fitting = length > room ? firstCodePoints(text, room) : text;
            if (fitting)
                state.doc.execCommand('insertText', false, fitting);
        }
        updateCount();
    }

    // Scrolls the note so that what lies just before the caret (the last character or element
    // inserted) is in view.
    function revealBeforeCaret() {
        const sel = selection();
        if (!sel || !sel.rangeCount)
            return;
        const node = sel.focusNode;
        const offset = sel.focusOffset;
        let rect = null;
        if (node.nodeType === Node.TEXT_NODE && offset > 0) {
            const range = state.doc.createRange();
            range.setStart(node, offset - 1);
            range.setEnd(node, offset);
            rect = range.getBoundingClientRect();
        } else if (node.nodeType === Node.ELEMENT_NODE && offset > 0) {
            const before = node.childNodes[offset - 1];
            if (before.nodeType === Node.ELEMENT_NODE)
                rect = before.getBoundingClientRect();
        }
        if (!rect)
            return;
        const view = state.frame.contentWindow;
        if (rect.bottom > view.innerHeight)
            view.scrollBy(0, rect.bottom - view.innerHeight);
        else if (rect.top < 0)
            view.scrollBy(0, rect.top);
    }

    function onPaste(event) {
        event.preventDefault();
        const data = event.clipboardData;
        if (!data || state.readOnly)
            return;
        insertOutsideContent(data.getData('text/html'), data.getData('text/plain'));
    }

    function onDrop(event) {
        if (state.internalDrag)
            return; // moving text inside the note: the browser does it
        event.preventDefault();
        const data = event.dataTransfer;
        if (!data || state.readOnly)
            return;
        const html = data.getData('text/html');
        const text = data.getData('text/plain');
        if (!html && !text)
            return; // files are taken by the native side, never opened by the page
        const range = state.doc.caretRangeFromPoint(event.clientX, event.clientY);
        if (range && rangeInBody(range)) {
            const sel = selection();
            sel.removeAllRanges();
            sel.addRange(range);
        }
        insertOutsideContent(html, text);
    }

    // ---- attachments and links ----------------------------------------------------------------

    function attachmentOf(target) {
        return target && target.closest ? target.closest('img[zv_exdata]') : null;
    }

    function onDoubleClick(event) {
        const attachment = attachmentOf(event.target);
        if (!attachment)
            return;
        event.preventDefault();
        window.CppProcessor('DbClickAttachment',
                            JSON.stringify({ path: attachment.getAttribute('class') || '' }),
                            attachment.getAttribute('zv_exdata') || '');
    }

    function htmlOfRange(range) {
        const holder = state.doc.createElement('div');
        holder.appendChild(range.cloneContents());
        return holder.innerHTML;
    }

    function onContextMenu(event) {
        const attachment = attachmentOf(event.target);
        if (!attachment)
            return;
        event.preventDefault();
        const sel = selection();
        let range = sel.rangeCount ? sel.getRangeAt(0) : null;
        if (!range || !rangeInBody(range) || !range.intersectsNode(attachment)) {
            range = state.doc.createRange();
            range.selectNode(attachment);
            sel.removeAllRanges();
            sel.addRange(range);
        }
        state.menuAttachment = attachment;
        window.CppProcessor('OnRightClickAttach', JSON.stringify({
            current_attach: {
                class_value: attachment.getAttribute('class') || '',
                exdata_value: attachment.getAttribute('zv_exdata') || '',
            },
            range_html: htmlOfRange(range),
        }), '');
    }

    function selectNode(node) {
        const range = state.doc.createRange();
        range.selectNode(node);
        const sel = selection();
        sel.removeAllRanges();
        sel.addRange(range);
        state.savedRange = range.cloneRange();
    }

    // A link never navigates the editor. It opens through native code: with a click in
    // read-only mode, with Ctrl+click (or Cmd+click) while editing.
    function onClick(event) {
        const attachment = attachmentOf(event.target);
        if (attachment && !state.readOnly) {
            selectNode(attachment);
            return;
        }
        const link = event.target && event.target.closest ? event.target.closest('a[href]') : null;
        if (!link)
            return;
        event.preventDefault();
        if (event.button !== 0 || !(state.readOnly || event.ctrlKey || event.metaKey))
            return;
        window.CppProcessor('OpenHyperLink', JSON.stringify({ url: link.getAttribute('href').trim() }), '');
    }

    function preventNavigation(event) {
        const link = event.target && event.target.closest ? event.target.closest('a[href]') : null;
        if (link)
            event.preventDefault();
    }

    function enclosing(selector) {
        const sel = selection();
        if (!sel || !sel.rangeCount)
            return null;
        let node = sel.getRangeAt(0).startContainer;
        if (node.nodeType !== Node.ELEMENT_NODE)
            node = node.parentNode;
        const found = node && node.closest ? node.closest(selector) : null;
        return found && body().contains(found) ? found : null;
    }

    function selectContents(node) {
        const range = state.doc.createRange();
        range.selectNodeContents(node);
        selection().removeAllRanges();
        selection().addRange(range);
    }

    // Tab in the last cell adds a row shaped like the last one, as word processors do.
    function addRowAfter(row) {
        const added = row.cloneNode(false);
        for (const cell of row.cells) {
            const copy = cell.cloneNode(false);
            copy.appendChild(state.doc.createElement('br'));
            added.appendChild(copy);
        }
        row.after(added);
        return added.cells[0];
    }

    // Ctrl+K edits the link. Tab never leaves the note while editing: it moves between table
    // cells (adding a row after the last), indents list items, and inserts a tab elsewhere.
    // Shift+Tab goes back a cell or outdents a list item; elsewhere it moves the keyboard
    // focus back to the toolbar, the way out for keyboard users.
    // Ctrl+Shift+7 and Ctrl+Shift+8 make numbered and bulleted lists; the browser itself
    // has the other usual keys (Ctrl+B, I, U, Z, Y).
    const LIST_KEYS = { Digit7: 'insertOrderedList', Digit8: 'insertUnorderedList' };

    function onKeyDown(event) {
        if ((event.ctrlKey || event.metaKey) && !event.altKey && event.key.toLowerCase() === 'k') {
            event.preventDefault();
            if (Tavrik.toolbar)
                Tavrik.toolbar.openLinkEditor();
            return;
        }
        if (event.ctrlKey && event.shiftKey && !event.altKey && LIST_KEYS[event.code]) {
            event.preventDefault();
            Tavrik.editor.exec(LIST_KEYS[event.code]);
            return;
        }
        if (event.key !== 'Tab' || event.ctrlKey || event.altKey || event.metaKey || state.readOnly)
            return;
        const cell = enclosing('td,th');
        const item = !cell && enclosing('li');
        if (event.shiftKey && !cell && !item)
            return;
        event.preventDefault();
        if (cell) {
            const cells = Array.from(cell.closest('table').querySelectorAll('td,th'));
            let next = cells[cells.indexOf(cell) + (event.shiftKey ? -1 : 1)];
            if (!next && !event.shiftKey) {
                next = addRowAfter(cell.parentNode);
                updateCount();
            }
            if (next)
                selectContents(next);
        } else if (item) {
            state.doc.execCommand(event.shiftKey ? 'outdent' : 'indent', false);
            updateCount();
        } else {
            state.doc.execCommand('insertText', false, '\t');
        }
    }

    function installErrorReporting(win) {
        win.addEventListener('error', function (event) {
            if (!event.message)
                return; // a resource that failed to load (a missing picture), not a script error
            const where = event.filename ? ' (' + event.filename + ':' + event.lineno + ':' + event.colno + ')' : '';
            reportError('error', event.message + where);
        });
        win.addEventListener('unhandledrejection', function (event) {
            const reason = event.reason;
            reportError('unhandledrejection',
                        reason && reason.message ? reason.message : String(reason));
        });
    }

    const BLOCK_IN_PARAGRAPH = 'p > ul, p > ol, p > table, p > div, p > blockquote, p > pre, p > hr, '
        + 'p > h1, p > h2, p > h3, p > h4, p > h5, p > h6, p > p';

    // List and block commands of the browser can leave a block inside a paragraph, which the
    // next load of the note would break apart differently. Such a paragraph is split around it.
    function liftBlocksOutOfParagraphs() {
        const b = body();
        if (!b.querySelector(BLOCK_IN_PARAGRAPH))
            return;
        const sel = selection();
        const kept = sel.rangeCount ? sel.getRangeAt(0).cloneRange() : null;
        const ends = kept && [kept.startContainer, kept.startOffset, kept.endContainer, kept.endOffset];
        for (let inner = b.querySelector(BLOCK_IN_PARAGRAPH); inner; inner = b.querySelector(BLOCK_IN_PARAGRAPH)) {
            const paragraph = inner.parentNode;
            const parent = paragraph.parentNode;
            let run = null;
            for (const child of Array.from(paragraph.childNodes)) {
                if (child.nodeType === Node.ELEMENT_NODE && child.matches(BLOCK_IN_PARAGRAPH.replace(/p > /g, ''))) {
                    run = null;
                    parent.insertBefore(child, paragraph);
                } else if (child.nodeType !== Node.TEXT_NODE || child.data.trim() !== '' || run) {
                    if (!run) {
                        run = paragraph.cloneNode(false);
                        parent.insertBefore(run, paragraph);
                    }
                    run.appendChild(child);
                }
            }
            paragraph.remove();
        }
        // Moving nodes collapses the selection around them; the nodes themselves are unchanged.
        if (ends && b.contains(ends[0]) && b.contains(ends[2])) {
            const range = state.doc.createRange();
            range.setStart(ends[0], ends[1]);
            range.setEnd(ends[2], ends[3]);
            sel.removeAllRanges();
            sel.addRange(range);
        }
    }

    // ---- the frame ----------------------------------------------------------------------------

    function wireDocument(doc) {
        doc.addEventListener('beforeinput', onBeforeInput);
        doc.addEventListener('input', onInput);
        doc.addEventListener('compositionend', function () {
            const previous = count();
            updateCount();
            enforceAfterInput(previous);
        });
        doc.addEventListener('paste', onPaste);
        doc.addEventListener('dragstart', function () { state.internalDrag = true; });
        doc.addEventListener('dragend', function () { state.internalDrag = false; });
        doc.addEventListener('dragover', function (event) {
            if (state.readOnly)
                event.preventDefault();
        });
        doc.addEventListener('drop', onDrop);
        doc.addEventListener('mousedown', function () {
            if (Tavrik.toolbar)
                Tavrik.toolbar.closePopover();
        });
        doc.addEventListener('dblclick', onDoubleClick);
        doc.addEventListener('contextmenu', onContextMenu);
        doc.addEventListener('click', onClick);
        doc.addEventListener('auxclick', preventNavigation);
        doc.addEventListener('submit', function (event) { event.preventDefault(); });
        doc.addEventListener('selectionchange', function () {
            saveSelection();
            notify();
        });
        doc.addEventListener('keydown', onKeyDown);
    }

    // Builds a fresh editing frame; `fill(body)` puts the clean content in. A new frame also
    // starts a new undo history.
    function mount(fill) {
        const host = document.getElementById('editor-host');
        const frame = document.createElement('iframe');
        frame.className = 'ke-edit-iframe';
        frame.title = 'Note';
        if (state.frame)
            host.replaceChild(frame, state.frame);
        else
            host.appendChild(frame);
        state.frame = frame;
        const doc = frame.contentDocument;
        doc.open();
        doc.write(FRAME_SKELETON);
        doc.close();
        try {
            delete frame.contentWindow.qt;
        } catch (e) {
            frame.contentWindow.qt = undefined;
        }
        state.doc = doc;
        state.savedRange = null;
        state.internalDrag = false;
        state.changedSinceMount = false;
        state.unremembered = null;
        doc.execCommand('defaultParagraphSeparator', false, 'p');
        doc.body.setAttribute('role', 'textbox');
        doc.body.setAttribute('aria-multiline', 'true');
        applyTheme();
        // Editable before it is filled: making a large body editable afterwards costs far more.
        applyReadOnly();
        fill(doc.body);
        wireDocument(doc);
        installErrorReporting(frame.contentWindow);
        // Opening a large note does not wait for its count: the status follows a moment later.
        state.count = null;
        setTimeout(notify, 0);
    }

    // Spell checking and read-only mode are attributes of the frame's body, never of the note
    // inside it, so the saved markup is the same whatever they are.
    function applyReadOnly() {
        const b = body();
        b.contentEditable = state.readOnly ? 'false' : 'true';
        b.spellcheck = state.spellCheck && !state.readOnly;
        b.setAttribute('aria-readonly', state.readOnly ? 'true' : 'false');
        state.doc.documentElement.classList.toggle('readonly', state.readOnly);
        document.documentElement.classList.toggle('readonly', state.readOnly);
    }

    // The theme is a class of both documents' root elements; the note's own colours stay.
    function applyTheme() {
        const dark = state.theme === 'dark';
        state.doc.documentElement.classList.toggle('dark', dark);
        document.documentElement.classList.toggle('dark', dark);
    }

    // Remembers the text last put in as clean when the frame still shows its clean DOM
    // unchanged and that serialises back to the text.
    function rememberShown() {
        const text = state.unremembered;
        state.unremembered = null;
        if (text !== null && !state.changedSinceMount) {
            Tavrik.sanitize.rememberIfSame(text, function () {
                return body().innerHTML;
            });
        }
    }

    function currentHtml() {
        return body().innerHTML;
    }

    // ---- public --------------------------------------------------------------------------------

    Tavrik.editor = {
        init() {
            mount(function () {});
            installErrorReporting(window);
        },
        onChange(listener) {
            state.listeners.push(listener);
        },
        document() {
            return state.doc;
        },
        frame() {
            return state.frame;
        },
        menuAttachment() {
            return state.menuAttachment && body().contains(state.menuAttachment) ? state.menuAttachment : null;
        },
        focus() {
            state.frame.contentWindow.focus();
            body().focus();
            if (state.savedRange && rangeInBody(state.savedRange)) {
                const sel = selection();
                sel.removeAllRanges();
                sel.addRange(state.savedRange);
            }
        },

        // A text seen clean before is parsed once, by the frame. Any other text is sanitised
        // into a fragment that goes into the frame as it is, without a second parse of its
        // markup; it is remembered when the clean DOM serialises back to the text, which is
        // checked once the page is idle, or at the latest when the next content comes.
        setContent(html) {
            const text = html === null || html === undefined ? '' : String(html);
            rememberShown();
            if (Tavrik.sanitize.isKnownClean(text)) {
                mount(function (b) {
                    b.innerHTML = text;
                });
                return;
            }
            const clean = Tavrik.sanitize.fragment(text);
            mount(function (b) {
                b.appendChild(b.ownerDocument.adoptNode(clean));
            });
            state.unremembered = text;
            requestIdleCallback(rememberShown);
        },
        content() {
            if (isBlank())
                return { html: '', text: '' };
            return { html: currentHtml(), text: body().innerText };
        },
        clearCache() {
            if (!state.changedSinceMount) {
                state.savedRange = null;
                return; // the frame is fresh from the content just set: nothing to forget
            }
            const range = state.doc.createRange();
            range.selectNodeContents(body());
            const content = range.extractContents();
            mount(function (b) {
                b.appendChild(b.ownerDocument.adoptNode(content));
            });
        },

        isReadOnly() {
            return state.readOnly;
        },
        setReadOnly(flag) {
            state.readOnly = !!flag;
            applyReadOnly();
            notify();
        },

        spellCheck() {
            return state.spellCheck;
        },
        setSpellCheck(flag) {
            state.spellCheck = !!flag;
            applyReadOnly();
        },
        theme() {
            return state.theme;
        },
        setTheme(theme) {
            state.theme = theme === 'dark' ? 'dark' : 'light';
            applyTheme();
            notify();
        },

        maxChars() {
            return state.maxChars;
        },
        setMaxChars(size) {
            state.maxChars = size;
            notify();
        },
        charCount() {
            return count();
        },
        limitHit() {
            return !!state.limitHit;
        },

        // Runs an editing command of the browser on the note.
        exec(command, value) {
            if (state.readOnly)
                return false;
            this.focus();
            // Colours and sizes as inline styles; bold, italic and the rest stay plain tags.
            const styled = command === 'foreColor' || command === 'fontSize';
            if (styled)
                state.doc.execCommand('styleWithCSS', false, true);
            const done = state.doc.execCommand(command, false, value);
            if (styled)
                state.doc.execCommand('styleWithCSS', false, false);
            liftBlocksOutOfParagraphs();
            updateCount();
            return done;
        },
        // Takes the colour off the selected text, so it follows the theme again: the browser
        // colours it with a marker colour, which then comes off with any span left bare.
        clearTextColor() {
            const MARKER = 'rgb(1, 2, 3)';
            if (!this.exec('foreColor', MARKER))
                return false;
            for (const node of body().querySelectorAll('[style]')) {
                if (node.style.color !== MARKER)
                    continue;
                node.style.removeProperty('color');
                if (!node.style.length)
                    node.removeAttribute('style');
                if (node.tagName === 'SPAN' && !node.attributes.length)
                    node.replaceWith(...node.childNodes);
            }
            updateCount();
            return true;
        },
        queryState(command) {
            try {
                return state.doc.queryCommandState(command);
            } catch (e) {
                return false;
            }
        },
        queryValue(command) {
            try {
                return state.doc.queryCommandValue(command);
            } catch (e) {
                return '';
            }
        },
        selectionInNote() {
            const sel = selection();
            return !!(sel && sel.rangeCount && rangeInBody(sel.getRangeAt(0)));
        },
        selectedLink() {
            const sel = selection();
            if (!sel || !sel.rangeCount || !rangeInBody(sel.getRangeAt(0)))
                return null;
            let node = sel.anchorNode;
            if (node && node.nodeType !== Node.ELEMENT_NODE)
                node = node.parentNode;
            return node && node.closest ? node.closest('a[href]') : null;
        },
        selectedText() {
            const sel = selection();
            return sel && sel.rangeCount && rangeInBody(sel.getRangeAt(0)) ? sel.toString() : '';
        },

        // Inserts outside HTML at the note's caret, as a paste does, the note focused and what
        // ends at the caret scrolled into view.
        pasteHtml(html) {
            this.focus();
            insertOutsideContent(html, '');
            revealBeforeCaret();
        },

        // For the markup helpers: where an insertion goes, and telling the editor about it.
        insertionRange: insertionRange,
        placeCaretAfter: placeCaretAfter,
        selectNode: selectNode,
        contentChanged: updateCount,
        insertOutsideContent: insertOutsideContent,
        reportError: reportError,
        codePoints: codePoints,
    };
})();
