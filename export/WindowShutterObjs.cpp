#include "WindowShutterObjs.h"

#include "PathText.h"
#include "ExportFiles.h"
#include "PngFile.h"
#include "TextFormat.h"

using ExportGeometry::LeafPlacement;
using ExportGeometry::Point3;

namespace WindowShutterObjs {

namespace {

// Unit leaf boxes: corners 5 to 8 are corners 1 to 4 moved by the thickness 1
// towards negative z; the hinge is the line x = 0, z = 0.
const Point3 kLeftUnitBox[8] = {{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0},
                                {0, 1, -1}, {1, 1, -1}, {1, 0, -1}, {0, 0, -1}};
const Point3 kRightUnitBox[8] = {{0, 1, 0}, {-1, 1, 0}, {-1, 0, 0}, {0, 0, 0},
                                 {0, 1, -1}, {-1, 1, -1}, {-1, 0, -1}, {0, 0, -1}};

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
    appendFormat(text, "v %d %d 0\n", box.minx, box.miny);
    text += "vt 0 1\n";
    appendFormat(text, "v %d %d 0\n", box.minx, box.maxy);
    text += "vt 0 0\n";
    appendFormat(text, "v %d %d 0\n", box.maxx, box.maxy);
    text += "vt 1 0\n";
    appendFormat(text, "v %d %d 0\n", box.maxx, box.miny);
    text += "vt 1 1\n";
    text += "f 1/1 2/2 3/3 4/4\n";
    return text;
}

std::string leafObjText(bool left, const LeafPlacement &leaf)
{
    std::string text = left ? "mtllib leftshutter.mtl\nusemtl leftshutter\n"
                            : "mtllib rightshutter.mtl\nusemtl rightshutter\n";
    for (const Point3 &corner : left ? kLeftUnitBox : kRightUnitBox) {
        const Point3 p = leaf.place(corner);
        text += "v ";
        appendFixed6(text, p.x);
        text += ' ';
        appendFixed6(text, p.y);
        text += ' ';
        appendFixed6(text, p.z);
        text += '\n';
    }
    text += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    text += "f 1/1 2/2 3/3 4/4\nf 5/5 8/8 7/7 6/6\n";
    text += "f 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 4 8 5 1\n";
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
