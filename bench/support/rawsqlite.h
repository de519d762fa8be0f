// The sqlite3 C API without anything of ours in between: the generator's
// writes, and the baseline that every figure of the benchmarks is set against.
#pragma once

#include <sqlite3.h>
#include <string>
#include <utility>

class RawSqlite
{
public:
    explicit RawSqlite(const std::string &file);
    ~RawSqlite();
    RawSqlite(const RawSqlite &) = delete;
    RawSqlite &operator=(const RawSqlite &) = delete;

    bool ok() const { return m_db != nullptr; }
    sqlite3 *handle() const { return m_db; }
    // Runs statements without rows; false (with the text on stderr) on an error.
    bool exec(const char *sql);

    // A prepared statement, finalized with its owner.
    class Statement
    {
    public:
        Statement(sqlite3 *db, const char *sql);
        ~Statement();
        Statement(const Statement &) = delete;
        Statement &operator=(const Statement &) = delete;
        sqlite3_stmt *get() const { return m_stmt; }
        void bind(int index, int value) { sqlite3_bind_int(m_stmt, index, value); }
        void bind(int index, const std::string &value)
        {
            sqlite3_bind_text(m_stmt, index, value.data(), int(value.size()), SQLITE_TRANSIENT);
        }
        void bind(int index, const void *blob, int size) { sqlite3_bind_blob(m_stmt, index, blob, size, SQLITE_TRANSIENT); }
        // One step of a statement without rows, then ready for the next binding.
        bool run();
        // Hands every row to visit, then resets the statement.
        template <typename Visit> void each(Visit &&visit)
        {
            while (sqlite3_step(m_stmt) == SQLITE_ROW)
                visit(m_stmt);
            sqlite3_reset(m_stmt);
        }

    private:
        sqlite3_stmt *m_stmt = nullptr;
    };

private:
    sqlite3 *m_db = nullptr;
};

// The text of a column, as a std::string copy (what a reader keeps of a row).
inline std::string columnText(sqlite3_stmt *stmt, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return text ? std::string(text, size_t(sqlite3_column_bytes(stmt, column))) : std::string();
}
