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

// Reads an OBJ template with OpenMesh; null when it cannot be read.
std::unique_ptr<FacadePolyMesh> readTemplateMesh(const std::string &path);

// The template's unit square x, y in [0, 1] fills the window box (y downwards).
void placeWindowTemplate(FacadePolyMesh &mesh, const HingeBounds &box);

// Scales, turns and moves a unit leaf template like the exported leaf boxes.
void placeLeafTemplate(FacadePolyMesh &mesh, const ExportGeometry::LeafPlacement &leaf);

// Copies the template line by line, replacing the k-th vertex line by vertex k
// of the placed mesh ("v %lf %lf %lf"). A vertex line is one that OpenMesh reads
// as a vertex: "v" after optional blanks, then a blank. Every other line, and
// vertex lines beyond the mesh's vertices, are copied byte for byte.
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
