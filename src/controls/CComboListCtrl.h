#pragma once

#include <QTableWidget>
#include <functional>

class CInPlaceCombo;
class CInPlaceEdit;

// A list of rows whose cells are edited in place: a click on a cell of the
// focused row lays an editor (or a drop-down of choices) over it, and the
// edit ends when the editor loses the focus.
class CComboListCtrl : public QTableWidget
{
    Q_OBJECT
public:
    static inline const QColor SelectedBack{49, 106, 197};

    explicit CComboListCtrl(QWidget* parent = nullptr);
    ~CComboListCtrl() override;

    void MarkColumnReadOnly(int column);
    void MarkColumnDropDown(int column);
    void SetEditCharacters(const QString& characters);

    // The cell under a point of the viewport; a point on the line between
    // two columns belongs to the left one.
    bool HitTestCell(const QPoint& point, int& row, int& column) const;
    // Scrolls the column into view; the row's bounds become the cell's.
    QRect ScrollColumnIntoView(int column, QRect rect);
    void OpenCellEdit(int row, int column, const QString& text);
    void OpenCellCombo(int row, int column, const QStringList& choices, const QString& text, int selection);
    // The editor's report: the text goes into the cell, then to the owner.
    void OnEndLabelEdit(int row, int column, const QString& text);
    // Ends the open edit of any list, as a focus loss would.
    static void endOpenEdits();

    QString cellText(int row, int column) const;
    // One row per entry, all columns as text.
    void setRowTexts(int row, const QStringList& texts);

    QList<int> m_comboColumns;
    QList<int> m_readOnlyColumns;
    QString m_editChars;
    // Cells are edited only while this is set.
    bool m_editLabels = true;
    // Asked for the choices of a drop-down column just before it opens.
    std::function<QStringList(int column)> m_cellChoices;

    static inline CInPlaceEdit* sharedEdit = nullptr;
    static inline CInPlaceCombo* sharedCombo = nullptr;
    // The list that last accepted a click.
    static inline CComboListCtrl* currentList = nullptr;

signals:
    void cellEdited(int row, int column, const QString& text);
    void rightClicked(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QRect rowBounds(int row) const;
};
