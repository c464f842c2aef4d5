#include "controls/CImportDlg.h"

#include "data/DuplicateNames.h"
#include "ui_CImportDlg.h"

#include <QPushButton>
#include <QRegularExpression>

namespace {

constexpr int PreviewNames = 5;

} // namespace

CImportDlg::CImportDlg(const ImportTable& table, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CImportDlg>()), m_table(table)
{
    m_ui->setupUi(this);
    m_ui->buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("导入"));
    m_ui->buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(m_ui->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_ui->headerCheck, &QCheckBox::toggled, this, [this] {
        showColumns();
        showPreview();
    });
    connect(m_ui->columnList, &QListWidget::itemChanged, this, &CImportDlg::showPreview);
    showColumns();
    showPreview();
}

CImportDlg::~CImportDlg() = default;

void CImportDlg::setHeaderRow(bool header)
{
    m_ui->headerCheck->setChecked(header);
}

void CImportDlg::setColumnChosen(int column, bool chosen)
{
    if (QListWidgetItem* item = m_ui->columnList->item(column))
        item->setCheckState(chosen ? Qt::Checked : Qt::Unchecked);
}

// Named by the headings while the first row is taken as them.
void CImportDlg::showColumns()
{
    QList<Qt::CheckState> states;
    for (int i = 0; i < m_ui->columnList->count(); ++i)
        states << m_ui->columnList->item(i)->checkState();
    const QSignalBlocker blocker(m_ui->columnList);
    m_ui->columnList->clear();
    const bool header = m_ui->headerCheck->isChecked() && !m_table.rows.empty();
    const qsizetype columns = m_table.columns();
    for (qsizetype c = 0; c < columns; ++c) {
        QString label = QStringLiteral("第 %1 列").arg(c + 1);
        if (header && c < m_table.rows.front().size() && !m_table.rows.front()[c].trimmed().isEmpty())
            label += QStringLiteral(": ") + m_table.rows.front()[c].trimmed();
        auto* item = new QListWidgetItem(label, m_ui->columnList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(c < states.size() ? states[c] : Qt::Unchecked);
    }
}

void CImportDlg::showPreview()
{
    const ImportTable::Names chosen = names();
    m_ui->preview->setPlainText(chosen.names.mid(0, PreviewNames).join(QLatin1Char('\n')));
    m_ui->countLabel->setText(
        QStringLiteral("%1 个名字, 跳过 %2 个空行").arg(chosen.names.size()).arg(chosen.skipped));
    // Two people of one name are told before the list is saved, while a column can still tell them apart.
    const DuplicateNames duplicates(chosen.names);
    const std::vector<int> columns = chosenColumns();
    const bool columnLeftOut = !columns.empty() && int(columns.size()) < m_ui->columnList->count();
    m_ui->duplicatesLabel->setText(duplicates.summary() + (duplicates.isEmpty() || !columnLeftOut
                                                               ? QString()
                                                               : QString::fromWCharArray(DuplicatesHint)));
    m_ui->buttons->button(QDialogButtonBox::Ok)->setEnabled(!chosen.names.isEmpty());
}

std::vector<int> CImportDlg::chosenColumns() const
{
    std::vector<int> columns;
    for (int i = 0; i < m_ui->columnList->count(); ++i) {
        if (m_ui->columnList->item(i)->checkState() == Qt::Checked)
            columns.push_back(i);
    }
    return columns;
}

ImportTable::Names CImportDlg::names() const
{
    return m_table.names(chosenColumns(), m_ui->headerCheck->isChecked());
}

QStringList CImportDlg::fieldHeadings() const
{
    if (!m_ui->headerCheck->isChecked() || m_table.rows.empty())
        return {};
    std::vector<int> columns = chosenColumns();
    for (int c = 0; columns.empty() && c < m_ui->columnList->count(); ++c)
        columns.push_back(c);
    const QStringList& first = m_table.rows.front();
    QStringList headings;
    for (int c : columns) {
        // The headings are kept as one line of words.
        QString heading = c < first.size() ? first[c] : QString();
        heading.remove(QRegularExpression(QStringLiteral("\\s")));
        headings << (heading.isEmpty() ? QStringLiteral("字段%1").arg(headings.size() + 1) : heading);
    }
    return headings;
}
