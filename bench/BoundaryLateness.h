#pragma once

#include "KdrxSimulator.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

// How late the commands of a run's step boundaries reached the simulated instrument: the benches
// give each step its own set value, so the first arrival of "INST:NSEL c;:CURR value" marks
// boundary k of channel c, due at the channel's start + k x 500 ms; the last boundary is the load
// going off.
struct BoundaryLateness {
    std::vector<qint64> lateMs;
    int missing = 0;

    // Measures channels 1..channels, each with the given start (run clock, ms) and steps of 0.5 s
    // whose set values are valueOf(channel, step).
    template <typename ValueOf>
    static BoundaryLateness measure(const std::vector<KdrxSimulator::Received>& received, qint64 runStartMs,
                                    const std::vector<qint64>& channelStartMs, int steps, ValueOf valueOf)
    {
        std::map<QString, qint64> arrivals;
        for (const KdrxSimulator::Received& entry : received) {
            if (entry.ms > runStartMs && arrivals.find(entry.text) == arrivals.end())
                arrivals[entry.text] = entry.ms;
        }
        BoundaryLateness figures;
        for (int c = 0; c < static_cast<int>(channelStartMs.size()); ++c) {
            for (int k = 1; k <= steps; ++k) {
                const QString command =
                    k < steps ? QStringLiteral("INST:NSEL %1;:CURR %2").arg(c + 1).arg(valueOf(c + 1, k))
                              : QStringLiteral("INST:NSEL %1;:OUTP 0").arg(c + 1);
                const auto found = arrivals.find(command);
                if (found == arrivals.end())
                    ++figures.missing;
                else
                    figures.lateMs.push_back(found->second -
                                             (channelStartMs[static_cast<size_t>(c)] + 500LL * k));
            }
        }
        return figures;
    }

    qint64 percentile(double fraction) const
    {
        if (lateMs.empty())
            return 0;
        std::vector<qint64> values = lateMs;
        std::sort(values.begin(), values.end());
        const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
        return values[std::min(index, values.size() - 1)];
    }

    // "boundaries N  missing M  late ms: median ..  p95 ..  max ..  min .."
    void print(const char* name) const
    {
        std::printf("%sboundaries %3zu  missing %d  late ms: median %lld  p95 %lld  max %lld  min %lld\n",
                    name, lateMs.size(), missing, static_cast<long long>(percentile(0.5)),
                    static_cast<long long>(percentile(0.95)), static_cast<long long>(percentile(1.0)),
                    static_cast<long long>(percentile(0.0)));
        std::fflush(stdout);
    }
};
