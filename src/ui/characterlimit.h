// A line edit limited to a number of characters rather than UTF-16 units:
// QLineEdit's own maxLength counts units, so it would give a name written
// outside the Basic Multilingual Plane half its length and may cut a pasted
// text between the two halves of a character.
#pragma once

class QLineEdit;

void limitToCharacters(QLineEdit *edit, int maxChars);
