#pragma once

#include "FakeTime.h"
#include "KdrxSimulator.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

// A simulator on a fake clock; ask() sends one line and gives its reply, or "<none>".
class SimulatorFixture : public ::testing::Test {
protected:
    QString ask(const QString& line)
    {
        const QStringList replies = simulator.handleLine(line);
        if (replies.isEmpty())
            return QStringLiteral("<none>");
        EXPECT_EQ(replies.size(), 1) << qPrintable(line);
        return replies.first();
    }
    // Sends a command and expects it to be accepted without a reply and without an error.
    void send(const QString& line)
    {
        EXPECT_EQ(ask(line), QStringLiteral("<none>")) << qPrintable(line);
        EXPECT_EQ(simulator.errorQueue(), QStringList()) << qPrintable(line);
    }
    QString nextError() { return ask(QStringLiteral("SYST:ERR?")); }

    FakeTime time;
    KdrxSimulator simulator{time};
};
