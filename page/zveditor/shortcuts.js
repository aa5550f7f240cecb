// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Typing shortcuts: at the start of a paragraph "# " to "### " make headings, "* " and "- "
// a bulleted list, "1. " a numbered one, "> " a quote, "[ ] " a checklist and "```" (with a
// language name if wanted) then a space or Enter a code block; **bold**, _italic_ and `code`
// format their text when the closing mark is typed. The first Ctrl+Z afterwards puts back
// exactly what was typed. Ctrl+\ clears the formatting of the selection.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});
    const editor = () => Tavrik.editor;

    const BLOCK = 'p,div,h1,h2,h3,h4,h5,h6,li,blockquote,pre,td,th';
    const PLAIN_BLOCK = /^(?:P|DIV)$/;

    // Marks typed at the start of a paragraph, and what each makes of it.
    const LINE_MARKS = [
        [/^(#{1,3}) $/, (m) => ['formatBlock', '<h' + m[1].length + '>']],
        [/^[*-] $/, () => ['insertUnorderedList']],
        [/^1[.)] $/, () => ['insertOrderedList']],
        [/^> $/, () => ['formatBlock', '<blockquote>']],
        [/^\[([ xX]?)\] $/, (m) => ['checklist', m[1] !== '' && m[1] !== ' ']],
        [/^```([\w+#-]*)[ \n]$/, (m) => ['code', m[1]]],
    ];
    // Marks around a run of text, closed by the last character typed.
    const SPAN_MARKS = [
        [/(^|[^*\w])\*\*([^*\s](?:[^*]*[^*\s])?)\*\*$/, 'b'],
        [/(^|[^_\w])_([^_\s](?:[^_]*[^_\s])?)_$/, 'i'],
        [/(^|[^`])`([^`]+)`$/, 'code'],
    ];

    // Takes back the last shortcut, putting back what was typed; null once anything else has
    // been done.
    let takeBack = null;
    let running = false;
    // Inline code just made at the end of its line: what is typed right after it goes after it.
    let openCode = null;

    function doc() {
        return editor().document();
    }

    function caret() {
        const sel = doc().getSelection();
        return sel && sel.rangeCount && sel.isCollapsed ? sel.getRangeAt(0) : null;
    }

    function select(startNode, startOffset, endNode, endOffset) {
        const range = doc().createRange();
        range.setStart(startNode, startOffset);
        range.setEnd(endNode, endOffset);
        const sel = doc().getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
    }

    // Runs `change` as this file's own, so it does not end what Ctrl+Z can take back.
    function own(change) {
        running = true;
        try {
            return change();
        } finally {
            running = false;
        }
    }

    // The plain paragraph (<p> or <div>, not in a list, cell or code) the caret is in and the
    // text from its start to the caret; null elsewhere.
    function lineBeforeCaret(range) {
        let node = range.startContainer;
        if (node.nodeType !== Node.ELEMENT_NODE)
            node = node.parentNode;
        const block = node.closest(BLOCK);
        if (!block || !PLAIN_BLOCK.test(block.tagName) || !doc().body.contains(block) || block.closest('li,pre,td,th'))
            return null;
        const before = doc().createRange();
        before.setStart(block, 0);
        before.setEnd(range.startContainer, range.startOffset);
        return { block: block, text: before.toString().replace(/\u00a0/g, ' '), range: before };
    }

    function lineShortcut(range, typed) {
        const line = lineBeforeCaret(range);
        if (!line)
            return false;
        const text = line.text + typed;
        for (const [pattern, make] of LINE_MARKS) {
            const found = pattern.exec(text);
            if (!found)
                continue;
            const [command, value] = make(found);
            const paragraph = line.block;
            const before = paragraph.cloneNode(true);
            own(function () {
                select(line.range.startContainer, line.range.startOffset, range.startContainer, range.startOffset);
                editor().runCommand('delete', undefined, 0);
                if (command === 'checklist')
                    Tavrik.checklist.toggleList(value);
                else if (command === 'code')
                    Tavrik.codeBlock.start(value);
                else
                    editor().runCommand(command, value, 0);
                editor().liftBlocksOutOfParagraphs();
            });
            const made = editor().enclosing('li') || editor().enclosing('h1,h2,h3,blockquote,pre');
            takeBack = made && function () {
                putBack(made, before);
            };
            return true;
        }
        return false;
    }

    // Puts the paragraph as it was typed in place of the block or list item made of it, the
    // caret at its end. The browser's own undo cannot do it once a list was moved out of the
    // paragraph it made it in.
    function putBack(made, paragraph) {
        const list = made.tagName === 'LI' ? made.parentNode : null;
        if (!list || !made.previousElementSibling && !made.nextElementSibling) {
            (list || made).replaceWith(paragraph);
        } else if (!made.nextElementSibling) {
            list.after(paragraph);
        } else if (!made.previousElementSibling) {
            list.before(paragraph);
        } else {
            const rest = list.cloneNode(false);
            while (made.nextSibling)
                rest.appendChild(made.nextSibling);
            list.after(paragraph, rest);
        }
        made.remove();
        const walker = doc().createTreeWalker(paragraph, NodeFilter.SHOW_TEXT);
        let last = null;
        for (let node = walker.nextNode(); node; node = walker.nextNode())
            last = node;
        doc().getSelection().collapse(last || paragraph, last ? last.length : 0);
        editor().contentChanged(editor().codePoints(paragraph.textContent));
    }

    function escapeHtml(text) {
        return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
    }

    function spanShortcut(range) {
        const node = range.startContainer;
        if (node.nodeType !== Node.TEXT_NODE || node.parentNode.closest('pre,code'))
            return false;
        const text = node.data.slice(0, range.startOffset);
        for (const [pattern, tag] of SPAN_MARKS) {
            const found = pattern.exec(text);
            if (!found)
                continue;
            const start = found.index + found[1].length;
            if (tag === 'code') {
                makeCode(node, start, range.startOffset, found[2]);
                return true;
            }
            const command = tag === 'b' ? 'bold' : 'italic';
            const done = own(function () {
                select(node, start, node, range.startOffset);
                const inserted = editor().runCommand('insertHTML', '<' + tag + '>' + escapeHtml(found[2]) + '</' + tag + '>', 0);
                // What is typed next is plain again.
                if (editor().queryState(command))
                    doc().execCommand(command);
                return inserted;
            });
            takeBack = done && function () {
                editor().runCommand('undo');
            };
            return true;
        }
        return false;
    }

    // The browser's insertHTML draws <code> as a span with the look of the note's style sheet:
    // the element goes in by hand, and Ctrl+Z puts the typed text back by hand.
    function makeCode(node, start, end, inner) {
        const typed = node.data;
        const rest = node.splitText(start);
        rest.deleteData(0, end - start);
        const code = doc().createElement('code');
        code.textContent = inner;
        rest.before(code);
        if (!rest.length)
            rest.remove();
        doc().getSelection().collapse(code.firstChild, inner.length);
        editor().contentChanged(0);
        openCode = rest.isConnected ? null : code;
        takeBack = function () {
            code.remove();
            rest.remove();
            node.data = typed;
            doc().getSelection().collapse(node, end);
            editor().contentChanged(0);
        };
    }

    function onBeforeInput(event) {
        const code = openCode;
        openCode = null;
        if (!code || event.defaultPrevented || event.inputType !== 'insertText' || !event.data || !code.isConnected)
            return;
        const range = caret();
        const last = code.lastChild;
        if (!range || range.startContainer !== last || range.startOffset !== last.length || code.nextSibling)
            return;
        event.preventDefault();
        // A space at the end of a line is drawn only when it is a non-breaking one.
        const text = doc().createTextNode(event.data.replace(/ $/, '\u00a0'));
        code.after(text);
        doc().getSelection().collapse(text, text.length);
        takeBack = null;
        editor().contentChanged(editor().codePoints(event.data));
    }

    function onInput(event) {
        if (running || event.inputType !== 'insertText' || editor().isReadOnly())
            return;
        const range = caret();
        if (!range)
            return;
        if (event.data === ' ')
            lineShortcut(range, '');
        else if (event.data === '*' || event.data === '_' || event.data === '`')
            spanShortcut(range);
    }

    // Enter after "```" starts a code block at once, as a space does.
    function onKeyDown(event) {
        if (event.defaultPrevented || editor().isReadOnly())
            return;
        const plain = !event.shiftKey && !event.altKey && !event.metaKey;
        if (event.ctrlKey && plain && (event.code === 'Backslash' || event.key === '\\')) {
            event.preventDefault();
            editor().runCommand('removeFormat', undefined, 0);
            return;
        }
        if (event.ctrlKey && plain && event.key.toLowerCase() === 'z' && takeBack) {
            event.preventDefault();
            undo();
            return;
        }
        if (event.key === 'Enter' && plain && !event.ctrlKey) {
            const range = caret();
            const line = range && lineBeforeCaret(range);
            if (line && /^```[\w+#-]*$/.test(line.text) && lineShortcut(range, '\n'))
                event.preventDefault();
        }
    }

    // Takes back the last shortcut, leaving what was typed and the caret after it. False when
    // the last change was no shortcut.
    function undo() {
        const back = takeBack;
        if (!back)
            return false;
        takeBack = null;
        openCode = null;
        own(back);
        const sel = doc().getSelection();
        if (sel.rangeCount && !sel.isCollapsed)
            sel.collapseToEnd();
        return true;
    }

    function forget() {
        if (!running)
            takeBack = null;
    }

    editor().onFrame(function (d) {
        takeBack = null;
        openCode = null;
        d.addEventListener('beforeinput', onBeforeInput);
        // Any other change, typed or a command, ends what Ctrl+Z takes back as typed.
        d.addEventListener('input', forget);
        d.addEventListener('input', onInput);
        d.addEventListener('keydown', onKeyDown);
    });

    Tavrik.shortcuts = { undo: undo };
})();
