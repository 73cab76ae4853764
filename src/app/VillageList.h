// The open villages: the owner of every village document, in tab order,
// and of the one clock that ticks them all once a second, shown or not.
// As a list model it gives each village's name. The main window's tabs,
// the window of all villages, the notifications and the session read it.
// It also watches the open villages' files, so that a change another
// program makes to one reaches its village (TVillageDocument::
// CheckFileOnDisk).
#pragma once

#include <QAbstractListModel>
#include <QList>

#include <optional>

class QFileSystemWatcher;
class QTimer;
class TdmListObj;
class TNextVillageWatch;
class TPlanner;
class TVillageDocument;

class TVillageList : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit TVillageList(const TdmListObj &catalog, QObject *parent = nullptr);
    ~TVillageList() override;

    // A new, empty village at the end.
    TVillageDocument *Add();
    // Takes the village out and frees it.
    void Remove(TVillageDocument *document);
    // Moves a village to another place, as a tab is dragged.
    void Move(int from, int to);

    const TdmListObj &Catalog() const { return m_Catalog; }
    int Count() const { return int(m_Documents.size()); }
    TVillageDocument *At(int index) const;
    int IndexOf(const TVillageDocument *document) const;
    // The planners of every village, for the summary.
    QList<const TPlanner *> Planners() const;
    // The race the open villages that have one share, as SetRace takes it
    // (0 for the first of RaceNames): a player has one race per server.
    // None when no open village has a race, or they differ.
    std::optional<int> SharedRace() const;
    // The village other than `except` that has this file (the same file by
    // its canonical path); null for none.
    TVillageDocument *FindFile(const QString &fileName, const TVillageDocument *except = nullptr) const;

    // The account's culture and its next village, over these villages;
    // looked at after every tick.
    TNextVillageWatch &NextVillage() const { return *m_NextVillage; }

    // The one clock: one second between ticks.
    QTimer &Clock() const { return *Timer1; }
    // Ticks every village once, in list order.
    void Tick();

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

signals:
    // Every village has ticked.
    void Ticked();

private:
    void FollowName(TVillageDocument *document);
    // Watches the files the villages have now, and no others.
    void WatchFiles();
    // Watches the file anew: a file replaced by a rename (as every atomic
    // write does) is another file to the system.
    void Rearm(const QString &path);
    void FileChanged(const QString &path);

    const TdmListObj &m_Catalog;
    QList<TVillageDocument *> m_Documents;
    QTimer *Timer1 = nullptr;
    QFileSystemWatcher *m_Watcher = nullptr;
    TNextVillageWatch *m_NextVillage = nullptr;
};
