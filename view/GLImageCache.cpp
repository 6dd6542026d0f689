#include "GLImageCache.h"

#include <QGLWidget>

#include <tuple>

bool GLImageCache::Key::operator<(const Key &other) const
{
    return std::tie(cacheKey, width, height) < std::tie(other.cacheKey, other.width, other.height);
}

const QImage &GLImageCache::converted(const QImage &source)
{
    return lookup(source, -1, -1);
}

namespace {
// What a null source, or a scale to an empty size, converts to.
const QImage &nullImage()
{
    static const QImage image;
    return image;
}
} // namespace

const QImage &GLImageCache::scaledConverted(const QImage &source, int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullImage(); // QImage::scaled yields a null image for an empty size
    return lookup(source, width, height);
}

const QImage &GLImageCache::lookup(const QImage &source, int width, int height)
{
    if (source.isNull())
        return nullImage();

    const Key key{source.cacheKey(), width, height};
    auto found = m_entries.find(key);
    if (found != m_entries.end()) {
        found->second.used = true;
        return found->second.image;
    }

    Entry entry;
    if (width < 0)
        entry.image = QGLWidget::convertToGLFormat(source);
    else
        entry.image = QGLWidget::convertToGLFormat(
            source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    return m_entries.emplace(key, std::move(entry)).first->second.image;
}

void GLImageCache::endFrame()
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (!it->second.used) {
            it = m_entries.erase(it);
        } else {
            it->second.used = false;
            ++it;
        }
    }
}
