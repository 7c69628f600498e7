#pragma once

#include <QString>

struct AppSettings;
class CMainDoc;

// The steps of a document as comma-separated columns for a spreadsheet, in the form the import reads
// back unchanged. The header names each column in the worksheet's words, the value column with the
// channel's mode (and constant voltage) and the interval column with the control method:
//   Current[A] (CCCV 12.000 V),Interval[s] (Software Control),Transition,Load
// then one row a step: the set value and the interval as the document holds them, Step or Ramp, on or
// off. Under Hardware Control, which runs every step as a step with the load on, the transition and
// load columns are left out. All channels side by side take a group of columns each, its headers
// starting with the channel ("CH1 Current[A] (CC)"); a channel with fewer steps leaves its cells empty
// below its last step. Lines end in CR LF.
namespace CsvExport {

QString channelText(const CMainDoc& document, int channel, const AppSettings& settings);
QString allChannelsText(const CMainDoc& document, const AppSettings& settings);

} // namespace CsvExport
