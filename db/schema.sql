-- The demo report database for the embedded engine: lookups, instruments, repair kinds, and the
-- two report procedures stored as rows of `procedures` (one SELECT each; parameters by name).
PRAGMA foreign_keys = ON;

CREATE TABLE procedures (name TEXT PRIMARY KEY, body TEXT NOT NULL);

-- Lookup trees: parentid is -1 at the top level.
CREATE TABLE tMiTypes (id INTEGER PRIMARY KEY, fname TEXT NOT NULL, parentid INTEGER NOT NULL);
CREATE TABLE MMState (id INTEGER PRIMARY KEY, fname TEXT NOT NULL, parentid INTEGER NOT NULL);
CREATE TABLE tSubDivs (id INTEGER PRIMARY KEY, fname TEXT NOT NULL, parentid INTEGER NOT NULL);

CREATE TABLE tRepairKinds (
  id INTEGER PRIMARY KEY,
  ShortName TEXT NOT NULL,  -- what a month cell of the schedule shows
  FullName TEXT NOT NULL
);

CREATE TABLE tInstruments (
  id INTEGER PRIMARY KEY,
  MIname TEXT NOT NULL,
  MItype TEXT NOT NULL,
  TypeId INTEGER NOT NULL REFERENCES tMiTypes (id),
  StateId INTEGER NOT NULL REFERENCES MMState (id),
  SubDivId INTEGER NOT NULL REFERENCES tSubDivs (id),
  LocN TEXT NOT NULL,          -- serial number
  Limits TEXT NOT NULL,        -- measuring range
  PrecisClass TEXT NOT NULL,
  VrfDate TEXT NOT NULL CHECK (VrfDate GLOB '[01][0-9].[12][0-9][0-9][0-9]'),  -- MM.YYYY of the last verification
  VrfInterval INTEGER NOT NULL CHECK (VrfInterval > 0),                         -- months
  VrfDateF TEXT NOT NULL,      -- the last verification's full date, DD.MM.YYYY
  VrfType TEXT NOT NULL,       -- П: verification, К: calibration
  CA TEXT NOT NULL,            -- who verifies it
  InServiceYear INTEGER NOT NULL
);

CREATE TABLE tInstrumentRepairs (
  InstrumentId INTEGER NOT NULL REFERENCES tInstruments (id),
  RepairKindId INTEGER NOT NULL REFERENCES tRepairKinds (id),
  RemPeriod INTEGER NOT NULL CHECK (RemPeriod > 0),  -- months
  PRIMARY KEY (InstrumentId, RepairKindId)
);

-- exec rprt_com_get_loockups 'tMiTypes' | 'MMState' | 'tSubDivs'  ->  id, fname, parentid
INSERT INTO procedures (name, body) VALUES ('rprt_com_get_loockups', '
SELECT id, fname, parentid FROM (
  SELECT id, fname, parentid FROM tMiTypes WHERE lower(?1) = ''tmitypes''
  UNION ALL
  SELECT id, fname, parentid FROM MMState WHERE lower(?1) = ''mmstate''
  UNION ALL
  SELECT id, fname, parentid FROM tSubDivs WHERE lower(?1) = ''tsubdivs'')
ORDER BY id');

-- rprt_get_PPR_box @MiTypesArray, @MMStateArray, @SubDivsArray (IdArray BLOBs), @year (text):
-- the instruments in service in that year whose type, state and subdivision (or a group above
-- them) are in the arrays; one row per repair kind (one row with NULL RemPeriod when none),
-- the rows of one instrument together, by subdivision.
-- The walks up the lookups use UNION, not UNION ALL: a recursive query adds a row only once, so a
-- lookup whose parents loop (1 -> 2 -> 1, a row its own parent) ends the walk instead of running
-- forever; every member of such a loop counts as above the others.
INSERT INTO procedures (name, body) VALUES ('rprt_get_PPR_box', '
WITH RECURSIVE
  TypeUp (id, up) AS (
    SELECT id, id FROM tMiTypes
    UNION
    SELECT u.id, t.parentid FROM TypeUp u JOIN tMiTypes t ON t.id = u.up WHERE t.parentid <> -1),
  StateUp (id, up) AS (
    SELECT id, id FROM MMState
    UNION
    SELECT u.id, t.parentid FROM StateUp u JOIN MMState t ON t.id = u.up WHERE t.parentid <> -1),
  SubUp (id, up) AS (
    SELECT id, id FROM tSubDivs
    UNION
    SELECT u.id, t.parentid FROM SubUp u JOIN tSubDivs t ON t.id = u.up WHERE t.parentid <> -1),
  Chosen AS (
    SELECT mi.* FROM tInstruments mi
    WHERE EXISTS (SELECT 1 FROM TypeUp u WHERE u.id = mi.TypeId AND idarray_contains(@MiTypesArray, u.up))
      AND EXISTS (SELECT 1 FROM StateUp u WHERE u.id = mi.StateId AND idarray_contains(@MMStateArray, u.up))
      AND EXISTS (SELECT 1 FROM SubUp u WHERE u.id = mi.SubDivId AND idarray_contains(@SubDivsArray, u.up))
      AND (@year IS NULL OR mi.InServiceYear <= CAST(@year AS INTEGER)))
SELECT c.VrfDate AS VrfDate, c.VrfInterval AS VrfInterval, c.id AS IdN, c.CA AS CA, c.VrfType AS VrfType,
       c.SubDivId AS Sid,
       CASE WHEN p.id IS NULL THEN s.fname ELSE p.fname || '' — '' || s.fname END AS Sub,
       c.MIname AS MIname, c.MItype AS MItype, c.LocN AS LocN, c.Limits AS Limits,
       c.PrecisClass AS PrecisClass, c.VrfDateF AS VrfDateF,
       r.RemPeriod AS RemPeriod, k.ShortName AS RemName
FROM Chosen c
JOIN tSubDivs s ON s.id = c.SubDivId
LEFT JOIN tSubDivs p ON p.id = s.parentid
LEFT JOIN tInstrumentRepairs r ON r.InstrumentId = c.id
LEFT JOIN tRepairKinds k ON k.id = r.RepairKindId
ORDER BY Sub, c.id, r.RepairKindId');
