// The close questions: which villages are unsaved and how they are named.
#include "CloseQuestions.h"

#include "app/VillageDocument.h"
#include "record/VillageData.h"

#include <QStringList>

QString VillageNameInQuestion(const TVillageData &village)
{
    if (village.Name.isEmpty())
        return QStringLiteral("без названия");
    return QStringLiteral("«%1»").arg(village.Name);
}

QString CloseProgramQuestion(const QList<const TVillageDocument *> &villages)
{
    QStringList names;
    for (const TVillageDocument *village : villages) {
        if (village != nullptr && village->HasUnwrittenEdits())
            names.append(VillageNameInQuestion(village->Village()));
    }
    if (names.isEmpty())
        return {};
    return QStringLiteral("Не сохранены деревни: %1. Закрыть программу без сохранения?")
        .arg(names.join(QStringLiteral(", ")));
}

QString CloseTabQuestion(const TVillageDocument &village)
{
    if (!village.HasUnwrittenEdits())
        return {};
    return QStringLiteral("Деревня %1 не сохранена. Закрыть вкладку без сохранения?")
        .arg(VillageNameInQuestion(village.Village()));
}
