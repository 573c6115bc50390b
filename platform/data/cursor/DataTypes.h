#pragma once
// Small value types shared by the dataset layer: cursor states, lock types and field types.

// dsInactive: closed. dsBrowse: open, rows read. dsEdit: the current row is being changed in the
// cursor's edit buffer. dsInsert: a new row lives in the edit buffer and is not yet among the rows.
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

// Only ltReadOnly changes behaviour: a cursor opened with it refuses Edit, Insert, Append and Delete.
enum TLockType { ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic };

// The stored kind of a column or parameter. Values keep the matching QVariant type:
// ftInteger int, ftLargeint qlonglong, ftFloat double, ftBoolean bool, ftString/ftWideString
// QString, ftBlob QByteArray, ftDate QDate, ftDateTime QDateTime; ftUnknown when a column held
// nothing but NULLs.
enum TFieldType {
  ftUnknown,
  ftString,
  ftWideString,
  ftInteger,
  ftLargeint,
  ftFloat,
  ftBoolean,
  ftBlob,
  ftDate,
  ftDateTime
};

enum TParameterDirection { pdInput, pdOutput, pdInputOutput, pdReturnValue };
