<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>AttachmentOpener</name>
    <message>
        <source>“%1” is a program or script. Opening it can run code on this computer.

Open it only if you trust where it came from. Open it anyway?</source>
        <translation>“%1” is a program or script. Opening it can run code on this computer.

Open it only if you trust where it came from. Open it anyway?</translation>
    </message>
    <message>
        <source>The attachment “%1” is no longer in the note&apos;s folder.</source>
        <translation>The attachment “%1” is no longer in the note&apos;s folder.</translation>
    </message>
    <message>
        <source>No program on this computer opens “%1”.</source>
        <translation>No program on this computer opens “%1”.</translation>
    </message>
    <message>
        <source>Open attachment</source>
        <translation>Open attachment</translation>
    </message>
</context>
<context>
    <name>AttachmentPane</name>
    <message>
        <source>Attachment</source>
        <translation>Attachment</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Save a copy…</source>
        <translation>Save a copy…</translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation>Show in folder</translation>
    </message>
    <message>
        <source>full, no more files can be added</source>
        <translation>full, no more files can be added</translation>
    </message>
    <message>
        <source>nearly full</source>
        <translation>nearly full</translation>
    </message>
    <message>
        <source>Save a copy of the attachment</source>
        <translation>Save a copy of the attachment</translation>
    </message>
    <message>
        <source>“%1” could not be copied to “%2”: %3</source>
        <translation>“%1” could not be copied to “%2”: %3</translation>
    </message>
    <message>
        <source>Save a copy</source>
        <translation>Save a copy</translation>
    </message>
    <message numerus="yes">
        <source>%n byte(s)</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
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
            <numerusform>%n file, %1 of %2</numerusform>
            <numerusform>%n files, %1 of %2</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Untitled note</source>
        <translation>Untitled note</translation>
    </message>
    <message>
        <source>Your notebook is empty</source>
        <translation>Your notebook is empty</translation>
    </message>
    <message>
        <source>Press &lt;b&gt;New note&lt;/b&gt; (Ctrl+N) to write your first note.</source>
        <translation>Press &lt;b&gt;New note&lt;/b&gt; (Ctrl+N) to write your first note.</translation>
    </message>
    <message>
        <source>Loading the editor…</source>
        <translation>Loading the editor…</translation>
    </message>
    <message>
        <source>&amp;New note</source>
        <translation>&amp;New note</translation>
    </message>
    <message>
        <source>Start a new note (Ctrl+N)</source>
        <translation>Start a new note (Ctrl+N)</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>Delete the selected note</source>
        <translation>Delete the selected note</translation>
    </message>
    <message>
        <source>&amp;Rename</source>
        <translation>&amp;Rename</translation>
    </message>
    <message>
        <source>Rename the selected note (F2)</source>
        <translation>Rename the selected note (F2)</translation>
    </message>
    <message>
        <source>&amp;Attach files…</source>
        <translation>&amp;Attach files…</translation>
    </message>
    <message>
        <source>Add files to the note</source>
        <translation>Add files to the note</translation>
    </message>
    <message>
        <source>Read-&amp;only</source>
        <translation>Read-&amp;only</translation>
    </message>
    <message>
        <source>Protect the note from changes</source>
        <translation>Protect the note from changes</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Note</source>
        <translation>&amp;Note</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Saved “%1” at %2</source>
        <translation>Saved “%1” at %2</translation>
    </message>
    <message>
        <source>Opened “%1”</source>
        <translation>Opened “%1”</translation>
    </message>
    <message>
        <source>New note: start typing; the first line becomes its title</source>
        <translation>New note: start typing; the first line becomes its title</translation>
    </message>
    <message>
        <source>Delete the note “%1”?

Its text and its attachments are removed for good.</source>
        <translation>Delete the note “%1”?

Its text and its attachments are removed for good.</translation>
    </message>
    <message>
        <source>Delete note</source>
        <translation>Delete note</translation>
    </message>
    <message>
        <source>Deleted “%1”</source>
        <translation>Deleted “%1”</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>Export failed: %1</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exported to %1</translation>
    </message>
    <message>
        <source>The note is read-only now</source>
        <translation>The note is read-only now</translation>
    </message>
    <message>
        <source>The note can be edited again</source>
        <translation>The note can be edited again</translation>
    </message>
    <message numerus="yes">
        <source>%n note(s)</source>
        <translation>
            <numerusform>%n note</numerusform>
            <numerusform>%n notes</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Copy note</source>
        <translation>&amp;Copy note</translation>
    </message>
    <message>
        <source>Copy the whole note with its pictures</source>
        <translation>Copy the whole note with its pictures</translation>
    </message>
    <message>
        <source>Nothing to copy: the note is empty</source>
        <translation>Nothing to copy: the note is empty</translation>
    </message>
    <message>
        <source>The note is on the clipboard</source>
        <translation>The note is on the clipboard</translation>
    </message>
    <message>
        <source>Search in this note</source>
        <translation>Search in this note</translation>
    </message>
    <message>
        <source>&amp;Export</source>
        <translation>&amp;Export</translation>
    </message>
    <message>
        <source>Save the note as a document for a word processor</source>
        <translation>Save the note as a document for a word processor</translation>
    </message>
    <message>
        <source>The editor page %1 was not found, so notes cannot be shown. Tavrik Notes looked for it in:
%2</source>
        <translation>The editor page %1 was not found, so notes cannot be shown. Tavrik Notes looked for it in:
%2</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Theme</source>
        <translation>&amp;Theme</translation>
    </message>
    <message>
        <source>&amp;System</source>
        <translation>&amp;System</translation>
    </message>
    <message>
        <source>&amp;Light</source>
        <translation>&amp;Light</translation>
    </message>
    <message>
        <source>&amp;Dark</source>
        <translation>&amp;Dark</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Print…</translation>
    </message>
    <message>
        <source>Print the note, with a preview first</source>
        <translation>Print the note, with a preview first</translation>
    </message>
    <message>
        <source>Print %1</source>
        <translation>Print %1</translation>
    </message>
    <message>
        <source>Printing failed: %1</source>
        <translation>Printing failed: %1</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edit</translation>
    </message>
</context>
<context>
    <name>NoteExport</name>
    <message>
        <source>Export to DOCX</source>
        <translation>Export to DOCX</translation>
    </message>
    <message>
        <source>Word documents (*.docx)</source>
        <translation>Word documents (*.docx)</translation>
    </message>
    <message>
        <source>As &amp;DOCX document…</source>
        <translation>As &amp;DOCX document…</translation>
    </message>
    <message>
        <source>A Word document for Microsoft Word and other word processors</source>
        <translation>A Word document for Microsoft Word and other word processors</translation>
    </message>
    <message>
        <source>Export to ODT</source>
        <translation>Export to ODT</translation>
    </message>
    <message>
        <source>Export to MHT</source>
        <translation>Export to MHT</translation>
    </message>
    <message>
        <source>OpenDocument texts (*.odt)</source>
        <translation>OpenDocument texts (*.odt)</translation>
    </message>
    <message>
        <source>MHT documents (*.mht *.mhtml)</source>
        <translation>MHT documents (*.mht *.mhtml)</translation>
    </message>
    <message>
        <source>As &amp;MHT document…</source>
        <translation>As &amp;MHT document…</translation>
    </message>
    <message>
        <source>A single file with the pictures inside, for browsers and Word</source>
        <translation>A single file with the pictures inside, for browsers and Word</translation>
    </message>
    <message>
        <source>As &amp;ODT document…</source>
        <translation>As &amp;ODT document…</translation>
    </message>
    <message>
        <source>An OpenDocument text for LibreOffice and other word processors</source>
        <translation>An OpenDocument text for LibreOffice and other word processors</translation>
    </message>
    <message>
        <source>Export to PDF</source>
        <translation>Export to PDF</translation>
    </message>
    <message>
        <source>PDF documents (*.pdf)</source>
        <translation>PDF documents (*.pdf)</translation>
    </message>
    <message>
        <source>As &amp;PDF…</source>
        <translation>As &amp;PDF…</translation>
    </message>
    <message>
        <source>A PDF for reading and printing anywhere, always on white paper</source>
        <translation>A PDF for reading and printing anywhere, always on white paper</translation>
    </message>
</context>
<context>
    <name>NoteFind</name>
    <message>
        <source>Find in this note</source>
        <translation>Find in this note</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>Match &amp;case</translation>
    </message>
    <message>
        <source>&amp;Whole word</source>
        <translation>&amp;Whole word</translation>
    </message>
    <message>
        <source>Replace with</source>
        <translation>Replace with</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <source>Replace &amp;all</source>
        <translation>Replace &amp;all</translation>
    </message>
    <message>
        <source>The note is read-only</source>
        <translation>The note is read-only</translation>
    </message>
    <message>
        <source>Nothing was replaced</source>
        <translation>Nothing was replaced</translation>
    </message>
    <message numerus="yes">
        <source>%n replaced</source>
        <translation>
            <numerusform>%n replaced</numerusform>
            <numerusform>%n replaced</numerusform>
        </translation>
    </message>
    <message>
        <source>No matches</source>
        <translation>No matches</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 of %2</translation>
    </message>
</context>
<context>
    <name>NoteImport</name>
    <message>
        <source>%1 in “%2”</source>
        <translation>%1 in “%2”</translation>
    </message>
    <message>
        <source>%1: cannot be read</source>
        <translation>%1: cannot be read</translation>
    </message>
    <message>
        <source>%1: the file breaks off at %2; the notes before it were imported</source>
        <translation>%1: the file breaks off at %2; the notes before it were imported</translation>
    </message>
    <message>
        <source>%1: its bytes do not match its hash</source>
        <translation>%1: its bytes do not match its hash</translation>
    </message>
    <message>
        <source>%1: larger than the 10 MB a note&apos;s attachments may take</source>
        <translation>%1: larger than the 10 MB a note&apos;s attachments may take</translation>
    </message>
    <message>
        <source>%1: the name leads out of its folder</source>
        <translation>%1: the name leads out of its folder</translation>
    </message>
    <message>
        <source>%1: not found</source>
        <translation>%1: not found</translation>
    </message>
    <message>
        <source>%1: could not be stored in the notebook</source>
        <translation>%1: could not be stored in the notebook</translation>
    </message>
    <message numerus="yes">
        <source>Imported %n note(s).</source>
        <translation>
            <numerusform>Imported %n note.</numerusform>
            <numerusform>Imported %n notes.</numerusform>
        </translation>
    </message>
    <message>
        <source>… and %1 more</source>
        <translation>… and %1 more</translation>
    </message>
    <message>
        <source>Left out:</source>
        <translation>Left out:</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>&amp;Import…</translation>
    </message>
    <message>
        <source>Add notes from an Evernote export or from web pages</source>
        <translation>Add notes from an Evernote export or from web pages</translation>
    </message>
    <message>
        <source>Importing notes…</source>
        <translation>Importing notes…</translation>
    </message>
    <message>
        <source>Import notes</source>
        <translation>Import notes</translation>
    </message>
    <message>
        <source>Evernote exports and web pages (*.enex *.html *.htm)</source>
        <translation>Evernote exports and web pages (*.enex *.html *.htm)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
</context>
<context>
    <name>NoteItemDelegate</name>
    <message>
        <source>Yesterday</source>
        <translation>Yesterday</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>No text yet</source>
        <translation>No text yet</translation>
    </message>
    <message>
        <source>MMM d</source>
        <comment>date of this year</comment>
        <translation>MMM d</translation>
    </message>
</context>
<context>
    <name>NoteSearch</name>
    <message>
        <source>Search all notes</source>
        <translation>Search all notes</translation>
    </message>
    <message>
        <source>No note holds “%1”</source>
        <translation>No note holds “%1”</translation>
    </message>
    <message numerus="yes">
        <source>%n note(s) found</source>
        <translation>
            <numerusform>%n note found</numerusform>
            <numerusform>%n notes found</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoteStore</name>
    <message>
        <source>Cannot prepare the notebook</source>
        <translation>Cannot prepare the notebook</translation>
    </message>
    <message>
        <source>Cannot open the notebook</source>
        <translation>Cannot open the notebook</translation>
    </message>
    <message>
        <source>the Qt SQLite driver is not installed</source>
        <translation>the Qt SQLite driver is not installed</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>cannot create the folder %1</translation>
    </message>
    <message>
        <source>Cannot open the notebook %1</source>
        <translation>Cannot open the notebook %1</translation>
    </message>
    <message>
        <source>Cannot read the notebook %1</source>
        <translation>Cannot read the notebook %1</translation>
    </message>
    <message>
        <source>it was written by a newer version (schema %1)</source>
        <translation>it was written by a newer version (schema %1)</translation>
    </message>
    <message>
        <source>Cannot list the notes</source>
        <translation>Cannot list the notes</translation>
    </message>
    <message>
        <source>Cannot read the note</source>
        <translation>Cannot read the note</translation>
    </message>
    <message>
        <source>Cannot add a note</source>
        <translation>Cannot add a note</translation>
    </message>
    <message>
        <source>it has no id</source>
        <translation>it has no id</translation>
    </message>
    <message>
        <source>Cannot add the note %1</source>
        <translation>Cannot add the note %1</translation>
    </message>
    <message>
        <source>there is no such note</source>
        <translation>there is no such note</translation>
    </message>
    <message>
        <source>Cannot rename the note</source>
        <translation>Cannot rename the note</translation>
    </message>
    <message>
        <source>the title is empty</source>
        <translation>the title is empty</translation>
    </message>
    <message>
        <source>Cannot rename the note %1</source>
        <translation>Cannot rename the note %1</translation>
    </message>
    <message>
        <source>Cannot change the note %1</source>
        <translation>Cannot change the note %1</translation>
    </message>
    <message>
        <source>Cannot delete the note %1</source>
        <translation>Cannot delete the note %1</translation>
    </message>
    <message>
        <source>Cannot save the note %1</source>
        <translation>Cannot save the note %1</translation>
    </message>
    <message>
        <source>its file list does not start with the note file</source>
        <translation>its file list does not start with the note file</translation>
    </message>
    <message>
        <source>Cannot read the files of the note %1</source>
        <translation>Cannot read the files of the note %1</translation>
    </message>
    <message>
        <source>Cannot read the attachment sizes of the note %1</source>
        <translation>Cannot read the attachment sizes of the note %1</translation>
    </message>
    <message>
        <source>Cannot search the notes</source>
        <translation>Cannot search the notes</translation>
    </message>
    <message>
        <source>Cannot read the search index</source>
        <translation>Cannot read the search index</translation>
    </message>
    <message>
        <source>Cannot index the note %1</source>
        <translation>Cannot index the note %1</translation>
    </message>
    <message>
        <source>it holds no notes</source>
        <translation>it holds no notes</translation>
    </message>
    <message>
        <source>Cannot record the note %1</source>
        <translation>Cannot record the note %1</translation>
    </message>
    <message>
        <source>Cannot record the new notes</source>
        <translation>Cannot record the new notes</translation>
    </message>
    <message>
        <source>Cannot take the note %1 from the heads</source>
        <translation>Cannot take the note %1 from the heads</translation>
    </message>
    <message>
        <source>Cannot open the other version of the note %1</source>
        <translation>Cannot open the other version of the note %1</translation>
    </message>
    <message>
        <source>there is no such version</source>
        <translation>there is no such version</translation>
    </message>
    <message>
        <source>the file %1 of that version cannot be copied; it may not have arrived yet</source>
        <translation>the file %1 of that version cannot be copied; it may not have arrived yet</translation>
    </message>
</context>
<context>
    <name>NotebookLock</name>
    <message>
        <source>The notebook %1 is already open in another Tavrik Notes window.

Switch to that window to go on with your notes.</source>
        <translation>The notebook %1 is already open in another Tavrik Notes window.

Switch to that window to go on with your notes.</translation>
    </message>
    <message>
        <source>Cannot lock the notebook %1: its folder is not writable.</source>
        <translation>Cannot lock the notebook %1: its folder is not writable.</translation>
    </message>
</context>
<context>
    <name>ScreenCaptureDemo</name>
    <message>
        <source>Capture &amp;screen…</source>
        <translation>Capture &amp;screen…</translation>
    </message>
    <message>
        <source>Select a part of the screen and put its picture into the note</source>
        <translation>Select a part of the screen and put its picture into the note</translation>
    </message>
</context>
<context>
    <name>StoreActions</name>
    <message>
        <source>… and %1 more</source>
        <translation>… and %1 more</translation>
    </message>
    <message>
        <source>Chec&amp;k notebook</source>
        <translation>Chec&amp;k notebook</translation>
    </message>
    <message>
        <source>Check that every file of the notebook is there and intact</source>
        <translation>Check that every file of the notebook is there and intact</translation>
    </message>
    <message>
        <source>C&amp;lean up…</source>
        <translation>C&amp;lean up…</translation>
    </message>
    <message>
        <source>Remove the files no note refers to any more</source>
        <translation>Remove the files no note refers to any more</translation>
    </message>
    <message>
        <source>Export note as &amp;folder…</source>
        <translation>Export note as &amp;folder…</translation>
    </message>
    <message>
        <source>Save the note as a web page with its pictures and files beside it</source>
        <translation>Save the note as a web page with its pictures and files beside it</translation>
    </message>
    <message>
        <source>The notebook is sound: every file its notes need is there and intact.</source>
        <translation>The notebook is sound: every file its notes need is there and intact.</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) found in the notebook:</source>
        <translation>
            <numerusform>%n problem found in the notebook:</numerusform>
            <numerusform>%n problems found in the notebook:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Notebook checked: %n problem(s)</source>
        <translation>
            <numerusform>Notebook checked: %n problem</numerusform>
            <numerusform>Notebook checked: %n problems</numerusform>
        </translation>
    </message>
    <message>
        <source>The notebook is sound: every file that has arrived is intact.</source>
        <translation>The notebook is sound: every file that has arrived is intact.</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) saved on other devices are waiting for sync.</source>
        <translation>
            <numerusform>%n file saved on another device is waiting for sync.</numerusform>
            <numerusform>%n files saved on other devices are waiting for sync.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) waiting for sync</source>
        <translation>
            <numerusform>%n file waiting for sync</numerusform>
            <numerusform>%n files waiting for sync</numerusform>
        </translation>
    </message>
    <message>
        <source>Check notebook</source>
        <translation>Check notebook</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) changed within the last hour stay for now.</source>
        <translation>
            <numerusform>%n file changed within the last hour stays for now.</numerusform>
            <numerusform>%n files changed within the last hour stay for now.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing to clean up: every file belongs to a note.</source>
        <translation>Nothing to clean up: every file belongs to a note.</translation>
    </message>
    <message>
        <source>Clean up</source>
        <translation>Clean up</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) (%1) belong to no note any more. Remove them?</source>
        <translation>
            <numerusform>%n file (%1) belongs to no note any more. Remove it?</numerusform>
            <numerusform>%n files (%1) belong to no note any more. Remove them?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Removed %n file(s), %1 freed.</source>
        <translation>
            <numerusform>Removed %n file, %1 freed.</numerusform>
            <numerusform>Removed %n files, %1 freed.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was removed: %1</source>
        <translation>Nothing was removed: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) stayed; the log says why.</source>
        <translation>
            <numerusform>%n file stayed; the log says why.</numerusform>
            <numerusform>%n files stayed; the log says why.</numerusform>
        </translation>
    </message>
    <message>
        <source>Export note as folder: where to put it</source>
        <translation>Export note as folder: where to put it</translation>
    </message>
    <message>
        <source>the note has not been saved yet</source>
        <translation>the note has not been saved yet</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exported to %1</translation>
    </message>
    <message>
        <source>The note could not be exported: %1</source>
        <translation>The note could not be exported: %1</translation>
    </message>
    <message>
        <source>Export note as folder</source>
        <translation>Export note as folder</translation>
    </message>
    <message>
        <source>Checking the notebook…</source>
        <translation>Checking the notebook…</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>A small note-taking program built on the Tavrik editor.</source>
        <translation>A small note-taking program built on the Tavrik editor.</translation>
    </message>
    <message>
        <source>Run a short scripted tour on a fresh sample notebook and write screenshots to &lt;folder&gt;.</source>
        <translation>Run a short scripted tour on a fresh sample notebook and write screenshots to &lt;folder&gt;.</translation>
    </message>
    <message>
        <source>folder</source>
        <translation>folder</translation>
    </message>
    <message>
        <source>Keep the notebook in &lt;file&gt; instead of userdata/notes.db.</source>
        <translation>Keep the notebook in &lt;file&gt; instead of userdata/notes.db.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>file</translation>
    </message>
</context>
<context>
    <name>MarkdownActions</name>
    <message>
        <source>Copy as &amp;Markdown</source>
        <translation>Copy as &amp;Markdown</translation>
    </message>
    <message>
        <source>Paste as Mar&amp;kdown</source>
        <translation>Paste as Mar&amp;kdown</translation>
    </message>
    <message>
        <source>Put the selected part of the note on the clipboard as Markdown text</source>
        <translation>Put the selected part of the note on the clipboard as Markdown text</translation>
    </message>
    <message>
        <source>Insert the clipboard's text read as Markdown</source>
        <translation>Insert the clipboard's text read as Markdown</translation>
    </message>
    <message>
        <source>As Mar&amp;kdown folder…</source>
        <translation>As Mar&amp;kdown folder…</translation>
    </message>
    <message>
        <source>Markdown text (note.md) with the note's pictures and files beside it</source>
        <translation>Markdown text (note.md) with the note's pictures and files beside it</translation>
    </message>
    <message>
        <source>Nothing to copy: select a part of the note first</source>
        <translation>Nothing to copy: select a part of the note first</translation>
    </message>
    <message>
        <source>The selection is on the clipboard as Markdown</source>
        <translation>The selection is on the clipboard as Markdown</translation>
    </message>
    <message>
        <source>Nothing was pasted: the clipboard holds no text the note can take</source>
        <translation>Nothing was pasted: the clipboard holds no text the note can take</translation>
    </message>
    <message>
        <source>Export as Markdown: where to put it</source>
        <translation>Export as Markdown: where to put it</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Exported to %1</translation>
    </message>
    <message>
        <source>The note could not be exported: %1</source>
        <translation>The note could not be exported: %1</translation>
    </message>
    <message>
        <source>Export as Markdown</source>
        <translation>Export as Markdown</translation>
    </message>
</context>
<context>
    <name>NotebookSync</name>
    <message>
        <source>Open the other version as a note</source>
        <translation>Open the other version as a note</translation>
    </message>
    <message>
        <source>This note was also changed on another device from the same version. Both versions are kept; this is the newer one.</source>
        <translation>This note was also changed on another device from the same version. Both versions are kept; this is the newer one.</translation>
    </message>
    <message>
        <source>%1 (other version)</source>
        <translation>%1 (other version)</translation>
    </message>
</context>
</TS>
