// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Changing a table of the note: rows and columns in and out, merging a rectangle of cells and
// splitting a merged one, the header row, column widths. Every command works on the table
// around the caret only, on any table markup (row and column spans, sections, col elements),
// changes only the cells it must and is one undo step. New cells copy the attributes of the
// cell they are made beside, so widths and styles carry on.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});
    const editor = () => Tavrik.editor;

    // ---- the grid ------------------------------------------------------------------------

    // The table's slots: grid[row][column] is the cell covering it (null for a hole a short
    // row leaves). A row span of 0 reaches to the last row.
    function gridOf(table) {
        const rows = Array.from(table.rows);
        const grid = rows.map(() => []);
        rows.forEach(function (tr, r) {
            let c = 0;
            for (const cell of tr.cells) {
                while (grid[r][c])
                    ++c;
                const rowSpan = cell.rowSpan === 0 ? rows.length - r : Math.min(Math.max(cell.rowSpan, 1), rows.length - r);
                const colSpan = Math.max(cell.colSpan, 1);
                for (let i = 0; i < rowSpan; ++i) {
                    for (let j = 0; j < colSpan; ++j)
                        grid[r + i][c + j] = cell;
                }
                c += colSpan;
            }
        });
        const width = Math.max(0, ...grid.map((row) => row.length));
        for (const row of grid) {
            for (let c = 0; c < width; ++c)
                row[c] = row[c] || null;
        }
        return { rows: rows, grid: grid, width: width };
    }

    // Where the cell sits: its first row and column and the last ones it covers.
    function placeOf(g, cell) {
        for (let r = 0; r < g.grid.length; ++r) {
            const c = g.grid[r].indexOf(cell);
            if (c < 0)
                continue;
            let bottom = r;
            while (bottom + 1 < g.grid.length && g.grid[bottom + 1][c] === cell)
                ++bottom;
            let right = c;
            while (right + 1 < g.width && g.grid[r][right + 1] === cell)
                ++right;
            return { top: r, left: c, bottom: bottom, right: right };
        }
        return null;
    }

    function setSpan(cell, name, value) {
        if (value > 1)
            cell.setAttribute(name, String(value));
        else
            Tavrik.edits.removeAttribute(cell, name);
    }

    // The cell that goes in a row `r` of the grid before the first cell starting at or after
    // column `c` in that row; null to append.
    function cellAfter(g, r, c) {
        for (const cell of g.rows[r].cells) {
            const at = placeOf(g, cell);
            if (at && at.top === r && at.left >= c)
                return cell;
        }
        return null;
    }

    // An empty cell like `model`, without its spans (and its width when it spanned columns).
    function emptyCellLike(model, tag) {
        const doc = editor().document();
        const cell = doc.createElement(tag || model.tagName.toLowerCase());
        for (const attribute of model.attributes) {
            if (!/^(rowspan|colspan|id)$/i.test(attribute.name) && !(attribute.name === 'width' && model.colSpan > 1))
                cell.setAttribute(attribute.name, attribute.value);
        }
        if (tag === 'td')
            cell.removeAttribute('scope');
        cell.appendChild(doc.createElement('br'));
        return cell;
    }

    function cols(table) {
        return Array.from(table.querySelectorAll(':scope > colgroup > col, :scope > col'));
    }

    // The col element covering column `c`, with its own first column.
    function colAt(table, c) {
        let at = 0;
        for (const col of cols(table)) {
            const span = Math.max(1, parseInt(col.getAttribute('span') || '1', 10) || 1);
            if (c < at + span)
                return { col: col, first: at, span: span };
            at += span;
        }
        return null;
    }

    // ---- where the caret is ----------------------------------------------------------------

    function cellOf(node) {
        const b = editor().document().body;
        let element = node && node.nodeType !== Node.ELEMENT_NODE ? node.parentNode : node;
        const cell = element && element.closest ? element.closest('td,th') : null;
        return cell && b.contains(cell) ? cell : null;
    }

    function selectionRange() {
        const sel = editor().document().getSelection();
        return sel && sel.rangeCount ? sel.getRangeAt(0) : null;
    }

    // The cell holding the caret (the start of the selection).
    function currentCell() {
        const range = selectionRange();
        return range ? cellOf(range.startContainer) : null;
    }

    // The cells the selection runs between, when both are in one table.
    function selectedCorners() {
        const range = selectionRange();
        const first = range && cellOf(range.startContainer);
        let last = range && cellOf(range.endContainer);
        if (!first)
            return null;
        const table = first.closest('table');
        // A selection ending right at the start of a cell does not take that cell.
        if (last && last !== first && range.endOffset === 0 && last.closest('table') === table) {
            const g = gridOf(table);
            const at = placeOf(g, last);
            const before = at && (at.left > 0 ? g.grid[at.top][at.left - 1] : at.top > 0 ? g.grid[at.top - 1][g.width - 1] : null);
            if (before && !range.toString().endsWith(last.textContent))
                last = before;
        }
        if (!last || last.closest('table') !== table)
            last = first;
        return { table: table, first: first, last: last };
    }

    // The smallest rectangle of the grid holding both cells and every cell it touches whole.
    function rectangleOf(g, a, b) {
        const pa = placeOf(g, a);
        const pb = placeOf(g, b);
        const box = { top: Math.min(pa.top, pb.top), left: Math.min(pa.left, pb.left),
                      bottom: Math.max(pa.bottom, pb.bottom), right: Math.max(pa.right, pb.right) };
        for (let grown = true; grown;) {
            grown = false;
            for (let r = box.top; r <= box.bottom; ++r) {
                for (let c = box.left; c <= box.right; ++c) {
                    const cell = g.grid[r][c];
                    const p = cell && placeOf(g, cell);
                    if (!p)
                        continue;
                    if (p.top < box.top || p.left < box.left || p.bottom > box.bottom || p.right > box.right) {
                        box.top = Math.min(box.top, p.top);
                        box.left = Math.min(box.left, p.left);
                        box.bottom = Math.max(box.bottom, p.bottom);
                        box.right = Math.max(box.right, p.right);
                        grown = true;
                    }
                }
            }
        }
        return box;
    }

    function cellsIn(g, box) {
        const cells = [];
        for (let r = box.top; r <= box.bottom; ++r) {
            for (let c = box.left; c <= box.right; ++c) {
                const cell = g.grid[r][c];
                if (cell && !cells.includes(cell))
                    cells.push(cell);
            }
        }
        return cells;
    }

    function putCaretIn(cell) {
        const doc = editor().document();
        const range = doc.createRange();
        range.selectNodeContents(cell);
        range.collapse(true);
        const sel = doc.getSelection();
        sel.removeAllRanges();
        sel.addRange(range);
    }

    // ---- commands --------------------------------------------------------------------------

    // A new row before row `k` (k = the row count appends), its cells shaped like row `model`'s.
    function insertRow(table, k, model) {
        const g = gridOf(table);
        const doc = editor().document();
        const tr = doc.createElement('tr');
        const grown = new Set();
        let first = null;
        for (let c = 0; c < g.width;) {
            const above = k > 0 ? g.grid[k - 1][c] : null;
            const below = k < g.rows.length ? g.grid[k][c] : null;
            const source = g.grid[model][c];
            if (above && above === below) {
                if (!grown.has(above)) {
                    grown.add(above);
                    above.rowSpan = placeOf(g, above).bottom - placeOf(g, above).top + 2;
                }
                c = placeOf(g, above).right + 1;
                continue;
            }
            if (!source) {
                tr.appendChild(emptyCellLike(doc.createElement('td')));
                ++c;
                continue;
            }
            const p = placeOf(g, source);
            const span = p.right - Math.max(c, p.left) + 1;
            const headerBelow = source.tagName === 'TH' && k > model;
            const cell = emptyCellLike(source, headerBelow ? 'td' : null);
            setSpan(cell, 'colspan', span);
            tr.appendChild(cell);
            first = first || cell;
            c += span;
        }
        const before = g.rows[k];
        if (before)
            before.before(tr);
        else
            g.rows[g.rows.length - 1].after(tr);
        return first || tr.cells[0] || null;
    }

    // A new column before column `k`, its cells shaped like those of column `model`.
    function insertColumn(table, k, model) {
        const g = gridOf(table);
        const grown = new Set();
        for (let r = 0; r < g.rows.length; ++r) {
            const left = k > 0 ? g.grid[r][k - 1] : null;
            const right = k < g.width ? g.grid[r][k] : null;
            if (left && left === right) {
                if (!grown.has(left)) {
                    grown.add(left);
                    left.colSpan = placeOf(g, left).right - placeOf(g, left).left + 2;
                }
                continue;
            }
            const source = g.grid[r][model];
            const cell = emptyCellLike(source || editor().document().createElement('td'));
            g.rows[r].insertBefore(cell, cellAfter(g, r, k));
        }
        const col = colAt(table, model);
        if (col) {
            if (col.span > 1)
                col.col.setAttribute('span', String(col.span + 1));
            else if (k > model)
                col.col.after(col.col.cloneNode(false));
            else
                col.col.before(col.col.cloneNode(false));
        }
    }

    // Removes rows `top`..`bottom`; cells reaching into other rows get shorter, and one that
    // starts in them moves down to the first row left.
    function deleteRows(table, top, bottom) {
        const g = gridOf(table);
        const count = bottom - top + 1;
        if (count >= g.rows.length) {
            deleteTable(table);
            return null;
        }
        const seen = new Set();
        for (let r = top; r <= bottom; ++r) {
            for (let c = 0; c < g.width; ++c) {
                const cell = g.grid[r][c];
                if (!cell || seen.has(cell))
                    continue;
                seen.add(cell);
                const p = placeOf(g, cell);
                const kept = (p.bottom - p.top + 1) - (Math.min(p.bottom, bottom) - Math.max(p.top, top) + 1);
                if (kept <= 0)
                    continue;
                if (p.top >= top) {
                    // starts in the rows going: moves to the first row after them
                    g.rows[bottom + 1].insertBefore(cell, cellAfter(g, bottom + 1, p.left));
                }
                setSpan(cell, 'rowspan', kept);
            }
        }
        for (let r = top; r <= bottom; ++r)
            g.rows[r].remove();
        const rest = gridOf(table);
        const row = Math.min(top, rest.rows.length - 1);
        return rest.grid[row].find((cell) => cell) || null;
    }

    // Removes columns `left`..`right`; cells reaching into other columns get narrower.
    function deleteColumns(table, left, right) {
        const g = gridOf(table);
        if (right - left + 1 >= g.width) {
            deleteTable(table);
            return null;
        }
        const seen = new Set();
        for (let r = 0; r < g.rows.length; ++r) {
            for (let c = left; c <= right; ++c) {
                const cell = g.grid[r][c];
                if (!cell || seen.has(cell))
                    continue;
                seen.add(cell);
                const p = placeOf(g, cell);
                const kept = (p.right - p.left + 1) - (Math.min(p.right, right) - Math.max(p.left, left) + 1);
                if (kept <= 0)
                    cell.remove();
                else
                    setSpan(cell, 'colspan', kept);
            }
        }
        for (let c = right; c >= left; --c) {
            const col = colAt(table, c);
            if (!col)
                continue;
            if (col.span > 1)
                setSpan(col.col, 'span', col.span - 1);
            else
                col.col.remove();
        }
        for (const group of table.querySelectorAll(':scope > colgroup:empty'))
            group.remove();
        const rest = gridOf(table);
        return rest.grid[0][Math.min(left, rest.width - 1)];
    }

    function deleteTable(table) {
        const doc = editor().document();
        let after = table.nextElementSibling;
        if (!after) {
            after = doc.createElement('p');
            after.appendChild(doc.createElement('br'));
            table.after(after);
        }
        table.remove();
        return after;
    }

    function isEmptyCell(cell) {
        return !cell.textContent.trim() && !cell.querySelector('img,table,hr,input');
    }

    // Merges the rectangle of cells into its top-left one: the others' content follows its
    // own, a row left without cells goes and the cells over it get shorter.
    function mergeCells(table, box) {
        let g = gridOf(table);
        const cells = cellsIn(g, box);
        const target = g.grid[box.top][box.left];
        const doc = editor().document();
        for (const cell of cells) {
            if (cell === target)
                continue;
            if (!isEmptyCell(cell)) {
                if (isEmptyCell(target)) {
                    while (target.firstChild)
                        target.firstChild.remove();
                } else if (target.lastChild && target.lastChild.nodeName !== 'BR') {
                    target.appendChild(doc.createElement('br'));
                }
                while (cell.firstChild)
                    target.appendChild(cell.firstChild);
            }
            cell.remove();
        }
        setSpan(target, 'rowspan', box.bottom - box.top + 1);
        setSpan(target, 'colspan', box.right - box.left + 1);
        if (target.colSpan > 1)
            Tavrik.edits.removeAttribute(target, 'width');
        // Rows that hold no cell of their own any more fold into the rows above them.
        for (let r = box.bottom; r > box.top; --r) {
            g = gridOf(table);
            if (g.rows[r].cells.length)
                continue;
            for (const cell of new Set(g.grid[r].filter(Boolean)))
                setSpan(cell, 'rowspan', Math.max(1, (placeOf(g, cell).bottom - placeOf(g, cell).top)));
            g.rows[r].remove();
        }
        return target;
    }

    // Gives each slot of a merged cell a cell of its own; the content stays in the first.
    function splitCell(table, cell) {
        const g = gridOf(table);
        const p = placeOf(g, cell);
        for (let r = p.top; r <= p.bottom; ++r) {
            const before = r === p.top ? cell.nextSibling : cellAfter(g, r, p.right + 1);
            for (let c = r === p.top ? p.left + 1 : p.left; c <= p.right; ++c)
                g.rows[r].insertBefore(emptyCellLike(cell), before);
        }
        if (cell.colSpan > 1)
            Tavrik.edits.removeAttribute(cell, 'width');
        Tavrik.edits.removeAttribute(cell, 'rowspan');
        Tavrik.edits.removeAttribute(cell, 'colspan');
        return cell;
    }

    // A cell of the other kind in place of `cell`, with its attributes and content. It goes
    // into the note before the content moves, so an undone step can be made again whole.
    function renameCell(cell, tag) {
        const renamed = editor().document().createElement(tag);
        for (const attribute of cell.attributes) {
            if (attribute.name !== 'scope')
                renamed.setAttribute(attribute.name, attribute.value);
        }
        if (tag === 'th')
            renamed.setAttribute('scope', 'col');
        cell.before(renamed);
        while (cell.firstChild)
            renamed.appendChild(cell.firstChild);
        cell.remove();
        return renamed;
    }

    function isHeaderRow(table) {
        const row = table.rows[0];
        return !!row && row.cells.length > 0 && Array.from(row.cells).every((cell) => cell.tagName === 'TH');
    }

    // The first row's cells become headers in a thead of their own, or plain cells again at
    // the start of the table's body when they all are headers.
    function toggleHeaderRow(table) {
        const row = table.rows[0];
        const header = isHeaderRow(table);
        const here = currentCell();
        let caret = null;
        for (const cell of Array.from(row.cells)) {
            const renamed = renameCell(cell, header ? 'td' : 'th');
            if (cell === here)
                caret = renamed;
        }
        if (header)
            leaveHead(table, row);
        else
            enterHead(table, row);
        return caret || here;
    }

    function enterHead(table, row) {
        const section = row.parentElement;
        if (section.tagName === 'THEAD')
            return;
        const head = table.tHead || editor().document().createElement('thead');
        if (!head.parentNode)
            table.insertBefore(head, section === table ? row : section);
        head.appendChild(row);
        if (section.tagName === 'TBODY' && !section.rows.length)
            section.remove();
    }

    // A head holding other rows keeps the row, so that the rows stay in their order.
    function leaveHead(table, row) {
        const head = row.parentElement;
        if (head.tagName !== 'THEAD' || head.rows.length > 1)
            return;
        let body = table.tBodies[0];
        if (!body) {
            body = editor().document().createElement('tbody');
            head.after(body);
        }
        body.insertBefore(row, body.firstChild);
        head.remove();
    }

    // Sets the width of column `c` in pixels: on its col element when it has one, else on
    // each cell that starts in it alone (in the cell's style when that already sets a width).
    function setColumnWidth(table, c, width) {
        const value = String(Math.max(16, Math.round(width)));
        const col = colAt(table, c);
        if (col && col.span === 1) {
            if (col.col.style.width)
                col.col.style.width = value + 'px';
            else
                col.col.setAttribute('width', value);
            return;
        }
        const g = gridOf(table);
        for (let r = 0; r < g.rows.length; ++r) {
            const cell = g.grid[r][c];
            if (!cell || cell.colSpan > 1)
                continue;
            const p = placeOf(g, cell);
            if (p.top !== r)
                continue;
            if (cell.style.width)
                cell.style.width = value + 'px';
            else
                cell.setAttribute('width', value);
        }
    }

    // ---- running a command -----------------------------------------------------------------

    // Runs `change(table, grid, place)` for the cell at the caret as one undo step, the caret
    // going to the cell it gives. False when the caret is in no table or the note is read-only.
    function run(change) {
        const cell = currentCell();
        if (!cell || editor().isReadOnly())
            return false;
        const table = cell.closest('table');
        const g = gridOf(table);
        const place = placeOf(g, cell);
        if (!place)
            return false;
        let caret = null;
        const done = Tavrik.edits.record(function () {
            caret = change(table, g, place);
            return caret !== false;
        }, function () {
            if (caret && caret.isConnected)
                putCaretIn(caret);
        });
        if (caret && caret.isConnected)
            putCaretIn(caret);
        return done;
    }

    const COMMANDS = {
        rowAbove: (table, g, p) => keep(g, p, insertRow(table, p.top, p.top)),
        rowBelow: (table, g, p) => keep(g, p, insertRow(table, p.bottom + 1, p.bottom)),
        columnLeft: (table, g, p) => keep(g, p, insertColumn(table, p.left, p.left)),
        columnRight: (table, g, p) => keep(g, p, insertColumn(table, p.right + 1, p.right)),
        deleteRow: (table, g, p) => deleteRows(table, p.top, p.bottom),
        deleteColumn: (table, g, p) => deleteColumns(table, p.left, p.right),
        deleteTable: (table) => deleteTable(table),
        splitCell: (table, g, p) => (p.bottom > p.top || p.right > p.left ? splitCell(table, g.grid[p.top][p.left]) : false),
        headerRow: (table) => toggleHeaderRow(table),
        narrowerColumn: (table, g, p) => widenBy(table, g, p, -0.2),
        widerColumn: (table, g, p) => widenBy(table, g, p, 0.2),
    };

    // Inserting keeps the caret in its cell.
    function keep(g, p) {
        return g.grid[p.top][p.left];
    }

    function widenBy(table, g, p, share) {
        const cell = g.grid[p.top][p.left];
        setColumnWidth(table, p.left, cell.getBoundingClientRect().width * (1 + share));
        return cell;
    }

    // The rectangle a merge would take: null when the selection spans less than two cells.
    function mergeBox() {
        const corners = selectedCorners();
        if (!corners || corners.first === corners.last)
            return null;
        const g = gridOf(corners.table);
        const box = rectangleOf(g, corners.first, corners.last);
        return { table: corners.table, box: box };
    }

    function merge() {
        const target = mergeBox();
        if (!target || editor().isReadOnly())
            return false;
        let caret = null;
        Tavrik.edits.record(function () {
            caret = mergeCells(target.table, target.box);
        }, function () {
            if (caret.isConnected)
                putCaretIn(caret);
        });
        putCaretIn(caret);
        return true;
    }

    // ---- dragging a column border ----------------------------------------------------------

    const GRIP = 4; // pixels either side of a cell's right border that take the drag

    function borderAt(event) {
        const target = event.target;
        const cell = target && target.closest ? target.closest('td,th') : null;
        if (!cell || editor().isReadOnly())
            return null;
        const rect = cell.getBoundingClientRect();
        if (Math.abs(event.clientX - rect.right) > GRIP)
            return null;
        const table = cell.closest('table');
        const g = gridOf(table);
        const p = placeOf(g, cell);
        return p ? { table: table, column: p.right, left: g.grid[p.top][p.right] } : null;
    }

    let drag = null;

    function columnCells(table, c) {
        const g = gridOf(table);
        const cells = [];
        for (let r = 0; r < g.rows.length; ++r) {
            const cell = g.grid[r][c];
            if (cell && cell.colSpan === 1 && !cells.includes(cell))
                cells.push(cell);
        }
        return cells;
    }

    function onMouseDown(event) {
        const border = event.button === 0 ? borderAt(event) : null;
        if (!border)
            return;
        event.preventDefault();
        const cells = columnCells(border.table, border.column);
        const col = colAt(border.table, border.column);
        const watched = (col ? [col.col] : []).concat(cells);
        drag = {
            table: border.table,
            column: border.column,
            startX: event.clientX,
            startWidth: (cells[0] || border.left).getBoundingClientRect().width,
            before: watched.map((node) => [node, node.getAttribute('width'), node.getAttribute('style')]),
        };
    }

    function onMouseMove(event) {
        const doc = editor().document();
        if (!drag) {
            // The root's own cursor: no style rule of the note is matched again for it.
            const cursor = borderAt(event) ? 'col-resize' : '';
            if (doc.documentElement.style.cursor !== cursor)
                doc.documentElement.style.cursor = cursor;
            return;
        }
        setColumnWidth(drag.table, drag.column, drag.startWidth + event.clientX - drag.startX);
    }

    // The drag is one undo step from the widths it started with.
    function onMouseUp() {
        if (!drag)
            return;
        const before = drag.before;
        drag = null;
        Tavrik.edits.recordAttributes(before.map(([node, width, style]) => [node, { width: width, style: style }]));
    }

    function wire(doc) {
        doc.addEventListener('mousedown', onMouseDown, true);
        doc.addEventListener('mousemove', onMouseMove);
        doc.addEventListener('mouseup', onMouseUp);
    }

    editor().onFrame(wire);

    Tavrik.tables = {
        // The table around the caret, or null.
        current() {
            const cell = currentCell();
            return cell ? cell.closest('table') : null;
        },
        // What the table bar offers for the selection now.
        state() {
            const cell = currentCell();
            if (!cell)
                return null;
            const table = cell.closest('table');
            return {
                table: table,
                canMerge: !!mergeBox(),
                canSplit: cell.rowSpan > 1 || cell.colSpan > 1,
                headerRow: isHeaderRow(table),
            };
        },
        // The names of the commands that can run at the caret now.
        available() {
            const state = this.state();
            if (!state)
                return [];
            return Object.keys(COMMANDS).concat('mergeCells').filter((name) => (name !== 'mergeCells' || state.canMerge)
                && (name !== 'splitCell' || state.canSplit));
        },
        // Runs a table command by name; false when it does nothing here.
        exec(name) {
            if (name === 'mergeCells')
                return merge();
            const change = COMMANDS[name];
            return change ? run(change) : false;
        },
        // Tab and Shift+Tab: to the next or previous cell of the table (a new row after the
        // last), Tab selecting the cell's content, Shift+Tab putting the caret at its start.
        moveFromCell(cell, back) {
            const table = cell.closest('table');
            const cells = Array.from(table.querySelectorAll('td,th')).filter((c) => c.closest('table') === table);
            let next = cells[cells.indexOf(cell) + (back ? -1 : 1)];
            if (!next && !back) {
                const g = gridOf(table);
                next = Tavrik.edits.record(() => insertRow(table, g.rows.length, g.rows.length - 1));
            }
            if (!next)
                return;
            if (back) {
                putCaretIn(next);
                return;
            }
            const range = editor().document().createRange();
            range.selectNodeContents(next);
            const sel = editor().document().getSelection();
            sel.removeAllRanges();
            sel.addRange(range);
        },
        gridOf: gridOf,
    };
})();
