#include "templateheader.h"

#include <algorithm>
#include <cstring>

namespace {

void putPid(uint8_t *header, int32_t pid)
{
    const auto id = uint64_t(int64_t(pid));
    for (int i = 0; i < 8; ++i)
        header[i] = uint8_t(id >> (8 * i));
}

}  // namespace

void stampTemplate(const Tscan &scan, int32_t pid, uint8_t (&buffer)[TEMPLATE_SIZE])
{
    std::memset(buffer, 0, sizeof buffer);
    const int length = std::clamp(scan.TemplateLength, 0, int(TEMPLATE_SIZE));
    std::memcpy(buffer, scan.Template, size_t(length));
    putPid(buffer, pid);
    buffer[TEMPLATE_FINGER_BYTE] = uint8_t(scan.FingerNo);
}

QByteArray stampedTemplate(const Tscan &scan, int32_t pid)
{
    uint8_t buffer[TEMPLATE_SIZE];
    stampTemplate(scan, pid, buffer);
    return QByteArray(reinterpret_cast<const char *>(buffer), std::clamp(scan.TemplateLength, 0, int(TEMPLATE_SIZE)));
}

void writeHeaderPid(QByteArray &templ, int32_t pid)
{
    if (templ.size() >= 8)
        putPid(reinterpret_cast<uint8_t *>(templ.data()), pid);
}

void writeHeaderFinger(QByteArray &templ, int fingerNo)
{
    if (templ.size() > TEMPLATE_FINGER_BYTE)
        templ[TEMPLATE_FINGER_BYTE] = char(uint8_t(fingerNo));
}

int templateLength(int dataType)
{
    switch (dataType) {
    case 0:
        return 161;
    case 1:
        return TEMPLATE_SIZE;
    default:
        return -1;
    }
}

int storedTemplateFormat(const QVariant &dataType, const QByteArray &fdata)
{
    if (dataType.isNull()) {
        for (int format : {1, 0})
            if (fdata.size() == templateLength(format))
                return format;
        return -1;
    }
    bool ok = false;
    const int format = dataType.toInt(&ok);
    return ok && templateLength(format) == fdata.size() ? format : -1;
}

QString storedTemplateDescription(int fid, int scanNo, const QVariant &dataType, const QByteArray &fdata)
{
    QString text = QStringLiteral("Finger %1").arg(fid);
    if (scanNo > 0)
        text += QStringLiteral(", Scan %1").arg(scanNo);
    return text + QStringLiteral(": %1 Bytes, Datentyp %2")
                      .arg(fdata.size())
                      .arg(dataType.isNull() ? QStringLiteral("leer") : dataType.toString());
}
