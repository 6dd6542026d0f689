#include "QWindowData2D.h"
#include "TestCasePaths.h"

// Which of its source's images a window shows, in one place: the loaders,
// the grid reader and restructuring come here, so that what a grid (or a
// recovery file) holds draws as the session drew it. A blind drag in the view
// picks the same level from the drag; only a drag that ends exactly where the
// blind was photographed shows a blind image there and the photograph here.

int QWindowData2D::blindLevel(double ratio)
{
    constexpr double kTop = TestCasePaths::kBlindLevels - 1;
    const double level = ratio * kTop + 0.5;
    if (!(level >= 0.0))
        return 0;
    if (level >= kTop)
        return int(kTop);
    return int(level);
}

void QWindowData2D::showWindowImages()
{
    const std::vector<FacadeWindow> *group = currentGroup();
    const std::size_t count = group ? group->size() : 0;
    currentImages.assign(count, nullptr);
    imageKeys.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i)
        showWindowImage(i);
}

// Keys name the image for the view's texture cache: the source for its
// photographed image, (level + 1) * sources + source for a blind level.
void QWindowData2D::showWindowImage(std::size_t i)
{
    const std::vector<FacadeWindow> *group = currentGroup();
    if (!group || i >= group->size() || i >= currentImages.size() || i >= imageKeys.size())
        return;
    const FacadeWindow &w = (*group)[i];
    const int source = w.sourceIndex;
    const bool known = source >= 0 && std::size_t(source) < windowImages.size();
    currentImages[i] = known ? windowImages[std::size_t(source)].get() : nullptr;
    imageKeys[i] = source;
    if (source < 0 || std::size_t(source) >= blindImages.size())
        return;
    const bool asDetected = !detectedWindows.empty() && std::size_t(source) < detectedWindows.front().size()
        && detectedWindows.front()[std::size_t(source)].blindExtent == w.blindExtent;
    if (asDetected)
        return;
    const int level = blindLevel(w.height > 0 ? double(w.blindExtent) / w.height : 0.0);
    const auto &levels = blindImages[std::size_t(source)];
    if (std::size_t(level) >= levels.size() || !levels[std::size_t(level)])
        return;
    currentImages[i] = levels[std::size_t(level)].get();
    imageKeys[i] = (level + 1) * int(blindImages.size()) + source;
}
