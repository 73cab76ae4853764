// Writes the village files the start-up and idle benchmarks open:
// bench_villages N FOLDER writes N villages as players keep them
// (BenchVillages.h) into FOLDER, with the shipped catalog (copied beside
// it as bench_villages.xml, as the program finds its own).

#include "BenchVillages.h"

#include "catalog/dm_ListObjects.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: bench_villages N FOLDER\n", stderr);
        return 2;
    }
    TdmListObj catalog;
    const TCatalogResult load = catalog.LoadCatalog(QCoreApplication::applicationFilePath());
    if (!load.Ok) {
        std::fprintf(stderr, "%s\n", qPrintable(load.Error));
        return 1;
    }
    const int count = arguments.at(1).toInt();
    return WriteBenchVillages(catalog, count, arguments.at(2)).size() == count ? 0 : 1;
}
