#include "app/embeddedimage.h"

#include <QByteArray>
#include <QResource>

#include <cstdint>
#include <optional>

namespace {

// Reads the header of a netpbm file: numbers and words between blanks, with
// comments from '#' to the end of the line.
class HeaderReader
{
public:
    explicit HeaderReader(QByteArrayView data) : m_data(data) { }

    void skipBlanks()
    {
        while (m_at < m_data.size()) {
            const char c = m_data[m_at];
            if (c == '#') {
                while (m_at < m_data.size() && m_data[m_at] != '\n') {
                    ++m_at;
                }
            } else if (isBlank(c)) {
                ++m_at;
            } else {
                return;
            }
        }
    }

    QByteArrayView word()
    {
        skipBlanks();
        const qsizetype start = m_at;
        while (m_at < m_data.size() && !isBlank(m_data[m_at])) {
            ++m_at;
        }
        return m_data.sliced(start, m_at - start);
    }

    // A whole number from 1 to 65535 (the largest netpbm allows for MAXVAL,
    // and plenty for a width or height).
    std::optional<int> number()
    {
        const QByteArrayView digits = word();
        if (digits.isEmpty() || digits.size() > 5) {
            return std::nullopt;
        }
        int value = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        }
        if (value < 1 || value > 65535) {
            return std::nullopt;
        }
        return value;
    }

    // The one blank that ends the header; the pixels follow it.
    bool endOfHeader()
    {
        if (m_at >= m_data.size() || !isBlank(m_data[m_at])) {
            return false;
        }
        ++m_at;
        return true;
    }

    qsizetype position() const { return m_at; }

private:
    static bool isBlank(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }

    QByteArrayView m_data;
    qsizetype m_at = 0;
};

struct Header
{
    int width = 0;
    int height = 0;
    int channels = 0;
    qsizetype pixelsAt = 0;
};

std::optional<Header> readP6(HeaderReader &reader)
{
    Header header;
    const auto width = reader.number();
    const auto height = reader.number();
    const auto maxValue = reader.number();
    if (!width || !height || maxValue != 255 || !reader.endOfHeader()) {
        return std::nullopt;
    }
    header.width = *width;
    header.height = *height;
    header.channels = 3;
    header.pixelsAt = reader.position();
    return header;
}

std::optional<Header> readP7(HeaderReader &reader)
{
    std::optional<int> width;
    std::optional<int> height;
    std::optional<int> depth;
    std::optional<int> maxValue;
    QByteArrayView tupleType;
    for (;;) {
        const QByteArrayView key = reader.word();
        if (key == "ENDHDR") {
            break;
        }
        if (key == "WIDTH") {
            width = reader.number();
        } else if (key == "HEIGHT") {
            height = reader.number();
        } else if (key == "DEPTH") {
            depth = reader.number();
        } else if (key == "MAXVAL") {
            maxValue = reader.number();
        } else if (key == "TUPLTYPE") {
            tupleType = reader.word();
        } else {
            return std::nullopt; // an unknown key, or the data ended before ENDHDR
        }
    }
    const bool rgb = depth == 3 && tupleType == "RGB";
    const bool rgbAlpha = depth == 4 && tupleType == "RGB_ALPHA";
    if (!width || !height || maxValue != 255 || !(rgb || rgbAlpha) || !reader.endOfHeader()) {
        return std::nullopt;
    }
    return Header{*width, *height, *depth, reader.position()};
}

} // namespace

QImage imageFromNetpbm(QByteArrayView data)
{
    HeaderReader reader(data);
    const QByteArrayView magic = reader.word();
    std::optional<Header> header;
    if (magic == "P6") {
        header = readP6(reader);
    } else if (magic == "P7") {
        header = readP7(reader);
    }
    if (!header) {
        return {};
    }
    const qsizetype rowBytes = qsizetype(header->width) * header->channels;
    if (qint64(data.size() - header->pixelsAt) < qint64(rowBytes) * header->height) {
        return {};
    }
    const auto *pixels = reinterpret_cast<const uchar *>(data.data() + header->pixelsAt);
    const QImage::Format format =
        header->channels == 4 ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    QImage image(pixels, header->width, header->height, rowBytes, format);
    // Four-byte pixels are read a word at a time: give them an aligned copy
    // where the file does not start them on a four-byte boundary.
    if (header->channels == 4 && reinterpret_cast<std::uintptr_t>(pixels) % 4 != 0) {
        return image.copy();
    }
    return image;
}

QImage embeddedImage(const QString &path)
{
    const QResource resource(path);
    if (!resource.isValid()) {
        return {};
    }
    if (resource.compressionAlgorithm() == QResource::NoCompression) {
        return imageFromNetpbm(QByteArrayView(resource.data(), resource.size()));
    }
    // A compressed resource is unpacked into memory that this function frees:
    // the image gets its own copy.
    const QByteArray bytes = resource.uncompressedData();
    return imageFromNetpbm(bytes).copy();
}
