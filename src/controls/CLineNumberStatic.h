#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class CLineNumberEdit;

// The gutter of a line-numbered edit: one number per visible display line
// and a separator line. The edit lays it out and paints it.
class CLineNumberStatic : public QWidget
{
    Q_OBJECT
public:
    explicit CLineNumberStatic(CLineNumberEdit* edit);

    QColor m_textColor{0, 0, 0};
    QColor m_backColor{255, 255, 248};
    QString m_format = QStringLiteral("%05i");
    int m_topMargin = 0;
    int m_firstShown = 0;
    int m_endShown = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CLineNumberEdit* m_edit;
};
