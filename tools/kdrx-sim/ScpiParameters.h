#pragma once

#include "ScpiErrorQueue.h"

#include <QString>
#include <QStringList>
#include <optional>

// The parameters of one command, read the way the instrument reads them: a reader that fails
// pushes the error its failure means into the queue and returns nothing.
class ScpiParameters {
public:
    ScpiParameters(const QStringList& texts, ScpiErrorQueue& errors) : texts_(texts), errors_(errors) {}

    const QStringList& texts() const { return texts_; }
    // Exactly count parameters, none of them empty: -109 for too few, -108 for too many.
    bool expect(int count);
    // A decimal number; -104 otherwise.
    std::optional<double> decimal(int index);
    // A whole number; -104 for no number, -222 for a fraction.
    std::optional<int> integer(int index);
    // 0, 1, OFF or ON in any case; -224 otherwise.
    std::optional<bool> boolean(int index);
    // The index of the parameter in keywords (given in capitals; any case matches), or -1 after -224.
    int keyword(int index, const QStringList& keywords);

private:
    const QStringList& texts_;
    ScpiErrorQueue& errors_;
};
