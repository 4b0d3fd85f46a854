#pragma once

// Qt first: moc parses the standard library's <concepts>, which the chart's
// headers bring in, only after Qt's own headers have set it up.
#include <QWidget>

#include "app/behaviour/MainWindowView.h"

#include <QPixmap>

#include <optional>

// The chart box: paints the picture it is given, or none, over the window's own face
// (the button face, lighter in dark schemes, would show the box as a grey square).
class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    // The behaviour passes only a picture that differs from the one shown.
    void setPicture(const std::optional<ChartPicture>& picture);

signals:
    // The box changed size once laid out: the picture no longer fits it.
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The window's face with the picture's discs as last painted, kept while only the wedge moves.
    [[nodiscard]] const QPixmap& backdrop(const std::optional<ChartPicture>& discs);

    std::optional<ChartPicture> m_picture;
    QPixmap m_backdrop;
    std::optional<ChartPicture> m_backdropDiscs;
    QColor m_backdropColor;
};
