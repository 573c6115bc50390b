-- The demo report database for Microsoft SQL Server: the same schema and procedures as the
-- embedded database (db/schema.sql). Run this, then demo_data.sql, in an empty database, e.g.
--   sqlcmd -S server -d ppr_demo -i demo_schema.sql -i demo_data.sql
-- Not tested on this project's machines (no SQL Server runs there).
SET NOCOUNT ON;
GO

CREATE TABLE tMiTypes (id int PRIMARY KEY, fname nvarchar(100) NOT NULL, parentid int NOT NULL);
CREATE TABLE MMState (id int PRIMARY KEY, fname nvarchar(100) NOT NULL, parentid int NOT NULL);
CREATE TABLE tSubDivs (id int PRIMARY KEY, fname nvarchar(100) NOT NULL, parentid int NOT NULL);

CREATE TABLE tRepairKinds (
  id int PRIMARY KEY,
  ShortName nvarchar(20) NOT NULL,
  FullName nvarchar(100) NOT NULL
);

CREATE TABLE tInstruments (
  id int PRIMARY KEY,
  MIname nvarchar(200) NOT NULL,
  MItype nvarchar(100) NOT NULL,
  TypeId int NOT NULL REFERENCES tMiTypes (id),
  StateId int NOT NULL REFERENCES MMState (id),
  SubDivId int NOT NULL REFERENCES tSubDivs (id),
  LocN nvarchar(50) NOT NULL,
  Limits nvarchar(100) NOT NULL,
  PrecisClass nvarchar(50) NOT NULL,
  VrfDate char(7) NOT NULL,          -- MM.YYYY
  VrfInterval int NOT NULL CHECK (VrfInterval > 0),
  VrfDateF nvarchar(10) NOT NULL,    -- DD.MM.YYYY
  VrfType nvarchar(10) NOT NULL,
  CA nvarchar(200) NOT NULL,
  InServiceYear int NOT NULL
);

CREATE TABLE tInstrumentRepairs (
  InstrumentId int NOT NULL REFERENCES tInstruments (id),
  RepairKindId int NOT NULL REFERENCES tRepairKinds (id),
  RemPeriod int NOT NULL CHECK (RemPeriod > 0),
  PRIMARY KEY (InstrumentId, RepairKindId)
);
GO

-- The elements of an IdArray: 4-byte big-endian signed integers, no header. Converting binary(4)
-- to int in SQL Server reads the bytes most significant first, which is the array's order.
CREATE FUNCTION dbo.IdArrayItems (@Array varbinary(max))
RETURNS TABLE
AS RETURN
  WITH Numbers (n) AS (
    SELECT 0 UNION ALL SELECT n + 1 FROM Numbers WHERE (n + 1) * 4 + 4 <= DATALENGTH(@Array))
  SELECT CAST(SUBSTRING(@Array, n * 4 + 1, 4) AS int) AS id
  FROM Numbers
  WHERE DATALENGTH(@Array) >= 4;
GO

CREATE PROCEDURE dbo.rprt_com_get_loockups @Name varchar(50)
AS
BEGIN
  SET NOCOUNT ON;
  IF @Name = 'tMiTypes' SELECT id, fname, parentid FROM tMiTypes ORDER BY id;
  ELSE IF @Name = 'MMState' SELECT id, fname, parentid FROM MMState ORDER BY id;
  ELSE IF @Name = 'tSubDivs' SELECT id, fname, parentid FROM tSubDivs ORDER BY id;
  ELSE SELECT CAST(NULL AS int) AS id, CAST(NULL AS nvarchar(100)) AS fname, CAST(NULL AS int) AS parentid
       WHERE 1 = 0;
END;
GO

CREATE PROCEDURE dbo.rprt_get_PPR_box
  @MiTypesArray varbinary(max),
  @MMStateArray varbinary(max),
  @SubDivsArray varbinary(max),
  @year varchar(4)
AS
BEGIN
  SET NOCOUNT ON;
  DECLARE @Types TABLE (id int PRIMARY KEY);
  DECLARE @States TABLE (id int PRIMARY KEY);
  DECLARE @Subs TABLE (id int PRIMARY KEY);
  INSERT INTO @Types SELECT DISTINCT id FROM dbo.IdArrayItems(@MiTypesArray) OPTION (MAXRECURSION 0);
  INSERT INTO @States SELECT DISTINCT id FROM dbo.IdArrayItems(@MMStateArray) OPTION (MAXRECURSION 0);
  INSERT INTO @Subs SELECT DISTINCT id FROM dbo.IdArrayItems(@SubDivsArray) OPTION (MAXRECURSION 0);

  -- The walks up the lookups carry the path walked ('/1/2/') and stop at a parent already on it, so a
  -- lookup whose parents loop (1 -> 2 -> 1, a row its own parent) ends the walk; every member of
  -- such a loop counts as above the others. (A recursive CTE here allows only UNION ALL, so the
  -- path does what UNION does in the SQLite demo.) Without the guard SQL Server would not hang:
  -- its recursion limit (MAXRECURSION, 100 levels by default) ends the statement with error 530
  -- ("The maximum recursion 100 has been exhausted before statement completion"), so the report
  -- would fail instead of running. The default limit stays as a backstop.
  WITH
    TypeUp (id, up, path) AS (
      SELECT id, id, CAST('/' + CAST(id AS varchar(11)) + '/' AS varchar(max)) FROM tMiTypes
      UNION ALL
      SELECT u.id, t.parentid, CAST(u.path + CAST(t.parentid AS varchar(11)) + '/' AS varchar(max))
      FROM TypeUp u JOIN tMiTypes t ON t.id = u.up
      WHERE t.parentid <> -1 AND u.path NOT LIKE '%/' + CAST(t.parentid AS varchar(11)) + '/%'),
    StateUp (id, up, path) AS (
      SELECT id, id, CAST('/' + CAST(id AS varchar(11)) + '/' AS varchar(max)) FROM MMState
      UNION ALL
      SELECT u.id, t.parentid, CAST(u.path + CAST(t.parentid AS varchar(11)) + '/' AS varchar(max))
      FROM StateUp u JOIN MMState t ON t.id = u.up
      WHERE t.parentid <> -1 AND u.path NOT LIKE '%/' + CAST(t.parentid AS varchar(11)) + '/%'),
    SubUp (id, up, path) AS (
      SELECT id, id, CAST('/' + CAST(id AS varchar(11)) + '/' AS varchar(max)) FROM tSubDivs
      UNION ALL
      SELECT u.id, t.parentid, CAST(u.path + CAST(t.parentid AS varchar(11)) + '/' AS varchar(max))
      FROM SubUp u JOIN tSubDivs t ON t.id = u.up
      WHERE t.parentid <> -1 AND u.path NOT LIKE '%/' + CAST(t.parentid AS varchar(11)) + '/%'),
    Chosen AS (
      SELECT mi.* FROM tInstruments mi
      WHERE EXISTS (SELECT 1 FROM TypeUp u JOIN @Types a ON a.id = u.up WHERE u.id = mi.TypeId)
        AND EXISTS (SELECT 1 FROM StateUp u JOIN @States a ON a.id = u.up WHERE u.id = mi.StateId)
        AND EXISTS (SELECT 1 FROM SubUp u JOIN @Subs a ON a.id = u.up WHERE u.id = mi.SubDivId)
        AND (@year IS NULL OR mi.InServiceYear <= CAST(@year AS int)))
  SELECT c.VrfDate AS VrfDate, c.VrfInterval AS VrfInterval, c.id AS IdN, c.CA AS CA, c.VrfType AS VrfType,
         c.SubDivId AS Sid,
         CASE WHEN p.id IS NULL THEN s.fname ELSE p.fname + N' — ' + s.fname END AS Sub,
         c.MIname AS MIname, c.MItype AS MItype, c.LocN AS LocN, c.Limits AS Limits,
         c.PrecisClass AS PrecisClass, c.VrfDateF AS VrfDateF,
         r.RemPeriod AS RemPeriod, k.ShortName AS RemName
  FROM Chosen c
  JOIN tSubDivs s ON s.id = c.SubDivId
  LEFT JOIN tSubDivs p ON p.id = s.parentid
  LEFT JOIN tInstrumentRepairs r ON r.InstrumentId = c.id
  LEFT JOIN tRepairKinds k ON k.id = r.RepairKindId
  ORDER BY Sub, c.id, r.RepairKindId;
END;
GO
