#pragma once
// Finding the message file of an installed database server: the 32-bit
// server's through its registry entries, the 16-bit server's through its
// section of the system profile WIN.INI. Each returns the full path of an
// existing file, or "" when nothing was found; neither shows anything.

#include <QString>

QString FindMsgFile32();
QString FindMsgFile16();
