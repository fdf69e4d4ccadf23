#include "dialogs/WaitCursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace {

int g_waitDepth = 0;
// Whether the outermost BeginWait pushed the wait cursor, so that only a
// cursor this nesting pushed is taken off again.
bool g_cursorPushed = false;

// The running application when it is one that shows cursors. The session's
// work also runs under a plain QCoreApplication (benchmarks, command-line
// tools), whose object must never be used as a QGuiApplication: the cursor
// functions would write into memory it does not have.
QGuiApplication *GuiApplication()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance());
}

} // namespace

void BeginWait()
{
    if (g_waitDepth++ > 0 || !GuiApplication())
        return;
    // The application's override cursors form a stack: pushing the wait
    // cursor remembers whatever was shown before it.
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    g_cursorPushed = true;
}

void EndWait()
{
    if (g_waitDepth == 0)
        return;
    if (--g_waitDepth > 0 || !g_cursorPushed)
        return;
    g_cursorPushed = false;
    if (GuiApplication())
        QGuiApplication::restoreOverrideCursor();
}

int WaitDepth()
{
    return g_waitDepth;
}
