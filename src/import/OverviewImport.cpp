// Reading the game's "Обзор деревни" page as pasted by the player. The page
// is read by fixed line positions and a few marker words:
//
//   line 5    the game's name, "Ливарон" exactly (the acceptance test)
//   line 12   the village's name
//   line 13   the buildings: "<name> Уровень <level>" groups, among them the
//             main building's level
//   "Производство:" (first from line 7 on), then four lines of production
//   the first "Древесина ..." line after them: the four stocks with their
//             capacities ("750/800")
//
// The import command of the village page calls it and recalculates after an
// accepted text. Nothing here shows a message: values that cannot be read
// count as 0 (production), stay as they were (stocks, named in the report),
// stay unknown (capacities) or mark nothing (levels); the result carries the
// texts the page shows.
#include "OverviewImport.h"

#include "import/CandidateList.h"
#include "base/TextCompare.h"
#include "record/VillageData.h"
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

// Whether a character is one that browsers leave at the end of a copied
// line: a blank, a tab or a no-break space.
bool IsTrailingBlank(QChar ch)
{
    return ch == u' ' || ch == u'\t' || ch == QChar(0x00A0);
}

// Line n of the text, counted from 1, without the blanks, tabs and no-break
// spaces at its end; empty beyond the end. Every line is read through it.
QString LineAt(const QStringList &lines, qsizetype n)
{
    if (n < 1 || n > lines.size())
        return QString();
    const QString &line = lines.at(n - 1);
    qsizetype end = line.size();
    while (end > 0 && IsTrailingBlank(line.at(end - 1)))
        --end;
    return end == line.size() ? line : line.first(end);
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

// One "<name> Уровень <level>" group of the buildings line whose level is a
// whole number of 0 or more; the page's "Лесопилка" already renamed.
struct TListedBuilding
{
    QString Name;
    qint32 Level = 0;
};

// The groups of the buildings line, in their order.
QList<TListedBuilding> ListedBuildings(const QString &buildingsLine)
{
    QList<TListedBuilding> listed;
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
            listed.append({name, *level});

        rest = TrimmedText(rest);
    }
    return listed;
}

// The lowest level the page lists for the building of this name (letter
// case ignored); none when the page does not list it.
std::optional<qint32> LowestListedLevel(const QList<TListedBuilding> &listed, const QString &name)
{
    std::optional<qint32> lowest;
    for (const TListedBuilding &building : listed) {
        if (SameText(building.Name, name) && (!lowest || building.Level < *lowest))
            lowest = building.Level;
    }
    return lowest;
}

// Whether the page shows this level built: it is at or below the lowest
// level the page lists for its building.
bool IsShownBuilt(const QList<TListedBuilding> &listed, const TLivaronObject &object)
{
    const std::optional<qint32> lowest = LowestListedLevel(listed, object.Name);
    return lowest && object.Level <= *lowest;
}

// Marks the next level of every listed building among the considered ones,
// then drops the considered entries that are built: those at or below the
// lowest level the page lists for their building. Returns how many listed
// buildings had a next level to mark.
int ImportBuildings(const QList<TListedBuilding> &listed, TVillageData &village, const TdmListObj &catalog)
{
    TCandidateList candidates;
    candidates.FillFromCatalog(catalog);
    for (const TAvBuildingEntry &entry : std::as_const(village.AvBuildings))
        candidates.CheckByText(entry.Text);
    int marked = 0;
    for (const TListedBuilding &building : listed) {
        if (candidates.CheckByText(MakeDisplayText(building.Name, qint64(building.Level) + 1)))
            ++marked;
    }

    QList<TAvBuildingEntry> kept;
    for (const TAvBuildingEntry &entry : candidates.CheckedEntries()) {
        if (!IsShownBuilt(listed, catalog.Object(entry.CatalogIndex)))
            kept.append(entry);
    }
    village.ReplaceAvBuildings(kept);
    return marked;
}

// Takes the queued buildings that the page shows built off the queue: those
// at or below the lowest level the page lists for their building, by the
// rule that drops built considered entries. Entries the catalog does not
// know stay.
void DropBuiltFromQueue(const QList<TListedBuilding> &listed, TVillageData &village, const TdmListObj &catalog)
{
    for (int i = int(village.Queue.size()) - 1; i >= 0; --i) {
        const qint32 index = village.Queue.at(i).CatalogIndex;
        if (index < 0 || index >= catalog.Count())
            continue;
        if (IsShownBuilt(listed, catalog.Object(index)))
            village.RemoveFromQueue(i);
    }
}

// What the page shows built, in its order: every group at level 1 or more
// (a field at level 0 is nothing built yet; the building site is no
// building). A name the catalog does not know is kept, not recognised.
QList<TBuiltBuilding> BuiltFromListed(const QList<TListedBuilding> &listed, const TdmListObj &catalog)
{
    QList<TBuiltBuilding> built;
    for (const TListedBuilding &building : listed) {
        if (building.Level >= 1)
            built.append(BuiltBuildingOf(catalog, building.Name, QString::number(building.Level)));
    }
    return built;
}

// The level of the first main building the page lists, when it is 1 or more.
std::optional<qint32> ListedMainLevel(const QList<TListedBuilding> &listed)
{
    for (const TListedBuilding &building : listed) {
        if (SameText(building.Name, MainBuildingName))
            return building.Level >= 1 ? std::optional<qint32>(building.Level) : std::nullopt;
    }
    return std::nullopt;
}

// The 1-based line at which the production block starts: the line after the
// first "Производство:" from line 7 on, or line 1 when there is none.
qsizetype ProductionBlockStart(const QStringList &lines)
{
    for (qsizetype n = FirstMarkerLine; n <= lines.size(); ++n) {
        if (TrimmedText(LineAt(lines, n)) == ProductionMarker)
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

// Whether a character is one the game writes between groups of three digits
// of a large number: a blank, a no-break space or a narrow no-break space.
bool IsGroupSeparator(QChar ch)
{
    return ch == u' ' || ch == QChar(0x00A0) || ch == QChar(0x202F);
}

bool IsDigit(QChar ch)
{
    return ch >= u'0' && ch <= u'9';
}

// The line with the separators between digit groups taken out, so that
// "1 250/5 000" reads as "1250/5000": a separator goes when one to three
// digits (or a group already joined) stand before it and exactly three
// digits follow it, with no further digit after them.
QString JoinDigitGroups(QStringView line)
{
    QString joined;
    joined.reserve(line.size());
    qsizetype runLength = 0;   // digits of the current group before i
    bool inGroupedNumber = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar ch = line[i];
        if (IsDigit(ch)) {
            ++runLength;
            joined += ch;
            continue;
        }
        const bool groupFollows = i + 3 < line.size() && IsDigit(line[i + 1]) && IsDigit(line[i + 2])
                                  && IsDigit(line[i + 3]) && (i + 4 >= line.size() || !IsDigit(line[i + 4]));
        const bool groupBefore = runLength >= 1 && (inGroupedNumber ? runLength == 3 : runLength <= 3);
        if (IsGroupSeparator(ch) && groupFollows && groupBefore) {
            inGroupedNumber = true;
            runLength = 0;
            continue;
        }
        inGroupedNumber = false;
        runLength = 0;
        joined += ch;
    }
    return joined;
}

// "Древесина 750/800 Глина 600/800 Железо 420/800 Зерно 300/900": a label, a
// blank, the stock before "/" and the capacity after it up to the next
// blank, for each kind in order; digits grouped by threes ("1 250/5 000")
// are one number. A stock that is no number leaves the village's stock as it
// was and is named in unreadStocks; a capacity that is none (or below 0) is
// unknown. True when some capacity was read.
bool ImportStocks(QStringView stockLine, TVillageData &village, QList<TResourceKind> &unreadStocks)
{
    bool capacityRead = false;
    const QString joinedLine = JoinDigitGroups(TrimmedText(stockLine));
    QStringView rest(joinedLine);
    for (const TResourceKind kind : AllResourceKinds) {
        rest = TrimmedText(rest);

        const qsizetype labelEnd = rest.indexOf(u' ');
        if (labelEnd >= 0)
            rest = rest.sliced(labelEnd);
        rest = TrimmedText(rest);

        const qsizetype slashAt = rest.indexOf(u'/');
        const qsizetype blankAt = rest.indexOf(u' ');
        const bool slashInWord = slashAt >= 0 && (blankAt < 0 || slashAt < blankAt);
        const QStringView stockText = slashAt >= 0 ? rest.first(slashAt) : QStringView();
        if (const std::optional<qint32> stock = ParseWholeNumber(stockText))
            village.SetResourceCollect(kind, QString::number(*stock));
        else
            unreadStocks.append(kind);

        // The capacity is the rest of the stock's word.
        QStringView capacityText;
        if (slashInWord)
            capacityText = rest.sliced(slashAt + 1, (blankAt >= 0 ? blankAt : rest.size()) - slashAt - 1);
        const std::optional<qint32> capacity = ParseWholeNumber(capacityText);
        if (capacity && *capacity >= 0) {
            village.SetCapacity(kind, QString::number(*capacity));
            capacityRead = true;
        } else {
            village.SetCapacity(kind, QString());
        }

        if (blankAt >= 0)
            rest = rest.sliced(blankAt + 1);
        rest = TrimmedText(rest);
    }
    return capacityRead;
}

// "дерево, железо" for the kinds named, in their order.
QString KindWords(const QList<TResourceKind> &kinds)
{
    QStringList words;
    for (const TResourceKind kind : kinds)
        words.append(ResourceName(kind).toLower());
    return words.join(QStringLiteral(", "));
}

// "строение", "строения", "строений" after a count.
QString BuildingsWord(int count)
{
    const int lastTwo = count % 100;
    const int last = count % 10;
    if (last == 1 && lastTwo != 11)
        return QStringLiteral("строение");
    if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
        return QStringLiteral("строения");
    return QStringLiteral("строений");
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

QDebug operator<<(QDebug debug, const TOverviewImportResult &result)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TOverviewImportResult(";
    if (!result.Accepted)
        debug << "refused, " << result.Error;
    else
        debug << result.Report;
    debug << ')';
    return debug;
}

QString OverviewRejection(const QStringList &lines)
{
    if (lines.size() < MinimumLineCount)
        return QStringLiteral("Текст не распознан: меньше %1 строк.").arg(MinimumLineCount);
    if (LineAt(lines, GameNameLine) != GameName)
        return QStringLiteral("Текст не распознан: в строке %1 нет слова «%2».").arg(GameNameLine).arg(GameName);
    return {};
}

bool IsOverviewText(const QStringList &lines)
{
    return OverviewRejection(lines).isEmpty();
}

bool IsOverviewText(const QString &text)
{
    // The test looks at the first lines only: the import dialog makes it at
    // every change of its text.
    return IsOverviewText(SplitLines(text, MinimumLineCount));
}

QString OverviewVillageName(const QStringList &lines)
{
    return IsOverviewText(lines) ? LineAt(lines, VillageNameLine) : QString();
}

TOverviewImportResult ImportOverviewText(const QStringList &lines, TVillageData &village,
                                         const TdmListObj &catalog)
{
    TOverviewImportResult result;
    result.Error = OverviewRejection(lines);
    if (!result.Error.isEmpty())
        return result;
    result.Accepted = true;

    const QString villageName = LineAt(lines, VillageNameLine);
    if (village.Name.isEmpty() && !villageName.isEmpty())
        village.SetName(villageName);

    const QList<TListedBuilding> listed = ListedBuildings(LineAt(lines, BuildingsLine));
    if (const std::optional<qint32> mainLevel = ListedMainLevel(listed)) {
        village.SetMainLevel(QString::number(*mainLevel));
        result.MainLevel = true;
    }

    if (!listed.isEmpty())
        village.SetBuilt(BuiltFromListed(listed, catalog));

    result.Buildings = village.Race >= 1 && village.Race <= 3;
    if (result.Buildings)
        result.BuildingCount = ImportBuildings(listed, village, catalog);
    // What the page shows built leaves the queue, whether or not a race is
    // chosen: the queue holds what is still to be built.
    DropBuiltFromQueue(listed, village, catalog);

    const qsizetype blockStart = ProductionBlockStart(lines);
    ImportProduction(lines, blockStart, village);

    for (qsizetype n = blockStart + 4; n <= lines.size(); ++n) {
        const QString line = LineAt(lines, n);
        if (TrimmedText(line).startsWith(StockLineStart)) {
            result.Stocks = true;
            result.Capacity = ImportStocks(line, village, result.UnreadStocks);
            break;
        }
    }

    QStringList parts;
    if (result.Stocks && result.UnreadStocks.size() < qsizetype(AllResourceKinds.size()))
        parts.append(QStringLiteral("запасы"));
    parts.append(QStringLiteral("производство"));
    if (result.Capacity)
        parts.append(QStringLiteral("вместимость"));
    if (result.Buildings)
        parts.append(QStringLiteral("%1 %2").arg(result.BuildingCount).arg(BuildingsWord(result.BuildingCount)));
    QString imported = parts.join(QStringLiteral(", "));
    if (!result.UnreadStocks.isEmpty())
        imported += QStringLiteral("; запасы не распознаны: %1").arg(KindWords(result.UnreadStocks));
    if (result.Buildings)
        result.Report = QStringLiteral("Импортировано: %1.").arg(imported);
    else
        result.Report = QStringLiteral("Импортировано: %1. Строения не импортированы: не выбрана раса.").arg(imported);
    return result;
}

bool ParseOverviewText(const QStringList &lines, TVillageData &village, const TdmListObj &catalog)
{
    return ImportOverviewText(lines, village, catalog).Accepted;
}
