#include "ExportText.h"
#include "QWindowData2D.h"
#include "WindowShutterObjs.h"

#include <QFile>

#include <cstdio>

using WindowGeometry::LeafPlacement;
using WindowGeometry::Point3;
using WindowGeometry::WindowBox;

namespace WindowShutterObjs {

namespace {

// Unit leaf boxes: corners 5 to 8 are corners 1 to 4 moved by the thickness 1
// towards negative z; the hinge is the line x = 0, z = 0.
const Point3 kLeftUnitBox[8] = {{0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0},
                                {0, 1, -1}, {1, 1, -1}, {1, 0, -1}, {0, 0, -1}};
const Point3 kRightUnitBox[8] = {{0, 1, 0}, {-1, 1, 0}, {-1, 0, 0}, {0, 0, 0},
                                 {0, 1, -1}, {-1, 1, -1}, {-1, 0, -1}, {0, 0, -1}};

std::string fileIn(const std::string &folder, const char *prefix, int i, const char *suffix)
{
    std::string path = folder;
    appendFormat(path, "/%s%d%s", prefix, i, suffix);
    return path;
}

// Saves an image next to the OBJ files; a failed save is not an export failure.
void saveTexture(const QImage *image, const std::string &path)
{
    if (image == nullptr || !image->save(QFile::decodeName(path.c_str())))
        std::fprintf(stderr, "Export: cannot save texture %s\n", path.c_str());
}

} // namespace

std::string windowObjText(int i, const WindowBox &box)
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
    const ExportText::CNumericLocale cLocale;
    std::string text = left ? "mtllib leftshutter.mtl\nusemtl leftshutter\n"
                            : "mtllib rightshutter.mtl\nusemtl rightshutter\n";
    for (const Point3 &corner : left ? kLeftUnitBox : kRightUnitBox) {
        const Point3 p = leaf.place(corner);
        appendFormat(text, "v %lf %lf %lf\n", p.x, p.y, p.z);
    }
    text += "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    text += "f 1/1 2/2 3/3 4/4\nf 5/5 8/8 7/7 6/6\n";
    text += "f 1 5 6 2\nf 2 6 7 3\nf 3 7 8 4\nf 4 8 5 1\n";
    return text;
}

bool writeWindows(const QWindowData2D &model, const std::string &folder, int count)
{
    for (int i = 0; i < count; ++i) {
        const std::string objPath = fileIn(folder, "window_", i, ".obj");
        ExportText::FileHandle obj = ExportText::createFile(objPath);
        if (!obj) {
            std::fprintf(stderr, "Export: cannot create %s\n", objPath.c_str());
            return false;
        }
        const std::string mtlPath = fileIn(folder, "window_", i, ".mtl");
        ExportText::FileHandle mtl = ExportText::createFile(mtlPath);
        if (!mtl) {
            std::fprintf(stderr, "Export: cannot create %s\n", mtlPath.c_str());
            return false;
        }
        const WindowBox box = WindowGeometry::windowBoxOf(model.shutters[std::size_t(i)]);
        std::string material;
        appendFormat(material, "newmtl window_%d\nmap_Kd window_%d.png\n", i, i);
        if (!ExportText::writeAndClose(std::move(obj), windowObjText(i, box))
            || !ExportText::writeAndClose(std::move(mtl), material)) {
            std::fprintf(stderr, "Export: cannot write the files of window %d\n", i);
            return false;
        }
        saveTexture(model.currentImages[std::size_t(i)], fileIn(folder, "window_", i, ".png"));
    }
    return true;
}

bool writeShutters(const QWindowData2D &model, const std::string &folder, int count)
{
    for (int i = 0; i < count; ++i) {
        const ShutterPair &pair = model.shutters[std::size_t(i)];
        const FacadeWindow &window = model.windows[0][std::size_t(i)];
        const std::string leftText =
            leafObjText(true, WindowGeometry::leftLeafPlacement(pair, window.leftAngle));
        if (!ExportText::writeTextFile(fileIn(folder, "leftshutter_", i, ".obj"), leftText))
            return false;
        const std::string rightText =
            leafObjText(false, WindowGeometry::rightLeafPlacement(pair, window.rightAngle));
        if (!ExportText::writeTextFile(fileIn(folder, "rightshutter_", i, ".obj"), rightText))
            return false;
    }
    if (!ExportText::writeTextFile(folder + "/leftshutter.mtl", "newmtl leftshutter\nmap_Kd leftshutter.png\n"))
        return false;
    saveTexture(&model.leftShutterImage, folder + "/leftshutter.png");
    if (!ExportText::writeTextFile(folder + "/rightshutter.mtl", "newmtl rightshutter\nmap_Kd rightshutter.png\n"))
        return false;
    saveTexture(&model.rightShutterImage, folder + "/rightshutter.png");
    return true;
}

} // namespace WindowShutterObjs

bool QWindowData2D::writeWindowObjs(const std::string &folder)
{
    const int count = WindowGeometry::exportableWindowCount(*this, "Window export");
    return WindowShutterObjs::writeWindows(*this, folder, count);
}

bool QWindowData2D::writeShutterObjs(const std::string &folder)
{
    const int count = WindowGeometry::exportableWindowCount(*this, "Shutter export");
    return WindowShutterObjs::writeShutters(*this, folder, count);
}
