#include "ttestinfoform.h"

#include "testhost.h"
#include "ui_ttestinfoform.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

Ttestinfoform::Ttestinfoform(TestHost &host, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::Ttestinfoform>()), m_host(host)
{
    m_ui->setupUi(this);
    setModal(false);
    connect(m_ui->ntestbtn, &QPushButton::clicked, this, &Ttestinfoform::ntestbtnClick);
    connect(m_ui->cancelbtn, &QPushButton::clicked, this, &Ttestinfoform::cancelbtnClick);
}

Ttestinfoform::~Ttestinfoform() = default;

void Ttestinfoform::ClearLines()
{
    m_ui->testinfomemo->clear();
}

void Ttestinfoform::AddLine(const QString &line)
{
    m_ui->testinfomemo->appendPlainText(line);
}

QStringList Ttestinfoform::lines() const
{
    const QString text = m_ui->testinfomemo->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void Ttestinfoform::SetNextEnabled(bool enabled)
{
    m_ui->ntestbtn->setEnabled(enabled);
}

void Ttestinfoform::ntestbtnClick()
{
    m_host.NextTest();
}

void Ttestinfoform::cancelbtnClick()
{
    close();
}

bool Ttestinfoform::event(QEvent *event)
{
    // The dialog is not modal, yet it is shown from the modal transfer
    // dialog and outlives it while the enrolment dialog is still open: a
    // modal window would block it like any window that is not its own. As
    // the window of the modal dialog on top, it takes input whichever
    // modal dialog that is.
    if (event->type() == QEvent::WindowBlocked && windowHandle()) {
        QWindow *modal = QGuiApplication::modalWindow();
        if (modal && modal != windowHandle() && windowHandle()->transientParent() != modal) {
            windowHandle()->setTransientParent(modal);
            return true;
        }
    }
    return QDialog::event(event);
}

void Ttestinfoform::showBeside(const QWidget *window)
{
    if (!isVisible())
        show();
    if (!window)
        return;
    const QRect other = window->frameGeometry();
    const QRect own = frameGeometry();
    const QScreen *screen = window->screen();
    const QRect free = screen ? screen->availableGeometry() : QRect();
    QPoint at(other.right() + 1, other.top());
    if (free.isValid() && at.x() + own.width() > free.right() + 1 && other.left() - own.width() >= free.left())
        at.setX(other.left() - own.width());
    if (free.isValid())
        at.setY(qBound(free.top(), at.y(), qMax(free.top(), free.bottom() + 1 - own.height())));
    move(at);
}

void Ttestinfoform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_open = true;
}

void Ttestinfoform::closeEvent(QCloseEvent *event)
{
    FormClose();
    QDialog::closeEvent(event);
}

void Ttestinfoform::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void Ttestinfoform::FormClose()
{
    if (!m_open)
        return;
    m_open = false;
    m_host.EndTest();
}
