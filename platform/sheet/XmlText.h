#pragma once
// Fast appenders for the XML we write by hand (sheet data, shared strings): escaping and numbers.
#include <cstdint>
#include <string>
#include <string_view>

// Appends Text escaped for element content or an attribute value; characters XML 1.0 cannot carry
// (control characters other than tab, line feed and carriage return) are written as _xHHHH_, the
// escape the spreadsheet formats use.
void AppendXmlEscaped(std::string& Out, std::string_view Text);
// The shortest text that reads back as the same double.
void AppendNumber(std::string& Out, double Value);
void AppendInt(std::string& Out, int64_t Value);
// True when Text needs xml:space="preserve" to keep its spaces (leading or trailing blank, tab or newline).
bool NeedsSpacePreserve(std::string_view Text);
