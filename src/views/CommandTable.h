#pragma once

#include <functional>
#include <map>

// The commands one window handles: for each command identifier what it does, when it is enabled and
// when its menu item shows a check mark. The main frame, the worksheet and the graph each keep one;
// the CommandRouter asks them in turn.
class CommandTable {
public:
    using Action = std::function<void()>;
    using Rule = std::function<bool()>;

    struct Entry {
        Action run;   // empty: defined but nothing is plugged in yet; the command shows disabled
        Rule enabled; // empty: always enabled
        Rule checked; // empty: the item never shows a check mark
    };

    // Defines (or redefines) a command.
    void add(int id, Action run, Rule enabled = {}, Rule checked = {});
    // Gives a defined command its action, keeping its rules; defines it when it is new. This is how
    // the dialogs of the Sequence menu are plugged in.
    void setAction(int id, Action run);
    void remove(int id) { entries_.erase(id); }

    const Entry* find(int id) const;
    bool handles(int id) const { return find(id) != nullptr; }

private:
    std::map<int, Entry> entries_;
};
