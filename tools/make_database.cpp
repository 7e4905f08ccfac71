// Makes the delivered Spinlog.mdb: the three tables, the history index and
// the five initial puzzle types, encrypted with the program's key. Leaves an
// existing file alone, so a rebuild never replaces a user's data.

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>

static bool run(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "make_database: %s\n", error ? error : "unknown error");
        sqlite3_free(error);
        return false;
    }
    return true;
}

static const char *const kSchema = R"SQL(
PRAGMA key = 'wubd';
BEGIN;
CREATE TABLE W_Time (
  [No] INTEGER,
  [Time] TEXT,
  TimeSS REAL
);
CREATE TABLE T_Time (
  [DateTime] TEXT,
  TypeID TEXT,
  Time1 TEXT, Time2 TEXT, Time3 TEXT, Time4 TEXT, Time5 TEXT, Time6 TEXT,
  Time7 TEXT, Time8 TEXT, Time9 TEXT, Time10 TEXT, Time11 TEXT, Time12 TEXT,
  AveTime TEXT,
  AveTimeSS REAL,
  BestTimeNo INTEGER,
  BestTime TEXT,
  BestTimeSS REAL,
  WorstTimeNo INTEGER,
  WorstTime TEXT,
  WorstTimeSS REAL
);
CREATE INDEX T_Time_TypeID ON T_Time (TypeID);
CREATE TABLE MT_Type (
  TypeID TEXT,
  TypeNm TEXT,
  TypeCnt INTEGER,
  TypeBW TEXT
);
INSERT INTO MT_Type VALUES ('1', '3x3x3', 5, '0');
INSERT INTO MT_Type VALUES ('2', '2x2x2', 5, '0');
INSERT INTO MT_Type VALUES ('3', '4x4x4', 5, '0');
INSERT INTO MT_Type VALUES ('4', '5x5x5', 5, '0');
INSERT INTO MT_Type VALUES ('5', '3x3x3目隠し', 3, '1');
COMMIT;
)SQL";

// Writes the schema and the types into a new file at temp; false after a
// message when it cannot.
static bool makeAt(const std::filesystem::path &temp)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(temp.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "make_database: cannot create %s\n", temp.c_str());
        sqlite3_close(db);
        return false;
    }
    const bool ok = run(db, kSchema);
    sqlite3_close(db);
    return ok;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_database PATH\n");
        return 2;
    }
    const std::filesystem::path path = argv[1];
    std::error_code ec;
    if (std::filesystem::exists(path, ec))
        return 0;
    const std::filesystem::path temp = path.string() + ".new";
    std::filesystem::remove(temp, ec);
    if (!makeAt(temp)) {
        std::filesystem::remove(temp, ec);
        return 1;
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::fprintf(stderr, "make_database: %s\n", ec.message().c_str());
        return 1;
    }
    return 0;
}
