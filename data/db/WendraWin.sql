-- WendraWin.dt: the event store of WendraWin and of its gadget library.
--
-- An SQLite 3 database; the sqlite3 tool reads it. The programs store
--   date-times as text 'YYYY-MM-DD HH:MM:SS' (local time; 1899-12-30 00:00:00 is the null date),
--   flags as 1 and 0 in the columns declared BOOLEAN.
-- Keys are AUTOINCREMENT so that a key once given is never given again: links in
-- XData and copies in SyncRecord outlive the event they name.
-- XID and UniqueID compare ignoring case, as the ids of foreign calendars always did; the
-- programs' queries name the exact collation for XID, whose ids differ in case alone.

PRAGMA user_version = 1;

CREATE TABLE Events (
    WendraWinID     INTEGER PRIMARY KEY AUTOINCREMENT,
    UniDesc         TEXT,
    AllDayEvent     BOOLEAN,
    EventDate       DATETIME,
    ViewFromDate    DATETIME,
    PriorWarning    INTEGER,
    AutoDelete      VARCHAR(1),
    iCalData        TEXT,
    HiddenList      TEXT,
    DescExceptions  TEXT,
    hasExceptions   BOOLEAN,
    CreatorID       INTEGER,
    LastModified    DATETIME,
    Created         DATETIME,
    MSOCreated      DATETIME
);
CREATE INDEX EventsByEventDate ON Events (EventDate);
CREATE INDEX EventsByViewFromDate ON Events (ViewFromDate);

CREATE TABLE XData (
    XCalendarID     INTEGER,
    XID             TEXT COLLATE NOCASE,
    WendraWinID     INTEGER,
    Status          INTEGER,
    LastModified    DATETIME,
    SyncFound       BOOLEAN
);
CREATE INDEX XDataByEvent ON XData (WendraWinID, XCalendarID);
CREATE INDEX XDataByXID ON XData (XCalendarID, XID);

CREATE TABLE XCalendar (
    XCalendarID     INTEGER PRIMARY KEY AUTOINCREMENT,
    UniqueID        TEXT COLLATE NOCASE UNIQUE
);

CREATE TABLE SyncRecord (
    SyncConfirmed   BOOLEAN,
    WendraWinId     INTEGER,
    XCalendarId     INTEGER,
    UniDesc         TEXT,
    AllDayEvent     BOOLEAN,
    EventDate       DATETIME,
    ViewFromDate    DATETIME,
    PriorWarning    INTEGER,
    AutoDelete      VARCHAR(1),
    iCalData        TEXT,
    HiddenList      TEXT,
    DescExceptions  TEXT,
    hasExceptions   BOOLEAN,
    CreatorID       INTEGER,
    LastModified    DATETIME,
    Created         DATETIME,
    MSOCreated      DATETIME
);
CREATE INDEX SyncRecordByEvent ON SyncRecord (WendraWinId, XCalendarId);
