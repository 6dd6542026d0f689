#include "CvImage.h"

#include <opencv2/imgproc.hpp>

#include <cstring>

namespace FacadeImport {

cv::Mat toMat(const QImage &image)
{
    if (image.isNull())
        return cv::Mat();
    const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    const cv::Mat view(rgb.height(), rgb.width(), CV_8UC3, const_cast<uchar *>(rgb.constBits()),
                       std::size_t(rgb.bytesPerLine()));
    return view.clone();
}

cv::Mat viewOf(const QImage &rgb888)
{
    if (rgb888.isNull() || rgb888.format() != QImage::Format_RGB888)
        return cv::Mat();
    return cv::Mat(rgb888.height(), rgb888.width(), CV_8UC3, const_cast<uchar *>(rgb888.constBits()),
                   std::size_t(rgb888.bytesPerLine()));
}

cv::Mat writableViewOf(QImage &rgb888)
{
    if (rgb888.isNull() || rgb888.format() != QImage::Format_RGB888)
        return cv::Mat();
    return cv::Mat(rgb888.height(), rgb888.width(), CV_8UC3, rgb888.bits(), std::size_t(rgb888.bytesPerLine()));
}

QImage toQImage(const cv::Mat &rgb)
{
    if (rgb.empty())
        return QImage();
    cv::Mat three = rgb;
    if (rgb.channels() == 1)
        cv::cvtColor(rgb, three, cv::COLOR_GRAY2RGB);
    QImage out(three.cols, three.rows, QImage::Format_RGB888);
    if (out.isNull())
        return out;
    for (int y = 0; y < three.rows; ++y)
        std::memcpy(out.scanLine(y), three.ptr(y), std::size_t(three.cols) * 3);
    return out;
}

} // namespace FacadeImport
