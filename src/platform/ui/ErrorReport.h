#pragma once

// The report of an error that ends a run.

#include <string>

namespace ui {

// The report's text: "Exception <typeName> in module <module> at <address>.",
// a line break, the message with a "." added when it lacks one, a line break.
// The address is printed as eight or more upper-case hex digits.
std::string ErrorReportText(const std::string& typeName, const std::string& message, unsigned long long address);

// Shows the report in a box captioned "Application Error" with a stop icon
// (and on standard error, as every box). `address` is where the failing code
// lies (0 when unknown).
void ShowErrorReport(const std::string& typeName, const std::string& message, unsigned long long address = 0);

} // namespace ui
