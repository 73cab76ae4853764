// The race of a new village from the clipboard; see NewVillageRace.h.
#include "ui/main/NewVillageRace.h"

#include "ui/widgets/UiSeams.h"

#include "app/VillageList.h"
#include "record/VillageData.h"

#include <QStringList>

std::optional<int> RaceForNewVillage(const TVillageList &villages, const QString &villageName, QWidget *parent)
{
    if (const std::optional<int> shared = villages.SharedRace())
        return shared;
    QStringList answers = TVillageData::RaceNames();
    const int none = int(answers.size());
    answers.append(QStringLiteral("Не выбирать"));
    const int chosen = UiSeams::Choose(parent, QStringLiteral("Раса деревни «%1»?").arg(villageName), answers, none);
    return chosen >= 0 && chosen < none ? std::optional<int>(chosen) : std::nullopt;
}
