// Writing a CSV export; see CsvExport.h.
#include "ui/widgets/CsvExport.h"

#include "ui/widgets/UiSeams.h"
#include "base/MessageSeam.h"
#include "models/TableText.h"

#include <QDir>
#include <QSaveFile>

bool ExportCsv(QWidget *parent, const QString &presetName, const QString &csvText)
{
    const QString path = UiSeams::ChooseExportFile(parent, presetName);
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    const QByteArray bytes = CsvFileBytes(csvText);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    ShowMessage(TMessageKind::Error, QStringLiteral("Не удалось записать файл «%1»: %2")
                                         .arg(QDir::toNativeSeparators(path), file.errorString()));
    return false;
}
