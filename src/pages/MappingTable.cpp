#include "pages/MappingTable.h"

#include "common/MessageBox.h"
#include "pages/CellWidgets.h"
#include "pages/TableCells.h"

#include <QHeaderView>
#include <QIntValidator>
#include <QJsonArray>
#include <QLineEdit>
#include <QTableWidget>

namespace {

constexpr int kCheckColumnWidth = 30;

// The check column's items can be ticked, not edited as text.
Qt::ItemFlags checkItemFlags()
{
    static const Qt::ItemFlags flags = QTableWidgetItem().flags() & ~Qt::ItemIsEditable;
    return flags;
}

bool isAcceptable(const QLineEdit *edit)
{
    QString text = edit->text();
    int pos = 0;
    return !edit->validator() || edit->validator()->validate(text, pos) == QValidator::Acceptable;
}

} // namespace

QComboBox *comboAt(const QTableWidget *table, int row, int column)
{
    return qobject_cast<QComboBox *>(CellWidgets::at(table, row, column));
}

QLineEdit *editAt(const QTableWidget *table, int row, int column)
{
    return qobject_cast<QLineEdit *>(CellWidgets::at(table, row, column));
}

QString textAt(const QTableWidget *table, int row, int column)
{
    const QLineEdit *edit = editAt(table, row, column);
    return edit ? edit->text() : QString();
}

int comboIndex(const QTableWidget *table, int row, int column)
{
    const QComboBox *combo = comboAt(table, row, column);
    return combo ? combo->currentIndex() : -1;
}

Qt::CheckState checkStateAt(const QTableWidget *table, int row)
{
    const QTableWidgetItem *item = table->item(row, 0);
    return item ? item->checkState() : Qt::Unchecked;
}

void setCheckStateAt(QTableWidget *table, int row, Qt::CheckState state)
{
    if (QTableWidgetItem *item = table->item(row, 0))
        item->setCheckState(state);
}

QString fieldsText(std::initializer_list<QString> fields)
{
    int size = 0;
    for (const QString &field : fields)
        size += field.size() + 1;
    QString text;
    text.reserve(size);
    for (const QString &field : fields) {
        text += field;
        text += QLatin1Char(',');
    }
    return text;
}

QString fieldNumber(int number)
{
    static const QStringList digits = [] {
        QStringList list;
        for (int i = 0; i < 10; ++i)
            list << QString::number(i);
        return list;
    }();
    return number >= 0 && number < digits.size() ? digits.at(number) : QString::number(number);
}

int intField(const QStringList &fields, int index)
{
    return fields.value(index).toInt();
}

quint32 numberValue(const QString &text, int base)
{
    bool ok = false;
    const quint32 value = withoutSpaces(text).toUInt(&ok, base);
    return ok ? value : 0;
}

quint16 addressValue(const QString &text)
{
    const quint32 value = numberValue(text, 10);
    return value > 0xFFFF ? 0 : static_cast<quint16>(value);
}

void applyEntryRule(QComboBox *list, int argument, const std::function<bool(int)> &allowed)
{
    auto *ruled = dynamic_cast<RuleList *>(list);
    if (ruled && ruled->ruleArgument == argument)
        return;
    for (int i = 0; i < list->count(); ++i)
        setEntryEnabled(list, i, allowed(i));
    if (ruled)
        ruled->ruleArgument = argument;
}

bool followsRule(const QComboBox *list, int argument)
{
    const auto *ruled = dynamic_cast<const RuleList *>(list);
    return ruled && ruled->ruleArgument == argument;
}

MappingTable::MappingTable(QWidget *page, QTableWidget *table, const int &canMode,
                           std::function<void()> askCanMode)
    : m_page(page), m_table(table), m_canMode(canMode), m_askCanMode(std::move(askCanMode))
{
}

int MappingTable::addRow()
{
    if (m_table->rowCount() >= kMaxRows) {
        showMessageBox(QMessageBox::Information, m_page, tr("提示"), tr("最多可以添加32个记录"));
        return -1;
    }
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    makeRow(row);
    return row;
}

void MappingTable::deleteSelectedRows()
{
    ::deleteSelectedRows(m_table);
}

void MappingTable::clear()
{
    m_table->setRowCount(0);
}

void MappingTable::startRefill()
{
    m_table->selectionModel()->clear();
}

int MappingTable::takeRow(int row)
{
    if (row >= m_table->rowCount())
        return addRow();
    askCanMode();
    resetRow(row);
    return row;
}

void MappingTable::refill(int count, const std::function<bool(int)> &shows,
                          const std::function<void(int)> &fill)
{
    startRefill();
    for (int row = 0; row < count; ++row) {
        if (row < m_table->rowCount()) {
            // The lists follow the CAN page's mode, as a reset row's would.
            askCanMode();
            if (shows(row))
                continue;
        }
        fill(takeRow(row));
    }
    m_table->setRowCount(count);
}

QStringList MappingTable::rowStrings() const
{
    QStringList rows;
    for (int row = 0; row < m_table->rowCount(); ++row)
        rows << rowString(row);
    return rows;
}

void MappingTable::loadRows(const QJsonArray &rows)
{
    const int count = qMin(rows.size(), kMaxRows);
    for (int i = 0; i < count; ++i) {
        const int row = takeRow(i);
        loadRow(row, rows.at(i).toString().split(QLatin1Char(',')));
    }
    m_table->setRowCount(count);
    if (rows.size() > kMaxRows)
        showMessageBox(QMessageBox::Information, m_page, tr("提示"), tr("最多可以添加32个记录"));
}

void MappingTable::setUpColumns(const QVector<QPair<int, int>> &widths)
{
    m_table->horizontalHeader()->setSectionsClickable(false);
    // The style's default minimums are larger than the check column and rows.
    m_table->horizontalHeader()->setMinimumSectionSize(kCheckColumnWidth);
    m_table->verticalHeader()->setMinimumSectionSize(kRowHeight);
    m_table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_table->setColumnWidth(0, kCheckColumnWidth);
    for (const auto &width : widths)
        m_table->setColumnWidth(width.first, width.second);
}

// Register address editor (0 to 65535) of both tables.
QLineEdit *MappingTable::makeAddressEdit()
{
    auto *edit = new QLineEdit(m_table->viewport());
    edit->setValidator(new QIntValidator(0, 0xFFFF, edit));
    edit->setText(QStringLiteral("00"));
    QWidget *page = m_page;
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit, page](const QString &text) {
        if (text.isEmpty() || isAcceptable(edit))
            return;
        showMessageBox(QMessageBox::Information, page, QStringLiteral(" "),
                       tr("输入错误 请输入 0 到 65535 之间的整数"));
        edit->undo();
    });
    return edit;
}

QTableWidgetItem *MappingTable::checkedItem() const
{
    auto *item = new QTableWidgetItem;
    item->setFlags(checkItemFlags());
    item->setCheckState(Qt::Checked);
    return item;
}

// Row height, check item and cells as a new row has them, no cell highlighted.
bool MappingTable::hasPlainRow(int row, int firstCell, int lastCell) const
{
    if (m_table->rowHeight(row) != kRowHeight ||
        !hasCheckItem(m_table, row, 0, checkItemFlags(), Qt::Checked))
        return false;
    for (int column = firstCell; column <= lastCell; ++column) {
        const QWidget *cell = CellWidgets::at(m_table, row, column);
        if (!cell || !cell->styleSheet().isEmpty())
            return false;
    }
    return true;
}

void MappingTable::reportIdRange(const QString &range)
{
    showMessageBox(QMessageBox::Information, m_page, tr("输入错误"), tr("请输入有效值: %1").arg(range));
}

int MappingTable::askCanMode()
{
    m_askCanMode();
    return m_canMode;
}
