// The header of a template as the terminals and the module's store expect it:
// bytes 0-7 the personnel number (signed 64-bit little-endian, the 32-bit
// number sign-extended), byte 8 the finger number. The module delivers those
// bytes empty, so every template leaving the station is stamped in a copy;
// the scan in memory keeps what the module delivered.
#pragma once

#include "bioobjects.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>

// The scan's TemplateLength bytes with the header stamped in.
QByteArray stampedTemplate(const Tscan &scan, int32_t pid);
// The same into a full-size buffer (the rest zero), for the module library.
void stampTemplate(const Tscan &scan, int32_t pid, uint8_t (&buffer)[TEMPLATE_SIZE]);
// A stored template's header rewritten in place: bytes 0-7 to the number and
// byte 8 to the finger. A template too short for the field is left as it is.
void writeHeaderPid(QByteArray &templ, int32_t pid);
void writeHeaderFinger(QByteArray &templ, int fingerNo);

// The length of a template of the data format: 161 bytes for format 0, 216
// for format 1; -1 for a format the station does not know.
int templateLength(int dataType);

// The data format a stored template is read in: its stored Datatype when the
// length fits it; for a NULL Datatype (the Kolv software can leave one) the
// format its length belongs to. -1 when the block cannot be a template of
// any format it may have; such a template is reported, never cut or padded.
int storedTemplateFormat(const QVariant &dataType, const QByteArray &fdata);

// "Finger <fid>, Scan <n>: <length> Bytes, Datentyp <type>" (without a scan
// number for a transfer template), for the report of unusable templates.
QString storedTemplateDescription(int fid, int scanNo, const QVariant &dataType, const QByteArray &fdata);
