#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

namespace Starwick::platform {

class Graphics;
class Picture;
/// Pictures are shared: the resource accessors keep one object for the run and every user draws
/// that same object, so a mask drawn into it stays.
using PictureRef = std::shared_ptr<Picture>;

/// A bitmap with an optional mask (black opaque, white transparent, greys between), as the
/// program's pictures are: Width and Height are the picture's true pixel size; the bitmap held
/// may be a reduced copy of a very large file (see Open), which is invisible to callers.
class Picture
{
public:
    /// A blank white picture of the given size.
    Picture(int width, int height);
    /// A picture of `image`, full size.
    explicit Picture(QImage image);

    /// Opens a picture file. Pictures larger than `maxDecodedSide` on their longer side, or with more
    /// than kMaxDecodedPixels pixels, are decoded at a reduced size that fits both (the width and
    /// height reported stay the file's): a JPEG by the decoder itself, in its steps of eighths, so
    /// it may come out somewhat smaller than the limits. Returns nullptr when the file does not
    /// open as a picture, with the reason in `error` when given.
    static PictureRef Open(const QString& path, QString* error = nullptr, int maxDecodedSide = kMaxDecodedSide);
    /// The reason Open gives for a file that holds only the start of a picture.
    static QString IncompleteFileError();

    /// The bitmap kept for a large picture holds no more than a 4K screen shows: at most 4096
    /// pixels on its longer side and 3840 x 2160 pixels in all.
    static constexpr int kMaxDecodedSide = 4096;
    static constexpr qint64 kMaxDecodedPixels = 3840 * 2160;

    int Width() const { return m_size.width(); }
    int Height() const { return m_size.height(); }

    /// The mask picture, made opaque (black) on first use. Drawing into it changes how this
    /// picture is drawn from then on.
    Picture& Mask();
    bool hasMask() const { return m_mask != nullptr; }

    /// Draws into the picture's own bitmap.
    Graphics graphics();

    /// The bitmap as drawn: the image with the mask applied as transparency.
    const QImage& composed() const;
    /// The bitmap as held (no mask applied).
    const QImage& image() const { return m_image; }

    /// The smallest of the picture's halved copies that still covers `target` device pixels (the
    /// bitmap itself when none does). Drawn smoothly into `target`, it gives a faithful reduction
    /// (each copy is a box-filtered halving of the one before, so the level drawn is at most
    /// twice the target), at a cost that follows the size drawn, not the size of the picture. The
    /// copies are made on first need and kept until the picture changes.
    const QImage& levelFor(const QSize& target) const;

private:
    friend class Graphics;
    void changed();

    QSize m_size;
    QImage m_image;
    std::unique_ptr<Picture> m_mask;
    Picture* m_maskOwner = nullptr;

    mutable QImage m_composed;
    mutable bool m_composedValid = false;
    mutable std::vector<QImage> m_levels; // the bitmap, then halved copies, largest first
};

} // namespace Starwick::platform
