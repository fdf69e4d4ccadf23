#pragma once
// The save of a message file that never overwrites it in place: shared by the
// editing session and by anything else that saves the way the session does.

#include "msgfile/MsgData.h"

#include <QString>

// Writes Data into a new temporary file beside FileName (prefix
// SaveTempPrefix), syncs it, puts it in place with ReplaceFileKeepingBackup
// (the previous file becoming the last backup) and syncs the folder.
// Raises what the failed step raised. A temporary file that could not be
// written and synced whole is deleted; one that was stays when putting it in
// place fails.
void SaveMsgDataWithBackup(const QString &fileName, const TMsgData &data);
