// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Undo and redo of the page's own edits (table, picture and replace commands, ticks), which change
// the note's nodes directly rather than through the browser's editing. An edit is recorded as
// the mutations it made and undone by putting them back in reverse, on the same nodes, so
// the markup comes back exactly and nothing else in the note is touched. The newest such edit
// is undone first; once the user edits the note in any other way, the browser's own history
// is newer and takes Ctrl+Z again.
//
// Colourings (a code block highlighted anew) lie between the browser's own steps: the typing
// after one edits its nodes, the typing before it edited the nodes it replaced. A colouring is
// taken back just before the browser undoes the step below it, once the block is again exactly
// as the colouring left it (the same nodes, the same markup), and made again just after the
// browser redoes that step; so each of the browser's steps finds its own nodes and Ctrl+Z puts
// back what was typed. A colouring of its own (a language chosen) is a step of its own.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});

    const done = [];
    const undone = [];
    // Colourings in the order made, and those taken back by undo, newest last.
    const colourings = [];
    const uncoloured = [];
    // The most colourings kept: the browser's history reaches no further back in practice.
    const MAX_COLOURINGS = 200;
    // Orders the page's edits and colourings of their own.
    let clock = 0;
    // While an edit runs: its observer, the records taken from it so far, and for the elements
    // it took an attribute off, their attributes in order before the edit.
    let running = null;

    function attributesOf(element) {
        return Array.from(element.attributes, (a) => [a.name, a.value]);
    }

    // The element's attributes as they were when the running edit began: the edit has only
    // set attributes of it so far (every removal comes here first).
    function listBefore(element) {
        running.records.push(...running.observer.takeRecords());
        const list = attributesOf(element);
        for (let i = running.records.length - 1; i >= 0; --i) {
            const r = running.records[i];
            if (r.type !== 'attributes' || r.target !== element)
                continue;
            const at = list.findIndex(([name]) => name === r.attributeName);
            if (r.oldValue === null && at >= 0)
                list.splice(at, 1);
            else if (r.oldValue !== null && at >= 0)
                list[at][1] = r.oldValue;
            else if (r.oldValue !== null)
                list.push([r.attributeName, r.oldValue]);
        }
        return list;
    }

    // Gives the element exactly these attributes in this order.
    function setAttributes(element, list) {
        for (const name of element.getAttributeNames())
            element.removeAttribute(name);
        for (const [name, value] of list)
            element.setAttribute(name, value);
    }

    // The mutations `change` makes below `root`, each with the value it set, so that they can
    // be put back and made again.
    function capture(root, change) {
        const observer = new MutationObserver(function () {});
        observer.observe(root, { subtree: true, childList: true, attributes: true, attributeOldValue: true,
                                 characterData: true, characterDataOldValue: true });
        let result;
        const run = (running = { observer: observer, records: [], orders: new Map() });
        try {
            result = change();
        } finally {
            run.records.push(...observer.takeRecords());
            observer.disconnect();
            running = null;
        }
        const records = run.records;
        const later = new Map(); // node -> { attribute or '#text' -> value set later }
        const steps = [];
        for (let i = records.length - 1; i >= 0; --i) {
            const r = records[i];
            const step = { type: r.type, target: r.target, name: r.attributeName, oldValue: r.oldValue,
                           added: Array.from(r.addedNodes), removed: Array.from(r.removedNodes),
                           next: r.nextSibling };
            if (r.type !== 'childList') {
                const key = r.type === 'attributes' ? r.attributeName : '#text';
                const values = later.get(r.target) || new Map();
                later.set(r.target, values);
                step.newValue = values.has(key) ? values.get(key)
                    : key === '#text' ? r.target.data : r.target.getAttribute(key);
                values.set(key, r.oldValue);
            }
            steps.push(step);
        }
        steps.reverse();
        // An attribute taken away and put back would come last: these elements get their
        // whole lists back in order.
        const lists = Array.from(run.orders, ([element, before]) => ({ element: element, before: before, after: attributesOf(element) }));
        return { steps: steps, lists: lists, result: result };
    }

    function setValue(step, value) {
        if (step.type === 'characterData')
            step.target.data = value;
        else if (value === null)
            step.target.removeAttribute(step.name);
        else
            step.target.setAttribute(step.name, value);
    }

    function place(step, nodes) {
        const before = step.next && step.next.parentNode === step.target ? step.next : null;
        for (const node of nodes)
            step.target.insertBefore(node, before);
    }

    // Puts the steps back (`undo`) or makes them again, in the order that needs.
    function apply(entry, undo) {
        const steps = undo ? entry.steps.slice().reverse() : entry.steps;
        for (const step of steps) {
            if (step.type !== 'childList') {
                setValue(step, undo ? step.oldValue : step.newValue);
                continue;
            }
            for (const node of undo ? step.added : step.removed)
                node.remove();
            place(step, undo ? step.removed : step.added);
        }
        for (const list of entry.lists)
            setAttributes(list.element, undo ? list.before : list.after);
    }

    function push(steps, lists, caret) {
        done.push({ steps: steps, lists: lists, caret: caret, at: ++clock });
        undone.length = 0;
        uncoloured.length = 0;
        Tavrik.editor.contentChanged();
    }

    function move(from, to, undo) {
        const entry = from.pop();
        if (!entry)
            return false;
        apply(entry, undo);
        to.push(entry);
        if (entry.caret)
            entry.caret();
        Tavrik.editor.contentChanged();
        return true;
    }

    // The nodes below `root` in document order and its markup: a state of a colouring's block.
    function stateOf(root) {
        const nodes = [];
        const walker = root.ownerDocument.createTreeWalker(root, NodeFilter.SHOW_ALL);
        for (let node = walker.nextNode(); node; node = walker.nextNode())
            nodes.push(node);
        return { html: root.innerHTML, nodes: nodes };
    }

    function isIn(root, state) {
        if (!root.isConnected || root.innerHTML !== state.html)
            return false;
        const now = stateOf(root).nodes;
        return now.length === state.nodes.length && now.every((node, i) => node === state.nodes[i]);
    }

    // The newest colouring of `list` when its block is in `state` ('before' or 'after' it) and
    // it is (not) a step of its own.
    function colouringAt(list, state, own) {
        const entry = list[list.length - 1];
        return entry && entry.own === own && isIn(entry.root, entry[state]) ? entry : null;
    }

    // Where the caret is in the text of `root`; null when it is not in it.
    function caretOffset(root) {
        const doc = root.ownerDocument;
        const sel = doc.getSelection();
        if (!sel || !sel.rangeCount || !root.contains(sel.getRangeAt(0).startContainer))
            return null;
        const range = doc.createRange();
        range.setStart(root, 0);
        range.setEnd(sel.getRangeAt(0).startContainer, sel.getRangeAt(0).startOffset);
        return range.toString().length;
    }

    function placeCaret(root, offset) {
        const doc = root.ownerDocument;
        const walker = doc.createTreeWalker(root, NodeFilter.SHOW_TEXT);
        for (let node = walker.nextNode(); node; node = walker.nextNode()) {
            if (offset <= node.length) {
                doc.getSelection().collapse(node, offset);
                return;
            }
            offset -= node.length;
        }
        doc.getSelection().collapse(root, root.childNodes.length);
    }

    // Takes a colouring back or makes it again, the caret kept at its place in the text.
    function recolour(entry, from, to, undo) {
        const caret = caretOffset(entry.root);
        apply(entry, undo);
        from.pop();
        to.push(entry);
        if (caret !== null)
            placeCaret(entry.root, caret);
    }

    function newest(entry, colouring) {
        return colouring && (!entry || colouring.at > entry.at) ? colouring : null;
    }

    // What an undo (or a redo) takes from and puts on: the edits, the colourings, and the
    // state a colouring's block has to be in.
    function sides(undo) {
        return undo ? { edits: done, editsTo: undone, colours: colourings, coloursTo: uncoloured, state: 'after' }
            : { edits: undone, editsTo: done, colours: uncoloured, coloursTo: colourings, state: 'before' };
    }

    function ownStep(undo) {
        const side = sides(undo);
        const own = newest(side.edits[side.edits.length - 1], colouringAt(side.colours, side.state, true));
        if (!own)
            return move(side.edits, side.editsTo, undo);
        recolour(own, side.colours, side.coloursTo, undo);
        Tavrik.editor.contentChanged();
        return true;
    }

    function browserColouring(undo) {
        const side = sides(undo);
        const entry = colouringAt(side.colours, side.state, false);
        if (entry)
            recolour(entry, side.colours, side.coloursTo, undo);
    }

    Tavrik.edits = {
        // Runs `change` as one step the user can undo; `caret` (optional) puts the caret back
        // after an undo or redo. Gives what `change` gives.
        record(change, caret) {
            const step = capture(Tavrik.editor.document().body, change);
            if (step.steps.length)
                push(step.steps, step.lists, caret || null);
            return step.result;
        },
        // Records a change made a piece at a time (a picture or a column dragged to its size)
        // as one step: `before` lists [element, {attribute: value it started from}].
        recordAttributes(before) {
            const steps = [];
            for (const [element, values] of before) {
                for (const name in values) {
                    const now = element.getAttribute(name);
                    if (now !== values[name])
                        steps.push({ type: 'attributes', target: element, name: name, oldValue: values[name], newValue: now });
                }
            }
            if (steps.length)
                push(steps, [], null);
        },
        // Colours `root` (a code block) by `change`, the caret kept by `change`. `own`: a step
        // the user undoes alone (a language chosen), else one lying between the browser's steps.
        recordColouring(root, change, own) {
            const before = stateOf(root);
            const step = capture(root, change);
            if (!step.steps.length)
                return;
            colourings.push({ root: root, steps: step.steps, lists: step.lists, before: before,
                              after: stateOf(root), own: !!own, at: ++clock });
            if (colourings.length > MAX_COLOURINGS)
                colourings.shift();
            uncoloured.length = 0;
            if (own) {
                undone.length = 0;
                Tavrik.editor.contentChanged();
            }
        },
        // Takes back the newest of the page's own edits (and colourings of their own) when
        // nothing newer happened since; false leaves the undo to the browser.
        undo() {
            return ownStep(true);
        },
        redo() {
            return ownStep(false);
        },
        // The browser is about to undo its newest step: the colouring made after it is taken
        // back first, when nothing has changed its block since.
        beforeBrowserUndo() {
            browserColouring(true);
        },
        // The browser has redone a step: the colouring that followed it is made again.
        afterBrowserRedo() {
            browserColouring(false);
        },
        // Takes an attribute off an element of the note during an edit, so that undoing the
        // edit puts it back in its place among the others.
        removeAttribute(element, name) {
            if (!element.hasAttribute(name))
                return;
            if (running && !running.orders.has(element))
                running.orders.set(element, listBefore(element));
            element.removeAttribute(name);
        },
        // Another kind of edit came (`inputType` as its input event names it): the browser's
        // history is newer now; after anything but its own undo or redo, nothing taken back
        // can be made again.
        seal(inputType) {
            done.length = 0;
            undone.length = 0;
            if (inputType !== 'historyUndo' && inputType !== 'historyRedo')
                uncoloured.length = 0;
        },
        // The caret as an offset in the text of `root` (null outside it), and put back there.
        caretOffset: caretOffset,
        placeCaret: placeCaret,
        // A new note: a history of its own.
        clear() {
            done.length = 0;
            undone.length = 0;
            colourings.length = 0;
            uncoloured.length = 0;
        },
    };
})();
