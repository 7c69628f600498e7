#pragma once

#include <cstdint>
#include <vector>

// A seeded generator whose sequence is the same with every compiler and standard library
// (splitmix64), so that a seed printed by one build replays the same input on another.
class FuzzRandom {
public:
    explicit FuzzRandom(std::uint64_t seed = 0) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n - 1 (0 when n is not positive).
    int below(int n) { return n <= 0 ? 0 : static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& pick(const std::vector<T>& items)
    {
        return items[below(int(items.size()))];
    }
    // An index chosen with the given weights.
    int weighted(const std::vector<int>& weights)
    {
        int total = 0;
        for (int weight : weights)
            total += weight;
        int roll = below(total);
        for (int i = 0; i < int(weights.size()); ++i) {
            if (roll < weights[i])
                return i;
            roll -= weights[i];
        }
        return 0;
    }

private:
    std::uint64_t state_;
};
