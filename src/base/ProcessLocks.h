// Lock files that name the program holding them (QLockFile: process id,
// program, machine) and what is unique to one run of the program. The
// village files' locks, the single-instance lock and the recovery folder
// use them.
//
// A process id alone does not tell a run apart: a program restarted in a
// container, or as the first process of a namespace, gets the id of the
// run that crashed before it, and QLockFile takes that run's lock for a
// live one. A lock is therefore also stale when the process that has its
// id now started after the lock was written.
#pragma once

#include <QString>

class QLockFile;

// Takes the lock at once when it is free, left by a program that is gone,
// or left under a process id that a later process has taken since; false
// when a live program holds it or it cannot be made (lock.error() says).
// The lock is stale only by its holder, never by its age.
bool TryLockOnce(QLockFile &lock);

// Whether the lock file at path names a process of this machine that
// started after the file was written: its holder is gone.
bool HolderIdReused(const QString &lockPath);

// A key unique to one use in one run of the program (random; no two runs,
// nor two uses in one run, share it), for names in shared folders.
QString UniqueRunKey();
