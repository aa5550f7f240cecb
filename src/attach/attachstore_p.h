// SPDX-FileCopyrightText: 2026 TavrikEditor developers
// SPDX-License-Identifier: LGPL-2.1-or-later
#pragma once

#include "attach/attachrecords.h"
#include "tavrik_autotest_export_p.h"

#include <QString>

#include <vector>

class QImage;

namespace TAVRIKCORE::RICHEDITOR {

// The attachment store under <app folder>userdata/attachment (R):
//   R/<note id>/<kept name>  the user's file, byte for byte
//   R/<md5>.<ext>            the same when there is no kept name; the copy a picture shows
//   R/<md5 of card>.bmp      the thumbnail card of any other file
// Names derived from content are verified: an existing file under such a name is kept only
// when its bytes match the name, otherwise it is replaced atomically. Every file is written
// to a temporary file in the root, flushed, and renamed into place; a valid file is never
// overwritten. Names that would leave the store (a '/' or NUL, "." or "..") are refused; a '\'
// in a kept name is an ordinary character of a Linux file name (see AttachMarkup::keptFileName).
class TAVRIK_AUTOTEST_EXPORT AttachStore
{
public:
    // Copies one file into the note `noteId` and makes the image the page shows for it: the
    // picture copy for a picture (by displayName), a thumbnail card for any other file.
    // The file is copied and hashed in one pass, and stored under the MD5 of the bytes written;
    // a file already kept under the name stays and is named by its own bytes. A kept name with
    // '\' is stored under AttachMarkup::keptFileName. 1 when both are in place and `result` is
    // filled; 0 otherwise, with one "[ERROR] " log line saying why with the system error and
    // the path, and that system error (errno, 0 for none) in `*error` when given. Files
    // written before the failure stay; files in the making do not.
    static int MoveAttFile(const QString &noteId, const DropFileInfo &info, MAF_RESULT &result,
                           int *error = nullptr);

    // Gives new files kept names that do not clash with each other, with the names already
    // in the note (`noteNames`), or with different files left in the note's folder on disk.
    // A name "base(n).ext" counts under "base" with number n, any other name under the text
    // before its last '.' with number 0; the extension does not take part. A clashing file
    // gets the base's next number: "base(n+1).ext". Names are compared case-sensitively.
    // Each new file, once named, counts as being in the note for the files after it, so a
    // batch gets the names it would get file by file. A file in the note's folder under the
    // same name with the same bytes is reused rather than renamed. A name without a '.'
    // counts as a whole and is renamed "name(n)".
    static void DoAttSameName(std::vector<DropFileInfo> &files,
                              const std::vector<QString> &noteNames,
                              const QString &noteId = QString());

    // Saves an image as <temporary folder>/<guid>.jpg (EncodeJpeg's bytes) and appends a
    // temporary record for it. 1 when a record was appended; 0 (silently) for a null image or
    // when saving fails.
    static int SaveImage(const QImage *image, std::vector<DropFileInfo> &files);
    // The JPEG SaveImage writes for `image` (the writer's default quality); empty for a null
    // image. Reentrant: pictures may be encoded on any thread.
    static QByteArray EncodeJpeg(const QImage &image);
    // Writes `jpeg` as SaveImage writes an image's bytes. 0 for no bytes or when writing fails.
    static int SaveJpeg(const QByteArray &jpeg, std::vector<DropFileInfo> &files);

    // Files in the making ("<guid>.tmp" in the store's root) older than this are left over
    // from adds and saves that were interrupted.
    static constexpr int StaleTemporaryFileSeconds = 3600;

    // Removes the store's stale files in the making, each with a log line. A file stored
    // under its own MD5 with the extension "tmp" is an attachment and stays. Returns how many
    // were removed.
    static int RemoveStaleTemporaryFiles();

    // Deletes the files of temporary records; failures are ignored.
    static void DelTempFileFromList(const std::vector<DropFileInfo> &files);
};

} // namespace TAVRIKCORE::RICHEDITOR
