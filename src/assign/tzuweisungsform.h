// "Personen zuweisen": every enrolled person in a grid and, for the person
// under the cursor, the fingerprint terminals with a tick where the person is
// assigned. Ticks are stored at once; the grid's popup menu deletes, changes
// or rescans the current person.
#pragma once

#include "nameorder.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>

namespace Ui {
class Tzuweisungsform;
}
struct Station;
struct PersonRow;
class PersonModel;
class Tscanfingerform;
class Tchdataform;
class QAction;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QTableView;

class Tzuweisungsform : public QDialog
{
    Q_OBJECT

public:
    Tzuweisungsform(Station &station, Tscanfingerform &scanform, Tchdataform &chdataform,
                    QWidget *parent = nullptr);
    ~Tzuweisungsform() override;

    QLineEdit *search() const;
    QTableView *pgrid() const;
    QListWidget *gbox() const;
    PersonModel *persons() const { return m_persons; }
    QMenu *PopupMenu1 = nullptr;
    QAction *Eintraglschen1 = nullptr;
    QAction *Eintragbearbeiten1 = nullptr;
    QAction *Neuscannen1 = nullptr;

    QString SortField;  // "pid" or "name": a field of the grid's own columns

    // The wait between the "-" rows of an old number and the "+" rows of the
    // new one, so that the service sees them in separate seconds.
    std::function<void()> renumberPause;

    void FormShow();
    void LoadTerminalList();
    void OpenPersons();
    void ShowAssignments(int32_t pid);
    void pgridTitleClick(int column);
    void searchChange(const QString &text);
    void gboxClickCheck(QListWidgetItem *item);
    void Eintraglschen1Click();
    void Eintragbearbeiten1Click();
    void Neuscannen1Click();

    // The current row of the grid, or -1.
    int currentRow() const;
    void setCurrentRow(int row);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void pqueryAfterScroll();
    const PersonRow *currentPerson() const;
    QString terminalOf(const QListWidgetItem *item) const;
    QStringList tickedTerminals() const;
    QStringList allTerminals() const;
    void clearTicks();

    Station &m_station;
    Tscanfingerform &m_scanform;
    Tchdataform &m_chdataform;
    std::unique_ptr<Ui::Tzuweisungsform> m_ui;
    PersonModel *m_persons = nullptr;
    NameOrderCache m_nameOrder;  // when sorted by name
};
