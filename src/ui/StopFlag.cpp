#include "ui/StopFlag.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/eventfd.h>
#include <unistd.h>

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<std::int64_t>::is_always_lock_free,
              "the flag is set from a signal handler");

StopFlag::StopFlag() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

StopFlag::~StopFlag()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::int64_t StopFlag::nowMs() noexcept
{
    // clock_gettime may be called from a signal handler; the steady clock of the library may not.
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void StopFlag::set() noexcept
{
    const int savedErrno = errno;
    // A second request keeps the time of the first: the grace does not start again. The time is
    // stored before the flag, so that a reader that sees the flag sees its time.
    if (!set_.load())
        setAtMs_.store(nowMs());
    set_.store(true);
    if (fd_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd_, &one, sizeof one);
    }
    errno = savedErrno;
}

void StopFlag::clear()
{
    set_.store(false);
    if (fd_ >= 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t read = ::read(fd_, &count, sizeof count);
    }
}

int StopFlag::waitLimitMs(int ms) const
{
    if (!isSet())
        return ms;
    const std::int64_t left = setAtMs_.load() + kGraceMs - nowMs();
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, std::max(ms, 0)));
}
