#pragma once

#include "game/operations.h"

#include <QFrame>
#include <QImage>
#include <QPainter>

#include <utility>
#include <vector>

class KeyboardCross;

// The drawing canvas: a sunken 2-pixel frame around the drawing area. Everything
// is drawn into a backing image at the screen's pixel density, and paint events
// only copy it out, so drawing always survives being covered and stays crisp at
// 200 %. Coordinates are canvas units over the drawing area (see game::Canvas),
// presses on it are reported in the same units. From the keyboard the keyboard
// cross (keyboardcross.h) stands for the mouse; a mouse press or the loss of
// the focus hides it. Hovering over a judged rope shows its verdict.
class CanvasWidget : public QFrame, public game::Canvas
{
    Q_OBJECT

public:
    explicit CanvasWidget(QWidget *parent = nullptr);

    void SetScaleWidth(float units) override { m_scaleWidth = units; }
    void SetScaleHeight(float units) override { m_scaleHeight = units; }
    float ScaleWidth() const override { return m_scaleWidth; }
    float ScaleHeight() const override { return m_scaleHeight; }
    void SetBackColor(game::Color color) override;
    void Cls() override;
    void SetDrawWidth(int pixels) override;
    void SetDrawStyle(game::DrawStyle style) override { m_drawStyle = style; }
    void Circle(double x, double y, double radius, game::Color color) override;
    void PSet(double x, double y) override;
    void Line(float x1, float y1, float x2, float y2) override;

    void ShowVerdicts(const std::vector<game::JudgedRope> &ropes) override;
    enum class Speech {
        WhileFocused, // what a key on the canvas did: only while the canvas has the focus
        Anywhere,     // what a button did, the verdicts: wherever the focus is
    };
    // Tells a screen reader `text`, as the canvas's own accessible object.
    void speak(const QString &text, Speech when);
    QString verdictText(size_t k) const; // rope k's, in words: "Въже 2: твърде далеч от дракона"
    QStringList verdictTexts() const;    // every rope's; none while no judged rope is drawn

    // The backing image of the drawing area, in device pixels, with all drawing done.
    const QImage &image() const { return m_image; }
    // A point in canvas units as a position in the drawing area, in logical pixels.
    QPointF toPixels(double x, double y) const;
    // A position in the drawing area, in logical pixels, as canvas units: what a
    // press there reports.
    QPointF toUnits(const QPointF &pixel) const;

    bool keyboardCursorShown() const;
    QPointF keyboardCursorUnits() const; // where the keyboard cross is, shown or not

Q_SIGNALS:
    // A mouse button was pressed on the drawing area at (x, y) canvas units.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, float x, float y);
    // The keyboard cross was shown or moved; it stands at (x, y) canvas units.
    void KeyboardCursorMoved(float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitImage();
    void fitDot(); // the dot's runs for the pen width at the image's density
    QPen pen(const QColor &color) const;
    void changed(); // asks for a paint of the whole drawing area

    QImage m_image;
    // A paint of the whole drawing area is already asked for: a dot drawn before
    // it needs no paint of its own (a redraw of thousands of dots would otherwise
    // build a region of thousands of squares).
    bool m_wholeAreaPending = false;
    float m_scaleWidth = 0.0f;
    float m_scaleHeight = 0.0f;
    QColor m_backColor = Qt::white;
    int m_drawWidth = 1;
    game::DrawStyle m_drawStyle = game::DrawStyle::Solid;
    // A round dot of the pen's width in device pixels, as horizontal runs: row r
    // of the dot covers columns m_dotRuns[r].first .. second - 1.
    std::vector<std::pair<int, int>> m_dotRuns;
    std::vector<game::JudgedRope> m_ropes;
    KeyboardCross *m_cross = nullptr;
};
