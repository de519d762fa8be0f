#include "inifile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80-0x9F; the five unused codes
// are read as the C1 controls, as Windows does, so that they write back unchanged.
const char16_t cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const uchar b = uchar(c);
        text += QChar(b >= 0x80 && b < 0xA0 ? cp1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

// False when a character has no Windows-1252 code.
bool toWindows1252(const QString &text, QByteArray *bytes)
{
    bytes->clear();
    bytes->reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes->append(char(u));
            continue;
        }
        int code = -1;
        for (int i = 0; i < 32 && code < 0; ++i)
            if (cp1252High[i] == u)
                code = 0x80 + i;
        if (code < 0)
            return false;
        bytes->append(char(code));
    }
    return true;
}

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
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        result.byteOrderMark = true;
        bytes.remove(0, 3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        text = fromWindows1252(bytes);
        result.windows1252 = true;
        result.byteOrderMark = false;
    }
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
    const QString text = file.lines.join(file.eol) + file.eol;
    QByteArray bytes;
    // A value the code page cannot hold (none of the station's own texts)
    // turns the file into UTF-8 rather than losing characters.
    if (!file.windows1252 || !toWindows1252(text, &bytes))
        bytes = (file.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
    out.write(bytes);
    return out.commit();
}
