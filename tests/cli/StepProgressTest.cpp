#include "cli/StepProgress.h"

#include "QtPrinters.h"
#include "cli/CliPrompt.h"

#include <QTextStream>
#include <gtest/gtest.h>

TEST(StepProgress, RewritesOneLineOnATerminalAndEndsItWithTheChannel)
{
    QString text;
    QTextStream out(&text);
    StepProgress progress(out, true);
    for (int step = 1; step <= 3; ++step)
        progress.step(0, step, 3);
    progress.step(4, 1, 1);
    progress.finish();
    out.flush();
    EXPECT_EQ(text, QStringLiteral("\rChannel 1: step 1 of 3\x1b[K\rChannel 1: step 2 of 3\x1b[K"
                                   "\rChannel 1: step 3 of 3\x1b[K\n\rChannel 5: step 1 of 1\x1b[K\n"));
}

TEST(StepProgress, AMessageOnATerminalStartsOnItsOwnLine)
{
    // On a terminal the progress and the messages share one screen.
    QString screen;
    QTextStream stream(&screen);
    StepProgress progress(stream, true);
    CliPrompt prompt(stream);
    prompt.setBeforeMessage([&] { progress.finish(); });
    progress.step(1, 2, 4);
    prompt.showMessage(QStringLiteral("An error occurred. -222,\"Data out of range\""));
    progress.finish();
    stream.flush();
    EXPECT_EQ(screen, QStringLiteral(
                          "\rChannel 2: step 2 of 4\x1b[K\nAn error occurred. -222,\"Data out of range\"\n"));
}

TEST(StepProgress, WritesPlainLinesElsewhere)
{
    QString text;
    QTextStream out(&text);
    StepProgress progress(out, false);
    progress.step(2, 1, 2);
    progress.step(2, 2, 2);
    progress.finish();
    out.flush();
    EXPECT_EQ(text, QStringLiteral("Channel 3: step 1 of 2\nChannel 3: step 2 of 2\n"));
}
