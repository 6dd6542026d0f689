#ifndef TESSIVO_JPEGSEGMENTS_H
#define TESSIVO_JPEGSEGMENTS_H

#include <QByteArray>

// Whether JPEG data reach their end-of-image marker: walks the segments by
// their lengths (so a thumbnail inside an APP segment is skipped whole) and
// the entropy-coded data after each start of scan up to the next marker, and
// stops at the first end of image. What follows it (a phone's "motion photo"
// appends a video) is not looked at. Qt's decoder shows the missing part of
// a cut-off picture grey without a word, so every reader checks this first.
bool jpegComplete(const QByteArray &data);

#endif
