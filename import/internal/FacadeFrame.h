#ifndef TESSIVO_IMPORT_FACADEFRAME_H
#define TESSIVO_IMPORT_FACADEFRAME_H

// The frame of a facade plane given by its two vanishing points, and the
// facade's lines in it: what the facade proposal draws its outline from.
// Internal to import/.
#include <opencv2/core.hpp>

#include <map>
#include <utility>
#include <vector>

namespace FacadeImport {

// Frame x runs along the facade's horizontal lines, frame y along its
// vertical ones, both increasing like the photograph's axes, with unit scale
// at the photograph's centre. The points are homogeneous, in the
// normalised image coordinates the segments are given in.
cv::Matx33d frameToImage(const cv::Vec3d &horizontal, const cv::Vec3d &vertical);

// m applied to p; false when p maps to or beyond the line at infinity.
bool mapPoint(const cv::Matx33d &m, const cv::Point2d &p, cv::Point2d *out);

struct FrameRect {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
};

// Moves the edges of a frame rectangle inwards until its four corners lie
// inside the box |x| <= halfW, |y| <= halfH of the image, each edge as little
// as it takes; false when no such rectangle is left.
bool fitInside(const cv::Matx33d &toImage, FrameRect &r, double halfW, double halfH);

// Lines of one direction in the facade frame: each at a position across the
// direction, covering an interval along it. A facade's outline is drawn by
// long unbroken lines, while a column of windows only adds short pieces at
// one position; so a position is rated by its longest run of (nearly)
// touching pieces, not by their summed length.
class LineSet
{
public:
    void add(double position, double from, double to);
    bool empty() const { return bins_.empty(); }

    // Outermost positions in [lo, hi] whose longest run inside [from, to]
    // reaches share times the longest of all; false when they are not at
    // least a few bins apart.
    bool dominantRange(double lo, double hi, double from, double to, double share, double *first,
                       double *last) const;

    // Positions in [lo, hi] (bins merged with their neighbours) whose pieces
    // inside [from, to] add up to at least minLength: the rows or columns of
    // edges that repeated windows draw.
    int repeatedPositions(double lo, double hi, double from, double to, double minLength) const;

    // How far several lines reach along the direction: of the positions in
    // [lo, hi] with at least minLength of pieces, the k-th smallest start
    // and the k-th largest end (so that one long stray line, such as a
    // horizon, does not stretch it); false when fewer than k positions.
    bool reach(double lo, double hi, int k, double minLength, double *first, double *last) const;

private:
    std::map<long, std::vector<std::pair<double, double>>> bins_;
};

} // namespace FacadeImport

#endif
