// The title row of the available table: clicking a title sorts by it, and
// only the sorted column keeps room for the sort arrow, so that every column
// fits at the window's least width. The village page's sgCalc uses it.
#pragma once

#include <QHeaderView>

class TSortHeader : public QHeaderView
{
    Q_OBJECT

public:
    explicit TSortHeader(QWidget *parent = nullptr);

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
};
