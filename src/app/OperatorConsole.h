#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class OperatorConsole;
}
class CRafoDlg;
class QImage;

// The operator's window beside the audience's screen: the event's state at a
// glance, the winners on the screen with a replacement for each, a small
// picture of what the hall sees, and the show's commands. Every button does
// what the same action on the draw screen does; none takes the keyboard, so
// Enter and Space here never start or end anything, while a clicker's keys
// work the show from here as from the draw screen.
class OperatorConsole : public QWidget
{
    Q_OBJECT
public:
    static constexpr const wchar_t* ReplaceCell = L"补抽缺席";
    static constexpr const wchar_t* NoSound = L"没有可用的声音输出";

    explicit OperatorConsole(CRafoDlg& show);
    ~OperatorConsole() override;

    // Shows the session's state as it is now.
    void refresh();
    // A frame of the audience's screen, for the preview.
    void showFrame(const QImage& frame);
    // Asks first, then ends the show.
    void exitShow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fillWinners();

    std::unique_ptr<Ui::OperatorConsole> m_ui;
    CRafoDlg& m_show;
    struct WinnersShown
    {
        int prize = -2;
        bool running = false;
        int epoch = -1;
        size_t count = 0;
        size_t pool = 0;
        bool operator==(const WinnersShown& other) const
        {
            return prize == other.prize && running == other.running && epoch == other.epoch &&
                   count == other.count && pool == other.pool;
        }
    };
    WinnersShown m_winnersShown;
};
