// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Checklists: a bulleted list of class "checklist" whose items say data-checked="true" or
// "false". That is plain HTML every program reads as a list, the sanitiser keeps, and the note's
// style sheet draws as boxes; nothing here needs a script in the note. The toolbar button and
// Ctrl+Shift+9 start or end one, a click on an item's box or Ctrl+Enter ticks it (Ctrl+Z takes
// the tick back).
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});
    const editor = () => Tavrik.editor;

    const ITEM = 'ul.checklist > li';

    function isChecked(item) {
        return item.getAttribute('data-checked') === 'true';
    }

    // One step the user can undo and redo.
    function toggleItem(item) {
        Tavrik.edits.record(() => item.setAttribute('data-checked', isChecked(item) ? 'false' : 'true'));
    }

    // Makes the list at the caret a checklist (the paragraph at the caret a list first), or turns
    // the checklist items at the caret back into paragraphs. Items already ticked stay ticked.
    function toggleList(checked) {
        if (editor().isReadOnly())
            return false;
        const offset = caretOffset();
        const done = changeList(checked);
        // The browser's list commands leave the caret at the start of the text they moved.
        if (done && offset !== null)
            placeCaret(offset);
        return done;
    }

    const LINE = 'li,p,div,h1,h2,h3,h4,h5,h6,blockquote';

    // Where the caret is in the text of its line; null when the selection is not a caret.
    function caretOffset() {
        const sel = editor().document().getSelection();
        const line = editor().enclosing(LINE);
        if (!line || !sel.rangeCount || !sel.isCollapsed)
            return null;
        const range = editor().document().createRange();
        range.setStart(line, 0);
        range.setEnd(sel.focusNode, sel.focusOffset);
        return range.toString().length;
    }

    function placeCaret(offset) {
        const line = editor().enclosing(LINE);
        if (line)
            Tavrik.edits.placeCaret(line, offset);
    }

    function changeList(checked) {
        if (editor().enclosing(ITEM)) {
            // Unticked first: the browser would keep a ticked item's look as inline styles.
            for (const item of selectedItems())
                item.removeAttribute('data-checked');
            const done = editor().runCommand('insertUnorderedList', undefined, 0);
            // The browser leaves the items' text loose in the note: it becomes paragraphs.
            if (done && !editor().enclosing('li'))
                editor().runCommand('formatBlock', '<p>', 0);
            editor().liftBlocksOutOfParagraphs();
            return done;
        }
        const list = editor().enclosing('ul,ol');
        if ((!list || list.tagName === 'OL') && !editor().runCommand('insertUnorderedList', undefined, 0))
            return false;
        editor().liftBlocksOutOfParagraphs();
        const made = editor().enclosing('ul');
        if (!made)
            return false;
        made.classList.add('checklist');
        const item = editor().enclosing('li');
        for (const child of made.children) {
            if (child.tagName === 'LI' && !child.hasAttribute('data-checked'))
                child.setAttribute('data-checked', checked && child === item ? 'true' : 'false');
        }
        editor().contentChanged(0);
        return true;
    }

    // The items of the checklist at the caret that the selection touches.
    function selectedItems() {
        const range = editor().document().getSelection().getRangeAt(0);
        return Array.from(editor().enclosing(ITEM).parentNode.children).filter((item) => range.intersectsNode(item));
    }

    // The box is drawn in the item's left padding.
    function onBox(item, event) {
        const box = item.getBoundingClientRect();
        const padding = parseFloat(item.ownerDocument.defaultView.getComputedStyle(item).paddingLeft) || 0;
        return event.clientX >= box.left && event.clientX < box.left + padding;
    }

    function onClick(event) {
        const item = event.target && event.target.closest ? event.target.closest(ITEM) : null;
        if (!item || item !== event.target || editor().isReadOnly() || !onBox(item, event))
            return;
        event.preventDefault();
        toggleItem(item);
    }

    // The browser gives a new item the attributes of the one it was split from (Enter arrives
    // as a paragraph or as a typed line break): a new, empty item starts unticked, before or
    // after the item it came from.
    function onInput(event) {
        if (!(event.inputType || '').startsWith('insert'))
            return;
        const item = editor().enclosing(ITEM);
        if (!item)
            return;
        const before = item.previousElementSibling;
        const fresh = !item.textContent && isChecked(item) ? item
            : before && before.tagName === 'LI' && !before.textContent && isChecked(before) ? before : null;
        if (fresh)
            fresh.setAttribute('data-checked', 'false');
    }

    function onKeyDown(event) {
        if (event.defaultPrevented || !event.ctrlKey || event.altKey || event.metaKey)
            return;
        if (event.shiftKey && event.code === 'Digit9') {
            event.preventDefault();
            toggleList(false);
        } else if (!event.shiftKey && event.key === 'Enter') {
            const item = editor().enclosing(ITEM);
            if (!item || editor().isReadOnly())
                return;
            event.preventDefault();
            toggleItem(item);
        }
    }

    // The note's text as native code gets it, each checklist item led by "[ ] " or "[x] ".
    // The marks go in for the reading only: the browser gives the text as it lays it out.
    function plainText(body) {
        const items = body.querySelectorAll(ITEM);
        if (!items.length)
            return body.innerText;
        const marks = [];
        for (const item of items) {
            const mark = body.ownerDocument.createTextNode(isChecked(item) ? '[x] ' : '[ ] ');
            item.insertBefore(mark, item.firstChild);
            marks.push(mark);
        }
        try {
            return body.innerText;
        } finally {
            for (const mark of marks)
                mark.remove();
        }
    }

    editor().onFrame(function (doc) {
        doc.addEventListener('click', onClick);
        doc.addEventListener('input', onInput);
        doc.addEventListener('keydown', onKeyDown);
    });

    Tavrik.checklist = {
        toggleList: toggleList,
        plainText: plainText,
        inChecklist() {
            return !!editor().enclosing(ITEM);
        },
    };
})();
