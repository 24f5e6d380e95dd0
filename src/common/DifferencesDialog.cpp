#include "common/DifferencesDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
DifferencesObserver &observer()
{
    static DifferencesObserver instance;
    return instance;
}
} // namespace

void setDifferencesObserver(DifferencesObserver o)
{
    observer() = std::move(o);
}

DifferencesDialog::DifferencesDialog(const QString &title, const QString &otherHeader,
                                     const QVector<DifferenceRow> &rows, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("differencesDialog"));
    setWindowTitle(title);
    m_table = new QTableWidget(rows.size(), 4, this);
    m_table->setObjectName(QStringLiteral("differencesTable"));
    m_table->setHorizontalHeaderLabels({tr("页面"), tr("参数"), otherHeader, tr("窗口中的值")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    for (int r = 0; r < rows.size(); ++r) {
        const DifferenceRow &row = rows.at(r);
        const QString cells[] = {row.page, row.field, row.left, row.right};
        for (int c = 0; c < 4; ++c)
            m_table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setObjectName(QStringLiteral("differencesButtons"));
    // In the window's language, as the tool's other dialogs name their buttons.
    buttons->button(QDialogButtonBox::Close)->setText(tr("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("differencesLayout"));
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(640, 360);
}

QStringList DifferencesDialog::shownText() const
{
    const auto line = [this](int row) {
        QStringList cells;
        for (int c = 0; c < m_table->columnCount(); ++c) {
            const QTableWidgetItem *item = row < 0 ? m_table->horizontalHeaderItem(c) : m_table->item(row, c);
            cells << (item ? item->text() : QString());
        }
        return cells.join(QLatin1Char('|'));
    };
    QStringList lines{line(-1)};
    for (int r = 0; r < m_table->rowCount(); ++r)
        lines << line(r);
    return lines;
}

void showDifferences(QWidget *parent, const QString &title, const QString &otherHeader,
                     const QVector<DifferenceRow> &rows)
{
    // Built in either case, so that an observer sees exactly the table a user would.
    DifferencesDialog dialog(title, otherHeader, rows, parent);
    if (observer()) {
        observer()(DifferencesRecord{title, dialog.shownText()});
        return;
    }
    dialog.exec();
}
