// Benchmarks of what a person waits for, measured on the real window.
// bench/report.py turns the results into a table of medians against the budget.
//
// Every program benchmark drives MainForm through the path a person triggers (a
// mouse event on the canvas, a list selection, a button click) and includes the
// paint that follows, so the figure is the time until the screen shows the
// result. The board holds N points (10, 1,000, 10,000) in every iteration: what
// an action changes is put back with the timer paused.

#include "app/mainform.h"
#include "surface/canvaswidget.h"
#include "surface/facebutton.h"
#include "surface/pointlistview.h"
#include "surface/pointmodel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>

#include <memory>
#include <vector>

namespace {

constexpr QSize CanvasArea(296, 296); // the canvas's drawing area, inside its frame
constexpr float CanvasUnits = 500.0f;

// Pixel positions on the drawing area, spread over all of it as a person's
// presses would be; the same sequence on every run.
std::vector<QPoint> pressPositions(int count)
{
    std::vector<QPoint> points;
    points.reserve(size_t(count));
    std::uint32_t state = 12345;
    auto next = [&state](int range) {
        state = state * 1664525u + 1013904223u;
        return int((state >> 8) % std::uint32_t(range));
    };
    for (int i = 0; i < count; ++i) {
        const int x = next(CanvasArea.width());
        const int y = next(CanvasArea.height());
        points.emplace_back(x, y);
    }
    return points;
}

// A pixel of the drawing area in canvas units, as a press there reports it.
QPointF toUnits(QPoint pixel)
{
    return {float(pixel.x()) * CanvasUnits / float(CanvasArea.width()),
            float(pixel.y()) * CanvasUnits / float(CanvasArea.height())};
}

// Kept out of line, so that a profiler can tell the paused work (settle) from the
// measured paint (showResult): valgrind --tool=callgrind --toggle-collect=...
[[gnu::noinline]] void settle()
{
    QCoreApplication::processEvents();
}

// The window on screen, as after start-up and `count` presses on the canvas.
std::unique_ptr<MainForm> boardWith(int count)
{
    auto form = std::make_unique<MainForm>();
    form->show();
    settle();
    for (const QPoint &pixel : pressPositions(count)) {
        const QPointF at = toUnits(pixel);
        form->Picture1_MouseDown(Qt::LeftButton, Qt::NoModifier, float(at.x()), float(at.y()));
    }
    settle();
    return form;
}

// The points both lists show.
PointModel &pointsOf(const MainForm &form)
{
    return *qobject_cast<PointModel *>(form.List1[0]->model());
}

bool boardHolds(const MainForm &form, int count)
{
    return form.List1[0]->model()->rowCount() == count && pointsOf(form).rowCount() == count;
}

// Selects entry `row` of the Y list, as a click on it does.
void selectInY(MainForm &form, int row)
{
    form.List1[1]->setCurrentIndex(form.List1[1]->model()->index(row, 1));
}

// Shows the result the way a person sees it: the canvas repainted, then every
// other pending paint and layout of the window done.
[[gnu::noinline]] void showResult(MainForm &)
{
    QCoreApplication::processEvents();
}

// --- The program -------------------------------------------------------------

// A press on the canvas: the dot, both list entries and their paint.
void BM_Press(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto form = boardWith(count);
    CanvasWidget &canvas = *form->Picture1;
    const QPoint at = canvas.contentsRect().topLeft() + QPoint(150, 100);
    for (auto _ : state) {
        QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, at);
        showResult(*form);

        state.PauseTiming();
        QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, at);
        pointsOf(*form).RemoveAt(count);
        settle();
        state.ResumeTiming();
    }
    if (!boardHolds(*form, count)) {
        state.SkipWithError("the press did not add exactly one point");
    }
}

// Selecting an entry of the Y list, which selects it in the X list too.
void BM_SelectEntry(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto form = boardWith(count);
    const int rows[] = {count / 2, count / 2 + 1};
    int turn = 0;
    for (auto _ : state) {
        selectInY(*form, rows[turn]);
        QCoreApplication::processEvents();
        turn = 1 - turn;
    }
    if (pointsOf(*form).Selected() != rows[1 - turn]
        || !form->List1[0]->selectionModel()->isRowSelected(rows[1 - turn])) {
        state.SkipWithError("the X list did not follow the selection");
    }
}

// "Без точка" with an entry selected: both lists lose it, the valley and the
// other N-1 dots are drawn again.
void BM_RemovePoint(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto form = boardWith(count);
    const int row = count / 2;
    bool removed = true;
    for (auto _ : state) {
        state.PauseTiming();
        const game::Point at = pointsOf(*form).Points()[size_t(row)];
        selectInY(*form, row);
        settle();
        state.ResumeTiming();

        form->Command1[1]->click();
        showResult(*form);

        state.PauseTiming();
        removed = removed && pointsOf(*form).rowCount() == count - 1;
        // The point comes back at the end of the lists, as a new press would add it.
        form->Picture1_MouseDown(Qt::LeftButton, Qt::NoModifier, float(at.x), float(at.y));
        settle();
        state.ResumeTiming();
    }
    if (!removed || !boardHolds(*form, count)) {
        state.SkipWithError("the selected point was not removed");
    }
}

// "Рицар": both inner circles, N/2 ropes judged and drawn.
void BM_Judge(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto form = boardWith(count);
    FaceButton &judge = *form->Command1[0];
    for (auto _ : state) {
        state.PauseTiming();
        judge.setEnabled(true);
        settle();
        state.ResumeTiming();

        judge.click();
        showResult(*form);
    }
    if (judge.isEnabled()) {
        state.SkipWithError("the judge button did not run");
    }
}

// "Чисти всичко": the empty valley and both lists emptied.
void BM_ClearAll(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto form = boardWith(count);
    const std::vector<game::Point> points = pointsOf(*form).Points();
    bool cleared = true;
    for (auto _ : state) {
        form->Command1[2]->click();
        showResult(*form);

        state.PauseTiming();
        cleared = cleared && pointsOf(*form).rowCount() == 0;
        // The same board again: the points in both lists and their dots, drawn
        // after an erase and the valley, as a removal draws them, so that they
        // ask for one repaint of the canvas rather than one each.
        form->Picture1->Cls();
        form->Picture1->SetDrawWidth(5);
        form->Picture1->Circle(250, 250, 225, game::Rgb(180, 136, 148));
        for (const game::Point &point : points) {
            pointsOf(*form).Add(point);
            form->Picture1->PSet(point.x, point.y);
        }
        form->Picture1->SetDrawWidth(1);
        settle();
        state.ResumeTiming();
    }
    if (!cleared) {
        state.SkipWithError("clear all left points in the lists");
    }
}

// Start-up inside a running application: the window built, Form_Load run, the
// window shown and painted once.
void BM_StartUp(benchmark::State &state)
{
    for (auto _ : state) {
        auto form = std::make_unique<MainForm>();
        form->show();
        QCoreApplication::processEvents();
        form->repaint();

        state.PauseTiming();
        form.reset();
        settle();
        state.ResumeTiming();
    }
}

void boardSizes(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Arg(10)->Arg(1000)->Arg(10000)->UseRealTime()->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Press)->Apply(boardSizes);
BENCHMARK(BM_SelectEntry)->Apply(boardSizes);
BENCHMARK(BM_RemovePoint)->Apply(boardSizes);
BENCHMARK(BM_Judge)->Apply(boardSizes);
BENCHMARK(BM_ClearAll)->Apply(boardSizes);
BENCHMARK(BM_StartUp)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    // The benchmarks need no display; a platform chosen from outside still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Qt sees only the program name: every argument belongs to the benchmark library.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
