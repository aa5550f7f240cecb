// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// jsProcessor(method, argText): native code's one entry into the page. It runs synchronously
// and always returns a JSON reply text {"result":bool,"errmsg":text,...}; it never throws.
(function () {
    'use strict';

    const Tavrik = (window.Tavrik = window.Tavrik || {});

    class BadArgument extends Error {}

    function objectArgument(argText) {
        let value;
        try {
            value = JSON.parse(argText);
        } catch (e) {
            throw new BadArgument('bad argument: not JSON');
        }
        if (value === null || typeof value !== 'object' || Array.isArray(value))
            throw new BadArgument('bad argument: not a JSON object');
        return value;
    }

    function stringMember(object, key, allowEmpty) {
        const value = object[key];
        if (typeof value !== 'string' || (!allowEmpty && value === ''))
            throw new BadArgument('bad argument: "' + key + '" must be a' + (allowEmpty ? '' : ' non-empty') + ' text');
        return value;
    }

    function countMember(object, key, min, max) {
        const value = object[key];
        if (!Number.isInteger(value) || value < min || value > max)
            throw new BadArgument('bad argument: "' + key + '" must be a whole number from ' + min + ' to ' + max);
        return value;
    }

    function requireWritable() {
        if (Tavrik.editor.isReadOnly())
            throw new BadArgument('the editor is read-only');
    }

    const MAX_TABLE_COLUMNS = 64;
    const MAX_TABLE_ROWS = 1000;

    function tableRows(arg, colNum, rowNum) {
        if (arg.rowList === undefined || arg.rowList === null)
            return [];
        if (!Array.isArray(arg.rowList) || arg.rowList.length > rowNum)
            throw new BadArgument('bad argument: "rowList" must be a list of at most rowNum rows');
        return arg.rowList.map(function (row) {
            if (row === null)
                return [];
            if (typeof row !== 'object' || (row.colList !== undefined && row.colList !== null
                                            && (!Array.isArray(row.colList) || row.colList.length > colNum)))
                throw new BadArgument('bad argument: "colList" must be a list of at most colNum cells');
            return (row.colList || []).map(function (cell) {
                if (cell === null || typeof cell !== 'object')
                    return {};
                return {
                    width: typeof cell.width === 'string' ? cell.width : '',
                    style: typeof cell.style === 'string' ? cell.style : '',
                    value: typeof cell.value === 'string' ? cell.value : '',
                };
            });
        });
    }

    const methods = {
        SetEditorMode(argText) {
            const arg = objectArgument(argText);
            if (typeof arg.readonly !== 'boolean')
                throw new BadArgument('bad argument: "readonly" must be true or false');
            Tavrik.editor.setReadOnly(arg.readonly);
            return {};
        },
        SetEditorMaxChars(argText) {
            const arg = objectArgument(argText);
            Tavrik.editor.setMaxChars(countMember(arg, 'size', 1, 0x7fffffff));
            return {};
        },
        SetEditorContent(argText) {
            Tavrik.editor.setContent(argText);
            return {};
        },
        // A note file native code found in its record of the files this editor saved from
        // this page: put in as it is, without a second sanitising.
        SetSavedEditorContent(argText) {
            Tavrik.editor.setSavedContent(argText);
            return {};
        },
        GetEditorContent() {
            const content = Tavrik.editor.content();
            return { ehtml: content.html, etext: content.text };
        },
        SelectedAttach(argText) {
            const key = stringMember(objectArgument(argText), 'keyword', false);
            if (!Tavrik.markup.selectAttachment(key))
                throw new BadArgument('no attachment matches "' + key + '"');
            return {};
        },
        ModifyAttachAtrr(argText) {
            const arg = objectArgument(argText);
            const exdata = arg.zv_exdata;
            if (exdata === null || typeof exdata !== 'object' || typeof exdata.OrigName_B64 !== 'string')
                throw new BadArgument('bad argument: "zv_exdata" must be an object with "OrigName_B64"');
            const classValue = stringMember(arg, 'ClassValue', false);
            const srcValue = stringMember(arg, 'SrcValue', false);
            if (Tavrik.markup.modifyAttachments(exdata.OrigName_B64, classValue, srcValue) === 0)
                throw new BadArgument('no attachment carries this original name');
            return {};
        },
        // Misspelt words are underlined (by the browser's checker) while the note is editable.
        SetSpellCheck(argText) {
            const arg = objectArgument(argText);
            if (typeof arg.enabled !== 'boolean')
                throw new BadArgument('bad argument: "enabled" must be true or false');
            Tavrik.editor.setSpellCheck(arg.enabled);
            return {};
        },
        SetEditorTheme(argText) {
            const theme = objectArgument(argText).theme;
            if (theme !== 'light' && theme !== 'dark')
                throw new BadArgument('bad argument: "theme" must be "light" or "dark"');
            Tavrik.editor.setTheme(theme);
            return {};
        },
        FocusEditor() {
            Tavrik.editor.focus();
            return {};
        },
        RemoveAttach(argText) {
            const key = stringMember(objectArgument(argText), 'keyword', false);
            requireWritable();
            if (!Tavrik.markup.removeAttachment(key))
                throw new BadArgument('no attachment matches "' + key + '"');
            return {};
        },
        ClearEditorCache() {
            Tavrik.editor.clearCache();
            return {};
        },
        InsertTable(argText) {
            const arg = objectArgument(argText);
            const colNum = countMember(arg, 'colNum', 1, MAX_TABLE_COLUMNS);
            const rowNum = countMember(arg, 'rowNum', 1, MAX_TABLE_ROWS);
            const rows = tableRows(arg, colNum, rowNum);
            requireWritable();
            if (!Tavrik.markup.insertTable(colNum, rowNum, rows))
                throw new BadArgument('the table could not be built');
            return {};
        },
        // What the table at the caret offers: {"commands": [...]} in the table bar's order,
        // empty outside a table or in read-only mode.
        TableState() {
            return { commands: Tavrik.editor.isReadOnly() ? [] : Tavrik.tables.available() };
        },
        TableCommand(argText) {
            const command = stringMember(objectArgument(argText), 'command', false);
            requireWritable();
            if (!Tavrik.tables.available().includes(command))
                throw new BadArgument('the table command "' + command + '" cannot run here');
            Tavrik.tables.exec(command);
            return {};
        },
        // Pasted markup whose attachments native code has copied into the note: inserted at the
        // caret (cleaned, sanitised, refused past the character limit) as the browser's paste
        // would, with the caret after it. The optional "pictures" ([{src, picpath, strData,
        // exdata}]) are the markup's pictures native code stored, by their src; one with an
        // empty picpath could not be stored and is left out.
        PasteHtml(argText) {
            const arg = objectArgument(argText);
            const html = stringMember(arg, 'html', false);
            const pictures = arg.pictures === undefined ? [] : arg.pictures;
            if (!Array.isArray(pictures))
                throw new BadArgument('bad argument: "pictures" must be a list');
            for (const picture of pictures) {
                if (picture === null || typeof picture !== 'object')
                    throw new BadArgument('bad argument: each of "pictures" must be an object');
                stringMember(picture, 'src', false);
                const stored = stringMember(picture, 'picpath', true) !== '';
                for (const key of ['strData', 'exdata'])
                    stringMember(picture, key, !stored);
            }
            requireWritable();
            Tavrik.editor.pasteHtml(html, pictures);
            return {};
        },
        // {"hits":[start,end,...],"keyword":...,"replacement":...,"matchCase":bool}: the hits
        // (in the body's text) that still read as the keyword get the replacement, as one undo
        // step; answers {"replaced":n,"keywordLeft":bool}, whether the keyword is still in the
        // note's text.
        ReplaceText(argText) {
            const arg = objectArgument(argText);
            const keyword = stringMember(arg, 'keyword', false);
            const replacement = stringMember(arg, 'replacement', true);
            if (typeof arg.matchCase !== 'boolean')
                throw new BadArgument('bad argument: "matchCase" must be true or false');
            const hits = arg.hits;
            if (!Array.isArray(hits) || hits.length % 2 !== 0 || !hits.every((n) => Number.isInteger(n) && n >= 0))
                throw new BadArgument('bad argument: "hits" must be a list of start and end offsets');
            requireWritable();
            const done = Tavrik.replace.replace(hits, keyword, replacement, arg.matchCase);
            if (done.excess > 0)
                throw new BadArgument('the replacement is too long for the note: ' + done.excess + ' characters over the limit');
            return { replaced: done.replaced, keywordLeft: done.keywordLeft };
        },
        // The selection as Markdown: {"markdown":...}, empty without one; attachments are
        // addressed as files in "store" (the store folder's address).
        SelectionMarkdown(argText) {
            const store = stringMember(objectArgument(argText), 'store', false);
            return { markdown: Tavrik.markdown.selection(store) };
        },
        // A note's markup {"html":...} as Markdown: {"markdown":...}.
        HtmlToMarkdown(argText) {
            return { markdown: Tavrik.markdown.fromHtml(stringMember(objectArgument(argText), 'html', true)) };
        },
        // Markdown {"text":...} into the note at the caret as a paste: refused when nothing of
        // it can go in (empty, or past the limit).
        PasteMarkdown(argText) {
            const text = stringMember(objectArgument(argText), 'text', false);
            requireWritable();
            Tavrik.editor.focus();
            if (!Tavrik.markdown.paste(text))
                throw new BadArgument('the Markdown text gave nothing to insert, or is too long for the note');
            return {};
        },
        AddPicToEditor(argText) {
            const arg = objectArgument(argText);
            const picpath = stringMember(arg, 'picpath', false);
            const storeValue = stringMember(arg, 'strData', false);
            const exdata = stringMember(arg, 'exdata', true);
            stringMember(arg, 'type', true);
            requireWritable();
            if (!Tavrik.markup.insertAttachment(picpath, storeValue, exdata))
                throw new BadArgument('bad argument: "picpath" is not an image path');
            return {};
        },
    };

    function reply(result, errmsg, extra) {
        const answer = { result: result, errmsg: errmsg };
        if (extra)
            Object.assign(answer, extra);
        return JSON.stringify(answer);
    }

    window.jsProcessor = function jsProcessor(method, argText) {
        try {
            const name = typeof method === 'string' ? method : String(method);
            if (!Object.prototype.hasOwnProperty.call(methods, name))
                return reply(false, 'unknown method: ' + name);
            const text = argText === undefined || argText === null ? '' : String(argText);
            return reply(true, '', methods[name](text));
        } catch (e) {
            if (e instanceof BadArgument)
                return reply(false, e.message);
            const message = e && e.message ? e.message : String(e);
            Tavrik.editor.reportError('error', 'jsProcessor(' + String(method) + '): ' + message);
            return reply(false, 'internal error: ' + message);
        }
    };
})();
