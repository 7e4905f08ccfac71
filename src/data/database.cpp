#include "data/database.h"

#include "base/shown_text.h"
#include "data/attempt_columns.h"
#include "data/history_indexes.h"
#include "data/solve_table.h"

// sqlite3_key is only declared for builds with encryption.
#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <sys/stat.h>
#include <QFile>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace spinlog {

namespace {

QString engineMessage(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Failures the recordset itself detects, in the words the Japanese desktop's
// database tools use for them.
QString noCurrentRecord()
{
    return Text::tr("カレント レコードがありません。");
}
QString itemNotFound(const QString &name)
{
    return Text::tr("このコレクションには項目がありません。(") + name + QLatin1Char(')');
}

// The page cache's bound, in KiB: most of the table of a history of 100 000
// series, which a list in another order reads again in no order of its own.
// Room for all of it and for the index the first list walks would hold
// 5 MB more for a few pages read twice (a re-sort a twentieth slower).
constexpr int kCacheKiB = 20480;
// A reading that goes through the history once, in order, as the
// statistics command does: a small cache recycles its pages instead of
// taking new memory for every page of the file.
constexpr int kReadOnceCacheKiB = 2048;
// The same while the indexes of such a history are built.
constexpr int kIndexingCacheKiB = 65536;

// The three tables the program works on; the file is useless without them.
const char *const kRequiredTables[] = {"W_Time", "T_Time", "MT_Type"};

void bindValue(sqlite3 *db, sqlite3_stmt *stmt, int position, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(stmt, position);
    } else {
        switch (value.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Char:
            case QMetaType::SChar:
            case QMetaType::UChar:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
                rc = sqlite3_bind_int64(stmt, position, value.toLongLong());
                break;
            case QMetaType::ULong:
            case QMetaType::ULongLong: {
                const qulonglong n = value.toULongLong();
                if (n > qulonglong(std::numeric_limits<qint64>::max()))
                    throw SpinlogError(describe::overflow());
                rc = sqlite3_bind_int64(stmt, position, qint64(n));
                break;
            }
            case QMetaType::Float:
            case QMetaType::Double:
                rc = sqlite3_bind_double(stmt, position, value.toDouble());
                break;
            case QMetaType::QString:
            case QMetaType::QChar: {
                const QByteArray utf8 = value.toString().toUtf8();
                // constData() of an empty array is "" rather than null, so an
                // empty text stays text instead of turning into NULL.
                rc = sqlite3_bind_text(stmt, position, utf8.constData(), int(utf8.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QByteArray: {
                const QByteArray bytes = value.toByteArray();
                rc = sqlite3_bind_blob(stmt, position, bytes.constData(), int(bytes.size()),
                                       SQLITE_TRANSIENT);
                break;
            }
            default: throw SpinlogError(describe::typeMismatch());
        }
    }
    if (rc != SQLITE_OK)
        throw SpinlogError(engineMessage(db));
}

QVariant columnValue(sqlite3_stmt *stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
        case SQLITE_FLOAT: return QVariant(sqlite3_column_double(stmt, column));
        case SQLITE_TEXT: {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
            return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(stmt, column)));
        }
        case SQLITE_BLOB: {
            const auto *bytes = static_cast<const char *>(sqlite3_column_blob(stmt, column));
            return QVariant(QByteArray(bytes, sqlite3_column_bytes(stmt, column)));
        }
        default: return QVariant();
    }
}

// A real in the engine's own text form (what it gives when a real is read as
// text: 15 significant digits, trailing zeros dropped, at least one decimal,
// e.g. 65.43 and 83.0). The engine's printf is slow enough to dominate reading
// a large history, so the common case is formatted here: a value whose
// shortest exact form has at most 15 digits and needs no exponent prints as
// that form. Everything else (exponents, rounding to 15 digits, zero's sign)
// is left to the engine.
QString realText(double value)
{
    char buffer[400];
    const double magnitude = std::fabs(value);
    if (std::isfinite(value) && magnitude >= 1e-4 && magnitude < 1e15) {
        const auto [end, error] =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
        if (error == std::errc()) {
            const std::string_view fixed(buffer, end - buffer);
            int significant = 0;
            bool leading = true;
            for (char c : fixed) {
                if (c < '0' || c > '9' || (leading && c == '0'))
                    continue;
                leading = false;
                ++significant;
            }
            if (significant <= 15) {
                QString text = QString::fromLatin1(fixed.data(), qsizetype(fixed.size()));
                if (fixed.find('.') == std::string_view::npos)
                    text += QStringLiteral(".0");
                return text;
            }
        }
    }
    sqlite3_snprintf(int(sizeof buffer), buffer, "%!.15g", value);
    return QString::fromLatin1(buffer);
}

// Qt's start-up leaves the upper halves of the AVX registers in use (some
// vector code of its libraries ends without VZEROUPPER), and on current Intel
// cores every legacy SSE instruction then waits on them: the AES-NI and
// SHA-NI code that decrypts and checks each page and derives the key ran at
// up to half speed (key derivation 54 ms instead of 28, a 100 000-series list
// 10 % slower). Clearing them before each statement costs a cycle.
void clearUpperVectorHalves()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        asm volatile("vzeroupper");
#endif
}

bool isIdentifier(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return pattern.match(name).hasMatch();
}

QString quoted(const QString &identifier)
{
    if (!isIdentifier(identifier))
        throw SpinlogError(describe::invalidArgument());
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

}  // namespace

// --- Database ---------------------------------------------------------------

namespace {

// A wrong key or a foreign file only shows on the first read; a file without
// the three tables is no database of ours.
void proveReadable(Database &db)
{
    try {
        db.execute(QStringLiteral("select count(*) from sqlite_master"));
    } catch (const SpinlogError &) {
        // Reading must not play an interrupted change back into the file;
        // half of it is never read either.
        if (sqlite3_extended_errcode(db.handle()) == SQLITE_READONLY_ROLLBACK)
            throw SpinlogError(rollbackPendingDescription());
        throw;
    }
    for (const char *table : kRequiredTables) {
        // Reading the first row also proves the table's root page is readable.
        Statement probe(db, QStringLiteral("select * from ") + QLatin1String(table) +
                                QStringLiteral(" limit 1"));
        probe.step();
    }
}

}  // namespace

std::unique_ptr<Database> Database::open(const QString &path, const QByteArray &key, Access access)
{
    const bool readOnly = access == Access::ReadOnly;
    sqlite3 *handle = nullptr;
    // Without SQLITE_OPEN_CREATE a missing file fails instead of appearing empty.
    // A connection is only ever used by the thread that opened it, so it needs
    // no mutex of its own; every column read of a long list would take it.
    const int rc = sqlite3_open_v2(
        QFile::encodeName(path).constData(), &handle,
        (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX, nullptr);
    // The engine hands out a handle even when opening fails; it closes with us.
    std::unique_ptr<Database> db(new Database(handle, path));
    if (rc != SQLITE_OK)
        throw SpinlogError(engineMessage(handle));
    if (sqlite3_key(handle, key.constData(), int(key.size())) != SQLITE_OK)
        throw SpinlogError(engineMessage(handle));
    // Held locks are kept for the life of the connection. No busy handler is
    // set: a file locked by another process fails at once.
    if (!readOnly)
        db->execute(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
    proveReadable(*db);
    if (readOnly) {
        db->execute(QStringLiteral("PRAGMA cache_size=-%1").arg(kReadOnceCacheKiB));
        return db;
    }
    // Only now take the write lock, so no other process (a second copy
    // included) can read or write the file while it is open. Checking first
    // matters: a write transaction on an empty file would give it a header,
    // and a refused file should stay as it was.
    db->execute(QStringLiteral("BEGIN EXCLUSIVE"));
    db->execute(QStringLiteral("COMMIT"));
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        db->device_ = info.st_dev;
        db->inode_ = info.st_ino;
    }
    // A stored solve must survive a crash.
    db->execute(QStringLiteral("PRAGMA synchronous=FULL"));
    // An older file gains the indexes at its first opening here; when it
    // cannot, it opens and lists as before. Until the commit every new index
    // page stays in the cache, and room for them all spares writing them twice.
    db->execute(QStringLiteral("PRAGMA cache_size=-%1").arg(kIndexingCacheKiB));
    addHistoryIndexes(*db);
    addAttemptColumns(*db);
    addImportColumn(*db);
    addSolveTable(*db);
    // The history reads the table in the order of an index, so its pages in
    // no order of their own; a cache that holds them reads and decrypts each
    // page once. Pages are only taken as they are read: a small file stays
    // small, and the pages beyond the bound go now.
    db->execute(QStringLiteral("PRAGMA cache_size=-%1").arg(kCacheKiB));
    return db;
}

QString rollbackPendingDescription()
{
    return Text::tr(
        "中断された変更の巻き戻しが残っています。Spinlog を起動するか --import "
        "を実行すると巻き戻されます。");
}

QString lockedDescription()
{
    return QString::fromUtf8(sqlite3_errstr(SQLITE_BUSY));
}

Database::~Database()
{
    sqlite3_close_v2(db_);
}

std::int64_t Database::lastInsertedRow() const
{
    return sqlite3_last_insert_rowid(db_);
}

bool Database::stillAtItsPath() const
{
    struct stat info {};
    return ::stat(QFile::encodeName(path_).constData(), &info) == 0 && info.st_dev == device_ &&
           info.st_ino == inode_;
}

int Database::execute(const QString &sql, const QVariantList &values)
{
    const int before = sqlite3_total_changes(db_);
    Statement statement(*this, sql, values);
    while (statement.step()) {
    }
    // sqlite3_changes() keeps the count of the last insert, update or delete,
    // so report it only when this statement changed something.
    return sqlite3_total_changes(db_) == before ? 0 : sqlite3_changes(db_);
}

// --- Statement --------------------------------------------------------------

Statement::Statement(Database &db, const QString &sql, const QVariantList &values) : db_(db)
{
    clearUpperVectorHalves();
    const QByteArray utf8 = sql.toUtf8();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &stmt_, &tail) !=
        SQLITE_OK) {
        const QString message = engineMessage(db.handle());
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw SpinlogError(message);
    }
    try {
        // Only the first statement would run; refuse rather than drop the rest.
        for (const char *c = tail; c && *c; ++c)
            if (*c != ';' && *c != ' ' && *c != '\t' && *c != '\r' && *c != '\n')
                throw SpinlogError(describe::invalidArgument());
        const int expected = stmt_ ? sqlite3_bind_parameter_count(stmt_) : 0;
        if (values.size() != expected)
            throw SpinlogError(describe::invalidArgument());
        for (int i = 0; i < expected; ++i) bindValue(db.handle(), stmt_, i + 1, values.at(i));
    } catch (...) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        throw;
    }
}

void Statement::rebind(const QVariantList &values)
{
    if (!stmt_)
        throw SpinlogError(describe::invalidArgument());
    sqlite3_reset(stmt_);
    if (values.size() != sqlite3_bind_parameter_count(stmt_))
        throw SpinlogError(describe::invalidArgument());
    for (int i = 0; i < values.size(); ++i) bindValue(db_.handle(), stmt_, i + 1, values.at(i));
}

Statement::~Statement()
{
    sqlite3_finalize(stmt_);
}

bool Statement::step()
{
    if (!stmt_)  // an empty text: nothing to run
        return false;
    switch (sqlite3_step(stmt_)) {
        case SQLITE_ROW: return true;
        case SQLITE_DONE: return false;
        default: throw SpinlogError(engineMessage(db_.handle()));
    }
}

// --- Recordset --------------------------------------------------------------

Recordset::Recordset(Database &db, const QString &sql, const QVariantList &values)
    : stmt_(db, sql, values)
{
    sqlite3_stmt *stmt = stmt_.handle();
    const int count = stmt ? sqlite3_column_count(stmt) : 0;
    names_.reserve(count);
    for (int i = 0; i < count; ++i)
        names_.push_back(QString::fromUtf8(sqlite3_column_name(stmt, i)));
    eof_ = !stmt_.step();
}

void Recordset::requireRow() const
{
    if (eof_)
        throw SpinlogError(noCurrentRecord());
}

void Recordset::moveNext()
{
    requireRow();
    eof_ = !stmt_.step();
}

int Recordset::index(const QString &name) const
{
    const int count = int(names_.size());
    // Callers mostly read fields in the order of the select, so the search
    // starts after the field found last and usually succeeds at once.
    for (int i = 0; i < count; ++i) {
        const int j = (hint_ + i) % count;
        if (names_[j] == name) {
            hint_ = (j + 1) % count;
            return j;
        }
    }
    for (int j = 0; j < count; ++j)
        if (names_[j].compare(name, Qt::CaseInsensitive) == 0)
            return j;
    throw SpinlogError(itemNotFound(name));
}

QVariant Recordset::field(int index) const
{
    requireRow();
    if (index < 0 || index >= int(names_.size()))
        throw SpinlogError(itemNotFound(QString::number(index)));
    return columnValue(stmt_.handle(), index);
}

QString Recordset::text(int index) const
{
    requireRow();
    if (index < 0 || index >= int(names_.size()))
        throw SpinlogError(itemNotFound(QString::number(index)));
    sqlite3_stmt *stmt = stmt_.handle();
    switch (sqlite3_column_type(stmt, index)) {
        case SQLITE_NULL: throw SpinlogError(describe::invalidNull());
        case SQLITE_INTEGER: return QString::number(qlonglong(sqlite3_column_int64(stmt, index)));
        case SQLITE_FLOAT: return realText(sqlite3_column_double(stmt, index));
        default: {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, index));
            return QString::fromUtf8(text, sqlite3_column_bytes(stmt, index));
        }
    }
}

// --- TableAppender ----------------------------------------------------------

TableAppender::TableAppender(Database &db, const QString &table) : db_(db), table_(quoted(table))
{
    // Fail here for a missing table, as opening it by name would.
    Statement probe(db_, QStringLiteral("select * from ") + table_ + QStringLiteral(" limit 0"));
}

void TableAppender::set(const QString &field, const QVariant &value)
{
    const QString name = quoted(field);
    for (int i = 0; i < fields_.size(); ++i) {
        if (fields_[i].compare(name, Qt::CaseInsensitive) == 0) {
            values_[i] = value;
            return;
        }
    }
    fields_ << name;
    values_ << value;
}

void TableAppender::update()
{
    QString sql = QStringLiteral("insert into ") + table_;
    if (fields_.isEmpty()) {
        sql += QStringLiteral(" default values");
    } else {
        QStringList marks;
        for (int i = 0; i < fields_.size(); ++i) marks << QStringLiteral("?");
        sql += QStringLiteral(" (") + fields_.join(QLatin1Char(',')) +
               QStringLiteral(") values (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    db_.execute(sql, values_);
    fields_.clear();
    values_.clear();
}

// --- Transaction ------------------------------------------------------------

Transaction::Transaction(Database &db) : db_(db)
{
    db_.execute(QStringLiteral("BEGIN"));
}

Transaction::~Transaction()
{
    // The engine may already have rolled back after a failed statement.
    if (!done_ && !sqlite3_get_autocommit(db_.handle()))
        sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    db_.execute(QStringLiteral("COMMIT"));
    done_ = true;
}

}  // namespace spinlog
