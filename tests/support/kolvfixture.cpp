#include "kolvfixture.h"

#include "kolvinstallation.h"
#include "kolvschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>

namespace {

// The server's own connection, for creating and dropping the fixture's schema.
class AdminConnection
{
public:
    explicit AdminConnection(const QString &server)
        : m_name(QStringLiteral("admin-") + QUuid::createUuid().toString())
    {
        kolv::Dictionary d;
        d.engine = kolv::Engine::Server;
        d.connect = server;
        m_error = kolv::openConnection(d, m_name);
        if (m_error.isEmpty())
            exec(QStringLiteral("set client_min_messages = warning"));  // no notice per dropped table
    }
    ~AdminConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QString exec(const QString &sql)
    {
        if (!m_error.isEmpty())
            return m_error;
        QSqlQuery q(QSqlDatabase::database(m_name, false));
        return q.exec(sql) ? QString() : q.lastError().text();
    }

private:
    QString m_name;
    QString m_error;
};

}  // namespace

QString KolvFixture::testServer()
{
    const QString server = qEnvironmentVariable("KOLV_TEST_SERVER").trimmed();
    return server.isEmpty() ? QString() : server;
}

KolvFixture::KolvFixture(bool demo)
{
    const QString server = testServer();
    if (server.isNull())
        m_error = kolv::createInstallation(m_tmp.path(), demo);
    else
        createOnServer(server, demo);
    m_dm = std::make_unique<Tdm>(QStringLiteral("station-") + QUuid::createUuid().toString());
    m_dm->setConnectionPath(dictionaryFile());
    m_otherName = QStringLiteral("other-") + QUuid::createUuid().toString();
}

void KolvFixture::createOnServer(const QString &server, bool demo)
{
    m_schema = QStringLiteral("kolvtest_") + QUuid::createUuid().toString(QUuid::Id128);
    m_error = AdminConnection(server).exec(QStringLiteral("create schema ") + m_schema);
    if (!m_error.isEmpty())
        return;
    m_connect = server + QStringLiteral(" options='-c search_path=%1'").arg(m_schema);
    m_error = kolv::createServerInstallation(m_tmp.path(), m_connect, demo);
}

KolvFixture::~KolvFixture()
{
    m_dm.reset();
    if (QSqlDatabase::contains(m_otherName)) {
        QSqlDatabase::database(m_otherName, false).close();
        QSqlDatabase::removeDatabase(m_otherName);
    }
    if (onServer()) {
        const QString error = AdminConnection(testServer()).exec(QStringLiteral("drop schema %1 cascade").arg(m_schema));
        if (!error.isEmpty())
            qWarning("schema %s left on the server: %s", qPrintable(m_schema), qPrintable(error));
    }
}

QString KolvFixture::dir() const
{
    return m_tmp.path() + QLatin1Char('/');
}

QString KolvFixture::dictionaryFile() const
{
    return dir() + QLatin1String(kolv::dictionaryPath());
}

QSqlDatabase KolvFixture::other()
{
    if (!QSqlDatabase::contains(m_otherName) || !QSqlDatabase::database(m_otherName, false).isOpen()) {
        kolv::Dictionary d;
        const QString error = kolv::readDictionary(dictionaryFile(), &d);
        if (error.isEmpty())
            kolv::openConnection(d, m_otherName);
    }
    return QSqlDatabase::database(m_otherName);
}

namespace {

bool execute(QSqlQuery &q, const QString &statement, const QVariantList &values)
{
    // The server's driver cannot prepare statements without values (DDL, BEGIN).
    if (values.isEmpty())
        return q.exec(statement);
    q.prepare(statement);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    return q.exec();
}

}  // namespace

void KolvFixture::sql(const QString &statement, const QVariantList &values)
{
    QSqlQuery q(other());
    if (!execute(q, statement, values))
        QTest::qFail(qPrintable(q.lastError().text() + QLatin1String(": ") + statement), __FILE__, __LINE__);
}

QStringList KolvFixture::rows(const QString &select, const QVariantList &values)
{
    QSqlQuery q(other());
    QStringList result;
    if (!execute(q, select, values)) {
        QTest::qFail(qPrintable(q.lastError().text() + QLatin1String(": ") + select), __FILE__, __LINE__);
        return result;
    }
    while (q.next()) {
        QStringList columns;
        for (int i = 0; i < q.record().count(); ++i) {
            const QVariant v = q.value(i);
            // Booleans read as 1 and 0 on both engines.
            columns << (v.typeId() == QMetaType::Bool ? QString::number(v.toInt()) : v.toString());
        }
        result << columns.join(QLatin1Char('|'));
    }
    return result;
}

QVariant KolvFixture::value(const QString &select, const QVariantList &values)
{
    QSqlQuery q(other());
    if (execute(q, select, values) && q.next())
        return q.value(0);
    return {};
}

QString KolvFixture::hex(const QString &column) const
{
    return onServer() ? QStringLiteral("upper(encode(%1,'hex'))").arg(column) : QStringLiteral("hex(%1)").arg(column);
}

void KolvFixture::refuse(const QString &event, const QString &table, const QString &condition,
                         const QString &message)
{
    const QString when = condition.isEmpty() ? QString() : QStringLiteral(" when (%1)").arg(condition);
    const QString name = QStringLiteral("refuse_%1_%2").arg(event, table);
    if (!onServer()) {
        sql(QStringLiteral("create trigger %1 before %2 on %3%4 begin select raise(abort, '%5'); end")
                .arg(name, event, table, when, message));
        return;
    }
    sql(QStringLiteral("create function %1() returns trigger language plpgsql as $$ begin raise exception '%2'; end $$")
            .arg(name, message));
    sql(QStringLiteral("create trigger %1 before %2 on %3 for each row%4 execute function %1()")
            .arg(name, event, table, when));
}

QString KolvFixture::failingText(const QString &column) const
{
    if (!onServer())
        return QStringLiteral("abs(-9223372036854775808)");  // an integer overflow
    return QStringLiteral("(1 / (length(%1) - length(%1)))::text").arg(column);  // a division by zero
}

void KolvFixture::holdWriteLock()
{
    QSqlDatabase db = other();
    const QString error = kolv::beginWrite(db);
    if (!error.isEmpty())
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
}

void KolvFixture::releaseWriteLock()
{
    other().rollback();
}
