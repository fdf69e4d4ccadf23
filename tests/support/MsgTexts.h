#pragma once
// The texts of a store or of a file on disk, for comparing in tests.

#include "msgfile/MsgData.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Every message's text, in order.
QList<QByteArray> TextsOf(const TMsgData &data);

// The texts of a message file as the format's reader finds them; a file it
// refuses gives one entry "unreadable: " and the reason, which then shows up
// in the comparison that follows instead of ending the test.
QList<QByteArray> TextsOnDisk(const QString &fileName);
