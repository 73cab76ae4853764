// The file commands on the open villages (TVillageList): new, open, save,
// save as, save all, closing a village and the program, a file another
// program changed, the recovery offer after a crash, the session and the
// recent files. What the player is asked goes through TFileQuestions,
// messages through MessageSeam. The main window forwards its commands here;
// its tabs follow the list and the shown village (Current).
//
// Rules a reader could not guess from the names:
// - an untouched village (no file, never changed) shown when files are
//   opened or villages recovered takes the first of them instead of a new one;
// - a file open already is not opened twice: its village is shown and the
//   message names the file; the same holds for saving onto another
//   village's file;
// - a file another program holds is never written: saving asks for another
//   file; a file another program changed is written over only when the
//   player keeps his village;
// - the session is written whenever a file is opened, saved under a new
//   name or closed, so that after a crash the next start opens them all.
#pragma once

#include "app/RecentFiles.h"

#include <QObject>
#include <QPointer>

class TFileQuestions;
class TVillageDocument;
class TVillageList;
class TVillageRecovery;

class TVillageFiles : public QObject
{
    Q_OBJECT

public:
    TVillageFiles(TVillageList &villages, TFileQuestions &questions, QObject *parent = nullptr);

    TVillageList &Villages() const { return m_Villages; }
    TVillageRecovery &Recovery() const { return *m_Recovery; }

    // The village shown; the commands without a village act on it.
    TVillageDocument *Current() const { return m_Current; }
    void SetCurrent(TVillageDocument *document);

    // An empty village at the end of the list, shown.
    TVillageDocument *New();
    // Asks for the files and opens them as OpenFiles does.
    void Open();
    // Opens each file in a village of its own; the last one opened (or the
    // one open already) is shown, so that only it makes its page.
    void OpenFiles(const QStringList &files);

    // Nothing when the village has no unwritten edits; a file name asked
    // for when it has none.
    void Save(TVillageDocument *document);
    // Asks for a new file name; copies an unchanged village that has a file.
    void SaveAs(TVillageDocument *document);
    void SaveAll();

    // Saves the village, asks when it still has unwritten edits, and takes
    // it out of the list; the last one out leaves a new empty village. True
    // when it went.
    bool Close(TVillageDocument *document);
    // Saves every village and asks when one is still not written; true when
    // the program may end.
    bool MayEnd();
    // The program ends normally: nothing left to recover, the session kept.
    void End();
    // The system asks the program to end (logout, shutdown) and nobody is
    // there to answer: every village with unwritten edits is kept as a
    // recovery copy, the session is written, nothing goes to the player's
    // files, and the next start offers the copies as after a crash. A
    // question open meanwhile has no effect when it is answered. True when
    // every copy was written.
    bool EndAtOnce();

    // Another program changed the village's file: "Загрузить" reads it
    // again, "Оставить мои" (the default) keeps the village, to be written
    // over the file. True for the latter.
    bool AskFileChanged(TVillageDocument *document);

    // After a crash: "Восстановить" brings the villages back with their
    // edits unwritten, in the village of their file when it is open;
    // "Удалить" drops them. Either way the old run's files go.
    void OfferRecovery();

    // The villages open at the last end, opened again in their order with
    // the same one shown; the files that have gone are named in one message.
    void RestoreSession();
    void SaveSession() const;

    // The recent files, newest first, as stored now.
    QStringList RecentFiles();
    // Opens a recent file; one that has gone leaves the list with a message.
    void OpenRecentFile(const QString &file);

    // A village with no file that the player never changed.
    static bool IsUntouched(const TVillageDocument *document);

signals:
    void CurrentChanged(TVillageDocument *document);
    // A command or a village's unwritten edits changed what the title and
    // "Сохранить" show.
    void Changed();

private:
    void SaveVillage(TVillageDocument &document, bool askNewName);
    // Opens the files without showing them; returns the one to show.
    TVillageDocument *OpenWithoutShowing(const QStringList &files);
    void AddRecentFile(const QString &file);
    void Follow(TVillageDocument *document);

    TVillageList &m_Villages;
    TFileQuestions &m_Questions;
    TVillageRecovery *m_Recovery = nullptr;
    QPointer<TVillageDocument> m_Current;
    TRecentFiles m_RecentFiles;
    bool m_Ending = false;
};
