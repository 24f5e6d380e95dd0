#pragma once

#include <QLineEdit>
#include <QString>

#include <functional>

class QRegularExpressionValidator;

// The CAN identifier field rules of every page: hexadecimal digits, three
// for a standard frame and eight for an extended one, and the identifier
// range of the frame type.

// The digits a field of this frame type takes.
QString canIdPattern(bool extended);
// Whether the text's value fits the frame type; a text that does not read
// as hexadecimal is left to the pattern and counts as within.
bool canIdInRange(const QString &text, bool extended);
// Whether the pattern takes the whole text.
bool matchesCanIdPattern(const QString &text, bool extended);
// Gives the field the frame type's pattern (its own validator, reused).
void setCanIdPattern(QLineEdit *edit, bool extended);

// Hexadecimal identifier cell of the mapping and filter tables. An entry
// out of range, then one the pattern refuses, is reported and taken back
// at once, so the table never holds an identifier the bus can't carry. It
// never decides the box's words or parent: its owner's report does.
class CanIdEdit : public QLineEdit
{
public:
    enum InvalidText
    {
        ReportInvalid,
        QuietInvalid
    };
    // Shows the box for a range text ("0x00-0x7ff" and the like).
    using Report = std::function<void(const QString &range)>;

    CanIdEdit(QWidget *cells, Report report, InvalidText invalid);

    bool isExtended() const { return m_extended; }
    // Pattern and range of the frame type; the text is left as it is.
    void setFrameType(bool extended);
    // Holds `text`, as a program set it, for this frame type, and would
    // take it without a word.
    bool shows(const QString &text, bool extended) const;

private:
    void check(const QString &text);

    Report m_report;
    InvalidText m_invalid;
    bool m_extended = false;
};
