#include "settings/FormPlacement.h"

#include "settings/ConfigUtils.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

QScreen *ScreenOf(const QWidget &window)
{
    QScreen *screen = window.screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

// The distances from the outer bounds to the client area.
QMargins FrameOf(const QWidget &window)
{
    const QRect outer = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
            outer.bottom() - client.bottom()};
}

QString ValueName(const QWidget &window, const char *suffix)
{
    return window.objectName() + QLatin1String(suffix);
}

} // namespace

void CenterForm(QWidget &window)
{
    const QScreen *screen = ScreenOf(window);
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QRect outer = window.frameGeometry();
    window.move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
}

void SaveFormPlacement(const QWidget &window)
{
    const QRect outer = window.frameGeometry();
    TAppIni &store = AppIni();
    store.WriteInteger(LastSection, ValueName(window, ".Left"), outer.x());
    store.WriteInteger(LastSection, ValueName(window, ".Top"), outer.y());
    store.WriteInteger(LastSection, ValueName(window, ".Width"), outer.width());
    store.WriteInteger(LastSection, ValueName(window, ".Height"), outer.height());
}

void RestoreFormPlacement(QWidget &window)
{
    const QRect current = window.frameGeometry();
    TAppIni &store = AppIni();
    TFormBounds stored;
    stored.Left = store.ReadInteger(LastSection, ValueName(window, ".Left"), current.x());
    stored.Top = store.ReadInteger(LastSection, ValueName(window, ".Top"), current.y());
    stored.Width = store.ReadInteger(LastSection, ValueName(window, ".Width"), current.width());
    stored.Height = store.ReadInteger(LastSection, ValueName(window, ".Height"), current.height());

    const QMargins frame = FrameOf(window);
    const QScreen *screen = ScreenOf(window);
    const TFormBounds placed = screen ? FitFormPlacement(stored, screen->availableGeometry(), frame) : stored;
    window.move(placed.Left, placed.Top); // a window's position is that of its frame
    window.resize(placed.Width - frame.left() - frame.right(), placed.Height - frame.top() - frame.bottom());
}

// The room is measured from the work area's own right and bottom edges, so
// that a work area away from the origin (a second screen, a panel on the
// left) gives the same room as one at the origin.
TFormBounds FitFormPlacement(const TFormBounds &stored, const QRect &workArea, const QMargins &frame)
{
    const int left = qMax(workArea.left() - frame.left(), stored.Left);
    const int top = qMax(workArea.top() - frame.top(), stored.Top);
    const int roomWidth = workArea.x() + workArea.width() - left + frame.right();
    const int roomHeight = workArea.y() + workArea.height() - top + frame.bottom();
    const int width = qMax(MinRestoredWidth, qMin(stored.Width, roomWidth));
    const int height = qMax(MinRestoredHeight, qMin(stored.Height, roomHeight));
    return {left, top, width, height};
}
