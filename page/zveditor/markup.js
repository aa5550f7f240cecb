// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Markup that native code places in the note: attachment elements (an img carrying the
// original-name JSON in zv_exdata, the stored file in class and the shown image in src,
// data-ke-src and zvimgsrc) and tables. Everything built here passes the sanitiser too.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});
    const editor = Tavrik.editor;

    // Markup is put together in a document that loads nothing and runs nothing, and only its
    // sanitised copy enters the note.
    const scratch = document.implementation.createHTMLDocument('');

    // ---- tables ---------------------------------------------------------------------------------

    // A table element from a column count, a row count and optional rows of cells
    // ({width, style, value}); missing rows and cells are empty. Cell values are HTML.
    function buildTable(colNum, rowNum, rows) {
        const doc = scratch;
        const table = doc.createElement('table');
        table.setAttribute('border', '1');
        table.setAttribute('cellpadding', '4');
        table.setAttribute('cellspacing', '0');
        table.setAttribute('style', 'border-collapse: collapse; width: 100%;');
        const tbody = doc.createElement('tbody');
        table.appendChild(tbody);
        for (let r = 0; r < rowNum; ++r) {
            const tr = doc.createElement('tr');
            const cells = (rows && rows[r]) || [];
            for (let c = 0; c < colNum; ++c) {
                const cell = cells[c] || {};
                const td = doc.createElement('td');
                if (cell.width)
                    td.setAttribute('width', cell.width);
                if (cell.style)
                    td.setAttribute('style', cell.style);
                td.innerHTML = cell.value ? cell.value : '<br>';
                tr.appendChild(td);
            }
            tbody.appendChild(tr);
        }
        // One pass through the sanitiser for the whole table: cell values and styles included.
        const clean = Tavrik.sanitize.fragment(table.outerHTML, editor.document());
        for (const td of clean.querySelectorAll('td')) {
            if (!td.firstChild)
                td.innerHTML = '<br>';
        }
        return clean.querySelector('table');
    }

    // The direct child of the body that holds `node`, or null when `node` is the body itself.
    function topBlock(node) {
        const b = editor.document().body;
        while (node && node.parentNode !== b)
            node = node.parentNode;
        return node;
    }

    function isEmptyBlock(node) {
        return node && node.nodeType === Node.ELEMENT_NODE && node.textContent === ''
            && !node.querySelector('img,table,hr');
    }

    function insertBlock(element) {
        const range = editor.insertionRange();
        range.deleteContents();
        const block = topBlock(range.startContainer);
        const b = editor.document().body;
        if (!block) {
            const before = b.childNodes[range.startOffset] || null;
            b.insertBefore(element, before);
        } else if (isEmptyBlock(block)) {
            b.replaceChild(element, block);
        } else {
            b.insertBefore(element, block.nextSibling);
        }
        let after = element.nextSibling;
        if (!after) {
            after = editor.document().createElement('p');
            after.appendChild(editor.document().createElement('br'));
            b.appendChild(after);
        }
        // The caret goes into a table's first cell, else to the block after the element.
        const caret = editor.document().createRange();
        const firstCell = element.nodeName === 'TABLE' ? element.querySelector('td,th') : null;
        caret.setStart(firstCell || after, 0);
        caret.collapse(true);
        const sel = editor.document().getSelection();
        sel.removeAllRanges();
        sel.addRange(caret);
        editor.contentChanged();
    }

    // ---- attachments ----------------------------------------------------------------------------

    function buildAttachment(picpath, storeValue, exdata) {
        const img = scratch.createElement('img');
        img.setAttribute('src', picpath);
        img.setAttribute('class', storeValue);
        img.setAttribute('zv_exdata', exdata);
        img.setAttribute('data-ke-src', picpath);
        img.setAttribute('zvimgsrc', picpath);
        const clean = Tavrik.sanitize.fragment(img.outerHTML, editor.document()).firstChild;
        if (!clean || clean.nodeName !== 'IMG' || clean.getAttribute('src') !== picpath)
            return null;
        return clean;
    }

    const TEXT_BLOCKS = /^(P|DIV|H[1-6]|LI|BLOCKQUOTE|PRE|TD|TH)$/;

    // A collapsed caret between two top-level blocks goes to the end of the block before it, so
    // inline content lands in a paragraph rather than beside it.
    function intoTextBlock(range) {
        if (!range.collapsed || range.startContainer !== editor.document().body)
            return;
        const before = editor.document().body.childNodes[range.startOffset - 1];
        if (!before || before.nodeType !== Node.ELEMENT_NODE || !TEXT_BLOCKS.test(before.nodeName))
            return;
        const last = before.lastChild;
        if (last && last.nodeName === 'BR') {
            range.setStartBefore(last);
        } else {
            range.selectNodeContents(before);
            range.collapse(false);
        }
    }

    // Inserts the attachment at the insertion point through the browser's own editing, so one
    // undo takes it out again and one redo puts it back.
    function insertInline(node) {
        const range = editor.insertionRange();
        intoTextBlock(range);
        const doc = editor.document();
        const sel = doc.getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
        if (!doc.execCommand('insertHTML', false, node.outerHTML)) {
            range.deleteContents();
            range.insertNode(node);
        }
        const caret = sel.rangeCount ? sel.getRangeAt(0) : null;
        const inserted = caret && caret.startContainer.childNodes[caret.startOffset - 1];
        const shown = inserted && inserted.nodeName === 'IMG' ? inserted : node.parentNode && node;
        if (shown)
            editor.placeCaretAfter(shown);
        editor.contentChanged();
    }

    function originalNameKey(exdataText) {
        try {
            const value = JSON.parse(exdataText);
            if (value && typeof value === 'object' && typeof value.OrigName_B64 === 'string')
                return value.OrigName_B64;
        } catch (e) {
            // not JSON: no original name
        }
        return null;
    }

    function decodeBase64Utf8(text) {
        try {
            const bytes = Uint8Array.from(atob(text), function (c) { return c.charCodeAt(0); });
            return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
        } catch (e) {
            return null;
        }
    }

    function fileOf(value) {
        const path = (value || '').replace(/\//g, '\\');
        return path.substring(path.lastIndexOf('\\') + 1);
    }

    function attachments() {
        return Array.from(editor.document().body.querySelectorAll('img[zv_exdata]'));
    }

    // Whether the attachment's store name, whole class value or original name equals the key.
    function matchesKey(img, key) {
        const classValue = img.getAttribute('class') || '';
        const nameKey = originalNameKey(img.getAttribute('zv_exdata'));
        const name = nameKey === null ? null : decodeBase64Utf8(nameKey);
        return classValue === key || fileOf(classValue) === key || (name !== null && name === key);
    }

    Tavrik.markup = {
        insertTable(colNum, rowNum, rows) {
            const table = buildTable(colNum, rowNum, rows);
            if (!table)
                return false;
            insertBlock(table);
            return true;
        },
        // Inserts one attachment element; false when the paths do not survive the sanitiser.
        insertAttachment(picpath, storeValue, exdata) {
            const img = buildAttachment(picpath, storeValue, exdata);
            if (!img)
                return false;
            insertInline(img);
            return true;
        },
        // Points every attachment with the given original name (its Base64 form) at a new
        // stored file and a new shown image; answers how many were changed.
        modifyAttachments(nameKey, classValue, srcValue) {
            let changed = 0;
            for (const img of attachments()) {
                if (originalNameKey(img.getAttribute('zv_exdata')) !== nameKey)
                    continue;
                img.setAttribute('class', classValue);
                img.setAttribute('src', srcValue);
                img.setAttribute('data-ke-src', srcValue);
                img.setAttribute('zvimgsrc', srcValue);
                ++changed;
            }
            return changed;
        },
        // Selects the first attachment whose store name, whole class value or original name
        // equals the key, and scrolls it into view.
        selectAttachment(key) {
            const img = attachments().find((candidate) => matchesKey(candidate, key));
            if (!img)
                return false;
            editor.selectNode(img);
            img.scrollIntoView({ block: 'center', inline: 'nearest' });
            return true;
        },
        // Removes the attachment the menu was opened on when it matches the key (else the
        // first that does) as an edit the user can undo; false when none matches.
        removeAttachment(key) {
            const remembered = editor.menuAttachment();
            const img = remembered && matchesKey(remembered, key)
                ? remembered : attachments().find((candidate) => matchesKey(candidate, key));
            if (!img)
                return false;
            editor.selectNode(img);
            if (!editor.document().execCommand('delete', false))
                img.remove();
            editor.contentChanged();
            return true;
        },
    };
})();
