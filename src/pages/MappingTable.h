#pragma once

#include <QComboBox>
#include <QCoreApplication>
#include <QStringList>
#include <QVector>

#include <functional>
#include <initializer_list>
#include <limits>

class QJsonArray;
class QLineEdit;
class QTableWidget;
class QTableWidgetItem;

// One table of the mapping page: makes, resets, refills and clears its
// rows, keeps to the 32 slots the device has, and takes rows to and from
// the file. What a row holds is its kind's business (SendMappingTable,
// RecvMappingTable). Never touches frames or the port.
class MappingTable
{
    Q_DECLARE_TR_FUNCTIONS(CanMappingWidget)

public:
    static constexpr int kMaxRows = 32;
    static constexpr int kRowHeight = 23;

    // `canMode` is the page's last known CAN mode; `askCanMode` has the page
    // ask the CAN page for it anew (which may update `canMode`).
    MappingTable(QWidget *page, QTableWidget *table, const int &canMode, std::function<void()> askCanMode);
    virtual ~MappingTable() = default;

    QTableWidget *table() const { return m_table; }

    // A new row from the menu; -1, after telling the user, when full.
    int addRow();
    void deleteSelectedRows();
    void clear();
    // A refill starts with nothing selected, as when the rows were removed:
    // the row handlers act on the selected row and must not fire on the
    // refilled ones.
    void startRefill();

    QStringList rowStrings() const;
    // A file may hold more rows than the device has slots: the first 32
    // are taken and the user is told once.
    void loadRows(const QJsonArray &rows);

    virtual void applyCanMode(int mode) = 0;

protected:
    virtual void makeRow(int row) = 0;
    virtual void resetRow(int row) = 0;
    virtual QString rowString(int row) const = 0;
    virtual void loadRow(int row, const QStringList &fields) = 0;

    // Refills reuse the rows already there: building cell widgets under the
    // application's style sheet is what makes reading a reply slow. A reused
    // row is first put back into the state a new one has.
    int takeRow(int row);
    // Reading the same table again is the common case (every connect reads
    // the device's tables): a reused row that `shows` its record already is
    // left alone, any other is taken and filled.
    void refill(int count, const std::function<bool(int row)> &shows,
                const std::function<void(int row)> &fill);

    void setUpColumns(const QVector<QPair<int, int>> &widths);
    QLineEdit *makeAddressEdit();
    QTableWidgetItem *checkedItem() const;
    bool hasPlainRow(int row, int firstCell, int lastCell) const;
    void reportIdRange(const QString &range);
    int askCanMode();

    QWidget *m_page;
    QTableWidget *m_table;
    const int &m_canMode;

private:
    std::function<void()> m_askCanMode;
};

// Cell helpers of the mapping tables.
QComboBox *comboAt(const QTableWidget *table, int row, int column);
QLineEdit *editAt(const QTableWidget *table, int row, int column);
QString textAt(const QTableWidget *table, int row, int column);
int comboIndex(const QTableWidget *table, int row, int column);
Qt::CheckState checkStateAt(const QTableWidget *table, int row);
void setCheckStateAt(QTableWidget *table, int row, Qt::CheckState state);
int intField(const QStringList &fields, int index);
// A row as the file stores it: each field followed by a comma.
QString fieldsText(std::initializer_list<QString> fields);
// A number field of it (the one-digit ones, most of a row, made once).
QString fieldNumber(int number);
// Unreadable text counts as 0, as the device fields expect.
quint32 numberValue(const QString &text, int base);
// A register address as the block carries it: beyond 65535 it goes out as 0.
quint16 addressValue(const QString &text);

// A list whose selectable entries follow a rule: the CAN mode for the
// protocol and register-count lists, the row's protocol for the length
// list. It remembers what its entries were last set for: the rules run on
// every read and every mode change, mostly for what the list already follows.
class RuleList : public QComboBox
{
public:
    static constexpr int kNoRule = std::numeric_limits<int>::min();

    RuleList(QWidget *cells, const QStringList &entries) : QComboBox(cells) { addItems(entries); }

    int ruleArgument = kNoRule;
};

// Makes entry i selectable exactly when allowed(i), for the rule's argument.
void applyEntryRule(QComboBox *list, int argument, const std::function<bool(int)> &allowed);
bool followsRule(const QComboBox *list, int argument);
