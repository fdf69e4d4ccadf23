#include "dialogs/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {

int g_waitDepth = 0;

} // namespace

void BeginWait()
{
    // The application's override cursors form a stack: pushing the wait
    // cursor remembers whatever was shown before it.
    if (g_waitDepth++ == 0)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void EndWait()
{
    if (g_waitDepth == 0)
        return;
    if (--g_waitDepth == 0)
        QGuiApplication::restoreOverrideCursor();
}

int WaitDepth()
{
    return g_waitDepth;
}
