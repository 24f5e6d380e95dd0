#pragma once

#include "protocol/Configuration.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

// One differing field as a user finds it in the window: the tab, the label
// beside the widget, and both values as the page shows them.
struct DifferenceRow
{
    QString page;
    QString field;
    QString left;  // the device's (or the file's) value
    QString right; // the window's value
};

// Names the stable field names of Configuration::differences after the
// pages' tabs, labels and table headers, and shows list values as their
// list text. Knows the pages' words but holds no widget, and never
// compares anything itself: the comparison has one home, Configuration.
class DifferenceLabels
{
    Q_DECLARE_TR_FUNCTIONS(DifferenceLabels)

public:
    static DifferenceRow describe(const Protocol::Difference &difference);
    static QVector<DifferenceRow> describe(const QVector<Protocol::Difference> &differences);
};
