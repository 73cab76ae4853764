// Reading the game's "Обзор деревни" page as pasted by the player. The page
// is read by fixed line positions and a few marker words:
//
//   line 5    the game's name, "Ливарон" exactly (the acceptance test)
//   line 12   the village's name
//   line 13   the buildings: "<name> Уровень <level>" groups
//   "Производство:" (first from line 7 on), then four lines of production
//   the first "Древесина ..." line after them: the four stocks
//
// The import command of the village page calls it and recalculates after an
// accepted text. Nothing here shows a message: values that cannot be read
// count as 0 (production, stocks) or mark nothing (levels).
#include "OverviewImport.h"

#include "CandidateList.h"
#include "base/TextCompare.h"
#include "VillageData.h"
#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"

#include <QString>

#include <limits>
#include <optional>
#include <utility>

namespace {

const QString GameName = QStringLiteral("Ливарон");
const QString BuildingSiteWord = QStringLiteral("Стройплощадка");
const QString LevelWord = QStringLiteral("Уровень");
const QString SawmillPageName = QStringLiteral("Лесопилка");
const QString SawmillCatalogName = QStringLiteral("Лесопильный завод");
const QString ProductionMarker = QStringLiteral("Производство:");
const QString StockLineStart = QStringLiteral("Древесина");

constexpr qsizetype MinimumLineCount = 15;
constexpr qsizetype GameNameLine = 5;
constexpr qsizetype VillageNameLine = 12;
constexpr qsizetype BuildingsLine = 13;
constexpr qsizetype FirstMarkerLine = 7;

// Line n of the text, counted from 1; empty beyond the end.
QString LineAt(const QStringList &lines, qsizetype n)
{
    return n >= 1 && n <= lines.size() ? lines.at(n - 1) : QString();
}

// The text without the characters of code 32 or below (blanks, tabs, control
// characters) at either end.
QStringView TrimmedText(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.sliced(begin, end - begin);
}

// The decimal text of a number read by the whole-number rule, "0" for a text
// that is no number.
QString NumberTextOrZero(QStringView text)
{
    return QString::number(WholeNumberOr(text, 0));
}

// Marks the next level of every "<name> Уровень <level>" group of the
// buildings line.
void MarkListedBuildings(const QString &buildingsLine, TCandidateList &candidates)
{
    QString line = buildingsLine;
    line.remove(BuildingSiteWord, Qt::CaseInsensitive);

    QStringView rest(line);
    // Once the rest holds no "Уровень", no later rest does: it only loses
    // characters at the front and blanks at the end.
    bool levelWordLeft = true;
    while (!rest.isEmpty()) {
        QString name;
        const qsizetype levelWordAt = levelWordLeft ? rest.indexOf(LevelWord) : -1;
        if (levelWordAt >= 0) {
            name = TrimmedText(rest.first(levelWordAt)).toString();
            rest = rest.sliced(qMin(rest.size(), levelWordAt + LevelWord.size() + 1));
        } else {
            levelWordLeft = false;
            rest = rest.sliced(qMin(rest.size(), qsizetype(7)));
        }
        if (name == SawmillPageName)
            name = SawmillCatalogName;

        // The level text ends at the next blank; a rest without a blank is
        // the level text in whole, so that a line ending in a level number
        // counts its last building.
        QStringView levelText;
        const qsizetype blankAt = rest.indexOf(u' ');
        if (blankAt >= 0) {
            levelText = TrimmedText(rest.first(blankAt));
            rest = rest.sliced(blankAt + 1);
        } else {
            levelText = TrimmedText(rest);
            rest = {};
        }

        const std::optional<qint32> level = ParseWholeNumber(levelText);
        if (level && *level >= 0)
            candidates.CheckByText(MakeDisplayText(name, qint64(*level) + 1));

        rest = TrimmedText(rest);
    }
}

void ImportBuildings(const QStringList &lines, TVillageData &village, const TdmListObj &catalog)
{
    TCandidateList candidates;
    candidates.FillFromCatalog(catalog);
    for (const TAvBuildingEntry &entry : std::as_const(village.AvBuildings))
        candidates.CheckByText(entry.Text);
    MarkListedBuildings(LineAt(lines, BuildingsLine), candidates);
    village.ReplaceAvBuildings(candidates.CheckedEntries());
}

// The 1-based line at which the production block starts: the line after the
// first "Производство:" from line 7 on, or line 1 when there is none.
qsizetype ProductionBlockStart(const QStringList &lines)
{
    for (qsizetype n = FirstMarkerLine; n <= lines.size(); ++n) {
        if (TrimmedText(lines.at(n - 1)) == ProductionMarker)
            return n + 1;
    }
    return 1;
}

// The production of one line: its "-" and digits, in their order, read as a
// whole number; 0 when they make none.
QString ProductionText(const QString &line)
{
    QString kept;
    for (const QChar ch : line) {
        if (ch == u'-' || (ch >= u'0' && ch <= u'9'))
            kept += ch;
    }
    return NumberTextOrZero(kept);
}

void ImportProduction(const QStringList &lines, qsizetype blockStart, TVillageData &village)
{
    for (const TResourceKind kind : AllResourceKinds) {
        const qsizetype n = blockStart + qsizetype(KindIndex(kind));
        village.SetResourceAdd(kind, ProductionText(LineAt(lines, n)));
    }
}

// "Древесина 750/800 Глина 600/800 Железо 420/800 Зерно 300/900": a label, a
// blank, the stock before "/", for each kind in order.
void ImportStocks(QStringView stockLine, TVillageData &village)
{
    QStringView rest = TrimmedText(stockLine);
    for (const TResourceKind kind : AllResourceKinds) {
        rest = TrimmedText(rest);

        const qsizetype labelEnd = rest.indexOf(u' ');
        if (labelEnd >= 0)
            rest = rest.sliced(labelEnd);
        rest = TrimmedText(rest);

        const qsizetype slashAt = rest.indexOf(u'/');
        const QStringView stockText = slashAt >= 0 ? rest.first(slashAt) : QStringView();
        village.SetResourceCollect(kind, NumberTextOrZero(stockText));

        const qsizetype blankAt = rest.indexOf(u' ');
        if (blankAt >= 0)
            rest = rest.sliced(blankAt + 1);
        rest = TrimmedText(rest);
    }
}

} // namespace

namespace {

// The first maxLines lines of text, split as SplitOverviewLines splits.
QStringList SplitLines(const QString &text, qsizetype maxLines)
{
    QStringList lines;
    // A plain scan over the code units: pasted pages run to many thousands
    // of lines.
    const char16_t *const units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype size = text.size();
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < size && lines.size() < maxLines; ++i) {
        const char16_t unit = units[i];
        if (unit != u'\n' && unit != u'\r')
            continue;
        lines.append(text.sliced(lineStart, i - lineStart));
        if (unit == u'\r' && i + 1 < size && units[i + 1] == u'\n')
            ++i;
        lineStart = i + 1;
    }
    if (lineStart < size && lines.size() < maxLines)
        lines.append(text.sliced(lineStart));
    return lines;
}

} // namespace

QStringList SplitOverviewLines(const QString &text)
{
    return SplitLines(text, std::numeric_limits<qsizetype>::max());
}

bool IsOverviewText(const QStringList &lines)
{
    return lines.size() >= MinimumLineCount && LineAt(lines, GameNameLine) == GameName;
}

bool IsOverviewText(const QString &text)
{
    // The test looks at the first lines only: the import dialog makes it at
    // every change of its text.
    return IsOverviewText(SplitLines(text, MinimumLineCount));
}

bool ParseOverviewText(const QStringList &lines, TVillageData &village, const TdmListObj &catalog)
{
    if (!IsOverviewText(lines))
        return false;

    const QString villageName = LineAt(lines, VillageNameLine);
    if (village.Name.isEmpty() && !villageName.isEmpty())
        village.SetName(villageName);

    if (village.Race >= 1 && village.Race <= 3)
        ImportBuildings(lines, village, catalog);

    const qsizetype blockStart = ProductionBlockStart(lines);
    ImportProduction(lines, blockStart, village);

    for (qsizetype n = blockStart + 4; n <= lines.size(); ++n) {
        const QString &line = lines.at(n - 1);
        if (TrimmedText(line).startsWith(StockLineStart)) {
            ImportStocks(line, village);
            break;
        }
    }
    return true;
}
