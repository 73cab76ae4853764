// The floor of the start-up benchmark: a bare Qt Widgets program that shows
// one empty main window and runs until it is closed; the benchmark's
// preloaded probe (StartupProbe.cpp) ends it at the same point as the
// program. With --text the window also shows a menu bar and a line of text,
// so that the fonts are loaded: the share of start-up that any program
// showing text pays.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

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
    return QApplication::exec();
}
