#pragma once

#include <QWidget>

class AreaEditor;

// The dotted frame and handles of position editing, drawn over the draw
// screen by a child widget of its own, so the screen's paint changes nothing.
// The mouse goes through it to the screen.
class TrackerOverlay : public QWidget
{
    Q_OBJECT
public:
    TrackerOverlay(const AreaEditor& editor, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const AreaEditor& m_editor;
};
