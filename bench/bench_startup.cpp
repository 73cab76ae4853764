// The program's start-up for timing: the same sequence as JorLivaronMng
// (settings, catalog beside the executable, main window, the village files
// of the command line), which ends as soon as the window is shown. With
// --idle S it then stays idle for S seconds and prints the CPU seconds the
// process used meanwhile. With --write-villages N DIR it only writes N
// generated village files (BenchVillages.h) into DIR, for the runs that
// open them.

#include "BenchVillages.h"

#include "base/SettingsSeam.h"
#include "app/StartUp.h"
#include "catalog/dm_ListObjects.h"
#include "ui/widgets/UiSeams.h"
#include "ui/main/f_Main.h"

#include <QApplication>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int idleSeconds = 0;
    int villagesToWrite = 0;
    QString folder;
    QStringList files;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--idle") && i + 1 < arguments.size()) {
            idleSeconds = arguments[++i].toInt();
        } else if (arguments[i] == QLatin1String("--write-villages") && i + 2 < arguments.size()) {
            villagesToWrite = arguments[++i].toInt();
            folder = arguments[++i];
        } else {
            files.append(arguments[i]);
        }
    }

    UiSeams::InstallMessageBoxes();
    SetSettingsFile(UserSettingsFile());
    return RunStartUp(QCoreApplication::applicationFilePath(), [&] {
        if (villagesToWrite > 0)
            return WriteBenchVillages(*dmListObj, villagesToWrite, folder).size() == villagesToWrite ? 0 : 1;
        TFormMain window(*dmListObj);
        window.show();
        window.OpenFiles(files);
        // Ends without closing the window: closing saves every changed
        // village (as "Сохранить все"), which is no part of starting.
        if (idleSeconds <= 0) {
            QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
            return QApplication::exec();
        }
        double startCpu = 0;
        QTimer::singleShot(1000, &app, [&] { startCpu = CpuSeconds(); });
        QTimer::singleShot(1000 + idleSeconds * 1000, &app, [&] {
            std::printf("idle_cpu_seconds %.4f\n", CpuSeconds() - startCpu);
            QCoreApplication::exit(0);
        });
        return QApplication::exec();
    });
}
