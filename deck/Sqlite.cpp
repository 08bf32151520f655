#include "deck/Sqlite.h"

#include <sqlite3.h>

#include <utility>

#include "deck/FileCalls.h"

namespace korva::sqlite {

namespace {

// "disk I/O error: No space left on device": SQLite's words, then the
// system's when a system call was the cause.
std::string Reason(sqlite3* db, int rc) {
    std::string reason = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const int error = db != nullptr ? sqlite3_system_errno(db) : 0;
    if (error != 0 && (rc & 0xFF) != SQLITE_CORRUPT && (rc & 0xFF) != SQLITE_NOTADB) {
        reason += ": " + detail::SystemReason(error);
    }
    return reason;
}

}  // namespace

namespace {

DeckErrorDetail Detail(sqlite3* db, int rc, DeckErrorKind kind) {
    switch (rc & 0xFF) {
        case SQLITE_NOMEM: return {.kind = DeckErrorKind::OutOfMemory};
        case SQLITE_CORRUPT: kind = DeckErrorKind::DatabaseDamaged; break;
        case SQLITE_NOTADB: kind = DeckErrorKind::NotKorvaDeck; break;
        default: break;
    }
    return {.kind = kind, .cause = FileCause::System, .systemReason = Reason(db, rc)};
}

}  // namespace

Error::Error(sqlite3* db, int rc, DeckErrorKind kind) : DeckError(Detail(db, rc, kind)), Code_(rc) {}

Database::Database(const std::string& path, int flags, DeckErrorKind failKind, const char* vfs) : FailKind_(failKind) {
    // A connection serves one thread only: no mutex around every call.
    const int rc = sqlite3_open_v2(path.c_str(), &Db_, flags | SQLITE_OPEN_NOMUTEX, vfs);
    if (rc != SQLITE_OK) {
        Error error(Db_, rc, DeckErrorKind::CannotOpen);
        sqlite3_close_v2(Db_);
        throw error;
    }
    // Extended codes tell a hot journal that cannot be rolled back from
    // other read-only failures.
    sqlite3_extended_result_codes(Db_, 1);
}

Database::~Database() { sqlite3_close_v2(Db_); }

void Database::Close() {
    const int rc = sqlite3_close(Db_);
    if (rc != SQLITE_OK) {
        Fail(rc);
    }
    Db_ = nullptr;
}

void Database::Exec(const char* sql) {
    const int rc = sqlite3_exec(Db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        Fail(rc);
    }
}

int64_t Database::QueryInt(const char* sql) {
    Statement statement(*this, sql);
    return statement.Step() ? statement.Int(0) : 0;
}

void Database::Fail(int rc) const { Fail(rc, FailKind_); }

void Database::Fail(int rc, DeckErrorKind kind) const { throw Error(Db_, rc, kind); }

Statement::Statement(Database& db, std::string_view sql) : Db_(db) {
    const int rc = sqlite3_prepare_v2(db.get(), sql.data(), static_cast<int>(sql.size()), &Stmt_, nullptr);
    if (rc != SQLITE_OK) {
        db.Fail(rc);
    }
}

Statement::~Statement() { sqlite3_finalize(Stmt_); }

Statement& Statement::Bind(int index, int64_t value) {
    const int rc = sqlite3_bind_int64(Stmt_, index, value);
    if (rc != SQLITE_OK) {
        Db_.Fail(rc);
    }
    return *this;
}

Statement& Statement::BindReal(int index, double value) {
    const int rc = sqlite3_bind_double(Stmt_, index, value);
    if (rc != SQLITE_OK) {
        Db_.Fail(rc);
    }
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    // A null pointer would bind NULL; an empty item is an empty text.
    const int rc =
        sqlite3_bind_text64(Stmt_, index, text.empty() ? "" : text.data(), text.size(), SQLITE_STATIC, SQLITE_UTF8);
    if (rc != SQLITE_OK) {
        Db_.Fail(rc);
    }
    return *this;
}

bool Statement::Step() {
    const int rc = sqlite3_step(Stmt_);
    if (rc == SQLITE_ROW) {
        return true;
    }
    if (rc != SQLITE_DONE) {
        Db_.Fail(rc);
    }
    return false;
}

void Statement::Run() {
    Step();
    Reset();
}

void Statement::Reset() {
    const int rc = sqlite3_reset(Stmt_);
    if (rc != SQLITE_OK) {
        Db_.Fail(rc);
    }
}

int Statement::Type(int column) const { return sqlite3_column_type(Stmt_, column); }

int64_t Statement::Int(int column) const { return sqlite3_column_int64(Stmt_, column); }

bool Statement::IntegerAt(int column, int64_t& value) const {
    sqlite3_value* cell = sqlite3_column_value(Stmt_, column);
    if (sqlite3_value_type(cell) != SQLITE_INTEGER) {
        return false;
    }
    value = sqlite3_value_int64(cell);
    return true;
}

bool Statement::RealAt(int column, double& value) const {
    sqlite3_value* cell = sqlite3_column_value(Stmt_, column);
    if (sqlite3_value_type(cell) != SQLITE_FLOAT) {
        return false;
    }
    value = sqlite3_value_double(cell);
    return true;
}

std::string_view Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(Stmt_, column));
    return {text != nullptr ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(Stmt_, column))};
}

Transaction::Transaction(Database& db, const char* begin) : Db_(db) { db.Exec(begin); }

Transaction::~Transaction() {
    if (Open_) {
        // After some failures SQLite has already rolled back; a second
        // rollback then only reports that no transaction is open.
        sqlite3_exec(Db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::Commit() {
    Db_.Exec("COMMIT");
    Open_ = false;
}

}  // namespace korva::sqlite
