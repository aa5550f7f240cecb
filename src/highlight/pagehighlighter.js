// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Finds a keyword in the note shown by the editor page and marks every visible occurrence.
// The library runs this file in the browser's application world: the page's own scripts and
// the note see neither its functions nor its state, so they can neither call nor forge them.
//
// The note's document is only read, never written: no node, attribute, selection or undo step
// changes. The marks are painted on a canvas of the page's own document, in a closed shadow
// tree on a fixed layer laid over the editing frame's viewport. The layer is blended with
// "multiply", so the background of a hit turns #FFFF11 (the current hit #FF9632) and its text
// keeps its own colour; painting the text in another colour would mean touching the note.
//
// Many hits are measured in slices: the first slice before the call returns, the rest in later
// tasks of a few milliseconds each, painted as they come, so the window keeps answering.
(function () {
    'use strict';

    if (window.tavrikHighlighter)
        return;

    const EDIT_FRAME_CLASS = 'ke-edit-iframe';
    const FIRST_SLICE_MS = 40;
    const SLICE_MS = 10;
    // A hit never spans these: text on either side belongs to different lines or cells.
    const BLOCKS = new Set(['ADDRESS', 'ARTICLE', 'ASIDE', 'BLOCKQUOTE', 'BODY', 'CAPTION', 'CENTER',
        'DD', 'DETAILS', 'DIV', 'DL', 'DT', 'FIELDSET', 'FIGCAPTION', 'FIGURE', 'FOOTER', 'H1', 'H2',
        'H3', 'H4', 'H5', 'H6', 'HEADER', 'HTML', 'LI', 'MAIN', 'NAV', 'OL', 'P', 'PRE', 'SECTION',
        'SUMMARY', 'TABLE', 'TBODY', 'TD', 'TFOOT', 'TH', 'THEAD', 'TR', 'UL']);
    const BREAKS = new Set(['BR', 'HR', 'IMG', 'INPUT', 'IFRAME', 'OBJECT', 'EMBED', 'VIDEO', 'AUDIO',
        'CANVAS', 'svg']);
    // Text that is never rendered as text.
    const SKIPPED = new Set(['SCRIPT', 'STYLE', 'NOSCRIPT', 'TEMPLATE', 'TEXTAREA', 'TITLE']);
    const MARK_COLOR = '#FFFF11';
    const CURRENT_COLOR = '#FF9632';

    let shown = null; // the marks on screen and what keeps them in place
    let generation = 0; // bumped by every search and cancel: stale slices stop

    // The frame whose host element's class is "ke-edit-iframe" (any letter case), first in
    // frame order.
    function editFrame() {
        for (let i = 0; i < window.frames.length; ++i) {
            let element = null;
            try {
                element = window.frames[i].frameElement;
            } catch (e) {
                continue;
            }
            if (element && typeof element.className === 'string'
                && element.className.toLowerCase() === EDIT_FRAME_CLASS)
                return element;
        }
        return null;
    }

    function blockOf(element, cache) {
        const chain = [];
        let found = null;
        for (let at = element; at && !found; at = at.parentElement) {
            found = cache.get(at) || (BLOCKS.has(at.nodeName) ? at : null);
            chain.push(at);
        }
        for (const at of chain)
            cache.set(at, found);
        return found;
    }

    // Whether a hit over several text nodes reads as one piece of text: the nodes share their
    // block, and no block, line break, picture or unrendered element lies between them.
    function readsAsOne(doc, from, to, blocks) {
        if (blockOf(from.parentElement, blocks) !== blockOf(to.parentElement, blocks))
            return false;
        const walker = doc.createTreeWalker(doc.body, NodeFilter.SHOW_ALL);
        walker.currentNode = from;
        for (let node = walker.nextNode(); node && node !== to; node = walker.nextNode()) {
            const name = node.nodeName;
            if (BLOCKS.has(name) || BREAKS.has(name) || SKIPPED.has(name))
                return false;
        }
        return true;
    }

    // Elements the browser's own style sheet may hide whatever their style.
    const HIDDEN_BY_DEFAULT = new Set(['AREA', 'BASE', 'BASEFONT', 'DATALIST', 'DETAILS', 'DIALOG',
        'HEAD', 'INPUT', 'LINK', 'META', 'NOEMBED', 'NOFRAMES', 'NOSCRIPT', 'OPTGROUP', 'OPTION',
        'PARAM', 'RP', 'SCRIPT', 'SELECT', 'SLOT', 'STYLE', 'TEMPLATE', 'TITLE']);
    const HTML_NAMESPACE = 'http://www.w3.org/1999/xhtml';

    // Whether a style sheet of the document sets display or visibility anywhere (a sheet that
    // cannot be read counts as one that does).
    function sheetsSetVisibility(doc) {
        const setsIt = function (rules) {
            for (const rule of rules) {
                if (rule.style && (rule.style.display || rule.style.visibility))
                    return true;
                if (rule.cssRules && setsIt(rule.cssRules))
                    return true;
            }
            return false;
        };
        try {
            for (const sheet of doc.styleSheets) {
                if (setsIt(sheet.cssRules))
                    return true;
            }
        } catch (e) {
            return true;
        }
        return false;
    }

    // Whether neither the element nor an ancestor is hidden by display none or visibility
    // hidden. A style that cannot be read counts as visible. Reading an element's computed style
    // is what costs here, so while no style sheet of the note sets display or visibility, it is
    // read only for an element with a style or hidden attribute, one the browser hides by
    // default, or one outside HTML: no other element can be hidden by its own style.
    function visibilityTest(win) {
        const cache = new Map();
        const everyElement = sheetsSetVisibility(win.document);
        const mayHide = function (element) {
            return everyElement || element.namespaceURI !== HTML_NAMESPACE
                || element.hasAttribute('style') || element.hasAttribute('hidden')
                || HIDDEN_BY_DEFAULT.has(element.nodeName);
        };
        return function (element) {
            const chain = [];
            let answer = true;
            for (let at = element; at; at = at.parentElement) {
                const known = cache.get(at);
                if (known !== undefined) {
                    answer = known;
                    break;
                }
                chain.push(at);
                if (!mayHide(at))
                    continue;
                let style = null;
                try {
                    style = win.getComputedStyle(at);
                } catch (e) {
                    style = null;
                }
                if (style && (style.display === 'none' || style.visibility === 'hidden')) {
                    answer = false;
                    break;
                }
            }
            for (const at of chain)
                cache.set(at, answer);
            return answer;
        };
    }

    // The body's text in one piece: its text nodes (the empty ones left out) in tree order,
    // where each begins in the text, and the text. A search in a note that has not changed
    // since the last one (a search box marking as the user types) uses the piece kept from then
    // instead of walking the tree again, which in this script world costs a new wrapper for
    // every node. When only the text of some of its nodes changed since (typing, a
    // replacement), the piece takes their new text; any other change drops it.
    let known = null; // { body, nodes, index, parts, starts, text, changes, records }
    const MAX_KEPT_RECORDS = 10000;

    function forgetText() {
        if (known) {
            known.changes.disconnect();
            known = null;
        }
    }

    // Takes the new text of the nodes the records name; false when the change was another.
    // The text is made anew from its unchanged stretches and the changed nodes' text: far fewer
    // pieces than the nodes, so a replacement of 1,000 hits joins 2,001 pieces, not every node.
    function takeNewText(piece, records) {
        const changed = new Set();
        for (const record of records) {
            const at = record.type === 'characterData' ? piece.index.get(record.target) : undefined;
            if (at === undefined || !record.target.isConnected || !record.target.data.length)
                return false;
            piece.parts[at] = record.target.data;
            changed.add(at);
        }
        if (!changed.size)
            return true;
        const order = Array.from(changed).sort((a, b) => a - b);
        const { text, starts, parts } = piece;
        const pieces = [];
        let kept = 0; // where the next unchanged stretch begins in the old text
        for (const at of order) {
            pieces.push(text.slice(kept, starts[at]), parts[at]);
            kept = at + 1 < starts.length ? starts[at + 1] : text.length;
        }
        pieces.push(text.slice(kept));
        piece.text = pieces.join('');
        piece.folded = null;
        for (let i = order[0] + 1; i < starts.length; ++i)
            starts[i] = starts[i - 1] + parts[i - 1].length;
        return true;
    }

    function textOf(body) {
        if (known) {
            const records = known.records.concat(known.changes.takeRecords());
            known.records = [];
            if (known.body !== body || !takeNewText(known, records))
                forgetText();
        }
        if (known)
            return known;
        const nodes = [];
        const index = new Map();
        const starts = [];
        const parts = [];
        let length = 0;
        const walker = body.ownerDocument.createTreeWalker(body, NodeFilter.SHOW_TEXT);
        for (let node = walker.nextNode(); node; node = walker.nextNode()) {
            const data = node.data;
            if (!data.length)
                continue;
            index.set(node, nodes.length);
            nodes.push(node);
            starts.push(length);
            parts.push(data);
            length += data.length;
        }
        const changes = new MutationObserver(function (records) {
            if (!known || known.changes !== changes)
                return;
            if (known.records.length + records.length > MAX_KEPT_RECORDS)
                forgetText();
            else
                known.records = known.records.concat(records);
        });
        changes.observe(body, { subtree: true, childList: true, characterData: true });
        known = { body: body, nodes: nodes, index: index, parts: parts, starts: starts,
                  text: parts.join(''), changes: changes, records: [] };
        return known;
    }

    // Letter case folded as toLowerCase folds it, final sigma read as sigma (toLowerCase writes
    // one or the other depending on what follows).
    function lowerCase(text) {
        return text.toLowerCase().replace(/\u03C2/g, '\u03C3');
    }

    // The text with its letter case folded, and, when folding made a character longer (as
    // U+0130 becomes "i" and a combining dot), where in the text the character behind each unit
    // of the folded text begins (`from`) and ends (`to`).
    function foldCase(text) {
        const folded = lowerCase(text);
        if (folded.length === text.length)
            return { text: folded, from: null, to: null };
        const parts = [];
        const from = [];
        const to = [];
        let at = 0;
        for (const c of text) {
            const lower = lowerCase(c);
            for (let k = 0; k < lower.length; ++k) {
                from.push(at);
                to.push(at + c.length);
            }
            parts.push(lower);
            at += c.length;
        }
        return { text: parts.join(''), from: from, to: to };
    }

    // Every occurrence of `keyword` in the body's text in text order, as [first node's index,
    // offset, last node's index, end, start in the text, end in the text]; each search starts one character after the start of the previous hit, so
    // overlapping occurrences count too. Without `matchCase` both sides have their letter case
    // folded. A hit may run over several text nodes; whether it reads as one piece of text is
    // for the caller to tell.
    function findAll(body, keyword, matchCase) {
        const piece = textOf(body);
        const { nodes, starts } = piece;
        if (!matchCase && !piece.folded)
            piece.folded = foldCase(piece.text);
        const { text, from, to } = matchCase ? { text: piece.text } : piece.folded;
        const wanted = matchCase ? keyword : lowerCase(keyword);
        const hits = [];
        let first = 0; // the node holding the hit's first character; hits only move forward
        let previous = -1;
        for (let found = text.indexOf(wanted); found >= 0; found = text.indexOf(wanted, found + 1)) {
            const at = from ? from[found] : found;
            const end = to ? to[found + wanted.length - 1] : found + wanted.length;
            if (at === previous)
                continue; // another unit of the same folded character
            previous = at;
            while (first + 1 < nodes.length && starts[first + 1] <= at)
                ++first;
            let last = first;
            while (last + 1 < nodes.length && starts[last + 1] < end)
                ++last;
            hits.push(first, at - starts[first], last, end - starts[last], at, end);
        }
        return hits;
    }

    // Text of a script, a style sheet, a form field or the like is never shown.
    function unrendered(node) {
        return SKIPPED.has(node.parentNode.nodeName);
    }

    const WORD_CHARACTER = /[\p{L}\p{N}]/u;

    // The character (a whole code point) before `at` in the text, or after it.
    function characterBefore(text, at) {
        const low = text.charCodeAt(at - 1);
        const pair = at >= 2 && low >= 0xDC00 && low <= 0xDFFF && text.charCodeAt(at - 2) >= 0xD800
            && text.charCodeAt(at - 2) <= 0xDBFF;
        return text.slice(pair ? at - 2 : at - 1, at);
    }
    function characterAfter(text, at) {
        return String.fromCodePoint(text.codePointAt(at));
    }

    // Whether text nodes `a` and `b` (next to each other in the text) read as one piece.
    function joined(doc, a, b, blocks) {
        return !!a && !!b && !unrendered(a) && !unrendered(b) && readsAsOne(doc, a, b, blocks);
    }

    // Whether a letter or digit of the same piece of text touches the hit at either end.
    function insideWord(doc, piece, hit, blocks) {
        const { nodes, starts, text } = piece;
        const [first, , last, , at, end] = hit;
        if (at > 0 && WORD_CHARACTER.test(characterBefore(text, at))
            && (at > starts[first] || joined(doc, nodes[first - 1], nodes[first], blocks)))
            return true;
        const lastEnd = starts[last] + nodes[last].data.length;
        return end < text.length && WORD_CHARACTER.test(characterAfter(text, end))
            && (end < lastEnd || joined(doc, nodes[last], nodes[last + 1], blocks));
    }

    // The visible hits, in text order: their ranges (unless not `wantRanges`), and where each
    // starts and ends in the body's text. With `wholeWord`, a hit touching a letter or digit is
    // left out.
    function findVisible(doc, win, keyword, matchCase, wholeWord, wantRanges) {
        let probe = null;
        const visible = visibilityTest(win);
        const found = findAll(doc.body, keyword, matchCase);
        const piece = textOf(doc.body);
        const blocks = new Map();
        const hits = [];
        const offsets = [];
        for (let h = 0; h < found.length; h += 6) {
            const first = piece.nodes[found[h]];
            const last = piece.nodes[found[h + 2]];
            if (unrendered(first) || (first !== last && (unrendered(last) || !readsAsOne(doc, first, last, blocks))))
                continue;
            if (wholeWord && insideWord(doc, piece, found.slice(h, h + 6), blocks))
                continue;
            const parent = first === last ? first.parentElement : null;
            if (parent && !visible(parent))
                continue;
            let range = null;
            if (wantRanges || !parent) {
                // A range moved from one hit to the next would compare its old boundaries with
                // the new ones, a walk over every paragraph between them: the probe starts
                // afresh. A new range starts at the document's start, which compares at once.
                range = wantRanges ? doc.createRange() : (probe = probe || doc.createRange());
                if (!wantRanges)
                    range.selectNodeContents(first);
                range.setStart(first, found[h + 1]);
                range.setEnd(last, found[h + 3]);
            }
            if (!parent) {
                let common = range.commonAncestorContainer;
                if (common.nodeType !== Node.ELEMENT_NODE)
                    common = common.parentElement;
                if (!common)
                    break;
                if (!visible(common))
                    continue;
            }
            if (wantRanges)
                hits.push(range);
            offsets.push(found[h + 4], found[h + 5]);
        }
        if (probe)
            release([probe]);
        return { ranges: hits, offsets: offsets };
    }

    // Every text change of the note updates each range of its document that has not been
    // collected yet; ranges no longer needed go to a document of their own, so 1,000 old marks
    // do not slow the note's next 1,000 changes.
    let scratch = null;
    function release(ranges) {
        scratch = scratch || document.implementation.createHTMLDocument('');
        for (const range of ranges)
            range.setStart(scratch, 0);
    }

    // Scrolls the frame so that the hit is at the top of the view (and within it sideways).
    function scrollToTop(win, range) {
        const rect = range.getBoundingClientRect();
        const width = win.document.documentElement.clientWidth;
        const left = rect.left < 0 || rect.right > width ? rect.left : 0;
        win.scrollBy(left, rect.top);
    }

    // Scrolls the frame so that the hit is in view, a third down from the top, unless it is
    // already wholly in view.
    function scrollIntoView(win, range) {
        const rect = range.getBoundingClientRect();
        const root = win.document.documentElement;
        const left = rect.left < 0 || rect.right > root.clientWidth ? rect.left : 0;
        const top = rect.top < 0 || rect.bottom > root.clientHeight ? rect.top - root.clientHeight / 3 : 0;
        if (left || top)
            win.scrollBy(left, top);
    }

    // ---- the layer --------------------------------------------------------------------------

    // A canvas in a closed shadow tree, fixed over the frame's viewport: the marks are painted
    // on it, so even 100,000 of them add no element for the page to lay out.
    function createLayer() {
        const host = document.createElement('tavrik-marks');
        host.style.cssText = 'all:initial;position:fixed;display:block;overflow:hidden;'
            + 'pointer-events:none;z-index:10;mix-blend-mode:multiply;contain:strict';
        const canvas = document.createElement('canvas');
        canvas.style.cssText = 'display:block;width:100%;height:100%';
        host.attachShadow({ mode: 'closed' }).appendChild(canvas);
        document.documentElement.appendChild(host);
        return { host: host, canvas: canvas, context: canvas.getContext('2d') };
    }

    // Lays the layer over the frame's viewport (inside its border and padding, without its
    // scroll bars).
    function placeLayer(s) {
        const box = s.frame.getBoundingClientRect();
        const style = getComputedStyle(s.frame);
        const root = s.doc.documentElement;
        s.width = root.clientWidth;
        s.height = root.clientHeight;
        const host = s.host.style;
        host.left = (box.left + s.frame.clientLeft + (parseFloat(style.paddingLeft) || 0)) + 'px';
        host.top = (box.top + s.frame.clientTop + (parseFloat(style.paddingTop) || 0)) + 'px';
        host.width = s.width + 'px';
        host.height = s.height + 'px';
    }

    // Paints the marks that lie in the frame's view. Boxes are kept in the frame's document
    // coordinates, so scrolling only repaints.
    function paint(s) {
        const ratio = window.devicePixelRatio || 1;
        const width = Math.round(s.width * ratio);
        const height = Math.round(s.height * ratio);
        if (s.canvas.width !== width || s.canvas.height !== height) {
            s.canvas.width = width;
            s.canvas.height = height;
        }
        const context = s.context;
        context.setTransform(ratio, 0, 0, ratio, 0, 0);
        context.clearRect(0, 0, s.width, s.height);
        context.fillStyle = MARK_COLOR;
        const x = s.win.scrollX;
        const y = s.win.scrollY;
        const boxes = s.boxes;
        for (let i = 0; i < boxes.length; i += 4) {
            const left = boxes[i] - x;
            const top = boxes[i + 1] - y;
            if (left < s.width && top < s.height && left + boxes[i + 2] > 0 && top + boxes[i + 3] > 0)
                context.fillRect(left, top, boxes[i + 2], boxes[i + 3]);
        }
        if (s.current < 0)
            return;
        context.fillStyle = CURRENT_COLOR;
        const rects = s.ranges[s.current].getClientRects();
        for (let i = 0; i < rects.length; ++i)
            context.fillRect(rects[i].left, rects[i].top, rects[i].width, rects[i].height);
    }

    // Measures hits from s.next on until the slice's time is up; the rest follows in later
    // tasks. A first measuring shows each slice at once; measuring again after a reflow keeps
    // the old marks until the new ones are complete.
    function measureSlice(s, budget) {
        const started = performance.now();
        const x = s.win.scrollX;
        const y = s.win.scrollY;
        const boxes = s.measured;
        while (s.next < s.ranges.length) {
            const rects = s.ranges[s.next++].getClientRects();
            for (let i = 0; i < rects.length; ++i) {
                // Each property read is a call into the browser: every one is read once.
                const r = rects[i];
                const width = r.width;
                const height = r.height;
                if (width > 0 && height > 0)
                    boxes.push(r.left + x, r.top + y, width, height);
            }
            if ((s.next & 255) === 0 && performance.now() - started > budget)
                break;
        }
        if (s.next < s.ranges.length) {
            if (boxes === s.boxes)
                paint(s);
            const mine = generation;
            setTimeout(function () {
                if (shown === s && mine === generation)
                    measureSlice(s, SLICE_MS);
            }, 0);
            return;
        }
        s.boxes = boxes;
        s.measuring = false;
        paint(s);
        if (s.measureAgain)
            redraw(s);
    }

    // Measures every hit again: after the note reflowed, the frame moved or the zoom changed.
    function redraw(s) {
        if (shown !== s)
            return;
        if (!s.frame.isConnected || s.frame.contentDocument !== s.doc) {
            clear(); // another note is shown: its marks went with it
            return;
        }
        if (s.measuring) {
            s.measureAgain = true;
            return;
        }
        s.measureAgain = false;
        s.measuring = true;
        s.next = 0;
        s.measured = [];
        placeLayer(s);
        measureSlice(s, SLICE_MS);
    }

    function scheduleRedraw(s) {
        if (s.pending)
            return;
        s.pending = true;
        setTimeout(function () {
            s.pending = false;
            redraw(s);
        }, 0);
    }

    function watch(s) {
        const onScroll = function (event) {
            if (event.target === s.doc)
                paint(s);
            else
                scheduleRedraw(s); // a scrolling element inside the note
        };
        const onChange = function () {
            scheduleRedraw(s);
        };
        s.doc.addEventListener('scroll', onScroll, { capture: true, passive: true });
        s.win.addEventListener('resize', onChange);
        window.addEventListener('resize', onChange);
        window.addEventListener('scroll', onChange, { capture: true, passive: true });
        const noteChanged = new MutationObserver(onChange);
        noteChanged.observe(s.doc.documentElement, { subtree: true, childList: true, characterData: true, attributes: true });
        const frameReplaced = new MutationObserver(function () {
            if (!s.frame.isConnected)
                clear();
        });
        frameReplaced.observe(document.documentElement, { subtree: true, childList: true });
        // A picture that finishes loading moves the text after it.
        s.doc.addEventListener('load', onChange, true);
        s.unwatch = function () {
            noteChanged.disconnect();
            frameReplaced.disconnect();
            window.removeEventListener('resize', onChange);
            window.removeEventListener('scroll', onChange, { capture: true });
            try {
                s.doc.removeEventListener('scroll', onScroll, { capture: true });
                s.doc.removeEventListener('load', onChange, true);
                s.win.removeEventListener('resize', onChange);
            } catch (e) {
                // the frame is gone, and its listeners with it
            }
        };
    }

    // Removes every mark; gives how many hits were marked.
    function clear() {
        ++generation;
        const s = shown;
        if (!s)
            return 0;
        shown = null;
        release(s.ranges);
        s.host.remove();
        s.unwatch();
        return s.ranges.length;
    }

    window.tavrikHighlighter = {
        // Marks the visible occurrences of `keyword` (case-sensitive unless `matchCase` is
        // false; only whole words when `wholeWord`) in the editing frame's body after removing
        // the previous marks, and scrolls the first one to the top; no hit is current yet.
        // Gives the number of hits marked, or -1 when the page has no editing frame with a body.
        // With `keepView` the view stays where it is (the marks made again after a change).
        highlight(keyword, matchCase, wholeWord, keepView) {
            clear();
            const frame = editFrame();
            const doc = frame && frame.contentDocument;
            const win = frame && frame.contentWindow;
            if (!doc || !win || !doc.body)
                return -1;
            if (typeof keyword !== 'string' || keyword.length === 0)
                return 0;
            const { ranges, offsets } = findVisible(doc, win, keyword, matchCase !== false, wholeWord === true, true);
            if (!ranges.length)
                return 0;
            if (keepView !== true)
                scrollToTop(win, ranges[0]);
            const layer = createLayer();
            const boxes = [];
            const s = {
                frame: frame, doc: doc, win: win, ranges: ranges, offsets: offsets, host: layer.host,
                canvas: layer.canvas, context: layer.context, width: 0, height: 0,
                boxes: boxes, measured: boxes, next: 0, measuring: true, pending: false,
                measureAgain: false, current: -1,
            };
            shown = s;
            watch(s);
            placeLayer(s);
            measureSlice(s, FIRST_SLICE_MS);
            return ranges.length;
        },

        cancel() {
            return clear();
        },

        // Where the hits `highlight` would mark lie in the body's text, without marking them:
        // [start, end, start, end, ...]; null when the page has no editing frame with a body.
        find(keyword, matchCase, wholeWord) {
            const frame = editFrame();
            const doc = frame && frame.contentDocument;
            if (!doc || !doc.body)
                return null;
            if (typeof keyword !== 'string' || keyword.length === 0)
                return [];
            return findVisible(doc, frame.contentWindow, keyword, matchCase !== false, wholeWord === true, false)
                .offsets;
        },

        // Where the current hit lies in the body's text, [start, end]; [] when none is current.
        current() {
            const s = shown;
            return s && s.current >= 0 ? s.offsets.slice(2 * s.current, 2 * s.current + 2) : [];
        },

        // Makes the first hit starting at `offset` of the body's text or after it (else the
        // first hit) the current one, as `next` does. Gives its index, or -1 when nothing is
        // marked.
        moveTo(offset) {
            const s = shown;
            if (!s)
                return -1;
            let index = 0;
            while (2 * index < s.offsets.length && s.offsets[2 * index] < offset)
                ++index;
            s.current = 2 * index < s.offsets.length ? index : 0;
            scrollIntoView(s.win, s.ranges[s.current]);
            paint(s);
            return s.current;
        },

        // Makes the next hit (the previous one when `backwards`; after the last comes the
        // first) the current one, marked in its own colour and scrolled into view. Gives its
        // index, or -1 when nothing is marked.
        next(backwards) {
            const s = shown;
            if (!s)
                return -1;
            const count = s.ranges.length;
            if (s.current < 0)
                s.current = backwards ? count - 1 : 0;
            else
                s.current = (s.current + (backwards ? count - 1 : 1)) % count;
            scrollIntoView(s.win, s.ranges[s.current]);
            paint(s);
            return s.current;
        },

        // What is on screen: the hits marked, whether every one is measured and painted, and
        // (unless `countOnly`) each mark's box in the frame's viewport coordinates.
        describe(countOnly) {
            const s = shown;
            if (!s)
                return { hits: 0, drawn: true, marks: [], current: -1 };
            const marks = [];
            for (let i = 0; !countOnly && i < s.boxes.length; i += 4)
                marks.push([s.boxes[i] - s.win.scrollX, s.boxes[i + 1] - s.win.scrollY, s.boxes[i + 2], s.boxes[i + 3]]);
            return {
                hits: s.ranges.length,
                drawn: !s.measuring && !s.pending,
                marks: countOnly ? s.boxes.length / 4 : marks,
                current: s.current,
            };
        },
    };
})();
