// The four resources of the game, in the order of every table, file
// attribute list and loop of the program: wood, clay, iron, grain.
#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>

enum class TResourceKind { Wood, Clay, Iron, Grain };

// One 32-bit value per resource kind, indexed by KindIndex: stocks, hourly
// incomes, capacities or costs.
using TResourceAmounts = std::array<qint32, 4>;

inline constexpr std::array<TResourceKind, 4> AllResourceKinds{
    TResourceKind::Wood, TResourceKind::Clay, TResourceKind::Iron, TResourceKind::Grain};

// Position of a kind in the four-slot arrays of the program.
constexpr std::size_t KindIndex(TResourceKind kind)
{
    return static_cast<std::size_t>(kind);
}

// The resource's name as the resource table titles its column: "Дерево",
// "Глина", "Железо", "Зерно".
inline QString ResourceName(TResourceKind kind)
{
    static const std::array<QString, 4> names{QStringLiteral("Дерево"), QStringLiteral("Глина"),
                                              QStringLiteral("Железо"), QStringLiteral("Зерно")};
    return names[KindIndex(kind)];
}
