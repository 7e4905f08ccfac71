#pragma once
// The columns that keep each solve's raw time and penalty beside the display
// texts: W_Time.Solve (one token) and T_Time.Solves (a token per solve of the
// series, separated by spaces; see base/attempts.h). Added when missing;
// every other column keeps what it has always held, so any copy of the
// program, older ones included, still reads and writes the file, and rows
// without tokens count by their display texts.

namespace spinlog {

class Database;

// Adds the columns a file lacks, both or neither. When they cannot be added
// (a read-only file, a full disk) the file is left as it was and false comes
// back: the stores then keep no tokens. Never throws.
bool addAttemptColumns(Database &db) noexcept;

// Adds T_Time.ImportID, the mark of the import that added a row (empty for
// the rows the stopwatch saved), when missing; false when it cannot be added.
// Compaction renumbers rowids, so an import is known by this mark instead.
bool addImportColumn(Database &db) noexcept;

// Whether the file has the column.
bool hasColumn(Database &db, const char *table, const char *column);

}  // namespace spinlog
