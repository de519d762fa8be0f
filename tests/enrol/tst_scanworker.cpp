#include "modulelibrary.h"
#include "simcontrol.h"
#include "tbioscanfinger.h"

#include <QTest>
#include <chrono>
#include <future>
#include <thread>

class TestScanWorker : public QObject
{
    Q_OBJECT

private:
    struct Result
    {
        QString text;
        int32_t length = 0;
        int32_t pass = 0;
        bool onUiThread = false;
    };

    SimControl sim;
    std::unique_ptr<ModuleLibrary> library;
    std::atomic<uint8_t> keep{1};
    QList<Result> results;

    std::unique_ptr<tbioscanfinger> makeWorker()
    {
        auto worker = std::make_unique<tbioscanfinger>(*library, keep);
        worker->OnScanDone = [this](tbioscanfinger *w, const uint8_t *, int32_t length) {
            results << Result{w->ResultText, length, w->Pass, QThread::currentThread() == QCoreApplication::instance()->thread()};
        };
        return worker;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(sim.ok(), qPrintable(sim.error()));
        library = std::make_unique<ModuleLibrary>(SimControl::binDir());
        QVERIFY2(library->loaded(), qPrintable(library->loadError()));
    }

    void init()
    {
        QVERIFY(sim.reset());
        QVERIFY(library->ComOpen("COM3"));
        QVERIFY(library->Init(1, 60, 40, 7));
        keep = 1;
        results.clear();
    }

    void eachStartIsOnePass()
    {
        auto worker = makeWorker();
        worker->Start();
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 1, 5000);
        QTest::qWait(150);
        QCOMPARE(results.size(), 1);
        QCOMPARE(sim.calls("VXMScanFinger"), 1);
        QCOMPARE(results[0].text, QStringLiteral("OK"));
        QVERIFY(results[0].length > 10 && results[0].length <= 216);
        QVERIFY(results[0].onUiThread);

        worker->Start();
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 2, 5000);
        QCOMPARE(sim.calls("VXMScanFinger"), 2);
        QCOMPARE(results[1].pass, 2);
    }

    void startBeforeTheWorkerWaitsIsNotLost()
    {
        auto worker = makeWorker();
        // The second start arrives while the first pass runs or hands over.
        worker->Start();
        worker->Start();
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 2, 5000);
        QTest::qWait(150);
        QCOMPARE(results.size(), 2);
        QCOMPARE(sim.calls("VXMScanFinger"), 2);
    }

    void resultText_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("text");
        QTest::newRow("captured") << QByteArray("#") << "OK";
        QTest::newRow("error 0") << QByteArray("ERROR 0") << "abgebrochen";
        QTest::newRow("error 4") << QByteArray("ERROR 4") << "abgebrochen";
        QTest::newRow("error 3") << QByteArray("ERROR 3") << "3";
        QTest::newRow("template not readable") << QByteArray("TEMPLATEFAIL") << "";
    }

    void resultText()
    {
        QFETCH(QByteArray, command);
        QFETCH(QString, text);
        QVERIFY(sim.command(command.constData()));
        auto worker = makeWorker();
        worker->Start();
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 1, 5000);
        QCOMPARE(results[0].text, text);
        QVERIFY(!results[0].text.isNull() || text.isEmpty());
    }

    void clearedFlagAbandonsTheCapture()
    {
        QVERIFY(sim.command("NOFINGER"));
        auto worker = makeWorker();
        worker->Start();
        QTest::qWait(100);
        QCOMPARE(results.size(), 0);
        keep = 0;
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 1, 5000);
        QCOMPARE(results[0].text, QStringLiteral("abgebrochen"));
    }

    void libraryIsFreeDuringTheHandOver()
    {
        auto worker = makeWorker();
        bool entered = false;
        worker->OnScanDone = [this, &entered](tbioscanfinger *, const uint8_t *, int32_t) {
            // From a third thread, so that a held library shows as a timeout, not a hang.
            auto call = std::async(std::launch::async, [this] { return library->GetLastErrorNum(); });
            entered = call.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
            if (!entered)
                std::thread([c = std::move(call)]() mutable { c.wait(); }).detach();
        };
        worker->Start();
        QTRY_VERIFY_WITH_TIMEOUT(entered, 5000);
    }

    void destroying()
    {
        {
            auto never = makeWorker();  // never started
        }
        QCOMPARE(sim.calls("VXMScanFinger"), 0);

        auto worker = makeWorker();
        worker->Start();
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 1, 5000);
        QTest::qWait(100);  // now waiting for a start
        QElapsedTimer timer;
        timer.start();
        worker.reset();
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(sim.calls("VXMScanFinger"), 1);
    }

    void destroyingDuringTheHandOver()
    {
        auto worker = makeWorker();
        worker->Start();
        // Without an event loop the hand-over cannot run: the worker waits in it.
        QThread::msleep(300);
        QCOMPARE(sim.calls("VXMScanFinger"), 1);
        QElapsedTimer timer;
        timer.start();
        worker.reset();
        QVERIFY(timer.elapsed() < 1000);
        QTest::qWait(100);
        QCOMPARE(results.size(), 0);  // the late hand-over was dropped
    }

    void destroyingDuringACapture()
    {
        QVERIFY(sim.command("NOFINGER"));
        auto worker = makeWorker();
        worker->Start();
        QTest::qWait(100);
        QElapsedTimer timer;
        timer.start();
        worker.reset();  // clears the flag, so the library gives up
        QVERIFY(timer.elapsed() < 2000);
        QTest::qWait(50);
        QCOMPARE(results.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestScanWorker)
#include "tst_scanworker.moc"
