// Fuzz target: the template check, OpenMesh's read of the text it passes, and
// the placement's line copy.
//
// Input: an OBJ template.
// Checks: reading never aborts (OpenMesh sees only checked text); a template
// the check passes is read (unless OpenMesh refuses it), its mesh starting
// with the vertices of its vertex lines in order; placed in a window and as a leaf, it is copied line for
// line, each vertex line replaced by the placed vertex of its number and
// every other line unchanged, or refused only when a placed vertex left the
// float range; the copy has exactly the template's number of vertex lines,
// passes the check itself and is read again.
#include "FuzzCheck.h"

#include "ExportGeometry.h"
#include "TemplateCheck.h"
#include "TemplatePlacement.h"
#include "TextFormat.h"

#include <OpenMesh/Core/System/omstream.hh>

#include <cmath>
#include <sstream>

namespace {

// The copy as it must come out: vertex lines replaced, the others kept.
std::string expectedCopy(const std::string &text, const FacadePolyMesh &placed)
{
    std::istringstream in(text);
    std::string line;
    std::string out;
    int k = 0;
    while (std::getline(in, line)) {
        if (TemplateCheck::classify(line) != TemplateCheck::LineKind::Vertex) {
            out += line;
            if (!in.eof())
                out += '\n';
            continue;
        }
        const FacadePolyMesh::Point &p = placed.point(FacadePolyMesh::VertexHandle(k++));
        out += "v ";
        appendFixed6(out, double(p[0]));
        out += ' ';
        appendFixed6(out, double(p[1]));
        out += ' ';
        appendFixed6(out, double(p[2]));
        out += '\n';
    }
    return out;
}

bool firstFinite(const FacadePolyMesh &mesh, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        const FacadePolyMesh::Point &p = mesh.point(FacadePolyMesh::VertexHandle(int(k)));
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            return false;
    }
    return true;
}

void checkCopy(const std::string &text, const FacadePolyMesh &placed, std::size_t vertexLines)
{
    std::istringstream in(text);
    std::ostringstream out;
    Failure failure;
    const bool copied = TemplatePlacement::writePlacedTemplateObj(in, out, placed, &failure);
    FUZZ_CHECK(copied == firstFinite(placed, vertexLines));
    if (!copied) {
        FUZZ_CHECK(out.str().empty() && !failure.reason.empty());
        return;
    }
    const std::string copy = out.str();
    FUZZ_CHECK(copy == expectedCopy(text, placed));
    std::vector<TemplateCheck::Vertex> vertices;
    FUZZ_CHECK(TemplateCheck::check(copy, vertices));
    FUZZ_CHECK(vertices.size() == vertexLines);
    const std::unique_ptr<FacadePolyMesh> reread = TemplatePlacement::readTemplateText(copy);
    FUZZ_CHECK(reread && reread->n_vertices() >= vertexLines);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // OpenMesh's complaints about faces it skips would only slow the run down.
    static const bool quiet = (omerr().disable(), omlog().disable(), omout().disable(), true);
    (void)quiet;

    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<TemplateCheck::Vertex> vertices;
    const bool passes = TemplateCheck::check(text, vertices);
    Failure failure;
    const std::unique_ptr<FacadePolyMesh> mesh = TemplatePlacement::readTemplateText(text, &failure);
    if (!mesh) {
        // Refused by the check, or by OpenMesh itself (it refuses, for one,
        // texture coordinates of two and three numbers in one file): never
        // because OpenMesh read other vertices than the check found.
        FUZZ_CHECK(!passes || failure.reason == "OpenMesh cannot read it");
        return 0;
    }
    FUZZ_CHECK(passes);
    FUZZ_CHECK(mesh->n_vertices() >= vertices.size());

    ShutterPair pair;
    pair.left.hinge1 = QPoint(100, 250);
    pair.left.hinge2 = QPoint(100, 50);
    pair.right.hinge1 = QPoint(300, 250);
    pair.right.hinge2 = QPoint(300, 50);
    FacadePolyMesh window(*mesh);
    TemplatePlacement::placeWindowTemplate(window, hingeBounds(pair));
    checkCopy(text, window, vertices.size());
    FacadePolyMesh leaf(*mesh);
    TemplatePlacement::placeLeafTemplate(leaf, ExportGeometry::leftLeafPlacement(pair, 1.0));
    checkCopy(text, leaf, vertices.size());
    return 0;
}
