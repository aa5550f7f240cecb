<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AttachAdder</name>
    <message>
        <source>不能添加正在编辑的文件作为附件！</source>
        <translation>“%1” is open for editing in another program and cannot be attached until it is closed.</translation>
    </message>
    <message>
        <source>无效文件路径:%1</source>
        <translation>Cannot attach %1: it is not a file that can be read.</translation>
    </message>
    <message>
        <source>获取笔记编辑器附件总大小失败！</source>
        <translation>Cannot work out the size of the note&apos;s attachments, so nothing was attached.</translation>
    </message>
    <message>
        <source>暂不支持文件夹粘贴！</source>
        <translation>Folders cannot be attached; attach the files inside them instead.</translation>
    </message>
    <message>
        <source>不能上传文件大小为0的附件！</source>
        <translation>Empty files (0 bytes) cannot be attached.</translation>
    </message>
    <message>
        <source>最大支持上传10M附件！</source>
        <translation>A note can hold at most 10 MB of attachments.</translation>
    </message>
    <message>
        <source>附件未能添加：%1</source>
        <translation>Not added to the note: %1.</translation>
    </message>
</context>
<context>
    <name>EditorContextMenu</name>
    <message>
        <source>Cut</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Paste as plain text</source>
        <translation>Paste as plain text</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Save a copy as…</source>
        <translation>Save a copy as…</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Save a copy as</source>
        <translation>Save a copy as</translation>
    </message>
    <message>
        <source>Could not save a copy of “%1” as %2.</source>
        <translation>Could not save a copy of “%1” as %2.</translation>
    </message>
    <message>
        <source>No spelling suggestions</source>
        <translation>No spelling suggestions</translation>
    </message>
</context>
<context>
    <name>MhtExport</name>
    <message>
        <source>笔记内容为空！</source>
        <translation>The note is empty.</translation>
    </message>
    <message>
        <source>转化为word失败！</source>
        <translation>Cannot convert the note into a Word document.</translation>
    </message>
</context>
<context>
    <name>OdtExport</name>
    <message>
        <source>转化为ODT文档失败！</source>
        <translation>Cannot convert the note into an ODT document.</translation>
    </message>
</context>
<context>
    <name>TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl</name>
    <message>
        <source>获取笔记编辑器内容失败！</source>
        <translation>The note could not be read from the editor, so it was not saved; the version saved before is kept.</translation>
    </message>
    <message>
        <source>此笔记大小为%1，超过编辑器可编辑的%2，只以只读方式显示其开头部分；笔记本身不会被更改。</source>
        <translation>This note is %1, more than the %2 the editor can edit. Only its beginning is shown, read-only; the note itself stays unchanged.</translation>
    </message>
    <message>
        <source>此笔记过大，无法在编辑器中导出。</source>
        <translation>This note is too large to export from the editor.</translation>
    </message>
</context>
<context>
    <name>ZvWebNoteHandler</name>
    <message>
        <source>No program on this computer could open the link “%1”.</source>
        <translation>No program on this computer could open the link “%1”.</translation>
    </message>
    <message>
        <source>Attach files</source>
        <translation>Attach files</translation>
    </message>
</context>
</TS>
