// The pictures compiled into the program as raw pixels: the reader of their
// netpbm files, what it turns away, and that the illustration and the icon in
// the program are the committed JPEG and PNG pixel for pixel.

#include "app/embeddedimage.h"

#include <QImageReader>
#include <QResource>
#include <QTest>

namespace {

// Two by two pixels: red, green / blue, white.
const QByteArray RgbPixels = QByteArray::fromHex("ff0000" "00ff00" "0000ff" "ffffff");
// Two by one: opaque red, fully clear blue.
const QByteArray RgbaPixels = QByteArray::fromHex("ff0000ff" "0000ff00");

QByteArray pam(const QByteArray &width, const QByteArray &height, const QByteArray &depth,
               const QByteArray &tupleType)
{
    return "P7\nWIDTH " + width + "\nHEIGHT " + height + "\nDEPTH " + depth
           + "\nMAXVAL 255\nTUPLTYPE " + tupleType + "\nENDHDR\n";
}

// The committed picture as Qt's own reader decodes it.
QImage committed(const QString &name)
{
    QImageReader reader(QStringLiteral(DV_RESOURCES_DIR "/") + name);
    return reader.read();
}

} // namespace

class tst_EmbeddedImage : public QObject
{
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
    void turnsAway_data();
    void turnsAway();
    void sharesTheBytes();
    void pictureInTheProgram_data();
    void pictureInTheProgram();
};

void tst_EmbeddedImage::reads_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<QRgb>>("pixels"); // row by row, as ARGB

    const QList<QRgb> rgb = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
    QTest::newRow("P6") << QByteArray("P6\n2 2\n255\n" + RgbPixels) << QSize(2, 2) << rgb;
    QTest::newRow("P6 on one line") << QByteArray("P6 2 2 255 " + RgbPixels) << QSize(2, 2) << rgb;
    QTest::newRow("P6 with comments and CRLF")
        << QByteArray("P6\r\n# made by hand\r\n2 2 # two by two\n255\n" + RgbPixels)
        << QSize(2, 2) << rgb;
    QTest::newRow("P6 followed by another image")
        << QByteArray("P6\n2 2\n255\n" + RgbPixels + "P6\n1 1\n255\n\x01\x02\x03")
        << QSize(2, 2) << rgb;
    QTest::newRow("one row of four") << QByteArray("P6\n4 1\n255\n" + RgbPixels) << QSize(4, 1) << rgb;
    QTest::newRow("PAM RGB") << QByteArray(pam("2", "2", "3", "RGB") + RgbPixels) << QSize(2, 2)
                             << rgb;
    QTest::newRow("PAM RGB_ALPHA")
        << QByteArray(pam("2", "1", "4", "RGB_ALPHA") + RgbaPixels) << QSize(2, 1)
        << QList<QRgb>{qRgba(255, 0, 0, 255), qRgba(0, 0, 255, 0)};
    QTest::newRow("PAM keys in another order")
        << QByteArray("P7\nTUPLTYPE RGB_ALPHA\nMAXVAL 255\nDEPTH 4\nHEIGHT 1\nWIDTH 2\nENDHDR\n"
                      + RgbaPixels)
        << QSize(2, 1) << QList<QRgb>{qRgba(255, 0, 0, 255), qRgba(0, 0, 255, 0)};
}

void tst_EmbeddedImage::reads()
{
    QFETCH(QByteArray, file);
    QFETCH(QSize, size);
    QFETCH(QList<QRgb>, pixels);

    const QImage image = imageFromNetpbm(file);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), size);
    QCOMPARE(image.hasAlphaChannel(), file.contains("RGB_ALPHA"));
    for (int i = 0; i < pixels.size(); ++i) {
        const QPoint at(i % size.width(), i / size.width());
        QCOMPARE(image.pixel(at), pixels[i]);
    }
}

void tst_EmbeddedImage::turnsAway_data()
{
    QTest::addColumn<QByteArray>("file");

    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("only the magic") << QByteArray("P6");
    QTest::newRow("grey P5") << QByteArray("P5\n2 2\n255\n" + RgbPixels);
    QTest::newRow("ASCII P3") << QByteArray("P3\n1 1\n255\n255 0 0\n");
    QTest::newRow("magic run into the width") << QByteArray("P62 2\n255\n" + RgbPixels);
    QTest::newRow("zero width") << QByteArray("P6\n0 2\n255\n" + RgbPixels);
    QTest::newRow("negative height") << QByteArray("P6\n2 -2\n255\n" + RgbPixels);
    QTest::newRow("width past 65535") << QByteArray("P6\n65536 1\n255\n" + RgbPixels);
    QTest::newRow("letters in the width") << QByteArray("P6\n2x 2\n255\n" + RgbPixels);
    QTest::newRow("sixteen-bit samples") << QByteArray("P6\n2 2\n65535\n" + RgbPixels + RgbPixels);
    QTest::newRow("no blank after MAXVAL") << QByteArray("P6\n2 2\n255");
    QTest::newRow("pixels cut short") << QByteArray("P6\n2 2\n255\n" + RgbPixels.chopped(1));
    QTest::newRow("more rows than pixels") << QByteArray("P6\n2 3\n255\n" + RgbPixels);
    QTest::newRow("PAM without ENDHDR") << QByteArray("P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\n");
    QTest::newRow("PAM without a width")
        << QByteArray("P7\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" + RgbaPixels);
    QTest::newRow("PAM with an unknown key")
        << QByteArray("P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nCOLOUR red\n"
                      "ENDHDR\n" + RgbaPixels);
    QTest::newRow("PAM depth not matching RGB_ALPHA")
        << QByteArray(pam("2", "1", "3", "RGB_ALPHA") + RgbaPixels);
    QTest::newRow("PAM grey") << QByteArray(pam("2", "1", "1", "GRAYSCALE") + RgbaPixels);
    QTest::newRow("PAM pixels cut short")
        << QByteArray(pam("2", "1", "4", "RGB_ALPHA") + RgbaPixels.chopped(1));
}

void tst_EmbeddedImage::turnsAway()
{
    QFETCH(QByteArray, file);
    QVERIFY(imageFromNetpbm(file).isNull());
}

void tst_EmbeddedImage::sharesTheBytes()
{
    // Opaque pixels are shown from the bytes as they lie, without a copy.
    const QByteArray file = "P6\n2 2\n255\n" + RgbPixels;
    const QImage image = imageFromNetpbm(file);
    QCOMPARE(image.constBits(), reinterpret_cast<const uchar *>(file.constData()) + 11);

    // So is the program's own illustration.
    const QResource resource(QStringLiteral(":/illustration.ppm"));
    QVERIFY(resource.isValid());
    QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);
    const QImage illustration = embeddedImage(QStringLiteral(":/illustration.ppm"));
    QVERIFY(illustration.constBits() > resource.data());
    QVERIFY(illustration.constBits() < resource.data() + resource.size());
}

void tst_EmbeddedImage::pictureInTheProgram_data()
{
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QString>("source"); // the committed file in resources/
    QTest::addColumn<QSize>("size");

    QTest::newRow("illustration") << QStringLiteral(":/illustration.ppm")
                                  << QStringLiteral("illustration.jpg") << QSize(237, 213);
    QTest::newRow("icon") << QStringLiteral(":/icon.pam") << QStringLiteral("icon.png")
                          << QSize(32, 32);
}

void tst_EmbeddedImage::pictureInTheProgram()
{
    QFETCH(QString, resource);
    QFETCH(QString, source);
    QFETCH(QSize, size);

    const QImage shown = embeddedImage(resource);
    QVERIFY(!shown.isNull());
    const QImage expected = committed(source);
    QVERIFY(!expected.isNull());
    QCOMPARE(shown.size(), size);
    QCOMPARE(expected.size(), size);
    QCOMPARE(shown.hasAlphaChannel(), expected.hasAlphaChannel());
    // Every pixel, alpha included.
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
             expected.convertToFormat(QImage::Format_ARGB32));
}

QTEST_GUILESS_MAIN(tst_EmbeddedImage)
#include "tst_embeddedimage.moc"
