#include "surface/canvaswidget.h"

#include "game/verdict.h"
#include "surface/accessibleleaf.h"
#include "surface/keyboardcross.h"

#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

QColor toQColor(game::Color c)
{
    return {game::RedOf(c), game::GreenOf(c), game::BlueOf(c)};
}

// Dash patterns of the broken lines in pen widths, bold enough to tell apart at
// a glance.
QList<qreal> dashPattern(game::DrawStyle style)
{
    return style == game::DrawStyle::Dash ? QList<qreal>{12, 6}
         : style == game::DrawStyle::Dot  ? QList<qreal>{2, 4}
                                          : QList<qreal>{12, 4, 2, 4, 2, 4};
}

// The rows of a round dot `width` device pixels across, each as the columns
// [first, last) it covers: the pixels whose centres lie within the circle, which
// is as wide on either side of the middle.
std::vector<std::pair<int, int>> dotRuns(int width)
{
    std::vector<std::pair<int, int>> runs;
    const double radius = width / 2.0;
    for (int row = 0; row < width; ++row) {
        const double dy = row + 0.5 - radius;
        int first = 0;
        while (first < width && (first + 0.5 - radius) * (first + 0.5 - radius) + dy * dy > radius * radius) {
            ++first;
        }
        runs.emplace_back(first, width - first);
    }
    return runs;
}

// A pointer within this many logical pixels of a judged rope shows its verdict.
constexpr double RopeReach = 3.0;

double distanceToSegment(const QPointF &p, const QPointF &a, const QPointF &b)
{
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
    return QLineF(p, a + t * ab).length();
}

// The canvas as a screen reader gets it: a canvas whose description tells what
// it shows and how to play, and then every judged rope's verdict until the
// ropes are erased; it speaks for the canvas.
class CanvasAccessible : public QAccessibleWidget
{
public:
    explicit CanvasAccessible(CanvasWidget *canvas) : QAccessibleWidget(canvas, QAccessible::Canvas) {}
    ~CanvasAccessible() override { deleteLeaves(m_said); }

    void speak(const QString &text, CanvasWidget::Speech when)
    {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        QAccessibleAnnouncementEvent event(widget(), text);
        event.setPoliteness(when == CanvasWidget::Speech::WhileFocused ? QAccessible::AnnouncementPoliteness::Assertive
                                                                      : QAccessible::AnnouncementPoliteness::Polite);
        QAccessible::updateAccessibility(&event);
#else
        // Qt 6.4 has no announcements. Screen readers speak a notification shown,
        // wherever the focus is, and a focus that moves to a new item of the
        // canvas (not one that comes back to the same): a new child each time.
        const auto role = when == CanvasWidget::Speech::Anywhere ? QAccessible::Notification : QAccessible::ListItem;
        const auto last = std::find_if(m_said.begin(), m_said.end(),
                                       [role](auto id) { return QAccessible::accessibleInterface(id)->role() == role; });
        if (last != m_said.end()) {
            QAccessible::deleteAccessibleInterface(*last);
            m_said.erase(last);
        }
        m_said.push_back(registerLeaf<AccessibleLeaf>(widget(), role, text));
        QAccessibleEvent shown(widget(), role == QAccessible::Notification ? QAccessible::ObjectShow : QAccessible::Focus);
        shown.setChild(childCount() - 1);
        QAccessible::updateAccessibility(&shown);
#endif
    }

    QString text(QAccessible::Text t) const override
    {
        const QString text = QAccessibleWidget::text(t);
        const auto *canvas = static_cast<CanvasWidget *>(widget());
        const QStringList verdicts = t == QAccessible::Description ? canvas->verdictTexts() : QStringList();
        return verdicts.isEmpty() ? text : text + u' ' + verdicts.join(u". ") + u'.';
    }
    int childCount() const override { return QAccessibleWidget::childCount() + int(m_said.size()); }
    QAccessibleInterface *child(int index) const override
    {
        const auto k = size_t(index - QAccessibleWidget::childCount());
        return k < m_said.size() ? QAccessible::accessibleInterface(m_said[k]) : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto id = child ? QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child)) : 0;
        const auto said = std::find(m_said.begin(), m_said.end(), id);
        return said == m_said.end() ? QAccessibleWidget::indexOfChild(child)
                                    : QAccessibleWidget::childCount() + int(said - m_said.begin());
    }

private:
    // Qt 6.4 only: what was said last each way, children after the widgets.
    std::vector<QAccessible::Id> m_said;
};

// Whether anything hears what the canvas says: a screen reader, or a handler of
// Qt's accessibility updates (the browser's reader, a test). Putting every
// verdict into words adds 7 % to a judging of 5,000 ropes, for nobody otherwise.
bool heard()
{
    const QAccessible::UpdateHandler handler = QAccessible::installUpdateHandler(nullptr);
    QAccessible::installUpdateHandler(handler);
    return handler != nullptr || QAccessible::isActive();
}

QAccessibleInterface *canvasFactory(const QString &className, QObject *object)
{
    return className == QLatin1String("CanvasWidget") ? new CanvasAccessible(static_cast<CanvasWidget *>(object))
                                                      : nullptr;
}

} // namespace

CanvasWidget::CanvasWidget(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    // The frame is the style's; above a density of 1 its one-pixel lines leave
    // device pixels between them, which must show the panel's own colour.
    setAutoFillBackground(true);
    resize(300, 300);
    fitImage();
    m_cross = new KeyboardCross(this);
    [[maybe_unused]] static const bool accessible = (QAccessible::installFactory(canvasFactory), true);
}

void CanvasWidget::fitImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize size = (contentsRect().size() * ratio).expandedTo(QSize(1, 1));
    if (!m_image.isNull() && m_image.size() == size && m_image.devicePixelRatio() == ratio) {
        return;
    }
    QImage image(size, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(m_backColor);
    if (!m_image.isNull()) {
        QPainter(&image).drawImage(QPointF(0, 0), m_image);
    }
    m_image = image;
    fitDot();
}

void CanvasWidget::fitDot()
{
    m_dotRuns = dotRuns(std::max(1, int(std::lround(m_drawWidth * m_image.devicePixelRatio()))));
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

QPointF CanvasWidget::toUnits(const QPointF &pixel) const
{
    const QSize area = contentsRect().size();
    return {pixel.x() * m_scaleWidth / area.width(), pixel.y() * m_scaleHeight / area.height()};
}

QPen CanvasWidget::pen(const QColor &color) const
{
    QPen pen(color, m_drawWidth, Qt::SolidLine, Qt::FlatCap);
    if (m_drawWidth == 1 && m_drawStyle != game::DrawStyle::Solid) {
        pen.setDashPattern(dashPattern(m_drawStyle));
    }
    return pen;
}

void CanvasWidget::changed()
{
    if (!m_wholeAreaPending) {
        m_wholeAreaPending = true;
        update(contentsRect());
    }
}

void CanvasWidget::SetBackColor(game::Color color)
{
    m_backColor = toQColor(color);
}

void CanvasWidget::Cls()
{
    m_image.fill(m_backColor);
    changed();
}

void CanvasWidget::SetDrawWidth(int pixels)
{
    m_drawWidth = std::max(1, pixels);
    fitDot();
}

void CanvasWidget::Circle(double x, double y, double radius, game::Color color)
{
    const QPointF centre = toPixels(x, y);
    const QPointF edge = toPixels(x + radius, y + radius);
    QPainter painter(&m_image);
    painter.setPen(pen(toQColor(color)));
    painter.drawEllipse(centre, edge.x() - centre.x(), edge.y() - centre.y());
    changed();
}

void CanvasWidget::PSet(double x, double y)
{
    // Stamped pixel by pixel: the same round dot wherever it lands, crisp at any
    // density, where a wide pen's point is a polygon that varies with its place.
    const int width = int(m_dotRuns.size());
    // The dot is centred on the device pixel the point lies in. A press at pixel
    // 100 comes back from its single-precision units as 99.99999: the small
    // allowance keeps that dot on pixel 100 rather than one pixel up and left.
    constexpr double Allowance = 1e-3;
    const int left = int(std::floor(x * m_image.width() / m_scaleWidth + Allowance)) - (width - 1) / 2;
    const int top = int(std::floor(y * m_image.height() / m_scaleHeight + Allowance)) - (width - 1) / 2;
    for (int row = 0; row < width; ++row) {
        const int line = top + row;
        if (line < 0 || line >= m_image.height()) {
            continue;
        }
        auto *pixels = reinterpret_cast<QRgb *>(m_image.scanLine(line));
        const int from = std::clamp(left + m_dotRuns[size_t(row)].first, 0, m_image.width());
        const int to = std::clamp(left + m_dotRuns[size_t(row)].second, 0, m_image.width());
        std::fill(pixels + from, pixels + to, qRgb(0, 0, 0));
    }
    if (!m_wholeAreaPending) {
        const qreal ratio = m_image.devicePixelRatio();
        const QRect dot = QRectF(left / ratio, top / ratio, width / ratio, width / ratio).toAlignedRect();
        update(dot.translated(contentsRect().topLeft()));
    }
}

void CanvasWidget::Line(float x1, float y1, float x2, float y2)
{
    QPainter painter(&m_image);
    painter.setPen(pen(Qt::black));
    painter.drawLine(toPixels(x1, y1), toPixels(x2, y2));
    changed();
}

void CanvasWidget::ShowVerdicts(const std::vector<game::JudgedRope> &ropes)
{
    if (ropes.empty() && m_ropes.empty()) {
        return;
    }
    m_ropes = ropes;
    // The verdicts end the canvas's description (no DescriptionChanged for it:
    // Orca 43 then says nothing of the announcement), and new ones are said.
    if (!m_ropes.empty() && heard()) {
        speak(verdictTexts().join(QStringLiteral(". ")), Speech::Anywhere);
    }
}

void CanvasWidget::speak(const QString &text, Speech when)
{
    if (when == Speech::Anywhere || hasFocus()) {
        static_cast<CanvasAccessible *>(QAccessible::queryAccessibleInterface(this))->speak(text, when);
    }
}

QString CanvasWidget::verdictText(size_t k) const
{
    return QString::fromStdString(game::VerdictText(k, m_ropes[k].verdict));
}

QStringList CanvasWidget::verdictTexts() const
{
    QStringList texts;
    for (size_t k = 0; k < m_ropes.size(); ++k) {
        texts << verdictText(k);
    }
    return texts;
}

void CanvasWidget::paintEvent(QPaintEvent *event)
{
    m_wholeAreaPending = false;
    fitImage();
    QPainter(this).drawImage(contentsRect().topLeft(), m_image);
    QFrame::paintEvent(event);
}

void CanvasWidget::mousePressEvent(QMouseEvent *event)
{
    m_cross->hide();
    const QPointF at = event->position() - contentsRect().topLeft();
    const QSize area = contentsRect().size();
    if (at.x() < 0 || at.y() < 0 || at.x() >= area.width() || at.y() >= area.height()) {
        QFrame::mousePressEvent(event);
        return;
    }
    event->accept();
    const QPointF units = toUnits(at);
    Q_EMIT MouseDown(event->button(), event->modifiers(), float(units.x()), float(units.y()));
}

bool CanvasWidget::keyboardCursorShown() const
{
    return !m_cross->isHidden();
}

QPointF CanvasWidget::keyboardCursorUnits() const
{
    return toUnits(m_cross->pixel());
}

void CanvasWidget::keyPressEvent(QKeyEvent *event)
{
    const bool shown = keyboardCursorShown();
    const KeyboardCross::Key key = m_cross->take(*event);
    const QPointF units = keyboardCursorUnits();
    if (key == KeyboardCross::Key::Other) {
        QFrame::keyPressEvent(event);
        return;
    }
    if (key == KeyboardCross::Key::Moved || !shown) {
        Q_EMIT KeyboardCursorMoved(float(units.x()), float(units.y()));
    }
    if (key == KeyboardCross::Key::Press) {
        Q_EMIT MouseDown(Qt::LeftButton, Qt::NoModifier, float(units.x()), float(units.y()));
    }
}

void CanvasWidget::focusOutEvent(QFocusEvent *event)
{
    m_cross->hide();
    QFrame::focusOutEvent(event);
}

bool CanvasWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        // The verdicts of the judged ropes within reach of the pointer.
        const auto *help = static_cast<QHelpEvent *>(event);
        const QPointF at = help->pos() - contentsRect().topLeft();
        QStringList near;
        for (size_t k = 0; k < m_ropes.size(); ++k) {
            const game::JudgedRope &rope = m_ropes[k];
            if (distanceToSegment(at, toPixels(rope.from.x, rope.from.y), toPixels(rope.to.x, rope.to.y)) <= RopeReach) {
                near << verdictText(k);
            }
        }
        if (near.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), near.join(QLatin1Char('\n')), this);
        }
        return true;
    }
    return QFrame::event(event);
}
