// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
//
// The page's texts in the editor's language. The native side gives the browser that language
// (navigator.language); the page's own code writes its labels in English, and this file turns
// every label, tooltip and status text that reaches the page outside the note into the user's
// language as it appears. The editing frame is another document, so a note is never touched.
(function () {
    'use strict';

    const CHINESE = {
        'Formatting': '格式',
        'Characters used / allowed': '已用字数 / 上限',
        'Note': '笔记',
        'Paragraph style': '段落样式',
        'Font size': '字号',
        'Tiny': '极小', 'Small': '小', 'Normal': '正常', 'Medium': '中', 'Large': '大',
        'Larger': '较大', 'Huge': '极大',
        'Paragraph': '正文', 'Heading 1': '标题 1', 'Heading 2': '标题 2', 'Heading 3': '标题 3',
        'Quote': '引用', 'Code': '代码',
        'Undo (Ctrl+Z)': '撤销 (Ctrl+Z)', 'Redo (Ctrl+Y)': '重做 (Ctrl+Y)',
        'Bold (Ctrl+B)': '粗体 (Ctrl+B)', 'Italic (Ctrl+I)': '斜体 (Ctrl+I)',
        'Underline (Ctrl+U)': '下划线 (Ctrl+U)', 'Strikethrough': '删除线',
        'Text colour': '文字颜色', 'Automatic': '自动', 'Highlight': '突出显示',
        'No highlight': '无突出显示',
        'Undo': '撤销', 'Redo': '重做', 'Bold': '粗体', 'Italic': '斜体', 'Underline': '下划线',
        'Link': '链接', 'Text colour choices': '文字颜色选项', 'Highlight choices': '突出显示选项',
        'Bulleted list': '项目符号列表', 'Numbered list': '编号列表',
        'Bulleted list (Ctrl+Shift+8)': '项目符号列表 (Ctrl+Shift+8)',
        'Numbered list (Ctrl+Shift+7)': '编号列表 (Ctrl+Shift+7)', 'Rows × columns': '行 × 列',
        'Checklist': '清单', 'Checklist (Ctrl+Shift+9)': '清单 (Ctrl+Shift+9)',
        'Code language': '代码语言', 'HTML, XML': 'HTML、XML',
        'Black': '黑色', 'Dark grey': '深灰色', 'Grey': '灰色', 'Red': '红色', 'Orange': '橙色',
        'Amber': '琥珀色', 'Green': '绿色', 'Teal': '青绿色', 'Blue': '蓝色', 'Indigo': '靛蓝色',
        'Purple': '紫色', 'Magenta': '洋红色', 'Yellow': '黄色', 'Peach': '桃色', 'Pink': '粉色',
        'Mint': '薄荷绿', 'Cyan': '青色', 'Sky blue': '天蓝色', 'Lavender': '淡紫色', 'Light grey': '浅灰色',
        'Decrease indent': '减少缩进', 'Increase indent': '增加缩进',
        'Align left': '左对齐', 'Centre': '居中', 'Align right': '右对齐', 'Justify': '两端对齐',
        'Link (Ctrl+K)': '链接 (Ctrl+K)', 'Link address': '链接地址', 'Apply': '应用',
        'Remove link': '移除链接',
        'Only web and mail addresses can be linked.': '只能链接网页和邮件地址。',
        'Horizontal line': '水平线', 'Table': '表格', 'Insert table': '插入表格',
        'Attach files': '添加附件',
        'Screen capture': '截图', 'Screen capture options': '截图选项',
        'Hide this window while capturing': '截图时隐藏此窗口', 'Capture now': '立即截图',
        'Editing': '正在编辑', 'Read-only': '只读',
        'Character limit reached: the typed text was not inserted': '已达到字数上限，输入的内容未插入',
        'Insert row above': '在上方插入行', 'Insert row below': '在下方插入行',
        'Insert column left': '在左侧插入列', 'Insert column right': '在右侧插入列',
        'Delete row': '删除行', 'Delete column': '删除列', 'Delete table': '删除表格',
        'Merge cells': '合并单元格', 'Split cell': '拆分单元格', 'Header row': '标题行',
        'Narrower column': '列变窄', 'Wider column': '列变宽',
        'Picture': '图片', 'In line with text': '嵌入文本行中', 'Left, text around': '左侧，文字环绕',
        'Right, text around': '右侧，文字环绕', 'Centred': '居中', 'Smaller': '缩小', 'Larger': '放大',
        'Original size': '原始大小',
    };
    // Texts that carry a number, with their translations.
    const CHINESE_PATTERNS = [
        [/^This paste is too long for the note: (\d+) characters? over the limit$/,
         '粘贴的内容过长：超出笔记字数上限 $1 个字符'],
        [/^(\d+) pictures? from the web (?:was|were) left out of the paste$/,
         '粘贴时略去了 $1 张网络图片'],
    ];

    const language = (navigator.language || '').toLowerCase();
    const table = language.startsWith('zh') ? CHINESE : null;
    if (!table)
        return;

    const ATTRIBUTES = ['title', 'aria-label', 'data-tip', 'placeholder'];

    function translated(text) {
        const key = text.trim();
        if (Object.prototype.hasOwnProperty.call(table, key))
            return text.replace(key, table[key]);
        const pattern = CHINESE_PATTERNS.find(([english]) => english.test(key));
        return pattern ? text.replace(key, key.replace(pattern[0], pattern[1])) : null;
    }

    function translateNode(node) {
        if (node.nodeType === Node.TEXT_NODE) {
            const text = translated(node.nodeValue);
            if (text !== null)
                node.nodeValue = text;
            return;
        }
        if (node.nodeType !== Node.ELEMENT_NODE)
            return;
        for (const name of ATTRIBUTES) {
            const value = node.getAttribute(name);
            const text = value === null ? null : translated(value);
            if (text !== null)
                node.setAttribute(name, text);
        }
        for (const child of node.childNodes)
            translateNode(child);
    }

    const observer = new MutationObserver((records) => {
        for (const record of records) {
            if (record.type === 'attributes' || record.type === 'characterData')
                translateNode(record.target);
            for (const node of record.addedNodes || [])
                translateNode(node);
        }
    });
    document.documentElement.lang = 'zh-CN';
    translateNode(document.body);
    observer.observe(document.body, { subtree: true, childList: true, characterData: true,
                                      attributes: true, attributeFilter: ATTRIBUTES });
})();
