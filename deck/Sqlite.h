#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "deck/DeckError.h"

struct sqlite3;
struct sqlite3_stmt;

// A thin owner of SQLite's C handles for the .korva deck file: every handle
// is released on every way out, and every failure becomes a DeckError, so
// the file code above reads as straight-line steps.
namespace korva::sqlite {

// A failure of SQLite, as the deck layer reports it, with SQLite's extended
// result code for the code that handles some of them itself. Damage
// (SQLITE_CORRUPT) is DatabaseDamaged, a file that is no database
// (SQLITE_NOTADB) NotKorvaDeck, lack of memory OutOfMemory; every other
// failure is of the kind the caller was attempting (CannotOpen, CannotRead,
// CannotSave). SQLite's own words, and the system's when a system call
// failed, are the reason.
class Error : public DeckError {
public:
    Error(sqlite3* db, int rc, DeckErrorKind kind);
    int code() const { return Code_; }

private:
    int Code_;
};

class Database {
public:
    // sqlite3_open_v2 with flags (SQLITE_OPEN_*); vfs null for the default.
    // failKind is the kind of every later failure on this connection that
    // is not damage (see Failure); the open itself fails as CannotOpen.
    Database(const std::string& path, int flags, DeckErrorKind failKind, const char* vfs = nullptr);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* get() const { return Db_; }

    // Runs one or more statements that return no rows the caller wants.
    void Exec(const char* sql);
    // The integer of the first column of the first row of sql (a pragma).
    int64_t QueryInt(const char* sql);

    // Closes the file now and reports a failure to do so; the destructor
    // closes it as well but cannot report.
    void Close();

    // Throws the Error for rc on this connection.
    [[noreturn]] void Fail(int rc) const;
    [[noreturn]] void Fail(int rc, DeckErrorKind kind) const;

private:
    sqlite3* Db_ = nullptr;
    DeckErrorKind FailKind_;
};

// A prepared statement. Binds and columns are 1-based and 0-based as in SQLite.
class Statement {
public:
    Statement(Database& db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value);
    // Named apart, so that an integer never binds as a real by mistake.
    Statement& BindReal(int index, double value);
    // The text is bound without a copy: it must outlive the next Step.
    Statement& Bind(int index, std::string_view text);

    // True with a row to read, false when the statement has finished.
    bool Step();
    // Steps a statement that returns no rows, then resets it for new binds.
    void Run();
    void Reset();

    // SQLITE_INTEGER, SQLITE_TEXT, ... of a column of the current row.
    int Type(int column) const;
    int64_t Int(int column) const;
    // The column's integer, or false when it holds none (text, a real, NULL):
    // the type and the value in one look, for the rows read by the million.
    bool IntegerAt(int column, int64_t& value) const;
    // The column's real, or false when it holds none (an integer, text, NULL).
    bool RealAt(int column, double& value) const;
    // Valid until the next Step or Reset.
    std::string_view Text(int column) const;

private:
    Database& Db_;
    sqlite3_stmt* Stmt_ = nullptr;
};

// BEGIN on construction; ROLLBACK on destruction unless Commit succeeded,
// so that a throw anywhere in between leaves the file as it was.
class Transaction {
public:
    explicit Transaction(Database& db, const char* begin = "BEGIN");
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void Commit();

private:
    Database& Db_;
    bool Open_ = true;
};

}  // namespace korva::sqlite
