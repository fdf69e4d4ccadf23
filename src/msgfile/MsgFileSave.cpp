#include "msgfile/MsgFileSave.h"

#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"

void SaveMsgDataWithBackup(const QString &fileName, const TMsgData &data)
{
    const QString dir = GetFileDir(fileName);
    const QString temp = CreateTempFile(dir, QString::fromLatin1(SaveTempPrefix));
    try {
        SaveMsgData(temp, data);
        // Only contents that reached the disk may replace the file.
        SyncFile(temp);
    } catch (...) {
        DeleteFileQuiet(temp);
        throw;
    }
    ReplaceFileKeepingBackup(temp, fileName);
    SyncDirectory(dir);
}
