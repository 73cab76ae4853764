// Calls made at the next pass of the event loop, all of them through one
// posted event. Each change of a village asks for its evaluation (and its
// undo history for a look) there; one event, and so one wake-up of the
// event loop, serves every village that changed on a tick, where an event
// per village would wake the loop once each.
//
// Used by the planner and the undo history. Main thread only.
#pragma once

#include <QObject>

#include <functional>

// Calls `call` at the next pass of the event loop, unless `context` is gone
// by then. Calls asked for while those run wait for the pass after.
void CallAtNextPass(QObject *context, std::function<void()> call);
