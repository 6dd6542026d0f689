#include "TemplatePlacement.h"

#include "PathText.h"
#include "ExportFiles.h"
#include "TemplateCheck.h"
#include "TextFormat.h"

#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <istream>
#include <limits>
#include <ostream>
#include <sstream>

namespace TemplatePlacement {

namespace {

// The mesh stores floats: a placed coordinate beyond their range becomes an
// infinity (converting it directly would be undefined), which the line copy
// then refuses to write.
float meshCoordinate(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax)
        return std::numeric_limits<float>::infinity();
    if (value < -kMax)
        return -std::numeric_limits<float>::infinity();
    return float(value);
}

FacadePolyMesh::Point meshPoint(const ExportGeometry::Point3 &q)
{
    return FacadePolyMesh::Point(meshCoordinate(q.x), meshCoordinate(q.y), meshCoordinate(q.z));
}

// The whole file, unless it cannot be read or is larger than the check takes.
bool readTemplateFile(const std::string &path, std::string &text, Failure *failure)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return fail(failure, "cannot open it");
    text.clear();
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, std::size_t(in.gcount()));
        if (text.size() > TemplateCheck::kMaxBytes)
            return fail(failure, formatText("it is larger than %zu MiB", TemplateCheck::kMaxBytes >> 20));
    }
    if (in.bad())
        return fail(failure, "cannot read it");
    return true;
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
                    return failAndLog(failure,
                                      "Export: the output " + output + " would overwrite the template " + templatePath);
            }
        }
    }
    return true;
}

std::unique_ptr<FacadePolyMesh> readTemplateText(const std::string &text, Failure *failure)
{
    std::vector<TemplateCheck::Vertex> vertices;
    if (!TemplateCheck::check(text, vertices, failure))
        return nullptr;
    auto mesh = std::make_unique<FacadePolyMesh>();
    std::istringstream checked(TemplateCheck::meshText(text));
    OpenMesh::IO::Options options;
    if (!OpenMesh::IO::read_mesh(*mesh, checked, ".obj", options)) {
        fail(failure, "OpenMesh cannot read it");
        return nullptr;
    }
    // Vertex k of the mesh must be the k-th vertex line; faces that OpenMesh
    // splits off at a non-manifold vertex add copies after the file's vertices.
    bool same = mesh->n_vertices() >= vertices.size();
    for (std::size_t k = 0; same && k < vertices.size(); ++k) {
        const FacadePolyMesh::Point &p = mesh->point(FacadePolyMesh::VertexHandle(int(k)));
        same = p[0] == vertices[k].x && p[1] == vertices[k].y && p[2] == vertices[k].z;
    }
    if (!same) {
        fail(failure, formatText("OpenMesh read %zu vertices that do not match its %zu vertex lines",
                                 std::size_t(mesh->n_vertices()), vertices.size()));
        return nullptr;
    }
    return mesh;
}

std::unique_ptr<FacadePolyMesh> readTemplateMesh(const std::string &path, Failure *failure)
{
    Failure why;
    std::string text;
    std::unique_ptr<FacadePolyMesh> mesh;
    if (!TemplateCheck::hasObjExtension(path))
        fail(&why, "its name does not end in .obj");
    else if (readTemplateFile(path, text, &why))
        mesh = readTemplateText(text, &why);
    if (!mesh)
        failAndLog(failure, "Export: template " + path + " refused: " + why.reason);
    return mesh;
}

void placeWindowTemplate(FacadePolyMesh &mesh, const HingeBounds &box)
{
    for (const auto vertex : mesh.vertices()) {
        const FacadePolyMesh::Point &p = mesh.point(vertex);
        mesh.set_point(vertex, meshPoint(ExportGeometry::placeInWindow(box, {p[0], p[1], p[2]})));
    }
}

void placeLeafTemplate(FacadePolyMesh &mesh, const ExportGeometry::LeafPlacement &leaf)
{
    for (const auto vertex : mesh.vertices()) {
        const FacadePolyMesh::Point &p = mesh.point(vertex);
        mesh.set_point(vertex, meshPoint(leaf.place({p[0], p[1], p[2]})));
    }
}

bool writePlacedTemplateObj(std::istream &in, std::ostream &out, const FacadePolyMesh &placed, Failure *failure)
{
    std::size_t k = 0;
    std::size_t number = 0;
    std::string line;
    std::string text;
    while (std::getline(in, line)) {
        ++number;
        const bool hadNewline = !in.eof();
        switch (TemplateCheck::classify(line)) {
        case TemplateCheck::LineKind::Vertex: {
            if (k >= placed.n_vertices())
                return fail(failure, formatText("line %zu is vertex %zu, but only %zu vertices were placed", number,
                                                k + 1, std::size_t(placed.n_vertices())));
            const FacadePolyMesh::Point &p = placed.point(FacadePolyMesh::VertexHandle(int(k)));
            if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
                return fail(failure, formatText("vertex %zu is placed beyond the range of the mesh", k + 1));
            text += "v ";
            appendFixed6(text, double(p[0]));
            text += ' ';
            appendFixed6(text, double(p[1]));
            text += ' ';
            appendFixed6(text, double(p[2]));
            text += '\n';
            ++k;
            break;
        }
        case TemplateCheck::LineKind::Ambiguous:
            return fail(failure, TemplateCheck::ambiguityReason(number));
        case TemplateCheck::LineKind::Other:
            text += line;
            if (hadNewline)
                text += '\n';
            break;
        }
    }
    if (in.bad())
        return fail(failure, "cannot read the template");
    out << text;
    return bool(out) || fail(failure, "cannot write the placed template");
}

bool writePlacedTemplateObj(const std::string &templatePath, const std::string &outPath,
                            const FacadePolyMesh &placed, Failure *failure)
{
    std::ifstream in(templatePath, std::ios::binary);
    if (!in)
        return failAndLog(failure, "Export: cannot open template " + templatePath);
    std::ostringstream text;
    Failure why;
    if (!writePlacedTemplateObj(in, text, placed, &why))
        return failAndLog(failure, "Export: cannot copy " + templatePath + " to " + outPath + ": " + why.reason);
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
