// Build tool: decodes a picture with Qt's own image readers and writes its
// pixels uncompressed, so that the program shows them without decoding anything
// at start-up (no JPEG or PNG decoder, no image format plugin to look up):
//   bake-pixels INPUT OUTPUT.ppm   opaque RGB, binary netpbm (P6)
//   bake-pixels INPUT OUTPUT.pam   RGB with alpha, netpbm PAM (P7, RGB_ALPHA)
// app/embeddedimage.cpp reads both back.

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "bake-pixels: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        return fail(QStringLiteral("usage: bake-pixels INPUT OUTPUT.ppm|OUTPUT.pam"));
    }
    const QString &input = arguments[1];
    const QString &output = arguments[2];

    QImageReader reader(input);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        return fail(QStringLiteral("cannot read %1: %2").arg(input, reader.errorString()));
    }

    QByteArray header;
    QImage pixels;
    if (output.endsWith(QLatin1String(".ppm"))) {
        if (picture.hasAlphaChannel()) {
            return fail(QStringLiteral("%1 has transparency: write a .pam instead").arg(input));
        }
        pixels = picture.convertToFormat(QImage::Format_RGB888);
        header = QByteArrayLiteral("P6\n") + QByteArray::number(pixels.width()) + ' '
                 + QByteArray::number(pixels.height()) + "\n255\n";
    } else if (output.endsWith(QLatin1String(".pam"))) {
        pixels = picture.convertToFormat(QImage::Format_RGBA8888);
        header = QByteArrayLiteral("P7\nWIDTH ") + QByteArray::number(pixels.width())
                 + "\nHEIGHT " + QByteArray::number(pixels.height())
                 + "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    } else {
        return fail(QStringLiteral("%1: the output must end in .ppm or .pam").arg(output));
    }

    QFile file(output);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return fail(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
    }
    file.write(header);
    // Rows without the padding QImage may keep at the end of each line.
    const qsizetype rowBytes = qsizetype(pixels.width()) * (pixels.depth() / 8);
    for (int y = 0; y < pixels.height(); ++y) {
        file.write(reinterpret_cast<const char *>(pixels.constScanLine(y)), rowBytes);
    }
    if (!file.flush() || file.error() != QFileDevice::NoError) {
        return fail(QStringLiteral("cannot write %1: %2").arg(output, file.errorString()));
    }
    return 0;
}
