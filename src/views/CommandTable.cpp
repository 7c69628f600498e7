#include "views/CommandTable.h"

void CommandTable::add(int id, Action run, Rule enabled, Rule checked)
{
    entries_[id] = Entry{std::move(run), std::move(enabled), std::move(checked)};
}

void CommandTable::setAction(int id, Action run)
{
    entries_[id].run = std::move(run);
}

const CommandTable::Entry* CommandTable::find(int id) const
{
    const auto it = entries_.find(id);
    return it == entries_.end() ? nullptr : &it->second;
}
