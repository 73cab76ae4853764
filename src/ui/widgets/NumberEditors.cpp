// The validator of the number fields and the warning sound on a refusal.
#include "ui/widgets/NumberEditors.h"

#include "ui/widgets/UiSeams.h"

#include <QLineEdit>

TRuleValidator::TRuleValidator(TInputRule rule, QObject *parent)
    : QValidator(parent)
    , m_Rule(rule)
{
}

QValidator::State TRuleValidator::validate(QString &input, int &) const
{
    return m_Rule(input) ? Acceptable : Invalid;
}

void AttachInputRule(QLineEdit *field, TInputRule rule)
{
    field->setValidator(new TRuleValidator(rule, field));
    QObject::connect(field, &QLineEdit::inputRejected, field, &UiSeams::Beep);
}
