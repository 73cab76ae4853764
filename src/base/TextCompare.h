// The one comparison of texts without regard to letter case. The considered
// buildings of a village, the candidate list of the overview import and the
// building selection dialog all sort and look up by it, so that their orders
// agree. Comparison is by character after case folding (a blank sorts before
// digits), independent of the user's locale.
#pragma once

#include <QString>
#include <QStringView>

int CompareText(QStringView a, QStringView b);

inline bool SameText(QStringView a, QStringView b)
{
    return CompareText(a, b) == 0;
}

// True when a sorts before b.
inline bool TextLess(QStringView a, QStringView b)
{
    return CompareText(a, b) < 0;
}

// The text as the comparison above sees it: each character case-folded the
// way it folds them. Two texts are the same text exactly when their folded
// texts are equal, so the folded text is the key under which lists look up
// a text by hash.
QString FoldedText(QStringView text);
