#include "WindowTitle.h"

#include <QFileInfo>
#include <QStringList>

const QString ProgramCaption = QStringLiteral("Менеджер для игры Ливарон");

namespace {

const QString Placeholder = QStringLiteral("[*]");
const QString Separator = QStringLiteral(" — ");

// Qt shows a doubled placeholder as the text "[*]" itself.
QString Escaped(QString text)
{
    return text.replace(Placeholder, Placeholder + Placeholder);
}

} // namespace

QString WindowTitle(const QString &villageName, const QString &fileName)
{
    QStringList parts;
    if (!villageName.isEmpty())
        parts.append(Escaped(villageName));
    const QString shownFile = QFileInfo(fileName).fileName();
    if (!shownFile.isEmpty())
        parts.append(Escaped(shownFile));
    if (parts.isEmpty())
        return ProgramCaption + Placeholder;
    parts.last() += Placeholder;
    parts.append(ProgramCaption);
    return parts.join(Separator);
}
