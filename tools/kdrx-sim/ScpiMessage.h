#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One command or query of a message, its header resolved against the path of the unit before it.
struct ScpiUnit {
    // The unit as received, without surrounding white space.
    QString text;
    // Header mnemonics from the root, as typed ("INST", "NSEL"); a common command has one node
    // with its star ("*IDN").
    QStringList nodes;
    bool common = false;
    bool query = false;
    QStringList parameters;
    // The header is not well formed ("INST::NSEL", "VOLT$ 1").
    bool malformed = false;
};

// Splits a message line into its units. Units are joined with ";" and a unit that begins with
// ":" starts from the root; one that does not continues the path of the unit before it, as
// "INST:NSEL 1;COUP NONE" means "INST:COUP NONE". Common commands ("*CLS") leave the path alone.
// Empty units (a leading, doubled or trailing ";") are dropped.
class ScpiMessage {
public:
    static std::vector<ScpiUnit> split(const QString& line);

    // A decimal number: optional sign, digits with an optional point, optional exponent. White
    // space around it is allowed; anything else ("1.5A", "nan", "") is not a number.
    static std::optional<double> decimal(const QString& text);
    // A decimal number that is a whole number within the int range ("3", "+3", "3.0").
    static std::optional<int> integer(const QString& text);
};
