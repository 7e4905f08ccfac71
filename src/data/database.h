#pragma once
// The record database: one SQLCipher connection and the RAII pieces every
// query goes through. Values are always bound as parameters; nothing is ever
// spliced into SQL text. Failures throw SpinlogError with the engine's own
// description (sqlite3_errmsg).

#include "base/errors.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <cstdint>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace spinlog {

inline constexpr const char *kDatabaseKey = "wubd";

// How a file is opened: for the program's exclusive use (indexes and columns
// added where missing), or to be read through once, changing nothing in it.
enum class Access { Exclusive, ReadOnly };

class Database {
public:
    // Opens the file with the key and proves the key with a first read, so a
    // missing, foreign, wrongly keyed or locked file fails here. Also checks
    // that W_Time, T_Time and MT_Type exist. For exclusive use the lock is
    // held until the Database is destroyed.
    static std::unique_ptr<Database> open(const QString &path, const QByteArray &key = kDatabaseKey,
                                          Access access = Access::Exclusive);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Runs one statement to its end; returns the number of rows it inserted,
    // changed or deleted (0 for any other kind of statement).
    int execute(const QString &sql, const QVariantList &values = {});
    // The rowid of the row the last insert added.
    std::int64_t lastInsertedRow() const;

    sqlite3 *handle() const { return db_; }
    QString path() const { return path_; }
    // False once the path no longer names the file that was opened: the file
    // was deleted, moved away or replaced by another one.
    bool stillAtItsPath() const;

private:
    Database(sqlite3 *db, QString path) : db_(db), path_(std::move(path)) {}
    sqlite3 *db_;
    QString path_;
    // The opened file's device and inode.
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
};

// The description a failure has when another connection (a running copy of
// the program) holds the file locked.
QString lockedDescription();
// The description of a read-only opening refused because a change was
// interrupted (a journal waits beside the file to be rolled back), which
// only an opening for the program's use carries out.
QString rollbackPendingDescription();

// One prepared statement with bound values (null, integer, double, text);
// finalised when it goes out of scope. The text must hold one statement.
class Statement {
public:
    Statement(Database &db, const QString &sql, const QVariantList &values = {});
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Steps once; true when a row is available.
    bool step();
    // Starts the statement again with other values, so a loop prepares it once.
    void rebind(const QVariantList &values);
    sqlite3_stmt *handle() const { return stmt_; }

private:
    Database &db_;
    sqlite3_stmt *stmt_ = nullptr;
};

// The rows of one select, read forward: end test, next, field by name
// (names match without regard to case). Values are read straight from the
// engine's current row, so stepping through many rows costs no copies.
class Recordset {
public:
    Recordset(Database &db, const QString &sql, const QVariantList &values = {});

    bool eof() const { return eof_; }
    void moveNext();

    int fieldCount() const { return int(names_.size()); }
    // The position of a field; throws for an unknown name. Loops over many
    // rows can look positions up once and read by position.
    int index(const QString &name) const;

    // The field of the current row: a null QVariant for NULL, qlonglong,
    // double, QString or QByteArray. Throws at the end of the rows.
    QVariant field(const QString &name) const { return field(index(name)); }
    QVariant field(int index) const;
    // The field as text: integers in decimal, reals as the engine prints them
    // (65.43). A NULL value throws, as it cannot be shown.
    QString text(const QString &name) const { return text(index(name)); }
    QString text(int index) const;

private:
    void requireRow() const;

    Statement stmt_;
    std::vector<QString> names_;
    bool eof_ = true;
    mutable int hint_ = 0;  // where the next name lookup starts
};

// Adds one row to a table by name: set the fields, then store with update().
// The appender is ready for the next row after update().
class TableAppender {
public:
    TableAppender(Database &db, const QString &table);
    void set(const QString &field, const QVariant &value);
    void update();

private:
    Database &db_;
    QString table_;
    QStringList fields_;
    QVariantList values_;
};

// Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &db_;
    bool done_ = false;
};

}  // namespace spinlog
