#include "app/WitnessPlate.h"

#include "app/WitnessDesk.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>

std::vector<QString> WitnessPlate::lines(const WitnessDesk& desk, bool refusal)
{
    const auto& commit = desk.commit();
    if (!commit)
        return {};
    // A commitment made again says so: the hall saw the one before come to nothing.
    const QString title =
        desk.attempt() > 1 ? QStringLiteral("第 %1 次承诺 ").arg(desk.attempt()) : QStringLiteral("承诺 ");
    std::vector<QString> lines{title + Commitment::grouped(commit->commitment, Commitment::ShownDigits)};
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
    // Large enough to photograph from the back of the hall, and narrower than the screen.
    QFont font(QStringLiteral("monospace"));
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    const auto widest = [&shown](const QFont& font) {
        const QFontMetrics metrics(font);
        int width = 0;
        for (const QString& line : shown)
            width = std::max(width, metrics.horizontalAdvance(line));
        return width;
    };
    int size = std::max(12, screen.height() / 28);
    font.setPixelSize(size);
    while (size > 12 && widest(font) > screen.width() * 9 / 10)
        font.setPixelSize(--size);
    const QFontMetrics metrics(font);
    const int margin = metrics.height() / 4;
    QRect plate(0, 0, std::min(widest(font) + 2 * margin, screen.width()),
                metrics.height() * static_cast<int>(shown.size()) + 2 * margin);
    plate.moveLeft(screen.left + (screen.width() - plate.width()) / 2);
    // Along the bottom edge, over the caption; above the fingerprint when it would reach it.
    const bool besideFingerprint = plate.right() < screen.right - screen.width() / 5;
    plate.moveBottom(screen.bottom - 1 -
                     (besideFingerprint ? margin : std::max(10, screen.height() / 60) * 3));
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
