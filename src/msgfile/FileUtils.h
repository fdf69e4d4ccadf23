#pragma once
// File helpers for safe saving and backups, and the names of the files kept
// beside a message file.
//
// Paths use the system's separator ("/" here). The extension of a name is
// the part from its last "." after the last separator.

#include <QString>

// Dir, a separator unless Dir is empty or already ends in one, FileName.
QString JoinPath(const QString &dir, const QString &fileName);
// The directory part of Path without a trailing separator, except the root's.
QString GetFileDir(const QString &path);
// Whether a file (not a folder) of that name exists.
bool FileExists(const QString &fileName);

// The prefix of the temporary files of a save.
inline constexpr char SaveTempPrefix[] = "IBMSG";

// Creates a new, empty file with a unique name that begins with Prefix in
// Dir, and returns its full name. Raises EOSError.
QString CreateTempFile(const QString &dir, const QString &prefix);
// Deletes the file; whether it is gone afterwards. Never raises.
bool DeleteFileQuiet(const QString &fileName);
// Deletes the file; raises EOSError when that fails.
void DeleteFileChecked(const QString &fileName);
// Copies Source over Dest (replacing it), contents and modification time.
// Raises EOSError; a copy that fails half-way is removed.
void CopyFileChecked(const QString &source, const QString &dest);
// Renames the file; fails with EOSError when NewName exists, decided by the
// system in the same step as the rename.
void RenameFileChecked(const QString &oldName, const QString &newName);
// Writes the file's contents out to the disk, so that a save reports success
// only once they are there. Raises EOSError.
void SyncFile(const QString &fileName);
// Writes the folder's entries (the names a save changed) out to the disk. A
// file system that cannot sync a folder (EINVAL) has nothing more to do.
// Raises EOSError.
void SyncDirectory(const QString &dir);

// Puts the written and synced file Temp in place of Name, the file Name held
// becoming its last backup (BackupFileName), so that Name is never without a
// file:
// - with hard links, the backup is a link to the previous file, made under a
//   new temporary name beside it and renamed over the backup's name (an older
//   backup is replaced in the same step); then Temp is renamed over Name,
//   which replaces it in one step;
// - where the file system refuses hard links (EPERM, EOPNOTSUPP, EXDEV: FAT
//   and kin), an older backup is deleted, Name renamed to the backup's name
//   and Temp to Name, each with RenameFileChecked;
// - when Name does not exist, Temp takes its name and no backup is made.
// Raises EOSError. Temp stays when a step fails; Name still holds the
// previous file, except after a failure between the two renames of a file
// system without hard links, when the previous file is only the backup.
void ReplaceFileKeepingBackup(const QString &temp, const QString &name);

// The last backup's name: the extension becomes "." + "~" + the extension
// without its "." and its last character (x.msg gives x.~ms; x gives x.~).
QString BackupFileName(const QString &fileName);
// The initial backup's name: the absolute path with ".OrigBAK" appended.
QString InitialBackupName(const QString &fileName);
