// Inputs generated for the benchmarks: catalogs of any size, villages with
// many considered buildings, and long pasted overview pages.
#pragma once

#include "base/MessageSeam.h"
#include "catalog/dm_ListObjects.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// A catalog file of `entries` entries: buildings of 20 levels each, the
// first of them "Главное здание" with its build-time percentages.
inline QByteArray GenerateCatalog(int entries)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorLivaronObjectList>\n";
    int written = 0;
    for (int building = 0; written < entries; ++building) {
        const QByteArray name = building == 0 ? QStringLiteral("Главное здание").toUtf8()
                                              : QStringLiteral("Строение %1").arg(building).toUtf8();
        xml += "  <Object Name=\"" + name + "\">\n";
        for (int level = 1; level <= 20 && written < entries; ++level, ++written) {
            xml += "    <Level ID=\"" + QByteArray::number(level) + "\" WOOD=\""
                + QByteArray::number(40 * level + building) + "\" CLAY=\"" + QByteArray::number(50 * level)
                + "\" IRON=\"" + QByteArray::number(30 * level) + "\" GRAIN=\"" + QByteArray::number(20 * level)
                + "\" USEGRAIN=\"1\" EK=\"" + QByteArray::number(1 + level / 2) + "\" TIME=\"00:"
                + QByteArray::number(10 + level * 2) + ":00\" PROD=\""
                + QByteArray::number(building == 0 ? 100 - 2 * (level - 1) : 0) + "\"/>\n";
        }
        xml += "  </Object>\n";
    }
    xml += "</JorLivaronObjectList>\n";
    return xml;
}

// A catalog written into a temporary folder and loaded from there.
struct TBenchCatalog
{
    QTemporaryDir Dir;
    QString ExePath;
    QByteArray Bytes;
    TdmListObj Catalog;

    explicit TBenchCatalog(const QByteArray &bytes) : Bytes(bytes)
    {
        SetMessageHandler([](TMessageKind, const QString &) {});
        ExePath = Dir.filePath(QStringLiteral("JorLivaronMng"));
        QFile file(ExePath + QStringLiteral(".xml"));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        file.close();
        Catalog.LoadCatalog(ExePath);
    }
};
