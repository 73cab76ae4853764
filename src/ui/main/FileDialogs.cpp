#include "ui/main/FileDialogs.h"

#include "ui/widgets/UiSeams.h"

QStringList TFileDialogs::ChooseFilesToOpen()
{
    return UiSeams::ChooseFilesToOpen(m_Parent);
}

QString TFileDialogs::ChooseFileToSave(const QString &title, const QString &presetName)
{
    return UiSeams::ChooseFileToSave(m_Parent, title, presetName);
}

bool TFileDialogs::Ask(const QString &question)
{
    return UiSeams::Ask(m_Parent, question, UiSeams::TAnswer::No);
}

int TFileDialogs::Choose(const QString &question, const QStringList &answers, int defaultAnswer)
{
    return UiSeams::Choose(m_Parent, question, answers, defaultAnswer);
}
