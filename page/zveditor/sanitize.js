// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Every piece of HTML that enters the editing surface (note content, pasted or dropped HTML,
// table cell values) passes through here first. DOMPurify removes scripts, event handlers,
// dangerous URLs and active elements; the attachment attributes stay exactly as written.
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
        });
        return purifier;
    }

    // Notes are opened again and again. A text whose clean DOM serialises back to the text itself
    // needs no second pass: its clean form is the text. The last few such texts are kept,
    // compared in full.
    const KNOWN_CLEAN_MIN_LENGTH = 4096;
    const KNOWN_CLEAN_MAX_ENTRIES = 8;
    const KNOWN_CLEAN_MAX_LENGTH = 32 * 1024 * 1024;
    const knownClean = new Set(); // in the order of last use
    let knownCleanLength = 0;

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

    Tavrik.sanitize = {
        // Clean HTML as a fragment owned by `doc` (without `doc`, by the sanitiser's own inert
        // document, for the caller to adopt); no second parse of the cleaned markup.
        fragment(dirty, doc) {
            if (dirty === null || dirty === undefined || dirty === '')
                return (doc || document).createDocumentFragment();
            const clean = purify().sanitize(String(dirty), FRAGMENT_CONFIG);
            return doc ? doc.adoptNode(clean) : clean;
        },
        // True when `text` came back from the sanitiser unchanged before (then it is its own
        // clean form); marks it as the most recently used.
        isKnownClean(text) {
            if (!knownClean.delete(text))
                return false;
            knownClean.add(text);
            return true;
        },
        // After the clean fragment of `text` went into the page, remembers `text` when that DOM
        // serialises back to `text` itself; `markup()` gives the serialisation. A size that is
        // never remembered is not serialised.
        rememberIfSame(text, markup) {
            if (text.length >= KNOWN_CLEAN_MIN_LENGTH && text.length <= KNOWN_CLEAN_MAX_LENGTH
                && markup() === text)
                rememberClean(text);
        },
    };
})();
