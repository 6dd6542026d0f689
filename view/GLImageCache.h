#ifndef TESSIVO_GLIMAGECACHE_H
#define TESSIVO_GLIMAGECACHE_H

#include <QImage>

#include <map>

// GL-layout copies (QGLWidget::convertToGLFormat) of the images the view draws,
// keyed by QImage::cacheKey(), which changes whenever an image's pixels change.
// An image that stays the same is converted once instead of on every repaint;
// entries that a frame did not use are dropped when that frame ends.
class GLImageCache
{
public:
    // The source converted to GL layout; a null image for a null source.
    const QImage &converted(const QImage &source);
    // The source scaled to width x height (ignoring the aspect ratio, without
    // smoothing), then converted; a null image when the scaled image is null.
    const QImage &scaledConverted(const QImage &source, int width, int height);

    // Ends a frame: forgets every entry not used since the previous call.
    void endFrame();

private:
    struct Key {
        qint64 cacheKey;
        int width;  // -1: not scaled
        int height;
        bool operator<(const Key &other) const;
    };
    struct Entry {
        QImage image;
        bool used = true;
    };

    const QImage &lookup(const QImage &source, int width, int height);

    std::map<Key, Entry> m_entries;
};

#endif
