#include "run/LiveTrace.h"

#include <algorithm>
#include <cmath>

void LiveTrace::setPass(double passSeconds, int passes)
{
    passSeconds_ = std::max(0.0, passSeconds);
    passes_ = std::max(1, passes);
    clear();
}

void LiveTrace::clear()
{
    buckets_.assign(kBuckets, Bucket());
    pass_ = 1;
    count_ = 0;
    gapPending_ = false;
    minimum_ = maximum_ = 0.0;
}

int LiveTrace::bucketOf(double seconds) const
{
    if (!(passSeconds_ > 0.0))
        return 0;
    const double position = std::floor(seconds / passSeconds_ * kBuckets);
    return static_cast<int>(std::clamp(position, 0.0, static_cast<double>(kBuckets - 1)));
}

void LiveTrace::add(double seconds, int pass, double value)
{
    if (buckets_.empty())
        clear();
    if (pass <= 0) {
        pass = passSeconds_ > 0.0 ? static_cast<int>(std::floor(seconds / passSeconds_)) + 1 : 1;
        pass = std::clamp(pass, 1, passes_);
    }
    if (pass > pass_) {
        clear();
        pass_ = pass;
    } else if (pass < pass_) {
        return;
    }
    const double within = std::clamp(seconds - (pass - 1) * passSeconds_, 0.0, std::max(passSeconds_, 0.0));
    if (std::isnan(value)) {
        gapPending_ = count_ > 0;
        return;
    }
    Bucket& bucket = buckets_[static_cast<size_t>(bucketOf(within))];
    if (!bucket.used) {
        bucket.used = true;
        bucket.gapBefore = gapPending_;
        bucket.firstT = bucket.lowT = bucket.highT = within;
        bucket.firstV = bucket.lowV = bucket.highV = value;
    } else {
        if (value < bucket.lowV) {
            bucket.lowT = within;
            bucket.lowV = value;
        }
        if (value > bucket.highV) {
            bucket.highT = within;
            bucket.highV = value;
        }
    }
    bucket.lastT = within;
    bucket.lastV = value;
    gapPending_ = false;
    minimum_ = count_ == 0 ? value : std::min(minimum_, value);
    maximum_ = count_ == 0 ? value : std::max(maximum_, value);
    ++count_;
}

std::vector<std::vector<QPointF>> LiveTrace::polylines() const
{
    std::vector<std::vector<QPointF>> lines;
    std::vector<QPointF> line;
    for (const Bucket& bucket : buckets_) {
        if (!bucket.used)
            continue;
        if (bucket.gapBefore && !line.empty()) {
            lines.push_back(std::move(line));
            line.clear();
        }
        const bool lowFirst = bucket.lowT <= bucket.highT;
        const QPointF points[4] = {
            {bucket.firstT, bucket.firstV},
            lowFirst ? QPointF(bucket.lowT, bucket.lowV) : QPointF(bucket.highT, bucket.highV),
            lowFirst ? QPointF(bucket.highT, bucket.highV) : QPointF(bucket.lowT, bucket.lowV),
            {bucket.lastT, bucket.lastV}};
        for (const QPointF& point : points) {
            if (line.empty() || line.back() != point)
                line.push_back(point);
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    return lines;
}

double LiveTrace::valueAt(double seconds) const
{
    if (count_ == 0 || seconds < 0.0)
        return NAN;
    for (int i = bucketOf(seconds); i >= 0; --i) {
        const Bucket& bucket = buckets_[static_cast<size_t>(i)];
        if (!bucket.used)
            continue;
        if (bucket.lastT <= seconds)
            return bucket.lastV;
        if (bucket.firstT <= seconds)
            return bucket.firstV;
        if (bucket.gapBefore)
            return NAN;
    }
    return NAN;
}
