#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The header of one command of the instrument, written the SCPI way: the short form in capitals,
// the rest of the long form in small letters, optional nodes in brackets and "#" for a numeric
// suffix, e.g. "[SOURce]:CURRent:RANGe" or "STATus:QUEStionable:INSTrument:ISUMmary#:CONDition?".
// A typed node matches its short or its long form, whatever the case.
class ScpiHeaderPattern {
public:
    explicit ScpiHeaderPattern(const QString& pattern);

    bool isQuery() const { return query_; }
    // Whether the typed nodes name this header; *suffix receives the numeric suffix (1 when it
    // is left out).
    bool matches(const QStringList& nodes, bool query, int* suffix) const;

private:
    struct Node {
        QString shortForm;
        QString longForm;
        bool optional = false;
        bool suffix = false;
    };

    bool matchFrom(std::size_t patternIndex, const QStringList& nodes, int nodeIndex, int* suffix) const;
    static bool nodeMatches(const Node& node, const QString& typed, int* suffix);

    std::vector<Node> nodes_;
    bool query_ = false;
};
