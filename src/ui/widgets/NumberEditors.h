// Number fields that take what an input rule of the village page takes
// (InputRules.h), typed or pasted alike, and drop anything else with the
// warning sound. The village page puts them on its level field and on the
// editors of the resource table.
#pragma once

#include <QValidator>

class QLineEdit;

using TInputRule = bool (*)(QStringView text);

// Acceptable where the rule takes the whole text, Invalid otherwise.
class TRuleValidator : public QValidator
{
    Q_OBJECT

public:
    TRuleValidator(TInputRule rule, QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;

private:
    TInputRule m_Rule;
};

// Gives the field the rule's validator and the warning sound on a refusal.
void AttachInputRule(QLineEdit *field, TInputRule rule);
