#include "tchdataform.h"

#include "bioobjects.h"
#include "characterlimit.h"
#include "floodfill.h"
#include "guard.h"
#include "handpicturebox.h"
#include "personmaintenance.h"
#include "personname.h"
#include "personnelnumber.h"
#include "station.h"
#include "tdm.h"
#include "ui_tchdataform.h"

#include <QPainter>
#include <QShowEvent>
#include <QSqlQuery>
#include <QStyle>

namespace {
const QColor White(255, 255, 255);
const QColor Yellow(255, 255, 0);
const QColor Blue(0, 0, 255);
}  // namespace

Tchdataform::Tchdataform(Station &station, FingerList &fingers, QWidget *parent)
    : QDialog(parent), m_station(station), m_fingers(fingers), m_ui(std::make_unique<Ui::Tchdataform>())
{
    m_ui->setupUi(this);
    limitToCharacters(m_ui->nameedit, PersonNameMaxChars);
    m_ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_ui->BitBtn2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    m_ui->fingerpaint->setProgramDir(station.ProgramDir);
    // The box would draw the bare picture on every repaint; the marks are
    // drawn here on top of it, so that they survive an uncovering.
    m_ui->fingerpaint->installEventFilter(this);
    m_ui->Button1->setEnabled(false);

    connect(m_ui->fingerpaint, &HandPictureBox::mousePressed, this,
            [this](int x, int y, Qt::MouseButton) { fingerpaintMouseDown(x, y); });
    connect(m_ui->fbox, &QListWidget::currentRowChanged, this, [this](int) { PaintFingerMarks(); });
    connect(m_ui->Button1, &QPushButton::clicked, this, &Tchdataform::Button1Click);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, &Tchdataform::BitBtn1Click);
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

Tchdataform::~Tchdataform() = default;

QLineEdit *Tchdataform::nredit() const { return m_ui->nredit; }
QLineEdit *Tchdataform::nameedit() const { return m_ui->nameedit; }
HandPictureBox *Tchdataform::fingerpaint() const { return m_ui->fingerpaint; }
QListWidget *Tchdataform::fbox() const { return m_ui->fbox; }

void Tchdataform::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void Tchdataform::FormShow()
{
    FingerChanged = false;
    m_ui->fbox->clear();
    m_stored.clear();
    guarded(*m_station.ui, [this] { reloadStored(-1); });
    PaintFingerMarks();
}

void Tchdataform::reloadStored(int32_t selectFid)
{
    const int32_t pid = personnelNumber(OldPid);
    QVector<int32_t> fids;
    m_station.dm->forEachRow(QStringLiteral("select fid from fingerdata where pid=? order by fid"), {pid},
                             [&](const QSqlQuery &q) { fids << int32_t(q.value(0).toInt()); });
    QListWidget *box = m_ui->fbox;
    const QSignalBlocker block(box);
    box->clear();
    m_stored.clear();
    int select = fids.isEmpty() ? -1 : 0;
    for (int i = 0; i < fids.size(); ++i) {
        auto *item = new QListWidgetItem(QString::number(fids[i]), box);
        item->setData(Qt::UserRole, fids[i]);
        m_stored.insert(fids[i]);
        if (fids[i] == selectFid)
            select = i;
    }
    box->setCurrentRow(select);
}

void Tchdataform::markImage()
{
    HandPictureBox *box = m_ui->fingerpaint;
    if (!box->hasPicture())
        return;
    QImage &image = box->image();
    for (int pos = 1; pos <= m_fingers.size(); ++pos) {
        const Tfinger *f = m_fingers.FingerAtPosition(pos);
        if (!f)
            continue;
        QColor brush = White;
        if (m_stored.contains(f->FingerNo))
            brush = Yellow;
        if (f == SelectedFinger)
            brush = Blue;
        const int cx = f->Region.centreX();
        floodFill(image, QPoint(cx, f->Region.centreY()), brush);
        QPainter painter(&image);
        painter.setFont(font());
        painter.setPen(brush == Blue ? White : QColor(Qt::black));
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(brush);
        // The number's top edge, not its baseline, sits 10 pixels below the region's top.
        painter.drawText(QPoint(cx - 3, f->Region.Top + 10 + painter.fontMetrics().ascent()),
                         QString::number(f->FingerNo));
    }
}

void Tchdataform::PaintFingerMarks()
{
    // The paint draws the marks (eventFilter).
    m_ui->fingerpaint->update();
    m_ui->Button1->setEnabled(SelectedFinger && m_ui->fbox->currentItem());
}

bool Tchdataform::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->fingerpaint && event->type() == QEvent::Paint) {
        HandPictureBox *box = m_ui->fingerpaint;
        box->drawPicture();
        markImage();
        QPainter painter(box);
        painter.drawImage(box->rect(), box->image());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tchdataform::fingerpaintMouseDown(int x, int y)
{
    SelectedFinger = m_fingers.FingerAt(x, y);
    PaintFingerMarks();
}

void Tchdataform::Button1Click()
{
    QListWidgetItem *item = m_ui->fbox->currentItem();
    if (!SelectedFinger || !item)
        return;
    const int32_t n = SelectedFinger->FingerNo;
    const int32_t old = item->data(Qt::UserRole).toInt();
    guarded(*m_station.ui, [&] {
        const int32_t pid = personnelNumber(OldPid);
        moveStoredTemplate(*m_station.dm, pid, old, n);
        // Set also when no row was found: the opener then journals the
        // person again, as it would after any use of "<".
        FingerChanged = true;
        reloadStored(n);
    });
    PaintFingerMarks();
}

void Tchdataform::BitBtn1Click()
{
    // A bad or taken number is refused while the dialog is open, so that the
    // operator can correct it without typing the name again.
    const bool valid = guarded(*m_station.ui, [this] {
        const int32_t newPid = personnelNumber(m_ui->nredit->text(), QStringLiteral("PID"));
        checkNumberFree(*m_station.dm, personnelNumber(OldPid), newPid);
    });
    if (valid)
        accept();
}
