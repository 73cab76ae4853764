// The system's request to end the program (SIGTERM at logout or shutdown,
// SIGINT from a terminal, SIGHUP when the terminal goes) as a Qt signal, so
// that the program ends as Файл → Выход ends it: changed villages saved,
// questions asked, nothing left to recover. Without it the system's request
// ends the program on the spot and loses every unsaved change.
//
// main() makes one and connects Requested to the main window's quit. The
// handler only writes a byte to a socket pair; the event loop reads it.
#pragma once

#include <QObject>

class QSocketNotifier;

class TQuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit TQuitSignals(QObject *parent = nullptr);
    ~TQuitSignals() override;

signals:
    // One of the signals came; again for each one after it.
    void Requested();

private:
    void Read();

    QSocketNotifier *m_Notifier = nullptr;
};
