#pragma once
// The OOXML package: the zip archive's entries in memory, read with libzip, and written as a new file
// without ever replacing one: under a temporary name in the target's folder, then renamed into place only
// when no file of that name exists. A failed write leaves nothing behind.
#include <QString>
#include <string>
#include <vector>

class TZipPackage {
public:
  // Reads every entry of Path; fails with a message naming the file when it cannot.
  static TZipPackage Read(const QString& Path);

  // The entry's bytes, or nullptr when the package has none of that name.
  const std::string* Part(const std::string& Name) const;
  // Replaces the entry's bytes, or adds the entry at the end.
  void SetPart(const std::string& Name, std::string Bytes);
  void RemovePart(const std::string& Name);
  const std::vector<std::string>& Names() const { return FNames; }

  // Writes the package as a new file at Path (see above).
  void WriteNew(const QString& Path) const;

private:
  std::vector<std::string> FNames;
  std::vector<std::string> FBytes;
};
