// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include <TavrikEditor.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>

#include <dlfcn.h>

// A host built against the installed package alone. It shows the editor with the page that
// tavrik_deploy() put beside it, opens a note and reads it back from the page. It prints where
// the library and the page came from ("library: <path>", "page: <path>") and the note's HTML as
// the page answered it ("content: <html>"); it exits 0 only when that is the note it opened.

namespace {

using namespace TAVRIKCORE::RICHEDITOR;

class Host : public QWidget, public IZvEditorNotify
{
public:
    int OnSaveNote(const QString &, const std::vector<NewAttachFile> &, const QString &) override
    {
        return 1;
    }
    void OnOpenAttachment(const QString &, const QString &, const QString &) override { }

    bool pageLoaded = false;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != EditorPageLoadedEvent)
            return QWidget::event(event);
        pageLoaded = true;
        return true;
    }
};

int fail(const char *what)
{
    std::fprintf(stderr, "consumer: %s\n", what);
    return 1;
}

QString libraryPath()
{
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void *>(&CreateGuidString), &info) == 0 || !info.dli_fname)
        return QString();
    return QString::fromLocal8Bit(info.dli_fname);
}

// The note's HTML as the page holds it now, through the page's own entry for native code.
QString pageContent(CZorvaEditorImpl &editor)
{
    QVariant reply;
    const QVariantList args{QStringLiteral("GetEditorContent"), QStringLiteral("{}")};
    if (editor.ExecJSFun(QStringLiteral("jsProcessor"), args, reply) != 0)
        return QString();
    return QJsonDocument::fromJson(reply.toString().toUtf8())
        .object()
        .value(QStringLiteral("ehtml"))
        .toString();
}

// Runs the event loop until `done` holds or `ms` have passed; whether `done` held.
template<class Condition> bool waitFor(Condition done, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    IEWebBrowser::PrepareProcess();
    QApplication app(argc, argv);
    QTemporaryDir appDir;
    SetAppDirectory(appDir.path());
    std::printf("library: %s\n", qPrintable(libraryPath()));

    Host host;
    auto *editor = new CZorvaEditorImpl;
    editor->SetZvEditorNotify(&host);
    if (editor->Create(&host, QRect(0, 0, 800, 600), 1, IEWebBrowser::StyleVisible) != 1)
        return fail("the editor window was not created");
    host.show();
    if (!waitFor([&host] { return host.pageLoaded; }, 60000))
        return fail("the editor page did not load");
    std::printf("page: %s\n", qPrintable(editor->url().toLocalFile()));

    QString html = QStringLiteral("<p>A note from the <b>installed</b> package</p>");
    const QString expected = html;
    NewAttachFile noteFile;
    int version = NOTE_HTML_VER_2;
    if (NoteHtmlRW::SaveHtmlTextToFile(html, noteFile, &version) != 1)
        return fail("the note file was not written");
    editor->LoadEditor(CreateGuidString(), {noteFile.storeName}, {}, false);
    QString content;
    waitFor([&] { return (content = pageContent(*editor)) == expected; }, 30000);
    std::printf("content: %s\n", qPrintable(content));
    return content == expected ? 0 : fail("the page did not show the note");
}
