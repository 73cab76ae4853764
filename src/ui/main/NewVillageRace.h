// The race of a village made from a copied overview page: without one its
// buildings are not imported. A player has one race per server, so the new
// village takes the race the open villages share; only when none has one,
// or they differ, the player is asked (through the question seam).
//
// The main window calls it before it makes the new village of the
// clipboard's offer.
#pragma once

#include <QString>

#include <optional>

class QWidget;
class TVillageList;

// The race for the new village (as TVillageData::SetRace takes it), or none
// to leave it unchosen. The question: "Раса деревни «Северная»?" with the
// races and "Не выбирать" (the default, and what Esc gives).
std::optional<int> RaceForNewVillage(const TVillageList &villages, const QString &villageName, QWidget *parent);
