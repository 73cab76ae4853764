// The import dialog: the player pastes the text of the game's "Обзор
// деревни" page into it. It closes by itself, as if OK had been pressed, as
// soon as the text is recognised as such a page. OK on a text that is not
// recognised keeps it open and says why under the field ("Текст не
// распознан: …"), so that the player can paste again; Cancel closes it. The
// village page's import command creates one for each import and hands its
// text to the parser.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TFormImportRes : public QDialog
{
    Q_OBJECT

public:
    explicit TFormImportRes(QWidget *parent = nullptr);

    // The text pasted into the field.
    QString Text() const;

    // The instructions shown above the field.
    static QString CaptionText();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void Memo1Change();
    void BitBtn1Click();

private:
    // The refusal's red, readable on the dialog's palette.
    void ShowRefusalColour();

    QWidget *pnlCaption = nullptr;
    QLabel *lbCaption = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    // Why OK did not take the text; hidden while empty.
    QLabel *lbError = nullptr;
    QWidget *pnlButton = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
};
