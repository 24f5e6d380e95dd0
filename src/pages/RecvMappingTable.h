#pragma once

#include "pages/MappingTable.h"
#include "pages/MappingValidation.h"
#include "protocol/RecvMapping.h"

// The receive rows of the mapping page: identifier, first register and
// register count of each CAN frame the converter takes in. Turns rows into
// records and back; the CAN mode decides which counts the list offers.
// Never builds frames.
class RecvMappingTable : public MappingTable
{
public:
    RecvMappingTable(QWidget *page, QTableWidget *table, const int &canMode,
                     std::function<void()> askCanMode);

    Protocol::RecvMapping mapping() const;
    void read(const Protocol::RecvMapping &mapping);
    QVector<RecvRowTexts> validationRows() const;

    void applyCanMode(int mode) override;

protected:
    void makeRow(int row) override;
    void resetRow(int row) override;
    QString rowString(int row) const override;
    void loadRow(int row, const QStringList &fields) override;

private:
    Protocol::RecvRecord recordOf(int row) const;
    bool shows(int row, const Protocol::RecvRecord &record) const;
    void fill(int row, const Protocol::RecvRecord &record);
};
