// lexivane-msg: see MsgTool.h.

#include "msgtool/MsgTool.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const int code = MsgTool::Run(arguments, out, err);
    out.flush();
    err.flush();
    return code;
}
