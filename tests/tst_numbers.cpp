// Numbers as the point lists show and read them, in any locale.

#include "game/numbers.h"

#include <QTest>

#include <clocale>

class tst_Numbers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void format_data();
    void format();
    void formatUnderBulgarianLocale_data() { format_data(); }
    void formatUnderBulgarianLocale();
    void read_data();
    void read();
    void readUnderBulgarianLocale_data() { read_data(); }
    void readUnderBulgarianLocale();
    void roundEven_data();
    void roundEven();
    void randomSequence();
    void randomStaysInRange();
    void cleanup() { std::setlocale(LC_ALL, "C"); }

private:
    void useBulgarianLocale();
};

void tst_Numbers::useBulgarianLocale()
{
#if defined(Q_OS_WASM)
    QSKIP("The browser build's C library has no locales: its decimal point is always \".\"");
#elif defined(Q_OS_WIN)
    // Windows's C runtime names its locales by language and country; Bulgarian
    // is in every Windows.
    if (!std::setlocale(LC_ALL, "Bulgarian_Bulgaria.1251")) {
        QFAIL("The C runtime does not know the locale Bulgarian_Bulgaria.1251");
    }
#else
    if (!std::setlocale(LC_ALL, "bg_BG.UTF-8")) {
        // test.sh builds the locale into the build folder; a run without it must
        // not pass silently.
        QFAIL("The bg_BG.UTF-8 locale is not available (LOCPATH not set to the build's locale folder?)");
    }
#endif
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.1f", 1.5);
    QCOMPARE(QByteArray(buffer), QByteArray("1,5")); // the trap is really armed
}

void tst_Numbers::format_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 250.0f << "250";
    QTest::newRow("zero") << 0.0f << "0";
    QTest::newRow("seven digits") << 500.0f / 3.0f << "166.6667";
    QTest::newRow("seven digits below 100") << 250.0f / 3.0f << "83.33334";
    QTest::newRow("no trailing zeros") << 12.5f << "12.5";
    QTest::newRow("press at pixel 100") << float(100 * 500.0 / 296) << "168.9189";
    QTest::newRow("press at pixel 295") << float(295 * 500.0 / 296) << "498.3108";
    QTest::newRow("small fraction") << 1.6891892f << "1.689189";
}

void tst_Numbers::format()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(game::FormatSingle(value)), text);
}

void tst_Numbers::formatUnderBulgarianLocale()
{
    useBulgarianLocale();
    format();
}

void tst_Numbers::read_data()
{
    // The lists' texts read back as the numbers they show.
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("whole") << "250" << 250.0;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("seven digits") << "166.6667" << 166.6667;
    QTest::newRow("below 100") << "83.33334" << 83.33334;
    QTest::newRow("small fraction") << "1.689189" << 1.689189;
    QTest::newRow("press at pixel 295") << "498.3108" << 498.3108;
}

void tst_Numbers::read()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(game::ReadNumber(text.toStdString()), value);
}

void tst_Numbers::readUnderBulgarianLocale()
{
    useBulgarianLocale();
    read();
}

void tst_Numbers::roundEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<long>("rounded");
    QTest::newRow("2.5 to even 2") << 2.5 << 2L;
    QTest::newRow("3.5 to even 4") << 3.5 << 4L;
    QTest::newRow("-2.5 to even -2") << -2.5 << -2L;
    QTest::newRow("0.5 to even 0") << 0.5 << 0L;
    QTest::newRow("below half") << 2.49 << 2L;
    QTest::newRow("above half") << 2.51 << 3L;
    QTest::newRow("channel 0.7055475 x 255") << double(0.7055475f * 255.0f) << 180L;
}

void tst_Numbers::roundEven()
{
    QFETCH(double, value);
    QFETCH(long, rounded);
    QCOMPARE(game::RoundEven(value), rounded);
}

void tst_Numbers::randomSequence()
{
    // Every run starts the same sequence: the first valley is always the same colour.
    game::RandomSequence random;
    const float expected[] = {0.7055475f, 0.5334240f, 0.5795186f, 0.2895625f, 0.3019480f, 0.7747401f};
    for (float value : expected) {
        QCOMPARE(random.Next(), value);
    }
}

void tst_Numbers::randomStaysInRange()
{
    game::RandomSequence random;
    for (int i = 0; i < (1 << 24) + 10; ++i) {
        const float value = random.Next();
        if (!(value >= 0.0f && value < 1.0f)) {
            QFAIL(qPrintable(QStringLiteral("draw %1 gave %2").arg(i).arg(double(value))));
        }
    }
}

QTEST_APPLESS_MAIN(tst_Numbers)
#include "tst_numbers.moc"
