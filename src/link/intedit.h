#pragma once

#include "customnumedit.h"

#include <QStringView>

// An integer as typed: optional leading blanks, an optional sign, then
// decimal digits or hexadecimal ones after "$" or "0x". `complete` tells
// whether the whole text was read; otherwise `value` is what was read before
// the first character that does not fit (0 when nothing fits).
struct TypedInteger
{
    int value = 0;
    bool complete = false;
};
[[nodiscard]] TypedInteger ReadTypedInteger(QStringView text);

// A numeric edit for an integer between MinValue and MaxValue, stepped by
// Increment (PageMult times as far for a page). The text is what counts:
// reading Value reads the text, and the text becomes the stored value when
// the edit is left or Enter is pressed.
class TIntEdit : public TMyCustomNumEdit
{
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(int PageMult READ PageMult WRITE SetPageMult)

public:
    explicit TIntEdit(QWidget *parent = nullptr);

    // The integer written in the text; 0 when the text holds none.
    [[nodiscard]] int Value() const;
    // Stores the value clamped to the range and shows it.
    void SetValue(int value);

    [[nodiscard]] int MinValue() const { return m_minValue; }
    // At most MaxValue; the value is clamped again.
    void SetMinValue(int value);
    [[nodiscard]] int MaxValue() const { return m_maxValue; }
    // At least MinValue; the value is clamped again.
    void SetMaxValue(int value);
    [[nodiscard]] int Increment() const { return m_increment; }
    // Taken only when greater than 0.
    void SetIncrement(int value);
    [[nodiscard]] int PageMult() const { return m_pageMult; }
    void SetPageMult(int value) { m_pageMult = value; }

    void StepValue(int direction, bool page) override;
    void UpdateText() override;
    bool CheckValue() override;

private:
    // The typed integer, or the stored value when the text holds none.
    [[nodiscard]] int typedValueOrStored() const;

    int m_value = 0;
    int m_maxValue = 100;
    int m_minValue = 0;
    int m_pageMult = 10;
    int m_increment = 1;
};
