// What a village file carried that this version does not use; see
// KeptFileContent.h.
#include "KeptFileContent.h"

QString NotUnderstoodMark()
{
    return QStringLiteral("не распознано");
}

QString NotUnderstoodLine()
{
    return QStringLiteral("Часть файла не распознана; она сохранится без изменений.");
}

void TKeptFileContent::KeepAttribute(const QString &key, const QString &name, const QString &value)
{
    TXmlAttributes &attributes = m_Attributes[key];
    for (auto &attribute : attributes) {
        if (attribute.first == name) {
            attribute.second = value;
            return;
        }
    }
    attributes.append({name, value});
}

void TKeptFileContent::KeepChild(const QString &key, const TXmlNode &node, bool notUnderstood)
{
    QList<TNode> &children = m_Children[key];
    if (node.Kind == TXmlNode::TKind::Text && !notUnderstood && !children.isEmpty()) {
        TNode &last = children.last();
        if (last.Node.Kind == TXmlNode::TKind::Text && !last.NotUnderstood) {
            last.Node.Value += node.Value;
            return;
        }
    }
    children.append({node, notUnderstood});
}

void TKeptFileContent::Forget(const QString &key)
{
    m_Attributes.remove(key);
    m_Children.remove(key);
}

const TXmlAttributes &TKeptFileContent::Attributes(const QString &key) const
{
    static const TXmlAttributes none;
    const auto found = m_Attributes.constFind(key);
    return found == m_Attributes.constEnd() ? none : *found;
}

const QList<TKeptFileContent::TNode> &TKeptFileContent::Children(const QString &key) const
{
    static const QList<TNode> none;
    const auto found = m_Children.constFind(key);
    return found == m_Children.constEnd() ? none : *found;
}

bool TKeptFileContent::Holds(const QString &key) const
{
    return !Attributes(key).isEmpty() || !Children(key).isEmpty();
}

bool TKeptFileContent::IsEmpty() const
{
    return BeforeRoot.isEmpty() && AfterRoot.isEmpty() && m_Attributes.isEmpty() && m_Children.isEmpty();
}

int TKeptFileContent::NotUnderstoodCount(const QString &key, const QString &name) const
{
    int count = 0;
    for (const TNode &child : Children(key))
        count += child.NotUnderstood && child.Node.Name == name ? 1 : 0;
    return count;
}

int TKeptFileContent::NotUnderstoodCount() const
{
    int count = 0;
    for (const QList<TNode> &children : m_Children) {
        for (const TNode &child : children)
            count += child.NotUnderstood ? 1 : 0;
    }
    return count;
}

QDebug operator<<(QDebug debug, const TKeptFileContent &content)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TKeptFileContent(";
    if (!content.BeforeRoot.isEmpty())
        debug << "before root " << content.BeforeRoot << ", ";
    for (auto it = content.m_Attributes.cbegin(); it != content.m_Attributes.cend(); ++it)
        debug << "attributes of " << it.key() << ' ' << it.value() << ", ";
    for (auto it = content.m_Children.cbegin(); it != content.m_Children.cend(); ++it) {
        debug << "in " << it.key() << ':';
        for (const TKeptFileContent::TNode &child : it.value())
            debug << ' ' << (child.NotUnderstood ? "not understood " : "") << child.Node;
        debug << ", ";
    }
    if (!content.AfterRoot.isEmpty())
        debug << "after root " << content.AfterRoot;
    debug << ')';
    return debug;
}
