#include "ExportPaths.h"
#include "ExportText.h"
#include "FacadeWall.h"
#include "WindowGeometry.h"
#include "WindowShutterObjs.h"

#include <QFile>

#include <algorithm>
#include <cstdio>

namespace FacadeWall {

Polygons facadePolygons(const QWindowData2D &model, int count)
{
    const double width = model.rectifiedImage.width();
    const double height = model.rectifiedImage.height();
    Polygons polygons;
    polygons.reserve(std::size_t(count) + 1);
    polygons.push_back({QPointF(0, 0), QPointF(0, height), QPointF(width, height), QPointF(width, 0)});
    for (int i = 0; i < count; ++i) {
        const WindowGeometry::WindowBox box = WindowGeometry::windowBoxOf(model.shutters[std::size_t(i)]);
        polygons.push_back({QPointF(box.minx, box.miny), QPointF(box.maxx, box.miny), QPointF(box.maxx, box.maxy),
                            QPointF(box.minx, box.maxy)});
    }
    return polygons;
}

std::string facadeObjText(const FacadePolyMesh &mesh, int width, int height, const std::string &baseName)
{
    const ExportText::CNumericLocale cLocale;
    std::string text;
    text.reserve(64 * mesh.n_vertices() + 32 * mesh.n_faces() + 64);
    appendFormat(text, "mtllib %s.mtl\n", baseName.c_str());
    text += "usemtl materialFacade\n";
    for (const auto vertex : mesh.vertices()) {
        const FacadePolyMesh::Point &p = mesh.point(vertex);
        const double x = p[0];
        const double y = p[1];
        // A texture of no width or height has nothing to map: pin u, v to 0 then.
        const double u = width > 0 ? std::clamp(x / width, 0.0, 1.0) : 0.0;
        const double v = 1.0 - (height > 0 ? std::clamp(y / height, 0.0, 1.0) : 0.0);
        appendFormat(text, "v %lf %lf %lf\n", x, y, 1.0);
        appendFormat(text, "vt %lf %lf\n", u, v);
    }
    for (const auto face : mesh.faces()) {
        text += 'f';
        for (const auto vertex : mesh.fv_range(face)) {
            const int number = vertex.idx() + 1;
            appendFormat(text, " %d/%d", number, number);
        }
        text += '\n';
    }
    return text;
}

bool writeFacade(const QWindowData2D &model, const std::string &objPath, int count)
{
    if (model.rectifiedImage.isNull()) {
        std::fprintf(stderr, "Export: no facade image, nothing to export\n");
        return false;
    }
    const std::unique_ptr<FacadePolyMesh> mesh = triangulate(facadePolygons(model, count));
    if (!mesh) {
        std::fprintf(stderr, "Export: the facade wall could not be triangulated\n");
        return false;
    }
    ExportText::FileHandle obj = ExportText::createFile(objPath);
    if (!obj) {
        std::fprintf(stderr, "Export: cannot create %s\n", objPath.c_str());
        return false;
    }
    const std::string mtlPath = ExportPaths::withoutExtension(objPath) + ".mtl";
    ExportText::FileHandle mtl = ExportText::createFile(mtlPath);
    if (!mtl) {
        std::fprintf(stderr, "Export: cannot create %s\n", mtlPath.c_str());
        return false;
    }
    const std::string text = facadeObjText(*mesh, model.rectifiedImage.width(), model.rectifiedImage.height(),
                                           ExportPaths::baseNameOf(objPath));
    if (!ExportText::writeAndClose(std::move(obj), text)
        || !ExportText::writeAndClose(std::move(mtl), "newmtl materialFacade\nmap_Kd materialFacade.png\n")) {
        std::fprintf(stderr, "Export: cannot write %s or its material\n", objPath.c_str());
        return false;
    }
    const std::string texturePath = ExportPaths::folderOf(objPath) + "/materialFacade.png";
    if (!model.background.save(QFile::decodeName(texturePath.c_str())))
        std::fprintf(stderr, "Export: cannot save texture %s\n", texturePath.c_str());
    return true;
}

} // namespace FacadeWall

bool QWindowData2D::saveFacadeToMesh(const std::string &objPath)
{
    const int count = WindowGeometry::exportableWindowCount(*this, "Save facade to mesh");
    const std::string folder = ExportPaths::folderOf(objPath);
    return FacadeWall::writeFacade(*this, objPath, count) && WindowShutterObjs::writeWindows(*this, folder, count)
           && WindowShutterObjs::writeShutters(*this, folder, count);
}

bool QWindowData2D::writeFacadeObj(const std::string &objPath)
{
    return FacadeWall::writeFacade(*this, objPath, WindowGeometry::exportableWindowCount(*this, "Facade export"));
}
