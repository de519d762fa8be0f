#include "startup.h"

#include "inifile.h"
#include "operatorui.h"
#include "settingsexchange.h"
#include "station.h"
#include "tdbini.h"
#include "tdm.h"

#include <QDir>
#include <QFileInfo>

namespace {

IniFile dataIni(const Station &station)
{
    return IniFile(station.ProgramDir + QStringLiteral("data.ini"));
}

bool dictionaryExists(const QString &dataPath)
{
    return QFileInfo(dataPath + startup::dictionary).isFile();
}

}  // namespace

QString withTrailingDelimiter(const QString &path)
{
    if (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        return path;
    return path + QDir::separator();
}

bool findInstallation(Station &station, const QString &programDir)
{
    station.ProgramDir = withTrailingDelimiter(programDir);
    station.DataPath.clear();
    const IniFile ini = dataIni(station);
    station.LastTerminalGroup = ini.readString(QStringLiteral("PELVAR"), QStringLiteral("LASTGERGROUP"), QString());
    station.DataPath =
        withTrailingDelimiter(ini.readString(QStringLiteral("APPLICATION"), QStringLiteral("DATAPATH"), QString()));
    if (!dictionaryExists(station.DataPath)) {
        station.ui->message(
            QStringLiteral("Quorvel-Kolv wurde nicht gefunden-bitte wählen Sie den Installationsordner"));
        const QString folder = station.ui->chooseFolder(startup::chooserTitle);
        if (!folder.isEmpty())
            station.DataPath = withTrailingDelimiter(QDir::toNativeSeparators(folder));
    }
    if (!dictionaryExists(station.DataPath)) {
        station.ui->message(QStringLiteral("Nicht gefunden"));
        return false;
    }
    return true;
}

void connectInstallation(Station &station, std::unique_ptr<Tdbini> &settings)
{
    station.dm->setConnectionPath(station.DataPath + startup::dictionary);
    dataIni(station).writeString(QStringLiteral("APPLICATION"), QStringLiteral("DATAPATH"), station.DataPath);
    if (!settings)
        settings = std::make_unique<Tdbini>(*station.dm);
    station.Settings = settings.get();
    station.dm->open();
    LoadSettings(station);
}
