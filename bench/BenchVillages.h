// Village files as players keep them, generated for the start-up and idle
// benchmarks: a name and a race, a main-building level, stocks, incomes
// and storage capacities, 10 to 30 considered buildings of the catalog, a
// build queue of some of them and a construction in progress.
#pragma once

#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "catalog/dm_ListObjects.h"
#include "record/VillageData.h"

#include <QDir>
#include <QStringList>

// Writes `count` villages into folder as Деревня-NNN.vlgdat; gives their
// paths (those written).
inline QStringList WriteBenchVillages(const TdmListObj &catalog, int count, const QString &folder)
{
    QStringList files;
    TVillageList villages(catalog);
    const qint32 objects = catalog.Count();
    for (int v = 0; v < count && objects > 0; ++v) {
        TVillageDocument *document = villages.Add();
        TVillageData &village = document->Village();
        village.SetName(QStringLiteral("Деревня %1").arg(v + 1));
        village.SetRace(v % 3);
        village.SetMainLevel(QString::number(3 + v % 15));
        int kind = 0;
        for (TResourceKind resource : AllResourceKinds) {
            village.SetResourceCollect(resource, QString::number(400 + (v * 37 + kind * 211) % 2600));
            village.SetResourceAdd(resource, QString::number(120 + (v * 53 + kind * 97) % 700));
            village.SetCapacity(resource, QString::number(resource == TResourceKind::Grain ? 6400 : 8000));
            ++kind;
        }
        // 10 to 30 considered buildings spread over the catalog, no text twice.
        const int considered = 10 + (v * 7) % 21;
        QList<TAvBuildingEntry> entries;
        for (int k = 0; entries.size() < considered && k < 4 * considered; ++k) {
            const qint32 index = qint32((qint64(v) * 13 + qint64(k) * 37) % objects);
            const TAvBuildingEntry entry{catalog.Object(index).DisplayText(), index};
            if (!entries.contains(entry))
                entries.append(entry);
        }
        village.ReplaceAvBuildings(entries);
        // A queue of three to eight of them, and one under construction.
        QList<TAvBuildingEntry> queue;
        for (int q = 0; q < 3 + v % 6 && q < entries.size(); ++q)
            queue.append(entries.at((q * 3) % entries.size()));
        village.SetQueue(queue);
        village.SetConstruction(entries.constLast().Text, 3600 + 60 * v, 600);
        village.SetComments(QStringLiteral("Склад до 8000, потом рынок."));
        const QString path = QDir(folder).filePath(QStringLiteral("Деревня-%1.vlgdat").arg(v + 1, 3, 10, QLatin1Char('0')));
        if (document->Write(path).Ok)
            files.append(path);
    }
    return files;
}
