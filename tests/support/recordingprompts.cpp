// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "recordingprompts.h"

RecordingPrompts::RecordingPrompts() : m_previous(IPrompts::setInstance(this)) { }

RecordingPrompts::~RecordingPrompts()
{
    IPrompts::setInstance(m_previous);
}

QStringList RecordingPrompts::messages() const
{
    QStringList texts;
    for (const Shown &item : m_shown) {
        if (item.kind == Shown::MessageBox)
            texts.append(item.text);
    }
    return texts;
}

QMessageBox::StandardButton RecordingPrompts::messageBox(QWidget *, const QString &text,
                                                         const QString &title,
                                                         QMessageBox::StandardButtons buttons)
{
    m_shown.push_back({Shown::MessageBox, text, title, buttons, {}});
    if (!m_buttons.empty()) {
        const QMessageBox::StandardButton answer = m_buttons.front();
        m_buttons.pop_front();
        return answer;
    }
    if (buttons & QMessageBox::Ok)
        return QMessageBox::Ok;
    for (int bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
        if (buttons & bit)
            return QMessageBox::StandardButton(bit);
    }
    return QMessageBox::NoButton;
}

QStringList RecordingPrompts::openFileNames(QWidget *, const QString &title, const QString &folder,
                                            const QString &filter)
{
    m_shown.push_back({Shown::OpenFiles, folder, title, {}, filter});
    return nextPaths();
}

QString RecordingPrompts::saveFileName(QWidget *, const QString &title,
                                       const QString &suggestedPath, const QString &filter)
{
    m_shown.push_back({Shown::SaveFile, suggestedPath, title, {}, filter});
    return nextPaths().value(0);
}

QString RecordingPrompts::existingFolder(QWidget *, const QString &title, const QString &folder)
{
    m_shown.push_back({Shown::Folder, folder, title, {}, {}});
    return nextPaths().value(0);
}

QStringList RecordingPrompts::nextPaths()
{
    if (m_paths.empty())
        return {};
    QStringList paths = m_paths.front();
    m_paths.pop_front();
    return paths;
}
