#include "intedit.h"

#include "core/beep.h"
#include "ui/main/messagebox.h"

#include <limits>

namespace {

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int digit = -1;
    if (u >= u'0' && u <= u'9')
        digit = u - u'0';
    else if (u >= u'a' && u <= u'f')
        digit = u - u'a' + 10;
    else if (u >= u'A' && u <= u'F')
        digit = u - u'A' + 10;
    return digit < base ? digit : -1;
}

int clamp(qint64 value, int minimum, int maximum)
{
    if (value < minimum)
        return minimum;
    if (value > maximum)
        return maximum;
    return int(value);
}

} // namespace

TypedInteger ReadTypedInteger(QStringView text)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < size && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < size && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < size && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    // A digit that would leave the range of an int does not fit either.
    const qint64 limit = negative ? -qint64(std::numeric_limits<int>::min())
                                  : qint64(std::numeric_limits<int>::max());
    qint64 magnitude = 0;
    bool anyDigit = false;
    for (; i < size; ++i) {
        const int digit = digitValue(text[i], base);
        if (digit < 0 || magnitude * base + digit > limit)
            break;
        magnitude = magnitude * base + digit;
        anyDigit = true;
    }
    return {int(negative ? -magnitude : magnitude), anyDigit && i == size};
}

TIntEdit::TIntEdit(QWidget *parent) : TMyCustomNumEdit(parent)
{
    UpdateText();
}

int TIntEdit::Value() const
{
    const TypedInteger typed = ReadTypedInteger(text());
    return typed.complete ? typed.value : 0;
}

void TIntEdit::SetValue(int value)
{
    m_value = m_minValue == m_maxValue ? m_minValue : clamp(value, m_minValue, m_maxValue);
    UpdateText();
}

void TIntEdit::SetMinValue(int value)
{
    m_minValue = qMin(value, m_maxValue);
    SetValue(m_value);
}

void TIntEdit::SetMaxValue(int value)
{
    m_maxValue = qMax(value, m_minValue);
    SetValue(m_value);
}

void TIntEdit::SetIncrement(int value)
{
    if (value > 0)
        m_increment = value;
}

int TIntEdit::typedValueOrStored() const
{
    const TypedInteger typed = ReadTypedInteger(text());
    return typed.complete ? typed.value : m_value;
}

void TIntEdit::StepValue(int direction, bool page)
{
    SetValue(typedValueOrStored());
    qint64 step = m_increment;
    if (IsCtrlHeld())
        step *= 10;
    if (page)
        step *= m_pageMult;
    const qint64 target = direction == 0 ? qint64(m_value) + step : qint64(m_value) - step;
    SetValue(clamp(target, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void TIntEdit::UpdateText()
{
    if (Colored()) {
        if (m_value < 0)
            SetTextColor(QColor(128, 0, 0));
        else if (m_value == 0)
            SetTextColor(Qt::black);
        else
            SetTextColor(QColor(0, 0, 128));
    }
    setText(QString::number(m_value));
}

bool TIntEdit::CheckValue()
{
    const TypedInteger typed = ReadTypedInteger(text());
    if (typed.complete &&
        (m_minValue == m_maxValue || (typed.value >= m_minValue && typed.value <= m_maxValue))) {
        SetValue(typed.value);
        return true;
    }
    if (FailureBeep())
        Beep();
    if (AutoCorrect()) {
        SetValue(clamp(typed.value, m_minValue, m_maxValue));
        return true;
    }
    ShowMessage(this,
                QStringLiteral("%1 musí být v rozmezí od %2 do %3!")
                    .arg(ShowName(), QString::number(m_minValue), QString::number(m_maxValue)));
    setFocus(Qt::OtherFocusReason);
    selectAll();
    return false;
}
