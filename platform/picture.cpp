#include "platform/picture.h"

#include "platform/graphics.h"

#include <QImageReader>

namespace Starwick::platform {

namespace {

// The image reader refuses to allocate more than 256 MiB by default; a day's picture can be
// 12000 x 8000 pixels (384 MiB as 32-bit pixels) before it is reduced, so allow that much.
constexpr int kAllocationLimitMiB = 1024;

} // namespace

Picture::Picture(int width, int height)
    : m_size(width, height)
    , m_image(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied)
{
    m_image.fill(Qt::white);
}

Picture::Picture(QImage image)
    : m_size(image.size())
    , m_image(image.convertToFormat(QImage::Format_ARGB32_Premultiplied))
{}

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
    if (std::max(fullSize.width(), fullSize.height()) > maxDecodedSide)
        reader.setScaledSize(fullSize.scaled(maxDecodedSide, maxDecodedSide, Qt::KeepAspectRatio));

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
    m_scaled = QPixmap();
    m_scaledSize = QSize();
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

const QPixmap& Picture::scaledTo(const QSize& target) const
{
    if (target == m_scaledSize && !m_scaled.isNull())
        return m_scaled;
    if (m_levels.empty())
        m_levels.push_back(composed());
    // Halve until the next level would be smaller than the target on either side.
    while (true) {
        const QImage& last = m_levels.back();
        const QSize half(last.width() / 2, last.height() / 2);
        if (half.width() < target.width() || half.height() < target.height() || half.width() < 1 || half.height() < 1)
            break;
        m_levels.push_back(last.scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    const QImage* source = &m_levels.front();
    for (const QImage& level : m_levels) {
        if (level.width() >= target.width() && level.height() >= target.height())
            source = &level;
    }
    m_scaled = QPixmap::fromImage(
        source->size() == target ? *source : source->scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    m_scaledSize = target;
    return m_scaled;
}

} // namespace Starwick::platform
