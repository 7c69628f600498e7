#pragma once

#include <QString>
#include <optional>

// The graph view's stored settings (section "Graph"). The axis limits are kept as the texts the
// view holds; a colour is an RGB colour number (red in the low byte, blue in the third), and none
// means the view keeps its built-in colour.
struct GraphSettings {
    int bLineY = 1;
    int bTimeMax = 1;
    int bValueMax = 1;
    int bValueMin = 1;
    QString TimeMax = QStringLiteral("10.0");
    QString TimeMin = QStringLiteral("0.0");
    QString ValueMax = QStringLiteral("8.0");
    QString ValueMin = QStringLiteral("0.0");
    std::optional<long> colorArea;
    std::optional<long> colorLine;
    std::optional<long> colorAxis;
    std::optional<long> colorLineY;
    std::optional<long> colorLineCap;
};

// The normal-position rectangle of a window, as stored in the profile.
struct WindowRect {
    int Top = 0;
    int Left = 0;
    int Bottom = 500;
    int Right = 500;
};
