// The floor of the start-up benchmark: a bare Qt Widgets program that shows
// one empty main window and quits as soon as it is shown. With --text the
// window also shows a menu bar and a line of text, so that the fonts are
// loaded: the share of start-up that any program showing text pays.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(712, 596);
    if (QCoreApplication::arguments().contains(QStringLiteral("--text"))) {
        window.menuBar()->addMenu(QStringLiteral("Файл"));
        window.setCentralWidget(new QLabel(QStringLiteral("Менеджер для игры Ливарон")));
    }
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
