#pragma once
// lexivane-msg run in the test's own process, its output caught: for the
// tests of the tool, which link lexivane_msgtool.

#include "msgtool/MsgTool.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

struct TToolResult
{
    int code;
    QString out;
    QString err;
};

inline TToolResult RunTool(const QStringList &arguments)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = MsgTool::Run(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}
