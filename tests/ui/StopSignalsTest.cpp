#include "ui/StopSignals.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <vector>

// A stop signal has to reach the event loop even while the program waits in a system call: the
// call returns (EINTR) instead of being restarted behind the handler's back, where the signal
// would be noted and never acted on until the wait ended by itself.
TEST(StopSignals, AWaitingSystemCallReturnsWhenAStopSignalComes)
{
    using namespace std::chrono_literals;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        std::vector<int> received;
        StopSignals stop([&received](int number) { received.push_back(number); });
        ASSERT_TRUE(stop.isValid());
        int fds[2] = {-1, -1};
        ASSERT_EQ(::pipe(fds), 0);
        const pthread_t waiting = pthread_self();
        std::atomic<bool> returned{false};
        std::thread sender([&] {
            // Again until the read returns, in case the first came before the read began; a byte
            // ends a read that never does, and the test fails instead of hanging.
            for (int i = 0; i < 25 && !returned; ++i) {
                pthread_kill(waiting, signal);
                std::this_thread::sleep_for(200ms);
            }
            if (!returned) [[maybe_unused]]
                const ssize_t written = ::write(fds[1], "x", 1);
        });
        char byte = 0;
        const ssize_t got = ::read(fds[0], &byte, 1);
        const int error = errno;
        returned = true;
        sender.join();
        ::close(fds[0]);
        ::close(fds[1]);
        EXPECT_EQ(got, -1);
        EXPECT_EQ(error, EINTR);

        QElapsedTimer waited;
        waited.start();
        while (received.empty() && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_FALSE(received.empty());
        EXPECT_EQ(received.front(), signal);
    }
}
