// The village data file: writing the persistent fields of a village as XML
// and applying such a file back to a village. The main window's save and
// open commands and the page's automatic save call these two operations.
//
// Writing puts out the elements and attributes in the order below and
// replaces the file in one step (QSaveFile), so that a failed write never
// damages the old file:
//
//   <JorVillageData><Date Saved/><Village Name Race MainLevel ServerSpeed Coordinates Traders/>
//                                (ServerSpeed, Coordinates and Traders only when given)
//   <ResourceCollect Wood Clay Iron Grain/><ResourceAdd Wood Clay Iron Grain/>
//   <Capacity Wood Clay Iron Grain/>           (only with a capacity given)
//   <AvBuildings><Building/>...</AvBuildings>
//   <Built><Building Name Level/>...</Built>    (only with a built list)
//   <Queue><Item/>...</Queue>                   (only with a queue)
//   <Construction Name Total Ends/>             (only while one runs)
//   <Deliveries><Delivery Arrives Wood Clay Iron Grain/>...</Deliveries>
//                                               (only with deliveries expected)
//   <Comments/></JorVillageData>
//
// Saved, Ends and Arrives are moments in ISO 8601 UTC ("2026-12-07T09:23:21Z"). A
// file without the optional parts reads as it did before they existed.
// Reading parses the whole file first, keeping text that consists of blanks
// only (a comment of blanks reads back as written), then applies the root's
// children in document order by their names. The program writes neither a
// document type nor more than four attributes on an element; a file with a
// document type, or with an element of very many attributes, is refused
// before it can cost gigabytes or minutes, and so is anything but a regular
// file of at most 16 MiB (VillageFileAccess). A village whose file would be
// larger than that is not written at all: the program never makes a file
// it would refuse to open.
//
// What the reader does not use (unknown elements, attributes, comments,
// processing instructions, text; a Construction or a queue Item whose value
// cannot be used) goes into the record's TKeptFileContent, and the writer
// puts it back after the known content of the element that held it, in the
// file's order: a file opened and saved by this version loses nothing that
// a newer version or another tool put there.
#include "VillageFile.h"

#include "KeptFileContent.h"
#include "VillageFileAccess.h"
#include "XmlNode.h"
#include "base/TextCompare.h"
#include "record/VillageData.h"
#include "base/Clock.h"
#include "base/MessageSeam.h"
#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <utility>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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
const QString BuiltElementName = QStringLiteral("Built");
const QString DeliveriesElementName = QStringLiteral("Deliveries");
const QString DeliveryElementName = QStringLiteral("Delivery");
const QString ArrivesAttribute = QStringLiteral("Arrives");

const QString SavedAttribute = QStringLiteral("Saved");
const QString TotalAttribute = QStringLiteral("Total");
const QString EndsAttribute = QStringLiteral("Ends");

const QString NameAttribute = QStringLiteral("Name");
const QString RaceAttribute = QStringLiteral("Race");
const QString MainLevelAttribute = QStringLiteral("MainLevel");
const QString ServerSpeedAttribute = QStringLiteral("ServerSpeed");
const QString CoordinatesAttribute = QStringLiteral("Coordinates");
const QString TradersAttribute = QStringLiteral("Traders");
const QString LevelAttribute = QStringLiteral("Level");

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

// The key under which what a Building element of the built list carried
// besides its name and level is kept: by its name (letter case ignored) and
// level, so that it stays with its building when the list is reordered.
QString BuiltEntryKey(const QString &name, const QString &level)
{
    return TKeptFileContent::ElementKey(BuiltElementName, name.toCaseFolded() + u'\n' + level);
}

// What the file carried in the element of this key and the reader did not
// use, after the element's known content.
void WriteKeptChildren(QXmlStreamWriter &writer, const TKeptFileContent &kept, const QString &key)
{
    for (const TKeptFileContent::TNode &child : kept.Children(key))
        WriteXmlNode(writer, child.Node);
}

// Starts an element with its known attributes, then the kept ones.
void StartElement(QXmlStreamWriter &writer, const QString &name, const TXmlAttributes &known,
                  const TKeptFileContent &kept, const QString &key)
{
    writer.writeStartElement(name);
    WriteXmlAttributes(writer, known);
    WriteXmlAttributes(writer, kept.Attributes(key));
}

// An element without content of its own: its attributes, and what it held
// besides.
void WriteLeafElement(QXmlStreamWriter &writer, const QString &name, const TXmlAttributes &known,
                      const TKeptFileContent &kept)
{
    StartElement(writer, name, known, kept, name);
    WriteKeptChildren(writer, kept, name);
    writer.writeEndElement();
}

TXmlAttributes ResourceAttributeValues(const std::array<QString, 4> &texts)
{
    TXmlAttributes attributes;
    for (const TResourceKind kind : AllResourceKinds)
        attributes.append({ResourceAttributes[KindIndex(kind)], XmlSafeText(texts[KindIndex(kind)])});
    return attributes;
}

// A Building or Item element, with the attributes kept for its text.
void WriteEntryElement(QXmlStreamWriter &writer, const QString &name, const QString &text, const TKeptFileContent &kept)
{
    StartElement(writer, name, {}, kept, TKeptFileContent::ElementKey(name, text.toCaseFolded()));
    writer.writeCharacters(XmlSafeText(text));
    writer.writeEndElement();
}

// The file's bytes: the declaration on a line of its own, then the elements
// without any whitespace between them; UTF-8 without byte-order mark. The
// stream writer keeps the attributes in the order written (a DOM document
// would not). What the file that was read carried and this version does not
// use goes back after the known content of the element that held it.
QByteArray VillageFileBytes(const TVillageData &village)
{
    const TKeptFileContent &kept = village.KeptFileContent;
    QByteArray elements;
    QXmlStreamWriter writer(&elements);
    for (const TXmlNode &node : kept.BeforeRoot)
        WriteXmlNode(writer, node);
    StartElement(writer, RootElementName, {}, kept, TKeptFileContent::RootKey());

    const QDateTime now = CurrentDateTime();
    StartElement(writer, DateElementName, {{SavedAttribute, UtcMomentText(now)}}, kept, DateElementName);
    writer.writeCharacters(XmlSafeText(VillageFileDateText(now)));
    WriteKeptChildren(writer, kept, DateElementName);
    writer.writeEndElement();

    TXmlAttributes villageAttributes{{NameAttribute, XmlSafeText(village.Name)},
                                     {RaceAttribute, TVillageData::RaceDisplayName(village.Race)},
                                     {MainLevelAttribute, XmlSafeText(village.MainLevel)}};
    // Only a village whose speed was given has it: older files stay as they were.
    if (!village.ServerSpeed.isEmpty())
        villageAttributes.append({ServerSpeedAttribute, XmlSafeText(village.ServerSpeed)});
    if (!village.Coordinates.isEmpty())
        villageAttributes.append({CoordinatesAttribute, XmlSafeText(village.Coordinates)});
    if (!village.Traders.isEmpty())
        villageAttributes.append({TradersAttribute, XmlSafeText(village.Traders)});
    WriteLeafElement(writer, VillageElementName, villageAttributes, kept);

    WriteLeafElement(writer, ResourceCollectElementName, ResourceAttributeValues(village.ResourceCollect), kept);
    WriteLeafElement(writer, ResourceAddElementName, ResourceAttributeValues(village.ResourceAdd), kept);
    if (std::any_of(village.Capacity.begin(), village.Capacity.end(), [](const QString &text) { return !text.isEmpty(); })
        || kept.Holds(CapacityElementName))
        WriteLeafElement(writer, CapacityElementName, ResourceAttributeValues(village.Capacity), kept);

    // Texts that the catalog does not know go back after the known ones.
    if (!village.AvBuildings.isEmpty() || !village.UnknownBuildings.isEmpty() || kept.Holds(AvBuildingsElementName)) {
        StartElement(writer, AvBuildingsElementName, {}, kept, AvBuildingsElementName);
        for (const TAvBuildingEntry &entry : village.AvBuildings)
            WriteEntryElement(writer, BuildingElementName, entry.Text, kept);
        for (const QString &text : village.UnknownBuildings)
            WriteEntryElement(writer, BuildingElementName, text, kept);
        WriteKeptChildren(writer, kept, AvBuildingsElementName);
        writer.writeEndElement();
    }

    if (!village.Built.isEmpty() || kept.Holds(BuiltElementName)) {
        StartElement(writer, BuiltElementName, {}, kept, BuiltElementName);
        for (const TBuiltBuilding &building : village.Built) {
            const QString key = BuiltEntryKey(building.Name, building.Level);
            StartElement(writer, BuildingElementName,
                         {{NameAttribute, XmlSafeText(building.Name)}, {LevelAttribute, XmlSafeText(building.Level)}},
                         kept, key);
            WriteKeptChildren(writer, kept, key);
            writer.writeEndElement();
        }
        WriteKeptChildren(writer, kept, BuiltElementName);
        writer.writeEndElement();
    }

    if (!village.Queue.isEmpty() || kept.Holds(QueueElementName)) {
        StartElement(writer, QueueElementName, {}, kept, QueueElementName);
        for (const TAvBuildingEntry &entry : village.Queue)
            WriteEntryElement(writer, QueueItemElementName, entry.Text, kept);
        WriteKeptChildren(writer, kept, QueueElementName);
        writer.writeEndElement();
    }

    if (village.BuildTotal > 0) {
        const qint64 remaining = std::max<qint64>(qint64(village.BuildTotal) - village.BuildElapsed, 0);
        WriteLeafElement(writer, ConstructionElementName,
                         {{NameAttribute, XmlSafeText(village.BuildName)},
                          {TotalAttribute, QString::number(village.BuildTotal)},
                          {EndsAttribute, UtcMomentText(now.addSecs(remaining))}},
                         kept);
    }

    if (!village.Deliveries.isEmpty() || kept.Holds(DeliveriesElementName)) {
        StartElement(writer, DeliveriesElementName, {}, kept, DeliveriesElementName);
        for (const TDelivery &delivery : village.Deliveries) {
            TXmlAttributes attributes{{ArrivesAttribute, UtcMomentText(delivery.Arrives)}};
            for (const TResourceKind kind : AllResourceKinds)
                attributes.append({ResourceAttributes[KindIndex(kind)], QString::number(delivery.Amounts[KindIndex(kind)])});
            writer.writeStartElement(DeliveryElementName);
            WriteXmlAttributes(writer, attributes);
            writer.writeEndElement();
        }
        WriteKeptChildren(writer, kept, DeliveriesElementName);
        writer.writeEndElement();
    }

    // Line breaks are written as CR LF; the reader makes them CR LF again
    // after the XML parser has turned them into LF.
    if (!village.Comments.isEmpty()) {
        StartElement(writer, CommentsElementName, {}, kept, CommentsElementName);
        writer.writeCharacters(XmlSafeText(WithCrLfBreaks(village.Comments)));
        writer.writeEndElement();
    }

    WriteKeptChildren(writer, kept, TKeptFileContent::RootKey());
    writer.writeEndElement();
    for (const TXmlNode &node : kept.AfterRoot)
        WriteXmlNode(writer, node);
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n") + elements;
}

bool SyncToDisk(QSaveFile &file)
{
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    Q_UNUSED(file);
    return true;
#endif
}

TBeforeReplaceHook &BeforeReplaceHook()
{
    static TBeforeReplaceHook hook;
    return hook;
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

// Parses data into document, whose children are the document's nodes (the
// root element among them). Text made of blanks only is kept inside the
// root, so that such a comment reads back; adjacent pieces of text become
// one text node; text outside the root element is layout and is dropped.
std::optional<TReadFailure> ParseDocument(const QByteArray &data, TXmlNode &document)
{
    if (HasCrowdedTag(data))
        return TReadFailure{QStringLiteral("Слишком много атрибутов у элемента!")};

    QXmlStreamReader reader(data);
    reader.setNamespaceProcessing(false);

    // A village file nests three levels; far deeper nesting is no village
    // file and would only exhaust the stack.
    constexpr int MaxDepth = 256;

    // The open elements, the document first; the last receives what is read.
    QList<TXmlNode *> open{&document};
    // The name of the element read last: the many Building and Item
    // elements share one copy of it.
    QString lastName;
    QString pendingText;
    bool hasPendingText = false;
    const auto flushText = [&] {
        if (hasPendingText && open.size() > 1)
            open.last()->Children.append(TXmlNode::Text(pendingText));
        pendingText.clear();
        hasPendingText = false;
    };
    const auto append = [&](TXmlNode node) {
        flushText();
        open.last()->Children.append(std::move(node));
    };

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (open.size() > MaxDepth)
                return TReadFailure{QStringLiteral("Слишком глубокая вложенность элементов!")};
            if (reader.qualifiedName() != lastName)
                lastName = reader.qualifiedName().toString();
            TXmlNode element = TXmlNode::Element(lastName);
            const QXmlStreamAttributes attributes = reader.attributes();
            element.Attributes.reserve(attributes.size());
            for (const QXmlStreamAttribute &attribute : attributes)
                element.Attributes.append({attribute.qualifiedName().toString(), attribute.value().toString()});
            append(std::move(element));
            open.append(&open.last()->Children.last());
            break;
        }
        case QXmlStreamReader::EndElement:
            flushText();
            if (open.size() > 1)
                open.removeLast();
            break;
        case QXmlStreamReader::Characters:
            if (reader.isCDATA()) {
                if (open.size() > 1)
                    append({TXmlNode::TKind::CData, {}, reader.text().toString(), {}, {}});
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
            append({TXmlNode::TKind::Comment, {}, reader.text().toString(), {}, {}});
            break;
        case QXmlStreamReader::DTD:
            // The program writes no document type. One in a file could
            // declare entities that a few bytes of references expand into
            // gigabytes of text.
            return TReadFailure{QStringLiteral("Определение типа документа (DOCTYPE) не допускается!")};
        case QXmlStreamReader::ProcessingInstruction:
            append({TXmlNode::TKind::ProcessingInstruction, reader.processingInstructionTarget().toString(),
                    reader.processingInstructionData().toString(), {}, {}});
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

// The element's content when it is a single piece of text; none for an
// element without text or with other content.
std::optional<QString> SingleText(const TXmlNode &element)
{
    if (element.Children.size() != 1 || !element.Children.constFirst().IsText())
        return std::nullopt;
    return element.Children.constFirst().Value;
}

TReadFailure NoSingleTextFailure(const TXmlNode &element)
{
    return {QStringLiteral("Элемент «%1» не содержит единственного текстового значения!").arg(element.Name)};
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

// The attributes of a known element that the reader does not use.
void KeepAttributes(const TXmlNode &element, const QString &key, std::initializer_list<QStringView> known,
                    TKeptFileContent &kept)
{
    for (const auto &attribute : element.Attributes) {
        if (std::find(known.begin(), known.end(), attribute.first) == known.end())
            kept.KeepAttribute(key, attribute.first, attribute.second);
    }
}

// The attributes and the content (but layout) of a known element that has
// no content of its own.
void KeepAttributesAndContent(const TXmlNode &element, const QString &key, std::initializer_list<QStringView> known,
                              TKeptFileContent &kept)
{
    KeepAttributes(element, key, known, kept);
    for (const TXmlNode &child : element.Children) {
        if (!child.IsLayout())
            kept.KeepChild(key, child);
    }
}

void ApplyVillage(const TXmlNode &element, TVillageData &village, TKeptFileContent &kept)
{
    if (const std::optional<QString> name = element.Attribute(NameAttribute); name && *name != village.Name)
        village.SetName(*name);
    if (const std::optional<QString> race = element.Attribute(RaceAttribute))
        village.SetRace(RacePosition(*race));
    if (const std::optional<QString> level = element.Attribute(MainLevelAttribute); level && *level != village.MainLevel)
        village.SetMainLevel(*level);
    if (const std::optional<QString> speed = element.Attribute(ServerSpeedAttribute))
        village.SetServerSpeed(*speed);
    if (const std::optional<QString> place = element.Attribute(CoordinatesAttribute))
        village.SetCoordinates(*place);
    if (const std::optional<QString> traders = element.Attribute(TradersAttribute))
        village.SetTraders(*traders);
    KeepAttributesAndContent(element, VillageElementName,
                             {NameAttribute, RaceAttribute, MainLevelAttribute, ServerSpeedAttribute,
                              CoordinatesAttribute, TradersAttribute},
                             kept);
}

enum class TResourceRow { Stocks, Production, Capacity };

void ApplyResources(const TXmlNode &element, TVillageData &village, TResourceRow row, TKeptFileContent &kept)
{
    for (const TResourceKind kind : AllResourceKinds) {
        const std::optional<QString> value = element.Attribute(ResourceAttributes[KindIndex(kind)]);
        if (!value)
            continue;
        switch (row) {
        case TResourceRow::Stocks:
            village.SetResourceCollect(kind, *value);
            break;
        case TResourceRow::Production:
            village.SetResourceAdd(kind, *value);
            break;
        case TResourceRow::Capacity:
            village.SetCapacity(kind, *value);
            break;
        }
    }
    KeepAttributesAndContent(element, element.Name,
                             {ResourceAttributes[0], ResourceAttributes[1], ResourceAttributes[2], ResourceAttributes[3]},
                             kept);
}

// A moment written by UtcMomentText (any ISO 8601 form is taken); invalid
// when the text is none.
QDateTime MomentFromText(const QString &text)
{
    return QDateTime::fromString(text.trimmed(), Qt::ISODate);
}

// The key under which the attributes of a Building or Item element of this
// text are kept: letter case ignored, as the lists compare their texts.
QString EntryKey(const QString &elementName, const QString &text)
{
    return TKeptFileContent::ElementKey(elementName, text.toCaseFolded());
}

// Each Item element with a single text that is not blank is one entry,
// found through the catalog; a text the catalog does not know keeps its
// place with index -1. An Item that is empty or holds anything else is kept
// as read and not understood; anything else in the element is kept too.
void ApplyQueue(const TXmlNode &element, TVillageData &village, const TdmListObj &catalog, TKeptFileContent &kept)
{
    KeepAttributes(element, QueueElementName, {}, kept);
    QList<TAvBuildingEntry> queue;
    for (const TXmlNode &child : element.Children) {
        if (child.IsLayout())
            continue;
        if (!child.IsElement() || child.Name != QueueItemElementName) {
            kept.KeepChild(QueueElementName, child);
            continue;
        }
        const std::optional<QString> text = SingleText(child);
        if (!text || text->trimmed().isEmpty()) {
            kept.KeepChild(QueueElementName, child, true);
            continue;
        }
        const qint32 index = catalog.FindByDisplayText(*text);
        const QString entryText = index >= 0 ? catalog.Object(index).DisplayText() : *text;
        queue.append({entryText, index});
        if (!child.Attributes.isEmpty())
            KeepAttributes(child, EntryKey(QueueItemElementName, entryText), {}, kept);
    }
    // Applied as one change, however long the queue.
    village.SetQueue(queue);
}

// Each Building element with a Name and a Level is one built building,
// whether or not the catalog knows it (one it does not know is kept with
// CatalogIndex -1 and written back as read); a Building without them is
// kept as read and not understood; anything else in the element is kept.
// Applied as one change.
void ApplyBuilt(const TXmlNode &element, TVillageData &village, const TdmListObj &catalog, TKeptFileContent &kept)
{
    KeepAttributes(element, BuiltElementName, {}, kept);
    QList<TBuiltBuilding> built;
    for (const TXmlNode &child : element.Children) {
        if (child.IsLayout())
            continue;
        if (!child.IsElement() || child.Name != BuildingElementName) {
            kept.KeepChild(BuiltElementName, child);
            continue;
        }
        const std::optional<QString> name = child.Attribute(NameAttribute);
        const std::optional<QString> level = child.Attribute(LevelAttribute);
        if (!name || !level || name->isEmpty()) {
            kept.KeepChild(BuiltElementName, child, true);
            continue;
        }
        built.append(BuiltBuildingOf(catalog, *name, *level));
        KeepAttributesAndContent(child, BuiltEntryKey(*name, *level), {NameAttribute, LevelAttribute}, kept);
    }
    village.SetBuilt(built);
}

// The construction resumes with the time that remains until its end; one
// whose end has passed is cleared (and given in ended), and what its element carried besides
// goes with it. An element whose name is empty, whose total is no whole
// number above 0 or whose end is no moment is kept as read and not
// understood; the record stays as it is.
void ApplyConstruction(const TXmlNode &element, TVillageData &village, TKeptFileContent &kept,
                       TEndedConstruction &ended)
{
    const QString name = element.AttributeText(NameAttribute);
    const std::optional<qint32> total = ParseWholeNumber(element.AttributeText(TotalAttribute));
    const QDateTime ends = MomentFromText(element.AttributeText(EndsAttribute));
    if (name.isEmpty() || !total || *total <= 0 || !ends.isValid()) {
        kept.KeepChild(TKeptFileContent::RootKey(), element, true);
        return;
    }

    // Whole seconds left, rounded up: the end clock shown from now must fall
    // in the minute the construction ends in, not the second before it.
    const qint64 milliseconds = CurrentDateTime().msecsTo(ends);
    const qint64 remaining = milliseconds > 0 ? (milliseconds + 999) / 1000 : 0;
    if (remaining <= 0) {
        ended = {name, ends};
        village.SetConstruction(QString(), 0, 0);
        kept.Forget(ConstructionElementName);
        return;
    }
    // An end further away than the whole time (a clock set back) starts the
    // construction afresh.
    village.SetConstruction(name, *total, qint32(*total - std::min<qint64>(remaining, *total)));
    KeepAttributesAndContent(element, ConstructionElementName, {NameAttribute, TotalAttribute, EndsAttribute}, kept);
}

// Each Delivery element with a moment of arrival and amounts that are
// whole numbers of 0 or more (an amount left out is 0) is one delivery
// expected; one that arrived while the program was closed arrives at the
// next tick. A Delivery that cannot be used, and anything else in the
// element, is kept as read and not understood.
void ApplyDeliveries(const TXmlNode &element, TVillageData &village, TKeptFileContent &kept)
{
    KeepAttributes(element, DeliveriesElementName, {}, kept);
    QList<TDelivery> deliveries;
    for (const TXmlNode &child : element.Children) {
        if (child.IsLayout())
            continue;
        TDelivery delivery;
        bool usable = child.IsElement() && child.Name == DeliveryElementName;
        if (usable) {
            delivery.Arrives = MomentFromText(child.AttributeText(ArrivesAttribute));
            usable = delivery.Arrives.isValid();
            for (const TResourceKind kind : AllResourceKinds) {
                const std::optional<QString> text = child.Attribute(ResourceAttributes[KindIndex(kind)]);
                const std::optional<qint32> amount = text ? ParseWholeNumber(*text) : std::optional<qint32>(0);
                usable = usable && amount && *amount >= 0;
                delivery.Amounts[KindIndex(kind)] = amount.value_or(0);
            }
        }
        if (usable)
            deliveries.append(delivery);
        else
            kept.KeepChild(DeliveriesElementName, child, child.IsElement());
    }
    village.SetDeliveries(deliveries);
}

// The buildings of an AvBuildings element, gathered to be applied as one
// change: a text the catalog knows and the village does not consider yet
// (letter case ignored) is a new entry, any other is kept as unknown.
struct TBuildingsRead
{
    const TVillageData &Village;
    const TdmListObj &Catalog;
    QList<TAvBuildingEntry> Known;
    QSet<QString> KnownFolded;
    QStringList Unknown;

    void Add(const QString &text)
    {
        const qint32 index = Catalog.FindByDisplayText(text);
        if (index < 0) {
            Unknown.append(text);
            return;
        }
        QString folded = FoldedText(text);
        if (KnownFolded.contains(folded) || (!Village.AvBuildings.isEmpty() && Village.IndexOfAvBuilding(text) >= 0))
            return;
        KnownFolded.insert(std::move(folded));
        // The catalog found the text as its display text: it is that text.
        Known.append({text, index});
    }

    void ApplyTo(TVillageData &village) const
    {
        village.AddAvBuildings(Known);
        village.AddUnknownBuildings(Unknown);
    }
};

// Every element in AvBuildings is a building by its text, whatever its
// name, and so is text between them; comments and processing instructions
// are kept. The buildings are applied as one change; those before an
// element that fails are applied all the same.
std::optional<TReadFailure> ApplyBuildings(const TXmlNode &element, TVillageData &village, const TdmListObj &catalog,
                                           TKeptFileContent &kept)
{
    KeepAttributes(element, AvBuildingsElementName, {}, kept);
    TBuildingsRead read{village, catalog, {}, {}, {}};
    for (const TXmlNode &child : element.Children) {
        if (child.IsElement()) {
            const std::optional<QString> text = SingleText(child);
            if (!text) {
                read.ApplyTo(village);
                return NoSingleTextFailure(child);
            }
            read.Add(*text);
            if (!child.Attributes.isEmpty())
                KeepAttributes(child, EntryKey(BuildingElementName, *text), {}, kept);
        } else if (child.IsText()) {
            // Blanks between the Building elements are layout.
            if (!child.Value.trimmed().isEmpty())
                read.Add(child.Value);
        } else {
            kept.KeepChild(AvBuildingsElementName, child);
        }
    }
    read.ApplyTo(village);
    return std::nullopt;
}

// Applies the root's children in document order; stops at the first failure,
// leaving what was applied before it. What the reader does not use is kept.
std::optional<TReadFailure> ApplyRoot(const TXmlNode &root, TVillageData &village, const TdmListObj &catalog,
                                      QDateTime &saved, TKeptFileContent &kept, TEndedConstruction &ended)
{
    KeepAttributes(root, TKeptFileContent::RootKey(), {}, kept);
    for (const TXmlNode &element : root.Children) {
        const QString &name = element.Name;
        if (!element.IsElement()) {
            if (!element.IsLayout())
                kept.KeepChild(TKeptFileContent::RootKey(), element);
        } else if (name == VillageElementName) {
            ApplyVillage(element, village, kept);
        } else if (name == ResourceCollectElementName) {
            ApplyResources(element, village, TResourceRow::Stocks, kept);
        } else if (name == ResourceAddElementName) {
            ApplyResources(element, village, TResourceRow::Production, kept);
        } else if (name == CapacityElementName) {
            ApplyResources(element, village, TResourceRow::Capacity, kept);
        } else if (name == DateElementName) {
            saved = MomentFromText(element.AttributeText(SavedAttribute));
            // Its text is written anew; anything else in it is kept.
            KeepAttributes(element, DateElementName, {SavedAttribute}, kept);
            for (const TXmlNode &child : element.Children) {
                if (!child.IsText())
                    kept.KeepChild(DateElementName, child);
            }
        } else if (name == QueueElementName) {
            ApplyQueue(element, village, catalog, kept);
        } else if (name == ConstructionElementName) {
            ApplyConstruction(element, village, kept, ended);
        } else if (name == BuiltElementName) {
            ApplyBuilt(element, village, catalog, kept);
        } else if (name == DeliveriesElementName) {
            ApplyDeliveries(element, village, kept);
        } else if (name == AvBuildingsElementName) {
            if (auto failure = ApplyBuildings(element, village, catalog, kept))
                return failure;
        } else if (name == CommentsElementName) {
            const std::optional<QString> text = SingleText(element);
            if (!text)
                return NoSingleTextFailure(element);
            village.SetComments(*text);
            // An empty comment writes no element to carry them.
            if (!text->isEmpty())
                KeepAttributes(element, CommentsElementName, {}, kept);
        } else {
            kept.KeepChild(TKeptFileContent::RootKey(), element);
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
                              QDateTime &saved, QByteArray &bytesRead, TEndedConstruction &ended)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {TReadFailure{FileNotFoundReason}, false};

    // Only a regular file of a bounded size is read: a pipe would block the
    // program, a device or a huge file would fill its memory.
    const TBoundedRead read = ReadBounded(path);
    if (!read.Ok)
        return {TReadFailure{read.Error}, true};
    const QByteArray &data = read.Data;
    bytesRead = data;

    if (HoldsNoNode(data))
        return {TReadFailure{FileEmptyReason}, true};

    TXmlNode document;
    if (auto failure = ParseDocument(data, document))
        return {failure, true};

    const auto root = std::find_if(document.Children.cbegin(), document.Children.cend(),
                                   [](const TXmlNode &node) { return node.IsElement(); });
    if (root == document.Children.cend())
        return {TReadFailure{FileEmptyReason}, true};
    if (root->Name != RootElementName)
        return {TReadFailure{FileStructureReason}, true};

    // What the file carries besides the village replaces what an earlier
    // file of the record carried.
    TKeptFileContent kept;
    for (auto node = document.Children.cbegin(); node != document.Children.cend(); ++node) {
        if (node != root)
            (node < root ? kept.BeforeRoot : kept.AfterRoot).append(*node);
    }
    const std::optional<TReadFailure> failure = ApplyRoot(*root, village, catalog, saved, kept, ended);
    village.KeptFileContent = std::move(kept);
    return {failure, true};
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
    // One form whatever the user's regional settings, the one the program
    // has always written under Russian ones: a file moved to another machine
    // reads the same, and no locale makes a text that is not Latin digits.
    const QLocale c = QLocale::c();
    const QTime time = moment.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return c.toString(moment.date(), QStringLiteral("dd.MM.yyyy"));
    return c.toString(moment, QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

TBeforeReplaceHook SetBeforeReplaceHook(TBeforeReplaceHook hook)
{
    return std::exchange(BeforeReplaceHook(), std::move(hook));
}

TFileResult WriteVillageFile(const TVillageData &village, const QString &path, QByteArray *bytesWritten,
                             const std::function<bool()> &unchangedSince)
{
    if (path.isEmpty())
        return WriteFailure(path, QStringLiteral("Не задано имя файла."));

    const QByteArray bytes = VillageFileBytes(village);
    // Line breaks are written as CR LF, so a file read just under the limit
    // may come out above it: such a file is not written, the old one stays.
    if (const QString refusal = RefusalBeforeWriting(bytes.size()); !refusal.isEmpty())
        return WriteFailure(path, refusal);

    // Unbuffered, so that a write that fails says why at once (a buffered
    // one fails later, in the commit, as an unknown error); the system's
    // error number tells a full disk apart.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return WriteFailure(path, WriteFailureReason(errno, file.errorString()));
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const int error = errno;
        const QString reason = WriteFailureReason(error, file.errorString());
        file.cancelWriting();
        return WriteFailure(path, reason);
    }
    if (unchangedSince) {
        // The new bytes go to the disk first, so that nothing slow is left
        // between the last look at the file and the rename.
        errno = 0;
        if (!file.flush() || !SyncToDisk(file)) {
            const QString reason = WriteFailureReason(errno, file.errorString());
            file.cancelWriting();
            return WriteFailure(path, reason);
        }
        if (BeforeReplaceHook())
            BeforeReplaceHook()(path);
        if (!unchangedSince()) {
            file.cancelWriting();
            TFileResult result = WriteFailure(
                path, QStringLiteral("Файл изменён другой программой во время сохранения: он не перезаписан."));
            result.ChangedOutside = true;
            return result;
        }
    }
    errno = 0;
    if (!file.commit())
        return WriteFailure(path, WriteFailureReason(errno, file.errorString()));
    if (bytesWritten)
        *bytesWritten = bytes;
    return {true, {}, path};
}

TFileResult WriteVillageFile(const TVillageData &village)
{
    return WriteVillageFile(village, village.FileName);
}

TFileResult ReadVillageFile(TVillageData &village, const TdmListObj &catalog, QDateTime *saved,
                            QByteArray *bytesRead, TEndedConstruction *ended)
{
    const QString path = village.FileName;
    QDateTime savedMoment;
    QByteArray bytes;
    TEndedConstruction endedConstruction;
    const TReadOutcome outcome = ApplyVillageFile(path, village, catalog, savedMoment, bytes, endedConstruction);
    if (ended)
        *ended = endedConstruction;
    if (saved)
        *saved = savedMoment;
    if (bytesRead)
        *bytesRead = std::move(bytes);
    if (!outcome.Failure)
        return {true, {}, path};

    // While the caller's box is open the villages' clock keeps running, and
    // the automatic save must not replace the user's file with the partly
    // read village.
    if (outcome.FileExists)
        village.SetFileName(QString());
    return {false, outcome.Failure->Reason, path};
}

QString OpenFailureMessage(const TFileResult &result)
{
    return JoinMessageLines(JoinMessageLines(OpenErrorMessage, QDir::toNativeSeparators(result.Path)),
                            result.Error);
}

namespace {

qint64 &IdentityCount()
{
    static qint64 count = 0;
    return count;
}

} // namespace

qint64 VillageFileIdentityCount()
{
    return IdentityCount();
}

QString VillageFileIdentity(const QString &path)
{
    if (path.isEmpty())
        return {};
    ++IdentityCount();
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
