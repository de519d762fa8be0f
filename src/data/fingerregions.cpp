#include "fingerregions.h"

#include "bioobjects.h"

#include <QFile>
#include <QtEndian>

void CreateFingers(FingerList &fingers, const QString &programDir)
{
    fingers.reset();
    QFile file(programDir + QStringLiteral("finger.bin"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray data = file.read(160);
    auto field = [&data](int offset) -> int32_t {
        if (offset + 4 > data.size())
            return 0;
        return qFromLittleEndian<int32_t>(data.constData() + offset);
    };
    for (int position = 1; position <= 10; ++position) {
        TRegion &r = fingers.FingerAtPosition(position)->Region;
        const int base = 16 * (position - 1);
        r.Left = field(base);
        r.Top = field(base + 4);
        r.Right = field(base + 8);
        r.Bottom = field(base + 12);
    }
}
