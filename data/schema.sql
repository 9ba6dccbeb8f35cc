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
-- What she noted of a day besides its diary row; a day whose signs are all empty has no
-- row here. Codes as the comments give them; NULL is "not recorded", never "negative".
CREATE TABLE DAY_SIGNS (
  DAT_DATE TEXT PRIMARY KEY NOT NULL,    -- the day, written as DATA_FIL writes it (yyyy-MM-dd)
  EXCLUDED INTEGER NOT NULL DEFAULT 0,   -- 1: the reading is disturbed; the temperature rules skip it
  EXCLUDE_REASON TEXT,                   -- 発熱, 寝不足, 飲酒, 測定時刻のずれ, ... or her own words
  BLEEDING INTEGER,                      -- NULL not recorded; 1 少ない, 2 普通, 3 多い
  SPOTTING INTEGER NOT NULL DEFAULT 0,   -- 1: bleeding outside a period (不正出血)
  MUCUS INTEGER,                         -- NULL not recorded; 0 t (dry), 1 Ø (nothing felt),
                                         -- 2 f (moist), 3 S (creamy, cloudy), 4 S+ (clear, stretchy, slippery)
  LH_TEST INTEGER,                       -- NULL not taken; 0 negative, 1 positive
  PREGNANCY_TEST INTEGER,                -- NULL not taken; 0 negative, 1 positive
  MEDICATION TEXT
);
PRAGMA user_version = 1;
