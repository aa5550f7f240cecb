// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Replacing found text in the note. Native code names each hit by where it lies in the body's
// text (its non-empty text nodes in tree order, as the find marks count it) and the keyword it
// must still read as; a hit whose text has changed since is left alone, as is one overlapping
// the hit before it. The replacement goes into the hit's first text node in place of the hit,
// and the rest of the hit is taken out of the text nodes it runs over: elements, attachments
// and attributes stay as they were. All hits of one call are one undo step.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});

    // Letter case folded as the find marks fold it.
    function lowerCase(text) {
        return text.toLowerCase().replace(/\u03C2/g, '\u03C3');
    }

    // The body's non-empty text nodes, where each begins in the body's text, and its length.
    function textNodes(body) {
        const piece = { nodes: [], starts: [], length: 0 };
        const walker = body.ownerDocument.createTreeWalker(body, NodeFilter.SHOW_TEXT);
        for (let node = walker.nextNode(); node; node = walker.nextNode()) {
            if (node.data.length) {
                piece.nodes.push(node);
                piece.starts.push(piece.length);
                piece.length += node.data.length;
            }
        }
        return piece;
    }

    // The text of a hit from the text nodes it runs over.
    function hitText(nodes, hit) {
        if (hit.first === hit.last)
            return nodes[hit.first].data.slice(hit.start, hit.end);
        let text = nodes[hit.first].data.slice(hit.start);
        for (let k = hit.first + 1; k < hit.last; ++k)
            text += nodes[k].data;
        return text + nodes[hit.last].data.slice(0, hit.end);
    }

    // The index of the node holding the character at `at`, or for an end, the one before it.
    function nodeAt(starts, at, isEnd) {
        let low = 0;
        let high = starts.length - 1;
        while (low < high) {
            const middle = (low + high + 1) >> 1;
            if (isEnd ? starts[middle] < at : starts[middle] <= at)
                low = middle;
            else
                high = middle - 1;
        }
        return low;
    }

    // The hits still reading as the keyword, in text order, none overlapping another.
    function placedHits(piece, offsets, keyword, matchCase) {
        const wanted = matchCase ? keyword : lowerCase(keyword);
        const hits = [];
        let previousEnd = 0;
        for (let i = 0; i + 1 < offsets.length; i += 2) {
            const start = offsets[i];
            const end = offsets[i + 1];
            if (start < previousEnd || end <= start || end > piece.length)
                continue;
            const first = nodeAt(piece.starts, start, false);
            const last = nodeAt(piece.starts, end, true);
            const hit = { first: first, start: start - piece.starts[first], last: last, end: end - piece.starts[last] };
            hit.text = hitText(piece.nodes, hit);
            if ((matchCase ? hit.text : lowerCase(hit.text)) !== wanted)
                continue;
            hits.push(hit);
            previousEnd = end;
        }
        return hits;
    }

    function replaceHit(nodes, hit, replacement) {
        const first = nodes[hit.first];
        if (hit.first === hit.last) {
            first.replaceData(hit.start, hit.end - hit.start, replacement);
            return;
        }
        first.replaceData(hit.start, first.length - hit.start, replacement);
        for (let k = hit.first + 1; k < hit.last; ++k)
            nodes[k].remove();
        const last = nodes[hit.last];
        if (hit.end === last.length)
            last.remove();
        else
            last.deleteData(0, hit.end);
    }

    // Whether the body's text still holds `keyword` (letter case folded unless `matchCase`):
    // when it does not, no hit is left to mark.
    function keywordLeft(body, keyword, matchCase) {
        const text = body.textContent;
        return matchCase ? text.includes(keyword) : lowerCase(text).includes(lowerCase(keyword));
    }

    Tavrik.replace = {
        // Puts `replacement` (text, never markup) in place of the hits at `offsets` ([start,
        // end, start, end, ...] in the body's text) that still read as `keyword` (letter case
        // folded unless `matchCase`). Gives { replaced: hits replaced, excess: 0, keywordLeft:
        // whether the keyword is still in the text }, or nothing replaced and how many
        // characters the note would pass its limit by.
        replace(offsets, keyword, replacement, matchCase) {
            const editor = Tavrik.editor;
            const body = editor.document().body;
            const piece = textNodes(body);
            const hits = placedHits(piece, offsets, keyword, matchCase);
            const each = editor.codePoints(replacement);
            let added = 0;
            for (const hit of hits)
                added += each - editor.codePoints(hit.text);
            const excess = added > 0 ? (editor.charCount() || 0) + added - editor.maxChars() : 0;
            if (excess > 0)
                return { replaced: 0, excess: excess };
            Tavrik.edits.record(function () {
                for (let h = hits.length - 1; h >= 0; --h)
                    replaceHit(piece.nodes, hits[h], replacement);
            });
            return { replaced: hits.length, excess: 0, keywordLeft: keywordLeft(body, keyword, matchCase) };
        },
    };
})();
