// An initialisation file with the semantics of Windows profile files: section
// and key names are matched without regard to case, values are taken
// literally, every other line is kept as it was, and the file is created on
// the first write. QSettings does not fit (case-sensitive names on Linux,
// escapes in values, rewrites the whole file in its own form).
//
// The file is read as UTF-8 when it is valid UTF-8 (a byte order mark is
// kept), otherwise as Windows-1252, the code page of the Windows tools that
// edit it, and it is written back in the encoding it was read in. A new or
// plain ASCII file is UTF-8.
#pragma once

#include <QString>
#include <QStringList>

class IniFile
{
public:
    explicit IniFile(const QString &path) : m_path(path) {}

    const QString &path() const { return m_path; }

    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    // False when the file cannot be written.
    bool writeString(const QString &section, const QString &key, const QString &value);

private:
    struct Lines
    {
        QStringList lines;
        QString eol = QStringLiteral("\n");
        bool windows1252 = false;
        bool byteOrderMark = false;
    };
    Lines load() const;
    // Index of the line holding key in section, or -1; sectionEnd receives the
    // index after the section's last entry line (or -1 without the section).
    static int find(const QStringList &lines, const QString &section, const QString &key, int *sectionEnd);

    QString m_path;
};
