#pragma once
// The editor's commands for the translator's own tools: File > Export
// translation..., File > Import translation... and File > Update from
// server file.... Each asks for its files through the file dialog seam and
// reports through the message boxes; the work itself is the translation
// exchange's (TranslationExchange.h, TranslationUpdate.h) over the session's
// stores.

#include <QString>

class TEditSession;
class TOpenDialog;
class TSaveDialog;

// Writes the open file's translation as PO, XLIFF or CSV, by Name's
// extension: each message with its original, its translation when it is
// translated, its mark when it is to review. False, after an error box,
// when it cannot be written.
bool ExportTranslationFile(const TEditSession &session, const QString &name);
// The save dialog (PO, XLIFF or CSV), then ExportTranslationFile.
void ExportTranslationCommand(const TEditSession &session, TSaveDialog &dialog);

// Reads Name and applies its translations to the session. Entries not final
// (PO fuzzy, XLIFF states to review) are applied, marked for review, only
// when the user answers Yes to the question; the report (the counts, each
// refusal, unknown code and warning) is shown in a box. False, after an
// error box naming the line, when Name cannot be read.
bool ImportTranslationFile(TEditSession &session, const QString &name);
void ImportTranslationCommand(TEditSession &session, TOpenDialog &dialog);

// Carries the session's translation (its texts, its initial backup's
// originals, its review marks) to the new server file NewFile, writes the
// result as OutFile with NewFile as its initial backup, and opens it. Needs
// the file's initial backup: without one nothing tells what was translated.
// Never replaces an existing file.
bool UpdateFromServerFile(TEditSession &session, const QString &newFile, const QString &outFile);
// NewFile from the open dialog, OutFile from the save dialog, then the above.
void UpdateFromServerCommand(TEditSession &session, TOpenDialog &newFileDialog, TSaveDialog &outFileDialog);
