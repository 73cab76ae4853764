// The construction planner of one village page: which considered buildings
// are affordable now or within the horizon (one or two hours of production),
// at what cost and build time; the build command; moving a considered
// building on to its next level; and the one-second tick that grows the
// stocks, advances the construction in progress and decides when the
// village file is due for its automatic save.
//
// It works on one TVillageData and the read-only catalog. The village page
// shows its table and progress and supplies the automatic save.
#pragma once

#include "VillageData.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>

class TdmListObj;

// One row of the table of available buildings: "Строение", "Дерево",
// "Глина", "Железо", "Зерно", "Время", "Строить".
using TAvailableRow = std::array<QString, 7>;

class TPlanner : public QObject
{
    Q_OBJECT

public:
    // Binds to the village's recalculation requests and sets the horizon to
    // one hour (which fills the table with its blank row).
    TPlanner(TVillageData &village, const TdmListObj &catalog, QObject *parent = nullptr);

    static inline const QStringList ColumnTitles{
        QStringLiteral("Строение"), QStringLiteral("Дерево"), QStringLiteral("Глина"),
        QStringLiteral("Железо"), QStringLiteral("Зерно"), QStringLiteral("Время"),
        QStringLiteral("Строить")};

    // Rebuilds the table of available buildings from the record and catalog.
    void RecalculateAvailable();
    // Seconds until the stock of kind covers cost (0 when it does, or when
    // the kind has no income); wide, so that no value overflows.
    qint64 TimeToAfford(TResourceKind kind, qint32 cost) const;
    // 3600 or 7200; retitles the table, then recalculates.
    void SetHorizon(qint32 seconds);
    // "Доступны для строительства в течении часа" / "... двух часов".
    static QString HorizonTitle(qint32 seconds);

    // The build command on data row `row` (0-based) of the table; a row
    // outside the table does nothing.
    void Build(int row);
    // Moves the considered entry with this text on to the building's next level.
    void AdvanceToNextLevel(const QString &text);

    // The one-second tick: counter, automatic save when due, accrual, progress.
    void Tick();
    void AccrueResources();
    void AdvanceProgress();

    // Never empty: one blank row when nothing qualifies.
    const QList<TAvailableRow> &Available() const { return m_Available; }
    // Remaining time of the construction in progress, with its end clock.
    const QString &RemainingText() const { return m_RemainingText; }

    TVillageData &Village() const { return m_Village; }

signals:
    void AvailableChanged();
    void HorizonChanged(qint32 seconds);
    void ProgressChanged();
    void AutoSaveDue();

private:
    // The list change of AdvanceToNextLevel without its recalculation; true
    // when the list changed.
    bool MoveToNextLevel(const QString &text);

    TVillageData &m_Village;
    const TdmListObj &m_Catalog;
    QList<TAvailableRow> m_Available;
    QString m_RemainingText;
};
