// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Every piece of HTML that enters the editing surface (note content, pasted or dropped HTML,
// table cell values) passes through here first. DOMPurify removes scripts, event handlers,
// dangerous URLs and active elements; inline styles keep only what a note needs; the
// attachment attributes stay exactly as written.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});

    // Only raster images may come as data: URLs (no SVG, which can carry script).
    const SAFE_DATA_IMAGE = /^data:image\/(?:png|jpe?g|gif|webp|bmp|x-icon);base64,[a-z0-9+/=\s]*$/i;
    // The usual schemes plus file:, which pictures pasted from other programs use.
    const ALLOWED_URI = /^(?:(?:(?:f|ht)tps?|mailto|tel|file):|[^a-z]|[a-z+.\-]+(?:[^a-z+.\-:]|$))/i;

    const CONFIG = {
        USE_PROFILES: { html: true },
        ADD_ATTR: ['zv_exdata', 'zvimgsrc'],
        // Attachment metadata and image path copies are plain texts, never followed as URLs:
        // keep them byte for byte.
        ADD_URI_SAFE_ATTR: ['zv_exdata', 'zvimgsrc', 'data-ke-src'],
        ALLOWED_URI_REGEXP: ALLOWED_URI,
        FORBID_TAGS: ['style', 'link', 'meta', 'base', 'form', 'input', 'button', 'select', 'option',
                      'textarea', 'iframe', 'frame', 'frameset', 'embed', 'object', 'applet', 'script',
                      'noscript', 'template', 'svg', 'math', 'video', 'audio', 'source', 'track', 'dialog'],
        FORBID_ATTR: ['target', 'formaction', 'action', 'srcset', 'ping', 'background', 'poster'],
        ALLOW_DATA_ATTR: true,
        KEEP_CONTENT: true,
        WHOLE_DOCUMENT: false,
    };

    const FRAGMENT_CONFIG = Object.assign({ RETURN_DOM_FRAGMENT: true }, CONFIG);

    // ---- inline styles --------------------------------------------------------------------
    //
    // A style keeps the properties a note needs and nothing that could cover the page, hide
    // text or load anything. The browser's own parser reads the declarations (escapes, comments,
    // case and shorthands as the note frame would read them); every longhand it gives is kept
    // when its name is allowed for the element and its value calls no function that loads or
    // computes something. A shorthand's parts it leaves unset are "initial" and drop nothing.

    const TEXT_PROPERTIES = new RegExp('^(?:color|background-color|line-height|text-align|text-indent'
        + '|font-(?:style|weight|size|family|stretch|variant(?:-[a-z-]+)?)'
        + '|text-decoration-(?:line|style|color|thickness)'
        + '|margin-left|padding-left|vertical-align|white-space|list-style-type)$');
    const SIZE_PROPERTIES = /^(?:width|height|min-width|max-width)$/;
    const BORDER_PROPERTIES = new RegExp('^(?:border-(?:top|right|bottom|left)-(?:width|style|color)'
        + '|border-collapse|-webkit-border-(?:horizontal|vertical)-spacing)$');
    const SIZED_ELEMENTS = new Set(['TABLE', 'COL', 'COLGROUP', 'TD', 'TH', 'IMG']);
    const BORDERED_ELEMENTS = new Set(['TABLE', 'TD', 'TH', 'IMG']);
    // In a parsed value and in the text as written: functions that load or compute, script
    // addresses, old engines' bindings. The text as written may also hide them behind escapes,
    // comments or at-rules.
    const ACTIVE_VALUE = new RegExp('(?:url|image|image-set|cross-fade|element|paint|expression|var|env|attr)'
        + '\\s*\\(|javascript:|@import|behavio|binding', 'i');
    const ACTIVE_TEXT = new RegExp(ACTIVE_VALUE.source + '|[\\\\@]|/\\*', 'i');
    const STYLE_CACHE_MAX_ENTRIES = 4096;

    const styleCache = new Map(); // element kind + NUL + style text -> kept style text
    let probe = null;

    function probeStyle() {
        if (!probe)
            probe = document.implementation.createHTMLDocument('').createElement('div');
        return probe.style;
    }

    function styleKind(nodeName) {
        return BORDERED_ELEMENTS.has(nodeName) ? 'bordered' : SIZED_ELEMENTS.has(nodeName) ? 'sized' : 'text';
    }

    function allowedProperty(kind, name) {
        return TEXT_PROPERTIES.test(name) || (kind !== 'text' && SIZE_PROPERTIES.test(name))
            || (kind === 'bordered' && BORDER_PROPERTIES.test(name));
    }

    // Whether the browser read every declaration of `text`: one it could not parse is missing
    // from `parsed`, and the text is then not kept as written.
    function everyDeclarationRead(parsed, text) {
        for (const declaration of text.split(';')) {
            const colon = declaration.indexOf(':');
            if (colon < 0 ? /\S/.test(declaration)
                          : !parsed.getPropertyValue(declaration.slice(0, colon).trim().toLowerCase()))
                return false;
        }
        return true;
    }

    // The style an element of `kind` keeps of `text`: `text` itself when nothing in it is
    // dropped, else what is kept as the browser writes it ('' when nothing is).
    function keptStyle(kind, text) {
        const parsed = probeStyle();
        parsed.cssText = text;
        let dropped = ACTIVE_TEXT.test(text) || !everyDeclarationRead(parsed, text);
        const kept = [];
        for (let i = 0; i < parsed.length; ++i) {
            const name = parsed.item(i);
            const value = parsed.getPropertyValue(name);
            if (allowedProperty(kind, name) && !ACTIVE_VALUE.test(value))
                kept.push([name, value, parsed.getPropertyPriority(name)]);
            else if (value !== 'initial')
                dropped = true;
        }
        if (!dropped)
            return text;
        parsed.cssText = '';
        for (const [name, value, priority] of kept)
            parsed.setProperty(name, value, priority);
        return parsed.cssText;
    }

    // Styles repeat a lot within a note: each distinct one is read once.
    function cleanStyle(nodeName, text) {
        const kind = styleKind(nodeName);
        const key = kind + '\0' + text;
        let clean = styleCache.get(key);
        if (clean === undefined) {
            if (styleCache.size >= STYLE_CACHE_MAX_ENTRIES)
                styleCache.clear();
            clean = keptStyle(kind, text);
            styleCache.set(key, clean);
        }
        return clean;
    }

    let purifier = null;

    function purify() {
        if (purifier)
            return purifier;
        if (typeof window.DOMPurify !== 'function' && typeof window.DOMPurify !== 'object')
            throw new Error('the HTML sanitiser is not available');
        purifier = window.DOMPurify(window);
        purifier.addHook('uponSanitizeAttribute', function (node, data) {
            if (data.attrName === 'src' && /^\s*data:/i.test(data.attrValue)
                && !SAFE_DATA_IMAGE.test(data.attrValue))
                data.keepAttr = false;
            if (data.attrName === 'href' && /^\s*data:/i.test(data.attrValue))
                data.keepAttr = false;
            if (data.attrName === 'style') {
                data.attrValue = cleanStyle(node.nodeName, data.attrValue);
                data.keepAttr = data.attrValue !== '';
            }
        });
        return purifier;
    }

    // Notes are opened again and again. A text whose clean markup is the text itself needs no
    // second pass. The last few such texts are kept, compared in full.
    const KNOWN_CLEAN_MIN_LENGTH = 4096;
    const KNOWN_CLEAN_MAX_ENTRIES = 8;
    const KNOWN_CLEAN_MAX_LENGTH = 32 * 1024 * 1024;
    const knownClean = new Set(); // in the order of last use
    let knownCleanLength = 0;

    // True when `text` came back from the sanitiser unchanged before; marks it as the most
    // recently used.
    function isKnownClean(text) {
        if (!knownClean.delete(text))
            return false;
        knownClean.add(text);
        return true;
    }

    function rememberClean(text) {
        if (text.length < KNOWN_CLEAN_MIN_LENGTH || text.length > KNOWN_CLEAN_MAX_LENGTH)
            return;
        knownClean.add(text);
        knownCleanLength += text.length;
        for (const old of knownClean) {
            if (knownClean.size <= KNOWN_CLEAN_MAX_ENTRIES && knownCleanLength <= KNOWN_CLEAN_MAX_LENGTH)
                break;
            knownClean.delete(old);
            knownCleanLength -= old.length;
        }
    }

    // The sanitiser lists what it removed, and each removed node holds the document it was
    // cleaned in: the list goes once the clean result is out, so that document can go too.
    function clean(dirty, config) {
        const p = purify();
        try {
            return p.sanitize(String(dirty), config);
        } finally {
            p.removed = [];
        }
    }

    Tavrik.sanitize = {
        // Clean HTML as a fragment owned by `doc`, for a piece put into a note; no second
        // parse of the cleaned markup.
        fragment(dirty, doc) {
            if (dirty === null || dirty === undefined || dirty === '')
                return doc.createDocumentFragment();
            return doc.adoptNode(clean(dirty, FRAGMENT_CONFIG));
        },
        // Clean HTML as markup, for a whole note: the note's document parses it into elements
        // of its own, which keep nothing of the sanitiser's walk (it reads every element's
        // attribute list, and a list once read stays with its element), and the sanitiser's
        // document is left whole to the garbage collector.
        markup(dirty) {
            const text = dirty === null || dirty === undefined ? '' : String(dirty);
            if (text === '' || isKnownClean(text))
                return text;
            const markup = clean(text, CONFIG);
            if (markup === text)
                rememberClean(text);
            return markup;
        },
    };
})();
