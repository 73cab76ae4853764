// The village's buildings on its page: the group "Постройки" with the table
// tvBuilt (its model: TBuiltModel; the level column is edited in place),
// the building to add (cbBuiltName, btnBuiltAdd), btnBuiltRemove for the
// chosen row, btnBuiltEnqueue ("В очередь") for that very building's next
// level, and the line lbBuiltSummary with what the buildings give beside
// the typed figures. TFormVillage creates one and puts its group into the
// page's right column.
#pragma once

#include <QObject>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;
class QWidget;
class TBuiltModel;
class TVillageData;
class TdmListObj;

class TBuiltPanel : public QObject
{
    Q_OBJECT

public:
    TBuiltPanel(TBuiltModel &model, TVillageData &village, const TdmListObj &catalog, QWidget *page);

    QGroupBox *gbBuilt = nullptr;
    QTableView *tvBuilt = nullptr;
    QComboBox *cbBuiltName = nullptr;
    QPushButton *btnBuiltAdd = nullptr;
    QPushButton *btnBuiltRemove = nullptr;
    QPushButton *btnBuiltEnqueue = nullptr;
    QLabel *lbBuiltSummary = nullptr;

private slots:
    void btnBuiltAddClick();
    void btnBuiltRemoveClick();
    void btnBuiltEnqueueClick();
    void ShowSummary();

private:
    int CurrentRow() const;
    void UpdateButtons();

    TBuiltModel &m_Model;
    TVillageData &m_Village;
    const TdmListObj &m_Catalog;
};
