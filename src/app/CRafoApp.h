#pragma once

#include <QString>

class QApplication;

// Starts the services the draw screen needs, runs the draw screen for the
// whole life of the program and shuts the services down again.
class CRafoApp
{
public:
    static constexpr const char* SkinFile = "Anion.ssk";

    explicit CRafoApp(QApplication& app);

    int InitInstance();
    int ExitInstance();

    // The event files name Windows faces; these lead them to an installed
    // CJK font.
    static void substituteChineseFonts();
    // A skin file that holds a Qt style sheet is applied; any other is ignored.
    static QString readSkin(const QString& path);

private:
    QApplication& m_app;
};
