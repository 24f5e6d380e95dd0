#include "pages/MappingValidation.h"

#include "pages/TableCells.h"
#include "protocol/CanRules.h"

#include <QCoreApplication>
#include <QSet>

#include <functional>

namespace {

// The words belong to the mapping page.
struct Words
{
    Q_DECLARE_TR_FUNCTIONS(CanMappingWidget)
};

constexpr quint32 kMaxAddress = 0xFFFF;

// Reads a cell's number as the block carries it (spaces removed); false
// when the text does not read or the value is above `maximum`.
bool readsWithin(const QString &text, int base, quint32 maximum)
{
    bool ok = false;
    const quint32 value = withoutSpaces(text).toUInt(&ok, base);
    return ok && value <= maximum;
}

// A receive row's registers S..S+N-1, kept for the overlap check.
struct RecvRange
{
    qint64 start = 0;
    qint64 end = 0;
    int row = 0;
};

class Finder
{
public:
    MappingFinding finding;

    bool fail(const QVector<MappingCell> &cells, const QString &title, const QString &text,
              const QString &button = QString())
    {
        finding.accepted = false;
        finding.highlighted = cells;
        finding.title = title;
        finding.text = text;
        finding.button = button.isEmpty() ? Words::tr("请修改后重试") : button;
        return false;
    }

    // Values are compared, not texts: "7FF" and "7ff", or "010" and "10",
    // clash. A text the block would not carry as it reads (unreadable, or
    // beyond what the row's field holds: a file can bring such a text in)
    // counts as empty.
    bool uniqueColumn(bool send, int column, const QStringList &texts, int base,
                      const std::function<quint32(int row)> &maximum, const QString &emptyTitle,
                      const QString &duplicateTitle, const QString &duplicateText)
    {
        for (int row = 0; row < texts.size(); ++row)
            finding.cleared.append({send, row, column});
        QSet<quint32> seen;
        for (int row = 0; row < texts.size(); ++row) {
            const QString text = texts.at(row).trimmed();
            const MappingCell cell{send, row, column};
            if (text.isEmpty() || !readsWithin(text, base, maximum(row)))
                return fail({cell}, emptyTitle, Words::tr("请输入有效值"));
            const quint32 value = withoutSpaces(text).toUInt(nullptr, base);
            if (seen.contains(value))
                return fail({cell}, duplicateTitle, duplicateText);
            seen.insert(value);
        }
        return true;
    }

    bool recvRows(const QVector<RecvRowTexts> &rows, QVector<RecvRange> &ranges)
    {
        for (int row = 0; row < rows.size(); ++row) {
            const RecvRowTexts &r = rows.at(row);
            const MappingCell id{false, row, RecvId};
            const MappingCell address{false, row, RecvAddress};
            const MappingCell count{false, row, RecvCount};
            if (r.id.isEmpty() || !readsWithin(r.id, 16, Protocol::kMaxExtendedId))
                return fail({id}, Words::tr("ID错误"), Words::tr("请输入有效值"));
            if (r.address.isEmpty())
                return fail({address}, Words::tr("地址错误"), Words::tr("请输入有效值"));
            // A row is cleared once it has its two texts: a row refused for
            // an empty one keeps what an earlier run highlighted in it.
            finding.cleared << address << count << id;
            bool startOk = false;
            const qint64 start = r.address.toInt(&startOk);
            const qint64 registers = r.countIndex >= 0 ? r.countIndex + 1 : 0;
            if (!startOk || r.countIndex < 0 || start < 0 || registers <= 0)
                return fail({address, count}, Words::tr("参数错误"),
                            Words::tr("地址或映射数量格式错误或无效"), Words::tr("请检查后重试"));
            // A start the block cannot carry (a file can bring one in) ends
            // above 65535 too, and is refused here.
            const qint64 end = start + registers - 1;
            if (end > kMaxAddress)
                return fail({address, count}, Words::tr("地址超出范围"),
                            Words::tr("结束地址超出 65535 (0xFFFF)\n当前结束地址：%1 (0x%2)")
                                .arg(end)
                                .arg(end, 0, 16));
            ranges.append({start, end, row});
        }
        return true;
    }

    // Every ordered pair is looked at, so a range enclosing another is found
    // whichever row comes first; ranges that only touch are fine.
    bool recvRanges(const QVector<RecvRange> &ranges)
    {
        for (int a = 0; a < ranges.size(); ++a) {
            for (int b = 0; b < ranges.size(); ++b) {
                const RecvRange &ra = ranges.at(a);
                const RecvRange &rb = ranges.at(b);
                const bool endInside = ra.start <= rb.end && rb.end <= ra.end;
                const bool startInside = ra.start <= rb.start && rb.start <= ra.end;
                if (a != b && (endInside || startInside))
                    return fail({{false, rb.row, RecvAddress}, {false, rb.row, RecvCount}},
                                Words::tr("区间重复"), Words::tr("CAN接收映射列表存在区间重复"));
            }
        }
        return true;
    }
};

} // namespace

MappingFinding findMappingFault(const QVector<SendRowTexts> &send, const QVector<RecvRowTexts> &recv)
{
    QStringList sendIds, sendAddresses, recvIds;
    for (const SendRowTexts &row : send) {
        sendIds << row.id;
        sendAddresses << row.address;
    }
    for (const RecvRowTexts &row : recv)
        recvIds << row.id;
    const auto sendIdMaximum = [&send](int row) {
        return send.at(row).extended ? Protocol::kMaxExtendedId : Protocol::kMaxStandardId;
    };
    const auto addressMaximum = [](int) { return kMaxAddress; };
    const auto recvIdMaximum = [](int) { return Protocol::kMaxExtendedId; };

    Finder finder;
    QVector<RecvRange> ranges;
    finder.uniqueColumn(true, SendId, sendIds, 16, sendIdMaximum, Words::tr("ID错误"), Words::tr("ID重复"),
                        Words::tr("CAN发送映射列表存在重复的ID")) &&
        finder.uniqueColumn(true, SendAddress, sendAddresses, 10, addressMaximum, Words::tr("地址错误"),
                            Words::tr("寄存器地址重复"), Words::tr("CAN发送映射列表存在重复地址")) &&
        finder.recvRows(recv, ranges) &&
        finder.uniqueColumn(false, RecvId, recvIds, 16, recvIdMaximum, Words::tr("ID错误"),
                            Words::tr("ID重复"), Words::tr("CAN接收映射列表存在重复的ID")) &&
        finder.recvRanges(ranges);
    return finder.finding;
}
