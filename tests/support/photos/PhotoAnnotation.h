#ifndef TESSIVO_TESTS_PHOTOANNOTATION_H
#define TESSIVO_TESTS_PHOTOANNOTATION_H

#include "Failure.h"

#include <QPointF>
#include <QRectF>
#include <QString>

#include <array>
#include <istream>
#include <vector>

// Where the main facade and its windows are in a real photograph, as a person
// marked them: the truth the importer is measured against. The text format is
// described in tests/data/photos/README.md.
namespace PhotoScore {

// Four corners in photo pixels: top-left, top-right, bottom-right, bottom-left.
using Quad = std::array<QPointF, 4>;

Quad boxQuad(const QRectF &box);
QRectF boundingBox(const Quad &q);

struct PhotoAnnotation {
    Quad facade{};               // the main facade
    std::vector<Quad> others;    // the other facades of the photograph
    std::vector<Quad> windows;   // the main facade's windows, lattices expanded row by row
    std::vector<Quad> ignored;   // openings that count neither as found nor as missed
    int mark = -1;               // index into windows of the window an assisted import marks; -1: none
};

// Reads an annotation. Fails, naming the line, on an unknown keyword, a wrong
// count of numbers, a number that is not finite, a lattice without windows, a
// missing or repeated facade line, or a mark that names no window.
bool readPhotoAnnotation(std::istream &in, PhotoAnnotation &out, Failure *failure = nullptr);
bool readPhotoAnnotationFile(const QString &path, PhotoAnnotation &out, Failure *failure = nullptr);

} // namespace PhotoScore

#endif
