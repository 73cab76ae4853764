// The program's start-up for timing: the same sequence as JorLivaronMng
// (catalog beside the executable, main window), which quits as soon as the
// window is shown. With --pages N it opens N village pages in all; with
// --idle S it then stays idle for S seconds and prints the CPU seconds the
// process used meanwhile.

#include "catalog/StartUp.h"
#include "catalog/dm_ListObjects.h"
#include "ui/UiSeams.h"
#include "ui/f_Main.h"

#include <QAction>
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
    int pages = 1;
    int idleSeconds = 0;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--pages"))
            pages = arguments[i + 1].toInt();
        else if (arguments[i] == QLatin1String("--idle"))
            idleSeconds = arguments[i + 1].toInt();
    }

    UiSeams::InstallMessageBoxes();
    return RunStartUp(QCoreApplication::applicationFilePath(), [&] {
        TFormMain window(*dmListObj);
        window.show();
        if (auto *newVillage = window.findChild<QAction *>(QStringLiteral("actNew"))) {
            for (int i = 1; i < pages; ++i)
                newVillage->trigger();
        }
        if (idleSeconds <= 0) {
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
            return QApplication::exec();
        }
        double startCpu = 0;
        QTimer::singleShot(1000, &app, [&] { startCpu = CpuSeconds(); });
        QTimer::singleShot(1000 + idleSeconds * 1000, &app, [&] {
            std::printf("idle_cpu_seconds %.4f\n", CpuSeconds() - startCpu);
            QCoreApplication::quit();
        });
        return QApplication::exec();
    });
}
