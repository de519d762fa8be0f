#include "inifile.h"

#include <QFile>
#include <QSaveFile>

namespace {

bool isSection(const QString &trimmed) { return trimmed.startsWith(QLatin1Char('[')); }

QString sectionName(const QString &trimmed)
{
    const int close = trimmed.indexOf(QLatin1Char(']'));
    return trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

bool isComment(const QString &trimmed) { return trimmed.startsWith(QLatin1Char(';')); }

}  // namespace

IniFile::Lines IniFile::load() const
{
    Lines result;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    QString text = QString::fromUtf8(file.readAll());
    if (text.contains(QLatin1String("\r\n")))
        result.eol = QStringLiteral("\r\n");
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.lines = text.split(QLatin1Char('\n'));
    if (!result.lines.isEmpty() && result.lines.last().isEmpty())
        result.lines.removeLast();
    return result;
}

int IniFile::find(const QStringList &lines, const QString &section, const QString &key, int *sectionEnd)
{
    bool inSection = false;
    *sectionEnd = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines[i].trimmed();
        if (isSection(trimmed)) {
            if (inSection)
                return -1;  // only the first section of that name counts
            inSection = sectionName(trimmed).compare(section, Qt::CaseInsensitive) == 0;
            if (inSection)
                *sectionEnd = i + 1;
            continue;
        }
        if (!inSection || trimmed.isEmpty() || isComment(trimmed))
            continue;
        *sectionEnd = i + 1;
        const int eq = trimmed.indexOf(QLatin1Char('='));
        if (eq > 0 && trimmed.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Lines file = load();
    int sectionEnd = -1;
    const int at = find(file.lines, section, key, &sectionEnd);
    if (at < 0)
        return defaultValue;
    const QString &line = file.lines[at];
    QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    // Like the profile functions: one pair of enclosing quotes is dropped.
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    Lines file = load();
    int sectionEnd = -1;
    const int at = find(file.lines, section, key, &sectionEnd);
    const QString entry = key + QLatin1Char('=') + value;
    if (at >= 0) {
        file.lines[at] = entry;
    } else if (sectionEnd >= 0) {
        file.lines.insert(sectionEnd, entry);
    } else {
        file.lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    }
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write((file.lines.join(file.eol) + file.eol).toUtf8());
    return out.commit();
}
