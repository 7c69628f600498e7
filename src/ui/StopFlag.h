#pragma once

#include <atomic>
#include <cstdint>

// A request to stop what is under way (Ctrl-C, SIGTERM, a closed terminal), set from the stop
// signals' handler and read by the link's waits and the operations' step loops. Its descriptor
// polls readable while it is set, so a wait in poll() learns of the request at once. A wait that is
// under way when the request comes may still end normally within kGraceMs: a live instrument's
// reply is not cut in half, so what it holds afterwards is known exactly; a silent one is given up.
class StopFlag {
public:
    static constexpr int kGraceMs = 500;

    StopFlag();
    ~StopFlag();
    StopFlag(const StopFlag&) = delete;
    StopFlag& operator=(const StopFlag&) = delete;

    // Safe in a signal handler.
    void set() noexcept;
    // Takes the request back (a run that is stopping its loads needs its exchanges again).
    void clear();
    bool isSet() const { return set_.load(); }
    // Readable while the flag is set; -1 when the system gave no descriptor (the flag still works,
    // but a wait learns of it only at its next slice).
    int descriptor() const { return fd_; }
    // How long a wait of up to ms may still last: ms while no stop is requested, otherwise what is
    // left of the grace (0 once it has passed).
    int waitLimitMs(int ms) const;

private:
    static std::int64_t nowMs() noexcept;

    int fd_ = -1;
    std::atomic<bool> set_{false};
    std::atomic<std::int64_t> setAtMs_{0};
};
