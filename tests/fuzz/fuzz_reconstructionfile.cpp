// Fuzz target: the reconstruction-file reader on arbitrary bytes, the
// writer's round trip and the mapping between the two image frames.
//
// Checks: the reader either refuses the file (an H it cannot invert), with a
// reason, and leaves the model as it was, or stores a finite H and inverse;
// what the writer writes is read back to the same text and exactly the same
// values; mapping points either way gives finite coordinates.
#include "FuzzCheck.h"

#include "QWindowData2D.h"

#include <climits>
#include <cmath>
#include <sstream>

namespace {

std::string saved(const QWindowData2D &model)
{
    std::ostringstream out;
    FUZZ_CHECK(model.saveReconstruction(out));
    return out.str();
}

void checkSameMatrix(const Matrix3 &a, const Matrix3 &b)
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            FUZZ_CHECK(a[r][c] == b[r][c]);
}

bool untouched(const QWindowData2D &model)
{
    const QWindowData2D fresh;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (model.cameraK[r][c] != 0.0 || model.cameraR[r][c] != 0.0 || model.homography[r][c] != 0.0
                || model.homographyInv[r][c] != 0.0)
                return false;
    return model.colMin == fresh.colMin && model.rowMin == fresh.rowMin;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
    QWindowData2D model;
    Failure failure;
    if (!model.loadReconstruction(in, &failure)) {
        FUZZ_CHECK(!failure.reason.empty() && untouched(model));
        return 0;
    }
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            FUZZ_CHECK(std::isfinite(model.homography[r][c]) && std::isfinite(model.homographyInv[r][c]));

    const std::string first = saved(model);
    QWindowData2D reread;
    std::istringstream again(first);
    FUZZ_CHECK(reread.loadReconstruction(again));
    checkSameMatrix(model.cameraK, reread.cameraK);
    checkSameMatrix(model.cameraR, reread.cameraR);
    checkSameMatrix(model.homography, reread.homography);
    FUZZ_CHECK(model.colMin == reread.colMin && model.rowMin == reread.rowMin);
    FUZZ_CHECK(saved(reread) == first);

    for (const QPoint &p : {QPoint(0, 0), QPoint(model.colMin, model.rowMin), QPoint(-7, 1000000),
                            QPoint(INT_MAX, INT_MIN)}) {
        const QPointF original = model.rectifiedToOriginal(p);
        const QPointF rectified = model.originalToRectified(p);
        FUZZ_CHECK(std::isfinite(original.x()) && std::isfinite(original.y()));
        FUZZ_CHECK(std::isfinite(rectified.x()) && std::isfinite(rectified.y()));
    }
    return 0;
}
