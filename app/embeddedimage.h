#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

// Pictures compiled into the program as raw pixels, which resources/bake-pixels
// writes at build time from the JPEG and PNG files: binary netpbm, P6 for opaque
// RGB and P7 (PAM) with TUPLTYPE RGB or RGB_ALPHA, eight bits a channel. Showing
// them needs no decoder and no image format plugin.

// The picture in `data`. The image shares the bytes rather than copying them,
// so `data` must outlive it. A null image where `data` is no such file or is
// cut short.
QImage imageFromNetpbm(QByteArrayView data);

// The picture in the resource at `path` (":/illustration.ppm"), sharing the
// program's own read-only copy when the resource is stored uncompressed. A null
// image where there is no such resource.
QImage embeddedImage(const QString &path);
