#include "pages/CanIdEdit.h"

#include "pages/TableCells.h"
#include "protocol/CanRules.h"

#include <QCoreApplication>
#include <QPointer>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace {

bool acceptable(const QLineEdit *edit, QString text)
{
    int position = 0;
    return !edit->validator() || edit->validator()->validate(text, position) == QValidator::Acceptable;
}

} // namespace

QString canIdPattern(bool extended)
{
    return extended ? QStringLiteral("^[0-9A-Fa-f]{1,8}$") : QStringLiteral("^[0-9A-Fa-f]{1,3}$");
}

bool canIdInRange(const QString &text, bool extended)
{
    bool ok = false;
    const quint32 value = text.toUInt(&ok, 16);
    return !ok || value <= (extended ? Protocol::kMaxExtendedId : Protocol::kMaxStandardId);
}

namespace {

// One validator per pattern for every identifier field: a validator
// compiles its own copy of its expression when it first checks a text,
// and the tables hold dozens of identifier cells.
QRegularExpressionValidator *sharedValidator(bool extended)
{
    static QPointer<QRegularExpressionValidator> shared[2];
    QPointer<QRegularExpressionValidator> &validator = shared[extended ? 1 : 0];
    if (!validator)
        validator = new QRegularExpressionValidator(QRegularExpression(canIdPattern(extended)),
                                                    QCoreApplication::instance());
    return validator;
}

} // namespace

// Without running the expression: every read asks it of each identifier cell.
bool matchesCanIdPattern(const QString &text, bool extended)
{
    if (text.isEmpty() || text.size() > (extended ? 8 : 3))
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
               (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
    });
}

void setCanIdPattern(QLineEdit *edit, bool extended)
{
    edit->setValidator(sharedValidator(extended));
}

CanIdEdit::CanIdEdit(QWidget *cells, Report report, InvalidText invalid)
    : QLineEdit(cells), m_report(std::move(report)), m_invalid(invalid)
{
    setCanIdPattern(this, false);
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) { check(text); });
}

void CanIdEdit::setFrameType(bool extended)
{
    m_extended = extended;
    setCanIdPattern(this, extended);
}

bool CanIdEdit::shows(const QString &text, bool extended) const
{
    if (m_extended != extended || !showsText(this, text) || !canIdInRange(text, extended))
        return false;
    return validator() == sharedValidator(extended) ? matchesCanIdPattern(text, extended) : acceptable(this, text);
}

// Two checks, each taking back the last edit: the range, then the pattern.
// A typed text that fails the range passes the pattern (the validator let
// it in); a text from a file or a reply has no edit to take back and stays,
// so it may fail both and raise both boxes. The range texts differ in case
// between the two checks, as users have always seen them.
void CanIdEdit::check(const QString &text)
{
    if (text.isEmpty())
        return;
    if (!canIdInRange(text, m_extended)) {
        m_report(m_extended ? QStringLiteral("0x00-0x1FFFFFFF") : QStringLiteral("0x00-0x7ff"));
        undo(); // the undo re-runs this check on the restored text
    }
    if (acceptable(this, text))
        return;
    if (m_invalid == ReportInvalid)
        m_report(m_extended ? QStringLiteral("0x00-0x1FFFFFFF") : QStringLiteral("0x00-0x7FF"));
    undo();
}
