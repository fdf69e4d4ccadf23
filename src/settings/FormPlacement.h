#pragma once
// Window placement kept in the settings: a window's outer bounds (frame
// included) as the integers N.Left, N.Top, N.Width and N.Height in section
// "Last" of AppIni(), N being the window's objectName() ("Form1"). Only the
// bounds are kept, not whether the window is maximized.

#include <QMargins>
#include <QRect>

class QWidget;

// The least width and height a restore gives when the work area leaves less
// room than that (a saved position at or beyond its right or bottom edge),
// so that the window can still be seen and grabbed.
inline constexpr int MinRestoredWidth = 100;
inline constexpr int MinRestoredHeight = 50;

// Puts the window (a top-level widget) in the middle of its screen, the
// whole screen rather than its work area, halves rounded toward zero.
void CenterForm(QWidget &window);

// Writes Left, Top, Width and Height, in this order.
void SaveFormPlacement(const QWidget &window);

// Reads the placement, the window's present bounds standing in for absent
// values, fits it to the work area of the window's screen
// (FitFormPlacement) and applies it.
void RestoreFormPlacement(QWidget &window);

// A window's outer bounds as kept in the settings. Plain integers rather
// than a QRect: stored values come from a file and may be anything.
struct TFormBounds
{
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// The fitting step: Stored's left and top edges are pushed onto WorkArea,
// its frame (Frame: the distances from the outer bounds to the client area)
// may lie outside; its width and height are reduced to the room between its
// left and top edges and WorkArea's right and bottom edges, plus the frame,
// but to no less than MinRestoredWidth x MinRestoredHeight.
[[nodiscard]] TFormBounds FitFormPlacement(const TFormBounds &stored, const QRect &workArea, const QMargins &frame);
