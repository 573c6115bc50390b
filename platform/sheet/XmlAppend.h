#pragma once
// Appending XML text we write by hand, without a DOM (sheet data, shared strings): attribute escaping
// and numbers. Reading and writing parts through pugixml is XmlDocument.h.
#include <cstdint>
#include <string>
#include <string_view>

// Appends Text escaped for an attribute value; tab, line feed and carriage return as character references
// (readers would turn them into blanks), other control characters, which XML 1.0 cannot carry, left out.
// Cell texts go through AppendCellText (CellText.h) instead.
void AppendXmlEscaped(std::string& Out, std::string_view Text);
// The shortest text that reads back as the same double.
void AppendNumber(std::string& Out, double Value);
void AppendInt(std::string& Out, int64_t Value);
// True when Text needs xml:space="preserve" to keep its spaces (leading or trailing blank, tab or newline).
bool NeedsSpacePreserve(std::string_view Text);
