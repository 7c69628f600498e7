#include "ScpiHeaderPattern.h"

ScpiHeaderPattern::ScpiHeaderPattern(const QString& pattern)
{
    QString text = pattern;
    if (text.endsWith(QLatin1Char('?'))) {
        query_ = true;
        text.chop(1);
    }
    for (QString part : text.split(QLatin1Char(':'))) {
        Node node;
        if (part.startsWith(QLatin1Char('[')) && part.endsWith(QLatin1Char(']'))) {
            node.optional = true;
            part = part.mid(1, part.size() - 2);
        }
        if (part.endsWith(QLatin1Char('#'))) {
            node.suffix = true;
            part.chop(1);
        }
        for (const QChar c : part) {
            if (c.isLower())
                break;
            node.shortForm += c;
        }
        node.longForm = part.toUpper();
        nodes_.push_back(node);
    }
}

bool ScpiHeaderPattern::matches(const QStringList& nodes, bool query, int* suffix) const
{
    if (query != query_)
        return false;
    int found = 1;
    if (!matchFrom(0, nodes, 0, &found))
        return false;
    if (suffix)
        *suffix = found;
    return true;
}

bool ScpiHeaderPattern::matchFrom(std::size_t patternIndex, const QStringList& nodes, int nodeIndex,
                                  int* suffix) const
{
    if (patternIndex == nodes_.size())
        return nodeIndex == nodes.size();
    const Node& node = nodes_[patternIndex];
    if (nodeIndex < nodes.size() && nodeMatches(node, nodes.at(nodeIndex), suffix) &&
        matchFrom(patternIndex + 1, nodes, nodeIndex + 1, suffix))
        return true;
    return node.optional && matchFrom(patternIndex + 1, nodes, nodeIndex, suffix);
}

bool ScpiHeaderPattern::nodeMatches(const Node& node, const QString& typed, int* suffix)
{
    QString mnemonic = typed.toUpper();
    if (node.suffix) {
        qsizetype digits = 0;
        while (digits < mnemonic.size() && mnemonic.at(mnemonic.size() - 1 - digits).isDigit())
            ++digits;
        if (digits > 0) {
            bool ok = false;
            const int value = mnemonic.right(digits).toInt(&ok);
            // A suffix too long for an int still names the node; it is simply out of range.
            *suffix = ok ? value : -1;
            mnemonic.chop(digits);
        } else {
            *suffix = 1;
        }
    }
    return mnemonic == node.shortForm || mnemonic == node.longForm;
}
