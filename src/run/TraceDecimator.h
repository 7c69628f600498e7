#pragma once

#include <QPointF>
#include <vector>

// Reduces a curve of many readings to what a plot of a given width can show: per pixel column at
// most four points, the column's first, lowest, highest and last reading in time order, so the
// drawn line looks exactly as the full one would. The work grows with the readings in view, not
// with the file, and the result with the width.
namespace TraceDecimator {

// One visible range: times t0..t1 drawn over the pixels x0..x0 + width.
struct View {
    double t0 = 0.0;
    double t1 = 1.0;
    double x0 = 0.0;
    double width = 1.0;
};

// Blocks of a curve's readings with their extremes, made once for a long curve: where a pixel
// column spans whole blocks the decimation takes their extremes instead of every reading.
struct Blocks {
    static constexpr size_t kSize = 64;
    struct Block {
        unsigned minOffset = 0;
        unsigned maxOffset = 0;
        bool gap = false; // a reading of the block is NaN
    };
    std::vector<Block> blocks;
};
Blocks blocksOf(const std::vector<double>& values);

// The polylines of one curve (x in pixels, y the reading itself): a reading that is NaN ends one
// and the next reading starts another. The readings just outside the range on either side are
// included so that the line runs to the edges. times are in ascending order.
std::vector<std::vector<QPointF>> decimate(const std::vector<double>& times,
                                           const std::vector<double>& values, const View& view,
                                           const Blocks* blocks = nullptr);

// The index of the last reading at or before t whose value is not NaN within the gap-free run
// around t, or -1: what a cursor at t reads.
long readingAt(const std::vector<double>& times, const std::vector<double>& values, double t);

} // namespace TraceDecimator
