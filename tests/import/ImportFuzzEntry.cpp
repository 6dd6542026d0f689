#include "ImportFuzzEntry.h"

#include "CaseArt.h"
#include "FacadeAnalysis.h"
#include "PhotoReader.h"

#include <QByteArray>

#include <climits>

using namespace FacadeImport;

namespace {

// Larger pictures are read (and refused or accepted) but not analysed: a
// fuzzer wants many inputs a second, and size alone finds no new paths.
constexpr qint64 kMaxAnalysedPixels = 640 * 480;

} // namespace

int importFuzzEntry(const std::uint8_t *data, std::size_t size)
{
    if (size > std::size_t(INT_MAX))
        return 0;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const Photograph photo = readPhotographData(bytes, QStringLiteral("fuzz input"));
    if (!photo.status.ok() || qint64(photo.image.width()) * photo.image.height() > kMaxAnalysedPixels)
        return 0;
    AnalysisOptions options;
    options.clearLeafZones = true;
    const FacadeAnalysis analysis = analysePhotograph(photo.image, options);
    if (!analysis.status.ok())
        return 0;
    for (std::size_t i = 0; i < analysis.windowImages.size(); ++i)
        blindLevel(analysis.windowImages[i], 50, std::uint32_t(i));
    rightLeafTexture(analysis.grid.windowTemplate.size(), 1u);
    shutterLeaves(analysis.plan.camera, analysis.grid);
    return 0;
}
