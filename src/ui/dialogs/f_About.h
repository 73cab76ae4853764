// The About box: the program's name, version, release date and author, the
// addresses of the program's and the game's pages, and two hidden key words
// that make the author line bold or let it blink. The main window creates it
// on first use of "О программе..." and shows it modally each time.
#pragma once

#include <QDialog>
#include <QList>
#include <QPalette>

class QLabel;
class QTimer;

class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);
    ~TAboutBox() override;

    // What a link label opens: its text, with "mailto:" in front when the
    // text holds "@" at a position after its first character.
    static QString LinkTarget(const QString &text);

    // The text as it comes out when its keys are typed with the other
    // keyboard layout active (Latin QWERTY and Russian ЙЦУКЕН, both ways).
    static QString OtherLayout(const QString &text);

    // The two hidden key words, upper case, as typed with the Latin layout.
    static const QString BoldKeyWord;
    static const QString BlinkKeyWord;

    // The typed keys kept for the hidden key words.
    QString TypedKeys() const { return m_TypedKeys; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void tmBlinkTimer();

private:
    QLabel *AddLink(const QString &text, const QString &name);
    void ShowLinkColour(QLabel *label) const;
    void KeyTyped(QChar character);
    void ToggleBold();
    void ToggleBlink();
    void SetAuthorColour(const QColor &colour);
    void RestoreAuthorLine();

    QLabel *lbAuthor = nullptr;
    QLabel *Image1 = nullptr;
    QTimer *tmBlink = nullptr;
    QList<QLabel *> m_Links;
    QPalette m_NormalPalette;
    int m_BlinkTicks = 0;
    bool m_LinkDoubleClicked = false;
    QString m_TypedKeys;
};
