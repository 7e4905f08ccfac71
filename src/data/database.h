#pragma once
// The record database: one SQLCipher connection and the RAII pieces every
// query goes through. Values are always bound as parameters; nothing is ever
// spliced into SQL text. Failures throw SpinlogError with the engine's own
// description (sqlite3_errmsg).

#include "app/errors.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace spinlog {

inline constexpr const char *kDatabaseKey = "wubd";

class Database {
public:
    // Opens the file for exclusive use with the key and proves the key with a
    // first read, so a missing, foreign, wrongly keyed or locked file fails
    // here. Also checks that W_Time, T_Time and MT_Type exist.
    static std::unique_ptr<Database> open(const QString &path, const QByteArray &key = kDatabaseKey);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Runs a statement that returns no rows; returns the number of rows changed.
    int execute(const QString &sql, const QVariantList &values = {});

    sqlite3 *handle() const { return db_; }
    QString path() const { return path_; }

private:
    Database(sqlite3 *db, QString path) : db_(db), path_(std::move(path)) {}
    sqlite3 *db_;
    QString path_;
};

// A prepared statement with bound values; finalised when it goes out of scope.
class Statement {
public:
    Statement(Database &db, const QString &sql, const QVariantList &values = {});
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Steps once; true when a row is available.
    bool step();
    sqlite3_stmt *handle() const { return stmt_; }

private:
    Database &db_;
    sqlite3_stmt *stmt_ = nullptr;
};

// The rows of one select, read forward: end test, next, last, field by name.
class Recordset {
public:
    Recordset(Database &db, const QString &sql, const QVariantList &values = {});

    bool eof() const { return eof_; }
    void moveNext();
    void moveLast();

    // The field of the current row; throws for an unknown name or at the end.
    QVariant field(const QString &name) const;
    // The field as text; a NULL value throws, as it cannot be shown.
    QString text(const QString &name) const;

private:
    int index(const QString &name) const;
    void load();

    Statement stmt_;
    std::vector<QString> names_;
    std::vector<QVariant> row_;
    bool eof_ = true;
};

// Adds one row to a table by name: set the fields, then store with update().
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
    void commit();

private:
    Database &db_;
    bool done_ = false;
};

}  // namespace spinlog
