// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "guidedtour.h"
#include "mainwindow.h"
#include "notebooklock.h"
#include "notestore.h"
#include "samplenotebook.h"

#include "common/commonutils.h"
#include "common/uilanguage.h"
#include "editor/czorvaeditorimpl.h"
#include "skin/iewebbrowser.h"
#include "store/noteheads.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The tour runs on the offscreen platform when there is no display.
void chooseTourPlatform(bool tour)
{
    if (tour && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

int main(int argc, char **argv)
{
    bool tour = false;
    for (int i = 1; i < argc; ++i)
        tour = tour || qstrcmp(argv[i], "--tour") == 0;
    chooseTourPlatform(tour);
    TAVRIKCORE::RICHEDITOR::IEWebBrowser::PrepareProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tavrik Notes"_s);
    QApplication::setOrganizationName(u"TavrikEditor"_s);
    QApplication::setApplicationVersion(u"0.1"_s);
    // The desktop's language, or TAVRIK_LANGUAGE ("en", "zh_CN") when set.
    TAVRIKCORE::RICHEDITOR::UiLanguage::AddCatalogue(u"tavriknotes"_s);
    TAVRIKCORE::RICHEDITOR::UiLanguage::Set();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main", "A small note-taking program built on the Tavrik editor."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption tourOption(
        u"tour"_s,
        QApplication::translate("main",
                                "Run a short scripted tour on a fresh sample notebook and write "
                                "screenshots to <folder>."),
        QApplication::translate("main", "folder"));
    const QCommandLineOption notebookOption(
        u"notebook"_s,
        QApplication::translate("main",
                                "Keep the notebook in <file> instead of userdata/notes.db."),
        QApplication::translate("main", "file"));
    parser.addOption(tourOption);
    parser.addOption(notebookOption);
    parser.process(app);

    // Without its page the editor would never load: say so, and where it was looked for.
    if (TAVRIKCORE::RICHEDITOR::CZorvaEditorImpl::FindEditorPage().isEmpty()) {
        const QString error = MainWindow::missingPageText();
        std::fprintf(stderr, "%s\n", qPrintable(error));
        if (!parser.isSet(tourOption))
            QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), error);
        return 1;
    }

    // The tour starts from the sample notebook every time, so it never touches the user's notes.
    std::unique_ptr<QTemporaryDir> tourNotebook;
    QString databasePath = parser.value(notebookOption);
    if (parser.isSet(tourOption)) {
        tourNotebook = std::make_unique<QTemporaryDir>();
        databasePath = tourNotebook->filePath(u"notes.db"_s);
    } else if (databasePath.isEmpty()) {
        databasePath = TAVRIKCORE::RICHEDITOR::GetAppDirectory() + u"userdata/notes.db"_s;
    }

    // One program per notebook: a second one would write over the first one's notes.
    NotebookLock lock(databasePath);
    // The notebook is kept in heads that a sync engine carries with the attachment store; the
    // tour's notebook stays apart from them.
    QString deviceError;
    const QString device = parser.isSet(tourOption)
        ? QString()
        : TAVRIKCORE::RICHEDITOR::NoteHeads::DeviceId(
            TAVRIKCORE::RICHEDITOR::NoteHeads::DeviceIdPath(), deviceError);
    const bool freshNotebook
        = !QFileInfo::exists(TAVRIKCORE::RICHEDITOR::NoteHeads::DefaultFolder());
    std::unique_ptr<NoteStore> notebook = device.isEmpty()
        ? std::make_unique<NoteStore>(databasePath)
        : std::make_unique<NoteStore>(databasePath,
                                      TAVRIKCORE::RICHEDITOR::NoteHeads::DefaultFolder(), device);
    NoteStore &store = *notebook;
    if (!deviceError.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(deviceError));
    if (!lock.lock() || !store.open()) {
        const QString error = lock.errorText().isEmpty() ? store.lastError() : lock.errorText();
        std::fprintf(stderr, "%s\n", qPrintable(error));
        if (!parser.isSet(tourOption))
            QMessageBox::critical(nullptr, QApplication::applicationDisplayName(), error);
        return 1;
    }
    // Samples only in a notebook that has never been used anywhere: another device's notes
    // may be on their way.
    QString sampleError;
    if (freshNotebook || !store.usesHeads())
        SampleNotebook::populate(store, &sampleError);
    if (!sampleError.isEmpty())
        std::fprintf(stderr, "The sample notebook is incomplete: %s\n", qPrintable(sampleError));

    MainWindow window(store);
    window.show();
    std::unique_ptr<GuidedTour> guidedTour;
    if (parser.isSet(tourOption)) {
        guidedTour = std::make_unique<GuidedTour>(window, parser.value(tourOption));
        guidedTour->start();
    }
    return app.exec();
}
