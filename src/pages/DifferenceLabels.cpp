#include "pages/DifferenceLabels.h"

#include "protocol/CanRules.h"

#include <QRegularExpression>
#include <QStringList>

#include <functional>

namespace {

// A caption in its own page's words, without the colon that ends a label.
QString caption(const char *context, const char *text)
{
    QString s = QCoreApplication::translate(context, text).trimmed();
    while (s.endsWith(QChar(0xFF1A)) || s.endsWith(QLatin1Char(':')))
        s.chop(1);
    return s;
}

QString convertText(const char *text)
{
    return caption("ConvertParamWidgetClass", text);
}
QString serialText(const char *text)
{
    return caption("SerialParamWidgetClass", text);
}
QString canText(const char *text)
{
    return caption("CanParamWidgetClass", text);
}
QString modbusText(const char *text)
{
    return caption("ModBusWidgetClass", text);
}
QString mappingText(const char *text)
{
    return caption("CanMappingWidgetClass", text);
}

// The entry of a list at the value's position; a value no entry has shows
// as it is.
QString listText(const QString &value, const QStringList &texts, int first = 0)
{
    bool ok = false;
    const int position = int(value.toUInt(&ok, 0)) - first;
    return ok && position >= 0 && position < texts.size() ? texts.at(position) : value;
}

// The bit-rate list entry whose timing word this is; a custom word shows as it is.
template <std::size_t N>
QString bitRateText(const QString &value, const quint32 (&words)[N], const QStringList &texts)
{
    bool ok = false;
    const quint32 word = value.toUInt(&ok, 0);
    for (std::size_t i = 0; ok && i + 1 < N && int(i) < texts.size(); ++i) {
        if (words[i] == word)
            return texts.at(int(i));
    }
    return value;
}

QString noYes(const QString &value)
{
    return listText(value, {canText("否"), canText("是")});
}

QString frameTypes(const QString &value)
{
    return listText(value, {canText("标准帧"), canText("扩展帧")});
}

QString hexByte(const QString &value)
{
    return QString::number(value.toUInt(nullptr, 0), 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

using Shown = std::function<QString(const QString &)>;
const Shown kAsGiven = [](const QString &value) { return value; };

struct Field
{
    QString label;
    Shown shown = kAsGiven;
};

Field conversionField(const QString &leaf)
{
    const QString position = convertText("CAN标识符在串行帧中位置：") + QLatin1Char(' ');
    if (leaf == QLatin1String("mode"))
        return {convertText("转换模式："), [](const QString &v) {
                    return listText(v,
                                    {convertText("透明转换"), convertText("透明带标识转换"),
                                     convertText("格式转换"), convertText("MODBUS转换"),
                                     convertText("MODBUS从站")},
                                    1);
                }};
    if (leaf == QLatin1String("direction"))
        return {convertText("转换方向："), [](const QString &v) {
                    return listText(
                        v, {convertText("双向"), convertText("仅串口到CAN"), convertText("仅CAN到串口")});
                }};
    if (leaf == QLatin1String("serialInterval"))
        return {convertText("串行帧转发的时间间隔(ms)：")};
    if (leaf == QLatin1String("forwardInfo"))
        return {convertText("允许CAN帧信息转发到串行帧中"), noYes};
    if (leaf == QLatin1String("forwardId"))
        return {convertText("允许CAN帧ID转发到串行帧中"), noYes};
    if (leaf == QLatin1String("startOffset"))
        return {position + convertText("起始地址：")};
    if (leaf == QLatin1String("idLength"))
        return {position + convertText("长度：")};
    if (leaf == QLatin1String("canInterval"))
        return {convertText("CAN帧转发的时间间隔(ms)：")};
    return {leaf};
}

Field serialField(const QString &port, const QString &leaf)
{
    // The first slot is always the RS232 port's, the second the RS485/RS422 port's.
    const QString group =
        port == QLatin1String("port1") ? QStringLiteral("RS232") : QStringLiteral("RS485/RS422");
    const QString prefix = group + QLatin1Char(' ');
    if (leaf == QLatin1String("baudRate"))
        return {prefix + serialText("波特率(bps)：")};
    if (leaf == QLatin1String("dataBits"))
        return {prefix + serialText("数据位：")};
    if (leaf == QLatin1String("stopBits"))
        return {prefix + serialText("停止位：")};
    if (leaf == QLatin1String("parity"))
        return {prefix + serialText("奇偶校验："), [](const QString &v) {
                    return listText(v, {serialText("无校验"), serialText("奇校验"), serialText("偶校验")});
                }};
    return {prefix + leaf};
}

Field canField(const QString &leaf)
{
    if (leaf == QLatin1String("arbitrationWord"))
        return {canText("仲裁域波特率："), [](const QString &v) {
                    return bitRateText(
                        v, Protocol::kArbitrationWords,
                        QStringLiteral("5K 10K 20K 40K 50K 80K 100K 125K 200K 250K 400K 500K 800K 1000K")
                            .split(QLatin1Char(' ')));
                }};
    if (leaf == QLatin1String("dataWord"))
        return {canText("数据域波特率："), [](const QString &v) {
                    return bitRateText(v, Protocol::kDataWords,
                                       QStringLiteral("100K 125K 200K 250K 400K 500K 800K 1M 2M 3M 4M 5M 6M")
                                           .split(QLatin1Char(' ')));
                }};
    if (leaf == QLatin1String("sendId"))
        return {canText("CAN ID(HEX)：")};
    if (leaf == QLatin1String("protocol"))
        return {canText("CAN协议："), [](const QString &v) {
                    return listText(v, {canText("CAN"), canText("CANFD")});
                }};
    if (leaf == QLatin1String("acceleration"))
        return {canText("CANFD加速："), noYes};
    if (leaf == QLatin1String("standard"))
        return {canText("CANFD标准："), [](const QString &v) {
                    return listText(v, {canText("ISO"), canText("Non-ISO")});
                }};
    if (leaf == QLatin1String("frameType"))
        return {canText("帧类型："), frameTypes};
    return {leaf};
}

Field filterField(const QString &leaf)
{
    if (leaf == QLatin1String("enabled"))
        return {canText("过滤器"), noYes};
    if (leaf == QLatin1String("frameType"))
        return {canText("帧类型"), frameTypes};
    if (leaf == QLatin1String("filterType"))
        return {canText("过滤类型"), [](const QString &v) {
                    return listText(v, {QCoreApplication::translate("CanParamWidget", "明确 ID"),
                                        QCoreApplication::translate("CanParamWidget", "范围 ID"),
                                        QCoreApplication::translate("CanParamWidget", "掩码 ID")});
                }};
    if (leaf == QLatin1String("id1"))
        return {canText("ID 1(HEX)")};
    if (leaf == QLatin1String("id2"))
        return {canText("ID 2(HEX)")};
    return {leaf};
}

// The flags byte holds the three lists' choices at once.
// The heartbeat's labels end in a colon, the mapping table's headers do not.
QString flagsLabel(QString (*text)(const char *), bool labels)
{
    const QLatin1Char slash('/');
    return labels ? text("帧格式：") + slash + text("帧类型：") + slash + text("CAN协议：")
                  : text("帧格式") + slash + text("帧类型") + slash + text("CAN协议");
}

Field modbusField(const QString &leaf)
{
    if (leaf == QLatin1String("address"))
        return {modbusText("地址(HEX)："), hexByte};
    if (leaf == QLatin1String("heartbeat"))
        return {modbusText("心跳功能："), [](const QString &v) {
                    return listText(v, {QCoreApplication::translate("ModBusWidget", "禁用"),
                                        QCoreApplication::translate("ModBusWidget", "启用")});
                }};
    if (leaf == QLatin1String("interval"))
        return {modbusText("时间间隔(ms)：")};
    if (leaf == QLatin1String("flags"))
        return {flagsLabel(modbusText, true)};
    if (leaf == QLatin1String("length"))
        return {modbusText("数据长度：")};
    if (leaf == QLatin1String("canId"))
        return {modbusText("CAN ID(HEX)：")};
    return {leaf};
}

Field mappingField(const QString &leaf)
{
    if (leaf == QLatin1String("canId"))
        return {mappingText("CAN ID(HEX)")};
    if (leaf == QLatin1String("flags"))
        return {flagsLabel(mappingText, false)};
    if (leaf == QLatin1String("length"))
        return {mappingText("数据长度")};
    if (leaf == QLatin1String("count"))
        return {mappingText("映射数量")};
    return {leaf};
}

} // namespace

DifferenceRow DifferenceLabels::describe(const Protocol::Difference &difference)
{
    // "block.leaf", "block.port.leaf", "block[N].leaf" or "block.data[N]".
    static const QRegularExpression pattern(
        QStringLiteral("^(\\w+)(?:\\[(\\d+)\\])?\\.(\\w+)(?:\\.(\\w+))?(?:\\[(\\d+)\\])?$"));
    const QRegularExpressionMatch m = pattern.match(difference.field);
    const QString block = m.captured(1);
    const QString leaf = m.captured(4).isEmpty() ? m.captured(3) : m.captured(4);
    const bool isRow = !m.captured(2).isEmpty();
    const QString row = tr("第%1行").arg(m.captured(2).toInt() + 1) + QLatin1Char(' ');

    QString page;
    Field field{difference.field};
    const auto tab = [](const char *text) { return QCoreApplication::translate("CenterWidget", text); };
    if (block == QLatin1String("serial")) {
        page = tab("串口参数");
        field = leaf == QLatin1String("mode")
                    ? Field{serialText("模式切换："),
                            [](const QString &v) {
                                return listText(v, {QStringLiteral("RS232"), QStringLiteral("RS485"),
                                                    QStringLiteral("RS422"), QStringLiteral("RS232+RS485"),
                                                    QStringLiteral("RS232+RS422")});
                            }}
                    : serialField(m.captured(3), leaf);
    } else if (block == QLatin1String("can")) {
        page = tab("CAN参数");
        field = canField(leaf);
    } else if (block == QLatin1String("conversion")) {
        page = tab("转换模式");
        field = conversionField(leaf);
    } else if (block == QLatin1String("filters")) {
        page = tab("CAN参数");
        const QString filters = canText("过滤器") + QLatin1Char(' ');
        field = isRow                            ? filterField(leaf)
                : leaf == QLatin1String("count") ? Field{filters + tr("行数")}
                                                 : filterField(leaf);
        if (isRow)
            field.label = filters + row + field.label;
    } else if (block == QLatin1String("modbus")) {
        page = tab("Modbus");
        field = leaf == QLatin1String("data") ? Field{modbusText("数据(HEX)：") + QLatin1Char(' ') +
                                                      tr("第%1字节").arg(m.captured(5).toInt() + 1)}
                                              : modbusField(leaf);
    } else if (block == QLatin1String("send") || block == QLatin1String("recv")) {
        page = tab("ID映射");
        const QString table =
            (block == QLatin1String("send") ? tr("发送映射") : tr("接收映射")) + QLatin1Char(' ');
        if (!isRow)
            field = {table + tr("行数")};
        else if (block == QLatin1String("recv") && leaf == QLatin1String("address"))
            field = {table + row + mappingText("寄存器首地址(DEC)")};
        else if (leaf == QLatin1String("address"))
            field = {table + row + mappingText("寄存器地址(DEC)")};
        else if (isRow) {
            field = mappingField(leaf);
            field.label = table + row + field.label;
        }
    }
    return {page, field.label, field.shown(difference.deviceValue), field.shown(difference.fileValue)};
}

QVector<DifferenceRow> DifferenceLabels::describe(const QVector<Protocol::Difference> &differences)
{
    QVector<DifferenceRow> rows;
    for (const Protocol::Difference &d : differences)
        rows << describe(d);
    return rows;
}
