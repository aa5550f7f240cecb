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
    <message>
        <source>Only regular files can be attached; not attached: %1</source>
        <translation>Only regular files can be attached; not attached: %1</translation>
    </message>
    <message>
        <source>These files cannot be opened and were not attached: %1</source>
        <translation>These files cannot be opened and were not attached: %1</translation>
    </message>
</context>
<context>
    <name>CSTip</name>
    <message>
        <source>截图</source>
        <translation>Capture</translation>
    </message>
    <message>
        <source>像素RGB值：(%1,%2,%3)</source>
        <translation>Pixel RGB: (%1,%2,%3)</translation>
    </message>
    <message>
        <source>矩形大小：(%1,%2)</source>
        <translation>Rectangle size: (%1,%2)</translation>
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
    <message>
        <source>Insert row above</source>
        <translation>Insert row above</translation>
    </message>
    <message>
        <source>Insert row below</source>
        <translation>Insert row below</translation>
    </message>
    <message>
        <source>Insert column left</source>
        <translation>Insert column left</translation>
    </message>
    <message>
        <source>Insert column right</source>
        <translation>Insert column right</translation>
    </message>
    <message>
        <source>Delete row</source>
        <translation>Delete row</translation>
    </message>
    <message>
        <source>Delete column</source>
        <translation>Delete column</translation>
    </message>
    <message>
        <source>Delete table</source>
        <translation>Delete table</translation>
    </message>
    <message>
        <source>Merge cells</source>
        <translation>Merge cells</translation>
    </message>
    <message>
        <source>Split cell</source>
        <translation>Split cell</translation>
    </message>
    <message>
        <source>Header row</source>
        <translation>Header row</translation>
    </message>
    <message>
        <source>Copy as &amp;Markdown</source>
        <translation>Copy as &amp;Markdown</translation>
    </message>
    <message>
        <source>Paste as Mar&amp;kdown</source>
        <translation>Paste as Mar&amp;kdown</translation>
    </message>
</context>
<context>
    <name>DocxExport</name>
    <message>
        <source>转化为DOCX文档失败！</source>
        <translation>Cannot convert the note into a DOCX document.</translation>
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
    <name>ScreenCapture</name>
    <message>
        <source>The screen gave no picture.</source>
        <translation>The screen gave no picture.</translation>
    </message>
    <message>
        <source>There is no screen to capture.</source>
        <translation>There is no screen to capture.</translation>
    </message>
    <message>
        <source>The desktop portal cannot be reached: there is no session bus.</source>
        <translation>The desktop portal cannot be reached: there is no session bus.</translation>
    </message>
    <message>
        <source>The desktop portal cannot take a screenshot: %1</source>
        <translation>The desktop portal cannot take a screenshot: %1</translation>
    </message>
    <message>
        <source>The desktop portal did not answer.</source>
        <translation>The desktop portal did not answer.</translation>
    </message>
    <message>
        <source>The desktop portal refused the screenshot.</source>
        <translation>The desktop portal refused the screenshot.</translation>
    </message>
    <message>
        <source>The desktop portal&apos;s picture cannot be read: %1</source>
        <translation>The desktop portal&apos;s picture cannot be read: %1</translation>
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
    <name>NotePrinting</name>
    <message>
        <source>无法创建临时文件夹。</source>
        <translation>A temporary folder could not be created.</translation>
    </message>
    <message>
        <source>浏览器无法显示笔记。</source>
        <translation>The browser could not lay out the note.</translation>
    </message>
    <message>
        <source>浏览器显示笔记超时。</source>
        <translation>The browser took too long to lay out the note.</translation>
    </message>
    <message>
        <source>文件夹 %1 不存在。</source>
        <translation>The folder %1 does not exist.</translation>
    </message>
    <message>
        <source>无法绘制 PDF。</source>
        <translation>The PDF could not be drawn.</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>无法打印笔记。</source>
        <translation>The note could not be printed.</translation>
    </message>
    <message>
        <source>打印笔记超时。</source>
        <translation>Printing the note took too long.</translation>
    </message>
</context>
<context>
    <name>ZorvaNoteScreenCapture</name>
    <message>
        <source>复制截图</source>
        <translation>Copy capture</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>完成截图</source>
        <translation>Finish capture</translation>
    </message>
    <message>
        <source>The screen could not be captured. %1</source>
        <translation>The screen could not be captured. %1</translation>
    </message>
    <message>
        <source>Screen capture</source>
        <translation>Screen capture</translation>
    </message>
    <message>
        <source>另存为图片文件</source>
        <translation>Save picture as</translation>
    </message>
    <message>
        <source>截图未命名</source>
        <translation>Untitled capture</translation>
    </message>
    <message>
        <source>“%1” already exists. Do you want to replace it?</source>
        <translation>“%1” already exists. Do you want to replace it?</translation>
    </message>
    <message>
        <source>“%1” is not a picture type the capture can save: choose .png, .bmp or .jpg.</source>
        <translation>“%1” is not a picture type the capture can save: choose .png, .bmp or .jpg.</translation>
    </message>
    <message>
        <source>The picture could not be saved as “%1”: %2</source>
        <translation>The picture could not be saved as “%1”: %2</translation>
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
