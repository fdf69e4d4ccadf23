#pragma once
// The pictures of the main window's toolbar buttons, drawn by our own code
// as vector shapes on a 16 x 16 grid scaled to whatever size and device pixel
// ratio Qt asks for, so they look the same on every desktop and stay crisp on
// high-DPI screens. The disabled mode draws the same shapes in greys.

#include <QIcon>
#include <QIconEngine>

enum class TToolbarPicture { Open, Save, Undo, Find, FindNext, ViewOriginal, About };

// The icon of one toolbar button (never null).
[[nodiscard]] QIcon ToolbarIcon(TToolbarPicture picture);

// The engine behind ToolbarIcon: paints its picture into any rectangle (a
// square centred in it, the largest that fits) and renders pixmaps at the
// requested size, never scaling a smaller drawing up.
class TToolbarIconEngine : public QIconEngine
{
public:
    // The side of the design grid the pictures are drawn on.
    static constexpr int DesignSize = 16;

    explicit TToolbarIconEngine(TToolbarPicture picture);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
    QIconEngine *clone() const override;
    QString key() const override;

private:
    // The picture in the largest square centred in Rect.
    void Draw(QPainter &painter, const QRect &rect, QIcon::Mode mode) const;
    // A pixmap of Size device pixels showing the picture, with the given
    // device pixel ratio.
    [[nodiscard]] QPixmap Render(const QSize &size, QIcon::Mode mode, qreal ratio) const;

    TToolbarPicture m_picture;
};
