#include "support/MsgTexts.h"

#include "diagnostics/Exception.h"
#include "msgfile/MsgFile.h"

QList<QByteArray> TextsOf(const TMsgData &data)
{
    QList<QByteArray> texts;
    texts.reserve(data.Count());
    for (int i = 0; i < data.Count(); ++i)
        texts.append(data.Texts(i));
    return texts;
}

QList<QByteArray> TextsOnDisk(const QString &fileName)
{
    try {
        return TextsOf(*LoadMsgData(fileName));
    } catch (const Exception &error) {
        return {"unreadable: " + error.Message().toUtf8()};
    }
}
