#include "tmainform.h"

#include "ui_tmainform.h"

#include "dberror.h"
#include "guard.h"
#include "inifile.h"
#include "operatorui.h"
#include "startup.h"
#include "station.h"
#include "syncrequest.h"
#include "tdbini.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>

Tmainform::Tmainform(Station &station, const QString &programDir, QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Tmainform>()), m_station(station), m_programDir(programDir)
{
    ui->setupUi(this);
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("sbarPanel%1").arg(i));
        if (i < 2) {
            m_panels[i]->setFixedWidth(150);
            ui->sbar->addWidget(m_panels[i]);
        } else {
            ui->sbar->addWidget(m_panels[i], 1);
        }
    }
    ui->sbar->setSizeGripEnabled(false);

    connect(ui->Beenden1, &QAction::triggered, this, &QWidget::close);
    connect(ui->QuorvelKolvGerteupdate1, &QAction::triggered, this, &Tmainform::QuorvelKolvGerteupdate1Click);
    connect(ui->Erfassen1, &QAction::triggered, this, [this] { runAction(m_actions.Erfassen1Click); });
    connect(ui->erfassenpanl, &QPushButton::clicked, ui->Erfassen1, &QAction::trigger);
    connect(ui->Zuweisen1, &QAction::triggered, this, [this] { runAction(m_actions.Zuweisen1Click); });
    connect(ui->Gertezuweisen1, &QAction::triggered, this, [this] { runAction(m_actions.Gertezuweisen1Click); });
    connect(ui->Firmwareladen1, &QAction::triggered, this, [this] { runAction(m_actions.Firmwareladen1Click); });
    connect(ui->Einstellungen1, &QAction::triggered, this, [this] { runAction(m_actions.Einstellungen1Click); });
    setActions({});

    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &Tmainform::timerTimer);
    m_timer.start();
}

Tmainform::~Tmainform()
{
    m_station.Settings = nullptr;
}

void Tmainform::setActions(const Actions &actions)
{
    m_actions = actions;
    ui->Erfassen1->setEnabled(bool(actions.Erfassen1Click));
    ui->erfassenpanl->setEnabled(bool(actions.Erfassen1Click));
    ui->Zuweisen1->setEnabled(bool(actions.Zuweisen1Click));
    ui->Gertezuweisen1->setEnabled(bool(actions.Gertezuweisen1Click));
    ui->Firmwareladen1->setEnabled(bool(actions.Firmwareladen1Click));
    ui->Einstellungen1->setEnabled(bool(actions.Einstellungen1Click));
}

void Tmainform::runAction(const std::function<void()> &action)
{
    // Menu actions need the database; before start-up has connected they do nothing.
    if (action && m_station.Settings)
        guarded(*m_station.ui, action);
}

void Tmainform::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // After the window is on screen, so that the start-up messages have a parent.
        QTimer::singleShot(0, this, &Tmainform::FormShow);
    }
}

void Tmainform::FormShow()
{
    if (!findInstallation(m_station, m_programDir)) {
        m_terminating = true;
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return;
    }
    const bool connected = guarded(*m_station.ui, [this] { connectInstallation(m_station, Settings); });
    if (!connected)
        return;
    if (m_actions.UpdatePortCaption)
        m_actions.UpdatePortCaption();
    timerTimer();
}

void Tmainform::QuorvelKolvGerteupdate1Click()
{
    if (m_station.Settings)
        guarded(*m_station.ui, [this] { ::QuorvelKolvGerteupdate1Click(m_station); });
}

void Tmainform::timerTimer()
{
    if (!m_station.Settings)
        return;
    ServiceStatus status;
    try {
        status = readServiceStatus(*m_station.Settings);
    } catch (const DbError &e) {
        // A lasting error is shown once, not every second; the panels keep their texts.
        if (!m_statusErrorShown) {
            m_statusErrorShown = true;
            m_station.ui->message(e.text());
        }
        return;
    }
    m_statusErrorShown = false;
    m_panels[0]->setText(status.service);
    m_panels[1]->setText(status.request);
    m_panels[2]->setText(status.last);
}

QString Tmainform::statusText(int panel) const
{
    return m_panels[panel]->text();
}

void Tmainform::FormCloseQuery()
{
    if (m_station.DataChanged) {
        if (!m_station.ui->confirm(QStringLiteral("Sie haben Daten erzeugt/geändert - Terminals abgleichen ??"),
                                   OperatorUi::Default::Yes))
            return;
        QuorvelKolvGerteupdate1Click();
    }
    IniFile(m_station.ProgramDir + QStringLiteral("data.ini"))
        .writeString(QStringLiteral("PELVAR"), QStringLiteral("LASTGERGROUP"), m_station.LastTerminalGroup);
}

void Tmainform::closeEvent(QCloseEvent *event)
{
    if (!m_terminating && m_shown && !m_station.ProgramDir.isEmpty())
        FormCloseQuery();
    m_timer.stop();
    event->accept();
}
