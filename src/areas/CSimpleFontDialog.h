#pragma once

#include "platform/Rect.h"

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class CSimpleFontDialog;
}
class CColorPickerCB;
class QComboBox;

// The last font the operator confirmed in the font dialog; read only after
// an OK has written it.
struct FontChoice
{
    COLORREF color = 0;
    int size = 0;
    QString faceName;
};
extern FontChoice LastFont;

// Asks for a typeface, a height in pixels and one of the named colours.
class CSimpleFontDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int FirstSize = 8;
    static constexpr int SizeLimit = 144;
    static constexpr int SizeStep = 4;

    explicit CSimpleFontDialog(QWidget* parent = nullptr);
    ~CSimpleFontDialog() override;

    // Fills the lists and shows the caller's values; run before the dialog opens.
    void OnInitDialog();
    void OnOK();

    COLORREF m_fontColor = 0;
    int m_fontSize = 0;
    QString m_fontName;

    QComboBox* m_fontCombo;
    QComboBox* m_sizeCombo;
    CColorPickerCB* m_colorCombo;

private:
    void widenFaceList();

    std::unique_ptr<Ui::CSimpleFontDialog> m_ui;
    bool m_colorChosen = false;
};
