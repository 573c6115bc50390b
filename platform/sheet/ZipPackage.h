#pragma once
// The OOXML package: the zip archive's entries in memory, read with libzip, and written as a new file
// without ever replacing one: under a temporary name in the target's folder, then renamed into place only
// when no file of that name exists. A failed write leaves nothing behind.
//
// A large part need not stand whole in memory: given as a writer, it is made in pieces when the package is
// written, and deflated as the pieces come.
//
//   package.SetPart("xl/worksheets/sheet1.xml", [&](const TPartPut& Put) { sheet->Serialize(Put); });
//   package.WriteNew(u"/tmp/out.xlsx"_s);   // fails if /tmp/out.xlsx exists
#include <QString>
#include <functional>
#include <string>
#include <vector>

// Takes a piece of a part, the bytes that follow the pieces before it, and leaves the string empty.
using TPartPut = std::function<void(std::string& Piece)>;
// Makes a whole part, handing it to Put piece by piece.
using TPartWriter = std::function<void(const TPartPut& Put)>;

class TZipPackage {
public:
  // Reads every entry of Path; fails with a message naming the file when it cannot.
  static TZipPackage Read(const QString& Path);

  // The entry's bytes, or nullptr when the package has none of that name or makes it with a writer.
  const std::string* Part(const std::string& Name) const;
  // Replaces the entry, or adds it at the end.
  void SetPart(const std::string& Name, std::string Bytes);
  void SetPart(const std::string& Name, TPartWriter Writer);
  void RemovePart(const std::string& Name);

  // Writes the package as a new file at Path (see above). A writer's failure fails the write and
  // leaves nothing behind either.
  void WriteNew(const QString& Path) const;

private:
  struct TEntry {
    std::string Name;
    std::string Bytes;
    TPartWriter Writer;  // when set, the part's bytes come from it and Bytes is empty
  };
  TEntry& Entry(const std::string& Name);

  std::vector<TEntry> FEntries;
};
