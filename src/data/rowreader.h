// One row of a select, read column by column as the type the caller wants.
// Lists of thousands of persons are read this way: on SQLite the values come
// straight from the engine, without a QVariant per field.
#pragma once

#include <QString>
#include <cstdint>

class RowReader
{
public:
    virtual ~RowReader() = default;
    virtual int64_t integer(int column) const = 0;
    virtual QString text(int column) const = 0;
};
