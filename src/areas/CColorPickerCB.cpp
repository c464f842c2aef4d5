#include "areas/CColorPickerCB.h"

#include "areas/AreaFont.h"
#include "areas/ColorTable.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

// The open list draws its entries as the closed field does.
class ColorItemDelegate : public QStyledItemDelegate
{
public:
    explicit ColorItemDelegate(CColorPickerCB* owner) : QStyledItemDelegate(owner), m_owner(owner) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        unsigned state = 0;
        if (option.state & QStyle::State_Selected)
            state |= CColorPickerCB::ItemSelected;
        if (option.state & QStyle::State_HasFocus)
            state |= CColorPickerCB::ItemFocus;
        if (!(option.state & QStyle::State_Enabled))
            state |= CColorPickerCB::ItemDisabled;
        m_owner->DrawItem(*painter, Rect::fromQRect(option.rect), index.row(), state);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return QSize(option.rect.width(), option.fontMetrics.height() + 4);
    }

private:
    CColorPickerCB* m_owner;
};

} // namespace

CColorPickerCB::CColorPickerCB(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new ColorItemDelegate(this));
    FillColors();
    setCurrentIndex(0);
}

void CColorPickerCB::FillColors()
{
    if (m_filled)
        return;
    for (const ColorEntry& entry : ColorTable::Entries) {
        const QString name = QString::fromUtf8(entry.name);
        int index = 0;
        while (index < count() && !ColorTable::sortsBefore(name, itemText(index)))
            ++index;
        insertItem(index, name, QVariant::fromValue(static_cast<uint>(entry.color)));
    }
    m_filled = true;
}

void CColorPickerCB::SelectColor(COLORREF color)
{
    for (int i = 0; i < count(); ++i) {
        if (colorAt(i) == color)
            setCurrentIndex(i);
    }
}

COLORREF CColorPickerCB::colorAt(int index) const
{
    return static_cast<COLORREF>(itemData(index).toUInt());
}

void CColorPickerCB::DrawItem(QPainter& painter, const Rect& rect, int index, unsigned state) const
{
    const QPalette& colors = palette();
    const QColor window = colors.color(QPalette::Active, QPalette::Base);
    const QColor highlight = colors.color(QPalette::Active, QPalette::Highlight);
    const QColor windowText = colors.color(QPalette::Active, QPalette::Text);
    const int quarter = rect.width() / 4;

    QColor text = windowText;
    if (state & ItemSelected) {
        text = QColor::fromRgb(~windowText.rgb() & 0xFFFFFF);
        painter.fillRect(rect.toQRect(), highlight);
    } else {
        painter.fillRect(rect.toQRect(), window);
    }
    if (state & ItemFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect.toQRect();
        focus.backgroundColor = (state & ItemSelected) ? highlight : window;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    if (index == -1)
        return;

    QColor swatch = AreaFont::toQColor(colorAt(index));
    if (state & ItemDisabled) {
        swatch = colors.color(QPalette::Inactive, QPalette::PlaceholderText);
        text = swatch;
    }
    painter.save();
    painter.setPen(text);
    const QRect textRect(rect.left + quarter + 2, rect.top + 2,
                         std::max(0, rect.right - (rect.left + quarter + 2)),
                         std::max(0, rect.bottom - rect.top - 2));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, itemText(index));
    // The swatch ends a quarter of the item's width from x = 0, as the list draws it.
    const Rect box(rect.left + 2, rect.top + 2, quarter, rect.bottom - 2);
    if (!box.isEmpty()) {
        painter.fillRect(box.toQRect(), swatch);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.toQRect().adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

void CColorPickerCB::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    unsigned state = hasFocus() ? (ItemSelected | ItemFocus) : 0u;
    if (!isEnabled())
        state |= ItemDisabled;
    DrawItem(painter, Rect::fromQRect(field), currentIndex(), state);
}
