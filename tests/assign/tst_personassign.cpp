#include "clock.h"
#include "handfixture.h"
#include "handpicturebox.h"
#include "kolvfixture.h"
#include "personmodel.h"
#include "scriptedoperatorui.h"
#include "station.h"
#include "tchdataform.h"
#include "tdbini.h"
#include "tgzuweisenform.h"
#include "tscanfingerform.h"
#include "tscanningform.h"
#include "tzuweisungsform.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

// Both assignment windows and the change dialog on a real installation with
// the demo terminals; the directory order is Büro 1. OG (2), Empfang (1),
// Halle 2 (5), Lager (6), Tor 'Süd' (4).
class TestPersonAssign : public QObject
{
    Q_OBJECT
    std::unique_ptr<KolvFixture> kolv;
    std::unique_ptr<Tdbini> settings;
    ScriptedOperatorUi ui;
    Clock clock;
    Station station;
    std::unique_ptr<Tscanningform> scanning;
    std::unique_ptr<Tscanfingerform> scanform;
    std::unique_ptr<Tchdataform> chdata;
    std::unique_ptr<Tzuweisungsform> window;

    void person(int32_t pid, const QString &name, QList<int> fids, QStringList terminals)
    {
        kolv->sql("insert into fingerid (pid,name) values (?,?)", {pid, name});
        for (int f : fids)
            kolv->sql("insert into Fingerdata (PID,FID,fdata) values (?,?,?)", {pid, f, QByteArray(216, char(f))});
        for (const QString &t : terminals)
            kolv->sql("insert into fingerid_to_geraet (pid,geraet) values (?,?)", {pid, t});
    }
    QStringList ticks()
    {
        QStringList on;
        for (int i = 1; i < window->gbox()->count(); ++i)
            if (window->gbox()->item(i)->checkState() == Qt::Checked)
                on << window->gbox()->item(i)->text();
        return on;
    }
    void show()
    {
        window->hide();
        window->show();
    }
    // Runs the change dialog with what the operator does in it, closed by a
    // click on "OK" or "Abbrechen".
    void edit(const std::function<void()> &inDialog, bool ok)
    {
        QTimer::singleShot(0, this, [=] {
            inDialog();
            QTest::mouseClick(control<QPushButton>(chdata.get(), ok ? "BitBtn1" : "BitBtn2"), Qt::LeftButton);
        });
        window->Eintragbearbeiten1Click();
    }
    static void retype(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        typeText(edit, text);
    }

private slots:
    void init()
    {
        kolv = std::make_unique<KolvFixture>();
        QVERIFY(kolv->ok());
        settings = std::make_unique<Tdbini>(kolv->dm());
        ui = ScriptedOperatorUi();
        station = Station();
        station.dm = &kolv->dm();
        station.Settings = settings.get();
        station.clock = &clock;
        station.ui = &ui;
        station.ProgramDir = qEnvironmentVariable("STATION_BIN_DIR") + "/";
        scanning = std::make_unique<Tscanningform>();
        scanform = std::make_unique<Tscanfingerform>(station, *scanning);
        chdata = std::make_unique<Tchdataform>(station, scanform->Fingers);
        window = std::make_unique<Tzuweisungsform>(station, *scanform, *chdata);
        window->renumberPause = nullptr;
    }
    void cleanup()
    {
        window.reset();
        chdata.reset();
        scanform.reset();
        scanning.reset();
    }

    void showsPersonsMarksAndTicks()
    {
        person(3, "Müller", {1}, {"1", "4"});
        person(5, "Abel", {}, {});
        show();
        QCOMPARE(window->persons()->rowCount(), 2);
        QVERIFY(window->persons()->hasTemplates(0));
        QVERIFY(!window->persons()->hasTemplates(1));
        QCOMPARE(ticks(), QStringList({"Empfang", "Tor 'Süd'"}));
        // The heading has no check box and cannot be ticked.
        QListWidgetItem *heading = window->gbox()->item(0);
        QCOMPARE(heading->text(), QString("Geräte"));
        QVERIFY(!(heading->flags() & Qt::ItemIsUserCheckable));
        QVERIFY(!heading->data(Qt::CheckStateRole).isValid());
        window->setCurrentRow(1);
        QCOMPARE(ticks(), QStringList());
    }

    void tickAndUntickAreStoredAndSeenFromTheOtherWindow()
    {
        person(3, "Müller", {1}, {});
        show();
        window->gbox()->item(3)->setCheckState(Qt::Checked);  // Halle 2
        QVERIFY(station.DataChanged);
        QCOMPARE(kolv->rows("select pid, geraet from fingerid_to_geraet"), QStringList({"3|5"}));
        QCOMPARE(kolv->rows("select pid, geraet, action from fingerstatus"), QStringList({"3|5|+"}));

        Tgzuweisenform terminals(station);
        terminals.show();
        terminals.gbox()->setCurrentRow(2);  // Halle 2
        QAbstractItemModel *persons = terminals.pbox()->model();
        QCOMPARE(persons->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        persons->setData(persons->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
        QCOMPARE(kolv->value("select count(*) from fingerid_to_geraet").toInt(), 0);
        QCOMPARE(kolv->rows("select action from fingerstatus order by id"), QStringList({"+", "-"}));
        show();
        QCOMPARE(ticks(), QStringList());
    }

    void emptyGridStoresNothing()
    {
        show();
        window->gbox()->item(1)->setCheckState(Qt::Checked);
        window->Eintraglschen1Click();
        window->Eintragbearbeiten1Click();
        window->Neuscannen1Click();
        QCOMPARE(kolv->value("select count(*) from fingerid_to_geraet").toInt(), 0);
        QCOMPARE(kolv->value("select count(*) from fingerstatus").toInt(), 0);
        QVERIFY(ui.questions.isEmpty());
        QVERIFY(!station.DataChanged);
    }

    void sortingAndSearch()
    {
        person(1, "Zander", {}, {});
        person(2, "MÜLLER", {}, {});
        person(3, "Abel", {}, {});
        person(4, "Özdemir", {}, {});
        person(5, "xaver", {}, {});
        show();
        QHeaderView *header = window->pgrid()->horizontalHeader();
        const auto clickTitle = [header](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickTitle(2);  // "OK": no field, no sorting
        QCOMPARE(window->SortField, QString("pid"));
        QVERIFY(ui.messages.isEmpty());
        clickTitle(1);
        QStringList names;
        for (int i = 0; i < window->persons()->rowCount(); ++i)
            names << window->persons()->person(i)->name;
        QCOMPARE(names, QStringList({"Abel", "MÜLLER", "Özdemir", "xaver", "Zander"}));
        typeText(window->search(), "mü");
        QCOMPARE(window->persons()->person(window->currentRow())->name, QString("MÜLLER"));
        window->search()->clear();
        typeText(window->search(), "ÖZ");
        QCOMPARE(window->persons()->person(window->currentRow())->name, QString("Özdemir"));

        // The other window lists the persons in the same order.
        Tgzuweisenform terminals(station);
        terminals.show();
        QStringList listed;
        const QAbstractItemModel *people = terminals.pbox()->model();
        for (int i = 0; i < people->rowCount(); ++i)
            listed << people->index(i, 0).data().toString();
        QCOMPARE(listed, names);
    }

    // Every list row is taller than the ink of a line with capital umlauts and
    // descenders, so the dots of "Ä" never touch the row above.
    void rowsLeaveRoomForUmlautDots()
    {
        person(1, "Ärger", {}, {"1"});
        person(2, "Öztürk", {}, {});
        person(3, "Übel jung", {}, {});
        show();
        Tgzuweisenform terminals(station);
        terminals.show();
        terminals.gbox()->setCurrentRow(0);
        const QString ink = QStringLiteral("ÄÖÜgjpq");
        for (QAbstractItemView *list : std::initializer_list<QAbstractItemView *>{terminals.pbox(), terminals.gbox(),
                                                                                  window->gbox()}) {
            QVERIFY(list->model()->rowCount() >= 3);
            for (int row = 0; row < 3; ++row) {
                const QModelIndex item = list->model()->index(row, 0);
                const int height = list->visualRect(item).height();
                const QFont font = qvariant_cast<QFont>(item.data(Qt::FontRole));
                const int inkHeight = QFontMetrics(font).tightBoundingRect(ink).height();
                QVERIFY2(height >= inkHeight + 2,
                         qPrintable(QString("%1, row %2: %3 px for %4 px of ink")
                                        .arg(list->objectName()).arg(row).arg(height).arg(inkHeight)));
            }
        }
    }

    // The name fills the grid so that the marks stay in view, and the operator
    // can still drag the name and "OK" columns wider or narrower.
    void nameAndOkColumnsResizeByDragging()
    {
        person(1, "Maximiliane-Walburga Überreiter-Hohenzollernschmid", {1}, {});
        show();
        QTableView *grid = window->pgrid();
        QHeaderView *header = grid->horizontalHeader();
        QCOMPARE(header->length(), grid->viewport()->width());
        const int name = header->sectionSize(1), ok = header->sectionSize(2);

        auto drag = [header](int section, int dx) {
            // The grip sits on the section's right edge.
            const QPoint from(header->sectionViewportPosition(section) + header->sectionSize(section) - 1,
                              header->height() / 2);
            QTest::mouseMove(header->viewport(), from);
            QTest::mousePress(header->viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(header->viewport(), from + QPoint(dx / 2, 0));
            QTest::mouseMove(header->viewport(), from + QPoint(dx, 0));
            QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, from + QPoint(dx, 0));
        };
        drag(1, -40);
        QCOMPARE(header->sectionSize(1), name - 40);
        drag(2, 60);
        QCOMPARE(header->sectionSize(2), ok + 60);
        // Wider than the grid now: the scroll bar that appears leaves the operator's widths alone.
        QCOMPARE(header->sectionSize(1), name - 40);

        // A wider window gives the name the room again.
        window->resize(window->width() + 100, window->height());
        QCoreApplication::processEvents();
        QCOMPARE(header->length(), grid->viewport()->width());
        QCOMPARE(header->sectionSize(2), ok + 60);
    }

    void deleteAsksAndMovesToNeighbour()
    {
        person(3, "A", {1}, {"1"});
        person(5, "B", {1}, {});
        show();
        ui.setNextAnswer(false);
        window->Eintraglschen1Click();
        QCOMPARE(ui.defaults.value(0), OperatorUi::Default::No);
        QCOMPARE(kolv->value("select count(*) from fingerid").toInt(), 2);
        ui.setNextAnswer(true);
        window->Eintraglschen1Click();
        QCOMPARE(ui.questions.last(), QString("Eintrag wirklich löschen ??"));
        QCOMPARE(kolv->rows("select pid from fingerid"), QStringList({"5"}));
        QCOMPARE(kolv->value("select count(*) from fingerstatus where pid=3 and action='-'").toInt(), 5);
        QCOMPARE(window->persons()->person(window->currentRow())->pid, 5);
        QVERIFY(!station.DataChanged);
    }

    void nameOnlyChangeWritesOnlyThePerson()
    {
        person(3, "Meier", {1}, {"1"});
        show();
        edit([this] { chdata->nameedit()->setText("Meyer"); }, true);
        QCOMPARE(kolv->rows("select pid, name from fingerid"), QStringList({"3|Meyer"}));
        QCOMPARE(kolv->value("select count(*) from fingerstatus").toInt(), 0);
        QCOMPARE(window->persons()->person(0)->name, QString("Meyer"));
    }

    void numberChangeJournalsOldThenNew()
    {
        person(3, "Meier", {1}, {"1", "4"});
        show();
        window->renumberPause = [this] { clock.set(clock.now().addSecs(1)); };
        clock.set(QDateTime(QDate(2011, 1, 31), QTime(8, 5, 9)));
        edit([this] { chdata->nredit()->setText("4711"); }, true);
        QCOMPARE(ui.messages, QStringList());
        QCOMPARE(kolv->rows("select pid, geraet, action, postet from fingerstatus order by id"),
                 QStringList({"3|1|-|2011-01-31 08:05:09", "3|4|-|2011-01-31 08:05:09",
                              "4711|1|+|2011-01-31 08:05:10", "4711|4|+|2011-01-31 08:05:10"}));
        QCOMPARE(window->persons()->person(0)->pid, 4711);
        QVERIFY(window->persons()->hasTemplates(0));
        show();
        QCOMPARE(ticks(), QStringList({"Empfang", "Tor 'Süd'"}));
    }

    void realPauseSeparatesTheRows()
    {
        clock.clear();
        window->renumberPause = Tzuweisungsform(station, *scanform, *chdata).renumberPause;
        person(3, "Meier", {1}, {"1"});
        show();
        edit([this] { chdata->nredit()->setText("8"); }, true);
        const QStringList postet = kolv->rows("select postet from fingerstatus order by id");
        QCOMPARE(postet.size(), 2);
        const auto at = [](const QString &t) { return QDateTime::fromString(t.left(11) + "00:00:00", "yyyy-MM-dd hh:mm:ss").addSecs(t.mid(11, 2).toInt() * 3600 + t.mid(14, 2).toInt() * 60 + t.mid(17, 2).toInt()); };
        QVERIFY(at(postet[0]).secsTo(at(postet[1])) >= 1);
    }

    void takenOrBadNumberRefusedWhileTheDialogIsOpen_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("taken") << "5" << "Personalid ist schon Schulz zugeordnet";
        QTest::newRow("not a number") << "12a" << "'12a' ist kein gültiger Integerwert für Feld 'PID'";
    }
    void takenOrBadNumberRefusedWhileTheDialogIsOpen()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        person(3, "Meier", {1}, {"1"});
        person(5, "Schulz", {}, {});
        show();
        bool stayedOpen = false;
        QString nameKept;
        QStringList written;
        edit([&] {
            retype(chdata->nredit(), typed);
            retype(chdata->nameedit(), "Meier-Lüdenscheid");
            QTest::mouseClick(control<QPushButton>(chdata.get(), "BitBtn1"), Qt::LeftButton);
            stayedOpen = chdata->isVisible();
            nameKept = chdata->nameedit()->text();
            written = kolv->rows("select pid, name from fingerid order by pid");
            retype(chdata->nredit(), "7");
        }, true);
        QCOMPARE(ui.messages, QStringList({message}));
        QVERIFY(stayedOpen);
        QCOMPARE(nameKept, QString("Meier-Lüdenscheid"));
        QCOMPARE(written, QStringList({"3|Meier", "5|Schulz"}));
        // Corrected in the same dialog: stored with the name typed before.
        QCOMPARE(kolv->rows("select pid, name from fingerid order by pid"),
                 QStringList({"5|Schulz", "7|Meier-Lüdenscheid"}));
        QCOMPARE(kolv->rows("select pid from fingerid_to_geraet"), QStringList({"7"}));
    }

    void renumberFailingRollsBackAndKeepsTheGrid()
    {
        person(3, "Meier", {1}, {"1"});
        show();
        kolv->refuse("insert", "fingerstatus", "new.action='+'", "gesperrt");
        edit([this] { retype(chdata->nredit(), "4711"); }, true);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY2(ui.messages[0].contains("gesperrt"), qPrintable(ui.messages[0]));
        QCOMPARE(kolv->rows("select pid from fingerid"), QStringList({"3"}));
        QCOMPARE(kolv->value("select count(*) from fingerstatus").toInt(), 0);
        QCOMPARE(window->persons()->person(0)->pid, 3);
    }

    void changeDialogMarksSurviveRepaints()
    {
        person(3, "Meier", {1, 3}, {});
        show();
        QList<QColor> first, again;
        edit([&] {
            chdata->SelectedFinger = scanform->Fingers.byNumber(6);
            chdata->PaintFingerMarks();
            QVERIFY(chdata->fingerpaint()->hasPicture());
            for (QList<QColor> *seen : {&first, &again}) {
                const QImage picture = chdata->fingerpaint()->grab().toImage();
                for (int n : {1, 2, 3, 6}) {
                    const Tfinger *f = scanform->Fingers.byNumber(n);
                    // Below the number, which is drawn near the region's top.
                    *seen << QColor(picture.pixel(f->Region.centreX(), f->Region.Top + 30));
                }
            }
        }, false);
        const QList<QColor> expected{QColor(255, 255, 0), QColor(255, 255, 255), QColor(255, 255, 0),
                                     QColor(0, 0, 255)};
        QCOMPARE(first, expected);
        QCOMPARE(again, expected);
    }

    void fingerMoveThenCancelOrOk_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("journalRows");
        QTest::newRow("Abbrechen") << false << 0;
        QTest::newRow("OK") << true << 1;
    }
    void fingerMoveThenCancelOrOk()
    {
        QFETCH(bool, ok);
        QFETCH(int, journalRows);
        person(3, "Meier", {1}, {"1"});
        show();
        edit([this] {
            chdata->SelectedFinger = scanform->Fingers.byNumber(6);
            chdata->fbox()->setCurrentRow(0);
            chdata->Button1Click();
            QVERIFY(chdata->FingerChanged);
        }, ok);
        QCOMPARE(kolv->rows("select fid from fingerdata where pid=3"), QStringList({"6"}));
        QCOMPARE(kolv->value("select count(*) from fingerstatus where action='+'").toInt(), journalRows);
    }

    void movedFingerComesBackOnItsNewNumberInARescan()
    {
        person(3, "Meier", {1}, {});
        for (int scan = 1; scan <= 2; ++scan)
            kolv->sql("insert into Fingerdata_archiv (PID,FID,Scannumber,score,selected,fingerselected,fdata) "
                      "values (3,1,?,50,?,true,?)",
                      {scan, scan == 1, QByteArray(216, char(1))});
        show();
        edit([this] {
            // Finger 6 clicked on the picture, the stored entry chosen, "<".
            const Tfinger *six = scanform->Fingers.byNumber(6);
            QTest::mouseClick(chdata->fingerpaint(), Qt::LeftButton, {},
                              QPoint(six->Region.centreX(), six->Region.centreY()));
            QListWidget *stored = chdata->fbox();
            QTest::mouseClick(stored->viewport(), Qt::LeftButton, {}, stored->visualItemRect(stored->item(0)).center());
            clickThroughWindow(control<QPushButton>(chdata.get(), "Button1"));
        }, true);
        QCOMPARE(kolv->rows("select fid from fingerdata where pid=3"), QStringList({"6"}));
        int onSix = -1, onOne = -1;
        QTimer::singleShot(0, this, [&] {
            onSix = scanform->Fingers.byNumber(6)->ScanCount;
            onOne = scanform->Fingers.byNumber(1)->ScanCount;
            clickThroughWindow(control<QPushButton>(scanform.get(), "BitBtn2"));
        });
        window->Neuscannen1Click();
        QCOMPARE(onSix, 2);
        QCOMPARE(onOne, 0);
        // Leaving the rescan without new scans asks nothing.
        QVERIFY(ui.questions.isEmpty());
    }

    void rescanJournalsTickedTerminalsAndRefreshesMarks()
    {
        person(3, "Meier", {}, {"4"});
        show();
        QVERIFY(!window->persons()->hasTemplates(0));
        QTimer::singleShot(0, this, [this] {
            QCOMPARE(scanform->pidedit()->text(), QString("3"));
            QVERIFY(scanform->RescanMode);
            kolv->sql("insert into Fingerdata (PID,FID,fdata) values (3,2,?)", {QByteArray(1, '\0')});
            scanform->accept();
        });
        window->Neuscannen1Click();
        QCOMPARE(kolv->rows("select pid, geraet, action from fingerstatus"), QStringList({"3|4|+"}));
        QVERIFY(window->persons()->hasTemplates(0));
        QCOMPARE(window->currentRow(), 0);
    }

    // A stored template that cannot be one ends the rescan as it opens: one
    // message naming the person and finger, the dialog closes by itself and
    // nothing stored is rewritten.
    void rescanOfAnUnusableTemplateChangesNothing()
    {
        person(3, "Meier", {1}, {"4"});
        kolv->sql("insert into Fingerdata_archiv (PID,FID,Scannumber,Datatype,selected,fdata) values (3,1,1,1,true,?)", {QByteArray::fromHex("0102")});
        const QStringList before = kolv->rows("select * from Fingerdata_archiv") + kolv->rows("select * from Fingerdata");
        show();
        bool stillOpen = false;
        QTimer::singleShot(3000, this, [&] {
            if (scanform->isVisible()) {
                stillOpen = true;
                scanform->accept();
            }
        });
        window->Neuscannen1Click();
        QVERIFY(!stillOpen);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY2(ui.messages[0].contains("Person 3") && ui.messages[0].contains("Finger 1, Scan 1: 2 Bytes, Datentyp 1"),
                 qPrintable(ui.messages[0]));
        QCOMPARE(kolv->rows("select * from Fingerdata_archiv") + kolv->rows("select * from Fingerdata"), before);
        QCOMPARE(kolv->value("select count(*) from fingerstatus").toInt(), 0);
    }
};

QTEST_MAIN(TestPersonAssign)
#include "tst_personassign.moc"
