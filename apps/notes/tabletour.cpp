// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "tabletour.h"

#include "mainwindow.h"

#include "editor/czorvaeditorimpl.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>

using namespace Qt::StringLiterals;

namespace TableTour {

namespace {

constexpr int StepTimeoutMs = 20000;

// Runs `script` in the editor page and gives its value as text (empty when it gave none in time).
QString inPage(MainWindow &window, const QString &script)
{
    bool done = false;
    QString value;
    window.editor()->page()->runJavaScript(script, [&](const QVariant &result) {
        value = result.toString();
        done = true;
    });
    const QDeadlineTimer deadline(StepTimeoutMs);
    while (!done && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return value;
}

bool waitInPage(MainWindow &window, const QString &condition)
{
    const QDeadlineTimer deadline(StepTimeoutMs);
    while (!deadline.hasExpired()) {
        if (inPage(window, u"String(!!("_s + condition + u"))"_s) == u"true"_s)
            return true;
    }
    return false;
}

const QString Note = u"Tavrik.editor.document().body.innerHTML"_s;

// Undoes `steps` page commands and checks the note is back to `before`.
QString undone(MainWindow &window, int steps, const QString &before)
{
    for (int i = 0; i < steps; ++i)
        inPage(window, u"Tavrik.editor.exec('undo')"_s);
    return inPage(window, Note) == before ? QString() : u"undoing did not give the note back"_s;
}

} // namespace

QString runTableStep(MainWindow &window, const Shot &shot)
{
    const QString before = inPage(window, Note);
    // The caret in the second row's third cell, as a click puts it.
    inPage(window,
           u"(function(){Tavrik.editor.focus();const d=Tavrik.editor.document();"
           u"const cell=d.querySelector('table').rows[1].cells[2];const r=d.createRange();"
           u"r.setStart(cell,0);d.getSelection().removeAllRanges();d.getSelection().addRange(r);"
           u"})()"_s);
    if (!waitInPage(window, u"!document.getElementById('table-bar').hidden"_s))
        return u"the table bar did not show with the caret in a table"_s;
    inPage(window, u"document.querySelector('#table-bar [data-command=\"rowBelow\"]').click()"_s);
    if (!waitInPage(window, u"Tavrik.editor.document().querySelector('table').rows.length === 7"_s))
        return u"the table bar's Insert row below added no row"_s;
    shot(nullptr, u"table-bar"_s, u"the table bar over a table, a row inserted below Monday"_s);

    // Two cells of the row below selected, then merged.
    inPage(window,
           u"(function(){const d=Tavrik.editor.document();const rows=d.querySelector('table').rows;"
           u"const r=d.createRange();r.setStart(rows[3].cells[1],0);"
           u"r.setEnd(rows[3].cells[2].firstChild,1);"
           u"d.getSelection().removeAllRanges();d.getSelection().addRange(r);})()"_s);
    if (!waitInPage(
            window,
            u"!document.querySelector('#table-bar [data-command=\"mergeCells\"]').disabled"_s))
        return u"the table bar offered no merge for two selected cells"_s;
    inPage(window, u"document.querySelector('#table-bar [data-command=\"mergeCells\"]').click()"_s);
    if (!waitInPage(window, u"Tavrik.editor.document().querySelector('td[colspan=\"2\"]')"_s))
        return u"merging two cells gave no cell over two columns"_s;
    shot(nullptr, u"merged-cells"_s, u"two cells of Tuesday's row merged into one"_s);
    return undone(window, 2, before);
}

QString runPictureStep(MainWindow &window, const Shot &shot)
{
    const QString before = inPage(window, Note);
    // Focused first: the browser shows the caret's place when the note takes the focus.
    inPage(window, u"Tavrik.editor.focus()"_s);
    inPage(window,
           u"(function(){const img=Tavrik.editor.document().querySelector('img');"
           u"img.scrollIntoView({block:'center'});img.click();})()"_s);
    if (!waitInPage(window, u"!document.getElementById('picture-bar').hidden"_s))
        return u"the picture bar did not show for a selected picture"_s;
    for (const QString &command : {u"right"_s, u"smaller"_s, u"smaller"_s})
        inPage(
            window,
            u"document.querySelector('#picture-bar [data-command=\"%1\"]').click()"_s.arg(command));
    if (!waitInPage(window,
                    u"Tavrik.editor.document().querySelector('img[align=\"right\"][width]')"_s))
        return u"the picture bar did not place and size the picture"_s;
    shot(nullptr, u"picture-handles"_s,
         u"a picture selected: its handles and bar, placed right with the text around it"_s);
    return undone(window, 3, before);
}

} // namespace TableTour
