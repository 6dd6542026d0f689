#include "FacadeFrame.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace FacadeImport {

namespace {

constexpr double kBin = 0.005; // line positions are binned at this width (frame units)
constexpr double kGap = 0.02;  // pieces this close still make one run

// Length of the longest chain of intervals with gaps of at most kGap.
double longestRun(std::vector<std::pair<double, double>> &pieces)
{
    std::sort(pieces.begin(), pieces.end());
    double best = 0.0, start = 0.0, end = 0.0;
    bool open = false;
    for (const auto &p : pieces) {
        if (!open || p.first > end + kGap) {
            if (open)
                best = std::max(best, end - start);
            start = p.first;
            end = p.second;
            open = true;
        } else {
            end = std::max(end, p.second);
        }
    }
    if (open)
        best = std::max(best, end - start);
    return best;
}

double binCentre(long bin)
{
    return (bin + 0.5) * kBin;
}

} // namespace

cv::Matx33d frameToImage(const cv::Vec3d &horizontal, const cv::Vec3d &vertical)
{
    const double nh = std::hypot(horizontal[0], horizontal[1]);
    const double nv = std::hypot(vertical[0], vertical[1]);
    const double sh = (horizontal[0] >= 0.0 ? 1.0 : -1.0) / nh;
    const double sv = (vertical[1] >= 0.0 ? 1.0 : -1.0) / nv;
    return cv::Matx33d(sh * horizontal[0], sv * vertical[0], 0.0,
                       sh * horizontal[1], sv * vertical[1], 0.0,
                       sh * horizontal[2], sv * vertical[2], 1.0);
}

bool mapPoint(const cv::Matx33d &m, const cv::Point2d &p, cv::Point2d *out)
{
    const cv::Vec3d v = m * cv::Vec3d(p.x, p.y, 1.0);
    if (!(v[2] > 1e-9))
        return false;
    *out = {v[0] / v[2], v[1] / v[2]};
    return true;
}

bool fitInside(const cv::Matx33d &toImage, FrameRect &r, double halfW, double halfH)
{
    auto cornerInside = [&](double x, double y, bool checkX, bool checkY) {
        cv::Point2d p;
        if (!mapPoint(toImage, {x, y}, &p))
            return false;
        return (!checkX || std::abs(p.x) <= halfW) && (!checkY || std::abs(p.y) <= halfH);
    };
    // Each edge moves towards the rectangle's middle by bisection until the
    // corners it carries satisfy their bound across that edge.
    for (int round = 0; round < 3; ++round) {
        const double midX = 0.5 * (r.left + r.right);
        const double midY = 0.5 * (r.top + r.bottom);
        auto settle = [&](double &edge, double mid, auto ok) {
            if (ok(edge))
                return;
            double good = mid, bad = edge;
            for (int i = 0; i < 40; ++i) {
                const double m = 0.5 * (good + bad);
                (ok(m) ? good : bad) = m;
            }
            edge = good;
        };
        auto columnOk = [&](double x) {
            return cornerInside(x, r.top, true, false) && cornerInside(x, r.bottom, true, false);
        };
        auto rowOk = [&](double y) {
            return cornerInside(r.left, y, false, true) && cornerInside(r.right, y, false, true);
        };
        settle(r.left, midX, columnOk);
        settle(r.right, midX, columnOk);
        settle(r.top, midY, rowOk);
        settle(r.bottom, midY, rowOk);
    }
    return cornerInside(r.left, r.top, true, true) && cornerInside(r.right, r.top, true, true)
        && cornerInside(r.right, r.bottom, true, true) && cornerInside(r.left, r.bottom, true, true);
}

void LineSet::add(double position, double from, double to)
{
    bins_[long(std::floor(position / kBin))].push_back({std::min(from, to), std::max(from, to)});
}

bool LineSet::dominantRange(double lo, double hi, double from, double to, double share, double *first,
                            double *last) const
{
    std::map<long, double> runs;
    double top = 0.0;
    for (const auto &entry : bins_) {
        const long bin = entry.first;
        const double centre = binCentre(bin);
        if (centre < lo || centre > hi)
            continue;
        std::vector<std::pair<double, double>> pieces;
        for (long d = -1; d <= 1; ++d) {
            const auto it = bins_.find(bin + d);
            if (it == bins_.end())
                continue;
            for (const auto &p : it->second) {
                const double a = std::max(p.first, from);
                const double b = std::min(p.second, to);
                if (b > a)
                    pieces.push_back({a, b});
            }
        }
        const double run = longestRun(pieces);
        runs[bin] = run;
        top = std::max(top, run);
    }
    if (top <= 0.0)
        return false;
    bool any = false;
    long a = 0, b = 0;
    for (const auto &[bin, run] : runs) {
        if (run < share * top)
            continue;
        if (!any)
            a = bin;
        b = bin;
        any = true;
    }
    *first = binCentre(a);
    *last = binCentre(b);
    return any && b - a > 4;
}

int LineSet::repeatedPositions(double lo, double hi, double from, double to, double minLength) const
{
    int count = 0;
    long previous = 0;
    bool open = false;
    for (const auto &entry : bins_) {
        const double centre = binCentre(entry.first);
        if (centre < lo || centre > hi)
            continue;
        double total = 0.0;
        for (const auto &p : entry.second)
            total += std::max(0.0, std::min(p.second, to) - std::max(p.first, from));
        if (total < minLength)
            continue;
        // Neighbouring bins hold one line split by the binning.
        if (!open || entry.first > previous + 2)
            ++count;
        previous = entry.first;
        open = true;
    }
    return count;
}

bool LineSet::reach(double lo, double hi, int k, double minLength, double *first, double *last) const
{
    std::vector<double> starts, ends;
    for (auto it = bins_.begin(); it != bins_.end();) {
        // Neighbouring bins hold one line split by the binning: one position.
        double from = 1e300, to = -1e300, length = 0.0;
        long previous = it->first;
        const double centre = binCentre(it->first);
        for (; it != bins_.end() && it->first <= previous + 1; previous = it->first, ++it)
            for (const auto &[a, b] : it->second) {
                from = std::min(from, a);
                to = std::max(to, b);
                length += b - a;
            }
        if (centre < lo || centre > hi || length < minLength)
            continue;
        starts.push_back(from);
        ends.push_back(to);
    }
    if (k < 1 || int(starts.size()) < k)
        return false;
    std::nth_element(starts.begin(), starts.begin() + (k - 1), starts.end());
    std::nth_element(ends.begin(), ends.begin() + (k - 1), ends.end(), std::greater<double>());
    *first = starts[std::size_t(k - 1)];
    *last = ends[std::size_t(k - 1)];
    return *last > *first;
}

} // namespace FacadeImport
