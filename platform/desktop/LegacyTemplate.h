#pragma once
// Binary (Excel 97-2003) templates: the engine reads only Office Open XML, so a binary .xlt
// (IsBinaryWorkbookFile, FileSignature.h) is converted with LibreOffice when it is installed.
#include <QString>
// The path of LibreOffice's soffice (or libreoffice), empty when it is not installed.
QString LibreOfficeProgram();
// Converts the binary template Path to .xltx in a new private temporary folder and returns the new
// file's path. Fails, naming the file, when LibreOffice is missing or the conversion gives no file.
QString ConvertLegacyTemplate(const QString& Path);
