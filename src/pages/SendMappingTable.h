#pragma once

#include "pages/MappingTable.h"
#include "pages/MappingValidation.h"
#include "protocol/SendMapping.h"

class CanMappingWidget;

// The send rows of the mapping page: frame format, frame type, protocol,
// length, identifier and register address of each CAN frame the converter
// sends. Turns rows into records and back; the rules of the CAN mode and of
// the row's protocol decide which entries its lists offer. Never builds
// frames.
class SendMappingTable : public MappingTable
{
    // Its texts belong to the mapping page, like its base class's.
    Q_DECLARE_TR_FUNCTIONS(CanMappingWidget)

public:
    SendMappingTable(CanMappingWidget *page, QTableWidget *table, const int &canMode,
                     std::function<void()> askCanMode);

    Protocol::SendMapping mapping() const;
    void read(const Protocol::SendMapping &mapping);
    QVector<SendRowTexts> validationRows() const;

    void applyCanMode(int mode) override;
    // Handlers of the selected row: its frame format, its protocol changed.
    void formatChanged();
    void protocolChanged(int index);

protected:
    void makeRow(int row) override;
    void resetRow(int row) override;
    QString rowString(int row) const override;
    void loadRow(int row, const QStringList &fields) override;

private:
    Protocol::SendRecord recordOf(int row) const;
    bool shows(int row, const Protocol::SendRecord &record) const;
    void fill(int row, const Protocol::SendRecord &record);
    void setFrameFormat(int row, int index);
    int firstSelectedRow() const;
    void fitColumns();

    CanMappingWidget *m_mappingPage;
};
