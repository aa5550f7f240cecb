<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="zh_CN">
<context>
    <name>AttachAdder</name>
    <message>
        <source>不能添加正在编辑的文件作为附件！</source>
        <translation>不能添加正在编辑的文件作为附件！</translation>
    </message>
    <message>
        <source>无效文件路径:%1</source>
        <translation>无效文件路径:%1</translation>
    </message>
    <message>
        <source>获取笔记编辑器附件总大小失败！</source>
        <translation>获取笔记编辑器附件总大小失败！</translation>
    </message>
    <message>
        <source>暂不支持文件夹粘贴！</source>
        <translation>暂不支持文件夹粘贴！</translation>
    </message>
    <message>
        <source>不能上传文件大小为0的附件！</source>
        <translation>不能上传文件大小为0的附件！</translation>
    </message>
    <message>
        <source>最大支持上传10M附件！</source>
        <translation>最大支持上传10M附件！</translation>
    </message>
    <message>
        <source>附件未能添加：%1</source>
        <translation>附件未能添加：%1</translation>
    </message>
    <message>
        <source>Only regular files can be attached; not attached: %1</source>
        <translation>只能添加普通文件，未添加：%1</translation>
    </message>
    <message>
        <source>These files cannot be opened and were not attached: %1</source>
        <translation>以下文件无法打开，未添加：%1</translation>
    </message>
</context>
<context>
    <name>CSTip</name>
    <message>
        <source>截图</source>
        <translation>截图</translation>
    </message>
    <message>
        <source>像素RGB值：(%1,%2,%3)</source>
        <translation>像素RGB值：(%1,%2,%3)</translation>
    </message>
    <message>
        <source>矩形大小：(%1,%2)</source>
        <translation>矩形大小：(%1,%2)</translation>
    </message>
</context>
<context>
    <name>EditorContextMenu</name>
    <message>
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Paste as plain text</source>
        <translation>粘贴为纯文本</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Save a copy as…</source>
        <translation>另存副本…</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Save a copy as</source>
        <translation>另存副本</translation>
    </message>
    <message>
        <source>Could not save a copy of “%1” as %2.</source>
        <translation>无法将“%1”的副本保存为 %2。</translation>
    </message>
    <message>
        <source>No spelling suggestions</source>
        <translation>没有拼写建议</translation>
    </message>
    <message>
        <source>Insert row above</source>
        <translation>在上方插入行</translation>
    </message>
    <message>
        <source>Insert row below</source>
        <translation>在下方插入行</translation>
    </message>
    <message>
        <source>Insert column left</source>
        <translation>在左侧插入列</translation>
    </message>
    <message>
        <source>Insert column right</source>
        <translation>在右侧插入列</translation>
    </message>
    <message>
        <source>Delete row</source>
        <translation>删除行</translation>
    </message>
    <message>
        <source>Delete column</source>
        <translation>删除列</translation>
    </message>
    <message>
        <source>Delete table</source>
        <translation>删除表格</translation>
    </message>
    <message>
        <source>Merge cells</source>
        <translation>合并单元格</translation>
    </message>
    <message>
        <source>Split cell</source>
        <translation>拆分单元格</translation>
    </message>
    <message>
        <source>Header row</source>
        <translation>标题行</translation>
    </message>
    <message>
        <source>Copy as &amp;Markdown</source>
        <translation>复制为 Markdown(&amp;M)</translation>
    </message>
    <message>
        <source>Paste as Mar&amp;kdown</source>
        <translation>粘贴为 Markdown(&amp;K)</translation>
    </message>
</context>
<context>
    <name>DocxExport</name>
    <message>
        <source>转化为DOCX文档失败！</source>
        <translation>转化为DOCX文档失败！</translation>
    </message>
</context>
<context>
    <name>MhtExport</name>
    <message>
        <source>笔记内容为空！</source>
        <translation>笔记内容为空！</translation>
    </message>
    <message>
        <source>转化为word失败！</source>
        <translation>转化为word失败！</translation>
    </message>
</context>
<context>
    <name>OdtExport</name>
    <message>
        <source>转化为ODT文档失败！</source>
        <translation>转化为ODT文档失败！</translation>
    </message>
</context>
<context>
    <name>ScreenCapture</name>
    <message>
        <source>The screen gave no picture.</source>
        <translation>屏幕没有给出画面。</translation>
    </message>
    <message>
        <source>There is no screen to capture.</source>
        <translation>没有可截取的屏幕。</translation>
    </message>
    <message>
        <source>The desktop portal cannot be reached: there is no session bus.</source>
        <translation>无法连接桌面门户：没有会话总线。</translation>
    </message>
    <message>
        <source>The desktop portal cannot take a screenshot: %1</source>
        <translation>桌面门户无法截屏：%1</translation>
    </message>
    <message>
        <source>The desktop portal did not answer.</source>
        <translation>桌面门户没有应答。</translation>
    </message>
    <message>
        <source>The desktop portal refused the screenshot.</source>
        <translation>桌面门户拒绝了截屏。</translation>
    </message>
    <message>
        <source>The desktop portal&apos;s picture cannot be read: %1</source>
        <translation>无法读取桌面门户给出的图片：%1</translation>
    </message>
</context>
<context>
    <name>TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl</name>
    <message>
        <source>获取笔记编辑器内容失败！</source>
        <translation>获取笔记编辑器内容失败！</translation>
    </message>
    <message>
        <source>此笔记大小为%1，超过编辑器可编辑的%2，只以只读方式显示其开头部分；笔记本身不会被更改。</source>
        <translation>此笔记大小为%1，超过编辑器可编辑的%2，只以只读方式显示其开头部分；笔记本身不会被更改。</translation>
    </message>
    <message>
        <source>此笔记过大，无法在编辑器中导出。</source>
        <translation>此笔记过大，无法在编辑器中导出。</translation>
    </message>
</context>
<context>
    <name>NotePrinting</name>
    <message>
        <source>无法创建临时文件夹。</source>
        <translation>无法创建临时文件夹。</translation>
    </message>
    <message>
        <source>浏览器无法显示笔记。</source>
        <translation>浏览器无法显示笔记。</translation>
    </message>
    <message>
        <source>浏览器显示笔记超时。</source>
        <translation>浏览器显示笔记超时。</translation>
    </message>
    <message>
        <source>文件夹 %1 不存在。</source>
        <translation>文件夹 %1 不存在。</translation>
    </message>
    <message>
        <source>无法绘制 PDF。</source>
        <translation>无法绘制 PDF。</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>无法打印笔记。</source>
        <translation>无法打印笔记。</translation>
    </message>
    <message>
        <source>打印笔记超时。</source>
        <translation>打印笔记超时。</translation>
    </message>
</context>
<context>
    <name>ZorvaNoteScreenCapture</name>
    <message>
        <source>复制截图</source>
        <translation>复制截图</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>另存为</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>完成截图</source>
        <translation>完成截图</translation>
    </message>
    <message>
        <source>The screen could not be captured. %1</source>
        <translation>无法截取屏幕。%1</translation>
    </message>
    <message>
        <source>Screen capture</source>
        <translation>截图</translation>
    </message>
    <message>
        <source>另存为图片文件</source>
        <translation>另存为图片文件</translation>
    </message>
    <message>
        <source>截图未命名</source>
        <translation>截图未命名</translation>
    </message>
    <message>
        <source>“%1” already exists. Do you want to replace it?</source>
        <translation>“%1”已存在。要替换它吗？</translation>
    </message>
    <message>
        <source>“%1” is not a picture type the capture can save: choose .png, .bmp or .jpg.</source>
        <translation>无法保存为“%1”这种图片类型：请选择 .png、.bmp 或 .jpg。</translation>
    </message>
    <message>
        <source>The picture could not be saved as “%1”: %2</source>
        <translation>图片无法保存为“%1”：%2</translation>
    </message>
</context>
<context>
    <name>ZvWebNoteHandler</name>
    <message>
        <source>No program on this computer could open the link “%1”.</source>
        <translation>本机没有能打开链接“%1”的程序。</translation>
    </message>
    <message>
        <source>Attach files</source>
        <translation>添加附件</translation>
    </message>
</context>
</TS>
