#include "areas/CSimpleFontDialog.h"

#include "areas/CColorPickerCB.h"
#include "platform/DecimalText.h"
#include "ui_CSimpleFontDialog.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>

FontChoice LastFont;

CSimpleFontDialog::CSimpleFontDialog(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CSimpleFontDialog>())
{
    m_ui->setupUi(this);
    setFixedSize(size());
    m_fontCombo = m_ui->combo1002;
    m_sizeCombo = m_ui->combo1003;
    m_colorCombo = m_ui->combo1004;
    connect(m_ui->IDOK, &QPushButton::clicked, this, &CSimpleFontDialog::OnOK);
    connect(m_ui->IDCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_colorCombo, &QComboBox::activated, this, [this] { m_colorChosen = true; });
}

CSimpleFontDialog::~CSimpleFontDialog() = default;

void CSimpleFontDialog::OnInitDialog()
{
    // Families that can show the screen's Chinese or Latin text, in the
    // database's own order.
    const QStringList families = QFontDatabase::families();
    for (const QString& family : families) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
        if (systems.contains(QFontDatabase::SimplifiedChinese) || systems.contains(QFontDatabase::Latin))
            m_fontCombo->addItem(family);
    }
    widenFaceList();
    for (int size = FirstSize; size < SizeLimit; size += SizeStep)
        m_sizeCombo->addItem(QString::number(size));
    m_colorCombo->SelectColor(m_fontColor);
    // The edit texts are the caller's; no entry of the lists is chosen for them.
    m_fontCombo->setCurrentIndex(-1);
    m_sizeCombo->setCurrentIndex(-1);
    m_sizeCombo->setEditText(QString::number(m_fontSize));
    m_fontCombo->setEditText(m_fontName);
}

// The box stays as narrow as the dialog was drawn; its list opens wide
// enough that face names of one family can be told apart.
void CSimpleFontDialog::widenFaceList()
{
    QAbstractItemView* list = m_fontCombo->view();
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (int i = 0; i < m_fontCombo->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(m_fontCombo->itemText(i)));
    const int margins = 2 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 16;
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setMinimumWidth(std::max(m_fontCombo->width(), widest + margins + scrollBar));
}

void CSimpleFontDialog::OnOK()
{
    const int selected = m_colorCombo->currentIndex();
    LastFont.color = selected < 0 ? rgbColor(0, 0, 0) : m_colorCombo->colorAt(selected);
    // A colour of the file that the list cannot show stays unless the
    // operator picked another; changing the size must not turn a gold title white.
    if (!m_colorChosen && selected >= 0 && m_colorCombo->findData(QVariant::fromValue(uint(m_fontColor))) < 0)
        LastFont.color = m_fontColor;
    LastFont.size = DecimalText::toClampedInt(m_sizeCombo->currentText().toStdWString());
    LastFont.faceName = m_fontCombo->currentText();
    accept();
}
