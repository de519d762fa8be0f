#include "personname.h"

#include "personnelnumber.h"

int characterCount(const QString &text)
{
    int count = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

QString nameTooLongMessage(int characters)
{
    return QStringLiteral("Der Name darf höchstens %1 Zeichen lang sein (%2 Zeichen)")
        .arg(int(PersonNameMaxChars))
        .arg(characters);
}

QString checkedPersonName(const QString &name)
{
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            throw InputError(QStringLiteral("Der Name enthält ein unvollständiges Zeichen"));
    }
    const int characters = characterCount(name);
    if (characters > PersonNameMaxChars)
        throw InputError(nameTooLongMessage(characters));
    return name;
}
