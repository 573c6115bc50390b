#pragma once
// One copy of each repeated text in a fetched column. A report result repeats captions, kinds and the
// instrument's own values on every row of the instrument, and a QString per value costs a heap block
// of its own (about 60 bytes for a short text): sharing equal texts roughly halves a large fetch.
//
//   TTextInterner column;
//   QString a = column.FromUtf8("ТО", 4), b = column.FromUtf8("ТО", 4);   // a and b share one buffer
//
// Interning is an optimisation only: the texts given back equal a fresh decode. A column whose texts
// hardly repeat stops being hashed after a while (only the previous value is still compared), so a
// column of unique values costs no more than before.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <string>

// Whether hashing a column's values still pays: judged after TrialLookups look-ups, a column whose values
// were found again less than one time in four is given up for good, and a table stops growing at
// MaxEntries distinct values. The fetch's decoder and the row store's text pool judge alike.
class TRepeatTrial {
public:
  static constexpr qsizetype TrialLookups = 4096;
  static constexpr qsizetype MaxEntries = 1 << 16;

  // False from the moment the column is given up; the caller then drops its table.
  bool Worthwhile() {
    if (!FGivenUp && FLookups >= TrialLookups && FHits * 4 < FLookups) FGivenUp = true;
    return !FGivenUp;
  }
  void Counted(bool Found) {
    ++FLookups;
    if (Found) ++FHits;
  }

private:
  qsizetype FLookups = 0;
  qsizetype FHits = 0;
  bool FGivenUp = false;
};

class TTextInterner {
public:
  // The text of Size bytes of UTF-8 at Data (not NUL-terminated), as QString::fromUtf8 decodes it.
  QString FromUtf8(const char* Data, qsizetype Size);
  // Text itself, or an equal text given out before.
  QString Shared(QString Text);

private:
  bool Worthwhile();

  std::string FLastBytes;  // the previous value, for runs of one value (the rows of one instrument)
  QString FLast;
  bool FHasLast = false;
  QHash<QByteArray, QString> FByBytes;
  QHash<QString, QString> FByText;  // for texts that arrive decoded already (ODBC)
  TRepeatTrial FTrial;
};
