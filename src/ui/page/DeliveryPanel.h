// The group "Ожидается" of a village page: the deliveries on their way
// (lstDeliveries, over TDeliveryModel), the fields for a new one (four
// amounts and "через" hh:mm:ss) with btnAddDelivery, and "Убрать"
// (actDelDelivery, Del in the list). TFormVillage creates one and puts its
// group into the page's right column; what is refused is said in a message.
#pragma once

#include <QObject>

#include <array>

class QAction;
class QGroupBox;
class QLineEdit;
class QListView;
class QPushButton;
class QWidget;
class TDeliveryModel;

class TDeliveryPanel : public QObject
{
    Q_OBJECT

public:
    TDeliveryPanel(TDeliveryModel &model, QWidget *page);

    QGroupBox *gbDeliveries = nullptr;
    QListView *lstDeliveries = nullptr;
    // Wood, clay, iron, grain.
    std::array<QLineEdit *, 4> edDeliveryAmounts{};
    QLineEdit *edDeliveryIn = nullptr;
    QPushButton *btnAddDelivery = nullptr;
    QAction *actDelDelivery = nullptr;

private slots:
    void btnAddDeliveryClick();
    void actDelDeliveryExecute();

private:
    TDeliveryModel &m_Model;
};
