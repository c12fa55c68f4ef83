#pragma once

// Helpers shared by the widget tests: reading the canvas's backing image in
// canvas units, pressing on the canvas as a user would, and reading the lists.

#include "surface/canvaswidget.h"
#include "surface/pointlistview.h"

#include <QImage>
#include <QItemSelectionModel>
#include <QTest>

#include <cmath>
#include <vector>

namespace testsupport {

inline QColor pixelAt(const CanvasWidget &canvas, double x, double y)
{
    const QImage &image = canvas.image();
    const QPointF at = canvas.toPixels(x, y) * image.devicePixelRatio();
    return image.pixelColor(int(std::floor(at.x())), int(std::floor(at.y())));
}

inline bool isBlack(const QColor &c)
{
    return c.red() == 0 && c.green() == 0 && c.blue() == 0;
}

inline bool isWhite(const QColor &c)
{
    return c.red() == 255 && c.green() == 255 && c.blue() == 255;
}

// A press with `button` at the logical pixel `at` of the drawing area (that is,
// inside the canvas's frame).
inline void pressOnDrawingArea(CanvasWidget &canvas, QPoint at,
                               Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(&canvas, button, Qt::NoModifier, canvas.contentsRect().topLeft() + at);
    QTest::mouseRelease(&canvas, button, Qt::NoModifier, canvas.contentsRect().topLeft() + at);
}

// Lengths of the alternating dark and light runs along image row `row`, from
// column `from` to column `to`, starting with the first dark pixel. Dark means
// black.
inline std::vector<int> runsAlongRow(const QImage &image, int row, int from, int to)
{
    std::vector<int> runs;
    bool dark = false;
    int length = 0;
    bool started = false;
    for (int x = from; x < to; ++x) {
        const bool black = isBlack(image.pixelColor(x, row));
        if (!started) {
            if (!black) {
                continue;
            }
            started = true;
            dark = true;
        }
        if (black == dark) {
            ++length;
        } else {
            runs.push_back(length);
            dark = black;
            length = 1;
        }
    }
    if (started && dark) {
        runs.push_back(length); // a light run at the end is not part of the line
    }
    return runs;
}

// The image row, near the canvas-unit `y`, that holds the most black pixels
// between columns `from` and `to`: where a horizontal line was drawn.
inline int blackestRow(const QImage &image, int nearRow, int from, int to)
{
    int best = nearRow;
    int bestCount = -1;
    for (int row = std::max(0, nearRow - 2); row <= std::min(image.height() - 1, nearRow + 2); ++row) {
        int count = 0;
        for (int x = from; x < to; ++x) {
            count += isBlack(image.pixelColor(x, row)) ? 1 : 0;
        }
        if (count > bestCount) {
            bestCount = count;
            best = row;
        }
    }
    return best;
}

// The lists as the user sees them: entry `row` of a list is its column of the
// points' row.
inline int listCount(const PointListView *list)
{
    return list->model()->rowCount();
}

inline QString listText(const PointListView *list, int row)
{
    return list->model()->index(row, list->modelColumn()).data().toString();
}

// The entry this list shows selected, -1 when none.
inline int listIndex(const PointListView *list)
{
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    for (const QModelIndex &index : selected) {
        if (index.column() == list->modelColumn()) {
            return index.row();
        }
    }
    return -1;
}

// Selects entry `row` from code, as a program would.
inline void setListIndex(PointListView *list, int row)
{
    list->setCurrentIndex(list->model()->index(row, list->modelColumn()));
}

// The row that has the keyboard's current mark, -1 when none.
inline int currentRow(const PointListView *list)
{
    return list->currentIndex().row();
}

// Entry `row`'s rectangle in the viewport's coordinates; scrolls it into view first.
inline QRect rowRect(PointListView *list, int row)
{
    const QModelIndex index = list->model()->index(row, list->modelColumn());
    list->scrollTo(index);
    return list->visualRect(index);
}

} // namespace testsupport
