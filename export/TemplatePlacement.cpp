#include "TemplatePlacement.h"

#include "ExportText.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <fstream>
#include <istream>
#include <ostream>

namespace {

bool isVertexLine(const std::string &line)
{
    const std::size_t start = line.find_first_not_of(" \t");
    return start != std::string::npos && start + 1 < line.size() && line[start] == 'v'
           && (line[start + 1] == ' ' || line[start + 1] == '\t');
}

std::string placedFile(const std::string &folder, const char *prefix, int i)
{
    std::string path = folder;
    appendFormat(path, "/%s%d.obj", prefix, i);
    return path;
}

} // namespace

bool outputsSpareTemplates(const std::string &folder, int count, const std::vector<std::string> &templatePaths)
{
    // Both the path as given and the file it leads to: an output written through
    // a link named like a template would truncate the link's target.
    auto sameFile = [](const QFileInfo &a, const QFileInfo &b) {
        if (a.absoluteFilePath() == b.absoluteFilePath())
            return true;
        return a.exists() && b.exists() && a.canonicalFilePath() == b.canonicalFilePath();
    };
    for (int i = 0; i < count; ++i) {
        for (const char *prefix : {"window_", "leftshutter_", "rightshutter_"}) {
            const std::string output = placedFile(folder, prefix, i);
            const QFileInfo outputInfo(QFile::decodeName(output.c_str()));
            for (const std::string &templatePath : templatePaths) {
                if (sameFile(outputInfo, QFileInfo(QFile::decodeName(templatePath.c_str())))) {
                    std::fprintf(stderr, "Gen 3D window objs: the output %s would overwrite the template %s\n",
                                 output.c_str(), templatePath.c_str());
                    return false;
                }
            }
        }
    }
    return true;
}

std::unique_ptr<FacadePolyMesh> readTemplateMesh(const std::string &path)
{
    auto mesh = std::make_unique<FacadePolyMesh>();
    if (!OpenMesh::IO::read_mesh(*mesh, path))
        return nullptr;
    return mesh;
}

void placeWindowTemplate(FacadePolyMesh &mesh, const WindowGeometry::WindowBox &box)
{
    for (const auto vertex : mesh.vertices()) {
        const FacadePolyMesh::Point &p = mesh.point(vertex);
        const WindowGeometry::Point3 q = WindowGeometry::placeInWindow(box, {p[0], p[1], p[2]});
        mesh.set_point(vertex, FacadePolyMesh::Point(float(q.x), float(q.y), float(q.z)));
    }
}

void placeLeafTemplate(FacadePolyMesh &mesh, const WindowGeometry::LeafPlacement &leaf)
{
    for (const auto vertex : mesh.vertices()) {
        const FacadePolyMesh::Point &p = mesh.point(vertex);
        const WindowGeometry::Point3 q = leaf.place({p[0], p[1], p[2]});
        mesh.set_point(vertex, FacadePolyMesh::Point(float(q.x), float(q.y), float(q.z)));
    }
}

bool writePlacedTemplateObj(std::istream &in, std::ostream &out, const FacadePolyMesh &placed)
{
    const ExportText::CNumericLocale cLocale;
    std::size_t k = 0;
    std::string line;
    std::string text;
    while (std::getline(in, line)) {
        const bool hadNewline = !in.eof();
        if (isVertexLine(line) && k < placed.n_vertices()) {
            const FacadePolyMesh::Point &p = placed.point(FacadePolyMesh::VertexHandle(int(k)));
            text.clear();
            appendFormat(text, "v %lf %lf %lf\n", double(p[0]), double(p[1]), double(p[2]));
            out << text;
            ++k;
        } else {
            out << line;
            if (hadNewline)
                out << '\n';
        }
    }
    return !in.bad() && bool(out);
}

bool writePlacedTemplateObj(const std::string &templatePath, const std::string &outPath,
                            const FacadePolyMesh &placed)
{
    std::ifstream in(templatePath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "Gen 3D window objs: cannot open template %s\n", templatePath.c_str());
        return false;
    }
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::fprintf(stderr, "Gen 3D window objs: cannot create %s\n", outPath.c_str());
        return false;
    }
    bool written = writePlacedTemplateObj(in, out, placed);
    out.close();
    written = written && !out.fail();
    if (!written) {
        std::fprintf(stderr, "Gen 3D window objs: cannot copy %s to %s\n", templatePath.c_str(), outPath.c_str());
        std::remove(outPath.c_str());
    }
    return written;
}

bool writePlacedWindows(const QWindowData2D &model, int count, const FacadePolyMesh &windowTemplate,
                        const std::string &templatePath, const std::string &folder)
{
    for (int i = 0; i < count; ++i) {
        FacadePolyMesh placed(windowTemplate);
        placeWindowTemplate(placed, WindowGeometry::windowBoxOf(model.shutters[std::size_t(i)]));
        if (!writePlacedTemplateObj(templatePath, placedFile(folder, "window_", i), placed))
            return false;
    }
    return true;
}

bool writePlacedLeaves(const QWindowData2D &model, int count, const FacadePolyMesh &leftTemplate,
                       const std::string &leftPath, const FacadePolyMesh &rightTemplate,
                       const std::string &rightPath, const std::string &folder)
{
    for (int i = 0; i < count; ++i) {
        const ShutterPair &pair = model.shutters[std::size_t(i)];
        const FacadeWindow &window = model.windows[0][std::size_t(i)];
        FacadePolyMesh left(leftTemplate);
        FacadePolyMesh right(rightTemplate);
        placeLeafTemplate(left, WindowGeometry::leftLeafPlacement(pair, window.leftAngle));
        placeLeafTemplate(right, WindowGeometry::rightLeafPlacement(pair, window.rightAngle));
        if (!writePlacedTemplateObj(leftPath, placedFile(folder, "leftshutter_", i), left)
            || !writePlacedTemplateObj(rightPath, placedFile(folder, "rightshutter_", i), right))
            return false;
    }
    return true;
}
