#pragma once
// The five values the host passes on the command line. Written once at start-up (ParseCommandLine),
// read when the connection string is built; ExtraData is kept and read by nothing.
#include <QString>

struct TConnectionSettings {
  QString SqlServer;  // "/RepSqlServer"
  QString DBSource;   // "/RepDBSource"
  QString UserLogin;  // "/RepUserLogin"
  QString UserPass;   // "/RepUserPass"
  QString ExtraData;  // "/RepExtraData"
};

// The process-wide record.
extern TConnectionSettings ConnectionSettings;
