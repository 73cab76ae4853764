// The village page: shows and edits one village in a tab of the main window.
// It holds the village record and its planner, binds every control to their
// operations, draws the tables, runs the one-second timer and supplies the
// automatic save.
#pragma once

#include <QWidget>

class TVillageData;
class TPlanner;
class TdmListObj;

class TFormVillage : public QWidget
{
    Q_OBJECT

public:
    explicit TFormVillage(const TdmListObj &catalog, QWidget *parent = nullptr);
    ~TFormVillage() override;

    TVillageData &Village() const;
    TPlanner &Planner() const;

    // Reads the village from its FileName (errors are reported by the reader).
    void LoadFromFile();
    // Writes the village to its FileName; a failure is shown in a message box
    // with the failure's text. True when written.
    bool WriteToFile();
    // The import command: the import dialog, the parser, the recalculation.
    void ImportFromOverview();

    bool CommentsVisible() const;
    void SetCommentsVisible(bool visible);
    bool ProgressVisible() const;
    void SetProgressVisible(bool visible);

signals:
    // The caption of the tab that hosts the page: the village name.
    void CaptionChanged(const QString &caption);

private:
    struct TPrivate;
    TPrivate *d;
};
