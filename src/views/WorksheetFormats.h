#pragma once

#include "model/StepRules.h"
#include "model/StepWords.h"

#include <QString>

struct AppSettings;

// The worksheet's columns and the lines it shows. The formats, the step limit, the rules that accept
// or refuse a number (StepRules) and the headers and cell words (StepWords) are the core's, named
// here too so that the worksheet and the graph read them as their own.
namespace WorksheetFormats {

// The cell columns of a channel's grid.
enum Column {
    LineColumn = 0,
    TimeColumn = 1,
    ValueColumn = 2,
    IntervalColumn = 3,
    TransitionColumn = 4,
    LoadColumn = 5,
    Load2Column = 6,
    FrequencyColumn = 7,
    Transition2Column = 8,
    ColumnCount = 9
};

using StepRules::acceptedInterval;
using StepRules::acceptedValue;
using StepRules::IntervalBounds;
using StepRules::intervalBounds;
using StepRules::stepLimit;
using StepRules::timeTextFormat;
using StepRules::valueFormat;

// The lines a channel's grid shows: the instrument's 255 under Hardware Control, else 1024.
int shownLines(const AppSettings& settings);

using StepWords::intervalHeader;
using StepWords::load2Text;
using StepWords::loadText;
using StepWords::timeHeader;
using StepWords::timeUnitText;
using StepWords::transitionText;
using StepWords::valueHeader;
using StepWords::valueUnitText;
using StepWords::valueWord;

} // namespace WorksheetFormats
