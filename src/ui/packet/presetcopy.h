#pragma once

#include <QStringView>

class TfrPaket;

// Copies a stored packet (hex text, two digits per byte) into the editor's
// rows, assuming the format-97 layout with an INST byte: the first bytes go
// to PRE (as the character itself), FRM, LEN (two bytes), ADR, SIG and INST,
// the last two to SUM and CR, and everything between to SDATA. Every row is
// emptied first; rows the text is too short for stay empty. The other rows
// get brace groups of "$" and the digits as written. Throws ConversionError
// when the first pair is not hexadecimal; the rows are empty by then.
void LoadPresetIntoEditor(TfrPaket &editor, QStringView data);
