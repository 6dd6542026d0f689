#include "FacadeWall.h"

#include "ExportPaths.h"
#include "PathText.h"
#include "ExportFiles.h"
#include "PngFile.h"
#include "TextFormat.h"

#include <algorithm>

namespace FacadeWall {

Polygons facadePolygons(const QWindowData2D &model, int count)
{
    const double width = model.rectifiedImage.width();
    const double height = model.rectifiedImage.height();
    Polygons polygons;
    polygons.reserve(std::size_t(count) + 1);
    polygons.push_back({QPointF(0, 0), QPointF(0, height), QPointF(width, height), QPointF(width, 0)});
    for (int i = 0; i < count; ++i) {
        const HingeBounds box = hingeBounds(model.shutters[std::size_t(i)]);
        polygons.push_back({QPointF(box.minx, box.miny), QPointF(box.maxx, box.miny), QPointF(box.maxx, box.maxy),
                            QPointF(box.minx, box.maxy)});
    }
    return polygons;
}

void wallTextureCoordinates(double x, double y, int width, int height, double &u, double &v)
{
    // A texture of no width or height has nothing to map: pin u, v to 0 then.
    u = width > 0 ? std::clamp(x / width, 0.0, 1.0) : 0.0;
    v = 1.0 - (height > 0 ? std::clamp(y / height, 0.0, 1.0) : 0.0);
}

std::string facadeObjText(const FacadePolyMesh &mesh, int width, int height, const std::string &baseName)
{
    std::string text;
    text.reserve(64 * mesh.n_vertices() + 32 * mesh.n_faces() + 64);
    appendFormat(text, "mtllib %s.mtl\n", baseName.c_str());
    text += "usemtl materialFacade\n";
    for (const auto vertex : mesh.vertices()) {
        const FacadePolyMesh::Point &p = mesh.point(vertex);
        const double x = p[0];
        const double y = p[1];
        double u = 0.0;
        double v = 0.0;
        wallTextureCoordinates(x, y, width, height, u, v);
        text += "v ";
        appendFixed6(text, x);
        text += ' ';
        appendFixed6(text, y);
        text += ' ';
        appendFixed6(text, kWallZ);
        text += "\nvt ";
        appendFixed6(text, u);
        text += ' ';
        appendFixed6(text, v);
        text += '\n';
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

bool writeFacadeMesh(const QWindowData2D &model, const std::string &objPath, int count, Failure *failure)
{
    if (model.rectifiedImage.isNull())
        return failAndLog(failure, "Export: no facade image, nothing to export");
    const std::unique_ptr<FacadePolyMesh> mesh = triangulate(facadePolygons(model, count), failure);
    if (!mesh)
        return failAndLog(failure, "Export: the facade wall could not be triangulated");
    // Both files are created before either is written: an MTL that cannot be
    // created leaves an empty OBJ.
    ExportFiles::CreatedFile obj = ExportFiles::create(objPath, failure);
    if (!obj)
        return false;
    const std::string mtlPath = ExportPaths::withoutExtension(objPath) + ".mtl";
    ExportFiles::CreatedFile mtl = ExportFiles::create(mtlPath, failure);
    if (!mtl)
        return false;
    const std::string text = facadeObjText(*mesh, model.rectifiedImage.width(), model.rectifiedImage.height(),
                                           ExportPaths::baseNameOf(objPath));
    return ExportFiles::writeAndClose(std::move(obj), objPath, text, failure)
           && ExportFiles::writeAndClose(std::move(mtl), mtlPath, "newmtl materialFacade\nmap_Kd materialFacade.png\n",
                                         failure);
}

std::string texturePath(const std::string &folder)
{
    return folder + "/materialFacade.png";
}

bool writeTexture(const QWindowData2D &model, const std::string &folder)
{
    return PngFile::write(model.background, texturePath(folder));
}

bool writeFacade(const QWindowData2D &model, const std::string &objPath, int count, Failure *failure)
{
    if (!writeFacadeMesh(model, objPath, count, failure))
        return false;
    const std::string folder = ExportPaths::folderOf(objPath);
    if (!writeTexture(model, folder))
        logLine("Export: cannot save texture " + texturePath(folder));
    return true;
}

} // namespace FacadeWall
