#include "views/CommandRouter.h"

#include "ui/ResourceModule.h"

#include <QAction>

CommandRouter::CommandRouter(const ResourceModule& module, QObject* parent) : QObject(parent), module_(module)
{
}

CommandRouter::~CommandRouter() = default;

QAction* CommandRouter::action(int id)
{
    if (QAction* existing = findAction(id))
        return existing;
    auto* created = new QAction(this);
    created->setData(id);
    const QString entry = module_.string(id);
    created->setStatusTip(promptPart(entry));
    const QString tip = tooltipPart(entry);
    if (!tip.isEmpty())
        created->setToolTip(tip);
    created->setIconVisibleInMenu(false);
    created->setEnabled(isEnabled(id));
    connect(created, &QAction::triggered, this, [this, id] { trigger(id); });
    actions_[id] = created;
    return created;
}

QAction* CommandRouter::findAction(int id) const
{
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

const CommandTable::Entry* CommandRouter::route(int id) const
{
    if (view_) {
        if (const CommandTable::Entry* entry = view_->find(id))
            return entry;
    }
    return frame_ ? frame_->find(id) : nullptr;
}

namespace {

// A command runs only when a table gives it an action and its rule allows it.
bool enabledEntry(const CommandTable::Entry* entry)
{
    return entry && entry->run && (!entry->enabled || entry->enabled());
}

} // namespace

bool CommandRouter::trigger(int id)
{
    const CommandTable::Entry* entry = route(id);
    if (!enabledEntry(entry))
        return false;
    if (beforeCommand_) {
        beforeCommand_(id);
        entry = route(id);
        if (!enabledEntry(entry))
            return false;
    }
    // Copy the action: running it may replace the table that holds it (a view closing itself).
    const CommandTable::Action run = entry->run;
    run();
    emit commandFinished(id);
    return true;
}

bool CommandRouter::hasAction(int id) const
{
    const CommandTable::Entry* entry = route(id);
    return entry && entry->run;
}

bool CommandRouter::isEnabled(int id) const
{
    return enabledEntry(route(id));
}

bool CommandRouter::isChecked(int id) const
{
    const CommandTable::Entry* entry = route(id);
    return entry && entry->checked && entry->checked();
}

void CommandRouter::updateActions()
{
    for (const auto& [id, action] : actions_) {
        const CommandTable::Entry* entry = route(id);
        action->setEnabled(enabledEntry(entry));
        const bool checkable = entry && entry->checked;
        action->setCheckable(checkable);
        if (checkable)
            action->setChecked(entry->checked());
    }
}

QString CommandRouter::promptPart(const QString& entry)
{
    return entry.section(QLatin1Char('\n'), 0, 0);
}

QString CommandRouter::tooltipPart(const QString& entry)
{
    const int newline = entry.indexOf(QLatin1Char('\n'));
    return newline < 0 ? QString() : entry.mid(newline + 1);
}
