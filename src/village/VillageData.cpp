// The village record: its fields, the operations that keep their rules (the
// change flag, the sorted list of considered buildings) and the readers of
// the numbers it holds as texts.
#include "VillageData.h"

#include "base/TextCompare.h"
#include "base/WholeNumber.h"

#include <algorithm>

QDebug operator<<(QDebug debug, const TAvBuildingEntry &entry)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TAvBuildingEntry(" << entry.Text << ", " << entry.CatalogIndex << ')';
    return debug;
}

namespace {

bool EntryTextLess(const TAvBuildingEntry &a, const TAvBuildingEntry &b)
{
    return TextLess(a.Text, b.Text);
}

} // namespace

TVillageData::TVillageData(QObject *parent)
    : QObject(parent)
{
    // The fields start in the state of a freshly created village: no name,
    // no race, level "1", empty texts and list, horizon one hour, no
    // construction, no file, not modified.
}

void TVillageData::SetName(const QString &name)
{
    if (name == Name)
        return;
    Name = name;
    emit NameChanged(Name);
    SetModified(true);
}

void TVillageData::SetRace(int position)
{
    const quint8 race = (position >= 0 && position < RaceNames().size()) ? quint8(position + 1) : 0;
    const bool changed = race != Race;
    Race = race;
    if (changed)
        emit RaceChanged(Race);
    SetModified(true);
}

void TVillageData::SetMainLevel(const QString &text)
{
    if (text == MainLevel)
        return;
    MainLevel = text;
    SetModified(true);
    emit MainLevelChanged(MainLevel);
    if (IsWholeNumber(MainLevel))
        emit RecalculationRequested();
}

void TVillageData::CommitMainLevel()
{
    if (!IsWholeNumber(MainLevel))
        SetMainLevel(QStringLiteral("1"));
}

void TVillageData::ReplaceAvBuildings(const QList<TAvBuildingEntry> &entries)
{
    // Adding the entries one by one, each after the equal texts already
    // listed, is a stable sort of the given sequence.
    QList<TAvBuildingEntry> sorted = entries;
    std::stable_sort(sorted.begin(), sorted.end(), EntryTextLess);
    AvBuildings = std::move(sorted);
    emit AvBuildingsChanged();
}

bool TVillageData::RemoveAvBuilding(int position)
{
    if (position < 0 || position >= AvBuildings.size())
        return false;
    AvBuildings.removeAt(position);
    emit AvBuildingsChanged();
    return true;
}

void TVillageData::AddAvBuilding(const TAvBuildingEntry &entry)
{
    const auto place = std::upper_bound(AvBuildings.begin(), AvBuildings.end(), entry, EntryTextLess);
    AvBuildings.insert(place, entry);
    emit AvBuildingsChanged();
}

bool TVillageData::ReplaceAvBuildingAt(int position, const TAvBuildingEntry &entry)
{
    if (position < 0 || position >= AvBuildings.size())
        return false;
    AvBuildings[position] = entry;
    emit AvBuildingsChanged();
    return true;
}

int TVillageData::IndexOfAvBuilding(QStringView text) const
{
    for (int i = 0; i < AvBuildings.size(); ++i) {
        if (SameText(AvBuildings.at(i).Text, text))
            return i;
    }
    return -1;
}

void TVillageData::AddUnknownBuilding(const QString &text)
{
    if (IndexOfAvBuilding(text) >= 0)
        return;
    for (const QString &kept : std::as_const(UnknownBuildings)) {
        if (SameText(kept, text))
            return;
    }
    UnknownBuildings.append(text);
    emit AvBuildingsChanged();
}

void TVillageData::SetLastWriteFailed(bool failed)
{
    LastWriteFailed = failed;
}

bool TVillageData::IsUnsaved() const
{
    return Modified && (FileName.isEmpty() || LastWriteFailed);
}

void TVillageData::SetResourceCollect(TResourceKind kind, const QString &text)
{
    ResourceCollect[KindIndex(kind)] = text;
    emit ResourcesChanged();
}

void TVillageData::SetResourceAdd(TResourceKind kind, const QString &text)
{
    ResourceAdd[KindIndex(kind)] = text;
    emit ResourcesChanged();
}

void TVillageData::SetStocks(const std::array<std::optional<qint32>, 4> &stocks)
{
    for (std::size_t i = 0; i < stocks.size(); ++i) {
        if (stocks[i])
            ResourceCollect[i] = QString::number(*stocks[i]);
    }
    emit ResourcesChanged();
}

void TVillageData::EditResourceCollect(TResourceKind kind, const QString &text)
{
    if (ResourceCollect[KindIndex(kind)] == text)
        return;
    SetResourceCollect(kind, text);
    SetModified(true);
    emit RecalculationRequested();
}

void TVillageData::EditResourceAdd(TResourceKind kind, const QString &text)
{
    if (ResourceAdd[KindIndex(kind)] == text)
        return;
    SetResourceAdd(kind, text);
    SetModified(true);
    emit RecalculationRequested();
}

void TVillageData::SetComments(const QString &text)
{
    QString held = text;
    held.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    held.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (held == Comments)
        return;
    Comments = held;
    emit CommentsChanged();
    SetModified(true);
}

QString TVillageData::CommentsText() const
{
    QString text = Comments;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

void TVillageData::ChooseAvBuildings(const QList<TAvBuildingEntry> &entries)
{
    const QList<TAvBuildingEntry> before = AvBuildings;
    ReplaceAvBuildings(entries);
    if (AvBuildings != before)
        SetModified(true);
}

void TVillageData::SetConstruction(const QString &name, qint32 total, qint32 elapsed)
{
    BuildName = name;
    BuildTotal = total;
    BuildElapsed = elapsed;
}

void TVillageData::SetHorizon(qint32 seconds)
{
    Horizon = seconds == TwoHourHorizon ? TwoHourHorizon : OneHourHorizon;
}

void TVillageData::SetHourCounter(qint32 counter)
{
    HourCounter = counter;
}

void TVillageData::SetModified(bool modified)
{
    if (Modified == modified)
        return;
    Modified = modified;
    emit ModifiedChanged(Modified);
}

void TVillageData::SetFileName(const QString &fileName)
{
    if (FileName == fileName)
        return;
    FileName = fileName;
    emit FileNameChanged(FileName);
}

qint32 TVillageData::ResourceCollectValue(TResourceKind kind) const
{
    return WholeNumberOr(ResourceCollect[KindIndex(kind)], 0);
}

qint32 TVillageData::ResourceAddValue(TResourceKind kind) const
{
    return WholeNumberOr(ResourceAdd[KindIndex(kind)], 0);
}

qint32 TVillageData::MainLevelValue() const
{
    return WholeNumberOr(MainLevel, 1);
}

void TVillageData::SetCapacity(TResourceKind kind, const QString &text)
{
    Capacity[KindIndex(kind)] = text;
    emit ResourcesChanged();
}

void TVillageData::EditCapacity(TResourceKind kind, const QString &text)
{
    if (Capacity[KindIndex(kind)] == text)
        return;
    SetCapacity(kind, text);
    SetModified(true);
    emit RecalculationRequested();
}

qint32 TVillageData::CapacityValue(TResourceKind kind) const
{
    const std::optional<qint32> value = ParseWholeNumber(Capacity[KindIndex(kind)]);
    return value && *value >= 0 ? *value : -1;
}

void TVillageData::AppendToQueue(const TAvBuildingEntry &entry)
{
    Queue.append(entry);
    Modified = true;
    emit QueueChanged();
}

bool TVillageData::RemoveFromQueue(int position)
{
    if (position < 0 || position >= Queue.size())
        return false;
    Queue.removeAt(position);
    Modified = true;
    emit QueueChanged();
    return true;
}

bool TVillageData::MoveQueueItemUp(int position)
{
    if (position < 1 || position >= Queue.size())
        return false;
    Queue.swapItemsAt(position - 1, position);
    Modified = true;
    emit QueueChanged();
    return true;
}

bool TVillageData::MoveQueueItemDown(int position)
{
    if (position < 0 || position + 1 >= Queue.size())
        return false;
    Queue.swapItemsAt(position, position + 1);
    Modified = true;
    emit QueueChanged();
    return true;
}

bool TVillageData::TakeFirstQueueItem(TAvBuildingEntry &taken)
{
    if (Queue.isEmpty())
        return false;
    taken = Queue.takeFirst();
    Modified = true;
    emit QueueChanged();
    return true;
}

const QStringList &TVillageData::RaceNames()
{
    static const QStringList names{
        QStringLiteral("Римляне"), QStringLiteral("Галлы"), QStringLiteral("Германцы")};
    return names;
}

QString TVillageData::RaceDisplayName(int race)
{
    if (race >= 1 && race <= RaceNames().size())
        return RaceNames().at(race - 1);
    return {};
}
