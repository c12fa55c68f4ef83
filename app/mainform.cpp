#include "app/mainform.h"

#include "surface/canvaswidget.h"
#include "surface/facebutton.h"
#include "surface/pointlistview.h"
#include "surface/pointmodel.h"

#include <QAccessibleWidget>
#include <QFile>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>

namespace {

constexpr QSize ClientSize(453, 469);
const QColor WindowBlue(128, 128, 255);
const QColor LabelOrange(255, 192, 128);

QString resourceText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void describe(QWidget *widget, const QString &name, const QString &description)
{
    widget->setAccessibleName(name);
    widget->setAccessibleDescription(description);
}

// The window is a frame to screen readers, not the client area that Qt takes a
// plain widget for.
QAccessibleInterface *windowFactory(const QString &className, QObject *object)
{
    auto *window = qobject_cast<MainForm *>(object);
    return className == QLatin1String("MainForm") ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

// How many points are left, as a sentence ends: "остават 5 точки".
QString pointsLeft(int count)
{
    return count == 0 ? QStringLiteral("не остават точки")
        : count == 1  ? QStringLiteral("остава 1 точка")
                      : QStringLiteral("остават %1 точки").arg(count);
}

QLabel *makeLabel(const QString &caption, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(caption, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, LabelOrange);
    label->setPalette(palette);
    return label;
}

QPlainTextEdit *makeTextBox(const QString &text, const QRect &geometry, QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setGeometry(geometry);
    box->setPlainText(text);
    box->setReadOnly(true);
    // Read-only, yet the reader can still select and copy with the keyboard.
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setFocusPolicy(Qt::StrongFocus);
    box->setTabChangesFocus(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return box;
}

} // namespace

MainForm::MainForm(QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                  | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                  // Windows otherwise gives even a fixed-size window a border
                  // that offers resizing; other systems ignore the hint.
                  | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("www.example.org Приказна геометрия за ученици"));
    setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    setFixedSize(ClientSize);
    // The light blue is painted, not set in the palette: a palette colour would
    // pass down to the lists, the text boxes and their scroll bars, whose frames
    // the style shades from it, and they are to keep the platform's looks.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont font(QStringLiteral("Times New Roman"), 12, QFont::Normal);
    // Where Times New Roman is missing, a serif with the same metrics stands in.
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Tinos")});
    font.setStyleHint(QFont::Serif);
    setFont(font);

    [[maybe_unused]] static const bool accessible = (QAccessible::installFactory(windowFactory), true);
    describe(this, QStringLiteral("Долината на дракона"),
             QStringLiteral("Приказна геометрия за ученици: задача за хорди на окръжност, "
                            "разказана като легендата за рицаря и огнения дракон"));
    createControls();
    speakForTheGame();

    m_game = std::make_unique<game::ValleyGame>(game::ValleyGame::Controls{
        *Picture1, *m_points, [this](bool on) { Command1[0]->setEnabled(on); },
        [this](bool on) { Picture2->setVisible(on); }});

    for (int i = 0; i < int(Command1.size()); ++i) {
        connect(Command1[size_t(i)], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    }
    connect(Picture1, &CanvasWidget::MouseDown, this, &MainForm::Picture1_MouseDown);

    Form_Load();
}

void MainForm::paintEvent(QPaintEvent *event)
{
    QPainter(this).fillRect(event->rect(), WindowBlue);
}

void MainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Some window managers (weston's for X11 windows) grant a resize request
    // whatever the window's fixed size: the window asks for its size back, once
    // for each size forced on it, so that a window manager that insists is not
    // asked for ever.
    if (size() == ClientSize) {
        m_sizeRefused = QSize();
    } else if (size() != m_sizeRefused) {
        m_sizeRefused = size();
        resize(ClientSize);
    }
}

void MainForm::createControls()
{
    // A screen reader hears each control by the name and description given it
    // here. The story goes without its last line end, which would show as an
    // empty line.
    Text1[0] = makeTextBox(resourceText(QStringLiteral(":/story.txt")).trimmed(), QRect(8, 336, 433, 129), this);
    describe(Text1[0], QStringLiteral("Разказ и задача"),
             QStringLiteral("Легендата, трите правила и задачата; само за четене"));
    QString quotation = resourceText(QStringLiteral(":/quotation.txt"));
    Text1[1] = makeTextBox(quotation.replace(QStringLiteral("\r\n"), QStringLiteral("\n")), QRect(176, 416, 449, 121), this);
    Text1[1]->setAccessibleName(QStringLiteral("Цитат"));
    Text1[1]->hide();

    Label1[0] = makeLabel(QStringLiteral("Легендата за рицаря и огнения дракон"), QRect(64, 0, 337, 25), this);

    Picture1 = new CanvasWidget(this);
    Picture1->setGeometry(8, 32, 300, 300);
    Picture1->setFocusPolicy(Qt::StrongFocus);
    // What it shows and how to play, for a screen reader.
    describe(Picture1, QStringLiteral("Платно с долината"), resourceText(QStringLiteral(":/canvas-help.txt")).trimmed());

    // The X and the Y list, each named by the heading that labels it (its buddy).
    m_points = new PointModel(this);
    for (size_t i = 0; i < 2; ++i) {
        const QString letter = i == 0 ? QStringLiteral("X") : QStringLiteral("Y");
        const int top = i == 0 ? 32 : 136;
        List1[i] = new PointListView(m_points, int(i), this);
        List1[i]->setGeometry(344, top, 105, 80);
        describe(List1[i], QStringLiteral("Списък ") + letter,
                 QStringLiteral("Координатите %1 на поставените точки, по реда на поставянето").arg(letter));
        Label1[i + 1] = makeLabel(letter, QRect(312, top, 33, 25), this);
        describe(Label1[i + 1], QStringLiteral("Списък ") + letter, QStringLiteral("Заглавие на списък ") + letter);
        Label1[i + 1]->setBuddy(List1[i]);
    }

    Command1[0] = new FaceButton(QStringLiteral("Рицар"), QColor(0, 255, 0), this);
    Command1[0]->setGeometry(328, 240, 105, 25);
    Command1[0]->setAccessibleDescription(QStringLiteral("Преценява всички въжета и ги начертава според присъдата"));
    Command1[1] = new FaceButton(QStringLiteral("Без точка"), QColor(255, 0, 255), this);
    Command1[1]->setGeometry(328, 272, 105, 25);
    Command1[1]->setAccessibleDescription(QStringLiteral("Премахва точката, избрана в списъците"));
    Command1[2] = new FaceButton(QStringLiteral("Чисти всичко"), QColor(255, 0, 0), this);
    Command1[2]->setGeometry(328, 304, 105, 25);
    Command1[2]->setAccessibleDescription(QStringLiteral("Изчиства платното и двата списъка"));

    // The illustration lies on the canvas at its own size. It takes a press itself,
    // so that a press on it never reaches the canvas as a point.
    Picture2 = new QLabel(Picture1);
    const QPixmap illustration(QStringLiteral(":/illustration.jpg"));
    Picture2->setPixmap(illustration);
    Picture2->setGeometry(QRect(Picture1->contentsRect().topLeft() + QPoint(32, 48),
                                illustration.size()));
    Picture2->setAttribute(Qt::WA_NoMousePropagation);
    Picture2->setFocusPolicy(Qt::TabFocus);
    describe(Picture2, QStringLiteral("Илюстрация: дракон и рицар"),
             QStringLiteral("Сив крилат дракон и малък рицар с вдигнат меч; илюстрацията "
                            "изчезва при първото щракване върху платното извън нея"));

    QWidget *const tabOrder[] = {Text1[0], Picture1, List1[0], List1[1],
                                 Command1[0], Command1[1], Command1[2], Picture2};
    for (size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    Text1[0]->setFocus();
}

void MainForm::speakForTheGame()
{
    // Where the keyboard cross went, and the point just placed, are spoken while
    // the canvas has the focus; a removal and clear all wherever the focus is
    // (the button that did them has it, or nothing of the window after a click).
    using Speech = CanvasWidget::Speech;
    const auto speak = [this](const QString &text, Speech when) { Picture1->speak(text, when); };
    connect(Picture1, &CanvasWidget::KeyboardCursorMoved, this, [speak](float x, float y) {
        speak(QStringLiteral("X %1, Y %2").arg(qRound(x)).arg(qRound(y)), Speech::WhileFocused);
    });
    connect(m_points, &QAbstractItemModel::rowsInserted, this, [this, speak](const QModelIndex &, int, int row) {
        const QString point = QStringLiteral("Точка %1: X %2, Y %3").arg(row + 1);
        speak(point.arg(m_points->spoken(row, 0), m_points->spoken(row, 1)), Speech::WhileFocused);
    });
    connect(m_points, &QAbstractItemModel::rowsRemoved, this, [this, speak](const QModelIndex &, int row) {
        speak(QStringLiteral("Точка %1 е премахната, %2").arg(row + 1).arg(pointsLeft(m_points->rowCount())), Speech::Anywhere);
    });
    connect(m_points, &QAbstractItemModel::modelReset, this,
            [speak] { speak(QStringLiteral("Платното и списъците са изчистени"), Speech::Anywhere); });
}

void MainForm::Form_Load()
{
    Picture1->SetScaleHeight(500);
    Picture1->SetScaleWidth(500);
    m_game->ResetBoard();
    Picture1->SetDrawWidth(5);
}

void MainForm::Command1_Click(int Index)
{
    switch (Index) {
    case 0:
        m_game->Judge();
        break;
    case 1:
        m_game->RemoveSelectedPoint();
        break;
    case 2:
        m_game->ClearAll();
        break;
    default:
        break;
    }
}

void MainForm::Picture1_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, float X, float Y)
{
    m_game->AddPoint(X, Y);
}
