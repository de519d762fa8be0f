#include "enrolmentstore.h"

#include "changejournal.h"
#include "personname.h"
#include "personnelnumber.h"
#include "tdm.h"
#include "templateheader.h"
#include "terminals.h"

#include <QSqlQuery>
#include <algorithm>
#include <cstring>
#include <map>

namespace {

int32_t dataTypeOf(const Tscan &scan, uint8_t dataFormat)
{
    return scan.DataType >= 0 ? scan.DataType : int32_t(dataFormat);
}

// The block has been checked to be a whole template of its format.
void readTemplate(Tscan &scan, int dataType, const QByteArray &fdata)
{
    std::memset(scan.Template, 0, sizeof scan.Template);
    scan.TemplateLength = int(fdata.size());
    std::memcpy(scan.Template, fdata.constData(), size_t(scan.TemplateLength));
    scan.DataType = dataType;
}

// Refuses the load when a stored template cannot be one: a rescan writes
// every scan back, and a cut, padded or emptied template would replace the
// stored one without a word.
void refuseUnusable(int32_t pid, const QStringList &unusable)
{
    if (unusable.isEmpty())
        return;
    throw InputError(QStringLiteral("Die gespeicherten Fingerdaten der Person %1 können nicht neu gescannt werden, "
                                    "weil diese Vorlagen nicht zu ihrem Datentyp passen:\n")
                         .arg(pid) +
                     unusable.join(QLatin1Char('\n')) +
                     QStringLiteral("\nDie gespeicherten Daten bleiben unverändert."));
}

const Tscan *findScan(const ScanList &scans, int fingerNo, int scanNo)
{
    for (int i = 0; i < scans.size(); ++i) {
        const Tscan &scan = scans.at(i);
        if (scan.FingerNo == fingerNo && scan.ScanIndex == scanNo - 1)
            return &scan;
    }
    return nullptr;
}

}  // namespace

std::optional<QString> personHolding(Tdm &dm, int32_t pid)
{
    std::optional<QString> name;
    dm.forEachRow(QStringLiteral("select name from fingerid where pid=?"), {pid}, [&](const QSqlQuery &q) {
        if (!name)
            name = q.value(0).toString();
    });
    return name;
}

QString pidTakenMessage(const QString &name)
{
    return QStringLiteral("Personalid ist schon ") + name + QStringLiteral(" zugeordnet");
}

void saveEnrolment(Tdm &dm, const Clock &clock, const FingerList &fingers, const ScanList &scans,
                   const EnrolmentSave &save)
{
    const int32_t pid = personnelNumber(save.pidText);
    bool rescanPidValid = false;
    if (save.rescan && (save.rescanPidText.toLongLong(&rescanPidValid) != pid || !rescanPidValid))
        throw InputError(QStringLiteral("Beim Neu scannen bleibt die Personalid ") + save.rescanPidText +
                         QStringLiteral("; sie wird mit \"Eintrag bearbeiten\" geändert"));
    const QString name = save.rescan ? save.name : checkedPersonName(save.name);

    dm.transaction([&] {
        if (!save.rescan) {
            // Checked again inside the transaction: another station may have
            // taken the number since the dialog's own check.
            if (const auto holder = personHolding(dm, pid))
                throw InputError(pidTakenMessage(*holder));
            dm.execute(QStringLiteral("insert into  fingerid (pid,name) values(?,?)"), {pid, name});
        }

        dm.execute(QStringLiteral("delete from Fingerdata_archiv where PID=?"), {pid});
        const QString archiveInsert = QStringLiteral(
            "insert into Fingerdata_archiv (PID,FID,Scannumber,Datatype,score,ranking,selected,fingerselected,"
            "bestscanindex,fdata) values(?,?,?,?,?,?,?,?,?,?)");
        for (int pos = 0; pos < fingers.size(); ++pos) {
            const Tfinger &f = fingers.at(pos);
            for (int n = 1; n <= f.ScanCount; ++n) {
                const Tscan *scan = findScan(scans, f.FingerNo, n);
                if (!scan)
                    continue;
                dm.execute(archiveInsert, {pid, f.FingerNo, n, dataTypeOf(*scan, save.dataFormat), scan->Score,
                                           f.Rank, scan->Best, f.Selected, f.BestScan, stampedTemplate(*scan, pid)});
            }
        }

        dm.execute(QStringLiteral("delete from Fingerdata where PID=?"), {pid});
        const QString transferInsert =
            QStringLiteral("insert into Fingerdata (PID,FID,Datatype,fdata) values(?,?,?,?)");
        for (const Tfinger *f : save.fingerSlots) {
            if (!f || !f->Selected)
                continue;
            // A selected finger whose best scan could not be chosen has no
            // template for the terminals; it stores no row.
            const Tscan *best = findScan(scans, f->FingerNo, f->BestScan);
            if (!best)
                continue;
            dm.execute(transferInsert,
                       {pid, f->FingerNo, dataTypeOf(*best, save.dataFormat), stampedTemplate(*best, pid)});
        }

        if (!save.rescan) {
            for (const tgeraet *terminal : save.terminals) {
                insertAssignment(dm, pid, terminal->typid);
                AppendJournalRow(dm, clock, pid, terminal->typid, journal::put);
            }
        }
    });
}

void loadStoredScans(Tdm &dm, int32_t pid, FingerList &fingers, ScanList &scans,
                     const std::function<void(Tfinger &)> &scoreFinger)
{
    struct Stored
    {
        int scanNumber;
        int dataType;  // the format read, see storedTemplateFormat
        int score;
        bool best;
        bool fingerSelected;
        QByteArray fdata;
    };
    // One read per table, the rows grouped by finger in scan-number order.
    std::map<int, std::vector<Stored>> archive;
    QStringList unusable;
    dm.forEachRow(QStringLiteral("select FID,Scannumber,Datatype,score,selected,fingerselected,fdata "
                                 "from Fingerdata_archiv where PID=? order by FID,Scannumber"),
                  {pid}, [&](const QSqlQuery &q) {
                      const QByteArray fdata = q.value(6).toByteArray();
                      const int format = storedTemplateFormat(q.value(2), fdata);
                      if (format < 0)
                          unusable << storedTemplateDescription(q.value(0).toInt(), q.value(1).toInt(), q.value(2), fdata);
                      archive[q.value(0).toInt()].push_back({q.value(1).toInt(), format, q.value(3).toInt(),
                                                             q.value(4).toBool(), q.value(5).toBool(), fdata});
                  });
    refuseUnusable(pid, unusable);

    if (!archive.empty()) {
        for (int pos = 0; pos < fingers.size(); ++pos) {
            Tfinger &f = fingers.at(pos);
            const auto rows = archive.find(f.FingerNo);
            if (rows == archive.end())
                continue;
            for (const Stored &row : rows->second) {
                // Scans are numbered 1..ScanCount in memory, so a gap in the
                // stored numbers closes up instead of hiding later scans.
                ++f.ScanCount;
                auto scan = std::make_unique<Tscan>();
                scan->FingerNo = f.FingerNo;
                scan->ScanIndex = f.ScanCount - 1;
                scan->Score = row.score;
                scan->Best = row.best;
                readTemplate(*scan, row.dataType, row.fdata);
                if (row.fingerSelected)
                    f.Selected = true;
                if (scan->Best) {
                    f.BestScan = f.ScanCount;
                    f.BestScore = scan->Score;
                }
                scans.append(std::move(scan));
            }
            if (f.ScanCount == 1) {
                f.BestScan = 1;
                f.BestScore = scans.FindScan(f.FingerNo, 1)->Score;
            } else if (f.ScanCount > 1 && f.BestScan <= 0 && scoreFinger) {
                scoreFinger(f);
            }
        }
        return;
    }

    std::map<int, std::pair<int, QByteArray>> transfer;
    dm.forEachRow(QStringLiteral("select FID,Datatype,fdata from Fingerdata where PID=?"), {pid},
                  [&](const QSqlQuery &q) {
                      const QByteArray fdata = q.value(2).toByteArray();
                      const int format = storedTemplateFormat(q.value(1), fdata);
                      if (format < 0)
                          unusable << storedTemplateDescription(q.value(0).toInt(), 0, q.value(1), fdata);
                      transfer[q.value(0).toInt()] = {format, fdata};
                  });
    refuseUnusable(pid, unusable);
    for (int pos = 0; pos < fingers.size(); ++pos) {
        Tfinger &f = fingers.at(pos);
        const auto row = transfer.find(f.FingerNo);
        if (row == transfer.end())
            continue;
        f.ScanCount = 1;
        f.Selected = true;
        f.BestScan = 1;
        f.BestScore = 10;
        auto scan = std::make_unique<Tscan>();
        scan->FingerNo = f.FingerNo;
        scan->ScanIndex = 0;
        scan->Score = 10;
        scan->Best = true;
        readTemplate(*scan, row->second.first, row->second.second);
        scans.append(std::move(scan));
    }
}
