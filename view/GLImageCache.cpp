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

const QImage &GLImageCache::scaledConverted(const QImage &source, int width, int height)
{
    static const QImage nullImage;
    if (width <= 0 || height <= 0)
        return nullImage; // QImage::scaled yields a null image for an empty size
    return lookup(source, width, height);
}

const QImage &GLImageCache::lookup(const QImage &source, int width, int height)
{
    static const QImage nullImage;
    if (source.isNull())
        return nullImage;

    const Key key{source.cacheKey(), width, height};
    auto found = entries.find(key);
    if (found != entries.end()) {
        found->second.used = true;
        return found->second.image;
    }

    Entry entry;
    if (width < 0)
        entry.image = QGLWidget::convertToGLFormat(source);
    else
        entry.image = QGLWidget::convertToGLFormat(
            source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    return entries.emplace(key, std::move(entry)).first->second.image;
}

void GLImageCache::endFrame()
{
    for (auto it = entries.begin(); it != entries.end();) {
        if (!it->second.used) {
            it = entries.erase(it);
        } else {
            it->second.used = false;
            ++it;
        }
    }
}

void GLImageCache::clear()
{
    entries.clear();
}

std::size_t GLImageCache::size() const
{
    return entries.size();
}
