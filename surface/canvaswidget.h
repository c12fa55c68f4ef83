#pragma once

#include "surface/operations.h"

#include <QFrame>
#include <QImage>
#include <QPainter>

// The drawing canvas: a sunken 2-pixel frame around the drawing area. Everything
// is drawn into a backing image at the screen's pixel density, and paint events
// only copy it out, so drawing survives being covered and stays crisp at 200 %.
// Coordinates are canvas units over the drawing area (see surface::Canvas);
// presses on the drawing area are reported in the same units.
class CanvasWidget : public QFrame, public surface::Canvas
{
    Q_OBJECT

public:
    explicit CanvasWidget(QWidget *parent = nullptr);

    void SetAutoRedraw(bool on) override;
    void SetScaleWidth(float units) override;
    void SetScaleHeight(float units) override;
    float ScaleWidth() const override;
    float ScaleHeight() const override;
    void SetBackColor(surface::Color color) override;
    void Cls() override;
    void SetDrawWidth(int pixels) override;
    void SetDrawStyle(surface::DrawStyle style) override;
    void Circle(double x, double y, double radius, surface::Color color) override;
    void PSet(double x, double y) override;
    void Line(float x1, float y1, float x2, float y2) override;

    // The backing image of the drawing area, in device pixels, with all drawing done.
    const QImage &image() const;
    // A point in canvas units as a position in the drawing area, in logical pixels.
    QPointF toPixels(double x, double y) const;

Q_SIGNALS:
    // A mouse button was pressed on the drawing area at (x, y) canvas units.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitImage();
    void buildDotStamp();
    QPen pen(const QColor &color) const;
    QPainter &painter();
    void endPainting() const;
    // Asks for a paint of `area` of the drawing area (logical pixels), or of all
    // of it when `area` is empty.
    void changed(const QRect &area = {});
    // Asks for a paint of the dot whose top left device pixel is (left, top).
    [[gnu::noinline]] void dotChanged(int left, int top);

    QImage m_image;
    // Its size and line length, asked for once per dot otherwise.
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    qsizetype m_imageStride = 0;
    // Its pixels, asked for once per run of dots rather than once per dot; null
    // whenever the image may have been given new ones (reassigned, painted on,
    // filled, or handed out by image() to be copied).
    mutable uchar *m_pixels = nullptr;
    // One painter serves a run of Circle and Line calls, so that a redraw of
    // thousands of ropes pays for one begin(); it is ended before anything else
    // touches the image (dots, Cls, a paint, image()). Declared after m_image,
    // so that it ends before the image goes.
    mutable QPainter m_painter;
    mutable bool m_painting = false; // m_painter is active on m_image
    // What the painter's pen was set from, so that a run of lines in one pattern
    // sets it once; m_penColor is invalid when the pen must be set again.
    QColor m_penColor;
    int m_penWidth = 0;
    surface::DrawStyle m_penStyle = surface::DrawStyle::Solid;
    // A paint of the whole canvas is already pending: further drawing before it
    // needs none of its own. A few dots ask only for their own squares; past
    // that many the whole canvas is cheaper than a region of many pieces.
    bool m_updatePending = false;
    int m_partialUpdates = 0;
    bool m_autoRedraw = false;
    float m_scaleWidth = 0.0f;
    float m_scaleHeight = 0.0f;
    QColor m_backColor = Qt::white;
    int m_drawWidth = 1;
    surface::DrawStyle m_drawStyle = surface::DrawStyle::Solid;

    // A round dot of the pen's width in device pixels, as horizontal runs: row r
    // of the dot covers columns m_dotRuns[r].first .. second - 1.
    std::vector<std::pair<int, int>> m_dotRuns;
    int m_dotWidth = 0; // device pixels the runs were built for
    bool m_fivePixelDot = false; // the runs are those of a 5-pixel dot
};
