// Value copies of a village's player-editable fields; see VillageState.h.
#include "VillageState.h"

#include <QStringList>

QDebug operator<<(QDebug debug, const TVillageState &state)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TVillageState(" << state.Name << ", race " << state.Race << ", level " << state.MainLevel << ", speed " << state.ServerSpeed
                    << ", place " << state.Coordinates << ", traders " << state.Traders
                    << ", stocks " << QStringList(state.ResourceCollect.begin(), state.ResourceCollect.end())
                    << ", incomes " << QStringList(state.ResourceAdd.begin(), state.ResourceAdd.end())
                    << ", capacities " << QStringList(state.Capacity.begin(), state.Capacity.end()) << ", considered "
                    << state.AvBuildings << ", queue " << state.Queue << ", built " << state.Built << ", building " << state.BuildName << ' '
                    << state.BuildElapsed << '/' << state.BuildTotal << ", comments " << state.Comments << ')';
    return debug;
}

TVillageState TakeVillageState(const TVillageData &village)
{
    TVillageState state;
    state.Name = village.Name;
    state.Race = village.Race;
    state.MainLevel = village.MainLevel;
    state.ServerSpeed = village.ServerSpeed;
    state.Coordinates = village.Coordinates;
    state.Traders = village.Traders;
    state.ResourceCollect = village.ResourceCollect;
    state.ResourceAdd = village.ResourceAdd;
    state.Capacity = village.Capacity;
    state.AvBuildings = village.AvBuildings;
    state.Comments = village.Comments;
    state.Queue = village.Queue;
    state.Built = village.Built;
    state.Deliveries = village.Deliveries;
    state.BuildName = village.BuildName;
    state.BuildTotal = village.BuildTotal;
    state.BuildElapsed = village.BuildElapsed;
    return state;
}

void ApplyVillageState(TVillageData &village, const TVillageState &state)
{
    village.SetName(state.Name);
    // The race list's position; anything outside it is no race.
    village.SetRace(int(state.Race) - 1);
    village.SetMainLevel(state.MainLevel);
    village.SetServerSpeed(state.ServerSpeed);
    village.SetCoordinates(state.Coordinates);
    village.SetTraders(state.Traders);
    for (const TResourceKind kind : AllResourceKinds) {
        const auto i = KindIndex(kind);
        village.SetResourceCollect(kind, state.ResourceCollect[i]);
        village.SetResourceAdd(kind, state.ResourceAdd[i]);
        village.SetCapacity(kind, state.Capacity[i]);
    }
    if (village.AvBuildings != state.AvBuildings)
        village.ReplaceAvBuildings(state.AvBuildings);
    village.SetComments(state.Comments);
    if (village.Queue != state.Queue)
        village.SetQueue(state.Queue);
    village.SetBuilt(state.Built);
    village.SetDeliveries(state.Deliveries);
    village.SetConstruction(state.BuildName, state.BuildTotal, state.BuildElapsed);
    village.SetModified(true);
}

QString StepName(const TVillageState &before, const TVillageState &after)
{
    if (before == after)
        return {};
    if (before.BuildName != after.BuildName || before.BuildTotal != after.BuildTotal)
        return QStringLiteral("постройку");
    QStringList changed;
    if (before.Name != after.Name)
        changed.append(QStringLiteral("название"));
    if (before.Race != after.Race)
        changed.append(QStringLiteral("расу"));
    if (before.MainLevel != after.MainLevel)
        changed.append(QStringLiteral("уровень главного здания"));
    if (before.ServerSpeed != after.ServerSpeed)
        changed.append(QStringLiteral("скорость сервера"));
    if (before.Coordinates != after.Coordinates)
        changed.append(QStringLiteral("координаты"));
    if (before.Traders != after.Traders)
        changed.append(QStringLiteral("торговцев"));
    if (before.ResourceCollect != after.ResourceCollect)
        changed.append(QStringLiteral("запасы"));
    if (before.ResourceAdd != after.ResourceAdd)
        changed.append(QStringLiteral("производство"));
    if (before.Capacity != after.Capacity)
        changed.append(QStringLiteral("вместимость"));
    if (before.AvBuildings != after.AvBuildings)
        changed.append(QStringLiteral("список строений"));
    if (before.Comments != after.Comments)
        changed.append(QStringLiteral("комментарии"));
    if (before.Queue != after.Queue)
        changed.append(QStringLiteral("очередь"));
    if (before.Built != after.Built)
        changed.append(QStringLiteral("постройки"));
    if (before.Deliveries != after.Deliveries)
        changed.append(QStringLiteral("поставки"));
    // Only the construction's elapsed time differs: no step of the player's.
    if (changed.isEmpty())
        return {};
    return changed.size() == 1 ? changed.constFirst() : QStringLiteral("изменения");
}
