// The keys of the settings the station keeps in the Kolv table ini, with the
// defaults it reads them with. The Kolv software and its service use the same
// keys, so their spelling must not drift between windows.
#pragma once

#include <QString>

namespace settingskeys {

inline const QString pelvar = QStringLiteral("PELVAR");
inline const QString service = QStringLiteral("SERVICE");

// Scanner and synchronisation settings, written together by SaveSettings.
inline const QString comPort = QStringLiteral("COMPORT");
inline const QString dataFormat = QStringLiteral("DATAFORMAT");
inline const QString security = QStringLiteral("SECURITY");
inline const QString quality = QStringLiteral("QUALITY");
inline const QString minMinutiae = QStringLiteral("MINMINUTIAE");
inline const QString nofScans = QStringLiteral("NOFSCANS");
inline const QString portType = QStringLiteral("PORTTYPE");
inline const QString syncMode = QStringLiteral("SYNCMODE");
inline const QString syncTime = QStringLiteral("SYNCTIME");  // date-time

// The synchronisation request and the service's status.
inline const QString doUpdate = QStringLiteral("DOUPDATE");          // boolean
inline const QString doUpdateTime = QStringLiteral("DOUPDATETIME");  // date-time
inline const QString didUpdate = QStringLiteral("DIDUPDATE");        // text
inline const QString isAlive = QStringLiteral("ISALIVE");            // boolean, section SERVICE

// Defaults when a setting is missing or unreadable (SYNCTIME: the current time).
inline const QString defaultComPort = QStringLiteral("COM1");
constexpr int defaultDataFormat = 1;
constexpr int defaultSecurity = 60;
constexpr int defaultQuality = 40;
constexpr int defaultMinMinutiae = 7;
constexpr int defaultNofScans = 3;
constexpr int defaultPortType = 0;
constexpr int defaultSyncMode = 0;
inline const QString defaultDidUpdate = QStringLiteral("unbekannt");

}  // namespace settingskeys
