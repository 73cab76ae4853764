// The village record: its fields, the operations that keep their rules (the
// change flag, the sorted list of considered buildings) and the readers of
// the numbers it holds as texts.
#include "VillageData.h"

#include "base/TextCompare.h"
#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"

#include <QSet>

#include <algorithm>
#include <iterator>

QDebug operator<<(QDebug debug, const TAvBuildingEntry &entry)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TAvBuildingEntry(" << entry.Text << ", " << entry.CatalogIndex << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const TBuiltBuilding &building)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TBuiltBuilding(" << building.Name << ' ' << building.Level << ", " << building.CatalogIndex
                    << ')';
    return debug;
}

TBuiltBuilding BuiltBuildingOf(const TdmListObj &catalog, const QString &name, const QString &level)
{
    TBuiltBuilding building{name, level, -1};
    if (const std::optional<qint32> value = ParseWholeNumber(level))
        building.CatalogIndex = catalog.FindByDisplayText(MakeDisplayText(name, *value));
    return building;
}

namespace {

bool EntryTextLess(const TAvBuildingEntry &a, const TAvBuildingEntry &b)
{
    return TextLess(a.Text, b.Text);
}

} // namespace

// Every line break (CR LF, LF or a lone CR) made CR LF, in one pass: a
// comment may run to millions of lines, and it is written at every
// automatic save.
QString WithCrLfBreaks(const QString &text)
{
    const char16_t *const source = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype size = text.size();
    qsizetype added = 0;
    bool changes = false;
    for (qsizetype i = 0; i < size; ++i) {
        if (source[i] == u'\r') {
            if (i + 1 < size && source[i + 1] == u'\n') {
                ++i;
            } else {
                changes = true;
                ++added;
            }
        } else if (source[i] == u'\n') {
            changes = true;
            ++added;
        }
    }
    if (!changes)
        return text;

    // Each LF and each lone CR grows by one unit.
    QString result(size + added, Qt::Uninitialized);
    char16_t *target = reinterpret_cast<char16_t *>(result.data());
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = source[i];
        if (unit == u'\r' || unit == u'\n') {
            *target++ = u'\r';
            *target++ = u'\n';
            if (unit == u'\r' && i + 1 < size && source[i + 1] == u'\n')
                ++i;
        } else {
            *target++ = unit;
        }
    }
    Q_ASSERT(target == reinterpret_cast<const char16_t *>(result.constData()) + result.size());
    return result;
}

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
    m_MainLevelValue = WholeNumberOr(MainLevel, 1);
    SetModified(true);
    emit MainLevelChanged(MainLevel);
    if (IsWholeNumber(MainLevel))
        emit RecalculationRequested();
}

qint32 TVillageData::ServerSpeedOf(QStringView text)
{
    const std::optional<qint32> speed = ParseWholeNumber(text);
    if (speed && std::find(ServerSpeeds.begin(), ServerSpeeds.end(), *speed) != ServerSpeeds.end())
        return *speed;
    return 1;
}

void TVillageData::SetServerSpeed(const QString &text)
{
    if (text == ServerSpeed)
        return;
    ServerSpeed = text;
    m_ServerSpeedValue = ServerSpeedOf(text);
    SetModified(true);
    emit ServerSpeedChanged(m_ServerSpeedValue);
    emit RecalculationRequested();
}

void TVillageData::SetCoordinates(const QString &text)
{
    if (text == Coordinates)
        return;
    Coordinates = text;
    SetModified(true);
    emit CoordinatesChanged(Coordinates);
}

void TVillageData::SetTraders(const QString &text)
{
    if (text == Traders)
        return;
    Traders = text;
    SetModified(true);
    emit TradersChanged(Traders);
}

void TVillageData::CommitMainLevel()
{
    if (!IsWholeNumber(MainLevel))
        SetMainLevel(QStringLiteral("1"));
}

void TVillageData::AvBuildingsAltered()
{
    m_AvBuildingPositionsBuilt = false;
    m_AvBuildingPositions.clear();
    emit AvBuildingsChanged();
}

void TVillageData::ReplaceAvBuildings(const QList<TAvBuildingEntry> &entries)
{
    // Adding the entries one by one, each after the equal texts already
    // listed, is a stable sort of the given sequence.
    QList<TAvBuildingEntry> sorted = entries;
    if (!std::is_sorted(sorted.cbegin(), sorted.cend(), EntryTextLess))
        std::stable_sort(sorted.begin(), sorted.end(), EntryTextLess);
    AvBuildings = std::move(sorted);
    AvBuildingsAltered();
}

bool TVillageData::RemoveAvBuilding(int position)
{
    if (position < 0 || position >= AvBuildings.size())
        return false;
    AvBuildings.removeAt(position);
    AvBuildingsAltered();
    return true;
}

void TVillageData::AddAvBuilding(const TAvBuildingEntry &entry)
{
    const auto place = std::upper_bound(AvBuildings.begin(), AvBuildings.end(), entry, EntryTextLess);
    AvBuildings.insert(place, entry);
    AvBuildingsAltered();
}

void TVillageData::AddAvBuildings(const QList<TAvBuildingEntry> &entries)
{
    if (entries.isEmpty())
        return;
    // The list is sorted; the new entries, sorted stably (a file lists them
    // in order already), merged after the equal texts of the list, as one
    // insertion after another would put them.
    QList<TAvBuildingEntry> sorted = entries;
    if (!std::is_sorted(sorted.cbegin(), sorted.cend(), EntryTextLess))
        std::stable_sort(sorted.begin(), sorted.end(), EntryTextLess);
    if (AvBuildings.isEmpty()) {
        AvBuildings = std::move(sorted);
    } else {
        QList<TAvBuildingEntry> merged;
        merged.reserve(AvBuildings.size() + sorted.size());
        std::merge(AvBuildings.cbegin(), AvBuildings.cend(), sorted.cbegin(), sorted.cend(),
                   std::back_inserter(merged), EntryTextLess);
        AvBuildings = std::move(merged);
    }
    AvBuildingsAltered();
}

bool TVillageData::ReplaceAvBuildingAt(int position, const TAvBuildingEntry &entry)
{
    if (position < 0 || position >= AvBuildings.size())
        return false;
    AvBuildings[position] = entry;
    AvBuildingsAltered();
    return true;
}

int TVillageData::IndexOfAvBuilding(QStringView text) const
{
    if (!m_AvBuildingPositionsBuilt) {
        m_AvBuildingPositions.reserve(AvBuildings.size());
        // From the last to the first, so that the first of equal texts stays.
        for (int i = int(AvBuildings.size()) - 1; i >= 0; --i)
            m_AvBuildingPositions.insert(FoldedText(AvBuildings.at(i).Text), i);
        m_AvBuildingPositionsBuilt = true;
    }
    return m_AvBuildingPositions.value(FoldedText(text), -1);
}

void TVillageData::AddUnknownBuilding(const QString &text)
{
    AddUnknownBuildings({text});
}

void TVillageData::AddUnknownBuildings(const QStringList &texts)
{
    // A text beside a considered building that differs from it in letter
    // case only is kept too: the file carried both.
    QSet<QString> kept;
    kept.reserve(UnknownBuildings.size() + texts.size());
    for (const QString &text : std::as_const(UnknownBuildings))
        kept.insert(FoldedText(text));
    bool added = false;
    for (const QString &text : texts) {
        const QString folded = FoldedText(text);
        if (kept.contains(folded))
            continue;
        kept.insert(folded);
        UnknownBuildings.append(text);
        added = true;
    }
    if (added)
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
    m_Stocks[KindIndex(kind)] = WholeNumberOr(text, 0);
    emit ResourcesChanged();
}

void TVillageData::SetResourceAdd(TResourceKind kind, const QString &text)
{
    ResourceAdd[KindIndex(kind)] = text;
    m_Incomes[KindIndex(kind)] = WholeNumberOr(text, 0);
    emit ResourcesChanged();
}

void TVillageData::SetStocks(const std::array<std::optional<qint32>, 4> &stocks)
{
    for (std::size_t i = 0; i < stocks.size(); ++i) {
        if (stocks[i]) {
            ResourceCollect[i] = QString::number(*stocks[i]);
            m_Stocks[i] = *stocks[i];
        }
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
    const QString held = WithCrLfBreaks(text);
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
    if (name == BuildName && total == BuildTotal && elapsed == BuildElapsed)
        return;
    BuildName = name;
    BuildTotal = total;
    BuildElapsed = elapsed;
    emit ConstructionChanged();
}

void TVillageData::SetHorizon(qint32 seconds)
{
    const qint32 horizon = seconds == TwoHourHorizon ? TwoHourHorizon : OneHourHorizon;
    if (horizon == Horizon)
        return;
    Horizon = horizon;
    emit HorizonChanged(Horizon);
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

void TVillageData::SetCapacity(TResourceKind kind, const QString &text)
{
    Capacity[KindIndex(kind)] = text;
    const std::optional<qint32> value = ParseWholeNumber(text);
    m_Capacities[KindIndex(kind)] = value && *value >= 0 ? *value : -1;
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

void TVillageData::AppendToQueue(const TAvBuildingEntry &entry)
{
    Queue.append(entry);
    SetModified(true);
    emit QueueChanged();
}

bool TVillageData::RemoveFromQueue(int position)
{
    if (position < 0 || position >= Queue.size())
        return false;
    Queue.removeAt(position);
    SetModified(true);
    emit QueueChanged();
    return true;
}

bool TVillageData::MoveQueueItemUp(int position)
{
    return MoveQueueItem(position, position - 1);
}

bool TVillageData::MoveQueueItemDown(int position)
{
    return MoveQueueItem(position, position + 1);
}

bool TVillageData::MoveQueueItem(int from, int to)
{
    if (from < 0 || from >= Queue.size() || to < 0 || to >= Queue.size() || from == to)
        return false;
    Queue.move(from, to);
    SetModified(true);
    emit QueueChanged();
    return true;
}

bool TVillageData::TakeFirstQueueItem(TAvBuildingEntry &taken)
{
    if (Queue.isEmpty())
        return false;
    taken = Queue.takeFirst();
    SetModified(true);
    emit QueueChanged();
    return true;
}

bool TVillageData::TakeQueuedEntry(qint32 catalogIndex)
{
    if (catalogIndex < 0)
        return false;
    for (int i = 0; i < Queue.size(); ++i) {
        if (Queue.at(i).CatalogIndex == catalogIndex)
            return RemoveFromQueue(i);
    }
    return false;
}

void TVillageData::SetQueue(const QList<TAvBuildingEntry> &queue)
{
    if (queue == Queue)
        return;
    Queue = queue;
    SetModified(true);
    emit QueueChanged();
}

QDebug operator<<(QDebug debug, const TDelivery &delivery)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TDelivery(" << delivery.Amounts[0] << ' ' << delivery.Amounts[1] << ' ' << delivery.Amounts[2]
                    << ' ' << delivery.Amounts[3] << " at " << delivery.Arrives << ')';
    return debug;
}

namespace {

bool ArrivesEarlier(const TDelivery &a, const TDelivery &b)
{
    return a.Arrives < b.Arrives;
}

} // namespace

bool TVillageData::AddDelivery(const TDelivery &delivery)
{
    if (!delivery.Arrives.isValid())
        return false;
    Deliveries.insert(std::upper_bound(Deliveries.begin(), Deliveries.end(), delivery, ArrivesEarlier), delivery);
    SetModified(true);
    emit DeliveriesChanged();
    return true;
}

bool TVillageData::RemoveDelivery(int position)
{
    if (position < 0 || position >= Deliveries.size())
        return false;
    Deliveries.removeAt(position);
    SetModified(true);
    emit DeliveriesChanged();
    return true;
}

void TVillageData::SetDeliveries(const QList<TDelivery> &deliveries)
{
    QList<TDelivery> valid;
    valid.reserve(deliveries.size());
    std::copy_if(deliveries.begin(), deliveries.end(), std::back_inserter(valid),
                 [](const TDelivery &delivery) { return delivery.Arrives.isValid(); });
    std::stable_sort(valid.begin(), valid.end(), ArrivesEarlier);
    if (valid == Deliveries)
        return;
    Deliveries = valid;
    SetModified(true);
    emit DeliveriesChanged();
}

QList<TDelivery> TVillageData::TakeArrivedDeliveries(const QDateTime &now)
{
    const auto arrived = std::find_if(Deliveries.begin(), Deliveries.end(),
                                      [&now](const TDelivery &delivery) { return delivery.Arrives > now; });
    const qsizetype count = arrived - Deliveries.begin();
    if (count == 0)
        return {};
    QList<TDelivery> taken = Deliveries.mid(0, count);
    Deliveries.remove(0, count);
    SetModified(true);
    emit DeliveriesChanged();
    return taken;
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

void TVillageData::SetBuilt(const QList<TBuiltBuilding> &built)
{
    if (Built == built)
        return;
    Built = built;
    emit BuiltChanged();
}

void TVillageData::AddBuilt(const TBuiltBuilding &building)
{
    Built.append(building);
    SetModified(true);
    emit BuiltChanged();
}

bool TVillageData::ReplaceBuiltAt(int position, const TBuiltBuilding &building)
{
    if (position < 0 || position >= Built.size())
        return false;
    if (Built.at(position) == building)
        return true;
    Built[position] = building;
    SetModified(true);
    emit BuiltChanged();
    return true;
}

bool TVillageData::RemoveBuilt(int position)
{
    if (position < 0 || position >= Built.size())
        return false;
    Built.removeAt(position);
    SetModified(true);
    emit BuiltChanged();
    return true;
}
