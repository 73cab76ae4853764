// The culture dialog; see f_Culture.h.
#include "ui/dialogs/f_Culture.h"

#include "app/AccountCulture.h"
#include "app/VillageList.h"
#include "base/Clock.h"
#include "base/MessageSeam.h"
#include "app/NextVillageWatch.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox *NewPointsBox(QWidget *parent, const QString &name, qint64 value)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(0, int(TAccountCulture::MaxPoints));
    box->setValue(int(value));
    box->setAccelerated(true);
    return box;
}

QLabel *NewLine(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TFormCulture::TFormCulture(TVillageList &villages, QWidget *parent)
    : QDialog(parent)
    , m_Villages(villages)
{
    setObjectName(QStringLiteral("FormCulture"));
    setWindowTitle(QStringLiteral("Культура"));
    const TAccountCulture &account = villages.NextVillage().Account();

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto *form = new QFormLayout;
    edCulturePoints = NewPointsBox(this, QStringLiteral("edCulturePoints"), account.Points);
    form->addRow(QStringLiteral("Очки &культуры сейчас:"), edCulturePoints);
    lblTypedAt = NewLine(this, QStringLiteral("lblTypedAt"));
    form->addRow(QString(), lblTypedAt);
    edCultureNeeded = NewPointsBox(this, QStringLiteral("edCultureNeeded"), account.Needed);
    form->addRow(QStringLiteral("&Нужно для новой деревни:"), edCultureNeeded);
    layout->addLayout(form);
    lblCulturePerDay = NewLine(this, QStringLiteral("lblCulturePerDay"));
    layout->addWidget(lblCulturePerDay);
    lblNextVillage = NewLine(this, QStringLiteral("lblNextVillage"));
    layout->addWidget(lblNextVillage);

    ButtonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ButtonBox->setObjectName(QStringLiteral("ButtonBox"));
    ButtonBox->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    ButtonBox->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    layout->addWidget(ButtonBox);
    connect(ButtonBox, &QDialogButtonBox::accepted, this, &TFormCulture::accept);
    connect(ButtonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(edCulturePoints, &QSpinBox::valueChanged, this, &TFormCulture::ShowForecast);
    connect(edCultureNeeded, &QSpinBox::valueChanged, this, &TFormCulture::ShowForecast);
    connect(&m_Villages, &TVillageList::Ticked, this, &TFormCulture::ShowForecast);
    ShowForecast();
}

TAccountCulture TFormCulture::TypedAccount() const
{
    return m_Villages.NextVillage().Account().Typed(edCulturePoints->value(), edCultureNeeded->value(),
                                                   CurrentDateTime());
}

void TFormCulture::ShowForecast()
{
    const QDateTime now = CurrentDateTime();
    const TAccountCulture account = TypedAccount();
    const TCultureForecast forecast = m_Villages.NextVillage().Forecast(account);
    lblTypedAt->setText(TypedPointsText(account, forecast, now));
    lblCulturePerDay->setText(CulturePerDayText(forecast.PerDay));
    lblNextVillage->setText(ForecastText(forecast, now));
}

void TFormCulture::accept()
{
    if (!m_Villages.NextVillage().SetAccount(TypedAccount()))
        ShowMessage(TMessageKind::Warning, QStringLiteral("Не удалось сохранить настройки."));
    QDialog::accept();
}
