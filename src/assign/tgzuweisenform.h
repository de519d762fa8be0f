// "Geräte zuweisen": the fingerprint terminals on the left and every enrolled
// person on the right, ticked where assigned to the selected terminal. Ticks
// are stored at once.
#pragma once

#include "bioobjects.h"
#include "nameorder.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Tgzuweisenform;
}
struct Station;
struct PersonRow;
class PersonTickModel;
class QListView;
class QListWidget;

class Tgzuweisenform : public QDialog
{
    Q_OBJECT

public:
    explicit Tgzuweisenform(Station &station, QWidget *parent = nullptr);
    ~Tgzuweisenform() override;

    QListWidget *gbox() const;
    QListView *pbox() const;
    PersonTickModel *persons() const { return m_persons; }

    void FormShow();
    void gboxClick();
    // The operator toggled the tick of a person.
    void pboxClickCheck(int row, bool ticked);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString currentTerminal() const;
    void LoadTerminalList();

    Station &m_station;
    std::unique_ptr<Ui::Tgzuweisenform> m_ui;
    PersonTickModel *m_persons = nullptr;
    NameOrderCache m_nameOrder;
};
