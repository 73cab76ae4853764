#include "dm_ListObjects.h"

#include "base/Clock.h"
#include "base/TimeText.h"
#include "base/MessageSeam.h"
#include "base/WholeNumber.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdlib>
#include <cstring>

TdmListObj *dmListObj = nullptr;

namespace {

const QString ClosingLine = QStringLiteral("Программа будет закрыта!");

// Characters 0x80..0xFF of Windows-1251, the 8-bit code page of Russian
// Windows. Byte 0x98 has no letter of its own; the system's converters and
// the XML parser carry it as U+0098, and so must this table: it is the second
// UTF-8 byte of "И", so a name with that letter read in the wrong code page
// arrives with U+0098 in it.
constexpr char16_t Cp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// The Windows-1251 byte of a character, or -1 when the code page lacks it.
int Cp1251Byte(char16_t ch)
{
    if (ch < 0x80)
        return ch;
    for (int i = 0; i < 128; ++i) {
        if (Cp1251High[i] == ch)
            return 0x80 + i;
    }
    return -1;
}

// The text of a catalog attribute. Catalogs have been written in two forms:
// UTF-8 bytes presented as Windows-1251 characters (the bytes of a Cyrillic
// name read in the wrong code page), and plain UTF-8. Narrowing the text to
// Windows-1251 gives back the original bytes of the first form; when that
// loses no character and the bytes are valid UTF-8 they are decoded,
// otherwise the text is already what the file meant.
QString AttributeText(const QString &text)
{
    bool ascii = true;
    for (QChar ch : text) {
        if (ch.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text;

    QByteArray narrowed;
    narrowed.reserve(text.size());
    for (QChar ch : text) {
        const int byte = Cp1251Byte(ch.unicode());
        if (byte < 0)
            return text;
        narrowed.append(char(byte));
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(narrowed);
    if (decoder.hasError())
        return text;
    return decoded;
}

// Structure: the message of a broken structure; Silent: no message;
// Malformed: no message, and not even the entries read before it are kept,
// as for a file that is not well-formed.
enum class TLoadFailure { None, Structure, Silent, Malformed };

// A whole-number attribute within [low, high]; absent or empty gives fallback.
TLoadFailure ReadNumber(const QXmlStreamAttributes &attributes, QLatin1String name, qint32 fallback, qint32 low,
                        qint32 high, qint32 &value)
{
    const QString text = AttributeText(attributes.value(name).toString());
    if (text.isEmpty()) {
        value = fallback;
        return TLoadFailure::None;
    }
    const auto number = ParseWholeNumber(text);
    if (!number || *number < low || *number > high)
        return TLoadFailure::Silent;
    value = *number;
    return TLoadFailure::None;
}

// The one place that reads the attributes of a Level element into its
// entry (Name is the object's). Every figure is checked; the first that
// does not fit is the failure.
TLoadFailure ReadLevel(const QXmlStreamAttributes &attributes, TLivaronObject &entry)
{
    if (!attributes.hasAttribute(QLatin1String("ID")))
        return TLoadFailure::Structure;
    const auto id = ParseWholeNumber(AttributeText(attributes.value(QLatin1String("ID")).toString()));
    if (!id || *id < -128 || *id > 127)
        return TLoadFailure::Silent;
    entry.Level = qint8(*id);

    constexpr qint32 intMin = std::numeric_limits<qint32>::min();
    constexpr qint32 intMax = std::numeric_limits<qint32>::max();
    qint32 useGrain = 0;
    qint32 ek = 0;
    qint32 prod = 0;
    for (TLoadFailure step : {ReadNumber(attributes, QLatin1String("WOOD"), -1, intMin, intMax, entry.Wood),
                              ReadNumber(attributes, QLatin1String("CLAY"), -1, intMin, intMax, entry.Clay),
                              ReadNumber(attributes, QLatin1String("IRON"), -1, intMin, intMax, entry.Iron),
                              ReadNumber(attributes, QLatin1String("GRAIN"), -1, intMin, intMax, entry.Grain),
                              ReadNumber(attributes, QLatin1String("USEGRAIN"), 0, 0, 65535, useGrain),
                              ReadNumber(attributes, QLatin1String("EK"), 0, 0, 65535, ek),
                              ReadNumber(attributes, QLatin1String("PROD"), 0, -32768, 32767, prod),
                              ReadNumber(attributes, QLatin1String("CAPACITY"), -1, 0, intMax, entry.Capacity)}) {
        if (step != TLoadFailure::None)
            return step;
    }
    entry.UseGrain = quint16(useGrain);
    entry.EK = quint16(ek);
    entry.Prod = qint16(prod);
    entry.Time = TextToSeconds(AttributeText(attributes.value(QLatin1String("TIME")).toString()));
    return TLoadFailure::None;
}

bool IsBlankText(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.isSpace(); });
}

// What a node that is no element, inside the list or an object, comes to:
// blanks between elements (any Unicode blank, written or as a character
// reference; not a CDATA section) are layout; a document type there makes
// the file malformed; anything else breaks the structure.
// A processing instruction or an unresolved entity reference is named by
// its target: one named as the element expected there is an Object or a
// Level without attributes.
TLoadFailure ReadOtherNode(const QXmlStreamReader &reader, QStringView expected, TLoadFailure whenNamedAsExpected)
{
    switch (reader.tokenType()) {
    case QXmlStreamReader::Characters:
        return !reader.isCDATA() && IsBlankText(reader.text()) ? TLoadFailure::None : TLoadFailure::Structure;
    case QXmlStreamReader::DTD:
        return TLoadFailure::Malformed;
    case QXmlStreamReader::ProcessingInstruction:
        return reader.processingInstructionTarget() == expected ? whenNamedAsExpected : TLoadFailure::Structure;
    case QXmlStreamReader::EntityReference:
        return reader.name() == expected ? whenNamedAsExpected : TLoadFailure::Structure;
    default:
        return TLoadFailure::Structure;
    }
}

// Reads past the content of the element just begun, to its end.
TLoadFailure SkipElement(QXmlStreamReader &reader)
{
    for (qsizetype depth = 1; depth > 0 && !reader.atEnd();) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::DTD:
            return TLoadFailure::Malformed;
        default:
            break;
        }
    }
    return TLoadFailure::None;
}

// The Trader elements of a Traders element, each with its race and its
// load and speed (whole numbers from 1 to a million); what a Trader holds is
// not read.
TLoadFailure ReadTraders(QXmlStreamReader &reader, QList<TCatalogTrader> &traders)
{
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::Invalid)
            return TLoadFailure::None;
        if (token != QXmlStreamReader::StartElement) {
            if (const TLoadFailure failure = ReadOtherNode(reader, u"Trader", TLoadFailure::Structure);
                failure != TLoadFailure::None)
                return failure;
            continue;
        }
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.qualifiedName() != u"Trader" || !attributes.hasAttribute(QLatin1String("Race")))
            return TLoadFailure::Structure;
        TCatalogTrader trader;
        trader.Race = AttributeText(attributes.value(QLatin1String("Race")).toString());
        constexpr qint32 most = 1'000'000;
        for (TLoadFailure step : {ReadNumber(attributes, QLatin1String("LOAD"), 0, 1, most, trader.Load),
                                  ReadNumber(attributes, QLatin1String("SPEED"), 0, 1, most, trader.Speed)}) {
            if (step != TLoadFailure::None)
                return step;
        }
        if (trader.Load == 0 || trader.Speed == 0)
            return TLoadFailure::Silent;
        traders.append(std::move(trader));
        if (SkipElement(reader) == TLoadFailure::Malformed)
            return TLoadFailure::Malformed;
    }
    return TLoadFailure::None;
}

// The catalog read from the stream: the list element, its Object elements
// and their Level elements, and the optional Traders element, in one pass. Entries read before a failure stay
// in entries, as they did when the whole document was read first; the
// caller keeps them only when the rest of the file is well-formed.
TLoadFailure ReadObjects(QXmlStreamReader &reader, TLivaronListObj &entries, QList<TCatalogTrader> &traders)
{
    // Up to the root element: the declaration, a document type, comments
    // and the like. The stream reader lets a second document type pass; the
    // file is malformed all the same.
    bool documentType = false;
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
        if (reader.tokenType() == QXmlStreamReader::DTD) {
            if (documentType)
                return TLoadFailure::Malformed;
            documentType = true;
        }
    }
    if (reader.tokenType() != QXmlStreamReader::StartElement)
        return TLoadFailure::Structure;
    if (reader.qualifiedName() != u"JorLivaronObjectList")
        return TLoadFailure::Structure;

    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement || token == QXmlStreamReader::Invalid)
            return TLoadFailure::None; // the end of the list, or of a file that is not well-formed
        if (token != QXmlStreamReader::StartElement) {
            if (const TLoadFailure failure = ReadOtherNode(reader, u"Object", TLoadFailure::Silent);
                failure != TLoadFailure::None)
                return failure;
            continue;
        }
        if (reader.qualifiedName() == u"Traders") {
            if (const TLoadFailure failure = ReadTraders(reader, traders); failure != TLoadFailure::None)
                return failure;
            continue;
        }
        if (reader.qualifiedName() != u"Object")
            return TLoadFailure::Structure;
        if (!reader.attributes().hasAttribute(QLatin1String("Name")))
            return TLoadFailure::Silent;
        // Every level shares the one copy of the name.
        const QString name = AttributeText(reader.attributes().value(QLatin1String("Name")).toString());

        while (!reader.atEnd()) {
            const QXmlStreamReader::TokenType inner = reader.readNext();
            if (inner == QXmlStreamReader::EndElement || inner == QXmlStreamReader::Invalid)
                break;
            if (inner != QXmlStreamReader::StartElement) {
                if (const TLoadFailure failure = ReadOtherNode(reader, u"Level", TLoadFailure::Structure);
                    failure != TLoadFailure::None)
                    return failure;
                continue;
            }
            if (reader.qualifiedName() != u"Level")
                return TLoadFailure::Structure;
            TLivaronObject entry;
            entry.Name = name;
            if (const TLoadFailure failure = ReadLevel(reader.attributes(), entry); failure != TLoadFailure::None)
                return failure;
            entries.append(std::move(entry));
            // What a level holds is not read.
            if (SkipElement(reader) == TLoadFailure::Malformed)
                return TLoadFailure::Malformed;
        }
    }
    return TLoadFailure::None;
}

// Whether the file holds nothing but a byte-order mark and blanks. Reads no
// further than the first other byte (the first, in any catalog).
bool IsBlankOnly(QIODevice &file)
{
    char buffer[4096];
    bool first = true;
    for (;;) {
        const qint64 size = file.read(buffer, sizeof buffer);
        if (size <= 0)
            return true;
        qint64 start = 0;
        if (first && size >= 3 && std::memcmp(buffer, "\xEF\xBB\xBF", 3) == 0)
            start = 3;
        first = false;
        for (qint64 i = start; i < size; ++i) {
            const char c = buffer[i];
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                return false;
        }
    }
}

// An element of the catalog carries a handful of attributes; far more is no
// catalog. The XML reader compares every attribute of an element with all
// before it, so 100,000 on one element would hold the start for many
// seconds: such a file is refused before it is parsed.
constexpr int MaxAttributesPerElement = 64;

// Whether some tag of the file carries more than MaxAttributesPerElement
// attributes, told by its "=" signs outside quoted values; comments,
// processing instructions and CDATA sections are skipped. One pass over
// the file in pieces, character by character (UTF-16 and UTF-32 files in
// their code units, whose bytes could pass for "<", "=" or quotes).
bool HasCrowdedTag(QIODevice &file)
{
    enum class TState { Text, Open, Tag, Comment, CData, Instruction };
    TState state = TState::Text;
    QByteArray opened;   // what follows "<" until the kind of markup is known
    char32_t quote = 0;
    int attributes = 0;
    int closing = 0;     // "-" or "]" seen before a ">"
    char32_t previous = 0;

    const auto inTag = [&](char32_t c) {
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == U'"' || c == U'\'') {
            quote = c;
        } else if (c == U'=') {
            return ++attributes > MaxAttributesPerElement;
        } else if (c == U'>') {
            state = TState::Text;
        }
        return false;
    };
    const auto feed = [&](char32_t c) {
        switch (state) {
        case TState::Text:
            if (c == U'<') {
                state = TState::Open;
                opened.clear();
            }
            return false;
        case TState::Open: {
            opened.append(c < 0x80 ? char(c) : '\x7f');
            if (opened == "?") {
                state = TState::Instruction;
                previous = 0;
                return false;
            }
            if (opened == "!--" || opened == "![CDATA[") {
                state = opened == "!--" ? TState::Comment : TState::CData;
                closing = 0;
                return false;
            }
            if (QByteArrayView("!--").startsWith(opened) || QByteArrayView("![CDATA[").startsWith(opened))
                return false;
            state = TState::Tag;
            quote = 0;
            attributes = 0;
            for (const char held : std::as_const(opened)) {
                if (state == TState::Tag && inTag(char32_t(uchar(held))))
                    return true;
            }
            return false;
        }
        case TState::Tag:
            return inTag(c);
        case TState::Comment:
        case TState::CData: {
            const char32_t mark = state == TState::Comment ? U'-' : U']';
            if (c == U'>' && closing >= 2)
                state = TState::Text;
            closing = c == mark ? closing + 1 : 0;
            return false;
        }
        case TState::Instruction:
            if (c == U'>' && previous == U'?')
                state = TState::Text;
            previous = c;
            return false;
        }
        return false;
    };

    // The width and order of the code units, from the first bytes.
    int width = 1;
    bool bigEndian = false;
    QByteArray pending;
    bool first = true;
    char buffer[4096];
    for (;;) {
        const qint64 size = file.read(buffer, sizeof buffer);
        if (size <= 0)
            return false;
        pending.append(buffer, size);
        if (first && pending.size() >= 4) {
            first = false;
            const auto starts = [&pending](const char *bytes, int count) {
                return std::memcmp(pending.constData(), bytes, size_t(count)) == 0;
            };
            if (starts("\xFF\xFE\0\0", 4) || starts("<\0\0\0", 4)) {
                width = 4;
            } else if (starts("\0\0\xFE\xFF", 4) || starts("\0\0\0<", 4)) {
                width = 4;
                bigEndian = true;
            } else if (starts("\xFF\xFE", 2) || starts("<\0", 2)) {
                width = 2;
            } else if (starts("\xFE\xFF", 2) || starts("\0<", 2)) {
                width = 2;
                bigEndian = true;
            }
        }
        if (first)
            continue;
        qsizetype i = 0;
        for (; i + width <= pending.size(); i += width) {
            char32_t c = 0;
            for (int b = 0; b < width; ++b) {
                const char32_t byte = uchar(pending.at(i + (bigEndian ? b : width - 1 - b)));
                c = (c << 8) | byte;
            }
            if (feed(c))
                return true;
        }
        pending.remove(0, i);
    }
}

} // namespace

QString MakeDisplayText(const QString &name, qint64 level)
{
    QString levelText = QString::number(level);
    if (levelText.size() == 1)
        levelText.prepend(u' ');
    return name + QStringLiteral(" (") + levelText + u')';
}

QString TLivaronObject::DisplayText() const
{
    return MakeDisplayText(Name, Level);
}

QDebug operator<<(QDebug debug, const TLivaronObject &object)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TLivaronObject(" << object.DisplayText() << ", costs " << object.Wood << '/'
                    << object.Clay << '/' << object.Iron << '/' << object.Grain << ", time "
                    << object.Time << ", prod " << object.Prod << ')';
    return debug;
}

TdmListObj::TdmListObj()
{
    DataModuleCreate();
}

void TdmListObj::DataModuleCreate()
{
    ObjectList.clear();
    m_MainBuildingPercent.fill(0);
    m_IndexesBuilt = false;
}

QString TdmListObj::CatalogFileName(const QString &ExeName)
{
    const QFileInfo info(ExeName);
    const QString fileName = info.fileName();
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString base = dot < 0 ? fileName : fileName.left(dot);
    const QString folder = ExeName.left(ExeName.size() - fileName.size());
    return folder + base + QStringLiteral(".xml");
}

TCatalogResult TdmListObj::LoadCatalog(const QString &ExeName)
{
    m_IndexesBuilt = false;
    const QString fileName = CatalogFileName(ExeName);
    const auto failed = [&fileName](const QString &message) {
        return TCatalogResult{false, message.isEmpty() ? QString() : JoinMessageLines(message, ClosingLine),
                              fileName};
    };
    // A folder of that name is no catalog file either.
    const QFileInfo fileInfo(fileName);
    if (!fileInfo.exists() || fileInfo.isDir()) {
        return failed(QStringLiteral("Не найден файл со списком объектов."));
    }
    // A pipe or a device would hold the start-up for ever, with no window.
    if (!fileInfo.isFile())
        return failed(QStringLiteral("Файл со списком объектов — не обычный файл (канал, устройство или сокет)."));

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return failed(QString());

    // A file of no bytes, or of blanks only, is a document without nodes.
    if (IsBlankOnly(file))
        return failed(QStringLiteral("Файл со списком объектов пустой."));
    if (!file.seek(0))
        return failed(QString());
    if (HasCrowdedTag(file))
        return failed(QStringLiteral("Слишком много атрибутов у элемента в файле со списком объектов."));
    if (!file.seek(0))
        return failed(QString());

    // The file is read in one pass from the disk, a piece at a time: neither
    // its bytes nor its text are held whole.
    QXmlStreamReader reader(&file);
    reader.setNamespaceProcessing(false);
    TLivaronListObj entries;
    QList<TCatalogTrader> traders;
    const TLoadFailure failure = ReadObjects(reader, entries, traders);
    // A file that is not well-formed anywhere, even after the failure or
    // after the list, gives no entries and no message. The stream reader
    // lets a document type stand after the root element has begun; the
    // file is malformed all the same.
    bool malformed = failure == TLoadFailure::Malformed;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::DTD)
            malformed = true;
    }
    if (malformed || reader.hasError())
        return failed(QString());

    for (const TLivaronObject &entry : std::as_const(entries)) {
        if (entry.Name == MainBuildingName && entry.Level >= 1 && entry.Level <= 20)
            m_MainBuildingPercent[entry.Level - 1] = entry.Prod;
    }
    if (ObjectList.isEmpty())
        ObjectList = std::move(entries);
    else
        ObjectList.append(entries);
    m_Traders.append(traders);

    if (failure == TLoadFailure::Structure)
        return failed(QStringLiteral("Ошибка структуры файла со списком объектов."));
    if (failure != TLoadFailure::None)
        return failed(QString());
    return TCatalogResult{true, QString(), fileName};
}

QString TdmListObj::SecondsToText(qint32 Seconds, bool ShowEndTime)
{
    return ShowEndTime ? DurationWithEndText(Seconds, CurrentDateTime()) : DurationText(Seconds);
}

qint32 TdmListObj::TextToSeconds(QStringView Text)
{
    return ::TextToSeconds(Text);
}

QString TdmListObj::NotInCatalogText()
{
    return QStringLiteral("Нет в каталоге");
}

void TdmListObj::BuildIndexes() const
{
    m_ByDisplayText.clear();
    m_ByName.clear();
    m_ByDisplayText.reserve(ObjectList.size());
    for (qint32 i = 0; i < qint32(ObjectList.size()); ++i) {
        const TLivaronObject &object = ObjectList.at(i);
        // The first entry of a display text wins, as in a scan in catalog order.
        const QString text = object.DisplayText();
        if (!m_ByDisplayText.contains(text))
            m_ByDisplayText.insert(text, i);
        m_ByName[object.Name].append(i);
    }
    m_IndexesBuilt = true;
}

qint32 TdmListObj::FindByDisplayText(const QString &Text) const
{
    if (!m_IndexesBuilt)
        BuildIndexes();
    return m_ByDisplayText.value(Text, -1);
}

qint32 TdmListObj::FindNextLevel(qint32 Index) const
{
    if (Index < 0 || Index >= Count())
        return -1;
    if (!m_IndexesBuilt)
        BuildIndexes();
    const TLivaronObject &current = ObjectList.at(Index);
    const qint32 nextLevel = qint32(current.Level) + 1;
    for (qint32 candidate : m_ByName.value(current.Name)) {
        if (ObjectList.at(candidate).Level == nextLevel)
            return candidate;
    }
    return -1;
}

qint32 TdmListObj::MainBuildingPercent(qint32 Level) const
{
    return m_MainBuildingPercent[std::clamp(Level, 1, 20) - 1];
}
