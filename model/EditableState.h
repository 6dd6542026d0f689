#ifndef TESSIVO_EDITABLESTATE_H
#define TESSIVO_EDITABLESTATE_H

#include <QRect>

#include <vector>

class QImage;
struct FacadeWindow;

// Everything an edit of the loaded case can change, as one value: the
// windows of every group with the grid lists a grid file replaces, and the
// image each window shows. QWindowData2D::snapshot() takes it and restore()
// puts it back, so that undo and recovery name no field of the model.
//
// The images are borrowed from the model that took the snapshot, which keeps
// them until it is deleted; a snapshot is restored only into that model.
struct EditableState {
    std::vector<QRect> gridBounds;
    std::vector<QRect> windowTemplates;
    std::vector<std::vector<FacadeWindow>> detectedWindows;
    std::vector<std::vector<int>> colValues;
    std::vector<std::vector<int>> rowValues;
    int rows = 0;
    int cols = 0;
    std::vector<std::vector<FacadeWindow>> windows;
    std::vector<QImage *> currentImages;
    std::vector<int> imageKeys;

    // Field by field; reals compare by their bits, so that a grid file's NaN
    // leaves a state equal to itself and -0.0 differs from 0.0.
    bool operator==(const EditableState &other) const;
    bool operator!=(const EditableState &other) const { return !(*this == other); }
};

#endif
