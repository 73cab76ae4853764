// The program's icon from its PNG sizes; see ProgramIcon.h.
#include "ui/widgets/ProgramIcon.h"

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1/jorlivaronmng.png").arg(size), QSize(size, size));
    return icon;
}
