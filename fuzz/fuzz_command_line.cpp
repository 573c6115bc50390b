// The host's command line: ReadCommandLine over any text, and the argv rebuild over any arguments.
// When the arguments are the five switches each followed by its value, and no value holds a switch
// name, reading the rebuilt text must give back exactly the values passed.
#include "app/PluginCore.h"
#include "fuzz/FuzzInput.h"

#include <array>
#include <cstdlib>

namespace {

const std::array<QString, 5> kSwitchNames{QStringLiteral("/RepSqlServer"), QStringLiteral("/RepDBSource"),
                                          QStringLiteral("/RepUserLogin"), QStringLiteral("/RepUserPass"),
                                          QStringLiteral("/RepExtraData")};

bool HoldsSwitchName(const QString& Text) {
  for (const QString& name : kSwitchNames)
    if (Text.contains(name)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const TConnectionSettings direct = ReadCommandLine(FuzzText(Data, Size));
  (void)IsParameterListComplete(direct);

  // The bytes cut at NUL: argv[0], then values; the switches are put in between as a host does.
  const QStringList parts = FuzzTexts(Data, Size);
  (void)ReadCommandLine(RebuildCommandLine(parts));
  QStringList arguments{parts.value(0)};
  bool plain = !HoldsSwitchName(parts.value(0));
  for (int i = 0; i < 5; ++i) {
    arguments << kSwitchNames[static_cast<size_t>(i)] << parts.value(i + 1);
    plain = plain && !HoldsSwitchName(parts.value(i + 1));
  }
  const TConnectionSettings back = ReadCommandLine(RebuildCommandLine(arguments));
  if (plain &&
      (back.SqlServer != parts.value(1) || back.DBSource != parts.value(2) || back.UserLogin != parts.value(3) ||
       back.UserPass != parts.value(4) || back.ExtraData != parts.value(5)))
    std::abort();  // a value passed as one argument did not come back as it was
  return 0;
}
