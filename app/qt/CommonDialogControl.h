#pragma once

#include <QColor>
#include <QObject>

#include <cstdint>
#include <functional>

class QWidget;

// The window's colour dialog, as the legend handlers drive it: set Flags and
// Color, call ShowColor, read Color back. Cancel leaves Color at the starting
// colour.
class CommonDialogControl : public QObject {
    Q_OBJECT
public:
    // Flag bits of the colour dialog.
    static constexpr std::int32_t RgbInit = 1;  // start with Color selected
    static constexpr std::int32_t FullOpen = 2; // show the custom colour section

    // Shows a modal colour dialog over parent starting at initial and returns the
    // colour chosen, or an invalid QColor on Cancel. Tests put their own in place
    // of the real dialog.
    using Chooser = std::function<QColor(const QColor& initial, std::int32_t flags, QWidget* parent)>;

    explicit CommonDialogControl(QWidget* parent, Chooser chooser = {});

    void setFlags(std::int32_t flags) { m_flags = flags; }
    [[nodiscard]] std::int32_t Flags() const { return m_flags; }

    // 0x00BBGGRR.
    void setColor(std::int32_t color) { m_color = color; }
    [[nodiscard]] std::int32_t Color() const { return m_color; }

    // Opens the colour dialog, modal to the window, and returns when it closes.
    void ShowColor();

private:
    QWidget* m_owner;
    Chooser m_chooser;
    std::int32_t m_flags = 0;
    std::int32_t m_color = 0;
};
