// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Markdown both ways. turndown writes the selection or a whole note as Markdown, with rules of
// our own for checklists ("- [ ] ", "- [x] "), code blocks (fenced, with their language), tables
// (pipe tables; a table with merged cells stays HTML) and attachments (pictures as images, file
// cards as linked images). markdown-it reads Markdown (raw HTML in it stays text) into HTML that
// goes into the note as a paste does, sanitised. Plain text pasted without HTML that is clearly
// Markdown is converted by itself; the first Ctrl+Z afterwards gives the text as it was.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});
    const editor = () => Tavrik.editor;

    let turndownService = null;
    let markdownReader = null;

    // ---- the note as Markdown -------------------------------------------------------------

    function trimNewlines(text) {
        return text.replace(/^\n+/, '').replace(/\n+$/, '');
    }

    // The original name an attachment's zv_exdata carries (UTF-8, else GB18030 bytes); empty
    // when it cannot be read.
    function originalName(image) {
        try {
            const bytes = Uint8Array.from(atob(JSON.parse(image.getAttribute('zv_exdata')).OrigName_B64),
                                          (c) => c.charCodeAt(0));
            try {
                return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
            } catch (e) {
                return new TextDecoder('gb18030').decode(bytes);
            }
        } catch (e) {
            return '';
        }
    }

    function filePart(value) {
        const path = (value || '').replace(/\//g, '\\');
        return path.slice(path.lastIndexOf('\\') + 1);
    }

    const PICTURE = /\.(jpe?g|gif|bmp|png)$/i;

    function label(text) {
        return text.replace(/([\\[\]])/g, '\\$1');
    }

    // A link target Markdown reads whole: parentheses and blanks written as %-escapes.
    function target(address) {
        return address.replace(/[()\s]/g, (c) => '%' + c.charCodeAt(0).toString(16).toUpperCase().padStart(2, '0'));
    }

    const asTheyAre = (address) => address;
    // What an attachment's addresses become: as they are for an exported note (its files
    // beside it), addresses in the store for a copy.
    let resolve = asTheyAre;

    // A picture as an image; a file card as its card's image linked to the file, unless it is
    // in a link already.
    function attachmentMarkdown(image) {
        const name = originalName(image) || filePart(image.getAttribute('class'));
        const picture = '![' + label(name) + '](' + target(resolve(image.getAttribute('src') || '')) + ')';
        if (PICTURE.test(name) || (image.parentNode && image.parentNode.nodeName === 'A'))
            return picture;
        return '[' + picture + '](' + target(resolve(image.getAttribute('class') || '')) + ')';
    }

    function codeText(pre) {
        const copy = pre.cloneNode(true);
        for (const br of copy.querySelectorAll('br'))
            br.replaceWith('\n');
        return copy.textContent.replace(/\n$/, '');
    }

    function languageOf(pre) {
        const holder = pre.firstElementChild && pre.firstElementChild.nodeName === 'CODE' ? pre.firstElementChild : null;
        for (const element of holder ? [pre, holder] : [pre]) {
            const found = /(?:^|\s)language-([\w+#-]+)/.exec(element.getAttribute('class') || '');
            if (found)
                return found[1];
        }
        return '';
    }

    function fenced(pre) {
        const code = codeText(pre);
        let size = 3;
        for (const run of code.match(/^`{3,}/gm) || [])
            size = Math.max(size, run.length + 1);
        const fence = '`'.repeat(size);
        return '\n\n' + fence + languageOf(pre) + '\n' + code + '\n' + fence + '\n\n';
    }

    function listItem(content, item) {
        const list = item.parentNode;
        let prefix = '- ';
        let indent = 2;
        if (list && list.nodeName === 'OL') {
            const start = Number(list.getAttribute('start')) || 1;
            prefix = start + Array.prototype.indexOf.call(list.children, item) + '. ';
            indent = prefix.length;
        } else if (list && list.nodeName === 'UL' && list.classList.contains('checklist')) {
            prefix = item.getAttribute('data-checked') === 'true' ? '- [x] ' : '- [ ] ';
        }
        const paragraph = /\n$/.test(content);
        content = trimNewlines(content) + (paragraph ? '\n' : '');
        content = content.replace(/\n/gm, '\n' + ' '.repeat(indent));
        return prefix + content + (item.nextSibling ? '\n' : '');
    }

    function hasMergedCells(table) {
        return Array.from(table.querySelectorAll('td,th')).some((cell) => cell.rowSpan > 1 || cell.colSpan > 1);
    }

    function cellMarkdown(cell) {
        const text = turndown().turndown(cell.innerHTML).trim();
        return text.replace(/\|/g, '\\|').replace(/\n+/g, '<br>');
    }

    // A pipe table: its first row heads it, as Markdown tables need a head.
    function pipeTable(table) {
        const rows = Array.from(table.rows, (row) => Array.from(row.cells, cellMarkdown));
        if (!rows.length)
            return '';
        const width = Math.max(...rows.map((row) => row.length));
        const line = (cells) => '| ' + Array.from({ length: width }, (_, i) => cells[i] || '').join(' | ') + ' |';
        const lines = [line(rows[0]), line(new Array(width).fill('---'))].concat(rows.slice(1).map(line));
        return '\n\n' + lines.join('\n') + '\n\n';
    }

    function turndown() {
        if (turndownService)
            return turndownService;
        const Service = window.tavrikMarkdownLibraries().TurndownService;
        const service = new Service({ headingStyle: 'atx', hr: '---', bulletListMarker: '-',
                                      codeBlockStyle: 'fenced', emDelimiter: '_', br: '\\' });
        service.addRule('attachment', {
            filter: (node) => node.nodeName === 'IMG' && node.hasAttribute('zv_exdata'),
            replacement: (content, node) => attachmentMarkdown(node),
        });
        service.addRule('codeBlock', { filter: 'pre', replacement: (content, node) => fenced(node) });
        service.addRule('listItem', { filter: 'li', replacement: listItem });
        service.addRule('table', {
            filter: 'table',
            replacement: (content, node) => (hasMergedCells(node) ? '\n\n' + node.outerHTML + '\n\n' : pipeTable(node)),
        });
        service.addRule('strikethrough', { filter: ['s', 'strike', 'del'], replacement: (content) => '~~' + content + '~~' });
        // A line break that ends its block breaks nothing.
        service.addRule('lastBreak', { filter: (node) => node.nodeName === 'BR' && !node.nextSibling, replacement: () => '' });
        turndownService = service;
        return service;
    }

    // The note's markup `html` as Markdown, its addresses as they are.
    function fromHtml(html) {
        return turndown().turndown(html || '');
    }

    const SELECTION_HOLDERS = /^(UL|OL|TABLE|THEAD|TBODY|TFOOT|TR)$/;

    // The selection's markup whole: items of one list keep their list, cells their table, code
    // its block.
    function selectedFragment(range) {
        let holder = range.commonAncestorContainer;
        if (holder.nodeType !== Node.ELEMENT_NODE)
            holder = holder.parentNode;
        let content = range.cloneContents();
        const pre = holder.closest('pre');
        const chain = [];
        if (pre) {
            chain.push(pre);
        } else if (SELECTION_HOLDERS.test(holder.nodeName)) {
            for (let node = holder; node && SELECTION_HOLDERS.test(node.nodeName); node = node.parentNode)
                chain.push(node);
        }
        for (const node of chain) {
            const shell = node.cloneNode(false);
            shell.appendChild(content);
            content = shell;
        }
        const box = range.startContainer.ownerDocument.createElement('div');
        box.appendChild(content);
        return box;
    }

    // The selection in the note as Markdown, attachments addressed as files in `store` (the
    // store folder's address, ending in "/"); empty without a selection.
    function selection(store) {
        const sel = editor().document().getSelection();
        if (!sel || !sel.rangeCount || sel.isCollapsed || !editor().selectionInNote())
            return '';
        resolve = (address) => store + encodeURIComponent(filePart(address));
        try {
            return turndown().turndown(selectedFragment(sel.getRangeAt(0)));
        } finally {
            resolve = asTheyAre;
        }
    }

    // ---- Markdown into the note ---------------------------------------------------------------

    function escapeHtml(text) {
        return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
    }

    function codeBlockHtml(content, info) {
        const language = /^[\w+#-]+/.exec((info || '').trim());
        return '<pre' + (language ? ' class="language-' + language[0] + '"' : '') + '>'
            + escapeHtml(content.replace(/\n$/, '')) + '</pre>\n';
    }

    function reader() {
        if (markdownReader)
            return markdownReader;
        const md = window.tavrikMarkdownLibraries().markdownit({ html: false });
        // Code blocks as the note writes them: a <pre> naming its language.
        md.renderer.rules.fence = (tokens, i) => codeBlockHtml(tokens[i].content, tokens[i].info);
        md.renderer.rules.code_block = (tokens, i) => codeBlockHtml(tokens[i].content, '');
        markdownReader = md;
        return md;
    }

    const TASK = /^\[([ xX])\][ \u00a0]/;

    function firstText(node) {
        const walker = node.ownerDocument.createTreeWalker(node, NodeFilter.SHOW_TEXT);
        return walker.nextNode();
    }

    // A list whose every item starts with "[ ] " or "[x] " becomes a checklist.
    function makeChecklists(root) {
        for (const list of root.querySelectorAll('ul')) {
            const items = Array.from(list.children);
            const texts = items.map(firstText);
            if (!items.length || !texts.every((text, i) => text && TASK.test(text.data) && text.parentNode.closest('li') === items[i]))
                continue;
            list.className = 'checklist';
            items.forEach(function (item, i) {
                item.setAttribute('data-checked', TASK.exec(texts[i].data)[1] === ' ' ? 'false' : 'true');
                texts[i].deleteData(0, 4);
            });
        }
    }

    const BLOCK = /^(P|UL|OL|LI|TABLE|THEAD|TBODY|TR|PRE|BLOCKQUOTE|HR|H[1-6])$/;

    // The line breaks markdown-it writes between blocks are no text of the note.
    function dropBlockBreaks(root) {
        const walker = root.ownerDocument.createTreeWalker(root, NodeFilter.SHOW_TEXT);
        const texts = [];
        for (let node = walker.nextNode(); node; node = walker.nextNode())
            texts.push(node);
        for (const text of texts) {
            if (text.parentNode.closest('pre'))
                continue;
            const next = text.nextSibling;
            const previous = text.previousSibling;
            if (!/\S/.test(text.data) && text.data.includes('\n'))
                text.remove();
            else if (next && BLOCK.test(next.nodeName))
                text.data = text.data.replace(/\n+$/, '');
            else if (!next && previous && BLOCK.test(previous.nodeName))
                text.data = text.data.replace(/^\n+/, '');
        }
    }

    // Markdown as the note's markup (not yet sanitised).
    function toHtml(text) {
        const holder = document.implementation.createHTMLDocument('').createElement('div');
        holder.innerHTML = reader().render(text);
        dropBlockBreaks(holder);
        makeChecklists(holder);
        for (const cell of holder.querySelectorAll('thead th'))
            cell.setAttribute('scope', 'col');
        return holder.innerHTML.trim();
    }

    // Takes back the last Markdown converted by itself, putting the text in as it came; null
    // once anything else happened.
    let takeBack = null;
    let running = false;

    function paste(text) {
        return editor().insertOutsideContent(toHtml(text), '');
    }

    // Markdown of a line at a time: a heading ("# " to "###### " and text), a fenced code block
    // (a line of three or more backticks or tildes, a language name allowed, closed by a later
    // line of the same mark), or two lines in a row of a list ("- ", "* ", "+ ", "1. ", "1) "
    // and text, indenting allowed).
    const HEADING = /^#{1,6} +\S/;
    const FENCE_OPEN = /^(`{3,}|~{3,})[\w+#-]*[ \t]*$/;
    const LIST_LINE = /^[ \t]*(?:[-*+]|\d{1,9}[.)]) +\S/;

    function isMarkdown(text) {
        const lines = String(text || '').split(/\r\n|\r|\n/);
        for (let i = 0; i < lines.length; ++i) {
            if (HEADING.test(lines[i]))
                return true;
            if (LIST_LINE.test(lines[i]) && i + 1 < lines.length && LIST_LINE.test(lines[i + 1]))
                return true;
            const fence = FENCE_OPEN.exec(lines[i]);
            if (fence && lines.slice(i + 1).some((line) => new RegExp('^' + fence[1][0] + '{' + fence[1].length + ',}[ \\t]*$').test(line)))
                return true;
        }
        return false;
    }

    // Pasted text without HTML: converted when it is Markdown and the caret is not in code.
    // False leaves the paste as it is.
    function pasteIfMarkdown(text) {
        if (!isMarkdown(text) || editor().enclosing('pre,code'))
            return false;
        running = true;
        let done;
        try {
            done = paste(text);
        } finally {
            running = false;
        }
        takeBack = done ? text : null;
        return true;
    }

    function undo() {
        const text = takeBack;
        if (text === null)
            return false;
        takeBack = null;
        running = true;
        try {
            editor().exec('undo');
            editor().insertOutsideContent('', text);
        } finally {
            running = false;
        }
        return true;
    }

    editor().onFrame(function (doc) {
        takeBack = null;
        doc.addEventListener('input', function () {
            if (!running)
                takeBack = null;
        });
        doc.addEventListener('keydown', function (event) {
            const plain = event.ctrlKey && !event.shiftKey && !event.altKey && !event.metaKey;
            if (!event.defaultPrevented && plain && event.key.toLowerCase() === 'z' && takeBack !== null) {
                event.preventDefault();
                undo();
            }
        });
    });

    Tavrik.markdown = {
        fromHtml: fromHtml,
        selection: selection,
        toHtml: toHtml,
        isMarkdown: isMarkdown,
        // Markdown pasted as such (the editor's menu): false when nothing went in.
        paste: paste,
        pasteIfMarkdown: pasteIfMarkdown,
        undo: undo,
    };
})();
