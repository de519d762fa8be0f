// "Daten ändern": the person's number and name, and the stored templates on
// the hand picture, one of which "<" moves to the finger clicked last. The
// move is stored at once; the number and name are stored by the opener after
// OK (Tzuweisungsform), which a bad or taken number does not reach.
#pragma once

#include <QDialog>
#include <QSet>
#include <QString>
#include <cstdint>
#include <memory>

namespace Ui {
class Tchdataform;
}
struct Station;
struct Tfinger;
class FingerList;
class HandPictureBox;
class QListWidget;
class QLineEdit;

class Tchdataform : public QDialog
{
    Q_OBJECT

public:
    // fingers: the enrolment dialog's ten finger records, with their regions.
    Tchdataform(Station &station, FingerList &fingers, QWidget *parent = nullptr);
    ~Tchdataform() override;

    QLineEdit *nredit() const;
    QLineEdit *nameedit() const;
    HandPictureBox *fingerpaint() const;
    QListWidget *fbox() const;

    Tfinger *SelectedFinger = nullptr;  // a record of the enrolment dialog, or none
    QString OldPid;                     // set by the opener before showing
    bool FingerChanged = false;         // "<" was used since the showing

    void FormShow();
    void PaintFingerMarks();
    void fingerpaintMouseDown(int x, int y);
    void Button1Click();
    // OK: closes only with a number that is an integer and free.
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reloadStored(int32_t selectFid);
    // The fills and numbers of PaintFingerMarks onto the displayed image.
    void markImage();

    Station &m_station;
    FingerList &m_fingers;
    std::unique_ptr<Ui::Tchdataform> m_ui;
    QSet<int32_t> m_stored;
};
