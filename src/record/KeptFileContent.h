// What a village file carried that this version does not use: unknown
// elements, attributes, comments, processing instructions and text, and the
// values of known elements that could not be used (a construction whose
// total or end is unreadable, a queue item that is empty or holds markup).
// The record holds it as read; the village file reader fills it and the
// writer puts it back, each part after the known content of the element
// that held it, in the file's order, so that a file opened and saved loses
// nothing a newer version or another tool put there. The page only asks
// what was not understood.
#pragma once

#include "XmlNode.h"

#include <QDebug>
#include <QList>
#include <QMap>
#include <QString>

// The mark beside a thing of the page whose value in the file was not
// understood, and the page's one line about it.
QString NotUnderstoodMark();
QString NotUnderstoodLine();

class TKeptFileContent
{
public:
    // A kept node; NotUnderstood marks a known element whose value could not
    // be used.
    struct TNode
    {
        TXmlNode Node;
        bool NotUnderstood = false;

        friend bool operator==(const TNode &, const TNode &) = default;
    };

    // The key of the root element; the others are the names of the root's
    // known children ("Village", "Queue"), or ElementKey for one building or
    // queue item.
    static QString RootKey() { return {}; }
    // The key of the attributes of a Building or Item element of this text.
    static QString ElementKey(const QString &name, const QString &text) { return name + u'\n' + text; }

    // Comments and processing instructions before and after the root element.
    QList<TXmlNode> BeforeRoot;
    QList<TXmlNode> AfterRoot;

    // An attribute of a known element that the reader does not use; one of
    // the same name given before takes the later value.
    void KeepAttribute(const QString &key, const QString &name, const QString &value);
    // A node inside a known element that the reader does not use. A text
    // right after a kept text joins it, as it will when written.
    void KeepChild(const QString &key, const TXmlNode &node, bool notUnderstood = false);

    // Drops what is kept for the element of this key (a construction that
    // has ended takes what its element carried with it).
    void Forget(const QString &key);

    const TXmlAttributes &Attributes(const QString &key) const;
    const QList<TNode> &Children(const QString &key) const;
    // Whether anything is kept for the element of this key.
    bool Holds(const QString &key) const;

    bool IsEmpty() const;
    // How many known elements of this name under the element of this key
    // could not be used.
    int NotUnderstoodCount(const QString &key, const QString &name) const;
    int NotUnderstoodCount() const;

    friend bool operator==(const TKeptFileContent &, const TKeptFileContent &) = default;
    friend QDebug operator<<(QDebug debug, const TKeptFileContent &content);

private:
    QMap<QString, TXmlAttributes> m_Attributes;
    QMap<QString, QList<TNode>> m_Children;
};
