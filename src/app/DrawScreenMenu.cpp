#include "app/DrawScreenMenu.h"

#include "app/ModalRunner.h"
#include "show/ShowCommand.h"

#include <QMenu>

DrawScreenMenu::DrawScreenMenu(QWidget* parent, const std::function<void(int)>& command)
    : m_menu(new QMenu(parent))
{
    struct Entry
    {
        int id;
        const char* text;
        bool enabled;
    };
    static const Entry entries[] = {
        {ShowCommand::IdEditPosition, "编辑位置", true},
        {ShowCommand::IdSetFont, "设置字体", true},
        {ShowCommand::IdHideText, "隐藏文字", false},
        {ShowCommand::IdEffectFont, "特效字体", false},
        {ShowCommand::IdRedraw, "重新抽奖", true},
        {ShowCommand::IdEditParticipants, "编辑抽奖人名单", true},
        {ShowCommand::IdSettings, "主副标题/奖项设置", true},
        {ShowCommand::IdConsole, "操作台", true},
        {ShowCommand::IdPhonePage, "手机页面", true},
        {ShowCommand::IdExportCheckinCodes, "导出签到码", true},
        {ShowCommand::IdExportAttendance, "导出签到名单", true},
        {ShowCommand::IdRehearse, "彩排 / 结束彩排", true},
        {ShowCommand::IdAbout, "关于 rafo...", true},
        {ShowCommand::IdExit, "退出", true},
    };
    m_menu->setObjectName(QStringLiteral("menu129"));
    for (const Entry& entry : entries) {
        QAction* action = m_menu->addAction(QString::fromUtf8(entry.text));
        action->setObjectName(QStringLiteral("command%1").arg(entry.id));
        action->setData(entry.id);
        action->setEnabled(entry.enabled);
        QObject::connect(action, &QAction::triggered, m_menu, [command, id = entry.id] { command(id); });
    }
}

void DrawScreenMenu::popup(const QPoint& globalPos, const tstring* absent,
                           const std::function<void()>& replace)
{
    QList<QAction*> added;
    if (absent) {
        added << m_menu->addSeparator() << m_menu->addAction(QString::fromStdWString(ReplaceEntry + *absent));
        added.last()->setObjectName(QStringLiteral("replaceAbsent"));
        QObject::connect(added.last(), &QAction::triggered, m_menu, replace);
    }
    ModalRunner::popup(*m_menu, globalPos);
    qDeleteAll(added);
}
