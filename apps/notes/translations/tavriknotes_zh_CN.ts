<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>AttachmentOpener</name>
    <message>
        <source>“%1” is a program or script. Opening it can run code on this computer.

Open it only if you trust where it came from. Open it anyway?</source>
        <translation>“%1”是程序或脚本，打开它可能会在本机上运行代码。

请只在信任其来源时打开。仍要打开吗？</translation>
    </message>
    <message>
        <source>The attachment “%1” is no longer in the note&apos;s folder.</source>
        <translation>附件“%1”已不在笔记的文件夹中。</translation>
    </message>
    <message>
        <source>No program on this computer opens “%1”.</source>
        <translation>本机没有能打开“%1”的程序。</translation>
    </message>
    <message>
        <source>Open attachment</source>
        <translation>打开附件</translation>
    </message>
</context>
<context>
    <name>AttachmentPane</name>
    <message>
        <source>Attachment</source>
        <translation>附件</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Save a copy…</source>
        <translation>另存副本…</translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation>在文件夹中显示</translation>
    </message>
    <message>
        <source>full, no more files can be added</source>
        <translation>已满，不能再添加文件</translation>
    </message>
    <message>
        <source>nearly full</source>
        <translation>即将用满</translation>
    </message>
    <message>
        <source>Save a copy of the attachment</source>
        <translation>保存附件副本</translation>
    </message>
    <message>
        <source>“%1” could not be copied to “%2”: %3</source>
        <translation>无法将“%1”复制到“%2”：%3</translation>
    </message>
    <message>
        <source>Save a copy</source>
        <translation>另存副本</translation>
    </message>
    <message numerus="yes">
        <source>%n byte(s)</source>
        <translation>
            <numerusform>%n 字节</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 KiB</source>
        <translation>%1 KiB</translation>
    </message>
    <message>
        <source>%1 MiB</source>
        <translation>%1 MiB</translation>
    </message>
    <message>
        <source>%1 GiB</source>
        <translation>%1 GiB</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s), %1 of %2</source>
        <translation>
            <numerusform>%n 个文件，已用 %1，共 %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Untitled note</source>
        <translation>无标题笔记</translation>
    </message>
    <message>
        <source>Your notebook is empty</source>
        <translation>笔记本是空的</translation>
    </message>
    <message>
        <source>Press &lt;b&gt;New note&lt;/b&gt; (Ctrl+N) to write your first note.</source>
        <translation>按&lt;b&gt;新建笔记&lt;/b&gt;（Ctrl+N）写下第一篇笔记。</translation>
    </message>
    <message>
        <source>Loading the editor…</source>
        <translation>正在加载编辑器…</translation>
    </message>
    <message>
        <source>&amp;New note</source>
        <translation>新建笔记(&amp;N)</translation>
    </message>
    <message>
        <source>Start a new note (Ctrl+N)</source>
        <translation>新建一篇笔记（Ctrl+N）</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>删除(&amp;D)</translation>
    </message>
    <message>
        <source>Delete the selected note</source>
        <translation>删除选中的笔记</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>重命名(&amp;R)</translation>
    </message>
    <message>
        <source>Rename the selected note (F2)</source>
        <translation>重命名选中的笔记（F2）</translation>
    </message>
    <message>
        <source>&amp;Attach files…</source>
        <translation>添加附件(&amp;A)…</translation>
    </message>
    <message>
        <source>Add files to the note</source>
        <translation>向笔记添加文件</translation>
    </message>
    <message>
        <source>Read-&amp;only</source>
        <translation>只读(&amp;O)</translation>
    </message>
    <message>
        <source>Protect the note from changes</source>
        <translation>防止笔记被修改</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>退出(&amp;Q)</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Note</source>
        <translation>笔记(&amp;N)</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>笔记</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>Saved “%1” at %2</source>
        <translation>已于 %2 保存“%1”</translation>
    </message>
    <message>
        <source>Opened “%1”</source>
        <translation>已打开“%1”</translation>
    </message>
    <message>
        <source>New note: start typing; the first line becomes its title</source>
        <translation>新笔记：开始输入，第一行将成为标题</translation>
    </message>
    <message>
        <source>Delete the note “%1”?

Its text and its attachments are removed for good.</source>
        <translation>删除笔记“%1”？

其文字和附件将被永久删除。</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>删除笔记</translation>
    </message>
    <message>
        <source>Deleted “%1”</source>
        <translation>已删除“%1”</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>导出失败：%1</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>已导出到 %1</translation>
    </message>
    <message>
        <source>The note is read-only now</source>
        <translation>笔记现在为只读</translation>
    </message>
    <message>
        <source>The note can be edited again</source>
        <translation>笔记可以再次编辑</translation>
    </message>
    <message numerus="yes">
        <source>%n note(s)</source>
        <translation>
            <numerusform>%n 篇笔记</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Copy note</source>
        <translation>复制笔记(&amp;C)</translation>
    </message>
    <message>
        <source>Copy the whole note with its pictures</source>
        <translation>复制整篇笔记及其图片</translation>
    </message>
    <message>
        <source>Nothing to copy: the note is empty</source>
        <translation>没有可复制的内容：笔记是空的</translation>
    </message>
    <message>
        <source>The note is on the clipboard</source>
        <translation>笔记已复制到剪贴板</translation>
    </message>
    <message>
        <source>Search in this note</source>
        <translation>在此笔记中搜索</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>导出(&amp;E)</translation>
    </message>
    <message>
        <source>Save the note as a document for a word processor</source>
        <translation>将笔记保存为可用文字处理软件打开的文档</translation>
    </message>
    <message>
        <source>The editor page %1 was not found, so notes cannot be shown. Tavrik Notes looked for it in:
%2</source>
        <translation>找不到编辑器页面 %1，因此无法显示笔记。Tavrik Notes 查找过的位置：
%2</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Theme</source>
        <translation>主题(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;System</source>
        <translation>跟随系统(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Light</source>
        <translation>浅色(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Dark</source>
        <translation>深色(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>打印(&amp;P)…</translation>
    </message>
    <message>
        <source>Print the note, with a preview first</source>
        <translation>先预览，再打印笔记</translation>
    </message>
    <message>
        <source>Print %1</source>
        <translation>打印 %1</translation>
    </message>
    <message>
        <source>Printing failed: %1</source>
        <translation>打印失败：%1</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
</context>
<context>
    <name>NoteExport</name>
    <message>
        <source>Export to DOCX</source>
        <translation>导出为 DOCX</translation>
    </message>
    <message>
        <source>Word documents (*.docx)</source>
        <translation>Word 文档 (*.docx)</translation>
    </message>
    <message>
        <source>As &amp;DOCX document…</source>
        <translation>DOCX 文档(&amp;D)…</translation>
    </message>
    <message>
        <source>A Word document for Microsoft Word and other word processors</source>
        <translation>供 Microsoft Word 及其他文字处理软件使用的 Word 文档</translation>
    </message>
    <message>
        <source>Export to ODT</source>
        <translation>导出为 ODT</translation>
    </message>
    <message>
        <source>Export to MHT</source>
        <translation>导出为 MHT</translation>
    </message>
    <message>
        <source>OpenDocument texts (*.odt)</source>
        <translation>OpenDocument 文本 (*.odt)</translation>
    </message>
    <message>
        <source>MHT documents (*.mht *.mhtml)</source>
        <translation>MHT 文档 (*.mht *.mhtml)</translation>
    </message>
    <message>
        <source>As &amp;MHT document…</source>
        <translation>MHT 文档(&amp;M)…</translation>
    </message>
    <message>
        <source>A single file with the pictures inside, for browsers and Word</source>
        <translation>图片包含在内的单个文件，可用浏览器和 Word 打开</translation>
    </message>
    <message>
        <source>As &amp;ODT document…</source>
        <translation>ODT 文档(&amp;O)…</translation>
    </message>
    <message>
        <source>An OpenDocument text for LibreOffice and other word processors</source>
        <translation>供 LibreOffice 及其他文字处理软件使用的 OpenDocument 文本</translation>
    </message>
    <message>
        <source>Export to PDF</source>
        <translation>导出为 PDF</translation>
    </message>
    <message>
        <source>PDF documents (*.pdf)</source>
        <translation>PDF 文档 (*.pdf)</translation>
    </message>
    <message>
        <source>As &amp;PDF…</source>
        <translation>PDF 文档(&amp;P)…</translation>
    </message>
    <message>
        <source>A PDF for reading and printing anywhere, always on white paper</source>
        <translation>可在任何地方阅读和打印的 PDF，始终为白色纸张</translation>
    </message>
</context>
<context>
    <name>NoteFind</name>
    <message>
        <source>Find in this note</source>
        <translation>查找笔记中的内容</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>区分大小写(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Whole word</source>
        <translation>全字匹配(&amp;W)</translation>
    </message>
    <message>
        <source>Replace with</source>
        <translation>替换为</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>替换(&amp;R)</translation>
    </message>
    <message>
        <source>Replace &amp;all</source>
        <translation>全部替换(&amp;A)</translation>
    </message>
    <message>
        <source>The note is read-only</source>
        <translation>此笔记为只读</translation>
    </message>
    <message>
        <source>Nothing was replaced</source>
        <translation>未替换任何内容</translation>
    </message>
    <message numerus="yes">
        <source>%n replaced</source>
        <translation>
            <numerusform>已替换 %n 处</numerusform>
        </translation>
    </message>
    <message>
        <source>No matches</source>
        <translation>无匹配项</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>第 %1 个，共 %2 个</translation>
    </message>
</context>
<context>
    <name>NoteImport</name>
    <message>
        <source>%1 in “%2”</source>
        <translation>“%2”中的 %1</translation>
    </message>
    <message>
        <source>%1: cannot be read</source>
        <translation>%1：无法读取</translation>
    </message>
    <message>
        <source>%1: the file breaks off at %2; the notes before it were imported</source>
        <translation>%1：文件在 %2 处中断；之前的笔记已导入</translation>
    </message>
    <message>
        <source>%1: its bytes do not match its hash</source>
        <translation>%1：内容与其哈希值不符</translation>
    </message>
    <message>
        <source>%1: larger than the 10 MB a note&apos;s attachments may take</source>
        <translation>%1：超过一篇笔记附件总计 10 MB 的上限</translation>
    </message>
    <message>
        <source>%1: the name leads out of its folder</source>
        <translation>%1：名称指向其文件夹之外</translation>
    </message>
    <message>
        <source>%1: not found</source>
        <translation>%1：未找到</translation>
    </message>
    <message>
        <source>%1: could not be stored in the notebook</source>
        <translation>%1：无法存入笔记本</translation>
    </message>
    <message numerus="yes">
        <source>Imported %n note(s).</source>
        <translation>
            <numerusform>已导入 %n 篇笔记。</numerusform>
        </translation>
    </message>
    <message>
        <source>… and %1 more</source>
        <translation>……另有 %1 项</translation>
    </message>
    <message>
        <source>Left out:</source>
        <translation>未导入：</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>导入(&amp;I)…</translation>
    </message>
    <message>
        <source>Add notes from an Evernote export or from web pages</source>
        <translation>从 Evernote 导出文件或网页添加笔记</translation>
    </message>
    <message>
        <source>Importing notes…</source>
        <translation>正在导入笔记…</translation>
    </message>
    <message>
        <source>Import notes</source>
        <translation>导入笔记</translation>
    </message>
    <message>
        <source>Evernote exports and web pages (*.enex *.html *.htm)</source>
        <translation>Evernote 导出文件和网页 (*.enex *.html *.htm)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
</context>
<context>
    <name>NoteItemDelegate</name>
    <message>
        <source>Yesterday</source>
        <translation>昨天</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>无标题</translation>
    </message>
    <message>
        <source>No text yet</source>
        <translation>还没有文字</translation>
    </message>
    <message>
        <source>MMM d</source>
        <comment>date of this year</comment>
        <translation>M月d日</translation>
    </message>
</context>
<context>
    <name>NoteSearch</name>
    <message>
        <source>Search all notes</source>
        <translation>搜索全部笔记</translation>
    </message>
    <message>
        <source>No note holds “%1”</source>
        <translation>没有笔记包含“%1”</translation>
    </message>
    <message numerus="yes">
        <source>%n note(s) found</source>
        <translation>
            <numerusform>找到 %n 篇笔记</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoteStore</name>
    <message>
        <source>Cannot prepare the notebook</source>
        <translation>无法准备笔记本</translation>
    </message>
    <message>
        <source>Cannot open the notebook</source>
        <translation>无法打开笔记本</translation>
    </message>
    <message>
        <source>the Qt SQLite driver is not installed</source>
        <translation>未安装 Qt 的 SQLite 驱动</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>无法创建文件夹 %1</translation>
    </message>
    <message>
        <source>Cannot open the notebook %1</source>
        <translation>无法打开笔记本 %1</translation>
    </message>
    <message>
        <source>Cannot read the notebook %1</source>
        <translation>无法读取笔记本 %1</translation>
    </message>
    <message>
        <source>it was written by a newer version (schema %1)</source>
        <translation>它由更新的版本写入（结构 %1）</translation>
    </message>
    <message>
        <source>Cannot list the notes</source>
        <translation>无法列出笔记</translation>
    </message>
    <message>
        <source>Cannot read the note</source>
        <translation>无法读取笔记</translation>
    </message>
    <message>
        <source>Cannot add a note</source>
        <translation>无法添加笔记</translation>
    </message>
    <message>
        <source>it has no id</source>
        <translation>它没有编号</translation>
    </message>
    <message>
        <source>Cannot add the note %1</source>
        <translation>无法添加笔记 %1</translation>
    </message>
    <message>
        <source>there is no such note</source>
        <translation>没有这篇笔记</translation>
    </message>
    <message>
        <source>Cannot rename the note</source>
        <translation>无法重命名笔记</translation>
    </message>
    <message>
        <source>the title is empty</source>
        <translation>标题为空</translation>
    </message>
    <message>
        <source>Cannot rename the note %1</source>
        <translation>无法重命名笔记 %1</translation>
    </message>
    <message>
        <source>Cannot change the note %1</source>
        <translation>无法修改笔记 %1</translation>
    </message>
    <message>
        <source>Cannot delete the note %1</source>
        <translation>无法删除笔记 %1</translation>
    </message>
    <message>
        <source>Cannot save the note %1</source>
        <translation>无法保存笔记 %1</translation>
    </message>
    <message>
        <source>its file list does not start with the note file</source>
        <translation>其文件列表不是以笔记文件开头</translation>
    </message>
    <message>
        <source>Cannot read the files of the note %1</source>
        <translation>无法读取笔记 %1 的文件</translation>
    </message>
    <message>
        <source>Cannot read the attachment sizes of the note %1</source>
        <translation>无法读取笔记 %1 的附件大小</translation>
    </message>
    <message>
        <source>Cannot search the notes</source>
        <translation>无法搜索笔记</translation>
    </message>
    <message>
        <source>Cannot read the search index</source>
        <translation>无法读取搜索索引</translation>
    </message>
    <message>
        <source>Cannot index the note %1</source>
        <translation>无法为笔记 %1 建立索引</translation>
    </message>
    <message>
        <source>it holds no notes</source>
        <translation>其中没有笔记</translation>
    </message>
    <message>
        <source>Cannot record the note %1</source>
        <translation>无法记录笔记 %1</translation>
    </message>
    <message>
        <source>Cannot record the new notes</source>
        <translation>无法记录新笔记</translation>
    </message>
    <message>
        <source>Cannot take the note %1 from the heads</source>
        <translation>无法从笔记头文件读取笔记 %1</translation>
    </message>
    <message>
        <source>Cannot open the other version of the note %1</source>
        <translation>无法打开笔记 %1 的另一版本</translation>
    </message>
    <message>
        <source>there is no such version</source>
        <translation>没有这个版本</translation>
    </message>
    <message>
        <source>the file %1 of that version cannot be copied; it may not have arrived yet</source>
        <translation>无法复制该版本的文件 %1；它可能尚未到达</translation>
    </message>
</context>
<context>
    <name>NotebookLock</name>
    <message>
        <source>The notebook %1 is already open in another Tavrik Notes window.

Switch to that window to go on with your notes.</source>
        <translation>笔记本 %1 已在另一个 Tavrik Notes 窗口中打开。

请切换到那个窗口继续记笔记。</translation>
    </message>
    <message>
        <source>Cannot lock the notebook %1: its folder is not writable.</source>
        <translation>无法锁定笔记本 %1：其文件夹不可写。</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureDemo</name>
    <message>
        <source>Capture &amp;screen…</source>
        <translation>截取屏幕(&amp;S)…</translation>
    </message>
    <message>
        <source>Select a part of the screen and put its picture into the note</source>
        <translation>选取屏幕的一部分，把它的图片放进笔记</translation>
    </message>
</context>
<context>
    <name>StoreActions</name>
    <message>
        <source>… and %1 more</source>
        <translation>……另有 %1 项</translation>
    </message>
    <message>
        <source>Chec&amp;k notebook</source>
        <translation>检查笔记本(&amp;K)</translation>
    </message>
    <message>
        <source>Check that every file of the notebook is there and intact</source>
        <translation>检查笔记本的每个文件是否都在且完好</translation>
    </message>
    <message>
        <source>C&amp;lean up…</source>
        <translation>清理(&amp;L)…</translation>
    </message>
    <message>
        <source>Remove the files no note refers to any more</source>
        <translation>删除不再被任何笔记引用的文件</translation>
    </message>
    <message>
        <source>Export note as &amp;folder…</source>
        <translation>将笔记导出为文件夹(&amp;F)…</translation>
    </message>
    <message>
        <source>Save the note as a web page with its pictures and files beside it</source>
        <translation>将笔记保存为网页，图片和文件放在旁边</translation>
    </message>
    <message>
        <source>The notebook is sound: every file its notes need is there and intact.</source>
        <translation>笔记本完好：笔记需要的每个文件都在且完好。</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) found in the notebook:</source>
        <translation>
            <numerusform>笔记本中发现 %n 个问题：</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Notebook checked: %n problem(s)</source>
        <translation>
            <numerusform>笔记本已检查：%n 个问题</numerusform>
        </translation>
    </message>
    <message>
        <source>The notebook is sound: every file that has arrived is intact.</source>
        <translation>笔记本完好：已到达的每个文件都完好。</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) saved on other devices are waiting for sync.</source>
        <translation>
            <numerusform>其他设备保存的 %n 个文件正在等待同步。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) waiting for sync</source>
        <translation>
            <numerusform>%n 个文件等待同步</numerusform>
        </translation>
    </message>
    <message>
        <source>Check notebook</source>
        <translation>检查笔记本</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) changed within the last hour stay for now.</source>
        <translation>
            <numerusform>最近一小时内改动的 %n 个文件暂时保留。</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing to clean up: every file belongs to a note.</source>
        <translation>无需清理：每个文件都属于某个笔记。</translation>
    </message>
    <message>
        <source>Clean up</source>
        <translation>清理</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) (%1) belong to no note any more. Remove them?</source>
        <translation>
            <numerusform>%n 个文件（%1）已不属于任何笔记。要删除它们吗？</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Removed %n file(s), %1 freed.</source>
        <translation>
            <numerusform>已删除 %n 个文件，释放 %1。</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was removed: %1</source>
        <translation>未删除任何文件：%1</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) stayed; the log says why.</source>
        <translation>
            <numerusform>%n 个文件未删除，原因见日志。</numerusform>
        </translation>
    </message>
    <message>
        <source>Export note as folder: where to put it</source>
        <translation>将笔记导出为文件夹：选择存放位置</translation>
    </message>
    <message>
        <source>the note has not been saved yet</source>
        <translation>笔记尚未保存</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>已导出到 %1</translation>
    </message>
    <message>
        <source>The note could not be exported: %1</source>
        <translation>无法导出笔记：%1</translation>
    </message>
    <message>
        <source>Export note as folder</source>
        <translation>将笔记导出为文件夹</translation>
    </message>
    <message>
        <source>Checking the notebook…</source>
        <translation>正在检查笔记本…</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>A small note-taking program built on the Tavrik editor.</source>
        <translation>基于 Tavrik 编辑器的小型笔记程序。</translation>
    </message>
    <message>
        <source>Run a short scripted tour on a fresh sample notebook and write screenshots to &lt;folder&gt;.</source>
        <translation>在全新的示例笔记本上运行一段脚本演示，并把截图写入 &lt;folder&gt;。</translation>
    </message>
    <message>
        <source>folder</source>
        <translation>文件夹</translation>
    </message>
    <message>
        <source>Keep the notebook in &lt;file&gt; instead of userdata/notes.db.</source>
        <translation>把笔记本保存在 &lt;file&gt; 而不是 userdata/notes.db。</translation>
    </message>
    <message>
        <source>file</source>
        <translation>文件</translation>
    </message>
</context>
<context>
    <name>MarkdownActions</name>
    <message>
        <source>Copy as &amp;Markdown</source>
        <translation>复制为 Markdown(&amp;M)</translation>
    </message>
    <message>
        <source>Paste as Mar&amp;kdown</source>
        <translation>粘贴为 Markdown(&amp;K)</translation>
    </message>
    <message>
        <source>Put the selected part of the note on the clipboard as Markdown text</source>
        <translation>将笔记中选中的部分以 Markdown 文本放到剪贴板</translation>
    </message>
    <message>
        <source>Insert the clipboard's text read as Markdown</source>
        <translation>将剪贴板中的文本按 Markdown 插入</translation>
    </message>
    <message>
        <source>As Mar&amp;kdown folder…</source>
        <translation>Markdown 文件夹(&amp;K)…</translation>
    </message>
    <message>
        <source>Markdown text (note.md) with the note's pictures and files beside it</source>
        <translation>Markdown 文本（note.md），笔记的图片和文件放在旁边</translation>
    </message>
    <message>
        <source>Nothing to copy: select a part of the note first</source>
        <translation>没有可复制的内容：请先选中笔记的一部分</translation>
    </message>
    <message>
        <source>The selection is on the clipboard as Markdown</source>
        <translation>选中的内容已作为 Markdown 放到剪贴板</translation>
    </message>
    <message>
        <source>Nothing was pasted: the clipboard holds no text the note can take</source>
        <translation>未粘贴任何内容：剪贴板中没有笔记可接受的文本</translation>
    </message>
    <message>
        <source>Export as Markdown: where to put it</source>
        <translation>导出为 Markdown：选择存放位置</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>已导出到 %1</translation>
    </message>
    <message>
        <source>The note could not be exported: %1</source>
        <translation>无法导出笔记：%1</translation>
    </message>
    <message>
        <source>Export as Markdown</source>
        <translation>导出为 Markdown</translation>
    </message>
</context>
<context>
    <name>NotebookSync</name>
    <message>
        <source>Open the other version as a note</source>
        <translation>将另一版本作为笔记打开</translation>
    </message>
    <message>
        <source>This note was also changed on another device from the same version. Both versions are kept; this is the newer one.</source>
        <translation>这篇笔记也在另一台设备上从同一版本被修改过。两个版本都已保留；这里显示的是较新的版本。</translation>
    </message>
    <message>
        <source>%1 (other version)</source>
        <translation>%1（另一版本）</translation>
    </message>
</context>
</TS>
