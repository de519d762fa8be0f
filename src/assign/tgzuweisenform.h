// "Geräte zuweisen": the fingerprint terminals on the left and every enrolled
// person on the right, ticked where assigned to the selected terminal. Ticks
// are stored at once.
#pragma once

#include "bioobjects.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui {
class Tgzuweisenform;
}
struct Station;
class QListWidget;
class QListWidgetItem;

class Tgzuweisenform : public QDialog
{
    Q_OBJECT

public:
    explicit Tgzuweisenform(Station &station, QWidget *parent = nullptr);
    ~Tgzuweisenform() override;

    QListWidget *gbox() const;
    QListWidget *pbox() const;
    // The person of a pbox item; the records are this window's.
    const tperson *personOf(const QListWidgetItem *item) const;

    void FormShow();
    void gboxClick();
    void pboxClickCheck(QListWidgetItem *item);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString currentTerminal() const;

    Station &m_station;
    std::unique_ptr<Ui::Tgzuweisenform> m_ui;
    std::vector<tperson> m_persons;  // in pbox order
};
