#ifndef TESSIVO_BENCH_PHOTODRAWING_H
#define TESSIVO_BENCH_PHOTODRAWING_H

#include "PhotoMeasure.h"

#include <QImage>

// A photograph with its annotation drawn in green (facade and windows; other
// facades dark green, ignored regions grey) and what an import found in red
// (its facade and windows), to look at.
QImage drawMeasurement(const QImage &photo, const PhotoScore::PhotoAnnotation &truth,
                       const PhotoScore::PhotoMeasurement &measured);

#endif
