// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#include "attachmentpane.h"

#include "attachmentopener.h"

#include "bridge/zvwebnotehandler.h"
#include "common/iprompts.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <set>

using TAVRIKCORE::RICHEDITOR::IPrompts;
using TAVRIKCORE::RICHEDITOR::ZvWebNoteHandler;

namespace {
constexpr int StoreNameRole = Qt::UserRole;
constexpr int PathRole = Qt::UserRole + 1;
constexpr int OrigNameRole = Qt::UserRole + 2;
// From this share of the allowance on, the pane warns that the note is nearly full.
constexpr int NearlyFullPercent = 90;
} // namespace

AttachmentPane::AttachmentPane(QWidget *parent) : QWidget(parent)
{
    m_list = new QTreeWidget;
    m_list->setHeaderLabels({tr("Attachment"), tr("Size")});
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &AttachmentPane::updateButtons);
    connect(m_list, &QTreeWidget::itemActivated, this, [this] { openSelected(); });

    m_openButton = new QPushButton(tr("Open"));
    m_saveButton = new QPushButton(tr("Save a copy…"));
    m_revealButton = new QPushButton(tr("Show in folder"));
    connect(m_openButton, &QPushButton::clicked, this, &AttachmentPane::openSelected);
    connect(m_saveButton, &QPushButton::clicked, this, &AttachmentPane::saveSelectedCopy);
    connect(m_revealButton, &QPushButton::clicked, this, &AttachmentPane::revealSelected);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_openButton);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(m_revealButton);
    buttons->addStretch();
    m_usage = new QLabel;
    auto *listAndUsage = new QVBoxLayout;
    listAndUsage->addWidget(m_list, 1);
    listAndUsage->addWidget(m_usage);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->addLayout(listAndUsage, 1);
    layout->addLayout(buttons);
    updateButtons();
}

void AttachmentPane::setAttachments(const QString &noteId, const std::vector<NoteFile> &files,
                                    const std::map<QString, quint64> &sizes)
{
    m_noteId = noteId;
    m_list->clear();
    m_usage->setVisible(!noteId.isEmpty());
    if (noteId.isEmpty()) {
        updateButtons();
        return;
    }
    // What the user attached or inserted counts, each stored file once; the pictures drawn for
    // the cards of attached files are the editor's own and do not.
    std::set<QString> counted;
    quint64 used = 0;
    for (const NoteFile &file : files) {
        const auto size = sizes.find(file.storeName);
        if (file.fileKind == 2 && counted.insert(file.storeName).second && size != sizes.end())
            used += size->second;
    }
    showUsage(int(counted.size()), used);
    QFileIconProvider icons;
    for (const NoteFile &file : files) {
        if (file.fileKind != 2)
            continue;
        const QString name = file.origName.isEmpty() ? file.storeName : file.origName;
        const QString path = AttachmentOpener::keptCopyPath(noteId, file.storeName, file.origName);
        const auto size = sizes.find(file.storeName);
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, name);
        item->setIcon(0, icons.icon(QFileInfo(path)));
        item->setText(1, size == sizes.end() ? QString() : sizeText(size->second));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, StoreNameRole, file.storeName);
        item->setData(0, OrigNameRole, file.origName);
        item->setData(0, PathRole, path);
        item->setToolTip(0, path);
    }
    updateButtons();
}

QString AttachmentPane::sizeText(quint64 bytes)
{
    if (bytes < 1024)
        return tr("%n byte(s)", nullptr, int(bytes));
    double value = double(bytes) / 1024;
    int unit = 0;
    for (; value >= 1024 && unit < 2; ++unit)
        value /= 1024;
    const QString number = QLocale().toString(value, 'f', value < 9.95 ? 1 : 0);
    return unit == 0 ? tr("%1 KiB").arg(number)
        : unit == 1  ? tr("%1 MiB").arg(number)
                     : tr("%1 GiB").arg(number);
}

void AttachmentPane::showUsage(int count, quint64 used)
{
    const quint64 limit = ZvWebNoteHandler::MaxAttachTotalBytes();
    const QString share
        = tr("%n file(s), %1 of %2", nullptr, count).arg(sizeText(used), sizeText(limit));
    QString warning;
    if (used >= limit)
        warning = tr("full, no more files can be added");
    else if (used * 100 >= limit * NearlyFullPercent)
        warning = tr("nearly full");
    m_usage->setText(warning.isEmpty() ? share : share + u" – " + warning);
    m_usage->setStyleSheet(warning.isEmpty() ? QString() : QStringLiteral("color: #b3261e;"));
}

QString AttachmentPane::usageText() const
{
    return m_usage->text();
}

QStringList AttachmentPane::names() const
{
    QStringList result;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row)
        result << m_list->topLevelItem(row)->text(0);
    return result;
}

QString AttachmentPane::pathAt(int row) const
{
    const QTreeWidgetItem *item = m_list->topLevelItem(row);
    return item ? item->data(0, PathRole).toString() : QString();
}

void AttachmentPane::openSelected()
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (item && m_open)
        m_open(item->data(0, StoreNameRole).toString(), item->data(0, OrigNameRole).toString());
}

void AttachmentPane::saveSelectedCopy()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + u'/'
        + item->text(0);
    const QString target = IPrompts::instance()->saveFileName(
        this, tr("Save a copy of the attachment"), start, QString());
    if (!target.isEmpty())
        saveCopy(m_list->indexOfTopLevelItem(item), target);
}

bool AttachmentPane::saveCopy(int row, const QString &target)
{
    const QString source = pathAt(row);
    if (source.isEmpty())
        return false;
    if (QFile::exists(target) && QFileInfo(target) != QFileInfo(source))
        QFile::remove(target);
    QFile file(source);
    if (file.copy(target))
        return true;
    IPrompts::instance()->messageBox(this,
                                     tr("“%1” could not be copied to “%2”: %3")
                                         .arg(m_list->topLevelItem(row)->text(0),
                                              QDir::toNativeSeparators(target), file.errorString()),
                                     tr("Save a copy"), QMessageBox::Ok);
    return false;
}

void AttachmentPane::revealSelected()
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const QUrl folder
        = QUrl::fromLocalFile(QFileInfo(item->data(0, PathRole).toString()).absolutePath());
    if (m_reveal)
        m_reveal(folder);
    else
        QDesktopServices::openUrl(folder);
}

void AttachmentPane::updateButtons()
{
    const bool selected = m_list->currentItem() != nullptr;
    m_openButton->setEnabled(selected);
    m_saveButton->setEnabled(selected);
    m_revealButton->setEnabled(selected);
}
