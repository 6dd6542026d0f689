#ifndef TESSIVO_TESTCASES_WRITERS_H
#define TESSIVO_TESTCASES_WRITERS_H

#include "Camera.h"
#include "Raster.h"

#include <QWindowData2D.h>

#include <iosfwd>
#include <string>
#include <vector>

// Writers of the files the program only reads: the reconstruction file and
// the shutter file, each with a stream overload; and the pictures.
namespace testcases {

// "#Camera K:", K, "#Camera R:", R, the homography comments, H and the
// offsets, in the layout the reconstruction reader scans. Reals carry 15
// significant digits so that H survives the round trip.
bool writeReconstruction(std::ostream &out, const CameraModel &camera);
bool writeReconstruction(const std::string &path, const CameraModel &camera);

// One block per window: "window %d", then for the left (1) and right (2) leaf
// "shutter %d", the hinge line and one line per sample with the angle in
// degrees and the two outer corners.
bool writeShutters(std::ostream &out, const std::vector<ShutterPair> &shutters);
bool writeShutters(const std::string &path, const std::vector<ShutterPair> &shutters);

// JPEG at a fixed quality; false when the file cannot be written.
bool saveJpeg(const Raster &image, const std::string &path);

} // namespace testcases

#endif
