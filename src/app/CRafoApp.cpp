#include "app/CRafoApp.h"

#include "app/CRafoDlg.h"
#include "app/ModalRunner.h"
#include "app/QtMessageBox.h"
#include "app/ShowWindows.h"
#include "data/EventLock.h"
#include "platform/CodePage.h"
#include "platform/MsgBox.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>
#include <gst/gst.h>

CRafoApp::CRafoApp(QApplication& app) : m_app(app) {}

void CRafoApp::substituteChineseFonts()
{
    const QStringList installed = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                   QStringLiteral("Noto Serif CJK SC"),
                                   QStringLiteral("Droid Sans Fallback")};
    for (const char* face : {"宋体", "新宋体", "微软雅黑", "黑体", "楷体", "仿宋", "隶书", "幼圆", "SimSun",
                             "NSimSun", "Microsoft YaHei", "SimHei", "KaiTi", "FangSong"})
        QFont::insertSubstitutions(QString::fromUtf8(face), installed);
}

QString CRafoApp::readSkin(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray bytes = file.read(1 << 20);
    const std::string_view view(bytes.constData(), static_cast<size_t>(bytes.size()));
    if (bytes.contains('\0') || !CodePage::isValidUtf8(view) || !bytes.contains('{'))
        return QString();
    return QString::fromUtf8(bytes);
}

bool CRafoApp::installQtTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

bool CRafoApp::lockEventFolder(EventLock& lock)
{
    switch (lock.take()) {
    case EventLock::HeldElsewhere:
        MsgBox::show(AlreadyRunning, L"消息", MsgBox::Ok);
        return false;
    case EventLock::NotWritable:
        MsgBox::show(L"无法写入文件:" + QString::fromLatin1(EventLock::FileName).toStdWString(), L"Tips");
        return true;
    default:
        return true;
    }
}

int CRafoApp::InitInstance()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    gst_init_check(nullptr, nullptr, nullptr);
    QtMessageBox::install();
    installQtTranslations(m_app);
    substituteChineseFonts();
    // The event is the folder the program starts in; from here on it is named, not assumed.
    const EventFolder folder(QDir::currentPath());
    const QString skin = readSkin(folder.file(SkinFile));
    if (!skin.isEmpty())
        m_app.setStyleSheet(skin);

    // Before anything of the event is read or written.
    EventLock lock(folder);
    if (!lockEventFolder(lock)) {
        ExitInstance();
        return 1;
    }
    ShowWindows windows(folder);
    CRafoDlg& dialog = windows.drawScreen();
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &windows.controller(),
                     &ShowController::endShow);
    windows.open();
    dialog.show();
    dialog.activateWindow();
    dialog.setFocus();
    ModalRunner::exec(dialog);
    return ExitInstance();
}

int CRafoApp::ExitInstance()
{
    m_app.setStyleSheet(QString());
    return 0;
}
