#ifndef TESSIVO_IMPORT_CVIMAGE_H
#define TESSIVO_IMPORT_CVIMAGE_H

// Conversions between Qt's images and OpenCV matrices. Internal to import/:
// the public headers speak Qt only.
#include <QImage>

#include <opencv2/core.hpp>

namespace FacadeImport {

// An 8-bit, three-channel RGB copy of any QImage (channels in R, G, B order).
cv::Mat toMat(const QImage &image);

// The pixels of an RGB888 image as a matrix, without copying: valid while the
// image lives and is not changed. Other formats get an empty matrix.
cv::Mat viewOf(const QImage &rgb888);

// The same for writing into the image's own pixels (which detaches it first).
cv::Mat writableViewOf(QImage &rgb888);

// A QImage (RGB888) copy of an 8-bit one- or three-channel RGB matrix.
QImage toQImage(const cv::Mat &rgb);

} // namespace FacadeImport

#endif
