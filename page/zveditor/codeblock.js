// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Code blocks: a <pre>, its language as class "language-<name>" (none: guessed from the text).
// The block typed in is coloured by highlight.js a moment after typing pauses, the caret kept
// where it was; the colours are spans of class "hljs-…" that the note keeps, so saving the
// note again gives the same bytes and other programs show plain text. Each colouring is
// recorded among the browser's undo steps (edits.js), so Ctrl+Z puts back exactly what was
// typed; an undo or redo is not coloured again until typing goes on. Only a block holding
// nothing but text and such spans is coloured: a <pre> with markup of its own is left as it
// is. Tab and Shift+Tab indent the selected lines, Enter keeps the line's indentation, and a
// copy from a block gives its plain text.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});
    const editor = () => Tavrik.editor;
    // highlight.js, built on first use.
    const hljs = () => window.tavrikHighlighter();

    const HIGHLIGHT_PAUSE_MS = 300;
    // The languages offered, in the picker's order; a block without one is guessed among them.
    const LANGUAGES = [
        ['bash', 'Bash'], ['c', 'C'], ['cpp', 'C++'], ['csharp', 'C#'], ['css', 'CSS'], ['diff', 'Diff'],
        ['go', 'Go'], ['java', 'Java'], ['javascript', 'JavaScript'], ['json', 'JSON'], ['kotlin', 'Kotlin'],
        ['markdown', 'Markdown'], ['php', 'PHP'], ['python', 'Python'], ['ruby', 'Ruby'], ['rust', 'Rust'],
        ['sql', 'SQL'], ['swift', 'Swift'], ['typescript', 'TypeScript'], ['xml', 'HTML, XML'], ['yaml', 'YAML'],
    ];
    const GUESSED = LANGUAGES.map((l) => l[0]);
    const LANGUAGE_CLASS = /^language-/;

    let pending = null; // the block typed in, waiting to be coloured
    let timer = 0;

    function doc() {
        return editor().document();
    }

    function blockAtCaret() {
        return editor().enclosing('pre');
    }

    // The language a block names, when highlight.js knows it.
    function languageOf(pre) {
        for (const name of pre.classList) {
            if (LANGUAGE_CLASS.test(name)) {
                const language = hljs().getLanguage(name.slice(9));
                return language ? name.slice(9) : null;
            }
        }
        return null;
    }

    function setLanguage(pre, language) {
        for (const name of Array.from(pre.classList)) {
            if (LANGUAGE_CLASS.test(name))
                pre.classList.remove(name);
        }
        if (language)
            pre.classList.add('language-' + language);
        if (!pre.classList.length)
            Tavrik.edits.removeAttribute(pre, 'class');
    }

    // Whether the block holds only text and highlight spans: only such a block is recoloured.
    function plainCode(pre) {
        for (const element of pre.querySelectorAll('*')) {
            if (element.tagName !== 'SPAN' || !/^hljs-/.test(element.className))
                return false;
        }
        return true;
    }

    // The block's colours anew, as markup; null when it cannot be coloured.
    function colouredHtml(pre) {
        const text = pre.textContent;
        const language = languageOf(pre);
        let coloured;
        try {
            coloured = language ? hljs().highlight(text, { language: language, ignoreIllegals: true }).value
                : hljs().highlightAuto(text, GUESSED).value;
        } catch (e) {
            editor().reportError('error', 'code highlighting: ' + e.message);
            return null;
        }
        return coloured;
    }

    // Colours the block anew, keeping the caret; a block that looks the same is not touched.
    // `language` (optional) is chosen for it first, as one step the user can undo.
    function highlight(pre, language) {
        const own = language !== undefined;
        if (!pre.isConnected || (!own && !plainCode(pre)))
            return;
        Tavrik.edits.recordColouring(pre, function () {
            if (own)
                setLanguage(pre, language);
            const coloured = plainCode(pre) ? colouredHtml(pre) : null;
            if (coloured === null || pre.innerHTML === coloured)
                return;
            const offset = Tavrik.edits.caretOffset(pre);
            pre.innerHTML = coloured;
            if (offset !== null)
                Tavrik.edits.placeCaret(pre, offset);
        }, own);
    }

    function flush() {
        clearTimeout(timer);
        const pre = pending;
        pending = null;
        if (pre)
            highlight(pre);
    }

    function onInput(event) {
        if (event.inputType === 'historyUndo' || event.inputType === 'historyRedo') {
            clearTimeout(timer);
            pending = null;
            return;
        }
        colourSoon();
    }

    function colourSoon() {
        const pre = blockAtCaret();
        if (pending && pending !== pre)
            flush();
        if (!pre)
            return;
        pending = pre;
        clearTimeout(timer);
        timer = setTimeout(flush, HIGHLIGHT_PAUSE_MS);
    }

    // The block's lines the selection touches: the offsets in its text where they start and end.
    function selectedLines(pre) {
        const sel = doc().getSelection();
        const range = sel.getRangeAt(0);
        const text = pre.textContent;
        const head = doc().createRange();
        head.setStart(pre, 0);
        head.setEnd(range.startContainer, range.startOffset);
        const start = head.toString().length;
        const end = start + range.toString().length;
        return { text: text, start: text.lastIndexOf('\n', start - 1) + 1,
                 end: text.indexOf('\n', end) < 0 ? text.length : text.indexOf('\n', end) };
    }

    // Indents (or outdents) every line the selection touches by one tab (or up to four spaces),
    // line by line from the last: the browser would split the block at a typed line break.
    function indentLines(pre, outdent) {
        const lines = selectedLines(pre);
        const starts = [];
        for (let at = lines.start; at <= lines.end; at = lines.text.indexOf('\n', at) + 1) {
            starts.push(at);
            if (lines.text.indexOf('\n', at) < 0 || lines.text.indexOf('\n', at) >= lines.end)
                break;
        }
        let end = lines.end;
        for (const at of starts.reverse()) {
            const from = offsetPosition(pre, at);
            if (outdent) {
                const width = /^(?:\t| {1,4})?/.exec(lines.text.slice(at, lines.end))[0].length;
                if (!width)
                    continue;
                select(from, offsetPosition(pre, at + width));
                editor().runCommand('delete', undefined, 0);
                end -= width;
            } else {
                select(from, from);
                editor().runCommand('insertText', '\t', 1);
                end += 1;
            }
        }
        select(offsetPosition(pre, lines.start), offsetPosition(pre, end));
        colourSoon();
    }

    function select(from, to) {
        const range = doc().createRange();
        range.setStart(from[0], from[1]);
        range.setEnd(to[0], to[1]);
        const sel = doc().getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
    }

    function offsetPosition(pre, offset) {
        const walker = doc().createTreeWalker(pre, NodeFilter.SHOW_TEXT);
        for (let node = walker.nextNode(); node; node = walker.nextNode()) {
            if (offset <= node.length)
                return [node, offset];
            offset -= node.length;
        }
        return [pre, pre.childNodes.length];
    }

    function onKeyDown(event) {
        if (event.defaultPrevented || event.ctrlKey || event.altKey || event.metaKey || editor().isReadOnly())
            return;
        const pre = blockAtCaret();
        if (!pre)
            return;
        if (event.key === 'Tab') {
            const sel = doc().getSelection();
            if (sel.isCollapsed && !event.shiftKey)
                return; // the editor puts a tab at the caret
            event.preventDefault();
            event.stopImmediatePropagation();
            indentLines(pre, event.shiftKey);
        } else if (event.key === 'Enter' && !event.shiftKey) {
            event.preventDefault();
            const lines = selectedLines(pre);
            const indent = /^[ \t]*/.exec(lines.text.slice(lines.start))[0];
            editor().runCommand('insertLineBreak', undefined, 1);
            if (indent)
                editor().runCommand('insertText', indent, indent.length);
        }
    }

    // A copy from inside one block gives its text only.
    function onCopy(event) {
        const sel = doc().getSelection();
        if (!sel || !sel.rangeCount || sel.isCollapsed)
            return;
        const range = sel.getRangeAt(0);
        let node = range.commonAncestorContainer;
        if (node.nodeType !== Node.ELEMENT_NODE)
            node = node.parentNode;
        if (!node.closest('pre,code') || !event.clipboardData)
            return;
        event.preventDefault();
        event.clipboardData.setData('text/plain', range.toString());
    }

    // Makes the paragraph at the caret a code block in `language` (a name highlight.js knows,
    // else none); gives the undo steps taken.
    function start(language) {
        if (!editor().runCommand('formatBlock', '<pre>', 0))
            return 0;
        const pre = blockAtCaret();
        const known = language && hljs().getLanguage(language);
        if (pre && known)
            setLanguage(pre, GUESSED.find((name) => hljs().getLanguage(name) === known) || language.toLowerCase());
        return 1;
    }

    function picker() {
        const select = document.createElement('select');
        select.className = 'picker';
        select.setAttribute('data-id', 'language');
        select.setAttribute('data-tip', 'Code language');
        select.setAttribute('aria-label', 'Code language');
        for (const [value, label] of [['', 'Automatic']].concat(LANGUAGES)) {
            const option = document.createElement('option');
            option.value = value;
            option.textContent = label;
            select.appendChild(option);
        }
        select.addEventListener('change', () => {
            const pre = blockAtCaret() || lastBlock;
            editor().focus();
            if (!pre || editor().isReadOnly())
                return;
            highlight(pre, select.value);
        });
        return select;
    }

    let lastBlock = null;
    // The picker follows the block at the caret and is off outside one.
    function refreshPicker(select, inNote) {
        const pre = inNote ? blockAtCaret() : null;
        if (pre)
            lastBlock = pre;
        else if (inNote)
            lastBlock = null;
        select.disabled = !lastBlock || editor().isReadOnly();
        select.value = lastBlock ? languageOf(lastBlock) || '' : '';
    }

    editor().onFrame(function (d) {
        pending = null;
        lastBlock = null;
        d.addEventListener('input', onInput);
        d.addEventListener('keydown', onKeyDown, true);
        d.addEventListener('copy', onCopy);
    });

    Tavrik.codeBlock = {
        // Whether the caret is in a code block.
        atCaret: () => !!blockAtCaret(),
        start: start,
        highlight: highlight,
        picker: picker,
        refreshPicker: refreshPicker,
    };
})();
