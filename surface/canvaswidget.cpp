#include "surface/canvaswidget.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace {

QColor toQColor(surface::Color color)
{
    return QColor(surface::RedOf(color), surface::GreenOf(color), surface::BlueOf(color));
}

// Dash patterns in pen widths, bold enough to tell apart at a glance.
QList<qreal> dashPattern(surface::DrawStyle style)
{
    switch (style) {
    case surface::DrawStyle::Dash:
        return {12, 6};
    case surface::DrawStyle::Dot:
        return {2, 4};
    case surface::DrawStyle::DashDotDot:
        return {12, 4, 2, 4, 2, 4};
    case surface::DrawStyle::Solid:
        break;
    }
    return {};
}

// The whole number at or below `value`; std::floor is a library call on the
// baseline x86-64 instruction set, and this runs twice for every dot.
int floorToInt(double value)
{
    const int truncated = int(value);
    return value < truncated ? truncated - 1 : truncated;
}

constexpr QRgb Black = 0xFF000000;

// The round dot of a 5-pixel pen at a density of 1, the one nearly every dot
// is: rows of 3, 5, 5, 5 and 3 pixels. Written out, it is a handful of stores.
constexpr std::pair<int, int> FivePixelDot[] = {{1, 4}, {0, 5}, {0, 5}, {0, 5}, {1, 4}};

template <int First, int Last>
void stampRun(uchar *line)
{
    QRgb *const pixels = reinterpret_cast<QRgb *>(line);
    for (int column = First; column < Last; ++column) {
        pixels[column] = Black;
    }
}

template <std::size_t... Rows>
void stampFivePixelDot(uchar *line, qsizetype stride, std::index_sequence<Rows...>)
{
    (stampRun<FivePixelDot[Rows].first, FivePixelDot[Rows].second>(line + qsizetype(Rows) * stride),
     ...);
}

// `line` is the dot's top left corner.
void stampFivePixelDot(uchar *line, qsizetype stride)
{
    stampFivePixelDot(line, stride, std::make_index_sequence<std::size(FivePixelDot)>());
}

} // namespace

CanvasWidget::CanvasWidget(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(300, 300);
    fitImage();
}

void CanvasWidget::fitImage()
{
    endPainting();
    const qreal ratio = devicePixelRatioF();
    const QSize size = contentsRect().size() * ratio;
    if (!m_image.isNull() && m_image.size() == size && m_image.devicePixelRatio() == ratio) {
        return;
    }
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(m_backColor);
    if (!m_image.isNull()) {
        QPainter painter(&image);
        painter.drawImage(QPointF(0, 0), m_image);
    }
    m_image = image;
    m_pixels = nullptr;
    m_imageWidth = m_image.width();
    m_imageHeight = m_image.height();
    m_imageStride = m_image.bytesPerLine();
    buildDotStamp();
}

void CanvasWidget::buildDotStamp()
{
    const int width = std::max(1, int(std::lround(m_drawWidth * m_image.devicePixelRatio())));
    if (width == m_dotWidth) {
        return;
    }
    m_dotWidth = width;
    m_dotRuns.clear();
    const double radius = width / 2.0;
    for (int row = 0; row < width; ++row) {
        const double dy = row + 0.5 - radius;
        int first = width;
        int last = 0;
        for (int column = 0; column < width; ++column) {
            const double dx = column + 0.5 - radius;
            if (dx * dx + dy * dy <= radius * radius) {
                first = std::min(first, column);
                last = column + 1;
            }
        }
        m_dotRuns.emplace_back(first, last);
    }
    m_fivePixelDot = std::equal(m_dotRuns.begin(), m_dotRuns.end(), std::begin(FivePixelDot),
                                std::end(FivePixelDot));
}

void CanvasWidget::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    fitImage();
}

QPointF CanvasWidget::toPixels(double x, double y) const
{
    const QSize area = contentsRect().size();
    return {x * area.width() / m_scaleWidth, y * area.height() / m_scaleHeight};
}

QPen CanvasWidget::pen(const QColor &color) const
{
    QPen pen(color, m_drawWidth, Qt::SolidLine, Qt::FlatCap);
    if (m_drawWidth == 1 && m_drawStyle != surface::DrawStyle::Solid) {
        pen.setDashPattern(dashPattern(m_drawStyle));
    }
    return pen;
}

QPainter &CanvasWidget::painter()
{
    if (!m_painting) {
        m_pixels = nullptr; // the painter may give the image new pixels
        m_painting = m_painter.begin(&m_image);
        m_painter.setBrush(Qt::NoBrush);
        m_penColor = QColor();
    }
    return m_painter;
}

void CanvasWidget::endPainting() const
{
    if (m_painting) {
        m_painter.end();
        m_painting = false;
    }
}

const QImage &CanvasWidget::image() const
{
    endPainting();
    // A copy taken from here shares the pixels: the next dot must get its own.
    m_pixels = nullptr;
    return m_image;
}

void CanvasWidget::changed(const QRect &area)
{
    constexpr int MostPartialUpdates = 16;
    if (m_updatePending) {
        return;
    }
    if (!area.isEmpty() && m_partialUpdates < MostPartialUpdates) {
        ++m_partialUpdates;
        update(area.translated(contentsRect().topLeft()));
        return;
    }
    m_updatePending = true;
    update(contentsRect());
}

void CanvasWidget::SetAutoRedraw(bool on)
{
    m_autoRedraw = on;
    update();
}

void CanvasWidget::SetScaleWidth(float units)
{
    m_scaleWidth = units;
}

void CanvasWidget::SetScaleHeight(float units)
{
    m_scaleHeight = units;
}

float CanvasWidget::ScaleWidth() const
{
    return m_scaleWidth;
}

float CanvasWidget::ScaleHeight() const
{
    return m_scaleHeight;
}

void CanvasWidget::SetBackColor(surface::Color color)
{
    m_backColor = toQColor(color);
}

void CanvasWidget::Cls()
{
    endPainting();
    m_pixels = nullptr;
    m_image.fill(m_backColor);
    changed();
}

void CanvasWidget::SetDrawWidth(int pixels)
{
    m_drawWidth = std::max(1, pixels);
    buildDotStamp();
}

void CanvasWidget::SetDrawStyle(surface::DrawStyle style)
{
    m_drawStyle = style;
}

void CanvasWidget::Circle(double x, double y, double radius, surface::Color color)
{
    const QPointF centre = toPixels(x, y);
    const QPointF edge = toPixels(x + radius, y + radius);
    QPainter &painter = this->painter();
    painter.setPen(pen(toQColor(color)));
    m_penColor = QColor();
    painter.drawEllipse(centre, edge.x() - centre.x(), edge.y() - centre.y());
    changed();
}

void CanvasWidget::PSet(double x, double y)
{
    // Stamped pixel by pixel: the same round dot wherever it lands, and far
    // cheaper than a wide-pen point when thousands are redrawn.
    if (m_painting) {
        endPainting();
    }
    // The backing image covers the drawing area, so canvas units map straight
    // to its device pixels.
    const double centreX = x * m_imageWidth / m_scaleWidth;
    const double centreY = y * m_imageHeight / m_scaleHeight;
    // The dot is centred on the device pixel the point lies in. A press at pixel
    // 100 comes back from its single-precision units as 99.99999: the small
    // allowance keeps that dot on pixel 100 rather than one pixel up and left.
    constexpr double Allowance = 1e-3;
    const int left = floorToInt(centreX + Allowance) - (m_dotWidth - 1) / 2;
    const int top = floorToInt(centreY + Allowance) - (m_dotWidth - 1) / 2;
    if (!m_pixels) {
        m_pixels = m_image.bits();
    }
    uchar *const bits = m_pixels;
    if (left >= 0 && top >= 0 && left + m_dotWidth <= m_imageWidth
        && top + m_dotWidth <= m_imageHeight) {
        uchar *line = bits + top * m_imageStride;
        if (m_fivePixelDot) {
            stampFivePixelDot(line + left * qsizetype(sizeof(QRgb)), m_imageStride);
        } else {
            for (const auto &[first, last] : m_dotRuns) {
                QRgb *const pixels = reinterpret_cast<QRgb *>(line) + left;
                for (int column = first; column < last; ++column) {
                    pixels[column] = Black;
                }
                line += m_imageStride;
            }
        }
    } else {
        // Near an edge: only the part on the image.
        for (int row = 0; row < m_dotWidth; ++row) {
            const int imageRow = top + row;
            if (imageRow < 0 || imageRow >= m_imageHeight) {
                continue;
            }
            auto *pixels = reinterpret_cast<QRgb *>(bits + imageRow * m_imageStride);
            const int from = std::max(0, left + m_dotRuns[size_t(row)].first);
            const int to = std::min(m_imageWidth, left + m_dotRuns[size_t(row)].second);
            std::fill(pixels + std::min(from, to), pixels + to, Black);
        }
    }
    if (!m_updatePending) {
        dotChanged(left, top);
    }
}

void CanvasWidget::dotChanged(int left, int top)
{
    const qreal ratio = m_image.devicePixelRatio();
    changed(QRectF(left / ratio, top / ratio, m_dotWidth / ratio, m_dotWidth / ratio).toAlignedRect());
}

void CanvasWidget::Line(float x1, float y1, float x2, float y2)
{
    QPainter &painter = this->painter();
    if (m_penColor != Qt::black || m_penWidth != m_drawWidth || m_penStyle != m_drawStyle) {
        painter.setPen(pen(Qt::black));
        m_penColor = Qt::black;
        m_penWidth = m_drawWidth;
        m_penStyle = m_drawStyle;
    }
    painter.drawLine(toPixels(x1, y1), toPixels(x2, y2));
    changed();
}

void CanvasWidget::paintEvent(QPaintEvent *event)
{
    m_updatePending = false;
    m_partialUpdates = 0;
    fitImage();
    const QRect area = contentsRect();
    // Drawing asks for a paint of the drawing area only; the frame and the strip
    // under it are painted when they are exposed (shown, uncovered, restyled).
    // Stroking the frame's bevels costs more than copying the whole drawing area.
    const bool frameExposed = !area.contains(event->rect());
    {
        QPainter painter(this);
        if (frameExposed) {
            // The canvas paints opaquely, so nothing lies under its border: above
            // a density of 1 the style's one-pixel lines leave device pixels
            // between them, which showed whatever was in the buffer before.
            painter.save();
            painter.setClipRegion(QRegion(rect()).subtracted(area));
            painter.fillRect(rect(), palette().window());
            painter.restore();
        }
        if (m_autoRedraw) {
            painter.drawImage(area.topLeft(), m_image);
        } else {
            // Without persistent drawing nothing drawn outlives a repaint.
            painter.fillRect(area, m_backColor);
        }
    }
    if (frameExposed) {
        QFrame::paintEvent(event);
    }
}

void CanvasWidget::mousePressEvent(QMouseEvent *event)
{
    const QPointF at = event->position() - contentsRect().topLeft();
    const QSize area = contentsRect().size();
    if (at.x() < 0 || at.y() < 0 || at.x() >= area.width() || at.y() >= area.height()) {
        QFrame::mousePressEvent(event);
        return;
    }
    event->accept();
    Q_EMIT MouseDown(event->button(), event->modifiers(),
                     float(at.x() * m_scaleWidth / area.width()),
                     float(at.y() * m_scaleHeight / area.height()));
}
