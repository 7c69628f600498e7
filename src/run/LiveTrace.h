#pragma once

#include <QPointF>
#include <vector>

// The measured line of a running channel, kept in a fixed number of time buckets across one pass
// of its sequence: per bucket the first, lowest, highest and last reading. Memory stays the same
// however long the run and however short the interval; a plot draws at most four points per bucket.
// A new pass starts the line over; the last pass stays when the run ends.
class LiveTrace {
public:
    static constexpr int kBuckets = 1024;

    // The pass length in seconds (the sequence's end time) and the number of passes; clears.
    void setPass(double passSeconds, int passes);
    void clear();

    // A reading at seconds since the channel's start, in pass (from 1; 0 when unknown: the pass
    // is then the one the time falls in). value NaN marks a missing reading: the line is broken.
    void add(double seconds, int pass, double value);

    bool isEmpty() const { return count_ == 0; }
    int pass() const { return pass_; }
    double passSeconds() const { return passSeconds_; }
    // The smallest and largest reading of the shown pass.
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }

    // The polylines (x seconds within the pass, y the reading).
    std::vector<std::vector<QPointF>> polylines() const;
    // The last reading at or before seconds within the pass, unless a gap lies between; NaN when none.
    double valueAt(double passSeconds) const;

private:
    struct Bucket {
        bool used = false;
        bool gapBefore = false;
        double firstT = 0.0, firstV = 0.0;
        double lowT = 0.0, lowV = 0.0;
        double highT = 0.0, highV = 0.0;
        double lastT = 0.0, lastV = 0.0;
    };
    int bucketOf(double seconds) const;

    std::vector<Bucket> buckets_;
    double passSeconds_ = 0.0;
    int passes_ = 1;
    int pass_ = 1;
    long count_ = 0;
    bool gapPending_ = false;
    double minimum_ = 0.0;
    double maximum_ = 0.0;
};
