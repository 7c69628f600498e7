#pragma once

#include <QString>

class ResourceModule;

// The texts of the GPIB adapters' failures. The string-table texts are read from the resource
// module when they are shown; a code without an entry of its own is shown with the adapter's
// "error code %d" text. The Ratoc texts are the program's own and do not come from the table.
namespace GpibMessages {

// Shown by the Interface and Contec adapters when their library cannot be loaded.
constexpr int noGpibSetUpId = 513;

QString nationalInstruments(const ResourceModule& strings, int code);
QString interfaceBoard(const ResourceModule& strings, int code);
QString contec(const ResourceModule& strings, int code);
// Empty for a code outside 1..11 (nothing is shown).
QString ratoc(int code, bool usb);

// The Ratoc adapters' own messages during Open.
QString ratocUnsupportedSystem();
QString ratocNotSetUp();

} // namespace GpibMessages
