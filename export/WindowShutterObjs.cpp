#include "WindowShutterObjs.h"

#include "PathText.h"
#include "ExportFiles.h"
#include "PngFile.h"
#include "TextFormat.h"

using ExportGeometry::LeafPlacement;
using ExportGeometry::Point3;

namespace WindowShutterObjs {

namespace {

// Saves an image next to the OBJ files; a failed save is not an export failure.
void saveTexture(const QImage *image, const std::string &path)
{
    if (!image || !PngFile::write(*image, path))
        logLine("Export: cannot save texture " + path);
}

} // namespace

std::string windowObjText(int i, const HingeBounds &box)
{
    std::string text;
    appendFormat(text, "mtllib window_%d.mtl\n", i);
    appendFormat(text, "usemtl window_%d\n", i);
    for (const ExportGeometry::QuadCorner &corner : ExportGeometry::windowQuad(box))
        appendFormat(text, "v %d %d 0\nvt %d %d\n", corner.x, corner.y, corner.u, corner.v);
    text += "f 1/1 2/2 3/3 4/4\n";
    return text;
}

std::string leafObjText(bool left, const LeafPlacement &leaf)
{
    std::string text = left ? "mtllib leftshutter.mtl\nusemtl leftshutter\n"
                            : "mtllib rightshutter.mtl\nusemtl rightshutter\n";
    const ExportGeometry::LeafCorner(&box)[8] = ExportGeometry::leafUnitBox(left);
    for (const ExportGeometry::LeafCorner &corner : box) {
        const Point3 p = leaf.place(corner.unit);
        text += "v ";
        appendFixed6(text, p.x);
        text += ' ';
        appendFixed6(text, p.y);
        text += ' ';
        appendFixed6(text, p.z);
        text += '\n';
    }
    for (const ExportGeometry::LeafCorner &corner : box)
        appendFormat(text, "vt %g %g\n", corner.u, corner.v);
    // The front and the back carry the texture; the sides have none.
    for (int f = 0; f < ExportGeometry::kLeafFaceCount; ++f) {
        text += 'f';
        for (const int corner : ExportGeometry::kLeafFaces[f]) {
            if (f < ExportGeometry::kTexturedLeafFaces)
                appendFormat(text, " %d/%d", corner + 1, corner + 1);
            else
                appendFormat(text, " %d", corner + 1);
        }
        text += '\n';
    }
    return text;
}

bool writeWindows(const QWindowData2D &model, const std::string &folder, int count, Failure *failure)
{
    for (int i = 0; i < count; ++i) {
        // The OBJ is created before the MTL: an MTL that cannot be created
        // leaves an empty OBJ.
        const std::string objPath = folder + formatText("/window_%d.obj", i);
        ExportFiles::CreatedFile obj = ExportFiles::create(objPath, failure);
        if (!obj)
            return false;
        const std::string mtlPath = folder + formatText("/window_%d.mtl", i);
        ExportFiles::CreatedFile mtl = ExportFiles::create(mtlPath, failure);
        if (!mtl)
            return false;
        const HingeBounds box = hingeBounds(model.shutters[std::size_t(i)]);
        if (!ExportFiles::writeAndClose(std::move(obj), objPath, windowObjText(i, box), failure)
            || !ExportFiles::writeAndClose(std::move(mtl), mtlPath,
                                           formatText("newmtl window_%d\nmap_Kd window_%d.png\n", i, i), failure))
            return false;
        saveTexture(model.currentImages[std::size_t(i)], folder + formatText("/window_%d.png", i));
    }
    return true;
}

bool writeShutters(const QWindowData2D &model, const std::string &folder, int count, Failure *failure)
{
    const std::vector<FacadeWindow> *windows = model.currentGroup();
    for (int i = 0; i < count; ++i) {
        const ShutterPair &pair = model.shutters[std::size_t(i)];
        const FacadeWindow &window = (*windows)[std::size_t(i)];
        if (!ExportFiles::createAndWrite(folder + formatText("/leftshutter_%d.obj", i),
                            leafObjText(true, ExportGeometry::leftLeafPlacement(pair, window.leftAngle)), failure)
            || !ExportFiles::createAndWrite(folder + formatText("/rightshutter_%d.obj", i),
                               leafObjText(false, ExportGeometry::rightLeafPlacement(pair, window.rightAngle)),
                               failure))
            return false;
    }
    if (!ExportFiles::createAndWrite(folder + "/leftshutter.mtl", "newmtl leftshutter\nmap_Kd leftshutter.png\n",
                                     failure))
        return false;
    saveTexture(&model.leftShutterImage, folder + "/leftshutter.png");
    if (!ExportFiles::createAndWrite(folder + "/rightshutter.mtl", "newmtl rightshutter\nmap_Kd rightshutter.png\n",
                                     failure))
        return false;
    saveTexture(&model.rightShutterImage, folder + "/rightshutter.png");
    return true;
}

} // namespace WindowShutterObjs
