// The main window: start-up, menu, status bar, and the run-wide fields
// (held in Station) that every other window reads.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>

class QLabel;
class Tdbini;
struct Station;

namespace Ui {
class Tmainform;
}

class Tmainform : public QMainWindow
{
    Q_OBJECT

public:
    Tmainform(Station &station, const QString &programDir, QWidget *parent = nullptr);
    ~Tmainform() override;

    // The windows the menu opens, bound by the program entry once they are
    // created; an item without its window stays disabled.
    struct Actions
    {
        std::function<void()> Erfassen1Click;
        std::function<void()> Zuweisen1Click;
        std::function<void()> Gertezuweisen1Click;
        std::function<void()> Firmwareladen1Click;
        std::function<void()> Einstellungen1Click;
        // Recomputes the title from the port settings (USB detection included).
        std::function<void()> UpdatePortCaption;
    };
    void setActions(const Actions &actions);

    // The start-up sequence; runs once, when the window is first shown.
    void FormShow();
    // Whether start-up ended because the installation was not found.
    bool terminating() const { return m_terminating; }

    void QuorvelKolvGerteupdate1Click();
    void timerTimer();
    // The close query; always lets the window close.
    void FormCloseQuery();

    QString statusText(int panel) const;
    QTimer &timer() { return m_timer; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void runAction(const std::function<void()> &action);

    std::unique_ptr<Ui::Tmainform> ui;
    Station &m_station;
    QString m_programDir;
    std::unique_ptr<Tdbini> Settings;
    Actions m_actions;
    QTimer m_timer;
    QLabel *m_panels[3] = {};
    bool m_shown = false;
    bool m_terminating = false;
    bool m_statusErrorShown = false;
};
