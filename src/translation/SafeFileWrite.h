#pragma once
// Writing a file the way a save writes the message file, for the files the
// translation exchange makes (exported translations, review files, the
// files of an update): never in place, never half-written.

#include <QIODevice>
#include <QString>

#include <functional>

// Writes what Write puts into the device into a new temporary file beside
// FileName (prefix SaveTempPrefix), syncs it and returns its name. A failure
// (Write's exception, or the system's EOSError) deletes the temporary file
// and is raised again.
QString WriteTempFileBeside(const QString &fileName, const std::function<void(QIODevice &)> &write);

// WriteTempFileBeside, then the temporary file renamed over FileName in one
// step (replacing it) and the folder synced. A failed rename deletes the
// temporary file; FileName then keeps what it held.
void WriteFileSafely(const QString &fileName, const std::function<void(QIODevice &)> &write);
