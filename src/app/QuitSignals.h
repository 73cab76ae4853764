// The requests to end the program as Qt signals. SIGTERM (logout, shutdown)
// and SIGHUP (the terminal gone) come with nobody there to answer: the
// program ends at once and keeps the unwritten villages for the next start.
// SIGINT (Ctrl+C in the terminal) comes from a person: the program ends as
// Файл → Выход ends it, with its questions. Without them each signal ends
// the program on the spot and loses every unsaved change.
//
// main() makes one and connects it to the main window. The
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
    // SIGTERM or SIGHUP came; again for each one after it.
    void EndRequested();
    // SIGINT came.
    void QuitRequested();

private:
    void Read();

    QSocketNotifier *m_Notifier = nullptr;
};
