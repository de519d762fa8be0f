// The persons grid's rows, read once per opening and held here, so that the
// grid never keeps a statement open and drawing a row costs no query. The
// "OK" mark is a lookup in the set of numbers with stored templates.
#pragma once

#include "personrecords.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QSet>
#include <array>

class PersonModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static const QColor SkyBlue;  // 0xF0CAA6 as blue-green-red
    static const QColor Silver;   // 0xC0C0C0

    explicit PersonModel(QObject *parent = nullptr);

    void setPersons(QVector<PersonRow> rows);
    void setTemplatePids(QSet<int32_t> pids);
    const QVector<PersonRow> &persons() const { return m_rows; }
    const QSet<int32_t> &templatePids() const { return m_templatePids; }
    const PersonRow *person(int row) const;
    bool hasTemplates(int row) const;

    void updatePerson(int row, const PersonRow &person);
    void removePerson(int row);

    void setTitleColour(int column, const QColor &colour);
    QColor titleColour(int column) const { return m_titleColours[size_t(column)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVector<PersonRow> m_rows;
    QSet<int32_t> m_templatePids;
    std::array<QColor, 3> m_titleColours;
};
