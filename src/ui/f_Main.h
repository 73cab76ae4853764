// The main window: one tab per open village, the file commands (new, open,
// save, save as, save all), the view toggles of the active page, the import
// command and the About box.
#pragma once

#include <QMainWindow>

class TdmListObj;

class TFormMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit TFormMain(const TdmListObj &catalog, QWidget *parent = nullptr);
    ~TFormMain() override;

private:
    const TdmListObj &m_Catalog;
};
