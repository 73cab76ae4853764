// The group "Ожидается" of a village page; see DeliveryPanel.h.
#include "ui/page/DeliveryPanel.h"

#include "ui/widgets/NumberEditors.h"

#include "base/MessageSeam.h"
#include "models/DeliveryModel.h"
#include "record/InputRules.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>

TDeliveryPanel::TDeliveryPanel(TDeliveryModel &model, QWidget *page) : QObject(page), m_Model(model)
{
    gbDeliveries = new QGroupBox(QStringLiteral("Ожидается"), page);
    gbDeliveries->setObjectName(QStringLiteral("gbDeliveries"));
    auto *layout = new QGridLayout(gbDeliveries);
    layout->setContentsMargins(6, 4, 6, 6);

    lstDeliveries = new QListView(gbDeliveries);
    lstDeliveries->setObjectName(QStringLiteral("lstDeliveries"));
    lstDeliveries->setAccessibleName(QStringLiteral("Ожидается"));
    lstDeliveries->setModel(&m_Model);
    lstDeliveries->setContextMenuPolicy(Qt::ActionsContextMenu);
    lstDeliveries->setMaximumHeight(lstDeliveries->fontMetrics().height() * 4 + 8);
    layout->addWidget(lstDeliveries, 0, 0, 1, 4);

    static const std::array<const char *, 4> names{"edDeliveryWood", "edDeliveryClay", "edDeliveryIron",
                                                   "edDeliveryGrain"};
    for (std::size_t i = 0; i < edDeliveryAmounts.size(); ++i) {
        auto *field = new QLineEdit(gbDeliveries);
        field->setObjectName(QLatin1String(names[i]));
        field->setPlaceholderText(ResourceName(AllResourceKinds[i]));
        field->setToolTip(ResourceName(AllResourceKinds[i]));
        field->setMinimumWidth(0);
        field->setAccessibleName(ResourceName(AllResourceKinds[i]));
        AttachInputRule(field, AcceptStockText);
        edDeliveryAmounts[i] = field;
        layout->addWidget(field, 1, int(i));
    }
    edDeliveryIn = new QLineEdit(gbDeliveries);
    edDeliveryIn->setObjectName(QStringLiteral("edDeliveryIn"));
    edDeliveryIn->setPlaceholderText(QStringLiteral("через чч:мм:сс"));
    edDeliveryIn->setAccessibleName(QStringLiteral("Через"));
    layout->addWidget(edDeliveryIn, 2, 0, 1, 2);
    btnAddDelivery = new QPushButton(QStringLiteral("Добавить"), gbDeliveries);
    btnAddDelivery->setObjectName(QStringLiteral("btnAddDelivery"));
    layout->addWidget(btnAddDelivery, 2, 2, 1, 2);

    actDelDelivery = new QAction(QStringLiteral("Убрать"), gbDeliveries);
    actDelDelivery->setObjectName(QStringLiteral("actDelDelivery"));
    actDelDelivery->setShortcut(QKeySequence::Delete);
    actDelDelivery->setShortcutContext(Qt::WidgetShortcut);
    lstDeliveries->addAction(actDelDelivery);

    connect(btnAddDelivery, &QPushButton::clicked, this, &TDeliveryPanel::btnAddDeliveryClick);
    connect(edDeliveryIn, &QLineEdit::returnPressed, this, &TDeliveryPanel::btnAddDeliveryClick);
    connect(actDelDelivery, &QAction::triggered, this, &TDeliveryPanel::actDelDeliveryExecute);
}

void TDeliveryPanel::btnAddDeliveryClick()
{
    TDeliveryInput input;
    for (std::size_t i = 0; i < edDeliveryAmounts.size(); ++i)
        input.Amounts[i] = edDeliveryAmounts[i]->text();
    input.In = edDeliveryIn->text();
    QString error;
    if (!m_Model.Add(input, &error)) {
        ShowMessage(TMessageKind::Warning, error);
        return;
    }
    for (QLineEdit *field : edDeliveryAmounts)
        field->clear();
    edDeliveryIn->clear();
}

void TDeliveryPanel::actDelDeliveryExecute()
{
    m_Model.Remove(lstDeliveries->currentIndex().row());
}
