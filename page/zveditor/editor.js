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
        count: 0, // the note's characters, or the most it can hold since it was counted; null: unknown
        counted: true, // `count` is exact
        shownCount: 0, // the count the status bar shows
        added: undefined, // the most characters the input under way can add (undefined: unknown)
        addsExactly: false, // the input under way adds `added` characters and removes none
        ownCommand: false, // a command of this page is running; it accounts for its own input
        refusal: null, // why an insertion was refused a moment ago
        changedSinceMount: false,
        changeReported: false, // native code knows of a change it has not read yet
        savedRange: null,
        menuAttachment: null, // the attachment the native menu was last asked for
        internalDrag: false,
        listeners: [],
        observer: null, // the attachment watcher of the frame
        heldBack: null, // the part of a large note after its first screen, until that is shown
        narrowed: false, // typing edits only the top-level block at the caret (see below)
        frameListeners: [], // told of each new editing frame's document
    };

    const SURROGATE_PAIR = /[\ud800-\udbff][\udc00-\udfff]/g;

    // Code points of a text (a character outside the basic plane counts once).
    function codePoints(text) {
        const pairs = text.match(SURROGATE_PAIR);
        return text.length - (pairs ? pairs.length : 0);
    }

    // The note's body, always whole: a rest held back is put in first.
    function body() {
        if (state.heldBack)
            putHeldBackIn();
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

    // Native code saves the note a while after it changes: it hears of a change once until it
    // next reads the content, and each time attachments came or went, which it saves at once.
    function reportChange(attachments) {
        if (state.readOnly || (state.changeReported && !attachments))
            return;
        state.changeReported = true;
        window.CppProcessor('ContentChanged', attachments ? '{"attachments":true}' : '{}', '');
    }

    const ATTACHMENT = 'img[zv_exdata]';

    function holdsAttachment(node) {
        return node.nodeType === Node.ELEMENT_NODE && (node.matches(ATTACHMENT) || !!node.querySelector(ATTACHMENT));
    }

    // Attachments come and go by typing, undo, paste, drop and native calls alike; the observer
    // looks only at the nodes added or removed, never at the whole note.
    function watchAttachments(doc) {
        const observer = new MutationObserver(function (records) {
            for (const record of records) {
                for (const list of [record.addedNodes, record.removedNodes]) {
                    for (const node of list) {
                        if (holdsAttachment(node)) {
                            reportChange(true);
                            return;
                        }
                    }
                }
            }
        });
        observer.observe(doc.body, { childList: true, subtree: true });
        state.observer = observer;
    }

    // ---- a large note's first screen ----------------------------------------------------------
    //
    // A large note is parsed whole, but what follows its first screen is held apart until the
    // frame that shows that screen is done, so that frame lays out only the beginning. Whatever
    // looks at the note (native calls, the user's input, the count) goes through body(), which
    // puts the rest back first: nothing sees the note cut, and the undo history, the count and
    // the saved markup are those of the whole note.

    const HOLD_BACK_FROM_LENGTH = 128 * 1024;
    const FIRST_SCREEN_CHARS = 4000;
    const FIRST_SCREEN_NODES = 60;

    function holdBackRest(b) {
        let node = b.firstChild;
        for (let kept = 0, chars = 0; node && kept < FIRST_SCREEN_NODES && chars < FIRST_SCREEN_CHARS; ++kept) {
            chars += node.textContent.length;
            node = node.nextSibling;
        }
        if (!node)
            return;
        const range = b.ownerDocument.createRange();
        range.setStartBefore(node);
        range.setEndAfter(b.lastChild);
        state.heldBack = range.extractContents();
        const doc = b.ownerDocument;
        requestAnimationFrame(function () {
            setTimeout(function () {
                if (state.doc === doc)
                    body();
            });
        });
    }

    // Not a change of the note: the attachment watcher forgets it, and the count starts now.
    function putHeldBackIn() {
        const rest = state.heldBack;
        state.heldBack = null;
        state.doc.body.appendChild(rest);
        if (state.observer)
            state.observer.takeRecords();
        setTimeout(recount, 0);
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

    // ---- character count and limit -----------------------------------------------------------
    //
    // Counting walks the whole note. Typed text that replaces nothing adds its own length to
    // the count, which stays exact. After any other change a short note is counted once; a long
    // one when changes pause and the page is idle, keeping meanwhile the most it can hold (the
    // last count plus what was inserted since), which decides the limit without a count unless
    // an insertion comes near it.

    const COUNT_EVERY_CHANGE_BELOW = 50000;
    const RECOUNT_PAUSE_MS = 300;
    // In a long note the status and toolbar follow typing and caret moves once the page is
    // idle after the key's frame, and at the latest this long after.
    const NOTIFY_LATEST_MS = 250;

    function countNow() {
        const text = body().textContent;
        state.count = codePoints(text);
        state.counted = true;
        state.shownCount = state.count;
        state.doc.documentElement.classList.toggle('blank', isBlank(text));
        return state.count;
    }

    // The note's length in characters.
    function exactCount() {
        return state.counted ? state.count : countNow();
    }

    function shortNote() {
        return state.shownCount < COUNT_EVERY_CHANGE_BELOW;
    }

    let notifyQueued = false;

    function notifySoon() {
        if (shortNote()) {
            notify();
            return;
        }
        if (notifyQueued)
            return;
        notifyQueued = true;
        requestIdleCallback(function () {
            notifyQueued = false;
            notify();
        }, { timeout: NOTIFY_LATEST_MS });
    }

    let recountTimer = 0;
    let recountIdle = 0;
    let recountQueued = false;

    function cancelRecount() {
        clearTimeout(recountTimer);
        cancelIdleCallback(recountIdle);
    }

    function recount() {
        recountQueued = false;
        cancelRecount();
        exactCount();
        notify();
    }

    // The note changed, growing by at most `added` characters (undefined: not known), or by
    // exactly that many when `exactly` is true.
    function contentChanged(added, exactly) {
        reportChange(false);
        state.changedSinceMount = true;
        if (exactly && state.counted) {
            state.count += added;
            state.shownCount = state.count;
            if (added > 0)
                state.doc.documentElement.classList.remove('blank');
            notifySoon();
            return;
        }
        state.counted = false;
        state.count = state.count === null || typeof added !== 'number' ? null : state.count + added;
        if (!shortNote()) {
            cancelRecount();
            recountTimer = setTimeout(function () {
                recountIdle = requestIdleCallback(recount);
            }, RECOUNT_PAUSE_MS);
        } else if (!recountQueued) {
            recountQueued = true;
            queueMicrotask(recount);
        }
    }

    // Runs an editing command of the browser that adds at most `added` characters (undefined:
    // not known); the input event it fires is accounted for here.
    function runCommand(command, value, added) {
        state.ownCommand = true;
        try {
            return state.doc.execCommand(command, false, value);
        } finally {
            state.ownCommand = false;
            contentChanged(added);
        }
    }

    function selectedChars() {
        const sel = selection();
        if (!sel || !sel.rangeCount || !rangeInBody(sel.getRangeAt(0)))
            return 0;
        return codePoints(sel.getRangeAt(0).toString());
    }

    // How many characters past the limit `length` more would take the note, put in place of
    // the selection; 0 when they fit.
    function excessOf(length) {
        if (state.count !== null && state.count + length <= state.maxChars)
            return 0;
        return Math.max(0, exactCount() - selectedChars() + length - state.maxChars);
    }

    let refusalTimer = 0;
    function showRefusal(refusal) {
        state.refusal = refusal;
        notify();
        clearTimeout(refusalTimer);
        refusalTimer = setTimeout(function () {
            state.refusal = null;
            notify();
        }, 2500);
    }

    // Typing and other text input: refused as a whole when it would pass the limit. Paste and
    // drop have their own handlers; a composition cannot be refused while it runs and is
    // checked when it ends; undo, redo and the rest are counted afterwards.
    function onBeforeInput(event) {
        state.added = undefined;
        state.addsExactly = false;
        if (state.readOnly) {
            event.preventDefault();
            return;
        }
        const type = event.inputType || '';
        if ((type === 'historyUndo' && Tavrik.edits.undo()) || (type === 'historyRedo' && Tavrik.edits.redo())) {
            event.preventDefault();
            return;
        }
        if (type === 'historyUndo')
            Tavrik.edits.beforeBrowserUndo();
        if (type.startsWith('delete') || type.startsWith('format')) {
            state.added = 0;
            return;
        }
        if (type === 'insertParagraph' || type === 'insertLineBreak') {
            state.added = 1; // a line break in preformatted text is a character
            return;
        }
        if (!type.startsWith('insert') || type === 'insertFromPaste' || type === 'insertFromDrop')
            return;
        let text = event.data;
        if ((text === null || text === undefined) && event.dataTransfer)
            text = event.dataTransfer.getData('text/plain');
        const length = text ? codePoints(text) : 0;
        if (type !== 'insertCompositionText' && excessOf(length) > 0) {
            event.preventDefault();
            showRefusal({ typed: true });
            return;
        }
        state.added = length;
        state.addsExactly = type === 'insertText' && replacesNothing(event);
    }

    // Whether an input goes in at a caret rather than in place of a selection.
    function replacesNothing(event) {
        const ranges = event.getTargetRanges();
        return ranges.length > 0 && ranges.every((range) => range.collapsed);
    }

    function onInput(event) {
        Tavrik.edits.seal(event.inputType);
        if (event.inputType === 'historyRedo')
            Tavrik.edits.afterBrowserRedo();
        const added = state.added;
        const exactly = state.addsExactly;
        state.added = undefined;
        state.addsExactly = false;
        if (!state.ownCommand)
            contentChanged(added, exactly);
    }

    // A composition that ended past the limit is taken back, right before the caret.
    function onCompositionEnd(event) {
        const sel = selection();
        if (!event.data || excessOf(0) === 0 || !sel || !sel.rangeCount || !sel.isCollapsed)
            return;
        const characters = Array.from(new Intl.Segmenter().segment(event.data)).length;
        for (let i = 0; i < characters; ++i)
            sel.modify('extend', 'backward', 'character');
        runCommand('delete', undefined, 0);
        showRefusal({ typed: true });
    }

    // ---- typing in a long note ---------------------------------------------------------------
    //
    // On every key the browser works through the whole text of the editing region around the
    // caret (it hands that text to the input method with each frame), and that region is the
    // whole body. While plain characters are typed at a caret in a long note, the region is
    // narrowed to the top-level block holding the caret: the class "narrow" makes the body
    // read-only and each of its blocks editable on its own (content.css), and that block takes
    // the focus. Nothing in the note changes: its markup, the caret and the browser's undo
    // history stay. Any other key, a mouse press, a composition and every editing command widen
    // it back first, so whatever can reach across blocks (selecting, Enter, deleting at a
    // block's start, undo, paste, input methods) runs on the whole note as before.

    const NARROW_FROM_CHARS = 20000;
    const NARROW_BLOCKS = new Set(['P', 'DIV', 'H1', 'H2', 'H3', 'H4', 'H5', 'H6', 'UL', 'OL', 'TABLE',
                                   'PRE', 'BLOCKQUOTE']);
    const KEEPS_REGION = new Set(['Shift', 'CapsLock']);
    // Characters whose deletion by Backspace may take more than the one before the caret.
    const JOINING = /[\p{M}\u200c\u200d\ufe0e\ufe0f]/u;
    const SURROGATE = /[\ud800-\udfff]/;

    // The top-level block holding the collapsed selection, when typing may be narrowed to it.
    function narrowableBlock() {
        const sel = selection();
        if (state.readOnly || state.shownCount < NARROW_FROM_CHARS || !sel || sel.rangeCount !== 1 || !sel.isCollapsed)
            return null;
        const b = state.doc.body;
        let node = sel.anchorNode;
        while (node && node.parentNode !== b)
            node = node.parentNode;
        return node && NARROW_BLOCKS.has(node.nodeName) ? node : null;
    }

    // Moves the focus to `element` keeping the selection where it is.
    function focusKeepingSelection(element) {
        const sel = selection();
        const range = sel.rangeCount ? sel.getRangeAt(0).cloneRange() : null;
        element.focus({ preventScroll: true });
        if (range && (sel.rangeCount !== 1 || sel.getRangeAt(0).compareBoundaryPoints(Range.START_TO_START, range) !== 0
                      || sel.getRangeAt(0).compareBoundaryPoints(Range.END_TO_END, range) !== 0)) {
            sel.removeAllRanges();
            sel.addRange(range);
        }
    }

    function narrow(block) {
        if (state.narrowed)
            return;
        state.narrowed = true;
        state.doc.documentElement.classList.add('narrow');
        focusKeepingSelection(block);
    }

    function widen() {
        if (!state.narrowed)
            return;
        state.narrowed = false;
        state.doc.documentElement.classList.remove('narrow');
        if (state.doc.activeElement !== state.doc.body && state.doc.hasFocus())
            focusKeepingSelection(state.doc.body);
    }

    // Whether Backspace takes exactly the character before the caret out of a text node that
    // keeps text before it, which the block's own editing does as the whole note's would.
    function deletesInsideText() {
        const sel = selection();
        const node = sel.anchorNode;
        const offset = sel.anchorOffset;
        const before = node.nodeType === Node.TEXT_NODE && offset >= 2 ? node.data.slice(offset - 2, offset) : '';
        return before !== '' && !JOINING.test(before) && !SURROGATE.test(before);
    }

    function isCharacterKey(event) {
        return !event.ctrlKey && !event.metaKey && !event.altKey && !event.isComposing
            && codePoints(event.key) === 1;
    }

    function onNarrowingKeyDown(event) {
        if (KEEPS_REGION.has(event.key))
            return;
        const block = (isCharacterKey(event) || (event.key === 'Backspace' && !event.ctrlKey && !event.altKey
                                                  && !event.metaKey && !event.shiftKey))
            && narrowableBlock();
        if (block && (event.key !== 'Backspace' || deletesInsideText()))
            narrow(block);
        else
            widen();
    }

    // A selection moved elsewhere by code, or spread out, is edited on the whole note again.
    function keepNarrowing() {
        if (state.narrowed && !narrowableBlock())
            widen();
    }

    function onNarrowedInput(event) {
        const type = event.inputType || '';
        if (type !== 'insertText' && type !== 'deleteContentBackward')
            widen();
    }

    // The page's own editing commands, whichever file runs them, edit the whole note.
    function widenForCommands(doc) {
        doc.execCommand = function () {
            widen();
            return Document.prototype.execCommand.apply(this, arguments);
        };
    }

    // ---- paste and drop ---------------------------------------------------------------------

    // Inserts outside content (HTML, else plain text) at the selection, cleaned (with the
    // `pictures` native code stored, see Tavrik.officePaste) and sanitised. Content that would
    // take the note past the limit is refused as a whole, measured as the note counts.
    // Whether anything went in.
    function insertOutsideContent(html, text, pictures) {
        if (state.readOnly)
            return false;
        // Code takes text alone, coloured again as typed text is.
        if (html && Tavrik.codeBlock && Tavrik.codeBlock.atCaret()) {
            text = text || Tavrik.sanitize.fragment(html, state.doc).textContent;
            html = '';
        }
        const pasted = html ? Tavrik.officePaste.clean(html, pictures) : null;
        if (pasted && pasted.remotePictures)
            showRefusal({ remotePictures: pasted.remotePictures });
        const fragment = pasted ? Tavrik.sanitize.fragment(pasted.html, state.doc) : null;
        if (fragment ? !fragment.firstChild : !text)
            return false;
        const length = codePoints(fragment ? fragment.textContent : text);
        const excess = excessOf(length);
        if (excess > 0) {
            showRefusal({ pasted: true, excess: excess });
            return false;
        }
        if (fragment) {
            const holder = state.doc.createElement('div');
            holder.appendChild(fragment);
            runCommand('insertHTML', holder.innerHTML, length);
        } else {
            runCommand('insertText', text, length);
        }
        return true;
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
        const html = data.getData('text/html');
        // Text alone that is Markdown goes in converted (markdown.js).
        if (!html && Tavrik.markdown.pasteIfMarkdown(data.getData('text/plain')))
            return;
        insertOutsideContent(html, data.getData('text/plain'));
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

    // Ctrl+K edits the link. Ctrl+Z and Ctrl+Y (Ctrl+Shift+Z) take back and redo the page's
    // own table, picture and tick edits first when they are the newest. Tab never leaves the note
    // while editing: it moves between table cells (adding a row after the last), indents list items, and inserts a tab elsewhere.
    // Shift+Tab goes back a cell or outdents a list item; elsewhere it moves the keyboard
    // focus back to the toolbar, the way out for keyboard users.
    // Ctrl+Shift+7 and Ctrl+Shift+8 make numbered and bulleted lists; the browser itself
    // has the other usual keys (Ctrl+B, I, U, Z, Y).
    const LIST_KEYS = { Digit7: 'insertOrderedList', Digit8: 'insertUnorderedList' };
    const LIST_COMMANDS = new Set(['insertOrderedList', 'insertUnorderedList']);

    function historyKey(event) {
        if (!(event.ctrlKey || event.metaKey) || event.altKey)
            return null;
        const key = event.key.toLowerCase();
        if (key === 'z')
            return event.shiftKey ? 'redo' : 'undo';
        return key === 'y' && !event.shiftKey ? 'redo' : null;
    }

    function onKeyDown(event) {
        const history = !state.readOnly && historyKey(event);
        if (history && Tavrik.edits[history]()) {
            event.preventDefault();
            return;
        }
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
            Tavrik.tables.moveFromCell(cell, event.shiftKey);
        } else if (item) {
            indentListItem(event.shiftKey);
        } else if (excessOf(1) > 0) {
            showRefusal({ typed: true });
        } else {
            runCommand('insertText', '\t', 1);
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
        keepingSelection(function () {
            liftEach(b);
        });
    }

    function liftEach(b) {
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
    }

    // Runs `move`, which moves nodes of the note around, and puts the selection back where it
    // was: moving nodes collapses the selection around them; the nodes themselves are unchanged.
    function keepingSelection(move) {
        const b = body();
        const sel = selection();
        const kept = sel.rangeCount ? sel.getRangeAt(0).cloneRange() : null;
        const ends = kept && [kept.startContainer, kept.startOffset, kept.endContainer, kept.endOffset];
        move();
        if (ends && b.contains(ends[0]) && b.contains(ends[2])) {
            const range = state.doc.createRange();
            range.setStart(ends[0], ends[1]);
            range.setEnd(ends[2], ends[3]);
            sel.removeAllRanges();
            sel.addRange(range);
        }
    }

    const LIST = 'ul,ol';

    // The browser indents a list item by putting a list straight into the list (<ul><ul>),
    // which is not valid HTML: such a list moves into the item before it, joining a list of its
    // kind that ends that item, or gets an item of its own when none is before it. Only the
    // list around `node` is looked at.
    function nestListsInItems(node) {
        let list = node && (node.nodeType === Node.ELEMENT_NODE ? node : node.parentNode);
        list = list && list.closest ? list.closest(LIST) : null;
        for (let outer = list; outer; outer = outer.parentElement && outer.parentElement.closest(LIST))
            list = outer;
        if (!list || !body().contains(list) || !list.querySelector(':scope ul > :is(ul,ol), :scope ol > :is(ul,ol), :scope > :is(ul,ol)'))
            return;
        keepingSelection(function () {
            for (const inner of Array.from(list.querySelectorAll(LIST))) {
                const parent = inner.parentElement;
                if (!parent || !parent.matches(LIST))
                    continue;
                const before = inner.previousElementSibling;
                if (!before || before.tagName !== 'LI') {
                    const item = state.doc.createElement('li');
                    parent.insertBefore(item, inner);
                    item.appendChild(inner);
                    continue;
                }
                const last = before.lastElementChild;
                if (last && last.tagName === inner.tagName && !last.nextSibling) {
                    while (inner.firstChild)
                        last.appendChild(inner.firstChild);
                    inner.remove();
                } else {
                    before.appendChild(inner);
                }
            }
        });
    }

    // Moves a nested list item out to the list around its list, right after the item that held
    // it; the items after it go along as its own nested list. False for an item not nested in
    // another, which the browser's outdent handles.
    function outdentNestedItem(item) {
        const list = item && item.parentElement;
        const holder = list && list.parentElement;
        if (!holder || holder.tagName !== 'LI' || !list.matches(LIST))
            return false;
        keepingSelection(function () {
            if (item.nextElementSibling) {
                const rest = state.doc.createElement(list.tagName);
                while (item.nextSibling)
                    rest.appendChild(item.nextSibling);
                item.appendChild(rest);
            }
            holder.after(item);
            if (!list.firstElementChild)
                list.remove();
        });
        return true;
    }

    // Indents or outdents the list item at the caret, keeping lists nested inside items.
    function indentListItem(outdent) {
        if (outdent && outdentNestedItem(enclosing('li'))) {
            contentChanged(0);
            return true;
        }
        const done = runCommand(outdent ? 'outdent' : 'indent', undefined, 0);
        nestListsInItems(selection().anchorNode);
        return done;
    }

    // Typing into a note whose body holds no paragraph (a new note, or one emptied) starts one,
    // so the first line is stored as a paragraph like every other.
    function startParagraph(event) {
        const type = event.inputType || '';
        if (state.readOnly || !type.startsWith('insert') || type === 'insertFromPaste' || type === 'insertFromDrop')
            return;
        const sel = selection();
        const node = sel && sel.rangeCount ? sel.getRangeAt(0).startContainer : null;
        const b = body();
        if (node === b ? !b.querySelector('p,div,h1,h2,h3,h4,h5,h6,li,td,th,pre,blockquote') : node && node.parentNode === b && node.nodeType === Node.TEXT_NODE)
            state.doc.execCommand('formatBlock', false, 'p');
    }

    // ---- the frame ----------------------------------------------------------------------------

    function wireDocument(doc) {
        doc.addEventListener('keydown', onNarrowingKeyDown, true);
        doc.addEventListener('mousedown', widen, true);
        doc.addEventListener('compositionstart', widen, true);
        doc.addEventListener('beforeinput', onNarrowedInput, true);
        widenForCommands(doc);
        doc.addEventListener('beforeinput', startParagraph);
        doc.addEventListener('beforeinput', onBeforeInput);
        doc.addEventListener('input', onInput);
        doc.addEventListener('compositionend', onCompositionEnd);
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
            keepNarrowing();
            saveSelection();
            notifySoon();
        });
        doc.addEventListener('keydown', onKeyDown);
        watchAttachments(doc);
        for (const listener of state.frameListeners)
            listener(doc);
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
        state.heldBack = null;
        state.narrowed = false;
        state.savedRange = null;
        state.internalDrag = false;
        state.changedSinceMount = false;
        state.changeReported = false;
        Tavrik.edits.clear();
        doc.execCommand('defaultParagraphSeparator', false, 'p');
        doc.body.setAttribute('role', 'textbox');
        doc.body.setAttribute('aria-multiline', 'true');
        applyTheme();
        // Editable before it is filled: making a large body editable afterwards costs far more.
        applyReadOnly();
        fill(doc.body);
        wireDocument(doc);
        installErrorReporting(frame.contentWindow);
        // Opening a large note does not wait for its count: the status follows a moment later
        // (once the whole note is in).
        state.count = null;
        state.counted = false;
        if (!state.heldBack)
            setTimeout(recount, 0);
    }

    // Spell checking and read-only mode are attributes of the frame's body, never of the note
    // inside it, so the saved markup is the same whatever they are.
    function applyReadOnly() {
        widen();
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

    // A new frame showing clean `markup`; a long one up to its first screen first when
    // `firstScreenFirst` (holding the rest back adds to the call what it saves the first frame).
    function showMarkup(markup, firstScreenFirst) {
        mount(function (b) {
            b.innerHTML = markup;
            if (firstScreenFirst && markup.length >= HOLD_BACK_FROM_LENGTH)
                holdBackRest(b);
        });
    }

    function currentHtml() {
        return body().innerHTML;
    }

    // ---- public --------------------------------------------------------------------------------

    Tavrik.editor = {
        // Starts with the limit and mode native code gave with the page's load, if any.
        init() {
            const start = window.TavrikStart;
            if (start && Number.isInteger(start.maxChars) && start.maxChars >= 1)
                state.maxChars = start.maxChars;
            if (start && typeof start.readOnly === 'boolean')
                state.readOnly = start.readOnly;
            mount(function () {});
            installErrorReporting(window);
        },
        onChange(listener) {
            state.listeners.push(listener);
        },
        // Editing features of their own files (tables, pictures, checklists, typing shortcuts,
        // code blocks) add their listeners to every editing frame, the current one included.
        onFrame(listener) {
            state.frameListeners.push(listener);
            if (state.doc)
                listener(state.doc);
        },
        document() {
            body();
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

        // Any text from outside is sanitised into clean markup, which the frame parses.
        setContent(html) {
            showMarkup(Tavrik.sanitize.markup(html), false);
        },
        // HTML this editor wrote itself from a sanitised page: parsed once, by the frame.
        setSavedContent(html) {
            showMarkup(html === null || html === undefined ? '' : String(html), true);
        },
        content() {
            state.changeReported = false;
            if (isBlank())
                return { html: '', text: '' };
            return { html: currentHtml(), text: Tavrik.checklist ? Tavrik.checklist.plainText(body()) : body().innerText };
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
            return shortNote() ? exactCount() : state.shownCount;
        },
        // Why an insertion was refused a moment ago: { typed: true } for typing, { pasted: true,
        // excess: n } for a paste or drop n characters too long, { remotePictures: n } for n
        // pictures from the web left out of one; else null.
        refusal() {
            return state.refusal;
        },

        // Runs an editing command of the browser on the note.
        exec(command, value) {
            if (state.readOnly)
                return false;
            this.focus();
            if (command === 'undo' && ((Tavrik.shortcuts && Tavrik.shortcuts.undo()) || Tavrik.markdown.undo()))
                return true;
            if ((command === 'undo' || command === 'redo') && Tavrik.edits[command]())
                return true;
            if (command === 'undo')
                Tavrik.edits.beforeBrowserUndo();
            // Colours and sizes as inline styles; bold, italic and the rest stay plain tags.
            if ((command === 'indent' || command === 'outdent') && enclosing('li')) {
                return indentListItem(command === 'outdent');
            }
            const styled = command === 'foreColor' || command === 'fontSize';
            if (styled)
                state.doc.execCommand('styleWithCSS', false, true);
            const done = runCommand(command, value);
            if (styled)
                state.doc.execCommand('styleWithCSS', false, false);
            liftBlocksOutOfParagraphs();
            if (LIST_COMMANDS.has(command))
                nestListsInItems(selection().anchorNode);
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
            contentChanged(0);
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
        pasteHtml(html, pictures) {
            this.focus();
            insertOutsideContent(html, '', pictures);
            revealBeforeCaret();
        },

        // For the markup helpers: where an insertion goes, and telling the editor about it.
        runCommand: runCommand,
        liftBlocksOutOfParagraphs: liftBlocksOutOfParagraphs,
        enclosing: enclosing,
        insertionRange: insertionRange,
        placeCaretAfter: placeCaretAfter,
        selectNode: selectNode,
        contentChanged: contentChanged,
        insertOutsideContent: insertOutsideContent,
        reportError: reportError,
        codePoints: codePoints,
    };
})();
