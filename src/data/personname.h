// The person's name as stored in fingerid.name: at most 50 characters. A
// character is a Unicode code point, so a name in a script outside the
// Basic Multilingual Plane gets its 50 characters too and is never cut
// between the two halves of one.
#pragma once

#include <QString>

enum { PersonNameMaxChars = 50 };

// The number of characters (code points) of the text.
int characterCount(const QString &text);

// The name when it fits; otherwise throws InputError with nameTooLongMessage().
// A lone surrogate (half a character) is refused the same way it would be
// stored broken.
QString checkedPersonName(const QString &name);

// "Der Name darf höchstens 50 Zeichen lang sein (<n> Zeichen)".
QString nameTooLongMessage(int characters);
