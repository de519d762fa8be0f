#include "kolvfixture.h"

#include "kolvschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QUuid>

KolvFixture::KolvFixture(bool demo)
{
    m_error = kolv::createInstallation(m_tmp.path(), demo);
    m_dm = std::make_unique<Tdm>(QStringLiteral("station-") + QUuid::createUuid().toString());
    m_dm->setConnectionPath(dictionaryFile());
    m_otherName = QStringLiteral("other-") + QUuid::createUuid().toString();
}

KolvFixture::~KolvFixture()
{
    m_dm.reset();
    if (QSqlDatabase::contains(m_otherName)) {
        QSqlDatabase::database(m_otherName, false).close();
        QSqlDatabase::removeDatabase(m_otherName);
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
    if (!QSqlDatabase::contains(m_otherName)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_otherName);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=8000"));
        db.setDatabaseName(dictionaryFile());
        db.open();
    }
    return QSqlDatabase::database(m_otherName);
}

void KolvFixture::sql(const QString &statement, const QVariantList &values)
{
    QSqlQuery q(other());
    q.prepare(statement);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec())
        QTest::qFail(qPrintable(q.lastError().text() + QLatin1String(": ") + statement), __FILE__, __LINE__);
}

QStringList KolvFixture::rows(const QString &select, const QVariantList &values)
{
    QSqlQuery q(other());
    q.prepare(select);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    QStringList result;
    if (!q.exec()) {
        QTest::qFail(qPrintable(q.lastError().text() + QLatin1String(": ") + select), __FILE__, __LINE__);
        return result;
    }
    while (q.next()) {
        QStringList columns;
        for (int i = 0; i < q.record().count(); ++i)
            columns << q.value(i).toString();
        result << columns.join(QLatin1Char('|'));
    }
    return result;
}

QVariant KolvFixture::value(const QString &select, const QVariantList &values)
{
    QSqlQuery q(other());
    q.prepare(select);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (q.exec() && q.next())
        return q.value(0);
    return {};
}
