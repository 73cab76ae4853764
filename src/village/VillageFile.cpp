// The village data file: writing the persistent fields of a village as XML
// and applying such a file back to a village. The main window's save and
// open commands and the page's automatic save call these two operations.
//
// Writing puts out the elements and attributes in the order below and
// replaces the file in one step (QSaveFile), so that a failed write never
// damages the old file:
//
//   <JorVillageData><Date Saved/><Village Name Race MainLevel/>
//   <ResourceCollect Wood Clay Iron Grain/><ResourceAdd Wood Clay Iron Grain/>
//   <Capacity Wood Clay Iron Grain/>           (only with a capacity given)
//   <AvBuildings><Building/>...</AvBuildings>
//   <Queue><Item/>...</Queue>                   (only with a queue)
//   <Construction Name Total Ends/>             (only while one runs)
//   <Comments/></JorVillageData>
//
// Saved and Ends are moments in ISO 8601 UTC ("2026-12-07T09:23:21Z"). A
// file without the optional parts reads as it did before they existed.
// Reading parses the whole file first, keeping text that consists of blanks
// only (a comment of blanks reads back as written), then applies the root's
// children in document order by their names. The program writes neither a
// document type nor more than four attributes on an element; a file with a
// document type, or with an element of very many attributes, is refused
// before it can cost gigabytes or minutes.
#include "VillageFile.h"

#include "base/TextCompare.h"
#include "VillageData.h"
#include "base/Clock.h"
#include "catalog/MessageSeam.h"
#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <array>
#include <optional>

namespace {

const QString RootElementName = QStringLiteral("JorVillageData");
const QString DateElementName = QStringLiteral("Date");
const QString VillageElementName = QStringLiteral("Village");
const QString ResourceCollectElementName = QStringLiteral("ResourceCollect");
const QString ResourceAddElementName = QStringLiteral("ResourceAdd");
const QString AvBuildingsElementName = QStringLiteral("AvBuildings");
const QString BuildingElementName = QStringLiteral("Building");
const QString CommentsElementName = QStringLiteral("Comments");
const QString CapacityElementName = QStringLiteral("Capacity");
const QString QueueElementName = QStringLiteral("Queue");
const QString QueueItemElementName = QStringLiteral("Item");
const QString ConstructionElementName = QStringLiteral("Construction");

const QString SavedAttribute = QStringLiteral("Saved");
const QString TotalAttribute = QStringLiteral("Total");
const QString EndsAttribute = QStringLiteral("Ends");

const QString NameAttribute = QStringLiteral("Name");
const QString RaceAttribute = QStringLiteral("Race");
const QString MainLevelAttribute = QStringLiteral("MainLevel");

// Attribute names of the two resource elements, in TResourceKind order.
const std::array<QString, 4> ResourceAttributes{
    QStringLiteral("Wood"), QStringLiteral("Clay"), QStringLiteral("Iron"), QStringLiteral("Grain")};

const QString FileNotFoundReason = QStringLiteral("Файл не найден!");
const QString FileEmptyReason = QStringLiteral("Файл пустой!");
const QString FileStructureReason = QStringLiteral("Ошибка структуры файла!");
const QString OpenErrorMessage = QStringLiteral("Ошибка открытия файла!");

// ---------------------------------------------------------------- writing

// A moment in ISO 8601 UTC to the second: "2026-12-07T09:23:21Z".
QString UtcMomentText(const QDateTime &moment)
{
    return moment.toUTC().toString(Qt::ISODate);
}

bool IsXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
        || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The text without the characters that an XML file cannot carry (control
// characters other than tab and line breaks, unpaired surrogates, U+FFFE and
// U+FFFF); a file holding them could not be read back.
QString XmlSafeText(const QString &text)
{
    qsizetype firstBad = -1;
    for (qsizetype i = 0; i < text.size() && firstBad < 0; ++i) {
        const QChar ch = text.at(i);
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (ch.isSurrogate() || !IsXmlCharacter(ch.unicode()))
            firstBad = i;
    }
    if (firstBad < 0)
        return text;

    QString result = text.left(firstBad);
    for (qsizetype i = firstBad; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += ch;
            result += text.at(++i);
        } else if (!ch.isSurrogate() && IsXmlCharacter(ch.unicode())) {
            result += ch;
        }
    }
    return result;
}

void WriteResources(QXmlStreamWriter &writer, const QString &name, const std::array<QString, 4> &texts)
{
    writer.writeEmptyElement(name);
    for (const TResourceKind kind : AllResourceKinds)
        writer.writeAttribute(ResourceAttributes[KindIndex(kind)], XmlSafeText(texts[KindIndex(kind)]));
}

// The file's bytes: the declaration on a line of its own, then the elements
// without any whitespace between them; UTF-8 without byte-order mark. The
// stream writer keeps the attributes in the order written (a DOM document
// would not).
QByteArray VillageFileBytes(const TVillageData &village)
{
    QByteArray elements;
    QXmlStreamWriter writer(&elements);
    writer.writeStartElement(RootElementName);

    const QDateTime now = CurrentDateTime();
    writer.writeStartElement(DateElementName);
    writer.writeAttribute(SavedAttribute, UtcMomentText(now));
    writer.writeCharacters(XmlSafeText(VillageFileDateText(now)));
    writer.writeEndElement();

    writer.writeEmptyElement(VillageElementName);
    writer.writeAttribute(NameAttribute, XmlSafeText(village.Name));
    writer.writeAttribute(RaceAttribute, TVillageData::RaceDisplayName(village.Race));
    writer.writeAttribute(MainLevelAttribute, XmlSafeText(village.MainLevel));

    WriteResources(writer, ResourceCollectElementName, village.ResourceCollect);
    WriteResources(writer, ResourceAddElementName, village.ResourceAdd);
    if (std::any_of(village.Capacity.begin(), village.Capacity.end(),
                    [](const QString &text) { return !text.isEmpty(); }))
        WriteResources(writer, CapacityElementName, village.Capacity);

    // Texts that the catalog does not know go back after the known ones.
    if (!village.AvBuildings.isEmpty() || !village.UnknownBuildings.isEmpty()) {
        writer.writeStartElement(AvBuildingsElementName);
        for (const TAvBuildingEntry &entry : village.AvBuildings)
            writer.writeTextElement(BuildingElementName, XmlSafeText(entry.Text));
        for (const QString &text : village.UnknownBuildings)
            writer.writeTextElement(BuildingElementName, XmlSafeText(text));
        writer.writeEndElement();
    }

    if (!village.Queue.isEmpty()) {
        writer.writeStartElement(QueueElementName);
        for (const TAvBuildingEntry &entry : village.Queue)
            writer.writeTextElement(QueueItemElementName, XmlSafeText(entry.Text));
        writer.writeEndElement();
    }

    if (village.BuildTotal > 0) {
        const qint64 remaining = std::max<qint64>(qint64(village.BuildTotal) - village.BuildElapsed, 0);
        writer.writeEmptyElement(ConstructionElementName);
        writer.writeAttribute(NameAttribute, XmlSafeText(village.BuildName));
        writer.writeAttribute(TotalAttribute, QString::number(village.BuildTotal));
        writer.writeAttribute(EndsAttribute, UtcMomentText(now.addSecs(remaining)));
    }

    // Line breaks are written as CR LF; the reader makes them CR LF again
    // after the XML parser has turned them into LF.
    if (!village.Comments.isEmpty())
        writer.writeTextElement(CommentsElementName, XmlSafeText(WithCrLfBreaks(village.Comments)));

    writer.writeEndElement();
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") + elements;
}

TFileResult WriteFailure(const QString &path, const QString &reason)
{
    return {false,
            JoinMessageLines(
                QStringLiteral("Не удалось сохранить файл «%1».").arg(QDir::toNativeSeparators(path)), reason),
            path};
}

// ---------------------------------------------------------------- reading

struct TReadFailure
{
    QString Reason;
};

// An empty file, or one of blanks and line breaks only (after an optional
// byte-order mark), holds no node at all.
bool HoldsNoNode(const QByteArray &data)
{
    QByteArrayView rest(data);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    for (const char c : rest) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

// A village element carries at most four attributes; far more on one
// element is no village file. The XML reader compares every attribute of an
// element with all before it, which takes minutes for a file of a few
// megabytes of attributes, so such files are refused before parsing.
constexpr qsizetype MaxAttributesPerElement = 64;

// Whether some tag of the text carries more than MaxAttributesPerElement
// attributes, told by its "=" signs outside quoted values; comments,
// processing instructions and CDATA sections are skipped. One pass over the
// code units (bytes of UTF-8, or UTF-16 units); exact for a well-formed file.
template <typename Unit>
bool HasCrowdedTag(const Unit *text, qsizetype size)
{
    // Whether the ASCII characters of marker stand at position i.
    const auto standsAt = [text, size](qsizetype i, const char *marker) {
        for (; *marker != 0; ++marker, ++i) {
            if (i >= size || text[i] != Unit(*marker))
                return false;
        }
        return true;
    };
    const auto skipPast = [&standsAt, size](qsizetype i, const char *end) {
        while (i < size && !standsAt(i, end))
            ++i;
        return i < size ? i + qsizetype(qstrlen(end)) : size;
    };

    qsizetype i = 0;
    while (i < size) {
        if (text[i] != Unit('<')) {
            ++i;
        } else if (standsAt(i, "<!--")) {
            i = skipPast(i + 4, "-->");
        } else if (standsAt(i, "<![CDATA[")) {
            i = skipPast(i + 9, "]]>");
        } else if (standsAt(i, "<?")) {
            i = skipPast(i + 2, "?>");
        } else {
            qsizetype attributes = 0;
            Unit quote = 0;
            for (++i; i < size && (quote != 0 || text[i] != Unit('>')); ++i) {
                const Unit unit = text[i];
                if (quote != 0) {
                    if (unit == quote)
                        quote = 0;
                } else if (unit == Unit('"') || unit == Unit('\'')) {
                    quote = unit;
                } else if (unit == Unit('=') && ++attributes > MaxAttributesPerElement) {
                    return true;
                }
            }
        }
    }
    return false;
}

// The same for the bytes of a file: a UTF-16 or UTF-32 file is looked at in
// its characters, whose bytes could pass for "<", "=" or quotes.
bool HasCrowdedTag(const QByteArray &data)
{
    const std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(data, u'<');
    if (encoding && *encoding != QStringConverter::Utf8) {
        QStringDecoder decoder(*encoding);
        const QString text = decoder.decode(data);
        return HasCrowdedTag(reinterpret_cast<const char16_t *>(text.utf16()), text.size());
    }
    return HasCrowdedTag(data.constData(), data.size());
}

// Parses data into doc. Unlike QDomDocument::setContent, text made of blanks
// only is kept, so that such a comment reads back; adjacent pieces of text
// become one text node.
std::optional<TReadFailure> ParseDocument(const QByteArray &data, QDomDocument &doc)
{
    if (HasCrowdedTag(data))
        return TReadFailure{QStringLiteral("Слишком много атрибутов у элемента!")};

    QXmlStreamReader reader(data);
    reader.setNamespaceProcessing(false);

    // A village file nests three levels; far deeper nesting is no village
    // file and would only exhaust the stack.
    constexpr int MaxDepth = 256;
    int depth = 0;

    // The node that receives what is read; null while at document level
    // (the document itself only exists once its first node is created).
    QDomNode current;
    const auto append = [&](const QDomNode &node) {
        if (current.isNull())
            doc.appendChild(node);
        else
            current.appendChild(node);
    };
    QString pendingText;
    bool hasPendingText = false;
    const auto flushText = [&] {
        // Text outside the root element is layout and has no node.
        if (hasPendingText && !current.isNull())
            current.appendChild(doc.createTextNode(pendingText));
        pendingText.clear();
        hasPendingText = false;
    };

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            flushText();
            if (++depth > MaxDepth)
                return TReadFailure{QStringLiteral("Слишком глубокая вложенность элементов!")};
            QDomElement element = doc.createElement(reader.qualifiedName().toString());
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute &attribute : attributes)
                element.setAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
            append(element);
            current = element;
            break;
        }
        case QXmlStreamReader::EndElement: {
            flushText();
            --depth;
            const QDomNode parent = current.parentNode();
            current = parent.isDocument() ? QDomNode() : parent;
            break;
        }
        case QXmlStreamReader::Characters:
            if (reader.isCDATA()) {
                flushText();
                if (!current.isNull())
                    current.appendChild(doc.createCDATASection(reader.text().toString()));
            } else {
                pendingText += reader.text();
                hasPendingText = true;
            }
            break;
        case QXmlStreamReader::EntityReference:
            pendingText += reader.text();
            hasPendingText = true;
            break;
        case QXmlStreamReader::Comment:
            flushText();
            append(doc.createComment(reader.text().toString()));
            break;
        case QXmlStreamReader::DTD:
            // The program writes no document type. One in a file could
            // declare entities that a few bytes of references expand into
            // gigabytes of text.
            return TReadFailure{QStringLiteral("Определение типа документа (DOCTYPE) не допускается!")};
        case QXmlStreamReader::ProcessingInstruction:
            flushText();
            append(doc.createProcessingInstruction(reader.processingInstructionTarget().toString(),
                                                   reader.processingInstructionData().toString()));
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return TReadFailure{QStringLiteral("%1 (строка %2, столбец %3)")
                                .arg(reader.errorString())
                                .arg(reader.lineNumber())
                                .arg(reader.columnNumber())};
    return std::nullopt;
}

// The element's content when it is a single piece of text; a failure for an
// element without text or with other content.
std::optional<QString> SingleText(const QDomElement &element)
{
    const QDomNodeList children = element.childNodes();
    if (children.size() != 1 || !children.at(0).isText())
        return std::nullopt;
    return children.at(0).nodeValue();
}

TReadFailure NoSingleTextFailure(const QDomElement &element)
{
    return {QStringLiteral("Элемент «%1» не содержит единственного текстового значения!")
                .arg(element.tagName())};
}

int RacePosition(const QString &text)
{
    const QStringList &names = TVillageData::RaceNames();
    for (int position = 0; position < names.size(); ++position) {
        if (SameText(names.at(position), text))
            return position;
    }
    return -1;
}

void ApplyVillage(const QDomElement &element, TVillageData &village)
{
    if (element.hasAttribute(NameAttribute)) {
        const QString name = element.attribute(NameAttribute);
        if (name != village.Name)
            village.SetName(name);
    }
    if (element.hasAttribute(RaceAttribute))
        village.SetRace(RacePosition(element.attribute(RaceAttribute)));
    if (element.hasAttribute(MainLevelAttribute)) {
        const QString level = element.attribute(MainLevelAttribute);
        if (level != village.MainLevel)
            village.SetMainLevel(level);
    }
}

enum class TResourceRow { Stocks, Production, Capacity };

void ApplyResources(const QDomElement &element, TVillageData &village, TResourceRow row)
{
    for (const TResourceKind kind : AllResourceKinds) {
        const QString &name = ResourceAttributes[KindIndex(kind)];
        if (!element.hasAttribute(name))
            continue;
        switch (row) {
        case TResourceRow::Stocks:
            village.SetResourceCollect(kind, element.attribute(name));
            break;
        case TResourceRow::Production:
            village.SetResourceAdd(kind, element.attribute(name));
            break;
        case TResourceRow::Capacity:
            village.SetCapacity(kind, element.attribute(name));
            break;
        }
    }
}

// A moment written by UtcMomentText (any ISO 8601 form is taken); invalid
// when the text is none.
QDateTime MomentFromText(const QString &text)
{
    return QDateTime::fromString(text.trimmed(), Qt::ISODate);
}

// Each Item element with a single text is one entry, found through the
// catalog; a text the catalog does not know keeps its place with index -1.
// Anything else in the element is passed over.
void ApplyQueue(const QDomElement &element, TVillageData &village, const TdmListObj &catalog)
{
    for (QDomElement item = element.firstChildElement(QueueItemElementName); !item.isNull();
         item = item.nextSiblingElement(QueueItemElementName)) {
        const std::optional<QString> text = SingleText(item);
        if (!text || text->trimmed().isEmpty())
            continue;
        const qint32 index = catalog.FindByDisplayText(*text);
        village.AppendToQueue({index >= 0 ? catalog.Object(index).DisplayText() : *text, index});
    }
}

// The construction resumes with the time that remains until its end; one
// whose end has passed is cleared. A name that is empty, a total that is no
// whole number above 0 or an end that is no moment leaves the record as it
// is.
void ApplyConstruction(const QDomElement &element, TVillageData &village)
{
    const QString name = element.attribute(NameAttribute);
    const std::optional<qint32> total = ParseWholeNumber(element.attribute(TotalAttribute));
    const QDateTime ends = MomentFromText(element.attribute(EndsAttribute));
    if (name.isEmpty() || !total || *total <= 0 || !ends.isValid())
        return;

    // Whole seconds left, rounded up: the end clock shown from now must fall
    // in the minute the construction ends in, not the second before it.
    const qint64 milliseconds = CurrentDateTime().msecsTo(ends);
    const qint64 remaining = milliseconds > 0 ? (milliseconds + 999) / 1000 : 0;
    if (remaining <= 0) {
        village.SetConstruction(QString(), 0, 0);
        return;
    }
    // An end further away than the whole time (a clock set back) starts the
    // construction afresh.
    village.SetConstruction(name, *total, qint32(*total - std::min<qint64>(remaining, *total)));
}

void AddBuilding(const QString &text, TVillageData &village, const TdmListObj &catalog)
{
    const qint32 index = catalog.FindByDisplayText(text);
    if (index < 0) {
        village.AddUnknownBuilding(text);
        return;
    }
    if (village.IndexOfAvBuilding(text) >= 0)
        return;
    village.AddAvBuilding({catalog.Object(index).DisplayText(), index});
}

std::optional<TReadFailure> ApplyBuildings(const QDomElement &element, TVillageData &village,
                                           const TdmListObj &catalog)
{
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isElement()) {
            const std::optional<QString> text = SingleText(node.toElement());
            if (!text)
                return NoSingleTextFailure(node.toElement());
            AddBuilding(*text, village, catalog);
        } else if (node.isText()) {
            // Text between the Building elements; blanks there are layout.
            const QString text = node.nodeValue();
            if (!text.trimmed().isEmpty())
                AddBuilding(text, village, catalog);
        }
    }
    return std::nullopt;
}

// Applies the root's children in document order; stops at the first failure,
// leaving what was applied before it.
std::optional<TReadFailure> ApplyRoot(const QDomElement &root, TVillageData &village,
                                      const TdmListObj &catalog, QDateTime &saved)
{
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (!node.isElement())
            continue;
        const QDomElement element = node.toElement();
        const QString name = element.tagName();
        if (name == VillageElementName) {
            ApplyVillage(element, village);
        } else if (name == ResourceCollectElementName) {
            ApplyResources(element, village, TResourceRow::Stocks);
        } else if (name == ResourceAddElementName) {
            ApplyResources(element, village, TResourceRow::Production);
        } else if (name == CapacityElementName) {
            ApplyResources(element, village, TResourceRow::Capacity);
        } else if (name == DateElementName) {
            saved = MomentFromText(element.attribute(SavedAttribute));
        } else if (name == QueueElementName) {
            ApplyQueue(element, village, catalog);
        } else if (name == ConstructionElementName) {
            ApplyConstruction(element, village);
        } else if (name == AvBuildingsElementName) {
            if (auto failure = ApplyBuildings(element, village, catalog))
                return failure;
        } else if (name == CommentsElementName) {
            const std::optional<QString> text = SingleText(element);
            if (!text)
                return NoSingleTextFailure(element);
            village.Comments = WithCrLfBreaks(*text);
        }
    }
    return std::nullopt;
}

struct TReadOutcome
{
    std::optional<TReadFailure> Failure;
    bool FileExists = false;
};

TReadOutcome ApplyVillageFile(const QString &path, TVillageData &village, const TdmListObj &catalog,
                              QDateTime &saved)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {TReadFailure{FileNotFoundReason}, false};

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {TReadFailure{file.errorString()}, true};
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {TReadFailure{file.errorString()}, true};
    file.close();

    if (HoldsNoNode(data))
        return {TReadFailure{FileEmptyReason}, true};

    QDomDocument doc;
    if (auto failure = ParseDocument(data, doc))
        return {failure, true};

    const QDomElement root = doc.documentElement();
    if (root.isNull())
        return {TReadFailure{FileEmptyReason}, true};
    if (root.tagName() != RootElementName)
        return {TReadFailure{FileStructureReason}, true};

    return {ApplyRoot(root, village, catalog, saved), true};
}

} // namespace

QDebug operator<<(QDebug debug, const TFileResult &result)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TFileResult(" << (result.Ok ? "ok" : "failed");
    if (!result.Error.isEmpty())
        debug << ", " << result.Error;
    if (!result.Path.isEmpty())
        debug << ", " << result.Path;
    debug << ')';
    return debug;
}

QString WithVillageFileExtension(const QString &path)
{
    static const QString extension = QStringLiteral(".vlgdat");
    if (path.isEmpty() || path.endsWith(extension, Qt::CaseInsensitive))
        return path;
    return path + extension;
}

QString VillageFileDateText(const QDateTime &moment)
{
    const QLocale locale;
    const QTime time = moment.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return locale.toString(moment.date(), QLocale::ShortFormat);
    // The long time format without its time zone: the moment is local time.
    // The zone goes with the comma or the brackets that some regional
    // formats put around it ("HH:mm:ss, t", "H:mm:ss (t)", "t HH:mm:ss").
    static const QRegularExpression zone(QStringLiteral("[\\s,]*[(\\[]?t+[)\\]]?"));
    const QString timeFormat = locale.timeFormat(QLocale::LongFormat).remove(zone).trimmed();
    return locale.toString(moment, locale.dateFormat(QLocale::ShortFormat) + u' ' + timeFormat);
}

TFileResult WriteVillageFile(const TVillageData &village, const QString &path)
{
    if (path.isEmpty())
        return WriteFailure(path, QStringLiteral("Не задано имя файла."));

    const QByteArray bytes = VillageFileBytes(village);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return WriteFailure(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return WriteFailure(path, reason);
    }
    if (!file.commit())
        return WriteFailure(path, file.errorString());
    return {true, {}, path};
}

TFileResult WriteVillageFile(const TVillageData &village)
{
    return WriteVillageFile(village, village.FileName);
}

TFileResult SaveVillageFile(TVillageData &village, const QString &path)
{
    const TFileResult result = WriteVillageFile(village, path);
    if (result.Ok)
        village.SetFileName(path);
    village.SetLastWriteFailed(!result.Ok);
    return result;
}

TFileResult ReadVillageFile(TVillageData &village, const TdmListObj &catalog, QDateTime *saved)
{
    const QString path = village.FileName;
    QDateTime savedMoment;
    const TReadOutcome outcome = ApplyVillageFile(path, village, catalog, savedMoment);
    if (saved)
        *saved = savedMoment;
    if (!outcome.Failure)
        return {true, {}, path};

    // While the caller's box is open the page's timer keeps running, and its
    // automatic save must not replace the user's file with the partly read
    // village.
    if (outcome.FileExists)
        village.SetFileName(QString());
    return {false, outcome.Failure->Reason, path};
}

QString OpenFailureMessage(const TFileResult &result)
{
    return JoinMessageLines(JoinMessageLines(OpenErrorMessage, QDir::toNativeSeparators(result.Path)),
                            result.Error);
}

QString VillageFileIdentity(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool SameVillageFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    return VillageFileIdentity(a) == VillageFileIdentity(b);
}
