// The identification record a host reads from the executable without running it. Windows builds carry
// it in the version resource (ppr-schedule.rc); here it lives in the ELF section ".ppr_version" as
// UTF-8 lines "Key=Value", ended by a NUL:  readelf -p .ppr_version ppr-schedule
// or:  objcopy -O binary --only-section=.ppr_version ppr-schedule record.txt
#include "Version.h"

#if defined(__ELF__)
extern "C" {
[[gnu::used, gnu::retain, gnu::section(".ppr_version")]] const char PprVersionRecord[] =
    "Language=0419\n"
    "CodePage=1251\n"
    "FileDescription=График ППР\n"
    "InternalName=График ППР\n"
    "FileVersion=" PPR_VERSION
    "\n"
    "ReportName=Form11.1\n"
    "ReportDescription=График ППР\n"
    "ReportVersion=" PPR_VERSION
    "\n"
    "ReportParametersEntity=\n"
    "IsMultiParameter=false\n";
}
#endif
