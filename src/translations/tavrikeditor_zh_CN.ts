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
