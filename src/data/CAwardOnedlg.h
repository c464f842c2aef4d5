#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

namespace Ui {
class CAwardOnedlg;
}
class PrizeSettingsHost;

// Asks for one new prize and appends it to the table.
class CAwardOnedlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxWinners = 100000;
    static constexpr const wchar_t* NotAnInteger = L"Enter an integer.";
    static constexpr const wchar_t* PictureFilter = L"(*.png;*.jpg;*.bmp) (*.png *.jpg *.bmp);;所有文件 (*)";

    // Picks a file (filter as above) and gives its full path, or nothing.
    using FileChooser = std::function<QString(QWidget* parent, const QString& filter)>;
    static FileChooser setFileChooser(FileChooser chooser);

    CAwardOnedlg(PrizeSettingsHost& host, QWidget* parent = nullptr);
    ~CAwardOnedlg() override;

    void OnOK();
    void OnBrowsePicture();

    QString m_awardName;
    int m_winnerCount = 1;
    QString m_prizeName;
    QString m_picturePath;

private:
    bool exchangeData();

    std::unique_ptr<Ui::CAwardOnedlg> m_ui;
    PrizeSettingsHost& m_host;
};
