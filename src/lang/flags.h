#pragma once

#include <QPixmap>
#include <QStringList>
#include <QStringView>

// The country flags that language files name in their `flag` attribute and
// the language menu shows beside each language. Each is a small picture of
// FlagWidth x FlagHeight pixels, drawn by the program itself: a simplified
// but recognisable design of the country's flag.
inline constexpr int FlagWidth = 21;
inline constexpr int FlagHeight = 13;

// The picture named "FLAG_" and a two-letter code ("FLAG_CZ"), in any letter
// case. A name that is no flag's ("?", "CZ", "FLAG_XX") gives an empty
// pixmap. Pictures are drawn once and then kept.
[[nodiscard]] QPixmap FlagPicture(QStringView name);

// The names of all flags there are, in upper case ("FLAG_AE" ... "FLAG_ZA").
[[nodiscard]] QStringList FlagNames();
