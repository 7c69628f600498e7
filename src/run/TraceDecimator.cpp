#include "run/TraceDecimator.h"

#include <algorithm>
#include <cmath>

namespace {

// The readings of one pixel column so far.
class Column {
public:
    bool empty() const { return first_ < 0; }
    long column() const { return column_; }

    void start(long column, size_t index)
    {
        column_ = column;
        first_ = last_ = low_ = high_ = static_cast<long>(index);
    }
    void add(size_t index, const std::vector<double>& values)
    {
        last_ = static_cast<long>(index);
        if (values[index] < values[static_cast<size_t>(low_)])
            low_ = last_;
        if (values[index] > values[static_cast<size_t>(high_)])
            high_ = last_;
    }
    // Appends the column's points in time order, each reading once.
    template <typename Point> void flush(std::vector<QPointF>& line, const Point& point)
    {
        if (empty())
            return;
        long indexes[4] = {first_, std::min(low_, high_), std::max(low_, high_), last_};
        long previous = -1;
        for (long index : indexes) {
            if (index != previous)
                line.push_back(point(static_cast<size_t>(index)));
            previous = index;
        }
        first_ = -1;
    }

private:
    long column_ = 0;
    long first_ = -1;
    long last_ = -1;
    long low_ = -1;
    long high_ = -1;
};

} // namespace

namespace TraceDecimator {

Blocks blocksOf(const std::vector<double>& values)
{
    Blocks result;
    result.blocks.reserve(values.size() / Blocks::kSize + 1);
    for (size_t start = 0; start + Blocks::kSize <= values.size(); start += Blocks::kSize) {
        Blocks::Block block;
        for (size_t i = 0; i < Blocks::kSize; ++i) {
            const double value = values[start + i];
            if (std::isnan(value)) {
                block.gap = true;
                break;
            }
            if (value < values[start + block.minOffset])
                block.minOffset = static_cast<unsigned>(i);
            if (value > values[start + block.maxOffset])
                block.maxOffset = static_cast<unsigned>(i);
        }
        result.blocks.push_back(block);
    }
    return result;
}

std::vector<std::vector<QPointF>> decimate(const std::vector<double>& times,
                                           const std::vector<double>& values, const View& view,
                                           const Blocks* blocks)
{
    std::vector<std::vector<QPointF>> lines;
    const size_t count = std::min(times.size(), values.size());
    if (count == 0 || !(view.t1 > view.t0) || !(view.width > 0.0))
        return lines;
    const auto begin = times.begin();
    const auto end = times.begin() + static_cast<long>(count);
    size_t from = static_cast<size_t>(std::lower_bound(begin, end, view.t0) - begin);
    size_t to = static_cast<size_t>(std::upper_bound(begin, end, view.t1) - begin);
    from = from > 0 ? from - 1 : 0;
    to = std::min(count, to + 1);

    const double scale = view.width / (view.t1 - view.t0);
    const auto point = [&](size_t index) {
        return QPointF(view.x0 + (times[index] - view.t0) * scale, values[index]);
    };
    std::vector<QPointF> line;
    Column column;
    const auto columnOf = [&](size_t index) {
        return static_cast<long>(std::floor((times[index] - view.t0) * scale));
    };
    for (size_t i = from; i < to; ++i) {
        // A whole block without a gap inside one column adds its extremes and its last reading.
        if (blocks && i % Blocks::kSize == 0 && i + Blocks::kSize <= to &&
            i / Blocks::kSize < blocks->blocks.size()) {
            const Blocks::Block& block = blocks->blocks[i / Blocks::kSize];
            const size_t last = i + Blocks::kSize - 1;
            const long x = columnOf(i);
            if (!block.gap && x == columnOf(last)) {
                if (column.empty() || column.column() != x) {
                    column.flush(line, point);
                    column.start(x, i);
                }
                column.add(i + block.minOffset, values);
                column.add(i + block.maxOffset, values);
                column.add(last, values);
                i = last;
                continue;
            }
        }
        if (std::isnan(values[i])) {
            column.flush(line, point);
            if (!line.empty())
                lines.push_back(std::move(line));
            line.clear();
            continue;
        }
        const long x = columnOf(i);
        if (!column.empty() && column.column() == x) {
            column.add(i, values);
            continue;
        }
        column.flush(line, point);
        column.start(x, i);
    }
    column.flush(line, point);
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

long readingAt(const std::vector<double>& times, const std::vector<double>& values, double t)
{
    const size_t count = std::min(times.size(), values.size());
    if (count == 0)
        return -1;
    const size_t after = static_cast<size_t>(
        std::upper_bound(times.begin(), times.begin() + static_cast<long>(count), t) - times.begin());
    if (after == 0)
        return -1;
    const size_t index = after - 1;
    if (std::isnan(values[index]))
        return -1;
    // Past the last reading the cursor reads nothing.
    if (index + 1 == count && t > times[index])
        return -1;
    return static_cast<long>(index);
}

} // namespace TraceDecimator
