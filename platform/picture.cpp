#include "platform/picture.h"

#include "platform/graphics.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace Starwick::platform {

namespace {

// The image reader refuses to allocate more than 256 MiB by default; a day's picture can be
// 12000 x 8000 pixels (384 MiB as 32-bit pixels) before it is reduced, so allow that much.
constexpr int kAllocationLimitMiB = 1024;

// What one decode may cost at the most: the decoder's own bitmap and the reduced copy kept. A
// 12000 x 8000 PNG (384 MiB in full) still opens; a file claiming far more does not decode.
constexpr qint64 kDecodeBudgetBytes = qint64(512) * 1024 * 1024;

// Every 8 x 8 block of a JPEG costs at least a bit or two of coded data, so a file with less than
// one byte of it for each 64 x 64 pixels cannot hold the picture its header claims: the decoder would
// make a bitmap of that size, spend its time on it, and show grey. Far below any real picture.
constexpr qint64 kJpegPixelsPerByteAtMost = 64 * 64;

// How the reader reduces a large picture while decoding it.
struct Reduction
{
    QSize scaledSize;
    QRect clipRect; // empty: the whole picture
};

// Whether a bitmap of w x h stays within the limits of a kept bitmap.
bool fitsLimits(qint64 w, qint64 h, int maxSide)
{
    return std::max(w, h) <= maxSide && w * h <= Picture::kMaxDecodedPixels;
}

// The JPEG library decodes at M/8 of the full size for M from 1 to 8 (skipping most of the work
// and memory of the full size), and the reader keeps that result as it is when the size asked for
// is exactly what the library makes: M/8 of both sides, whole. Otherwise the reader would decode
// larger and rescale the whole bitmap a second time, which costs as much again. So a JPEG is
// reduced by the largest M/8 that is whole and fits; failing that (odd sides), by 1/2, 1/4 or 1/8
// of the picture cut to whole blocks of that reduction, which drops fewer than 8 pixels at the
// right and bottom edges, less than one pixel of the reduced bitmap. Other formats are decoded in
// full and scaled to fit.
Reduction reductionFor(const QSize& full, int maxSide, bool jpeg)
{
    const qint64 w = full.width();
    const qint64 h = full.height();
    if (jpeg) {
        for (int m = 7; m >= 1; --m) {
            if ((w * m) % 8 == 0 && (h * m) % 8 == 0 && fitsLimits(w * m / 8, h * m / 8, maxSide))
                return {QSize(int(w * m / 8), int(h * m / 8)), QRect()};
        }
        for (int d = 2; d <= 8; d *= 2) {
            if (fitsLimits(w / d, h / d, maxSide) && w >= d && h >= d)
                return {QSize(int(w / d), int(h / d)), QRect(0, 0, int(w - w % d), int(h - h % d))};
        }
    }
    const double scale = std::min(double(maxSide) / double(std::max(w, h)),
                                  std::sqrt(double(Picture::kMaxDecodedPixels) / (double(w) * double(h))));
    return {QSize(std::max(1, int(double(w) * scale)), std::max(1, int(double(h) * scale))), QRect()};
}

// Each 2 x 2 block of premultiplied pixels averaged into one (an odd last row or column is left
// out): the halved copies of a large picture, in a few milliseconds where a general smooth
// rescale takes ten times longer.
QImage halved(const QImage& source)
{
    const int w = source.width() / 2;
    const int h = source.height() / 2;
    if (source.format() != QImage::Format_ARGB32_Premultiplied)
        return source.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage result(w, h, QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return result;
    for (int y = 0; y < h; ++y) {
        const auto* top = reinterpret_cast<const quint32*>(source.constScanLine(2 * y));
        const auto* bottom = reinterpret_cast<const quint32*>(source.constScanLine(2 * y + 1));
        auto* out = reinterpret_cast<quint32*>(result.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const quint32 a = top[2 * x], b = top[2 * x + 1], c = bottom[2 * x], d = bottom[2 * x + 1];
            // Two channels at a time, 16 bits apart, so four sums of 8-bit values never overlap.
            const quint32 redBlue = (a & 0x00ff00ffu) + (b & 0x00ff00ffu) + (c & 0x00ff00ffu) + (d & 0x00ff00ffu);
            const quint32 alphaGreen = ((a >> 8) & 0x00ff00ffu) + ((b >> 8) & 0x00ff00ffu) + ((c >> 8) & 0x00ff00ffu) +
                                       ((d >> 8) & 0x00ff00ffu);
            out[x] = (((redBlue + 0x00020002u) >> 2) & 0x00ff00ffu) |
                     ((((alphaGreen + 0x00020002u) >> 2) & 0x00ff00ffu) << 8);
        }
    }
    return result;
}

} // namespace

Picture::Picture(int width, int height)
    : m_size(width, height)
    , m_image(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied)
{
    m_image.fill(Qt::white);
}

Picture::Picture(QImage image)
    : m_size(image.size())
    // Converted in place where it can be (a decoded JPEG's RGB32 already is opaque premultiplied
    // ARGB), so a large picture is not held twice.
    , m_image(std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied))
{}

namespace {

// Where a JPEG's compressed picture data starts: after the segments (metadata, tables and an
// embedded thumbnail with its own end mark) up to the first start-of-scan marker; -1 when the
// file ends before it.
qsizetype jpegScanStart(const uchar* data, qsizetype size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return -1;
    qsizetype at = 2;
    while (at + 4 <= size) {
        if (data[at] != 0xFF)
            return -1;
        const uchar marker = data[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xDA)
            return at;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // markers without a length
            at += 2;
            continue;
        }
        at += 2 + ((qsizetype(data[at + 2]) << 8) | data[at + 3]);
    }
    return -1;
}

// The bytes of a picture file's coded data when the file holds its format's end mark, else -1.
// Qt's readers decode a cut JPEG or GIF as far as it goes and call it a picture; a transfer that
// broke off without a stated length would then be kept as the day's picture. Data after the end
// mark (a phone's appended video, say) is allowed and not counted: for a JPEG the coded data runs
// from its first scan to the end mark; for other formats it is the whole file.
qint64 wholeDataBytes(const QString& path, const QByteArray& format)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return -1;
    const qsizetype size = file.size();
    const uchar* data = file.map(0, size);
    if (!data)
        return size; // cannot look: leave it to the reader
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), size);
    if (format == "jpeg") {
        const qsizetype scan = jpegScanStart(data, size);
        const qsizetype end = scan >= 0 ? bytes.indexOf("\xFF\xD9", scan) : -1;
        return end >= 0 ? end - scan : -1;
    }
    if (format == "gif") {
        // The trailer is the last byte, before any zero padding.
        qsizetype end = size;
        while (end > 0 && data[end - 1] == 0)
            --end;
        return end > 0 && data[end - 1] == 0x3B ? size : -1;
    }
    if (format == "png")
        return bytes.indexOf("IEND") >= 0 ? size : -1;
    return size;
}

} // namespace

QString Picture::IncompleteFileError()
{
    return QStringLiteral("The picture file is incomplete.");
}

PictureRef Picture::Open(const QString& path, QString* error, int maxDecodedSide)
{
    if (QImageReader::allocationLimit() < kAllocationLimitMiB)
        QImageReader::setAllocationLimit(kAllocationLimitMiB);

    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize fullSize = reader.size();
    if (!reader.canRead() || !fullSize.isValid() || fullSize.isEmpty()) {
        if (error)
            *error = reader.errorString();
        return nullptr;
    }
    const qint64 dataBytes = wholeDataBytes(path, reader.format());
    if (dataBytes < 0) {
        if (error)
            *error = IncompleteFileError();
        return nullptr;
    }
    const bool jpeg = reader.format() == "jpeg";
    const qint64 pixels = qint64(fullSize.width()) * fullSize.height();
    if (jpeg && dataBytes * kJpegPixelsPerByteAtMost < pixels) {
        if (error)
            *error = QStringLiteral("The picture file holds too little data for %1 x %2 pixels.")
                         .arg(fullSize.width())
                         .arg(fullSize.height());
        return nullptr;
    }
    qint64 decoderPixels = pixels;
    qint64 keptPixels = pixels;
    if (!fitsLimits(fullSize.width(), fullSize.height(), maxDecodedSide)) {
        const Reduction reduction = reductionFor(fullSize, maxDecodedSide, jpeg);
        if (!reduction.clipRect.isEmpty())
            reader.setClipRect(reduction.clipRect);
        reader.setScaledSize(reduction.scaledSize);
        keptPixels = qint64(reduction.scaledSize.width()) * reduction.scaledSize.height();
        // The JPEG decoder reduces by eighths at the most; the reader scales the rest.
        decoderPixels =
            jpeg ? std::max(keptPixels, ((qint64(fullSize.width()) + 7) / 8) * ((qint64(fullSize.height()) + 7) / 8))
                 : pixels;
    }
    const qint64 cost = (decoderPixels + (decoderPixels == keptPixels ? 0 : keptPixels)) * 4;
    if (cost > kDecodeBudgetBytes) {
        if (error)
            *error = QStringLiteral("The picture is too large to show (%1 x %2 pixels).")
                         .arg(fullSize.width())
                         .arg(fullSize.height());
        return nullptr;
    }

    QImage image = reader.read();
    if (image.isNull()) {
        if (error)
            *error = reader.errorString();
        return nullptr;
    }
    // The size reported is the file's, turned as the file asks to be shown.
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    auto picture = std::make_shared<Picture>(std::move(image));
    picture->m_size = turned ? fullSize.transposed() : fullSize;
    return picture;
}

Picture& Picture::Mask()
{
    if (!m_mask) {
        m_mask = std::make_unique<Picture>(m_image.width(), m_image.height());
        m_mask->m_image.fill(Qt::black);
        m_mask->m_maskOwner = this;
        changed();
    }
    return *m_mask;
}

Graphics Picture::graphics()
{
    return Graphics(&m_image, [this] { changed(); });
}

void Picture::changed()
{
    m_composedValid = false;
    m_levels.clear();
    if (m_maskOwner)
        m_maskOwner->changed();
}

const QImage& Picture::composed() const
{
    if (m_composedValid)
        return m_composed;
    if (!m_mask) {
        m_composed = m_image;
    } else {
        QImage result = m_image.convertToFormat(QImage::Format_ARGB32);
        const QImage mask = m_mask->m_image.convertToFormat(QImage::Format_Grayscale8)
                                .scaled(result.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (int y = 0; y < result.height(); ++y) {
            auto* pixels = reinterpret_cast<QRgb*>(result.scanLine(y));
            const uchar* grey = mask.constScanLine(y);
            for (int x = 0; x < result.width(); ++x) {
                const int alpha = qAlpha(pixels[x]) * (255 - grey[x]) / 255;
                pixels[x] = qRgba(qRed(pixels[x]), qGreen(pixels[x]), qBlue(pixels[x]), alpha);
            }
        }
        m_composed = result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    m_composedValid = true;
    return m_composed;
}

const QImage& Picture::levelFor(const QSize& target) const
{
    if (m_levels.empty())
        m_levels.push_back(composed());
    // Halve until the next level would be smaller than the target on either side.
    while (true) {
        const QImage& last = m_levels.back();
        if (last.width() / 2 < std::max(target.width(), 1) || last.height() / 2 < std::max(target.height(), 1))
            break;
        QImage next = halved(last);
        if (next.isNull())
            break;
        m_levels.push_back(std::move(next));
    }
    const QImage* level = &m_levels.front();
    for (const QImage& candidate : m_levels) {
        if (candidate.width() >= target.width() && candidate.height() >= target.height())
            level = &candidate;
    }
    return *level;
}

} // namespace Starwick::platform
