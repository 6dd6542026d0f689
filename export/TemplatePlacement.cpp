#include "TemplatePlacement.h"

#include "PathText.h"
#include "ExportFiles.h"
#include "TextFormat.h"

#include <QFileInfo>

#include <cstdio>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

namespace TemplatePlacement {

namespace {

bool isVertexLine(const std::string &line)
{
    const std::size_t start = line.find_first_not_of(" \t");
    return start != std::string::npos && start + 1 < line.size() && line[start] == 'v'
           && (line[start + 1] == ' ' || line[start + 1] == '\t');
}

std::string placedFile(const std::string &folder, const char *prefix, int i)
{
    return folder + formatText("/%s%d.obj", prefix, i);
}

} // namespace

bool outputsSpareTemplates(const std::string &folder, int count, const std::vector<std::string> &templatePaths,
                           Failure *failure)
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
            const QFileInfo outputInfo(toQtPath(output));
            for (const std::string &templatePath : templatePaths) {
                if (sameFile(outputInfo, QFileInfo(toQtPath(templatePath))))
                    return failAndLog(failure, "Export: the output " + output + " would overwrite the template " + templatePath);
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

void placeWindowTemplate(FacadePolyMesh &mesh, const HingeBounds &box)
{
    for (const auto vertex : mesh.vertices()) {
        const FacadePolyMesh::Point &p = mesh.point(vertex);
        const ExportGeometry::Point3 q = ExportGeometry::placeInWindow(box, {p[0], p[1], p[2]});
        mesh.set_point(vertex, FacadePolyMesh::Point(float(q.x), float(q.y), float(q.z)));
    }
}

void placeLeafTemplate(FacadePolyMesh &mesh, const ExportGeometry::LeafPlacement &leaf)
{
    for (const auto vertex : mesh.vertices()) {
        const FacadePolyMesh::Point &p = mesh.point(vertex);
        const ExportGeometry::Point3 q = leaf.place({p[0], p[1], p[2]});
        mesh.set_point(vertex, FacadePolyMesh::Point(float(q.x), float(q.y), float(q.z)));
    }
}

bool writePlacedTemplateObj(std::istream &in, std::ostream &out, const FacadePolyMesh &placed, Failure *failure)
{
    std::size_t k = 0;
    std::string line;
    std::string text;
    while (std::getline(in, line)) {
        const bool hadNewline = !in.eof();
        if (isVertexLine(line) && k < placed.n_vertices()) {
            const FacadePolyMesh::Point &p = placed.point(FacadePolyMesh::VertexHandle(int(k)));
            text = "v ";
            appendFixed6(text, double(p[0]));
            text += ' ';
            appendFixed6(text, double(p[1]));
            text += ' ';
            appendFixed6(text, double(p[2]));
            text += '\n';
            out << text;
            ++k;
        } else {
            out << line;
            if (hadNewline)
                out << '\n';
        }
    }
    if (in.bad())
        return fail(failure, "cannot read the template");
    return bool(out) || fail(failure, "cannot write the placed template");
}

bool writePlacedTemplateObj(const std::string &templatePath, const std::string &outPath,
                            const FacadePolyMesh &placed, Failure *failure)
{
    std::ifstream in(templatePath, std::ios::binary);
    if (!in)
        return failAndLog(failure, "Export: cannot open template " + templatePath);
    std::ostringstream text;
    if (!writePlacedTemplateObj(in, text, placed))
        return failAndLog(failure, "Export: cannot copy " + templatePath + " to " + outPath);
    if (!ExportFiles::createAndWrite(outPath, text.str(), failure)) {
        std::remove(outPath.c_str());
        return false;
    }
    return true;
}

bool writePlacedWindows(const QWindowData2D &model, int count, const FacadePolyMesh &windowTemplate,
                        const std::string &templatePath, const std::string &folder, Failure *failure)
{
    for (int i = 0; i < count; ++i) {
        FacadePolyMesh placed(windowTemplate);
        placeWindowTemplate(placed, hingeBounds(model.shutters[std::size_t(i)]));
        if (!writePlacedTemplateObj(templatePath, placedFile(folder, "window_", i), placed, failure))
            return false;
    }
    return true;
}

bool writePlacedLeaves(const QWindowData2D &model, int count, const FacadePolyMesh &leftTemplate,
                       const std::string &leftPath, const FacadePolyMesh &rightTemplate,
                       const std::string &rightPath, const std::string &folder, Failure *failure)
{
    const std::vector<FacadeWindow> *windows = model.currentGroup();
    for (int i = 0; i < count; ++i) {
        const ShutterPair &pair = model.shutters[std::size_t(i)];
        const FacadeWindow &window = (*windows)[std::size_t(i)];
        FacadePolyMesh left(leftTemplate);
        FacadePolyMesh right(rightTemplate);
        placeLeafTemplate(left, ExportGeometry::leftLeafPlacement(pair, window.leftAngle));
        placeLeafTemplate(right, ExportGeometry::rightLeafPlacement(pair, window.rightAngle));
        if (!writePlacedTemplateObj(leftPath, placedFile(folder, "leftshutter_", i), left, failure)
            || !writePlacedTemplateObj(rightPath, placedFile(folder, "rightshutter_", i), right, failure))
            return false;
    }
    return true;
}

} // namespace TemplatePlacement
