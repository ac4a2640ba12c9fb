#include "presetcopy.h"

#include "core/byteformat.h"
#include "core/codepage.h"
#include "framepaket.h"

namespace {

// Characters from..from+1 of the data, counted from 1; fewer at the end.
QString pair(QStringView data, qsizetype from)
{
    return data.mid(from - 1, 2).toString();
}

QString group(QStringView data, qsizetype from)
{
    return QStringLiteral("{$") + pair(data, from) + QStringLiteral("}");
}

} // namespace

void LoadPresetIntoEditor(TfrPaket &editor, QStringView data)
{
    for (int row = 0; row < TfrPaket::RowCount; ++row)
        editor.setRowText(row, QString());
    const qsizetype length = data.size();
    if (length >= 2) {
        const QByteArray prefix = HexToBytes(data.first(2));
        editor.setRowText(TfrPaket::RowPRE,
                          QString(CodePage::toChar(static_cast<quint8>(prefix.front()))));
    }
    if (length >= 4)
        editor.setRowText(TfrPaket::RowFRM, group(data, 3));
    if (length >= 8)
        editor.setRowText(TfrPaket::RowLEN, QStringLiteral("{$") + pair(data, 5) +
                                                QStringLiteral(",$") + pair(data, 7) +
                                                QStringLiteral("}"));
    if (length >= 10)
        editor.setRowText(TfrPaket::RowADR, group(data, 9));
    if (length >= 12)
        editor.setRowText(TfrPaket::RowSIG, group(data, 11));
    if (length >= 14)
        editor.setRowText(TfrPaket::RowINST, group(data, 13));

    // Data: from character 15 up to the last four characters (SUM and CR).
    qsizetype position = 15;
    QString bytes = QStringLiteral("{");
    while (position < length - 3) {
        if (bytes.size() > 1)
            bytes += u',';
        bytes += QStringLiteral("$") + pair(data, position);
        position += 2;
    }
    bytes += u'}';
    if (bytes != QStringLiteral("{}"))
        editor.setRowText(TfrPaket::RowSDATA, bytes);
    if (length > position)
        editor.setRowText(TfrPaket::RowSUM, group(data, position));
    if (length > position + 2)
        editor.setRowText(TfrPaket::RowCR, group(data, position + 2));
}
