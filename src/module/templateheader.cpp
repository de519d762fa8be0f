#include "templateheader.h"

#include <algorithm>
#include <cstring>

void stampTemplate(const Tscan &scan, int32_t pid, uint8_t (&buffer)[TEMPLATE_SIZE])
{
    std::memset(buffer, 0, sizeof buffer);
    const int length = std::clamp(scan.TemplateLength, 0, int(TEMPLATE_SIZE));
    std::memcpy(buffer, scan.Template, size_t(length));
    const auto id = uint64_t(int64_t(pid));
    for (int i = 0; i < 8; ++i)
        buffer[i] = uint8_t(id >> (8 * i));
    buffer[TEMPLATE_FINGER_BYTE] = uint8_t(scan.FingerNo);
}

QByteArray stampedTemplate(const Tscan &scan, int32_t pid)
{
    uint8_t buffer[TEMPLATE_SIZE];
    stampTemplate(scan, pid, buffer);
    return QByteArray(reinterpret_cast<const char *>(buffer), std::clamp(scan.TemplateLength, 0, int(TEMPLATE_SIZE)));
}
