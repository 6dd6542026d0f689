// Seeds of the photograph importer's target, painted when it runs: the
// generator's photographs of a blind case and of a shutter case scaled down
// to a few kilobytes (JPEG and PNG), and a flat painted facade whose windows
// the search finds at once. Small pictures keep each run fast while still
// reaching the whole analysis.
#include "MadeSeeds.h"

#include "CaseDesign.h"
#include "FacadeRenderer.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

namespace {

std::string encoded(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        return std::string();
    return bytes.toStdString();
}

// The generator's photograph of the first case of that kind, width pixels wide.
QImage generatedPhoto(TestCaseKind kind, int width)
{
    for (const TestCases::CaseDesign &design : TestCases::allCases()) {
        if (design.kind != kind)
            continue;
        const QImage photo = TestCases::renderFacade(design, TestCases::planFacade(design)).photo.toImage();
        return photo.scaledToWidth(width, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB888);
    }
    return QImage();
}

// A wall seen straight on with three rows of four dark windows.
QImage paintedFacade()
{
    QImage image(160, 120, QImage::Format_RGB888);
    image.fill(QColor(214, 196, 160));
    QPainter painter(&image);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            painter.fillRect(18 + 36 * col, 14 + 34 * row, 16, 22, QColor(52, 46, 44));
    return image;
}

} // namespace

std::vector<MadeSeed> madeFuzzSeeds()
{
    std::vector<MadeSeed> seeds;
    const auto add = [&seeds](const char *name, const std::string &bytes) {
        if (!bytes.empty())
            seeds.push_back({name, bytes});
    };
    add("blinds-photo.jpg", encoded(generatedPhoto(TestCaseKind::Blind, 200), "jpeg", 70));
    add("shutters-photo.png",
        encoded(generatedPhoto(TestCaseKind::Shutter, 96).convertToFormat(QImage::Format_Indexed8), "png", 0));
    add("painted-facade.png", encoded(paintedFacade(), "png", 0));
    add("painted-facade.jpg", encoded(paintedFacade(), "jpeg", 60));
    return seeds;
}
