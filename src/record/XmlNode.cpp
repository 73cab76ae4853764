// XML nodes as values; see XmlNode.h.
#include "XmlNode.h"

#include <QXmlStreamWriter>

std::optional<QString> TXmlNode::Attribute(QStringView name) const
{
    for (const auto &attribute : Attributes) {
        if (attribute.first == name)
            return attribute.second;
    }
    return std::nullopt;
}

bool operator==(const TXmlNode &a, const TXmlNode &b)
{
    return a.Kind == b.Kind && a.Name == b.Name && a.Value == b.Value && a.Attributes == b.Attributes
        && a.Children == b.Children;
}

QDebug operator<<(QDebug debug, const TXmlNode &node)
{
    QDebugStateSaver saver(debug);
    debug.nospace();
    switch (node.Kind) {
    case TXmlNode::TKind::Element:
        debug << '<' << node.Name;
        for (const auto &attribute : node.Attributes)
            debug << ' ' << attribute.first << '=' << attribute.second;
        debug << '>';
        for (const TXmlNode &child : node.Children)
            debug << child;
        debug << "</" << node.Name << '>';
        break;
    case TXmlNode::TKind::Text:
        debug << "text " << node.Value;
        break;
    case TXmlNode::TKind::CData:
        debug << "CDATA " << node.Value;
        break;
    case TXmlNode::TKind::Comment:
        debug << "comment " << node.Value;
        break;
    case TXmlNode::TKind::ProcessingInstruction:
        debug << "<?" << node.Name << ' ' << node.Value << "?>";
        break;
    }
    return debug;
}

void WriteXmlAttributes(QXmlStreamWriter &writer, const TXmlAttributes &attributes)
{
    for (const auto &attribute : attributes)
        writer.writeAttribute(attribute.first, attribute.second);
}

void WriteXmlNode(QXmlStreamWriter &writer, const TXmlNode &node)
{
    switch (node.Kind) {
    case TXmlNode::TKind::Element:
        writer.writeStartElement(node.Name);
        WriteXmlAttributes(writer, node.Attributes);
        for (const TXmlNode &child : node.Children)
            WriteXmlNode(writer, child);
        writer.writeEndElement();
        break;
    case TXmlNode::TKind::Text: {
        // A carriage return written as it is would be read back as a line
        // break; the stream writer leaves it so in text.
        const QStringList pieces = node.Value.split(u'\r');
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            if (i > 0)
                writer.writeEntityReference(QStringLiteral("#13"));
            writer.writeCharacters(pieces.at(i));
        }
        break;
    }
    case TXmlNode::TKind::CData:
        writer.writeCDATA(node.Value);
        break;
    case TXmlNode::TKind::Comment:
        writer.writeComment(node.Value);
        break;
    case TXmlNode::TKind::ProcessingInstruction:
        writer.writeProcessingInstruction(node.Name, node.Value);
        break;
    }
}
