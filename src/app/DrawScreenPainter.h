#pragma once

#include "app/CaptionLayout.h"
#include "app/PrizePictureCache.h"
#include "app/StretchedPicture.h"
#include "app/TextScroll.h"
#include "app/WinnerWall.h"
#include "areas/TextAreas.h"

class DrawEngine;
class WitnessDesk;
class QPainter;

// Everything the audience sees on the draw screen at one moment.
struct DrawScreenFrame
{
    const DrawEngine* engine = nullptr;
    const AreaSet* areas = nullptr;
    Rect screen;
    Rect start;
    Rect stop;
    int selectedArea = -1;
    // Where this frame's cycling names start in the pool; -1 for none.
    long long cycleStart = -1;
    // Of the last draw's journal line; empty for none.
    QString fingerprint;
    // How the names area holds the winners or the cycling names, and the page shown.
    const WinnerWall* wall = nullptr;
    int page = 0;
    // A witnessed draw's commitment, digits and secret; and whether a refused stop is told here.
    const WitnessDesk* witness = nullptr;
    bool witnessRefusal = false;
    // The prize picture fitted into its area rather than stretched onto it.
    bool keepPictureAspect = false;
    // A prize shown one winner at a time: how many of its winners show (-1
    // all), the running name where the next lands, and "第 N/M 名" (N 0: none).
    int shownWinners = -1;
    QString landingName;
    int revealNumber = 0;
    int revealCount = 0;
};

// Paints the draw screen: pictures, the current prize, the winners or the
// cycling names, the count line, the moving caption and the text areas.
class DrawScreenPainter
{
public:
    static constexpr const wchar_t* ShowPicture = L"Backimg\\show.jpg";
    static constexpr const wchar_t* StartPicture = L"Backimg\\start.jpg";
    static constexpr const wchar_t* StopPicture = L"Backimg\\stop.jpg";

    // Paints the pictures of that event folder.
    explicit DrawScreenPainter(const EventFolder& folder);

    void loadPictures();
    // The row of the names area under a point when it shows that many rows, or -1.
    // A small word in the screen's top left corner: "彩排".
    static void drawMark(QPainter& painter, const Rect& screen, const QString& mark);
    static int rowAt(const Rect& area, std::size_t rows, int x, int y);
    // Every paint composes the whole screen and moves the caption one step.
    void paint(QPainter& painter, const DrawScreenFrame& frame);
    // "记录 XXXX-XXXX-XXXX-XXXX" small in the screen's bottom-right corner, on
    // a dark plate so it reads on any picture: what the audience photographs
    // to tie the journal to what it saw.
    static void drawFingerprint(QPainter& painter, const Rect& screen, const QString& fingerprint);
    // A stop or a replacement: the caption's next paint brings its winners in
    // from the right edge at once, not after a pass through everything before them.
    void winnersCame() { m_captionEnters = true; }

private:
    // One name a row, at that font height (0: the area's own).
    void drawRows(QPainter& painter, const CLottoryArea& area, const std::vector<QString>& rows, int height);
    // One page of the winners on the wall, and "2/5" under them when there are pages.
    void drawWinners(QPainter& painter, const CLottoryArea& area, const WinnerWall& wall, int page,
                     const DrawEngine& engine);
    void drawCurrentPrize(QPainter& painter, const DrawScreenFrame& frame);
    void drawCaption(QPainter& painter, const DrawScreenFrame& frame);
    void drawCyclingNames(QPainter& painter, const DrawScreenFrame& frame);

    StretchedPicture m_showImage;
    StretchedPicture m_startImage;
    StretchedPicture m_stopImage;
    EventFolder m_folder;
    PrizePictureCache m_prizePictures;
    TextScroll m_caption{TextScroll::Axis::Leftwards};
    CaptionLayout m_captionLayout;
    bool m_captionEnters = false;
    // The winners' page last drawn, and what it was drawn for.
    struct WallPage
    {
        std::uint64_t wall = 0;
        int page = -1;
        QRgb color = 0;
        Rect area;
        std::uint64_t draw = 0;
        QImage image;
    };
    WallPage m_wallPage;
};
