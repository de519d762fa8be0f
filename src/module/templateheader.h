// The header of a template as the terminals and the module's store expect it:
// bytes 0-7 the personnel number (signed 64-bit little-endian, the 32-bit
// number sign-extended), byte 8 the finger number. The module delivers those
// bytes empty, so every template leaving the station is stamped in a copy;
// the scan in memory keeps what the module delivered.
#pragma once

#include "bioobjects.h"

#include <QByteArray>
#include <cstdint>

// The scan's TemplateLength bytes with the header stamped in.
QByteArray stampedTemplate(const Tscan &scan, int32_t pid);
// The same into a full-size buffer (the rest zero), for the module library.
void stampTemplate(const Tscan &scan, int32_t pid, uint8_t (&buffer)[TEMPLATE_SIZE]);
// A stored template's header rewritten in place: bytes 0-7 to the number and
// byte 8 to the finger. A template too short for the field is left as it is.
void writeHeaderPid(QByteArray &templ, int32_t pid);
void writeHeaderFinger(QByteArray &templ, int fingerNo);
