// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Pasted HTML before it is sanitised. HTML from Word and LibreOffice keeps its structure
// (headings, paragraphs, bold, italic, underline, lists, tables, links, pictures) and loses
// the rest: conditional comments, Office elements, fonts, classes and layout styles. Word's
// list paragraphs become real nested lists. In any pasted HTML, pictures native code has
// stored become attachments, and pictures from the web are left out, counted: the page loads
// nothing from the network.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});

    const WORD = /urn:schemas-microsoft-com:office|class="?Mso|mso-/i;
    const LIBREOFFICE = /<meta[^>]+content="?(?:LibreOffice|OpenOffice)/i;
    const REMOTE = /^\s*(?:https?:)?\/\//i;

    // What an Office element keeps of its attributes; `style` is read separately.
    const KEPT_ATTRIBUTES = {
        A: ['href', 'title'],
        IMG: ['src', 'alt', 'width', 'height', 'class', 'zv_exdata', 'data-ke-src', 'zvimgsrc'],
        TD: ['colspan', 'rowspan'],
        TH: ['colspan', 'rowspan'],
        OL: ['start', 'type'],
    };
    const ALIGNED = /^(?:P|H[1-6]|TD|TH|LI)$/;
    const BLOCKS = /^(?:P|DIV|H[1-6]|LI|UL|OL|TABLE|THEAD|TBODY|TFOOT|TR|TD|TH|BLOCKQUOTE|PRE|COLGROUP|COL|HR|BODY)$/;
    const UNWRAPPED = /^(?:FONT|SPAN|DIV|O:P|ST1:.*|W:.*)$/;
    const DROPPED = /^(?:COL|COLGROUP|V:.*|O:(?!P$).*|XML|META|STYLE|TITLE|LINK)$/;
    // "1.", "a)", "(iv)", "2.3." as a list's number; anything else marks a bulleted item.
    const NUMBER_MARKER = /^\(?(?:\d+(?:\.\d+)*|[a-z]{1,3}|[ivxlcdm]+)[.)]$/i;
    const WORD_LIST_LEVEL = /mso-list:\s*l\d+\s+level(\d+)/i;
    const STYLE_CACHE_MAX_ENTRIES = 4096;

    function moveChildren(from, to) {
        while (from.firstChild)
            to.appendChild(from.firstChild);
    }

    function unwrap(element) {
        const content = element.ownerDocument.createDocumentFragment();
        moveChildren(element, content);
        element.replaceWith(content);
    }

    function hasBlock(element) {
        return Array.from(element.children).some((child) => BLOCKS.test(child.nodeName));
    }

    function renameToParagraph(element) {
        const p = element.ownerDocument.createElement('p');
        for (const attribute of element.attributes)
            p.setAttribute(attribute.name, attribute.value);
        moveChildren(element, p);
        element.replaceWith(p);
        return p;
    }

    function elementsOf(root, selector) {
        return Array.from(root.querySelectorAll(selector));
    }

    // ---- pictures -------------------------------------------------------------------------------

    // Pictures stored by native code take their attachment markup; those it could not store
    // and the other pictures from a file or the web are left out. Gives how many were from the
    // web.
    function placePictures(body, pictures) {
        const stored = new Map((pictures || []).map((p) => [p.src, p]));
        let remote = 0;
        for (const img of elementsOf(body, 'img')) {
            const src = img.getAttribute('src') || '';
            const picture = stored.get(src);
            if (picture && !picture.picpath) {
                img.remove();
            } else if (picture) {
                img.setAttribute('src', picture.picpath);
                img.setAttribute('class', picture.strData);
                img.setAttribute('zv_exdata', picture.exdata);
                img.setAttribute('data-ke-src', picture.picpath);
                img.setAttribute('zvimgsrc', picture.picpath);
            } else if (REMOTE.test(src)) {
                ++remote;
                img.remove();
            } else if (/^\s*file:/i.test(src)) {
                img.remove();
            }
        }
        return remote;
    }

    // ---- Word's list paragraphs -----------------------------------------------------------------

    function listLevel(p) {
        const match = WORD_LIST_LEVEL.exec(p.getAttribute('style') || '');
        if (match)
            return Number(match[1]);
        return /^MsoListParagraph/.test(p.getAttribute('class') || '') ? 1 : 0;
    }

    // The bullet or number Word writes before an item's text (between the comments
    // "[if !supportLists]" and "[endif]", or in a span styled "mso-list:Ignore"), taken out.
    function takeMarker(p) {
        let marker = '';
        const start = Array.from(p.childNodes).find(
            (n) => n.nodeType === Node.COMMENT_NODE && /^\[if !supportLists\]$/i.test(n.data.trim()));
        if (start) {
            let node = start.nextSibling;
            start.remove();
            while (node && !(node.nodeType === Node.COMMENT_NODE && /^\[endif\]$/i.test(node.data.trim()))) {
                const next = node.nextSibling;
                marker += node.textContent;
                node.remove();
                node = next;
            }
            if (node)
                node.remove();
        } else {
            marker = ignoredMarker(p);
        }
        return marker.replace(/[\s\u00a0]+/g, ' ').trim().split(' ')[0] || '';
    }

    // A marker in spans styled "mso-list:Ignore" without the comments around it.
    function ignoredMarker(p) {
        let marker = '';
        for (const ignored of elementsOf(p, 'span[style*="mso-list"]')) {
            if (/mso-list:\s*ignore/i.test(ignored.getAttribute('style'))) {
                marker += ignored.textContent;
                ignored.remove();
            }
        }
        return marker;
    }

    function isBlank(node) {
        return node.nodeType === Node.TEXT_NODE ? !/\S/.test(node.data) : node.nodeType === Node.COMMENT_NODE;
    }

    // One run of list paragraphs becomes one list, nested by their levels; an item whose kind
    // differs from the list at its level starts a new list there.
    function buildList(run) {
        const doc = run[0].p.ownerDocument;
        const stack = []; // {level, list}
        for (const { p, level, ordered } of run) {
            const kind = ordered ? 'OL' : 'UL';
            while (stack.length && stack[stack.length - 1].level > level)
                stack.pop();
            if (stack.length && stack[stack.length - 1].level === level
                && stack[stack.length - 1].list.nodeName !== kind) {
                const old = stack.pop().list;
                const list = doc.createElement(kind);
                old.after(list);
                stack.push({ level, list });
            }
            if (!stack.length || stack[stack.length - 1].level < level) {
                const list = doc.createElement(kind);
                if (!stack.length) {
                    p.before(list);
                } else {
                    const owner = stack[stack.length - 1].list;
                    let li = owner.lastElementChild;
                    if (!li) {
                        li = doc.createElement('li');
                        owner.appendChild(li);
                    }
                    li.appendChild(list);
                }
                stack.push({ level, list });
            }
            const li = doc.createElement('li');
            const style = p.getAttribute('style');
            if (style)
                li.setAttribute('style', style);
            moveChildren(p, li);
            stack[stack.length - 1].list.appendChild(li);
            p.remove();
        }
    }

    function makeWordLists(body) {
        let run = [];
        for (const p of elementsOf(body, 'p[style*="mso-list"], p[class^="MsoListParagraph"]')) {
            const level = listLevel(p);
            if (!level)
                continue;
            const last = run.length ? run[run.length - 1].p : null;
            if (last) {
                let between = last.nextSibling;
                while (between && between !== p && isBlank(between))
                    between = between.nextSibling;
                if (between !== p) {
                    buildList(run);
                    run = [];
                }
            }
            run.push({ p, level, ordered: NUMBER_MARKER.test(takeMarker(p)) });
        }
        if (run.length)
            buildList(run);
    }

    // ---- styles and attributes ------------------------------------------------------------------

    // What a style gives an Office element: the elements bold, italic and underline become,
    // and its alignment. Each distinct style text is read once.
    const styleCache = new Map();
    let probe = null;

    function styleMeaning(text) {
        let meaning = styleCache.get(text);
        if (meaning)
            return meaning;
        if (!probe)
            probe = document.implementation.createHTMLDocument('').createElement('div');
        probe.style.cssText = text;
        const style = probe.style;
        const weight = style.fontWeight;
        const wraps = [];
        if (weight === 'bold' || weight === 'bolder' || Number(weight) >= 600)
            wraps.push('b');
        if (style.fontStyle === 'italic' || style.fontStyle === 'oblique')
            wraps.push('i');
        if (/underline/.test(style.textDecorationLine || ''))
            wraps.push('u');
        const align = /^(?:center|right|justify)$/.test(style.textAlign) ? style.textAlign : '';
        meaning = { wraps, align };
        if (styleCache.size >= STYLE_CACHE_MAX_ENTRIES)
            styleCache.clear();
        styleCache.set(text, meaning);
        return meaning;
    }

    // Bold, italic and underline given by a style become elements around the content.
    function wrapContent(element, wraps) {
        if (!wraps.length || !element.firstChild || /^(?:B|STRONG|I|EM|U)$/.test(element.nodeName))
            return;
        for (const name of wraps) {
            const wrap = element.ownerDocument.createElement(name);
            moveChildren(element, wrap);
            element.appendChild(wrap);
        }
    }

    function cleanElement(element) {
        const name = element.nodeName;
        const kept = KEPT_ATTRIBUTES[name] || [];
        const text = element.getAttribute('style');
        const meaning = text ? styleMeaning(text) : null;
        if (meaning)
            wrapContent(element, meaning.wraps);
        for (let i = element.attributes.length - 1; i >= 0; --i) {
            const attribute = element.attributes[i].name;
            if (!kept.includes(attribute))
                element.removeAttribute(attribute);
        }
        if (meaning && meaning.align && ALIGNED.test(name))
            element.setAttribute('style', 'text-align: ' + meaning.align + ';');
        if (name === 'TABLE') {
            element.setAttribute('border', '1');
            element.setAttribute('cellpadding', '4');
            element.setAttribute('cellspacing', '0');
        }
    }

    // A block's text as the browser shows it: runs of white space as one space, none at the
    // block's edges, none between blocks.
    function tidyWhiteSpace(body) {
        body.normalize();
        const walker = body.ownerDocument.createTreeWalker(body, NodeFilter.SHOW_TEXT);
        const texts = [];
        while (walker.nextNode())
            texts.push(walker.currentNode);
        const preformatted = body.querySelector('pre') !== null;
        for (const text of texts) {
            if (preformatted && text.parentNode.closest('pre'))
                continue;
            let data = text.data.replace(/[ \t\n\r\f]+/g, ' ');
            const parent = text.parentNode;
            if (BLOCKS.test(parent.nodeName) && !/\S/.test(data)
                && (!text.previousSibling || BLOCKS.test(text.previousSibling.nodeName)
                    || !text.nextSibling || BLOCKS.test(text.nextSibling.nodeName))) {
                text.remove();
                continue;
            }
            const before = text.previousSibling;
            const after = text.nextSibling;
            if (BLOCKS.test(before ? before.nodeName : parent.nodeName))
                data = data.replace(/^ /, '');
            if (BLOCKS.test(after ? after.nodeName : parent.nodeName))
                data = data.replace(/ $/, '');
            if (data)
                text.data = data;
            else
                text.remove();
        }
    }

    // A list item's or cell's only paragraph gives its content to it.
    function liftLoneParagraphs(body) {
        for (const p of elementsOf(body, 'li > p, td > p, th > p')) {
            const siblings = Array.from(p.parentNode.children).filter((e) => e.nodeName === 'P');
            if (siblings.length === 1)
                unwrap(p);
        }
    }

    function cleanOffice(body) {
        const walker = body.ownerDocument.createTreeWalker(body, NodeFilter.SHOW_COMMENT);
        const comments = [];
        makeWordLists(body);
        while (walker.nextNode())
            comments.push(walker.currentNode);
        for (const comment of comments)
            comment.remove();
        // In document order: an element is cleaned before what it holds.
        for (const element of elementsOf(body, '*')) {
            if (!element.isConnected)
                continue; // inside a dropped element
            if (DROPPED.test(element.nodeName)) {
                element.remove();
                continue;
            }
            if (element.nodeName === 'DIV' && !hasBlock(element)) {
                cleanElement(renameToParagraph(element));
            } else if (UNWRAPPED.test(element.nodeName) || (element.nodeName === 'A' && !element.hasAttribute('href'))) {
                const text = element.getAttribute('style');
                if (text)
                    wrapContent(element, styleMeaning(text).wraps);
                unwrap(element);
            } else {
                cleanElement(element);
            }
        }
        liftLoneParagraphs(body);
        tidyWhiteSpace(body);
        // An empty paragraph keeps its line.
        for (const p of elementsOf(body, 'p')) {
            if (!/[^\s\u00a0]/.test(p.textContent) && !p.querySelector('img,br'))
                p.innerHTML = '<br>';
        }
    }

    Tavrik.officePaste = {
        // `html` made ready for the sanitiser: Office clutter removed, `pictures` (stored by
        // native code: {src, picpath, strData, exdata}) in place, pictures from the web left
        // out. Gives {html, remotePictures}.
        clean(html, pictures) {
            const office = WORD.test(html) || LIBREOFFICE.test(html);
            if (!office && !/<img/i.test(html))
                return { html: html, remotePictures: 0 };
            // Word's empty Office paragraphs are left out before the markup is read.
            const markup = office ? html.replace(/<\/?o:p>/gi, '') : html;
            const doc = new DOMParser().parseFromString(markup, 'text/html');
            const remotePictures = placePictures(doc.body, pictures);
            if (office)
                cleanOffice(doc.body);
            return { html: doc.body.innerHTML, remotePictures: remotePictures };
        },
    };
})();
