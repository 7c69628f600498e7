#pragma once

#include "run/RunObserver.h"

#include <QStringList>

// Shows a run that no window or command shows, or the end of a run that ends with the program:
// nobody is there to ask, so the log's failures go to the standard error, and readings kept in
// memory that their folder cannot take go to the rescue folders in turn.
class UnattendedRun : public RunObserver {
public:
    explicit UnattendedRun(QStringList rescueFolders = {}) : rescueFolders_(std::move(rescueFolders)) {}

    void logFinished(const QString& path, bool ok) override;
    void logNotCreated(const QString& path, const QString& reason) override;
    void logWriteFailed(const QString& path, const QString& reason) override;
    QString logRescuePath(const QString& path, const QString& reason) override;

private:
    QStringList rescueFolders_;
    bool rescued_ = false;
};
