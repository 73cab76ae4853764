// Calls at the next pass of the event loop; see NextPass.h.
#include "NextPass.h"

#include <QList>
#include <QPointer>

#include <utility>

namespace {

struct TPendingCall
{
    QPointer<QObject> Context;
    std::function<void()> Call;
};

struct TNextPass
{
    QObject Receiver;
    QList<TPendingCall> Pending;
    bool Posted = false;

    void Run()
    {
        Posted = false;
        const QList<TPendingCall> calls = std::exchange(Pending, {});
        for (const TPendingCall &pending : calls) {
            if (pending.Context)
                pending.Call();
        }
    }
};

TNextPass &NextPass()
{
    static TNextPass nextPass;
    return nextPass;
}

} // namespace

void CallAtNextPass(QObject *context, std::function<void()> call)
{
    TNextPass &nextPass = NextPass();
    nextPass.Pending.append({context, std::move(call)});
    if (nextPass.Posted)
        return;
    nextPass.Posted = true;
    QMetaObject::invokeMethod(&nextPass.Receiver, [&nextPass] { nextPass.Run(); }, Qt::QueuedConnection);
}
