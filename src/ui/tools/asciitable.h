#pragma once

#include <QWidget>

#include <array>

class QAction;
class QTableView;

// The ASCII table fAsciiTable: a reference list vstAsciiTable of the 256
// byte values, row k for the byte k, in six columns: the character in the
// program's code page, decimal, "$" and hexadecimal, binary, and for the
// 7-bit codes the abbreviation and an English description. While it exists
// the log view selects in it the byte under the mouse, so it decodes the
// traffic as the user points at it.
//
// It is a top-level window with its own task bar entry, not tied to the main
// window, and it does not keep the program running: closing it only hides it.
class TfAsciiTable : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 6;

    explicit TfAsciiTable(QWidget *parent = nullptr);
    ~TfAsciiTable() override;

    [[nodiscard]] QTableView *list() const { return vstAsciiTable; }

    // The text of a cell; the columns' texts are computed from the row.
    [[nodiscard]] static QString CellText(int row, int column);
    // The abbreviation of codes 0 to 32 and 127, and the description of
    // codes 0 to 127; empty for the others.
    [[nodiscard]] static QString Abbreviation(int code);
    [[nodiscard]] static QString Description(int code);

public slots:
    // Selects the row of the byte and makes it the current row, scrolled
    // into view.
    void SelectByte(quint8 value);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void keepBinaryColumnInPlace(int logicalIndex, int oldVisualIndex, int newVisualIndex);

    QTableView *vstAsciiTable = nullptr;
    // The column headers, as named captions that a language file translates.
    std::array<QAction *, ColumnCount> m_columnCaptions{};
    bool m_placed = false;
};
