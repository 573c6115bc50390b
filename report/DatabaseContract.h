#pragma once
// What the program sends the report database and what it relies on getting back.
// The record-ID arrays the report procedure takes are coded in platform/base/IdArray.h.
#include <QStringView>

#include <array>
#include <cstdint>

class TADOStoredProc;

namespace DatabaseContract {

// One lookup query per tree, sent as SQL text. Each result has at least "id", "fname" and
// "parentid" (-1 at top level), names matched without regard to case: the trees name them as below.
inline constexpr QStringView LookupTypesSql = u"exec rprt_com_get_loockups 'tMiTypes'";
inline constexpr QStringView LookupStatesSql = u"exec rprt_com_get_loockups 'MMState'";
inline constexpr QStringView LookupSubdivisionsSql = u"exec rprt_com_get_loockups 'tSubDivs'";

inline constexpr QStringView LookupKeyField = u"Id";
inline constexpr QStringView LookupCaptionField = u"fname";
inline constexpr QStringView LookupParentField = u"parentid";
// The types tree has always spelt its parent field so; the filters it builds carry that spelling.
inline constexpr QStringView LookupTypesParentField = u"parentId";
inline constexpr QStringView LookupRootParent = u"-1";

inline constexpr QStringView ReportProcedure = u"rprt_get_PPR_box";

enum class TParameterKind { LongBinary, Text };

struct TReportParameter {
  QStringView Name;
  TParameterKind Kind;
  std::int32_t DeclaredSize;
};

// The report procedure's four input parameters, in order.
inline constexpr std::array<TReportParameter, 4> ReportParameters{{
    {u"@MiTypesArray", TParameterKind::LongBinary, 2147483647},
    {u"@MMStateArray", TParameterKind::LongBinary, 2147483647},
    {u"@SubDivsArray", TParameterKind::LongBinary, 2147483647},
    {u"@year", TParameterKind::Text, 4},
}};

// The columns of the report result that the schedule reads, by name; TReportColumn indexes them.
enum TReportColumn {
  cVrfDate,
  cVrfInterval,
  cIdN,
  cCA,
  cVrfType,
  cSid,
  cSub,
  cMIname,
  cMItype,
  cLocN,
  cLimits,
  cPrecisClass,
  cVrfDateF,
  cRemPeriod,
  cRemName,
  cReportColumnCount
};
inline constexpr std::array<QStringView, cReportColumnCount> ReportColumns{
    u"VrfDate", u"VrfInterval", u"IdN",    u"CA",          u"VrfType",  u"Sid",       u"Sub",    u"MIname",
    u"MItype",  u"LocN",        u"Limits", u"PrecisClass", u"VrfDateF", u"RemPeriod", u"RemName"};

// The schedule groups the rows by subdivision: the result is sorted by this name (matched without
// regard to case, so it finds "Sub"), and a result without it fails naming it so.
inline constexpr QStringView ReportSortField = u"sub";

// Names Proc the report procedure and declares its parameters as above, in order; no values are set.
void DeclareReportProcedure(TADOStoredProc& Proc);

}  // namespace DatabaseContract
