// The random user of the program's windows: runs of generated mouse, keyboard, menu and dialog
// input against the real main frame, each checked against the invariants after every action.
//
//   gui_fuzz --seconds N [--seed S]       runs seeds S, S+1, ... for N seconds
//   gui_fuzz --seed S --runs R            runs R seeds from S
//   gui_fuzz --seed S --count N           runs the first N actions of seed S (prints them)
//   gui_fuzz --replay FILE                runs a printed action list ("seed S", then one action a line)
//
// On the first failure it prints the seed, the setup, the failure and the action list, shrinks the
// list to a shorter one that fails the same way, and writes that to --out (gui-fuzz-failure.txt)
// for --replay. The exit status is 1 after a failure.
#include "FuzzApplication.h"
#include "FuzzRunner.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QFile>
#include <QTextStream>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

using Clock = FuzzRunner::Clock;

void print(const QString& text)
{
    std::fprintf(stdout, "%s\n", qPrintable(text));
    std::fflush(stdout);
}

QString listText(std::uint64_t seed, const std::vector<FuzzAction>& actions)
{
    QString text = QStringLiteral("seed %1\n").arg(seed);
    for (const FuzzAction& action : actions)
        text += action.toText() + QLatin1Char('\n');
    return text;
}

bool readList(const QString& path, std::uint64_t& seed, std::vector<FuzzAction>& actions)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        print(QStringLiteral("gui_fuzz: cannot read %1").arg(path));
        return false;
    }
    bool haveSeed = false;
    int lineNumber = 0;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1String("seed "))) {
            seed = line.mid(5).toULongLong(&haveSeed);
            continue;
        }
        const std::optional<FuzzAction> action = FuzzAction::parse(line);
        if (!action) {
            print(QStringLiteral("gui_fuzz: %1:%2: not an action: %3").arg(path).arg(lineNumber).arg(line));
            return false;
        }
        actions.push_back(*action);
    }
    if (!haveSeed)
        print(QStringLiteral("gui_fuzz: %1 names no seed").arg(path));
    return haveSeed;
}

void report(FuzzRunner& runner, std::uint64_t seed, const FuzzRunner::Result& result, int shrinkSeconds,
            const QString& outPath)
{
    const FuzzRunner::Failure& failure = *result.failure;
    print(QStringLiteral("gui_fuzz: FAILURE in seed %1 after %2 actions").arg(seed).arg(failure.action));
    print(QStringLiteral("setup: %1").arg(result.setup));
    print(QStringLiteral("failure: %1").arg(failure.message));
    print(QStringLiteral("actions (replay with --seed %1 --count %2):").arg(seed).arg(failure.action));
    for (const FuzzAction& action : result.actions)
        print(QStringLiteral("  ") + action.toText());
    std::vector<FuzzAction> list = result.actions;
    if (shrinkSeconds > 0 && failure.action > 1) {
        list = runner.shrink(seed, list, failure, std::chrono::seconds(shrinkSeconds));
        const FuzzRunner::Result again = runner.replay(seed, list);
        print(QStringLiteral("shrunk to %1 actions, failing with: %2")
                  .arg(list.size())
                  .arg(again.failure ? again.failure->message : QStringLiteral("(no failure on replay)")));
        for (const FuzzAction& action : list)
            print(QStringLiteral("  ") + action.toText());
    }
    QFile out(outPath);
    if (out.open(QIODevice::WriteOnly | QIODevice::Text)) {
        out.write(QStringLiteral("# %1\n# %2\n").arg(failure.message, result.setup).toUtf8());
        out.write(listText(seed, list).toUtf8());
        print(QStringLiteral("written to %1 (replay with --replay %1)").arg(outPath));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    FuzzApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Random user input against the program's windows."));
    parser.addHelpOption();
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("Run for N seconds."),
                                           QStringLiteral("N"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("The first run's seed."),
                                        QStringLiteral("S"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("How many runs (seeds)."),
                                        QStringLiteral("R"));
    const QCommandLineOption actionsOption(QStringLiteral("actions"),
                                           QStringLiteral("Actions per run (1000)."), QStringLiteral("A"),
                                           QStringLiteral("1000"));
    const QCommandLineOption countOption(QStringLiteral("count"),
                                         QStringLiteral("Run the first N actions of the seed and list them."),
                                         QStringLiteral("N"));
    const QCommandLineOption replayOption(
        QStringLiteral("replay"), QStringLiteral("Run a printed action list."), QStringLiteral("FILE"));
    const QCommandLineOption shrinkOption(QStringLiteral("shrink-seconds"),
                                          QStringLiteral("Time to shrink a failing list (120)."),
                                          QStringLiteral("T"), QStringLiteral("120"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Where a failing list goes."),
                                       QStringLiteral("FILE"), QStringLiteral("gui-fuzz-failure.txt"));
    const QCommandLineOption examplesOption(QStringLiteral("examples"),
                                            QStringLiteral("The folder of example files."),
                                            QStringLiteral("DIR"), QStringLiteral(TESSOR_EXAMPLES_DIR));
    const QCommandLineOption traceOption(QStringLiteral("trace"),
                                         QStringLiteral("Print each action as it runs."));
    const QCommandLineOption keepGoingOption(
        QStringLiteral("keep-going"),
        QStringLiteral(
            "After a failure go on with the next seed; list each kind of failure once at the end."));
    parser.addOptions({secondsOption, seedOption, runsOption, actionsOption, countOption, replayOption,
                       shrinkOption, outOption, examplesOption, traceOption, keepGoingOption});
    parser.process(app);

    FuzzRunner runner(parser.value(examplesOption));
    if (parser.isSet(traceOption))
        runner.setTrace([](const QString& line) { print(line); });
    const int shrinkSeconds = parser.value(shrinkOption).toInt();
    const QString outPath = parser.value(outOption);

    // A modal loop or an endless one stops the actions from coming: say so rather than hang.
    std::atomic<bool> finished{false};
    std::thread watchdog([&runner, &finished] {
        long long seen = -1;
        auto since = Clock::now();
        while (!finished.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            const long long now = runner.actionsRun();
            if (now != seen) {
                seen = now;
                since = Clock::now();
            } else if (Clock::now() - since > std::chrono::seconds(120)) {
                std::fprintf(stdout,
                             "gui_fuzz: FAILURE: no action finished for 120 s after %lld actions "
                             "(a modal loop or a hang); replay with --trace\n",
                             now);
                std::fflush(stdout);
                std::_Exit(3);
            }
        }
    });
    const auto finish = [&](int status) {
        finished = true;
        watchdog.join();
        return status;
    };

    if (parser.isSet(replayOption)) {
        std::uint64_t seed = 0;
        std::vector<FuzzAction> actions;
        if (!readList(parser.value(replayOption), seed, actions))
            return finish(2);
        const FuzzRunner::Result result = runner.replay(seed, actions);
        if (result.failure) {
            print(QStringLiteral("gui_fuzz: replay FAILS after %1 actions: %2")
                      .arg(result.failure->action)
                      .arg(result.failure->message));
            return finish(1);
        }
        print(QStringLiteral("gui_fuzz: replay of %1 actions passes").arg(actions.size()));
        return finish(0);
    }

    const bool seeded = parser.isSet(seedOption);
    const std::uint64_t firstSeed = seeded ? parser.value(seedOption).toULongLong()
                                           : std::uint64_t(QDateTime::currentMSecsSinceEpoch() % 1000000);
    if (parser.isSet(countOption)) {
        const int count = parser.value(countOption).toInt();
        const FuzzRunner::Result result = runner.generate(firstSeed, count);
        print(QStringLiteral("seed %1").arg(firstSeed));
        for (const FuzzAction& action : result.actions)
            print(action.toText());
        if (result.failure) {
            print(QStringLiteral("gui_fuzz: FAILURE after %1 actions: %2")
                      .arg(result.failure->action)
                      .arg(result.failure->message));
            return finish(1);
        }
        return finish(0);
    }

    const int seconds = parser.value(secondsOption).toInt();
    const int runs = parser.isSet(runsOption) ? parser.value(runsOption).toInt() : (seconds > 0 ? 0 : 1);
    const int perRun = std::max(1, parser.value(actionsOption).toInt());
    const Clock::time_point start = Clock::now();
    const std::optional<Clock::time_point> deadline =
        seconds > 0 ? std::optional<Clock::time_point>(start + std::chrono::seconds(seconds)) : std::nullopt;
    print(QStringLiteral("gui_fuzz: seeds from %1, %2 actions a run").arg(firstSeed).arg(perRun));
    long long total = 0;
    int done = 0;
    long long messages = 0;
    long long questions = 0;
    long long dialogs = 0;
    int mostSteps = 0;
    const bool keepGoing = parser.isSet(keepGoingOption);
    // Each kind of failure seen with --keep-going: the first seed, the action and the total before.
    QMap<QString, QString> kinds;
    int failures = 0;
    for (std::uint64_t seed = firstSeed; runs == 0 || done < runs; ++seed) {
        if (deadline && Clock::now() >= *deadline)
            break;
        const FuzzRunner::Result result = runner.generate(seed, perRun, deadline);
        total += static_cast<long long>(result.actions.size());
        ++done;
        messages += result.messages;
        questions += result.questions;
        dialogs += result.dialogs;
        mostSteps = std::max(mostSteps, result.mostSteps);
        if (result.failure && keepGoing) {
            ++failures;
            const QString kind = FuzzRunner::kindOf(result.failure->message);
            print(QStringLiteral("gui_fuzz: seed %1 fails after %2 actions (%3 in all): %4")
                      .arg(seed)
                      .arg(result.failure->action)
                      .arg(total)
                      .arg(result.failure->message));
            if (!kinds.contains(kind))
                kinds[kind] = QStringLiteral("first in seed %1 after %2 actions, %3 in all")
                                  .arg(seed)
                                  .arg(result.failure->action)
                                  .arg(total);
        } else if (result.failure) {
            report(runner, seed, result, shrinkSeconds, outPath);
            print(QStringLiteral("gui_fuzz: %1 actions in %2 runs before the failure").arg(total).arg(done));
            return finish(1);
        }
    }
    if (keepGoing && failures > 0) {
        print(QStringLiteral("gui_fuzz: %1 of %2 runs failed, %3 actions; kinds of failure:")
                  .arg(failures)
                  .arg(done)
                  .arg(total));
        for (auto it = kinds.begin(); it != kinds.end(); ++it)
            print(QStringLiteral("  %1\n    %2").arg(it.key(), it.value()));
        return finish(1);
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    print(QStringLiteral(
              "gui_fuzz: %1 actions in %2 runs (seeds %3 to %4) without a failure, %5 s; %6 messages, "
              "%7 questions, %8 dialogs answered; up to %9 steps in a channel")
              .arg(total)
              .arg(done)
              .arg(firstSeed)
              .arg(firstSeed + std::uint64_t(std::max(done, 1)) - 1)
              .arg(elapsed, 0, 'f', 1)
              .arg(messages)
              .arg(questions)
              .arg(dialogs)
              .arg(mostSteps));
    const QMap<QString, int>& warnings = app.warnings();
    for (auto it = warnings.begin(); it != warnings.end(); ++it)
        print(QStringLiteral("  Qt warning (%1x): %2").arg(it.value()).arg(it.key()));
    return finish(0);
}
