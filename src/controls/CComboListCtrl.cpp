#include "controls/CComboListCtrl.h"

#include "controls/CInPlaceCombo.h"
#include "controls/CInPlaceEdit.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// Every cell in one of two fixed colour pairs, whether or not the list has the focus.
class CellColours : public QStyledItemDelegate
{
public:
    explicit CellColours(CComboListCtrl* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QModelIndexList selected = m_list->selectionModel()->selectedRows();
        const bool first = !selected.isEmpty() && selected.first().row() == index.row();
        painter->fillRect(option.rect, first ? CComboListCtrl::SelectedBack : QColor(Qt::white));
        painter->setPen(first ? Qt::white : Qt::black);
        painter->setFont(option.font);
        const QRect text = option.rect.adjusted(6, 0, -2, 0);
        painter->drawText(
            text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
            option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, text.width()));
    }

private:
    CComboListCtrl* m_list;
};

template <typename Editor> void endEdit(Editor* editor)
{
    if (editor)
        editor->endEdit();
}

} // namespace

CComboListCtrl::CComboListCtrl(QWidget* parent) : QTableWidget(parent)
{
    setItemDelegate(new CellColours(this));
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerItem);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
}

CComboListCtrl::~CComboListCtrl()
{
    delete sharedCombo;
    sharedCombo = nullptr;
    delete sharedEdit;
    sharedEdit = nullptr;
    // A later list at the same address must not count as current.
    if (currentList == this)
        currentList = nullptr;
}

void CComboListCtrl::MarkColumnReadOnly(int column)
{
    if (!m_readOnlyColumns.contains(column))
        m_readOnlyColumns.append(column);
}

void CComboListCtrl::MarkColumnDropDown(int column)
{
    if (!m_comboColumns.contains(column))
        m_comboColumns.append(column);
}

void CComboListCtrl::SetEditCharacters(const QString& characters)
{
    m_editChars = characters;
}

QString CComboListCtrl::cellText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void CComboListCtrl::setRowTexts(int row, const QStringList& texts)
{
    for (int column = 0; column < texts.size() && column < columnCount(); ++column)
        setItem(row, column, new QTableWidgetItem(texts[column]));
}

QRect CComboListCtrl::rowBounds(int row) const
{
    int width = 0;
    for (int column = 0; column < columnCount(); ++column)
        width += columnWidth(column);
    return QRect(columnViewportPosition(0), rowViewportPosition(row), width, rowHeight(row));
}

bool CComboListCtrl::HitTestCell(const QPoint& point, int& row, int& column) const
{
    row = rowAt(point.y());
    column = 0;
    if (row < 0 || !rowBounds(row).contains(point))
        return false;
    int x0 = rowBounds(row).left();
    for (int c = 0; c < columnCount(); ++c) {
        if (point.x() >= x0 && point.x() <= x0 + columnWidth(c)) {
            column = c;
            return true;
        }
        x0 += columnWidth(c);
    }
    return false;
}

QRect CComboListCtrl::ScrollColumnIntoView(int column, QRect rect)
{
    const int width = columnWidth(column);
    int offset = 0;
    for (int c = 0; c < column; ++c)
        offset += columnWidth(c);
    const int x = rect.left() + offset;
    const int clientRight = viewport()->width();
    int scroll = 0;
    if (x < 0 || x > clientRight)
        scroll = x;
    else if (x + width > clientRight)
        scroll = x + width - clientRight;
    if (scroll != 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + scroll);
    return QRect(x - scroll, rect.top(), width, rect.height());
}

void CComboListCtrl::OpenCellEdit(int row, int column, const QString& text)
{
    if (!sharedEdit)
        sharedEdit = new CInPlaceEdit;
    QRect rect = rowBounds(row);
    rect.setRight(std::min(rect.right(), viewport()->width() - 1));
    rect = ScrollColumnIntoView(column, rect);
    sharedEdit->m_row = row;
    sharedEdit->m_column = column;
    sharedEdit->m_validChars = m_editChars;
    sharedEdit->m_initialText = text;
    sharedEdit->m_cancelled = false;
    if (!sharedEdit->window())
        sharedEdit->open(this, rect);
}

void CComboListCtrl::OpenCellCombo(int row, int column, const QStringList& choices, const QString& text,
                                   int selection)
{
    if (row < 0 || row >= rowCount() || column >= columnCount() || columnWidth(column) < 10)
        return;
    if (const QTableWidgetItem* cell = item(row, 0))
        scrollToItem(cell);
    QRect rect = rowBounds(row);
    rect.setRight(std::min(rect.right(), viewport()->width() - 1));
    rect = ScrollColumnIntoView(column, rect);
    // The drop-down shows every choice, up to ten of them.
    const int visible = choices.size() < 10 ? static_cast<int>(choices.size()) : 10;
    if (!sharedCombo)
        sharedCombo = new CInPlaceCombo;
    sharedCombo->m_row = row;
    sharedCombo->m_column = column;
    sharedCombo->m_items = choices;
    sharedCombo->m_cancelled = false;
    sharedCombo->m_initialText = selection >= 0 && selection < choices.size() ? choices[selection] : text;
    if (!sharedCombo->window())
        sharedCombo->open(this, rect, visible);
    sharedCombo->window()->setCurrentIndex(selection);
}

void CComboListCtrl::OnEndLabelEdit(int row, int column, const QString& text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(text);
    else
        setItem(row, column, new QTableWidgetItem(text));
    emit cellEdited(row, column, text);
}

void CComboListCtrl::endOpenEdits()
{
    endEdit(sharedEdit);
    endEdit(sharedCombo);
}

void CComboListCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QTableWidget::mousePressEvent(event);
        return;
    }
    // The first click only makes this list the current one.
    if (currentList != this) {
        if (currentList)
            endOpenEdits();
        currentList = this;
        return;
    }
    const QPoint point = event->position().toPoint();
    int row = -1;
    int column = 0;
    if (!HitTestCell(point, row, column))
        return;
    endOpenEdits();
    QTableWidget::mousePressEvent(event);
    if (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))
        return;
    const QString text = cellText(row, column);
    if (row < 0 || currentIndex().row() != row || !m_editLabels)
        return;
    if (m_comboColumns.contains(column)) {
        const QStringList choices = m_cellChoices ? m_cellChoices(column) : QStringList();
        OpenCellCombo(row, column, choices, text, -1);
        if (sharedCombo && sharedCombo->window()) {
            const int found = sharedCombo->window()->findText(text, Qt::MatchStartsWith);
            if (found >= 0 && !text.isEmpty())
                sharedCombo->window()->setCurrentIndex(found);
        }
    } else if (!m_readOnlyColumns.contains(column)) {
        OpenCellEdit(row, column, text);
    }
}

void CComboListCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    endOpenEdits();
    emit rightClicked(event->globalPos());
}

void CComboListCtrl::scrollContentsBy(int dx, int dy)
{
    // Scrolling commits an open edit, so no editor is left over the wrong cell.
    if ((sharedEdit && sharedEdit->window()) || (sharedCombo && sharedCombo->window())) {
        setFocus(Qt::OtherFocusReason);
        endOpenEdits();
    }
    QTableWidget::scrollContentsBy(dx, dy);
}
