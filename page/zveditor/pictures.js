// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// Sizing and placing a picture of the note. The size is stored as the picture's width and
// height attributes, its place as plain HTML every program reads: align="left" or "right" for
// a picture the text flows around, a block of its own with text-align: center for a centred
// one. Nothing else of the picture changes (an attachment keeps its class, zv_exdata,
// data-ke-src and zvimgsrc as they are); a picture wider than the note is only shown narrower
// (the note's style sheet), its file stays as it is.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});
    const editor = () => Tavrik.editor;

    const BLOCKS = 'p,div,h1,h2,h3,h4,h5,h6,li,td,th,blockquote,pre';
    const MIN_SIZE = 8;

    // The picture the selection is exactly, or null.
    function selected() {
        const doc = editor().document();
        const sel = doc.getSelection();
        if (!sel || !sel.rangeCount)
            return null;
        const range = sel.getRangeAt(0);
        if (range.startContainer !== range.endContainer || range.endOffset - range.startOffset !== 1)
            return null;
        const node = range.startContainer.childNodes[range.startOffset];
        return node && node.nodeName === 'IMG' && doc.body.contains(node) ? node : null;
    }

    function blockOf(img) {
        const block = img.parentElement && img.parentElement.closest(BLOCKS);
        return block && editor().document().body.contains(block) ? block : null;
    }

    // Whether the picture is all its block holds (besides white space and line breaks).
    function alone(img, block) {
        for (const node of block.childNodes) {
            if (node === img || node.nodeName === 'BR' || (node.nodeType === Node.TEXT_NODE && !node.data.trim()))
                continue;
            return false;
        }
        return true;
    }

    function alignment(img) {
        const align = (img.getAttribute('align') || '').toLowerCase();
        if (align === 'left' || align === 'right')
            return align;
        const block = blockOf(img);
        return block && img.parentElement === block && alone(img, block) && block.style.textAlign === 'center'
            ? 'center' : 'inline';
    }

    function setStyleProperty(element, name, value) {
        if (value)
            element.style.setProperty(name, value);
        else if (!element.style.getPropertyValue(name))
            return;
        else if (element.style.length === 1)
            Tavrik.edits.removeAttribute(element, 'style');
        else
            element.style.removeProperty(name);
    }

    // Puts the picture in a centred paragraph of its own: its block when it holds nothing
    // else, else a new one between the block's content before and after the picture.
    function centre(img) {
        const doc = editor().document();
        const block = blockOf(img);
        if (block && img.parentElement === block && alone(img, block)) {
            setStyleProperty(block, 'text-align', 'center');
            return;
        }
        const paragraph = doc.createElement('p');
        paragraph.style.textAlign = 'center';
        if (!block || /^(TD|TH|LI|BLOCKQUOTE)$/.test(block.tagName)) {
            img.before(paragraph);
        } else {
            // The new blocks go into the note before the content moves into them, so an
            // undone step can be made again whole.
            const after = block.cloneNode(false);
            block.after(paragraph, after);
            while (img.nextSibling)
                after.appendChild(img.nextSibling);
            if (!after.textContent.trim() && !after.querySelector('img,table,hr'))
                after.remove();
        }
        paragraph.appendChild(img);
        if (block && block.parentNode !== null && block !== paragraph.parentNode
            && !block.textContent.trim() && !block.querySelector('img,table,hr'))
            block.remove();
    }

    function align(img, where) {
        const now = alignment(img);
        if (now === where)
            return;
        if (now === 'center')
            setStyleProperty(blockOf(img), 'text-align', '');
        if (where === 'left' || where === 'right')
            img.setAttribute('align', where);
        else
            Tavrik.edits.removeAttribute(img, 'align');
        if (where === 'center')
            centre(img);
    }

    // The size the picture is shown at, as its attributes would store it.
    function shownSize(img) {
        const rect = img.getBoundingClientRect();
        return { width: Math.round(rect.width), height: Math.round(rect.height) };
    }

    function setSize(img, width, height) {
        img.setAttribute('width', String(Math.max(MIN_SIZE, Math.round(width))));
        img.setAttribute('height', String(Math.max(MIN_SIZE, Math.round(height))));
    }

    // Grows or shrinks the picture by `share` of its size, keeping its proportions.
    function scale(img, share) {
        const size = shownSize(img);
        setSize(img, size.width * (1 + share), size.height * (1 + share));
    }

    function reselect(img) {
        if (img.isConnected)
            editor().selectNode(img);
    }

    // Runs a change of the selected picture as one undo step; false without a picture.
    function run(change) {
        const img = selected();
        if (!img || editor().isReadOnly())
            return false;
        Tavrik.edits.record(() => change(img), () => reselect(img));
        reselect(img);
        return true;
    }

    const COMMANDS = {
        inline: (img) => align(img, 'inline'),
        left: (img) => align(img, 'left'),
        right: (img) => align(img, 'right'),
        center: (img) => align(img, 'center'),
        // Back to the picture's own size: the size attributes go.
        originalSize(img) {
            Tavrik.edits.removeAttribute(img, 'width');
            Tavrik.edits.removeAttribute(img, 'height');
        },
        smaller: (img) => scale(img, -0.1),
        larger: (img) => scale(img, 0.1),
    };

    // ---- resizing with the mouse ------------------------------------------------------------

    let resize = null;

    // Starts a resize from the corner `corner` ('nw', 'ne', 'sw', 'se') at the pointer.
    function startResize(img, corner, x, y) {
        const size = shownSize(img);
        resize = {
            img: img, corner: corner, x: x, y: y, width: size.width, height: size.height,
            before: { width: img.getAttribute('width'), height: img.getAttribute('height') },
        };
    }

    // A step of the resize: the corner follows the pointer; the proportions stay unless
    // `free` (Shift held).
    function resizeTo(x, y, free) {
        if (!resize)
            return;
        const dx = (resize.corner.includes('w') ? -1 : 1) * (x - resize.x);
        const dy = (resize.corner.includes('n') ? -1 : 1) * (y - resize.y);
        let width = resize.width + dx;
        let height = resize.height + dy;
        if (!free) {
            const ratio = resize.height / Math.max(1, resize.width);
            if (Math.abs(dx) >= Math.abs(dy) * (resize.width / Math.max(1, resize.height)))
                height = width * ratio;
            else
                width = height / ratio;
        }
        setSize(resize.img, width, height);
    }

    // The whole drag is one undo step.
    function endResize() {
        if (!resize)
            return;
        Tavrik.edits.recordAttributes([[resize.img, resize.before]]);
        reselect(resize.img);
        resize = null;
    }

    // ---- shown at the stored proportions ----------------------------------------------------
    //
    // The note's style sheet sizes pictures by their width (height auto, at most the note's
    // width), which the browser would draw at the file's own proportions. A picture whose size
    // is stored (a free resize among them) is drawn at the stored proportions instead: a rule
    // per stored size in the frame's head, outside the note, matches the size attributes.

    const SIZE = /^[1-9][0-9]{0,5}$/;

    function shapeRules(doc) {
        const sizes = new Set();
        for (const img of doc.body.querySelectorAll('img[width][height]')) {
            const width = img.getAttribute('width');
            const height = img.getAttribute('height');
            if (SIZE.test(width) && SIZE.test(height))
                sizes.add(width + ' ' + height);
        }
        let rules = '';
        for (const size of sizes) {
            const [width, height] = size.split(' ');
            rules += 'img[width="' + width + '"][height="' + height + '"]{aspect-ratio:' + width + '/' + height + '}\n';
        }
        let sheet = doc.getElementById('tavrik-picture-sizes');
        if (!sheet) {
            sheet = doc.createElement('style');
            sheet.id = 'tavrik-picture-sizes';
            doc.head.appendChild(sheet);
        }
        if (sheet.textContent !== rules)
            sheet.textContent = rules;
    }

    function holdsPicture(node) {
        return node.nodeType === Node.ELEMENT_NODE && (node.nodeName === 'IMG' || !!node.querySelector('img'));
    }

    function watchSizes(doc) {
        shapeRules(doc);
        new MutationObserver(function (records) {
            for (const record of records) {
                if (record.type === 'attributes' || Array.from(record.addedNodes).some(holdsPicture)) {
                    shapeRules(doc);
                    return;
                }
            }
        }).observe(doc.body, { subtree: true, childList: true, attributes: true, attributeFilter: ['width', 'height'] });
    }

    // A click on a picture selects it, so its handles and choices show.
    function wire(doc) {
        watchSizes(doc);
        doc.addEventListener('click', function (event) {
            const target = event.target;
            if (target && target.nodeName === 'IMG' && !editor().isReadOnly())
                editor().selectNode(target);
        });
    }
    editor().onFrame(wire);

    Tavrik.pictures = {
        selected: selected,
        alignment: alignment,
        // Runs a picture command by name on the selected picture; false without one.
        exec(name) {
            const change = COMMANDS[name];
            return change ? run(change) : false;
        },
        startResize: startResize,
        resizeTo: resizeTo,
        endResize: endResize,
    };
})();
