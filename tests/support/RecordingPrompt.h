#pragma once

#include "ui/UserPrompt.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

// A UserPrompt that keeps every text it is shown, answers questions from a script (No when the
// script is empty) and counts the wait-cursor calls, so tests can assert the exact messages.
class RecordingPrompt : public UserPrompt {
public:
    struct Entry {
        QString text;
        Icon icon;
        bool question;
    };

    void showMessage(const QString& text, Icon icon = Icon::None) override
    {
        entries.push_back({text, icon, false});
        if (whileShown)
            whileShown(text);
    }
    bool askYesNo(const QString& text, Icon icon = Icon::Information) override
    {
        entries.push_back({text, icon, true});
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void setBusy(bool busy) override
    {
        busyDepth += busy ? 1 : -1;
        if (busy)
            ++busyCount;
    }

    // The texts in the order they were shown.
    QStringList texts() const
    {
        QStringList list;
        for (const Entry& entry : entries)
            list << entry.text;
        return list;
    }
    void clear() { entries.clear(); }

    std::vector<Entry> entries;
    std::deque<bool> answers;
    // Runs while a message is shown (a test may show it in a real message box meanwhile).
    std::function<void(const QString&)> whileShown;
    int busyDepth = 0; // 0 when every busy-on was matched by a busy-off
    int busyCount = 0;
};
