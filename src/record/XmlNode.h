// One node of an XML document as a plain value: an element with its
// attributes in the file's order and its children, a piece of text, a CDATA
// section, a comment or a processing instruction. The village file reader
// parses a file into such a tree and applies it; what it does not use it
// keeps, as nodes, for the writer to put back.
#pragma once

#include <QDebug>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

class QXmlStreamWriter;

using TXmlAttributes = QList<QPair<QString, QString>>;

struct TXmlNode
{
    enum class TKind { Element, Text, CData, Comment, ProcessingInstruction };

    TKind Kind = TKind::Element;
    // An element's name; a processing instruction's target.
    QString Name;
    // The text, the comment, or a processing instruction's data.
    QString Value;
    // An element's attributes, in the file's order.
    TXmlAttributes Attributes;
    QList<TXmlNode> Children;

    static TXmlNode Element(const QString &name) { return {TKind::Element, name, {}, {}, {}}; }
    static TXmlNode Text(const QString &text) { return {TKind::Text, {}, text, {}, {}}; }

    bool IsElement() const { return Kind == TKind::Element; }
    // Text or CDATA.
    bool IsText() const { return Kind == TKind::Text || Kind == TKind::CData; }
    // Text of blanks and line breaks only, which lies between elements for
    // layout.
    bool IsLayout() const { return Kind == TKind::Text && Value.trimmed().isEmpty(); }
    // The value of an attribute; none when the element has no such attribute.
    std::optional<QString> Attribute(QStringView name) const;
    // The value of an attribute; empty when the element has none.
    QString AttributeText(QStringView name) const { return Attribute(name).value_or(QString()); }
    bool HasAttribute(QStringView name) const { return Attribute(name).has_value(); }

    // Written out: a defaulted comparison would be looked at while the type
    // is still incomplete and find no comparison of its children.
    friend bool operator==(const TXmlNode &a, const TXmlNode &b);
};

// Its members move as plain bytes, so a list of nodes grows without moving
// each node one by one.
Q_DECLARE_TYPEINFO(TXmlNode, Q_RELOCATABLE_TYPE);

QDebug operator<<(QDebug debug, const TXmlNode &node);

// Writes the node and everything in it.
void WriteXmlNode(QXmlStreamWriter &writer, const TXmlNode &node);
// Writes attributes on the element just started.
void WriteXmlAttributes(QXmlStreamWriter &writer, const TXmlAttributes &attributes);
