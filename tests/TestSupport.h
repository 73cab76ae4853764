// Helpers shared by the test suites: catalogs written from XML text into a
// temporary folder, a recording message handler and a pinned clock.
#pragma once

#include "base/Clock.h"
#include "base/MessageSeam.h"
#include "catalog/dm_ListObjects.h"
#include "record/VillageData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QPair>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A catalog loaded from XML text, for one test.
struct TTestCatalog
{
    QTemporaryDir Dir;
    TdmListObj Catalog;
    TCatalogResult Result;
    bool Loaded = false;

    explicit TTestCatalog(const QByteArray &xml)
    {
        const QString exe = Dir.filePath(QStringLiteral("JorLivaronMng"));
        QFile file(exe + QStringLiteral(".xml"));
        if (file.open(QIODevice::WriteOnly))
            file.write(xml);
        file.close();
        Result = Catalog.LoadCatalog(exe);
        Loaded = Result.Ok;
    }
};

// "<Object Name=...>" elements with Level children, wrapped in the list element.
// Lets the event loop's pending work run: a village changed is evaluated
// anew once, at the next pass of the event loop, as in the program.
inline void Settle()
{
    QCoreApplication::sendPostedEvents();
}

inline QByteArray CatalogXml(const QByteArray &objects)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorLivaronObjectList>"
        + objects + "</JorLivaronObjectList>";
}

// The texts of considered buildings, in list order.
inline QStringList EntryTexts(const QList<TAvBuildingEntry> &entries)
{
    QStringList texts;
    for (const TAvBuildingEntry &entry : entries)
        texts.append(entry.Text);
    return texts;
}

// Records every message instead of showing a box; restores the previous
// handler when it goes.
struct TRecordedMessages
{
    QList<QPair<TMessageKind, QString>> Messages;
    TMessageHandler Previous;

    TRecordedMessages()
    {
        Previous = SetMessageHandler([this](TMessageKind kind, const QString &text) {
            Messages.append({kind, text});
        });
    }
    ~TRecordedMessages() { SetMessageHandler(Previous); }

    QStringList Texts() const
    {
        QStringList texts;
        for (const auto &message : Messages)
            texts.append(message.second);
        return texts;
    }
};

// Pins "now" for as long as it lives.
struct TPinnedClock
{
    QDateTime Now;
    explicit TPinnedClock(const QDateTime &now) : Now(now)
    {
        SetClock([this] { return Now; });
    }
    ~TPinnedClock() { SetClock({}); }
};
