-- The diary: one row per calendar day.
-- DAT_DATE is the day as 'YYYY-MM-DD'; the primary key keeps one row per day even
-- against a second writer. TEMP is degrees Celsius, 0 meaning "no temperature".
-- GUEST (period day) and LOVE (intercourse) are 0/1.
CREATE TABLE DATA_FIL (
  DAT_DATE  TEXT PRIMARY KEY NOT NULL
            CHECK (DAT_DATE GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]'),
  TEMP      REAL,
  CONDITION TEXT,
  DIARY     TEXT,
  GUEST     INTEGER CHECK (GUEST IN (0, 1)),
  LOVE      INTEGER CHECK (LOVE IN (0, 1))
);
PRAGMA user_version = 1;
