#include "fingerregions.h"

#include "bioobjects.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <array>

namespace {

QString unusable(const QString &path, const QString &why)
{
    return QStringLiteral("Die Fingerbereiche in %1 sind nicht verwendbar: %2.\n"
                          "Die Finger können nicht gewählt werden.")
        .arg(QDir::toNativeSeparators(path), why);
}

}  // namespace

QString CreateFingers(FingerList &fingers, const QString &programDir)
{
    fingers.reset();
    const QString path = programDir + QStringLiteral("finger.bin");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unusable(path, QStringLiteral("die Datei fehlt oder kann nicht gelesen werden"));
    const QByteArray data = file.read(RegionFileSize);
    if (data.size() < RegionFileSize)
        return unusable(path, QStringLiteral("sie ist %1 Bytes lang statt %2").arg(data.size()).arg(RegionFileSize));

    // All ten are checked before any is taken, so that a bad file never
    // leaves a mix of real and nonsense regions.
    std::array<TRegion, 10> regions;
    for (int n = 1; n <= 10; ++n) {
        const char *record = data.constData() + 16 * (n - 1);
        TRegion &r = regions[size_t(n - 1)];
        r.Left = qFromLittleEndian<int32_t>(record);
        r.Top = qFromLittleEndian<int32_t>(record + 4);
        r.Right = qFromLittleEndian<int32_t>(record + 8);
        r.Bottom = qFromLittleEndian<int32_t>(record + 12);
        const bool inBox = r.Left >= 0 && r.Top >= 0 && r.Right <= HandBoxWidth && r.Bottom <= HandBoxHeight;
        if (!inBox || r.Left >= r.Right || r.Top >= r.Bottom)
            return unusable(path, QStringLiteral("der Bereich von Finger %1 (%2, %3, %4, %5) ist leer oder liegt nicht im Bild %6 x %7")
                                      .arg(n)
                                      .arg(r.Left)
                                      .arg(r.Top)
                                      .arg(r.Right)
                                      .arg(r.Bottom)
                                      .arg(int(HandBoxWidth))
                                      .arg(int(HandBoxHeight)));
    }
    for (int position = 1; position <= 10; ++position)
        fingers.FingerAtPosition(position)->Region = regions[size_t(position - 1)];
    return {};
}
