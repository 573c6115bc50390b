#pragma once
// Cell text as the package stores it. XML 1.0 cannot carry every UTF-16 text: control characters other than
// tab, line feed and carriage return, U+FFFE, U+FFFF and lone surrogates are written with the spreadsheet
// formats' escape _xHHHH_, and a text that itself holds such an escape gets its underscore escaped
// (_x005F_xHHHH_), so that every reader shows exactly the text stored. A carriage return is written as a
// character reference: a raw one in element content reads back as a line feed.
//
// Inside the engine a text is UTF-8, a lone surrogate in its generalised three-byte form (ED A0 80 for
// U+D800), so that the text survives from the data to the file unchanged.
#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

// Text as the engine stores it.
QByteArray StoredText(const QString& Text);
// A stored text back as UTF-16.
QString TextFromStored(std::string_view Stored);
// Appends a stored text escaped for an element's content (<t>, <v>).
void AppendCellText(std::string& Out, std::string_view Stored);
// A text read from the package (XML references already resolved) with its _xHHHH_ escapes decoded.
std::string DecodeCellText(std::string_view Text);
