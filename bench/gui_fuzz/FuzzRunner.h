#pragma once

#include "FuzzAction.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Runs the random user against the program: one run is the setup of a seed and a list of actions,
// generated from the same seed or given, with the invariants checked after the start and after
// every action. A failing list can be shrunk to a shorter one that fails the same way.
class FuzzRunner {
public:
    using Clock = std::chrono::steady_clock;

    struct Failure {
        int action = 0; // how many actions ran, the failing one included (0: at the start)
        QString message;
    };
    struct Result {
        std::vector<FuzzAction> actions; // those that ran
        std::optional<Failure> failure;
        QString setup;
        int messages = 0;
        int questions = 0;
        int dialogs = 0;
        int mostSteps = 0; // the largest step count any channel had
    };

    explicit FuzzRunner(QString examplesFolder) : examplesFolder_(std::move(examplesFolder)) {}

    // Called with each action before it runs and with the program's state after it (a trace).
    void setTrace(std::function<void(const QString& line)> trace) { trace_ = std::move(trace); }

    // The setup of seed with up to count generated actions, stopping early at the deadline.
    Result generate(std::uint64_t seed, int count, std::optional<Clock::time_point> deadline = std::nullopt);
    // The setup of seed with the given actions.
    Result replay(std::uint64_t seed, const std::vector<FuzzAction>& actions);
    // The shortest list found within the time that still fails with the same kind of failure.
    std::vector<FuzzAction> shrink(std::uint64_t seed, std::vector<FuzzAction> actions,
                                   const Failure& failure, Clock::duration budget);

    // A failure's kind: its text with the numbers left out.
    static QString kindOf(const QString& message);
    // How many actions have run in all, for the watchdog.
    long long actionsRun() const { return actionsRun_.load(); }

private:
    Result run(std::uint64_t seed, const std::vector<FuzzAction>* given, int count,
               std::optional<Clock::time_point> deadline);

    QString examplesFolder_;
    std::function<void(const QString&)> trace_;
    std::atomic<long long> actionsRun_{0};
};
