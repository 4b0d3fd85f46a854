#pragma once

#include "app/qt/AutoSizeLabel.h"

#include <QFont>
#include <QPixmap>

// A byte count beside its caption, growing leftwards up to its room; a longer figure
// is drawn in a face made just small enough. Changing every second, it is measured
// only when its width may change, and paints the frame behind it from a copy.
class FigureLabel : public AutoSizeLabel {
    Q_OBJECT
public:
    explicit FigureLabel(const QString& caption, const QRect& design, QWidget* parent);

    // The pixels the figure may take leftwards from its right edge.
    void setRoom(int room);

protected:
    [[nodiscard]] bool drawsAsWide(const QString& shown, const QString& next) const override;
    void fitToText() override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    [[nodiscard]] double fittedPointSize() const;
    [[nodiscard]] const QPixmap& backdrop();

    int m_room = 0; // none: as wide as the text
    QFont m_face;   // as designed, before any fitting
    int m_rowHeight = 0;
    bool m_fitting = false;

    QPixmap m_backdrop;
    QRect m_backdropPlace;
    bool m_backdropActive = false;
};
