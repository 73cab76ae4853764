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
