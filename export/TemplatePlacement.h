#ifndef TESSIVO_TEMPLATEPLACEMENT_H
#define TESSIVO_TEMPLATEPLACEMENT_H

#include "FacadeMesh.h"
#include "ExportGeometry.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// User OBJ templates of a window and its two leaves, placed at every window.
namespace TemplatePlacement {

// Reads an OBJ template: only a file named *.obj, checked by TemplateCheck
// before OpenMesh's OBJ reader sees its text, so no template can abort the
// program. Null, with the reason (logged), when the file cannot be read, is
// refused by the check, or OpenMesh's vertices are not those of its vertex
// lines.
std::unique_ptr<FacadePolyMesh> readTemplateMesh(const std::string &path, Failure *failure = nullptr);
// The same for a template's text; fails without logging.
std::unique_ptr<FacadePolyMesh> readTemplateText(const std::string &text, Failure *failure = nullptr);

// The template's unit square x, y in [0, 1] fills the window box (y downwards).
void placeWindowTemplate(FacadePolyMesh &mesh, const HingeBounds &box);

// Scales, turns and moves a unit leaf template like the exported leaf boxes.
void placeLeafTemplate(FacadePolyMesh &mesh, const ExportGeometry::LeafPlacement &leaf);

// Copies the template line by line, replacing the k-th vertex line by vertex k
// of the placed mesh ("v %lf %lf %lf"). Vertex lines are those OpenMesh reads
// as vertices (TemplateCheck::classify); every other line is copied byte for
// byte. Placed and unplaced vertices never share an output: a template with
// more vertex lines than placed vertices, an ambiguous vertex line or a
// vertex placed beyond float range fails, and nothing is written.
// The file version writes nothing when the template cannot be opened and removes
// an output it could not write completely.
bool writePlacedTemplateObj(std::istream &in, std::ostream &out, const FacadePolyMesh &placed,
                            Failure *failure = nullptr);
bool writePlacedTemplateObj(const std::string &templatePath, const std::string &outPath,
                            const FacadePolyMesh &placed, Failure *failure = nullptr);

// False, with the reason, when one of the outputs of the first count
// windows in folder ("window_%d.obj", "leftshutter_%d.obj", "rightshutter_%d.obj")
// would be one of the template files, directly or through a link: writing it
// would destroy the template before it is copied.
bool outputsSpareTemplates(const std::string &folder, int count, const std::vector<std::string> &templatePaths,
                           Failure *failure = nullptr);

// "window_%d.obj" in folder for the first count windows of the model.
bool writePlacedWindows(const QWindowData2D &model, int count, const FacadePolyMesh &windowTemplate,
                        const std::string &templatePath, const std::string &folder, Failure *failure = nullptr);

// "leftshutter_%d.obj" and "rightshutter_%d.obj" in folder for the first count windows.
bool writePlacedLeaves(const QWindowData2D &model, int count, const FacadePolyMesh &leftTemplate,
                       const std::string &leftPath, const FacadePolyMesh &rightTemplate,
                       const std::string &rightPath, const std::string &folder, Failure *failure = nullptr);

} // namespace TemplatePlacement

#endif
