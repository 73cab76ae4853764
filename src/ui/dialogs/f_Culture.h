// The culture dialog (Сервис → "Культура..."): the account's culture points
// now and the points the next village needs, both typed, with the moment
// the points were typed, the open villages' culture per day and the next
// village's moment for the values as they stand in the fields (live, at
// each tick). OK hands the values to the next village's watch, which keeps
// them in the settings; Cancel leaves them.
//
// The main window opens it; it reads and changes only the village list's
// next village watch.
#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QSpinBox;
class TAccountCulture;
class TVillageList;

class TFormCulture : public QDialog
{
    Q_OBJECT

public:
    explicit TFormCulture(TVillageList &villages, QWidget *parent = nullptr);

    // The account as the fields give it now (not yet taken).
    TAccountCulture TypedAccount() const;

    QSpinBox *edCulturePoints = nullptr;
    QLabel *lblTypedAt = nullptr;
    QSpinBox *edCultureNeeded = nullptr;
    QLabel *lblCulturePerDay = nullptr;
    QLabel *lblNextVillage = nullptr;
    QDialogButtonBox *ButtonBox = nullptr;

public slots:
    void accept() override;

private slots:
    // The lines below the fields, for the values in them now.
    void ShowForecast();

private:
    TVillageList &m_Villages;
};
