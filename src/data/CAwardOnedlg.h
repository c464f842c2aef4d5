#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

namespace Ui {
class CAwardOnedlg;
}
class PrizeSettingsHost;
class EventFolder;
class QLineEdit;

// Asks for one new prize and appends it to the table.
class CAwardOnedlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxWinners = 100000;
    static constexpr const wchar_t* NotAnInteger = L"Enter an integer.";
    static constexpr const wchar_t* PictureFilter = L"(*.png;*.jpg;*.bmp) (*.png *.jpg *.bmp);;所有文件 (*)";
    static constexpr const wchar_t* MusicFilter = L"音乐 (*.mp3 *.wav *.ogg *.flac *.m4a);;所有文件 (*)";
    // The file chosen, as the event's files name their sounds: relative to
    // the event folder with backslashes when it lies inside it.
    static QString musicPath(const EventFolder& folder, const QString& chosen);
    // Asks for a sound file; empty when none was chosen.
    static QString chooseMusic(QWidget* parent, const EventFolder& folder);

    // Picks a file (filter as above) and gives its full path, or nothing.
    using FileChooser = std::function<QString(QWidget* parent, const QString& filter)>;
    static FileChooser setFileChooser(FileChooser chooser);

    CAwardOnedlg(PrizeSettingsHost& host, QWidget* parent = nullptr);
    ~CAwardOnedlg() override;

    void OnOK();
    void OnBrowsePicture();
    // A prize's own start loop or stop sound, named as the event names its sounds.
    void browseMusic(QLineEdit* edit);

    QString m_awardName;
    int m_winnerCount = 1;
    QString m_prizeName;
    QString m_picturePath;

private:
    bool exchangeData();

    std::unique_ptr<Ui::CAwardOnedlg> m_ui;
    PrizeSettingsHost& m_host;
};
