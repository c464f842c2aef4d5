#include "app/Rehearsal.h"
#include "app/ScreenTestSupport.h"

#include <QDirIterator>
#include <QFile>
#include <map>

namespace {

// Every file of a folder and its bytes.
std::map<QString, QByteArray> files(const QString& folder)
{
    std::map<QString, QByteArray> found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        found[QDir(folder).relativeFilePath(file.fileName())] = file.readAll();
    }
    return found;
}

} // namespace

// A rehearsal runs on a copy beside the event, to the result screen and
// back; the event's files stay byte for byte as they were, and the show
// goes on where it stood.
TEST_F(ScreenTest, ARehearsalLeavesTheEventAsItWas)
{
    SetUpScreen(30, {3, 2});
    screen->show();
    screen->StartDraw();
    screen->StopDraw();
    screen->session().finishWrites();
    const std::map<QString, QByteArray> before = files(folder.path());
    const std::vector<tstring> first = screen->engine().award(0).winners;
    CRafoDlg* rehearsed = nullptr;
    onDialog = [&rehearsed](QDialog& dialog) {
        auto* shown = qobject_cast<CRafoDlg*>(&dialog);
        if (!shown || rehearsed)
            return;
        rehearsed = shown;
        EXPECT_EQ(shown->engine().current(), 0) << "the copy holds the results so far";
        shown->StartDraw();
        shown->StopDraw();
        shown->session().startAction();
    };
    screen->OnCommand(ShowCommand::IdRehearse);
    ASSERT_TRUE(rehearsed);
    EXPECT_EQ(dialogs, (std::vector<QString>{"CRafoDlg", "CResultDlg"}))
        << "the rehearsal reached its result screen";
    onDialog = nullptr;
    screen->session().finishWrites();
    const std::map<QString, QByteArray> after = files(folder.path());
    EXPECT_TRUE(after == before) << "the event's files are untouched";
    EXPECT_EQ(screen->engine().current(), 0);
    EXPECT_EQ(screen->engine().award(0).winners, first);
    EXPECT_TRUE(screen->isVisible());

    QDir parent(folder.path());
    parent.cdUp();
    const QStringList copies = parent.entryList({QDir(folder.path()).dirName() + "-彩排-*"}, QDir::Dirs);
    ASSERT_EQ(copies.size(), 1);
    const std::map<QString, QByteArray> copy = files(parent.filePath(copies.front()));
    EXPECT_NE(copy.at("AwardResult.ini"), before.at("AwardResult.ini")) << "the rehearsal drew its own";
    QDir(parent.filePath(copies.front())).removeRecursively();
}
