#include "settingsexchange.h"

#include "clock.h"
#include "guard.h"
#include "datetimevalue.h"
#include "modulesession.h"
#include "settingskeys.h"
#include "station.h"
#include "tdbini.h"
#include "tsetupform.h"
#include "ui_tsetupform.h"

namespace {

// A stored value outside the slider's range is not taken: clamping it would
// silently store a different value on the next "OK".
void setPositionInRange(QSlider *slider, int position)
{
    if (position >= slider->minimum() && position <= slider->maximum())
        slider->setValue(position);
}

// "Anzahl Scans/ Finger": any 32-bit integer is taken as it stands; the
// dialog's OK refuses anything else, which still gives 3 here.
int32_t scansValue(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : settingskeys::defaultNofScans;
}

}  // namespace

void fillSetupForm(const Station &station, TSetupform &form)
{
    form.ensurePortList();
    Ui::TSetupform &c = form.controls();
    setPositionInRange(c.securitytrack, station.Security);
    setPositionInRange(c.qualitytrack, station.Quality);
    setPositionInRange(c.minuzientrack, station.MinMinutiae);
    form.setFormatgroupIndex(station.DataFormat);
    form.setSchnittstelleIndex(station.PortType);
    c.scans->setText(QString::number(station.NofScans));
    if (station.SyncMode != 0)
        c.synctime->setChecked(true);
    else
        c.syncimmediate->setChecked(true);
    c.syncedit->setTime(datetimevalue::toDateTime(station.SyncTime).time());
    form.syncimmediateClick();
    form.choosePort(station.ComPort);
    form.securitytrackPositionChanged(c.securitytrack, c.securitytrack->value());
    form.securitytrackPositionChanged(c.qualitytrack, c.qualitytrack->value());
    form.securitytrackPositionChanged(c.minuzientrack, c.minuzientrack->value());
}

void takeSetupForm(Station &station, const TSetupform &form)
{
    const Ui::TSetupform &c = form.controls();
    station.ComPort = c.Comcombo->currentText();
    station.PortType = form.SchnittstelleIndex();
    station.DataFormat = uint8_t(form.formatgroupIndex());
    station.Security = uint8_t(c.securitytrack->value());
    station.Quality = uint8_t(c.qualitytrack->value());
    station.MinMinutiae = uint8_t(c.minuzientrack->value());
    station.NofScans = scansValue(c.scans->text());
    // Only the time of day is used; the stored day stays, so that the value
    // written back differs from the old one in nothing but the time. UTC keeps
    // a time in a daylight-saving gap from being moved.
    const QDate day = datetimevalue::toDateTime(station.SyncTime).date();
    station.SyncTime = datetimevalue::fromDateTime(QDateTime(day, c.syncedit->time(), Qt::UTC));
    station.SyncMode = c.syncimmediate->isChecked() ? 0 : 1;
}

void SaveSettings(Station &station)
{
    if (!station.Settings)
        return;
    using namespace settingskeys;
    Tdbini &s = *station.Settings;
    // All or nothing: the Kolv software never reads half a set of settings.
    s.transaction([&] {
        s.WriteString(pelvar, comPort, station.ComPort);
        s.WriteInteger(pelvar, dataFormat, station.DataFormat);
        s.WriteInteger(pelvar, security, station.Security);
        s.WriteInteger(pelvar, quality, station.Quality);
        s.WriteInteger(pelvar, minMinutiae, station.MinMinutiae);
        s.WriteInteger(pelvar, nofScans, station.NofScans);
        s.WriteInteger(pelvar, portType, station.PortType);
        s.WriteInteger(pelvar, syncMode, station.SyncMode);
        s.WriteFloat(pelvar, syncTime, station.SyncTime);
    });
}

void LoadSettings(Station &station)
{
    using namespace settingskeys;
    Tdbini &s = *station.Settings;
    const QDateTime now = station.clock ? station.clock->now() : QDateTime::currentDateTime();
    // The 8-bit fields keep the low byte of what is stored.
    station.ComPort = s.ReadString(pelvar, comPort, defaultComPort);
    station.DataFormat = uint8_t(s.ReadInteger(pelvar, dataFormat, defaultDataFormat));
    station.Security = uint8_t(s.ReadInteger(pelvar, security, defaultSecurity));
    station.Quality = uint8_t(s.ReadInteger(pelvar, quality, defaultQuality));
    station.MinMinutiae = uint8_t(s.ReadInteger(pelvar, minMinutiae, defaultMinMinutiae));
    station.NofScans = s.ReadInteger(pelvar, nofScans, defaultNofScans);
    station.SyncTime = s.ReadFloat(pelvar, syncTime, datetimevalue::fromDateTime(now));
    station.SyncMode = uint8_t(s.ReadInteger(pelvar, syncMode, defaultSyncMode));
    station.PortType = s.ReadInteger(pelvar, portType, defaultPortType);
}

void Einstellungen1Click(Station &station, TSetupform &form, const std::function<void()> &updateCaption)
{
    fillSetupForm(station, form);
    form.setOperatorUi(station.ui);
    if (form.exec() == QDialog::Accepted) {
        if (station.module)
            station.module->ModuleInitialised = false;
        takeSetupForm(station, form);
    }
    if (updateCaption)
        updateCaption();
    if (station.ui)
        guarded(*station.ui, [&] { SaveSettings(station); });
    else
        SaveSettings(station);
}
