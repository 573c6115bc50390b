"""Synthetic report databases of N instruments, the same on every machine and in every year.

    python3 make_report_db.py OUT.db N [varied|flat]

varied (the default; the pinned schedules in tests/app): the rows come from a fixed linear congruential sequence (not Python's random, whose methods may change
between versions): two repair kinds or none per instrument, verification dates and intervals spread over
five years, now and then a NULL, a long name that wraps, a subdivision shared by about forty instruments
and listed out of order, so that the sort, the month rule, the row heights and the headers all have work.
flat (the whole-process benchmark, bench/end_to_end): two repair kinds for every instrument (2N result rows),
one subdivision per 50 instruments with the subdivisions scrambled so that the sort has work.
The procedures ignore the selection, as a report database may: every instrument is in every schedule.
"""
import sqlite3
import sys

out, count = sys.argv[1], int(sys.argv[2])
shape = sys.argv[3] if len(sys.argv) > 3 else "varied"
if shape not in ("varied", "flat"):
    sys.exit("the shape is varied or flat")


class Sequence:
    def __init__(self, seed):
        self.state = seed

    def below(self, n):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) % (1 << 64)
        return (self.state >> 33) % n


def varied_rows():
    seq = Sequence(20240917)
    subdivisions = max(count // 40, 1)
    kinds = [(6, "ТО"), (12, "ТР"), (24, "КР")]
    names = ["Манометр", "Термометр сопротивления", "Весы платформенные", "Вольтметр", "Штангенциркуль",
             "Преобразователь давления измерительный с унифицированным токовым выходным сигналом и индикацией",
             "Расходомер", "Гигрометр психрометрический"]
    rows = []
    for i in range(count):
        vm, vy = 1 + seq.below(12), 2019 + seq.below(5)
        sid = (i // 40 * 7919) % subdivisions
        sub = None if sid == 3 else "Подразделение %04d" % sid
        interval = [6, 12, 12, 24, 36, 60][seq.below(6)]
        vrf_type = ["П", "К", "А"][seq.below(3)]
        name = names[seq.below(len(names))]
        repairs = [kinds[k] for k in range(len(kinds)) if seq.below(3) == 0]
        base = ("%02d.%04d" % (vm, vy), interval, i + 1, "ЦСМ", vrf_type, sid if sub else None, sub, name,
                "Тип-%d" % seq.below(97), "N%07d" % (1000003 * (i + 1) % 9999991), "0...%d МПа" % (1 + seq.below(60)),
                ["0,5", "1", "1,5", "2,5", None][seq.below(5)], "%02d.%02d.%04d" % (1 + seq.below(28), vm, vy))
        for period, rem in repairs or [(None, None)]:
            rows.append(base + (period, rem))
    return rows


def flat_rows():
    subdivisions = max(count // 50, 1)
    rows = []
    for i in range(count):
        sid = (i // 50 * 7919) % subdivisions
        month, year = i % 12 + 1, 2020 + i % 5
        for period, rem in ((6, "ТО"), (12, "ТР")):
            rows.append(("%02d.%04d" % (month, year), 12 * (1 + i % 3), i + 1, "ЦСМ", "П", sid,
                         "Подразделение %05d" % sid, "Средство измерения %d" % (i % 500), "МП-%d" % (i % 37),
                         "N%d" % (100000 + i), "0...10 МПа", "1,5", "15.%02d.%04d" % (month, year), period, rem))
    return rows


rows = varied_rows() if shape == "varied" else flat_rows()
con = sqlite3.connect(out)
con.execute("PRAGMA journal_mode = OFF")
con.executescript("""
CREATE TABLE procedures (name TEXT PRIMARY KEY, body TEXT NOT NULL);
CREATE TABLE lookups (kind TEXT, id INTEGER, fname TEXT, parentid INTEGER);
INSERT INTO lookups VALUES ('tmitypes', 1, 'Все типы', -1), ('mmstate', 1, 'В работе', -1),
                           ('tsubdivs', 1, 'Все подразделения', -1);
CREATE TABLE box (seq INTEGER PRIMARY KEY, VrfDate TEXT, VrfInterval INTEGER, IdN INTEGER, CA TEXT,
  VrfType TEXT, Sid INTEGER, Sub TEXT, MIname TEXT, MItype TEXT, LocN TEXT, Limits TEXT,
  PrecisClass TEXT, VrfDateF TEXT, RemPeriod INTEGER, RemName TEXT);
INSERT INTO procedures VALUES ('rprt_com_get_loockups',
  'SELECT id, fname, parentid FROM lookups WHERE kind = lower(?1) ORDER BY id');
INSERT INTO procedures VALUES ('rprt_get_PPR_box', 'SELECT VrfDate, VrfInterval, IdN, CA, VrfType, Sid,
  Sub, MIname, MItype, LocN, Limits, PrecisClass, VrfDateF, RemPeriod, RemName FROM box ORDER BY seq');
""")
con.executemany("INSERT INTO box (VrfDate, VrfInterval, IdN, CA, VrfType, Sid, Sub, MIname, MItype, LocN, Limits,"
                " PrecisClass, VrfDateF, RemPeriod, RemName) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                rows)
con.commit()
con.close()
