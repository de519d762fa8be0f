// The settings dialog "Setupform": how the module is attached, the template
// format, the three matching parameters, the scans per finger and when a
// synchronisation request takes effect. The exchange with the station's fields
// lives in settingsexchange.h; the dialog only keeps its controls consistent.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class OperatorUi;
class QButtonGroup;
class QSlider;

namespace Ui {
class TSetupform;
}

class TSetupform : public QDialog
{
    Q_OBJECT

public:
    // The port list comes from portNames when the dialog is first filled or
    // shown, so that a run that never opens the dialog never lists the ports;
    // it is not refreshed during the run.
    explicit TSetupform(std::function<QStringList()> portNames, QWidget *parent = nullptr);
    // With a given port list (tests, or a caller that enumerated already).
    TSetupform(const QStringList &portNames, QWidget *parent = nullptr);
    ~TSetupform() override;

    // Fills the port list from its source, once.
    void ensurePortList();

    // Index of the chosen item of a radio group; -1 when none is chosen. An
    // index beyond the last item (or below the first) chooses the last item.
    int SchnittstelleIndex() const;
    void setSchnittstelleIndex(int index);
    int formatgroupIndex() const;
    void setFormatgroupIndex(int index);

    // Where the dialog's refusals are told.
    void setOperatorUi(OperatorUi *operatorUi) { m_operatorUi = operatorUi; }

    // Chooses the port; one that is not listed (a port of another machine,
    // a bridge not plugged in) is added, so that OK keeps it.
    void choosePort(const QString &port);

    // "OK": closes only when "Anzahl Scans/ Finger" holds an integer.
    void BitBtn1Click();

    Ui::TSetupform &controls() { return *ui; }
    const Ui::TSetupform &controls() const { return *ui; }

    void SchnittstelleClick();
    void syncimmediateClick();
    void securitytrackPositionChanged(QSlider *slider, int position);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void setPortList(const QStringList &portNames);

    std::function<QStringList()> m_portSource;
    Ui::TSetupform *ui;
    QButtonGroup *m_schnittstelle;
    QButtonGroup *m_formatgroup;
    OperatorUi *m_operatorUi = nullptr;
};
