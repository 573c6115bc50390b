#pragma once
// The four values of a connection, and the reading of the connection string that carries them.
//
// The program writes exactly
//   Provider=SQLOLEDB.1;Persist Security Info=True;Password=P;User ID=L;Initial Catalog=D;Data Source=S
// with the values unescaped. Parse reads that layout from the right, so that no value can change
// another key: S is the text after the LAST ";Data Source="; D the text after the last
// ";Initial Catalog=" before it; L the text after the last ";User ID=" before that; P everything
// between "Password=" and that ";User ID=". So the password may hold any text (";Initial Catalog=x"
// stays part of it); the server may not hold ";Data Source=", the database not ";Initial Catalog=",
// the login not ";User ID=". A string without the fixed "Provider=SQLOLEDB.1;..." opening is read as
// plain "Key=Value;Key=Value" pairs, keys without regard to case (later keys win).
//   TConnectionParams::Parse(u"...;Initial Catalog=/srv/demo.db;Data Source=sqlite"_s).Database
#include <QString>

struct TConnectionParams {
  QString Server;    // "Data Source"; "sqlite" (any case) picks the embedded engine
  QString Database;  // "Initial Catalog"; for sqlite the database file's path
  QString Login;     // "User ID"
  QString Password;  // "Password"

  static TConnectionParams Parse(const QString& ConnectionString);
  bool IsSqlite() const;
  friend bool operator==(const TConnectionParams&, const TConnectionParams&) = default;
};
