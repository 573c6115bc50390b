#include "app/ConnectionString.h"

QString BuildConnectionString(const TConnectionSettings& Settings) {
  return QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=True;Password=") + Settings.UserPass +
         QStringLiteral(";") + QStringLiteral("User ID=") + Settings.UserLogin + QStringLiteral(";") +
         QStringLiteral("Initial Catalog=") + Settings.DBSource + QStringLiteral(";") + QStringLiteral("Data Source=") +
         Settings.SqlServer;
}
