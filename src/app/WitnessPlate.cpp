#include "app/WitnessPlate.h"

#include "app/WitnessDesk.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

std::vector<QString> WitnessPlate::lines(const WitnessDesk& desk, bool refusal)
{
    const auto& commit = desk.commit();
    if (!commit)
        return {};
    std::vector<QString> lines;
    if (desk.attempt() > 1 && !desk.revealed())
        lines.push_back(QStringLiteral("第 %1 次承诺").arg(desk.attempt()));
    lines.push_back(QStringLiteral("承诺 ") +
                    Commitment::grouped(commit->commitment, Commitment::ShownDigits));
    // The places still to fill show how many the hall must roll.
    QStringList digits;
    for (const QChar digit : desk.digits())
        digits << QString(digit);
    if (!desk.revealed()) {
        for (qsizetype i = desk.digits().size(); i < desk.minDigits(); ++i)
            digits << QStringLiteral("_");
    }
    lines.push_back(QStringLiteral("见证数字 ") + digits.join(QLatin1Char(' ')));
    if (desk.revealed())
        lines.push_back(QStringLiteral("密钥 ") + Commitment::grouped(commit->secret, 16));
    else if (refusal && desk.refused())
        lines.push_back(QString::fromStdWString(desk.refusal()));
    return lines;
}

void WitnessPlate::paint(QPainter& painter, const Rect& screen, const WitnessDesk& desk, bool refusal)
{
    const std::vector<QString> shown = lines(desk, refusal);
    if (shown.empty())
        return;
    // Large enough to photograph from the back of the hall.
    QFont font(QStringLiteral("monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    font.setPixelSize(std::max(14, screen.height() / 24));
    const QFontMetrics metrics(font);
    const int margin = metrics.height() / 3;
    int width = 0;
    for (const QString& line : shown)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int height = metrics.height() * static_cast<int>(shown.size());
    // Above the fingerprint in the bottom-right corner.
    const int bottom = screen.bottom - std::max(10, screen.height() / 60) * 3;
    QRect plate(0, 0, std::min(width + 2 * margin, screen.width()), height + 2 * margin);
    plate.moveBottom(bottom);
    plate.moveLeft(screen.left + (screen.width() - plate.width()) / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 190));
    painter.drawRoundedRect(plate, margin, margin);
    painter.setFont(font);
    QRect line(plate.left() + margin, plate.top() + margin, plate.width() - 2 * margin, metrics.height());
    for (const QString& text : shown) {
        const bool warning = text.startsWith(QString::fromWCharArray(WitnessDesk::TooFewDigits[0])) ||
                             text.startsWith(QStringLiteral("第 "));
        painter.setPen(warning ? QColor(255, 210, 60) : QColor(Qt::white));
        painter.drawText(line, Qt::AlignCenter, text);
        line.translate(0, metrics.height());
    }
    painter.restore();
}
