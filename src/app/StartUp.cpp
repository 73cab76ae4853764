#include "StartUp.h"

#include "base/MessageSeam.h"
#include "Version.h"
#include "catalog/dm_ListObjects.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

void SetApplicationMetadata()
{
    QCoreApplication::setApplicationName(QStringLiteral("JorLivaronMng"));
    QCoreApplication::setApplicationVersion(QStringLiteral(JOR_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("jorlivaron"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("jorlivaron.org"));
}

TCommandLine ReadCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Менеджер для игры Ливарон: какие строения деревни доступны сейчас или в течение одного-двух часов."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("Файл деревни (.vlgdat), открываемый в своей вкладке."), QStringLiteral("[FILE...]"));

    TCommandLine result;
    if (!parser.parse(arguments)) {
        result.ExitNow = true;
        result.ExitStatus = 1;
        const QStringList unknown = parser.unknownOptionNames();
        const QString what = unknown.isEmpty()
            ? parser.errorText()
            : QStringLiteral("Неизвестный параметр «%1».")
                  .arg((unknown.constFirst().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"))
                      + unknown.constFirst());
        result.Error = what + QStringLiteral("\nСправка: JorLivaronMng --help\n");
        return result;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        result.ExitNow = true;
        result.Output = parser.helpText();
        // Read before the application object exists, the parser does not
        // know the program's name.
        if (!arguments.isEmpty())
            result.Output.replace(QStringLiteral("<executable_name>"), arguments.constFirst());
        return result;
    }
    if (parser.isSet(version)) {
        result.ExitNow = true;
        result.Output = QStringLiteral("JorLivaronMng %1\n").arg(QStringLiteral(JOR_VERSION));
        return result;
    }
    for (const QString &file : parser.positionalArguments()) {
        if (!file.isEmpty())
            result.Files.append(QFileInfo(file).absoluteFilePath());
    }
    return result;
}

QStringList WithoutToolkitOptions(const QStringList &arguments)
{
    // The options of QGuiApplication and QApplication, with one or two
    // dashes; those with a value take the next argument or "=value".
    static const QStringList withValue{
        QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"), QStringLiteral("session"), QStringLiteral("display"),
        QStringLiteral("geometry"), QStringLiteral("name"), QStringLiteral("title"), QStringLiteral("style"),
        QStringLiteral("stylesheet"), QStringLiteral("qmljsdebugger"), QStringLiteral("dialogs"),
        QStringLiteral("visual")};
    static const QStringList flags{QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                   QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync")};
    if (arguments.isEmpty())
        return {};
    // The program's name, and everything from "--" on, are no options.
    QStringList kept{arguments.constFirst()};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == u"--") {
            kept.append(arguments.mid(i));
            break;
        }
        QStringView name(argument);
        if (!name.startsWith(u'-')) {
            kept.append(argument);
            continue;
        }
        name = name.sliced(name.startsWith(u"--") ? 2 : 1);
        const qsizetype equals = name.indexOf(u'=');
        const QStringView bare = equals >= 0 ? name.first(equals) : name;
        if (withValue.contains(bare)) {
            if (equals < 0)
                ++i; // its value
            continue;
        }
        if (equals < 0 && flags.contains(bare))
            continue;
        kept.append(argument);
    }
    return kept;
}

int RunStartUp(const QString &exePath, const std::function<int()> &runMainWindow)
{
    auto catalog = std::make_unique<TdmListObj>();
    dmListObj = catalog.get();
    int status = 1;
    const TCatalogResult loaded = catalog->LoadCatalog(exePath);
    if (loaded)
        status = runMainWindow();
    else if (!loaded.Error.isEmpty())
        ShowMessage(TMessageKind::Error, loaded.Error);
    dmListObj = nullptr;
    return status;
}

bool InstallQtTranslation()
{
    static QTranslator *installed = nullptr;
    QCoreApplication *app = QCoreApplication::instance();
    if (app == nullptr)
        return false;
    if (installed != nullptr && installed->parent() == app)
        return true;

    auto translator = std::make_unique<QTranslator>();
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString &folder : folders) {
        if (translator->load(QStringLiteral("qtbase_ru"), folder)
            && QCoreApplication::installTranslator(translator.get())) {
            installed = translator.release();
            installed->setParent(app);
            return true;
        }
    }
    return false;
}
