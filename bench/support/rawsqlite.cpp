#include "rawsqlite.h"

#include <cstdio>

RawSqlite::RawSqlite(const std::string &file)
{
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", file.c_str(), m_db ? sqlite3_errmsg(m_db) : "cannot open");
        sqlite3_close(m_db);
        m_db = nullptr;
        return;
    }
    sqlite3_busy_timeout(m_db, 8000);
}

RawSqlite::~RawSqlite()
{
    sqlite3_close(m_db);
}

bool RawSqlite::exec(const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "%s: %s\n", sql, error ? error : "?");
    sqlite3_free(error);
    return false;
}

RawSqlite::Statement::Statement(sqlite3 *db, const char *sql)
{
    if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
}

RawSqlite::Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

bool RawSqlite::Statement::run()
{
    const int rc = sqlite3_step(m_stmt);
    sqlite3_reset(m_stmt);
    if (rc == SQLITE_DONE)
        return true;
    std::fprintf(stderr, "%s\n", sqlite3_errmsg(sqlite3_db_handle(m_stmt)));
    return false;
}
