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
