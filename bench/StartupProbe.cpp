// The start-up benchmark's quit point, preloaded (LD_PRELOAD) into the
// program a player runs and into the bare window it is compared with, so
// that both end at the same moment, measured the same way: the first
// Expose of a top-level window, then the event loop idle (a zero timer
// after that expose, and what is posted by then handled). There it prints one line to standard error,
//
//   startup-probe wall_ms=… cpu_ms=… hwm_kib=…
//
// (wall time since the process started, from /proc/self/stat; CPU time of
// the process; its peak resident memory, VmHWM of /proc/self/status) and
// ends the process with _exit(0): nothing done at exit (closing windows,
// saving, freeing) is counted.
//
// With JOR_PROBE_IDLE_SECONDS=S it stays S more seconds after that point
// (one second to settle first) and adds idle_cpu_ms=…, the CPU time the
// process used while idle.
//
// Qt Core and Gui only; it runs its start-up function when the
// application object is made (Q_COREAPP_STARTUP_FUNCTION).

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

double Milliseconds(const timespec &time)
{
    return double(time.tv_sec) * 1e3 + double(time.tv_nsec) / 1e6;
}

double CpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return Milliseconds(now);
}

// Wall time since the process started: its start in clock ticks after boot
// (field 22 of /proc/self/stat) against the boot clock now.
double WallMillisecondsSinceStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.read(4096);
    const qsizetype nameEnd = line.lastIndexOf(')');
    if (nameEnd < 0)
        return -1;
    const QList<QByteArray> fields = line.mid(nameEnd + 2).split(' ');
    constexpr int StartTimeField = 22 - 3;
    if (fields.size() <= StartTimeField)
        return -1;
    const double ticks = fields.at(StartTimeField).toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return Milliseconds(now) - ticks * 1e3 / double(sysconf(_SC_CLK_TCK));
}

long PeakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (;;) {
        const QByteArray line = status.readLine(4096);
        if (line.isEmpty())
            return -1;
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
}

class TStartupProbe : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_Exposed && event->type() == QEvent::Expose && watched->isWindowType()) {
            const auto *window = static_cast<QWindow *>(watched);
            if (window->isTopLevel()) {
                m_Exposed = true;
                QTimer::singleShot(0, this, &TStartupProbe::Idle);
            }
        }
        return false;
    }

private:
    void Idle()
    {
        // What the program left for the loop by now (layouts, repaints at
        // their low priority) is part of its start.
        QCoreApplication::sendPostedEvents();
        const double wall = WallMillisecondsSinceStart();
        const double cpu = CpuMilliseconds();
        std::fprintf(stderr, "startup-probe wall_ms=%.1f cpu_ms=%.1f hwm_kib=%ld", wall, cpu, PeakResidentKiB());
        const int idleSeconds = qEnvironmentVariableIntValue("JOR_PROBE_IDLE_SECONDS");
        if (idleSeconds <= 0)
            End();
        QTimer::singleShot(1000, this, [this, idleSeconds] {
            m_IdleStart = CpuMilliseconds();
            QTimer::singleShot(idleSeconds * 1000, this, [this] {
                std::fprintf(stderr, " idle_cpu_ms=%.1f", CpuMilliseconds() - m_IdleStart);
                End();
            });
        });
    }

    [[noreturn]] static void End()
    {
        std::fprintf(stderr, "\n");
        std::fflush(stderr);
        _exit(0);
    }

    bool m_Exposed = false;
    double m_IdleStart = 0;
};

void InstallStartupProbe()
{
    QCoreApplication::instance()->installEventFilter(new TStartupProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallStartupProbe)
