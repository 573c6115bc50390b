#pragma once
// What the program sends the report database and what it relies on getting back.
#include <QByteArray>
#include <QStringView>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace DatabaseContract {

// One lookup query per tree, sent as SQL text. Each result has at least "id", "fname" and
// "parentid" (-1 at top level), names matched without regard to case.
inline constexpr QStringView LookupTypesSql = u"exec rprt_com_get_loockups 'tMiTypes'";
inline constexpr QStringView LookupStatesSql = u"exec rprt_com_get_loockups 'MMState'";
inline constexpr QStringView LookupSubdivisionsSql = u"exec rprt_com_get_loockups 'tSubDivs'";

inline constexpr QStringView LookupKeyField = u"id";
inline constexpr QStringView LookupCaptionField = u"fname";
inline constexpr QStringView LookupParentField = u"parentid";
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

// The columns of the report result that the schedule reads.
inline constexpr std::array<QStringView, 15> ReportColumns{
    u"VrfDate", u"VrfInterval", u"IdN", u"CA", u"VrfType", u"Sid", u"Sub", u"MIname",
    u"MItype", u"LocN", u"Limits", u"PrecisClass", u"VrfDateF", u"RemPeriod", u"RemName"};

}  // namespace DatabaseContract

// The binary list of record IDs sent for one tree: 4 bytes per ID, signed two's complement, most
// significant byte first; no header, count or terminator.
//   EncodeIdArray({5, 258}) == "\x00\x00\x00\x05\x00\x00\x01\x02"
QByteArray EncodeIdArray(std::span<const std::int32_t> Ids);
// The IDs of an array; a trailing part shorter than 4 bytes is ignored.
std::vector<std::int32_t> DecodeIdArray(const QByteArray& Array);
