#include "FuzzRunner.h"

#include "FuzzApplication.h"
#include "FuzzGenerator.h"
#include "FuzzInvariants.h"
#include "FuzzSession.h"
#include "model/CMainDoc.h"

#include <QRegularExpression>
#include <exception>

namespace {

QString exceptionText(const std::exception& exception)
{
    return QStringLiteral("exception: %1 (%2) from a call of the harness")
        .arg(QString::fromLocal8Bit(exception.what()), QLatin1String(typeid(exception).name()));
}

QString escapedException()
{
    const QString escaped = static_cast<FuzzApplication*>(QCoreApplication::instance())->takeEscaped();
    return escaped.isEmpty() ? QString() : QStringLiteral("exception: ") + escaped;
}

} // namespace

FuzzRunner::Result FuzzRunner::generate(std::uint64_t seed, int count,
                                        std::optional<Clock::time_point> deadline)
{
    return run(seed, nullptr, count, deadline);
}

FuzzRunner::Result FuzzRunner::replay(std::uint64_t seed, const std::vector<FuzzAction>& actions)
{
    return run(seed, &actions, int(actions.size()), std::nullopt);
}

FuzzRunner::Result FuzzRunner::run(std::uint64_t seed, const std::vector<FuzzAction>* given, int count,
                                   std::optional<Clock::time_point> deadline)
{
    Result result;
    const FuzzSetup setup = FuzzSetup::fromSeed(seed, examplesFolder_);
    result.setup = setup.describe();
    FuzzSession session(setup);
    const QString started = session.start();
    if (!started.isEmpty()) {
        result.failure = Failure{0, QStringLiteral("start: ") + started};
        return result;
    }
    FuzzInvariants invariants;
    const auto checkAfter = [&](int index) -> bool {
        QString failure = escapedException();
        if (failure.isEmpty())
            failure = invariants.check(session);
        if (CMainDoc* document = session.document()) {
            for (int c = 0; c < kChannelCount; ++c)
                result.mostSteps = std::max(result.mostSteps, document->channel(c).count);
        }
        if (failure.isEmpty())
            return true;
        result.failure = Failure{index, failure};
        return false;
    };
    if (checkAfter(0)) {
        FuzzGenerator generator(seed);
        for (int i = 0; i < count; ++i) {
            if (deadline && Clock::now() >= *deadline)
                break;
            FuzzAction action = given ? (*given)[size_t(i)] : generator.next(session);
            if (trace_)
                trace_(QStringLiteral("%1: %2").arg(i + 1).arg(action.toText()));
            QString failure;
            try {
                session.apply(action);
            } catch (const std::exception& exception) {
                failure = exceptionText(exception);
            } catch (...) {
                failure = QStringLiteral("exception: of unknown type from a call of the harness");
            }
            // A generated action keeps its answers' seed only when something was asked.
            if (!given && !session.shell().asked())
                action.answers = 0;
            result.actions.push_back(action);
            ++actionsRun_;
            if (trace_)
                trace_(QStringLiteral("    %1").arg(session.stateText()));
            if (!failure.isEmpty()) {
                result.failure = Failure{i + 1, failure};
                break;
            }
            if (!checkAfter(i + 1))
                break;
        }
    }
    result.messages = session.shell().messages();
    result.questions = session.shell().questions();
    result.dialogs = session.shell().dialogs();
    return result;
}

QString FuzzRunner::kindOf(const QString& message)
{
    static const QRegularExpression numbers(QStringLiteral("-?[0-9]+(\\.[0-9]+)?"));
    QString kind = message;
    kind.replace(numbers, QStringLiteral("#"));
    return kind;
}

std::vector<FuzzAction> FuzzRunner::shrink(std::uint64_t seed, std::vector<FuzzAction> actions,
                                           const Failure& failure, Clock::duration budget)
{
    const Clock::time_point end = Clock::now() + budget;
    const QString kind = kindOf(failure.message);
    actions.resize(std::min(actions.size(), size_t(std::max(failure.action, 0))));
    // Drops ever smaller chunks while the rest still fails the same way, cut after the failing action.
    size_t chunk = std::max<size_t>(actions.size() / 2, 1);
    while (Clock::now() < end) {
        bool dropped = false;
        for (size_t start = 0; start < actions.size() && Clock::now() < end;) {
            std::vector<FuzzAction> candidate(actions.begin(), actions.begin() + long(start));
            candidate.insert(candidate.end(), actions.begin() + long(std::min(actions.size(), start + chunk)),
                             actions.end());
            const Result result = replay(seed, candidate);
            if (result.failure && kindOf(result.failure->message) == kind) {
                candidate.resize(size_t(std::max(result.failure->action, 0)));
                actions = std::move(candidate);
                dropped = true;
            } else {
                start += chunk;
            }
        }
        if (chunk == 1 && !dropped)
            break;
        if (!dropped)
            chunk = std::max<size_t>(chunk / 2, 1);
    }
    return actions;
}
