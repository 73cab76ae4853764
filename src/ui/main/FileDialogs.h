// The file commands' questions (TFileQuestions) as the toolkit's dialogs over
// a window, through UiSeams so that GUI tests answer them.
#pragma once

#include "app/FileQuestions.h"

class QWidget;

class TFileDialogs : public TFileQuestions
{
public:
    explicit TFileDialogs(QWidget *parent) : m_Parent(parent) {}

    QStringList ChooseFilesToOpen() override;
    QString ChooseFileToSave(const QString &title, const QString &presetName) override;
    bool Ask(const QString &question) override;
    int Choose(const QString &question, const QStringList &answers, int defaultAnswer) override;

private:
    QWidget *m_Parent;
};
