#pragma once

#include <QString>

class EventLock;
class QApplication;
class QCoreApplication;

// Starts the services the draw screen needs, runs the draw screen for the
// whole life of the program and shuts the services down again.
class CRafoApp
{
public:
    static constexpr const char* SkinFile = "Anion.ssk";
    static constexpr const wchar_t* AlreadyRunning = L"抽奖程序已经在这个文件夹中运行";

    explicit CRafoApp(QApplication& app);

    int InitInstance();
    int ExitInstance();

    // The event files name Windows faces; these lead them to an installed
    // CJK font.
    static void substituteChineseFonts();
    // Qt's own dialogs and menus (the picture chooser, the font list, the
    // edit fields' menu) speak the program's Chinese whatever the system's
    // language; false when Qt's translations are not installed.
    static bool installQtTranslations(QCoreApplication& app);
    // A skin file that holds a Qt style sheet is applied; any other is ignored.
    static QString readSkin(const QString& path);
    // False, after telling the operator, when another program runs in the
    // event folder; this one must then change nothing and end.
    static bool lockEventFolder(EventLock& lock);

private:
    QApplication& m_app;
};
