#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class OperatorConsole;
}
class QImage;
class ShowController;

// The operator's window beside the audience's screen, a view of the show
// like the draw screen and beside it, not in it: the event's state at a
// glance, the winners on the screen with a replacement for each, a small
// picture of what the hall sees, and the show's commands. Every button gives
// the controller the command the draw screen gives; none takes the keyboard,
// so Enter and Space here never start or end anything, while a clicker's keys
// work the show from here as from the draw screen.
class OperatorConsole : public QWidget
{
    Q_OBJECT
public:
    static constexpr const wchar_t* ReplaceCell = L"补抽缺席";
    static constexpr const wchar_t* NoSound = L"没有可用的声音输出";

    explicit OperatorConsole(ShowController& show);
    ~OperatorConsole() override;

    // Shows the session's state as it is now.
    void refresh();
    // A rehearsal's console says so, in red.
    void markRehearsal();
    // A frame of the audience's screen, for the preview.
    void showFrame(const QImage& frame);
    // The phones' page as it stands: its address and QR code (null when
    // off), the phones connected, the addresses held at their cap or what
    // keeps it from being served, and whether its code is over the hall's screen.
    void showPhones(const QString& url, const QImage& code, const QString& state, bool codeShown);

signals:
    // 编辑抽奖人名单 and 主副标题/奖项设置: dialogs that are not the console's own.
    void dialogRequested(int command);
    // It was shown or hidden: the audience windows paint for its preview, or stop.
    void visibilityChanged(bool visible);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fillWinners();
    // The prize whose winners the table shows: the one the operator chose, else the current.
    int shownPrize() const;
    void replaceRows(const std::vector<int>& rows);
    // Check-in: how many are in, whether it is open, the door's matches.
    void refreshCheckin();
    // The witnessed draw: the commitment, the digits typed and a refused stop.
    void refreshWitness();
    void findAtDoor(const QString& typed);

    std::unique_ptr<Ui::OperatorConsole> m_ui;
    ShowController& m_show;
    // -1 follows the prize drawn last.
    int m_chosenPrize = -1;
};
