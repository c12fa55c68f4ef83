#pragma once

#include "game/valleygame.h"

#include <QWidget>

#include <array>
#include <memory>

class CanvasWidget;
class FaceButton;
class PointListView;
class PointModel;
class QLabel;
class QPlainTextEdit;

// The program's one window. It owns the controls and the game, and routes each
// user event to the game; it holds no game rule of its own.
class MainForm : public QWidget
{
    Q_OBJECT

public:
    explicit MainForm(QWidget *parent = nullptr);

    // Button actions by index: 0 judges the ropes, 1 removes the selected point,
    // 2 clears everything. Any other index does nothing.
    void Command1_Click(int Index);
    // A mouse button was pressed on the canvas at (X, Y) canvas units.
    void Picture1_MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, float X, float Y);

    // The controls, by the names the rest of the program and its tests use.
    std::array<FaceButton *, 3> Command1{};
    // The X list and the Y list: views of one column each of the points.
    std::array<PointListView *, 2> List1{};
    std::array<QLabel *, 3> Label1{};
    std::array<QPlainTextEdit *, 2> Text1{};
    CanvasWidget *Picture1 = nullptr;
    QLabel *Picture2 = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void speakForTheGame(); // tells a screen reader what the player's actions did
    void Form_Load();

    PointModel *m_points = nullptr;
    std::unique_ptr<game::ValleyGame> m_game;
    QSize m_sizeRefused; // forced on the window by a window manager, and asked back
};
